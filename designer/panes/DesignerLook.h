#pragma once
// What the designer's panes and dialogs share in their looks: the interface fonts, the
// theme's face colour and the white hint band over the top of every dialog.

#include "GdiObjects.h"
#include "GdiTypes.h"
#include "HeaderBand.h"

#include <QString>
#include <QWidget>

namespace designer
{

// "宋体" at 9 points, regular or bold; made once.
const CFont* InterfaceFont(bool bold = false);
QFont InterfaceQFont(bool bold = false);

// The theme's face colour (panes, the preview background, group rows).
COLORREF FaceColor();

// Height of the white band over the top of the dialogs.
constexpr int kHintBandHeight = plat::kHeaderBandHeight;

// Paints the programs' header band with one line of hint text in the bold interface
// font.
void PaintHintBand(QWidget* dialog, const QString& hint);

} // namespace designer
