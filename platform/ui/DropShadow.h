#pragma once
// The soft shadow an open popup casts to its right and below: strips of black whose
// alpha fades outwards, each a translucent window of its own (Qt::ToolTip, so it never
// takes the activation or the mouse) lying right under the popup. Without layered
// windows (Capabilities::updateLayeredWindow cleared) there is no shadow and the popup
// works the same.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

namespace plat
{

// Which strip a shadow window is.
enum ShadowSide {
    ShadowNone = -1,
    ShadowRight = 0,  // 4 px wide, from 4 px below the popup's top to its bottom
    ShadowCorner = 1, // one pixel at the popup's bottom-right corner pixel
    ShadowBottom = 2, // 4 px high, from 4 px right of the popup's left edge, the popup's width
};

constexpr int kShadowDepth = 4;

// The screen rectangle of a strip for a popup at `popup` (screen coordinates); empty
// for ShadowNone.
QRect ShadowStripRect(ShadowSide side, const QRect& popup);

// The strip's picture for a strip of `size`: black, alpha fading from 60 next to the
// popup to 15 at the outer edge in steps of 15, with 4 x 4 ramps (3 x i x j) where a
// strip starts and ends; the corner pixel is 60. Null for ShadowNone or an empty size.
QImage ShadowStripImage(ShadowSide side, QSize size);

// One strip window. Its picture is remade on every resize (the previous one is freed).
class ShadowStripWindow : public QWidget
{
public:
    ShadowStripWindow(ShadowSide side, QWidget* owner);

    ShadowSide side() const { return side_; }
    const QImage& picture() const { return picture_; }

    // Moves the strip under `popup` at the popup's screen rectangle and shows it.
    bool Place(QWidget* popup, const QRect& popupRect);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ShadowSide side_;
    QImage picture_;
};

// A popup's set of strips.
class DropShadow
{
public:
    DropShadow() = default;
    ~DropShadow();
    DropShadow(const DropShadow&) = delete;
    DropShadow& operator=(const DropShadow&) = delete;

    // Makes one strip window per side, owned by `owner`'s window; false (and no strips)
    // without layered windows.
    bool Create(QWidget* owner, const std::vector<ShadowSide>& sides);
    // Places every strip for the popup's screen rectangle; false when not created.
    bool Place(QWidget* popup, const QRect& popupRect);
    // Destroys the strip windows.
    void Destroy();

    bool created() const { return created_; }
    // The strip windows (a strip goes when its owner window goes).
    const std::vector<QPointer<ShadowStripWindow>>& strips() const { return strips_; }

private:
    std::vector<QPointer<ShadowStripWindow>> strips_;
    bool created_ = false;
};

} // namespace plat
