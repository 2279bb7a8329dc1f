#pragma once
// The pointers of the design canvas's tools: a cross hair with a small sign of the
// control kind beside it (the hot spot at the cross), drawn once per process; the
// arrow for the pointer tool.

#include <QCursor>

// Tools 0-7 draw a control of that kind; any other number is the pointer tool.
constexpr int kDesignPointerTool = 8;

// The pointer of a tool; the arrow for the pointer tool.
QCursor DesignToolCursor(int tool);
// The pointer shown while a new control is being dragged out, whatever its kind.
QCursor DesignDrawCursor();
