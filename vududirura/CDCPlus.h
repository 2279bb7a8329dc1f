#pragma once
// Double buffering for owner drawing: OpenCanvas gives an off-screen context over a
// rectangle of a context; drawing goes there in the same logical coordinates, and
// CloseCanvas copies it back in one piece.

#include "VududiruraApi.h"

#include "GdiTypes.h"

#include <QImage>

#include <memory>

class CDC;

class VUDU_API CDCPlus
{
public:
    CDCPlus();
    ~CDCPlus();
    CDCPlus(const CDCPlus&) = delete;
    CDCPlus& operator=(const CDCPlus&) = delete;

    // The canvas (owned by this object) starts with the context's pixels under the
    // rectangle; null when the rectangle is empty or the context has no device.
    CDC* OpenCanvas(CDC* dc, const RECT& rect);
    // Copies the canvas to the context and ends it; false when none is open.
    bool CloseCanvas();

private:
    CDC* target_ = nullptr;
    RECT rect_{};
    QImage image_;
    std::unique_ptr<CDC> canvas_;
};
