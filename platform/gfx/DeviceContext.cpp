#include "DeviceContext.h"

#include "ShapedLine.h"

#include "FontSubstitution.h"
#include "ScreenInfo.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

namespace
{

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

int Round(double v)
{
    return static_cast<int>(std::lround(v));
}

int DpiFromDotsPerMeter(int dpm)
{
    return dpm > 0 ? Round(dpm * 0.0254) : 96;
}

int DotsPerMeterFromDpi(int dpi)
{
    return Round(dpi / 0.0254);
}

QString TextOf(const wchar_t* text, int count)
{
    if (!text)
        return {};
    if (count < 0)
        return QString::fromWCharArray(text);
    return QString::fromWCharArray(text, count);
}

// GDI's mnemonic prefix: "&&" shows one '&', a single '&' is dropped.
QString StripPrefix(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&') {
            if (i + 1 < s.size() && s[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += s[i];
    }
    return out;
}

QStringList SplitParagraphs(const QString& s)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == u'\r' || c == u'\n') {
            if (i + 1 < s.size() && (s[i + 1] == u'\r' || s[i + 1] == u'\n') && s[i + 1] != c)
                ++i;
            lines << current;
            current.clear();
            continue;
        }
        current += c;
    }
    lines << current;
    return lines;
}

// Greedy breaking: at the last blank that fits, else between characters.
QStringList WrapParagraph(const QString& s, const QFontMetricsF& fm, double width)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < s.size()) {
        qsizetype end = start;
        qsizetype lastBlank = -1;
        double w = 0;
        while (end < s.size()) {
            double cw = fm.horizontalAdvance(s[end]);
            if (w + cw > width && end > start)
                break;
            if (s[end] == u' ')
                lastBlank = end;
            w += cw;
            ++end;
        }
        if (end < s.size() && lastBlank > start) {
            lines << s.mid(start, lastBlank - start);
            start = lastBlank + 1;
        } else {
            lines << s.mid(start, end - start);
            start = end;
        }
    }
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

} // namespace

DeviceCaps DeviceCaps::ForRaster(int width, int height, int dpiX, int dpiY)
{
    DeviceCaps caps;
    caps.dpiX = dpiX > 0 ? dpiX : 96;
    caps.dpiY = dpiY > 0 ? dpiY : 96;
    caps.horzRes = width;
    caps.vertRes = height;
    caps.horzSizeMm = std::max(1, Round(width * 25.4 / caps.dpiX));
    caps.vertSizeMm = std::max(1, Round(height * 25.4 / caps.dpiY));
    caps.physicalWidth = width;
    caps.physicalHeight = height;
    return caps;
}

CDC::CDC()
{
    ResetState();
}

CDC::~CDC()
{
    EndPainting();
}

void CDC::ResetState()
{
    state_ = State();
    state_.pen = StockPen(StockObject::BlackPen);
    state_.brush = StockBrush(StockObject::WhiteBrush);
    saved_.clear();
}

bool CDC::AttachImage(QImage* image)
{
    if (!image || image->isNull())
        return false;
    return AttachImage(image, DeviceCaps::ForRaster(image->width(), image->height(),
                                                    DpiFromDotsPerMeter(image->dotsPerMeterX()),
                                                    DpiFromDotsPerMeter(image->dotsPerMeterY())));
}

bool CDC::AttachImage(QImage* image, const DeviceCaps& caps)
{
    if (!image || image->isNull())
        return false;
    DeleteDC();
    image_ = image;
    device_ = image;
    caps_ = caps;
    return true;
}

bool CDC::AttachDevice(QPaintDevice* device, const DeviceCaps& caps)
{
    if (!device)
        return false;
    DeleteDC();
    device_ = device;
    caps_ = caps;
    return true;
}

bool CDC::CreateCompatibleDC(const CDC* other)
{
    DeviceCaps caps = other ? other->caps_ : plat::ScreenCaps();
    DeleteDC();
    caps_ = caps;
    memoryContext_ = true;
    return true;
}

void CDC::DeleteDC()
{
    EndPainting();
    device_ = nullptr;
    image_ = nullptr;
    bitmap_ = nullptr;
    memoryContext_ = false;
    fonts_.clear();
    ResetState();
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    // Only a memory context takes a bitmap; others keep drawing where they draw.
    if (!memoryContext_)
        return nullptr;
    EndPainting();
    CBitmap* previous = bitmap_;
    bitmap_ = bitmap;
    if (bitmap && bitmap->IsCreated()) {
        QImage& image = bitmap->image();
        image.setDotsPerMeterX(DotsPerMeterFromDpi(caps_.dpiX));
        image.setDotsPerMeterY(DotsPerMeterFromDpi(caps_.dpiY));
        image_ = &image;
        device_ = &image;
        caps_.horzRes = caps_.physicalWidth = image.width();
        caps_.vertRes = caps_.physicalHeight = image.height();
    } else {
        image_ = nullptr;
        device_ = nullptr;
    }
    return previous;
}

QPainter* CDC::painter()
{
    if (painter_)
        return painter_.get();
    if (!device_)
        return nullptr;
    auto p = std::make_unique<QPainter>();
    if (!p->begin(device_))
        return nullptr;
    painter_ = std::move(p);
    return painter_.get();
}

bool CDC::BeginPainting()
{
    return painter() != nullptr;
}

bool CDC::EndPainting()
{
    if (!painter_)
        return true;
    bool ok = painter_->end();
    painter_.reset();
    return ok;
}

bool CDC::IsPainting() const
{
    return painter_ != nullptr;
}

int CDC::GetDeviceCaps(int index) const
{
    switch (index) {
    case HORZSIZE:
        return caps_.horzSizeMm;
    case VERTSIZE:
        return caps_.vertSizeMm;
    case HORZRES:
        return caps_.horzRes;
    case VERTRES:
        return caps_.vertRes;
    case BITSPIXEL:
        return 32;
    case LOGPIXELSX:
        return caps_.dpiX;
    case LOGPIXELSY:
        return caps_.dpiY;
    case PHYSICALWIDTH:
        return caps_.physicalWidth;
    case PHYSICALHEIGHT:
        return caps_.physicalHeight;
    case PHYSICALOFFSETX:
        return caps_.physicalOffsetX;
    case PHYSICALOFFSETY:
        return caps_.physicalOffsetY;
    default:
        return 0;
    }
}

// ---- Mapping.

int CDC::SetMapMode(int mode)
{
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    int previous = state_.mapMode;
    state_.mapMode = mode;
    // Metric modes: the window extent is one inch in logical units, the viewport extent
    // one inch in device pixels, y pointing up.
    auto metric = [this](int unitsPerInch) {
        state_.winExt = {unitsPerInch, unitsPerInch};
        state_.vpExt = {caps_.dpiX, -caps_.dpiY};
    };
    switch (mode) {
    case MM_TEXT:
        state_.winExt = {1, 1};
        state_.vpExt = {1, 1};
        break;
    case MM_LOMETRIC:
        metric(254);
        break;
    case MM_HIMETRIC:
        metric(2540);
        break;
    case MM_LOENGLISH:
        metric(100);
        break;
    case MM_HIENGLISH:
        metric(1000);
        break;
    case MM_TWIPS:
        metric(1440);
        break;
    case MM_ISOTROPIC:
        AdjustIsotropic();
        break;
    default:
        break;
    }
    return previous;
}

POINT CDC::SetWindowOrg(int x, int y)
{
    POINT previous = state_.winOrg;
    state_.winOrg = {x, y};
    return previous;
}

POINT CDC::SetViewportOrg(int x, int y)
{
    POINT previous = state_.vpOrg;
    state_.vpOrg = {x, y};
    return previous;
}

POINT CDC::OffsetViewportOrg(int dx, int dy)
{
    POINT previous = state_.vpOrg;
    state_.vpOrg = {previous.x + dx, previous.y + dy};
    return previous;
}

SIZE CDC::SetWindowExt(int cx, int cy)
{
    SIZE previous = state_.winExt;
    if ((state_.mapMode == MM_ISOTROPIC || state_.mapMode == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        state_.winExt = {cx, cy};
        AdjustIsotropic();
    }
    return previous;
}

SIZE CDC::SetViewportExt(int cx, int cy)
{
    SIZE previous = state_.vpExt;
    if ((state_.mapMode == MM_ISOTROPIC || state_.mapMode == MM_ANISOTROPIC) && cx != 0 && cy != 0) {
        state_.vpExt = {cx, cy};
        AdjustIsotropic();
    }
    return previous;
}

SIZE CDC::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom)
{
    SIZE previous = state_.vpExt;
    if ((state_.mapMode == MM_ISOTROPIC || state_.mapMode == MM_ANISOTROPIC) && xDenom != 0 && yDenom != 0) {
        int cx = MulDiv(previous.cx, xNum, xDenom);
        int cy = MulDiv(previous.cy, yNum, yDenom);
        if (cx != 0 && cy != 0) {
            state_.vpExt = {cx, cy};
            AdjustIsotropic();
        }
    }
    return previous;
}

// Isotropic mapping keeps one scale on both axes: the larger one shrinks to the smaller.
void CDC::AdjustIsotropic()
{
    if (state_.mapMode != MM_ISOTROPIC)
        return;
    double sx = std::abs(static_cast<double>(state_.vpExt.cx) / state_.winExt.cx);
    double sy = std::abs(static_cast<double>(state_.vpExt.cy) / state_.winExt.cy);
    if (sx < sy) {
        int cy = std::max(1, Round(std::abs(state_.winExt.cy) * sx));
        state_.vpExt.cy = state_.vpExt.cy < 0 ? -cy : cy;
    } else if (sy < sx) {
        int cx = std::max(1, Round(std::abs(state_.winExt.cx) * sy));
        state_.vpExt.cx = state_.vpExt.cx < 0 ? -cx : cx;
    }
}

double CDC::ScaleX() const
{
    return static_cast<double>(state_.vpExt.cx) / state_.winExt.cx;
}

double CDC::ScaleY() const
{
    return static_cast<double>(state_.vpExt.cy) / state_.winExt.cy;
}

QPointF CDC::ToDevice(double x, double y) const
{
    return {(x - state_.winOrg.x) * ScaleX() + state_.vpOrg.x,
            (y - state_.winOrg.y) * ScaleY() + state_.vpOrg.y};
}

QPointF CDC::ToLogical(double x, double y) const
{
    return {(x - state_.vpOrg.x) / ScaleX() + state_.winOrg.x,
            (y - state_.vpOrg.y) / ScaleY() + state_.winOrg.y};
}

void CDC::LPtoDP(POINT* points, int count) const
{
    for (int i = 0; points && i < count; ++i) {
        QPointF d = ToDevice(points[i].x, points[i].y);
        points[i] = {Round(d.x()), Round(d.y())};
    }
}

void CDC::LPtoDP(RECT* rect) const
{
    if (!rect)
        return;
    POINT pts[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    LPtoDP(pts, 2);
    *rect = {pts[0].x, pts[0].y, pts[1].x, pts[1].y};
}

void CDC::LPtoDP(SIZE* size) const
{
    if (size)
        *size = {Round(size->cx * ScaleX()), Round(size->cy * ScaleY())};
}

void CDC::DPtoLP(POINT* points, int count) const
{
    for (int i = 0; points && i < count; ++i) {
        QPointF l = ToLogical(points[i].x, points[i].y);
        points[i] = {Round(l.x()), Round(l.y())};
    }
}

void CDC::DPtoLP(RECT* rect) const
{
    if (!rect)
        return;
    POINT pts[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    DPtoLP(pts, 2);
    *rect = {pts[0].x, pts[0].y, pts[1].x, pts[1].y};
}

void CDC::DPtoLP(SIZE* size) const
{
    if (size)
        *size = {Round(size->cx / ScaleX()), Round(size->cy / ScaleY())};
}

QRect CDC::DeviceRect(int left, int top, int right, int bottom) const
{
    QPointF a = ToDevice(left, top);
    QPointF b = ToDevice(right, bottom);
    int x0 = Round(a.x()), y0 = Round(a.y()), x1 = Round(b.x()), y1 = Round(b.y());
    return QRect(QPoint(std::min(x0, x1), std::min(y0, y1)), QSize(std::abs(x1 - x0), std::abs(y1 - y0)));
}

// ---- State.

int CDC::SaveDC()
{
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
}

bool CDC::RestoreDC(int saved)
{
    int depth = static_cast<int>(saved_.size());
    int index = saved > 0 ? saved : depth + saved + 1;
    if (saved == 0 || index < 1 || index > depth)
        return false;
    state_ = saved_[index - 1];
    saved_.resize(index - 1);
    return true;
}

CPen CDC::SelectObject(const CPen& pen)
{
    // An object never created is no object: the context keeps what it has.
    if (!pen.IsCreated())
        return state_.pen;
    return std::exchange(state_.pen, pen);
}

CBrush CDC::SelectObject(const CBrush& brush)
{
    // An object never created is no object: the context keeps what it has.
    if (!brush.IsCreated())
        return state_.brush;
    return std::exchange(state_.brush, brush);
}

CFont CDC::SelectObject(const CFont& font)
{
    // An object never created is no object: the context keeps what it has.
    if (!font.IsCreated())
        return state_.font;
    return std::exchange(state_.font, font);
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    return std::exchange(state_.textColor, color & 0xFFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    return std::exchange(state_.bkColor, color & 0xFFFFFF);
}

int CDC::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(state_.bkMode, mode);
}

UINT CDC::SetTextAlign(UINT align)
{
    return std::exchange(state_.textAlign, align);
}

int CDC::SetROP2(int mode)
{
    if (mode != R2_COPYPEN && mode != R2_NOTXORPEN)
        return 0;
    return std::exchange(state_.rop2, mode);
}

RECT CDC::GetClipBox() const
{
    QRect r = state_.clip ? *state_.clip : QRect(0, 0, caps_.horzRes, caps_.vertRes);
    RECT box{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    DPtoLP(&box);
    return box;
}

void CDC::IntersectClipRect(const RECT& rect)
{
    QRect r = DeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    state_.clip = state_.clip ? state_.clip->intersected(r) : r;
}

void CDC::SelectClipRect(const RECT* rect)
{
    if (!rect)
        state_.clip.reset();
    else
        state_.clip = DeviceRect(rect->left, rect->top, rect->right, rect->bottom);
}

// ---- Drawing.

QPainter* CDC::PreparePainter(bool mixed, const QColor* ink)
{
    QPainter* p = painter();
    if (!p)
        return nullptr;
    // Only what differs is set: every change of a printer painter's state is written
    // into the page (a clip restores the whole graphics state), and a page draws many
    // fields with the same state.
    const QPainter::RenderHints hints = p->renderHints();
    if (hints & (QPainter::Antialiasing | QPainter::SmoothPixmapTransform))
        p->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform, false);
    bool xorMix = mixed && state_.rop2 == R2_NOTXORPEN && device_->devType() == QInternal::Image;
    const QPainter::CompositionMode mode =
        xorMix ? QPainter::RasterOp_NotSourceXorDestination : QPainter::CompositionMode_SourceOver;
    if (p->compositionMode() != mode)
        p->setCompositionMode(mode);
    if (p->opacity() != 1.0)
        p->setOpacity(1.0);
    if (p->brush().style() != Qt::NoBrush)
        p->setBrush(Qt::NoBrush);
    // Text after text keeps its pen: a pen put away and set again would be written
    // into a printed page once per text.
    if (ink) {
        if (inkPen_.color() != *ink)
            inkPen_ = QPen(*ink);
        p->setPen(inkPen_);
    } else if (p->pen().style() != Qt::NoPen)
        p->setPen(Qt::NoPen);
    if (state_.clip) {
        // Clips here are rectangles, so an equal bounding rectangle is an equal clip.
        if (!p->hasClipping() || p->clipBoundingRect() != QRectF(*state_.clip))
            p->setClipRect(*state_.clip);
    } else if (p->hasClipping()) {
        p->setClipping(false);
    }
    return p;
}

bool CDC::StrokeWithPen(QPainter* p) const
{
    const CPen& pen = state_.pen;
    if (pen.style() == PS_NULL)
        return false;
    QPen qpen(ToQColor(pen.color()));
    if (pen.cosmetic()) {
        qpen.setWidth(1);
        qpen.setCosmetic(true);
    } else {
        qpen.setWidth(std::max(1, Round(pen.width() * std::abs(ScaleX()))));
    }
    switch (pen.style()) {
    case PS_DASH:
        qpen.setStyle(Qt::DashLine);
        break;
    case PS_DOT:
        qpen.setStyle(Qt::DotLine);
        break;
    case PS_DASHDOT:
        qpen.setStyle(Qt::DashDotLine);
        break;
    case PS_DASHDOTDOT:
        qpen.setStyle(Qt::DashDotDotLine);
        break;
    case PS_ALTERNATE:
        qpen.setDashPattern({1, 1});
        break;
    default:
        qpen.setStyle(Qt::SolidLine);
        break;
    }
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    p->setPen(qpen);
    return true;
}

POINT CDC::MoveTo(int x, int y)
{
    return std::exchange(state_.current, POINT{x, y});
}

bool CDC::LineTo(int x, int y)
{
    POINT from = state_.current;
    state_.current = {x, y};
    QPainter* p = PreparePainter(true);
    if (!p)
        return false;
    if (!StrokeWithPen(p))
        return true;
    QPointF a = ToDevice(from.x, from.y);
    QPointF b = ToDevice(x, y);
    QPoint da(Round(a.x()), Round(a.y()));
    QPoint db(Round(b.x()), Round(b.y()));
    if (da == db)
        return true;
    // With flat caps the painter leaves the end point out, as GDI does.
    p->drawLine(da, db);
    return true;
}

bool CDC::Polyline(const POINT* points, int count)
{
    if (!points || count < 2)
        return false;
    POINT saved = state_.current;
    state_.current = points[0];
    bool ok = true;
    for (int i = 1; i < count; ++i)
        ok = LineTo(points[i].x, points[i].y) && ok;
    state_.current = saved;
    return ok;
}

bool CDC::Polygon(const POINT* points, int count)
{
    if (!points || count < 2)
        return false;
    QPainter* p = PreparePainter(true);
    if (!p)
        return false;
    QPolygonF poly;
    for (int i = 0; i < count; ++i) {
        QPointF d = ToDevice(points[i].x, points[i].y);
        poly << QPointF(Round(d.x()), Round(d.y()));
    }
    if (state_.brush.style() != BS_NULL)
        p->setBrush(ToQColor(state_.brush.color()));
    StrokeWithPen(p);
    p->drawPolygon(poly);
    return true;
}

bool CDC::Rectangle(int left, int top, int right, int bottom)
{
    QPainter* p = PreparePainter(true);
    if (!p)
        return false;
    QRect r = DeviceRect(left, top, right, bottom);
    if (r.isEmpty())
        return true;
    if (state_.brush.style() != BS_NULL)
        p->fillRect(r, ToQColor(state_.brush.color()));
    const CPen& pen = state_.pen;
    if (pen.style() == PS_NULL)
        return true;
    QColor color = ToQColor(pen.color());
    int w = pen.cosmetic() ? 1 : std::max(1, Round(pen.width() * std::abs(ScaleX())));
    if (pen.style() == PS_SOLID || pen.style() == PS_INSIDEFRAME) {
        // A wide solid pen is centred on the one-pixel frame; an inside-frame pen keeps
        // to the rectangle, which keeps its exclusive edges.
        if (pen.style() == PS_SOLID && w > 1) {
            int grow = (w - 1) / 2;
            r.adjust(-grow, -grow, grow, grow);
        }
        w = std::min({w, (r.width() + 1) / 2, (r.height() + 1) / 2});
        // Bands that do not overlap, so that a XOR frame drawn twice vanishes.
        p->fillRect(QRect(r.left(), r.top(), r.width(), w), color);
        int bottomY = std::max(r.bottom() - w + 1, r.top() + w);
        if (bottomY <= r.bottom())
            p->fillRect(QRect(r.left(), bottomY, r.width(), r.bottom() - bottomY + 1), color);
        int side = bottomY - (r.top() + w);
        if (side > 0) {
            p->fillRect(QRect(r.left(), r.top() + w, w, side), color);
            int rightX = std::max(r.right() - w + 1, r.left() + w);
            if (rightX <= r.right())
                p->fillRect(QRect(rightX, r.top() + w, r.right() - rightX + 1, side), color);
        }
        return true;
    }
    if (pen.style() == PS_ALTERNATE) {
        // Every other pixel round the frame, clockwise from the top-left corner.
        std::vector<QPoint> ring;
        for (int x = r.left(); x <= r.right(); ++x)
            ring.emplace_back(x, r.top());
        for (int y = r.top() + 1; y <= r.bottom(); ++y)
            ring.emplace_back(r.right(), y);
        for (int x = r.right() - 1; x >= r.left() && r.height() > 1; --x)
            ring.emplace_back(x, r.bottom());
        for (int y = r.bottom() - 1; y > r.top() && r.width() > 1; --y)
            ring.emplace_back(r.left(), y);
        for (size_t i = 0; i < ring.size(); i += 2)
            p->fillRect(QRect(ring[i], QSize(1, 1)), color);
        return true;
    }
    StrokeWithPen(p);
    p->drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    return true;
}

bool CDC::Ellipse(int left, int top, int right, int bottom)
{
    QPainter* p = PreparePainter(true);
    if (!p)
        return false;
    QRect r = DeviceRect(left, top, right, bottom);
    if (r.isEmpty())
        return true;
    if (state_.brush.style() != BS_NULL)
        p->setBrush(ToQColor(state_.brush.color()));
    StrokeWithPen(p);
    p->drawEllipse(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
    return true;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    // Like the class library's version, this leaves the colour as the background colour.
    SetBkColor(color);
    QPainter* p = PreparePainter();
    if (!p)
        return;
    QRect r = DeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    if (!r.isEmpty())
        p->fillRect(r, ToQColor(color));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    FillSolidRect(RECT{x, y, x + cx, y + cy}, color);
}

void CDC::FillRect(const RECT& rect, const CBrush& brush)
{
    if (brush.style() == BS_NULL)
        return;
    QPainter* p = PreparePainter();
    if (!p)
        return;
    QRect r = DeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    if (!r.isEmpty())
        p->fillRect(r, ToQColor(brush.color()));
}

void CDC::FrameRect(const RECT& rect, const CBrush& brush)
{
    if (brush.style() == BS_NULL)
        return;
    QPainter* p = PreparePainter();
    if (!p)
        return;
    QRect r = DeviceRect(rect.left, rect.top, rect.right, rect.bottom);
    if (r.isEmpty())
        return;
    // One logical unit wide.
    int wx = std::max(1, Round(std::abs(ScaleX())));
    int wy = std::max(1, Round(std::abs(ScaleY())));
    QColor color = ToQColor(brush.color());
    p->fillRect(QRect(r.left(), r.top(), r.width(), wy), color);
    p->fillRect(QRect(r.left(), r.bottom() - wy + 1, r.width(), wy), color);
    p->fillRect(QRect(r.left(), r.top(), wx, r.height()), color);
    p->fillRect(QRect(r.right() - wx + 1, r.top(), wx, r.height()), color);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    QPainter* p = PreparePainter();
    if (!p)
        return kInvalidColor;
    QPointF d = ToDevice(x, y);
    p->fillRect(QRect(Round(d.x()), Round(d.y()), 1, 1), ToQColor(color));
    return color & 0xFFFFFF;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!image_)
        return kInvalidColor;
    QPointF d = ToDevice(x, y);
    QPoint pt(Round(d.x()), Round(d.y()));
    if (!image_->rect().contains(pt))
        return kInvalidColor;
    QRgb rgb = std::as_const(*image_).pixel(pt);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// ---- Text.

double CDC::DeviceEmPixels() const
{
    LOGFONTW lf = state_.font.IsCreated() ? state_.font.logFont() : LOGFONTW{};
    if (lf.lfHeight == 0)
        return 12.0 * caps_.dpiY / 96.0; // the default size of a context's font
    double deviceHeight = std::abs(lf.lfHeight * ScaleY());
    if (lf.lfHeight < 0)
        return deviceHeight;
    // A positive height is the cell height (ascent + descent).
    QFont probe = plat::FontFromLogFont(lf, 100.0, 72);
    QFontMetricsF fm(probe);
    double cell = fm.ascent() + fm.descent();
    return cell > 0 ? deviceHeight * 100.0 / cell : deviceHeight;
}

const CDC::RealisedFont& CDC::Realised() const
{
    LOGFONTW lf = state_.font.IsCreated() ? state_.font.logFont() : LOGFONTW{};
    int dpi = device_ ? device_->logicalDpiY() : caps_.dpiY;
    double scale = ScaleY();
    for (size_t i = 0; i < fonts_.size(); ++i) {
        const RealisedFont& c = fonts_[i];
        if (c.device == device_ && c.dpi == dpi && c.capsDpi == caps_.dpiY && c.scale == scale &&
            std::memcmp(&c.logFont, &lf, sizeof(LOGFONTW)) == 0) {
            if (i > 0)
                std::rotate(fonts_.begin(), fonts_.begin() + static_cast<std::ptrdiff_t>(i),
                            fonts_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return fonts_.front();
        }
    }
    if (fonts_.size() >= kRealisedFonts)
        fonts_.pop_back();
    RealisedFont c;
    c.logFont = lf;
    c.device = device_;
    c.dpi = dpi;
    c.capsDpi = caps_.dpiY;
    c.scale = scale;
    c.font = plat::FontFromLogFont(lf, DeviceEmPixels(), dpi);
    c.deviceFont = device_ ? QFont(c.font, device_) : c.font;
    if (device_)
        c.metrics.emplace(c.font, device_);
    else
        c.metrics.emplace(c.font);
    c.ascent = c.metrics->ascent();
    c.descent = c.metrics->descent();
    fonts_.insert(fonts_.begin(), std::move(c));
    return fonts_.front();
}

QFont CDC::DeviceFont() const
{
    return Realised().font;
}

const QFont& CDC::LayoutFont() const
{
    return Realised().deviceFont;
}

const QFontMetricsF& CDC::DeviceMetrics() const
{
    return *Realised().metrics;
}

bool CDC::GetTextExtentPoint32(const wchar_t* text, int count, SIZE* size) const
{
    if (!size || !device_)
        return false;
    const QFontMetricsF& fm = DeviceMetrics();
    double w = fm.horizontalAdvance(TextOf(text, count));
    double h = fm.ascent() + fm.descent();
    *size = {Round(w / std::abs(ScaleX())), Round(h / std::abs(ScaleY()))};
    return true;
}

SIZE CDC::GetTextExtent(const wchar_t* text, int count) const
{
    SIZE size;
    GetTextExtentPoint32(text, count, &size);
    return size;
}

bool CDC::GetTextMetrics(TEXTMETRICW* metrics) const
{
    if (!metrics || !device_)
        return false;
    const QFontMetricsF& fm = DeviceMetrics();
    double sy = std::abs(ScaleY());
    double sx = std::abs(ScaleX());
    metrics->tmAscent = Round(fm.ascent() / sy);
    metrics->tmDescent = Round(fm.descent() / sy);
    metrics->tmHeight = Round((fm.ascent() + fm.descent()) / sy);
    metrics->tmInternalLeading = 0;
    metrics->tmExternalLeading = Round(std::max(0.0, fm.leading()) / sy);
    metrics->tmAveCharWidth = Round(fm.averageCharWidth() / sx);
    metrics->tmMaxCharWidth = Round(fm.maxWidth() / sx);
    return true;
}

bool CDC::TextOut(int x, int y, const wchar_t* text, int count)
{
    const QColor ink = ToQColor(state_.textColor);
    QPainter* p = PreparePainter(false, &ink);
    if (!p)
        return false;
    const RealisedFont& realised = Realised();
    const QFontMetricsF& fm = *realised.metrics;
    const plat::ShapedLine shaped(TextOf(text, count), realised.deviceFont, device_);
    const double w = shaped.Width();
    QPointF d = ToDevice(x, y);
    double left = d.x();
    if ((state_.textAlign & TA_CENTER) == TA_CENTER)
        left -= w / 2;
    else if ((state_.textAlign & TA_RIGHT) == TA_RIGHT)
        left -= w;
    double baseline = d.y() + fm.ascent();
    if ((state_.textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = d.y();
    else if ((state_.textAlign & TA_BOTTOM) == TA_BOTTOM)
        baseline = d.y() - fm.descent();
    if (state_.bkMode == OPAQUE)
        p->fillRect(QRectF(left, baseline - fm.ascent(), w, fm.ascent() + fm.descent()),
                    ToQColor(state_.bkColor));
    shaped.Draw(p, left, baseline);
    return true;
}

int CDC::DrawText(const wchar_t* text, int count, RECT* rect, UINT format)
{
    if (!rect || !device_)
        return 0;
    QString s = TextOf(text, count);
    if (!(format & DT_NOPREFIX))
        s = StripPrefix(s);
    const RealisedFont& realised = Realised();
    const QFont& font = realised.deviceFont;
    const QFontMetricsF& fm = *realised.metrics;
    QRect box = DeviceRect(rect->left, rect->top, rect->right, rect->bottom);
    const double ascent = realised.ascent;
    const double lineHeight = ascent + realised.descent;

    QStringList lines;
    if (format & DT_SINGLELINE) {
        QString one = s;
        one.remove(u'\r');
        one.remove(u'\n');
        lines << one;
    } else {
        for (const QString& paragraph : SplitParagraphs(s)) {
            if (format & DT_WORDBREAK)
                lines << WrapParagraph(paragraph, fm, box.width());
            else
                lines << paragraph;
        }
    }
    // Each line is shaped once; its width places it and its glyphs draw it.
    std::vector<std::unique_ptr<plat::ShapedLine>> shaped;
    shaped.reserve(static_cast<size_t>(lines.size()));
    double widest = 0;
    for (const QString& line : lines) {
        shaped.push_back(std::make_unique<plat::ShapedLine>(line, font, device_));
        widest = std::max(widest, shaped.back()->Width());
    }
    double total = lineHeight * lines.size();
    int logicalHeight = Round(total / std::abs(ScaleY()));

    if (format & DT_CALCRECT) {
        SIZE extent{Round(widest), Round(total)};
        DPtoLP(&extent);
        rect->right = rect->left + extent.cx;
        rect->bottom = rect->top + extent.cy;
        return logicalHeight;
    }

    const QColor ink = ToQColor(state_.textColor);
    QPainter* p = PreparePainter(false, &ink);
    if (!p)
        return 0;
    double y = box.top();
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = box.top() + (box.height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = box.top() + box.height() - lineHeight;
    }
    struct Placed {
        double x;
        double y;
        double width;
    };
    std::vector<Placed> placed;
    placed.reserve(shaped.size());
    // The box clips only a text that can leave it: a clip costs a painter state in
    // every printed page and changes nothing for a text that fits.
    bool leaves = false;
    for (const auto& line : shaped) {
        const double w = line->Width();
        double x = box.left();
        if (format & DT_CENTER)
            x = box.left() + (box.width() - w) / 2;
        else if (format & DT_RIGHT)
            x = box.left() + box.width() - w;
        placed.push_back({x, y, w});
        leaves = leaves || x < box.left() || x + w > box.left() + box.width() || y < box.top() ||
                 y + lineHeight > box.top() + box.height();
        y += lineHeight;
    }
    if (!(format & DT_NOCLIP) && leaves)
        p->setClipRect(box, state_.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    for (size_t i = 0; i < shaped.size(); ++i) {
        const Placed& at = placed[i];
        if (state_.bkMode == OPAQUE)
            p->fillRect(QRectF(at.x, at.y, at.width, lineHeight), ToQColor(state_.bkColor));
        shaped[i]->Draw(p, at.x, at.y + ascent);
    }
    return logicalHeight;
}

// ---- Blits.

bool CDC::MapBlitRects(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, QRect* dst,
                       QRect* srcRect, bool* mirrorX, bool* mirrorY) const
{
    QPointF d0 = ToDevice(x, y), d1 = ToDevice(x + w, y + h);
    QPointF s0 = src->ToDevice(sx, sy), s1 = src->ToDevice(sx + sw, sy + sh);
    int dx0 = Round(d0.x()), dy0 = Round(d0.y()), dx1 = Round(d1.x()), dy1 = Round(d1.y());
    int sx0 = Round(s0.x()), sy0 = Round(s0.y()), sx1 = Round(s1.x()), sy1 = Round(s1.y());
    if (dx0 == dx1 || dy0 == dy1 || sx0 == sx1 || sy0 == sy1)
        return false;
    *mirrorX = (dx1 > dx0) != (sx1 > sx0);
    *mirrorY = (dy1 > dy0) != (sy1 > sy0);
    *dst = QRect(QPoint(std::min(dx0, dx1), std::min(dy0, dy1)),
                 QSize(std::abs(dx1 - dx0), std::abs(dy1 - dy0)));
    *srcRect = QRect(QPoint(std::min(sx0, sx1), std::min(sy0, sy1)),
                     QSize(std::abs(sx1 - sx0), std::abs(sy1 - sy0)));
    return true;
}

bool CDC::Blit(const QRect& dst, bool mirrorX, bool mirrorY, CDC* src, const QRect& srcRect, double opacity,
               bool copy)
{
    if (!src || !src->image_)
        return false;
    // Only pixels the source has are transferred; the destination shrinks with them.
    QRect clipped = srcRect.intersected(src->image_->rect());
    if (clipped.isEmpty())
        return true;
    QRect target = dst;
    if (clipped != srcRect) {
        double fx0 = double(clipped.left() - srcRect.left()) / srcRect.width();
        double fx1 = double(clipped.left() + clipped.width() - srcRect.left()) / srcRect.width();
        double fy0 = double(clipped.top() - srcRect.top()) / srcRect.height();
        double fy1 = double(clipped.top() + clipped.height() - srcRect.top()) / srcRect.height();
        if (mirrorX)
            std::tie(fx0, fx1) = std::make_pair(1 - fx1, 1 - fx0);
        if (mirrorY)
            std::tie(fy0, fy1) = std::make_pair(1 - fy1, 1 - fy0);
        int left = dst.left() + Round(fx0 * dst.width());
        int right = dst.left() + Round(fx1 * dst.width());
        int top = dst.top() + Round(fy0 * dst.height());
        int bottom = dst.top() + Round(fy1 * dst.height());
        target = QRect(QPoint(left, top), QSize(right - left, bottom - top));
        if (target.isEmpty())
            return true;
    }
    // A blit within this very context takes its pixels first, and a mirrored one needs
    // them turned; any other is drawn straight from the source, as copying a page-sized
    // background into a new image on every paint cost more than drawing it.
    const bool ownPixels = src->image_ == image_;
    QImage piece;
    if (ownPixels || mirrorX || mirrorY) {
        piece = src->image_->copy(clipped).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (piece.isNull())
            return false;
        if (mirrorX || mirrorY)
            piece = piece.mirrored(mirrorX, mirrorY);
    }
    QPainter* p = PreparePainter();
    if (!p)
        return false;
    // On an image a copy replaces the pixels. A printer cannot be read back, so a buffer
    // over it starts transparent (DoxDC) and is laid over the page: what was painted
    // into it is copied, what was not leaves the page as it is.
    if (copy && device_->devType() == QInternal::Image)
        p->setCompositionMode(QPainter::CompositionMode_Source);
    p->setOpacity(opacity);
    if (piece.isNull())
        p->drawImage(QRectF(target), *src->image_, QRectF(clipped));
    else if (target.size() == piece.size())
        p->drawImage(target.topLeft(), piece);
    else
        p->drawImage(target, piece);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setOpacity(1.0);
    return true;
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, uint32_t rop)
{
    // A copy is a stretch whose source has the destination's size.
    return StretchBlt(x, y, width, height, src, srcX, srcY, width, height, rop);
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                     int srcHeight, uint32_t /*rop*/)
{
    if (!src)
        return false;
    QRect dst, srcRect;
    bool mx = false, my = false;
    if (!MapBlitRects(x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, &dst, &srcRect, &mx, &my))
        return false;
    return Blit(dst, mx, my, src, srcRect, 1.0, true);
}

bool CDC::AlphaBlend(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                     int srcHeight, BLENDFUNCTION blend)
{
    if (!src)
        return false;
    QRect dst, srcRect;
    bool mx = false, my = false;
    if (!MapBlitRects(x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, &dst, &srcRect, &mx, &my))
        return false;
    return Blit(dst, mx, my, src, srcRect, blend.SourceConstantAlpha / 255.0, false);
}

bool CDC::GradientFillRect(POINT a, COLORREF ca, POINT b, COLORREF cb, int mode)
{
    QPainter* p = PreparePainter();
    if (!p)
        return false;
    QPointF da = ToDevice(a.x, a.y), db = ToDevice(b.x, b.y);
    int ax = Round(da.x()), ay = Round(da.y()), bx = Round(db.x()), by = Round(db.y());
    QRect r(QPoint(std::min(ax, bx), std::min(ay, by)), QSize(std::abs(bx - ax), std::abs(by - ay)));
    if (r.isEmpty())
        return true;
    bool vertical = mode == GRADIENT_FILL_RECT_V;
    int n = vertical ? r.height() : r.width();
    // Does the first colour sit at the low (top or left) end of the device rectangle?
    bool firstAtLow = vertical ? ay <= by : ax <= bx;
    auto channel = [](int c0, int c1, double t) { return Round(c0 + (c1 - c0) * t); };
    for (int i = 0; i < n; ++i) {
        double t = n == 1 ? 0.0 : static_cast<double>(i) / (n - 1);
        if (!firstAtLow)
            t = 1.0 - t;
        QColor color(channel(GetRValue(ca), GetRValue(cb), t), channel(GetGValue(ca), GetGValue(cb), t),
                     channel(GetBValue(ca), GetBValue(cb), t));
        if (vertical)
            p->fillRect(QRect(r.left(), r.top() + i, r.width(), 1), color);
        else
            p->fillRect(QRect(r.left() + i, r.top(), 1, r.height()), color);
    }
    return true;
}
