#include "GdiShapes.h"

#include "ShapedLine.h"
#include "SystemColors.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <cwchar>
#include <optional>

namespace
{

QRect DeviceBox(const CDC& dc, int left, int top, int right, int bottom)
{
    RECT r{left, top, right, bottom};
    dc.LPtoDP(&r);
    return QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                 QPoint(std::max(r.left, r.right) - 1, std::max(r.top, r.bottom) - 1));
}

// The context's painter set up as its own drawing calls leave it: plain source-over
// painting clipped to the context's clip box (an earlier call may have left its own clip).
// Only what differs is set: a grid draws a screen of cells with the same state.
QPainter* Prepared(CDC& dc, QRect* deviceClip = nullptr)
{
    QPainter* p = dc.painter();
    if (!p)
        return nullptr;
    if (p->compositionMode() != QPainter::CompositionMode_SourceOver)
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (p->opacity() != 1.0)
        p->setOpacity(1.0);
    if (p->testRenderHint(QPainter::Antialiasing))
        p->setRenderHint(QPainter::Antialiasing, false);
    const RECT clip = dc.GetClipBox();
    const QRect box = DeviceBox(dc, clip.left, clip.top, clip.right, clip.bottom);
    // Clips here are rectangles, so an equal bounding rectangle is an equal clip.
    if (!p->hasClipping() || p->clipBoundingRect() != QRectF(box))
        p->setClipRect(box);
    if (deviceClip)
        *deviceClip = box;
    return p;
}

} // namespace

bool RoundRect(CDC& dc, int left, int top, int right, int bottom, int width, int height)
{
    QPainter* p = Prepared(dc);
    if (!p)
        return false;
    QRect box = DeviceBox(dc, left, top, right, bottom);
    SIZE corner{width, height};
    dc.LPtoDP(&corner);
    const CPen& pen = dc.GetCurrentPen();
    const CBrush& brush = dc.GetCurrentBrush();
    p->save();
    const bool outlined = !(pen.IsCreated() && pen.style() == PS_NULL);
    if (!outlined)
        p->setPen(Qt::NoPen);
    else
        p->setPen(QPen(plat::ToQColor(pen.IsCreated() ? pen.color() : 0), pen.cosmetic() ? 0 : pen.width()));
    if (brush.IsCreated() && brush.style() == BS_NULL)
        p->setBrush(Qt::NoBrush);
    else
        p->setBrush(plat::ToQColor(brush.IsCreated() ? brush.color() : 0xFFFFFF));
    // The outline keeps to the box, its right and bottom edges excluded as for every
    // shape here: a one-pixel outline of a rectangle w wide is drawn w + 1 pixels wide,
    // and the pixel beyond is one that a repaint of the box never covers again.
    const QRectF shape = outlined ? QRectF(box.x(), box.y(), box.width() - 1, box.height() - 1) : QRectF(box);
    p->drawRoundedRect(shape, std::abs(corner.cx) / 2.0, std::abs(corner.cy) / 2.0);
    p->restore();
    return true;
}

void Draw3dRect(CDC& dc, int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    // A frame of one colour no more than two pixels across is the whole rectangle (a
    // grid draws a line of these between every two cells).
    if (topLeft == bottomRight && cx > 0 && cy > 0 && (cx <= 2 || cy <= 2)) {
        dc.FillSolidRect(x, y, cx, cy, topLeft);
        return;
    }
    dc.FillSolidRect(x, y, cx - 1, 1, topLeft);
    dc.FillSolidRect(x, y, 1, cy - 1, topLeft);
    dc.FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    dc.FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, topLeft, bottomRight);
}

void DrawFocusRect(CDC& dc, const RECT& rect)
{
    QRect box = DeviceBox(dc, rect.left, rect.top, rect.right, rect.bottom);
    if (box.isEmpty())
        return;
    QImage* image = dc.GetImage();
    if (image && dc.painter()) {
        dc.EndPainting(); // the pixels are changed directly
        QRect area = box.intersected(image->rect());
        auto invert = [&](int x, int y) {
            if (!area.contains(x, y) || ((x + y) & 1))
                return;
            QRgb px = image->pixel(x, y);
            image->setPixel(x, y, qRgba(255 - qRed(px), 255 - qGreen(px), 255 - qBlue(px), qAlpha(px)));
        };
        for (int x = box.left(); x <= box.right(); ++x) {
            invert(x, box.top());
            if (box.bottom() != box.top())
                invert(x, box.bottom());
        }
        for (int y = box.top() + 1; y < box.bottom(); ++y) {
            invert(box.left(), y);
            if (box.right() != box.left())
                invert(box.right(), y);
        }
        return;
    }
    QPainter* p = Prepared(dc);
    if (!p)
        return;
    p->save();
    p->setBrush(Qt::NoBrush);
    p->setPen(QPen(Qt::gray, 0, Qt::DotLine));
    p->drawRect(box);
    p->restore();
}

QString StripMnemonic(const QString& text, int* mnemonicIndex)
{
    QString out;
    int index = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                out += u'&';
                ++i;
            } else if (i + 1 < text.size() && index < 0) {
                index = static_cast<int>(out.size());
            }
            continue;
        }
        out += text[i];
    }
    if (mnemonicIndex)
        *mnemonicIndex = index;
    return out;
}

int DrawTextEx(CDC& dc, const wchar_t* text, int count, RECT* rect, UINT format)
{
    if (!rect || !text)
        return 0;
    if (!(format & DT_SINGLELINE) || (format & DT_CALCRECT))
        return dc.DrawText(text, count, rect, format & ~(DT_END_ELLIPSIS | DT_HIDEPREFIX));
    return DrawTextEx(dc, QString::fromWCharArray(text, count < 0 ? static_cast<int>(std::wcslen(text)) : count),
                      rect, format);
}

int DrawTextEx(CDC& dc, QString raw, RECT* rect, UINT format)
{
    if (!rect)
        return 0;
    if (!(format & DT_SINGLELINE) || (format & DT_CALCRECT)) {
        const std::wstring text = raw.toStdWString();
        return dc.DrawText(text.c_str(), static_cast<int>(text.size()), rect,
                           format & ~(DT_END_ELLIPSIS | DT_HIDEPREFIX));
    }
    QRect deviceClip;
    QPainter* p = Prepared(dc, &deviceClip);
    if (!p)
        return 0;
    int mnemonic = -1;
    QString shown = (format & DT_NOPREFIX) ? raw : StripMnemonic(raw, &mnemonic);
    if (format & DT_HIDEPREFIX)
        mnemonic = -1;
    raw.remove(u'\r');

    // The text is shaped once (twice when the layout cuts it short): its width places
    // it and the same glyphs draw it. A grid paints a screen of cells at every key of a
    // search.
    const QFontMetricsF fm = dc.DeviceMetrics();
    QRect box = DeviceBox(dc, rect->left, rect->top, rect->right, rect->bottom);
    const QPaintEngine* engine = p->paintEngine();
    const auto target = engine && engine->type() == QPaintEngine::Raster ? plat::ShapedLine::Target::Raster
                                                                          : plat::ShapedLine::Target::Any;
    std::optional<plat::ShapedLine> line;
    line.emplace(shown, dc.LayoutFont(), p->device(), target);
    double w = line->Width();
    if ((format & DT_END_ELLIPSIS) && w > box.width()) {
        if (!line->ElideRight(shown, box.width())) {
            shown = fm.elidedText(shown, Qt::ElideRight, box.width());
            line.emplace(shown, dc.LayoutFont(), p->device(), target);
        }
        if (mnemonic >= shown.size() - 1)
            mnemonic = -1; // the underlined character was cut away
        w = line->Width();
    }
    const double lineHeight = fm.ascent() + fm.descent();
    double x = box.left();
    if (format & DT_CENTER)
        x = box.left() + (box.width() - w) / 2;
    else if (format & DT_RIGHT)
        x = box.left() + box.width() - w;
    double y = box.top();
    if (format & DT_VCENTER)
        y = box.top() + (box.height() - lineHeight) / 2;
    else if (format & DT_BOTTOM)
        y = box.top() + box.height() - lineHeight;

    // The clip and the pen are put back by hand: a saved painter state costs as much as
    // drawing a short cell's glyphs.
    const QPen pen = p->pen();
    if (!(format & DT_NOCLIP))
        p->setClipRect(box.intersected(deviceClip));
    if (dc.GetBkMode() == OPAQUE)
        p->fillRect(QRectF(x, y, w, lineHeight), plat::ToQColor(dc.GetBkColor()));
    const QColor color = plat::ToQColor(dc.GetTextColor());
    p->setPen(color);
    const double baseline = y + fm.ascent();
    line->Draw(p, x, baseline);
    if (mnemonic >= 0) {
        double from = x + fm.horizontalAdvance(shown.left(mnemonic));
        double to = x + fm.horizontalAdvance(shown.left(mnemonic + 1));
        double under = baseline + std::max(1.0, fm.underlinePos());
        p->fillRect(QRectF(from, std::floor(under), to - from, std::max(1.0, fm.lineWidth())), color);
    }
    if (!(format & DT_NOCLIP))
        p->setClipRect(deviceClip);
    p->setPen(pen);
    return static_cast<int>(lineHeight);
}
