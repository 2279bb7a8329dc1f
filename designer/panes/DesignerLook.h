#pragma once
// What the designer's panes and dialogs share in their looks: the interface fonts, the
// theme's face colour and the white hint band over the top of every dialog.

#include "GdiObjects.h"
#include "GdiTypes.h"

#include <QGuiApplication>
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
constexpr int kHintBandHeight = 54;

// Paints the white band with one line of hint text in RGB(2, 102, 170) and the bold
// interface font, from 10 pixels after the left edge to 50 before the right.
void PaintHintBand(QWidget* dialog, const QString& hint);

// The wait cursor for the length of a scope.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace designer
