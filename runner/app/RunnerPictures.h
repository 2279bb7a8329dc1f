#pragma once
// The program's pictures, drawn here rather than shipped as files: the program icon,
// the tool bar's images, the side bar's command pictures, the selected-category band
// and the picture of a template without an icon. Ids are the bitmap resource ids the
// windows name them by.

#include "BitmapPlus.h"

#include <QIcon>
#include <QImage>

namespace runner
{

constexpr unsigned kBitmapToolbar = 325;       // 32 x 32 per tool button
constexpr unsigned kBitmapCategory = 341;      // selected category row
constexpr unsigned kBitmapNoIcon = 342;        // template without an icon, 96 x 96
constexpr unsigned kBitmapExit = 344;          // side bar command pictures 344..351, 24 x 24
constexpr unsigned kBitmapRestore = 351;

// The picture of a resource id (null for an unknown id). For the tool bar: the image
// of one button, by its command id.
QImage RunnerPicture(unsigned id);
QImage ToolbarPicture(unsigned commandId);
BitmapPlus RunnerBitmap(unsigned id);
// The program's icon (icon resource 128).
QIcon ProgramIcon();

} // namespace runner
