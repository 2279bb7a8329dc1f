#include "DropShadow.h"

#include "Capabilities.h"

#include <QPainter>

namespace plat
{

QRect ShadowStripRect(ShadowSide side, const QRect& popup)
{
    const int x = popup.x();
    const int y = popup.y();
    const int w = popup.width();
    const int h = popup.height();
    switch (side) {
    case ShadowRight:
        return QRect(x + w, y + kShadowDepth, kShadowDepth, h - kShadowDepth);
    case ShadowBottom:
        return QRect(x + kShadowDepth, y + h, w, kShadowDepth);
    case ShadowCorner:
        return QRect(x + w - 1, y + h - 1, 1, 1);
    default:
        return {};
    }
}

namespace
{

// Alpha at distance d (0..3) from the popup's edge, along the strip.
int Fade(int d)
{
    return 60 - 15 * d;
}

// A 4 x 4 ramp: 3 x i x j, i and j counting 1..4.
int Ramp(int i, int j)
{
    return 3 * i * j;
}

} // namespace

QImage ShadowStripImage(ShadowSide side, QSize size)
{
    if (side == ShadowNone || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int w = size.width();
    const int h = size.height();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            int alpha = 0;
            switch (side) {
            case ShadowRight: {
                const int d = x; // columns from the popup outwards
                if (y < kShadowDepth)
                    alpha = Ramp(kShadowDepth - d, y + 1);
                else
                    alpha = d < kShadowDepth ? Fade(d) : 0;
                break;
            }
            case ShadowBottom: {
                const int d = y; // rows from the popup downwards
                if (d >= kShadowDepth)
                    break;
                if (x < kShadowDepth)
                    alpha = Ramp(x + 1, kShadowDepth - d);
                else if (x >= w - kShadowDepth)
                    alpha = Ramp(w - x, kShadowDepth - d);
                else
                    alpha = Fade(d);
                break;
            }
            case ShadowCorner:
                alpha = 60;
                break;
            default:
                break;
            }
            row[x] = qRgba(0, 0, 0, alpha); // black premultiplied is its alpha alone
        }
    }
    return image;
}

ShadowStripWindow::ShadowStripWindow(ShadowSide side, QWidget* owner)
    : QWidget(owner ? owner->window() : nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      side_(side)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

bool ShadowStripWindow::Place(QWidget* popup, const QRect& popupRect)
{
    if (side_ == ShadowNone)
        return false;
    setUpdatesEnabled(false);
    setGeometry(ShadowStripRect(side_, popupRect));
    show();
    setUpdatesEnabled(true);
    // Right under the popup: the popup goes back on top.
    if (popup)
        popup->raise();
    update();
    return true;
}

void ShadowStripWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_ = ShadowStripImage(side_, size());
}

void ShadowStripWindow::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, picture_);
}

DropShadow::~DropShadow()
{
    Destroy();
}

bool DropShadow::Create(QWidget* owner, const std::vector<ShadowSide>& sides)
{
    Destroy();
    if (!GetCapabilities().updateLayeredWindow)
        return false;
    for (ShadowSide side : sides)
        strips_.push_back(new ShadowStripWindow(side, owner));
    created_ = true;
    return true;
}

bool DropShadow::Place(QWidget* popup, const QRect& popupRect)
{
    if (!created_)
        return false;
    for (auto& strip : strips_) {
        if (strip)
            strip->Place(popup, popupRect);
    }
    return true;
}

void DropShadow::Destroy()
{
    for (auto& strip : strips_)
        delete strip.data();
    strips_.clear();
    created_ = false;
}

} // namespace plat
