#pragma once
// The small pictures of the panes and dialogs, drawn rather than loaded.

#include <QIcon>
#include <QImage>

namespace designer
{

// Two 9 x 9 marks side by side: 0 expanded ("-"), 1 collapsed ("+").
QImage ExpandMarks();
// Five 16 x 16 pictures on magenta: layer hidden, shown, current, unlocked, locked.
QImage LayerPictures();
// The add and delete buttons of the value dialogs.
QIcon AddPicture();
QIcon DeletePicture();

} // namespace designer
