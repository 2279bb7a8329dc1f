#pragma once
// The designer's pictures, drawn in code: the program icon, the application button,
// the command buttons of the ribbon and the home page's header and large buttons.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace DesignerPictures
{

QIcon ProgramIcon();
QPixmap ApplicationButton(int size);
// A command's picture: a tile in its group's colour with the caption's first sign.
QIcon CommandIcon(unsigned id, const QString& caption);
QIcon AboutIcon();
// The home page's header picture and the pattern that fills the rest of its width.
QPixmap HomeHeader();
QPixmap HomePattern();
// The large picture buttons of the home page: new (false) and open (true).
QPixmap HomeButton(bool open);

} // namespace DesignerPictures
