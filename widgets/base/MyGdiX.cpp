#include "MyGdiX.h"

#include "Capabilities.h"
#include "Compositing.h"

#include <QEvent>
#include <QImage>
#include <QPainter>

#include <QWidget>
#include <iterator>

namespace
{

// The picture of a layered window: painted in place of the window's own paint
// event, with its per-pixel alpha, over a translucent background.
class LayeredPicture : public QObject
{
public:
    explicit LayeredPicture(QWidget* window) : QObject(window), window_(window)
    {
        setObjectName(QStringLiteral("BrindleLayeredPicture"));
        window->installEventFilter(this);
    }

    void SetPicture(QImage picture, double opacity)
    {
        picture_ = std::move(picture);
        opacity_ = opacity;
        window_->update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::Paint)
            return false;
        QPainter p(window_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(window_->rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setOpacity(opacity_);
        p.drawImage(0, 0, picture_);
        return true;
    }

private:
    QWidget* window_;
    QImage picture_;
    double opacity_ = 1.0;
};

LayeredPicture* PictureOf(QWidget* window)
{
    auto* picture = window->findChild<LayeredPicture*>(QStringLiteral("BrindleLayeredPicture"),
                                                        Qt::FindDirectChildrenOnly);
    if (!picture) {
        window->setAttribute(Qt::WA_TranslucentBackground);
        picture = new LayeredPicture(window);
    }
    return picture;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

int Height(const RECT& r)
{
    return r.bottom - r.top;
}

} // namespace

void MyGdiX::Initialize()
{
    plat::BindOptionalEntryPoints();
    // Layered windows need a desktop that blends them; elsewhere the popups go
    // without shadow rather than with black bars.
    if (!plat::TranslucentWindowsBlend()) {
        plat::Capabilities& caps = plat::GetCapabilities();
        caps.updateLayeredWindow = false;
        caps.setLayeredWindowAttributes = false;
    }
}

void MyGdiX::Finalize()
{
    plat::UnbindOptionalEntryPoints();
}

void MyGdiX::GradientFill(CDC& dc, const RECT& rect, COLORREF from, COLORREF to, int horizontal)
{
    if (!plat::GetCapabilities().gradientFill) {
        dc.FillSolidRect(rect, from);
        return;
    }
    dc.GradientFillRect({rect.left, rect.top}, from, {rect.right, rect.bottom}, to,
                        horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void MyGdiX::AlphaBlend(CDC& dst, const RECT& dstRect, CDC& src, const RECT& srcRect, BLENDFUNCTION blend)
{
    if (!plat::GetCapabilities().alphaBlend) {
        dst.BitBlt(dstRect.left, dstRect.top, Width(dstRect), Height(dstRect), &src, srcRect.left, srcRect.top,
                   SRCCOPY);
        return;
    }
    dst.AlphaBlend(dstRect.left, dstRect.top, Width(dstRect), Height(dstRect), &src, srcRect.left, srcRect.top,
                   Width(srcRect), Height(srcRect), blend);
}

void MyGdiX::AlphaBlend(HDC dst, const RECT& dstRect, HDC src, const RECT& srcRect, BLENDFUNCTION blend)
{
    if (dst && src)
        AlphaBlend(*dst, dstRect, *src, srcRect, blend);
}

void MyGdiX::BitBlt(CDC& dst, const RECT& dstRect, CDC& src, int srcX, int srcY, uint32_t rop)
{
    dst.BitBlt(dstRect.left, dstRect.top, Width(dstRect), Height(dstRect), &src, srcX, srcY, rop);
}

void MyGdiX::BitBlt(HDC dst, const RECT& dstRect, HDC src, int srcX, int srcY, uint32_t rop)
{
    if (dst && src)
        BitBlt(*dst, dstRect, *src, srcX, srcY, rop);
}

int MyGdiX::UpdateLayeredWindow(QWidget* window, const POINT* position, const SIZE* size, CDC* src,
                                const POINT* srcPoint, COLORREF /*key*/, const BLENDFUNCTION* blend,
                                uint32_t /*flags*/)
{
    if (!plat::GetCapabilities().updateLayeredWindow || !window)
        return 0;
    if (position)
        window->move(position->x, position->y);
    if (size)
        window->resize(size->cx, size->cy);
    QImage picture;
    if (src && src->GetImage()) {
        POINT from = srcPoint ? *srcPoint : POINT{};
        QSize pictureSize = size ? QSize(size->cx, size->cy) : window->size();
        picture = src->GetImage()->copy(QRect(QPoint(from.x, from.y), pictureSize));
    }
    double opacity = blend ? blend->SourceConstantAlpha / 255.0 : 1.0;
    PictureOf(window)->SetPicture(std::move(picture), opacity);
    return 1;
}

int MyGdiX::SetLayeredWindowAttributes(QWidget* window, COLORREF /*key*/, BYTE alpha, uint32_t flags)
{
    if (!plat::GetCapabilities().setLayeredWindowAttributes || !window)
        return 0;
    if (flags & LWA_ALPHA)
        window->setWindowOpacity(alpha / 255.0);
    return 1;
}

int MyGdiX::IsSupportUpdateLayeredWindow()
{
    return plat::GetCapabilities().updateLayeredWindow ? 1 : 0;
}

void MyGdiX::Line(CDC& dc, int x1, int y1, int x2, int y2)
{
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

void MyGdiX::LineXOR(CDC& dc, int x1, int y1, int x2, int y2)
{
    int previous = dc.SetROP2(R2_NOTXORPEN);
    Line(dc, x1, y1, x2, y2);
    dc.SetROP2(previous ? previous : R2_COPYPEN);
}

int MyGdiX::MapImageSize(int mapMode, int dpi, int n)
{
    // Units per inch of each mapping mode from none (0) to MM_TWIPS.
    static constexpr int kUnitsPerInch[] = {0, 96, 254, 2540, 100, 1000, 1440};
    if (mapMode < 0 || mapMode >= static_cast<int>(std::size(kUnitsPerInch)))
        return n;
    int units = kUnitsPerInch[mapMode];
    if (dpi == 0)
        dpi = 96;
    if (units == dpi)
        return n;
    return MulDiv(n, units, dpi);
}
