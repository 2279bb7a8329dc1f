#pragma once
// Windows face names that templates and dialogs use ("宋体", "黑体", "楷体", "仿宋",
// "MS Sans Serif", their English names, ...) mapped to installed faces, in one place,
// so that Chinese text never prints as empty boxes. WenQuanYi Zen Hei is preferred:
// it carries Latin and CJK glyphs and writes a correct ToUnicode map into PDFs.

#include "GdiTypes.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace plat
{

// The face used when a name is unknown or not installed.
QString DefaultFontFamily();

// The installed faces tried for a face name, best first (empty for a name that has
// no substitution).
QStringList FontSubstitutesFor(const QString& face);

// Registers every substitution with QFont once; safe to call again.
void InstallFontSubstitutions();

// The installed family that draws `face`: the face itself when installed and not a
// substituted Windows name, else its first installed substitute, else the default.
QString ResolveFontFamily(const QString& face);

// A QFont for the LOGFONT whose em height on the device is `emPixels` device pixels,
// for a device of `deviceDpiY` dots per inch (the painter's font resolution).
QFont FontFromLogFont(const LOGFONTW& font, double emPixels, int deviceDpiY);

} // namespace plat
