#pragma once
// CDC: a device context that keeps GDI's state itself (map mode, window and viewport
// origins and extents, pen, brush, font, colours, background mode, text alignment,
// clipping, a SaveDC stack) and draws through a QPainter in device pixels. Points are
// mapped here, never through a painter transform, so text stays upright under a y-up
// mapping and rectangles keep GDI's exclusive right and bottom edges.
//
// A context draws on one of: an image it does not own (a bitmap selected into a memory
// context, a window's back buffer, a test's image) or another paint device (a printer),
// whose painter may be begun by the owner of the job.

#include "GdiObjects.h"
#include "GdiTypes.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QRect>
#include <memory>
#include <optional>
#include <vector>

class QImage;
class QPaintDevice;
class QPainter;
class CDC;

// A device-context handle is the context itself.
using HDC = CDC*;

// What GetDeviceCaps answers. Resolutions in dots per inch, sizes in device pixels,
// HORZSIZE/VERTSIZE in whole millimetres.
struct DeviceCaps {
    int dpiX = 96;
    int dpiY = 96;
    int horzRes = 0;
    int vertRes = 0;
    int horzSizeMm = 0;
    int vertSizeMm = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int physicalOffsetX = 0;
    int physicalOffsetY = 0;

    // Caps of a raster surface of width x height pixels at the given resolution.
    static DeviceCaps ForRaster(int width, int height, int dpiX, int dpiY);
};

class CDC
{
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // ---- The device.
    // Draws on the image (not owned); the resolution comes from the image's dots per
    // metre. False for a null image.
    bool AttachImage(QImage* image);
    // Draws on the image with the given capabilities (window back buffers).
    bool AttachImage(QImage* image, const DeviceCaps& caps);
    // Draws on any paint device (a printer) with the given capabilities.
    bool AttachDevice(QPaintDevice* device, const DeviceCaps& caps);
    // A memory context with the resolution of `other` (the screen's when null) and no
    // bitmap yet; select one with SelectObject(CBitmap*).
    bool CreateCompatibleDC(const CDC* other);
    // Ends painting, forgets the device and the bitmap and resets the state.
    void DeleteDC();
    // Null while the context has no device.
    HDC GetSafeHdc() { return device_ ? this : nullptr; }
    QPaintDevice* GetDevice() const { return device_; }
    // The image drawn on, or null for other devices.
    QImage* GetImage() const { return image_; }

    // Selects a bitmap into a memory context; returns the previous one (may be null).
    // The bitmap's resolution is set to the context's. Other contexts are left as they
    // are and get null.
    CBitmap* SelectObject(CBitmap* bitmap);

    // The painter, begun on first use. Null when there is no device or it refuses.
    QPainter* painter();
    // Begins painting now; false when the device refuses (a printer that cannot start).
    bool BeginPainting();
    // Ends painting; the device then holds everything drawn.
    bool EndPainting();
    bool IsPainting() const;

    int GetDeviceCaps(int index) const;
    const DeviceCaps& caps() const { return caps_; }

    // ---- Mapping.
    virtual int SetMapMode(int mode);
    int GetMapMode() const { return state_.mapMode; }
    POINT SetWindowOrg(int x, int y);
    POINT GetWindowOrg() const { return state_.winOrg; }
    POINT SetViewportOrg(int x, int y);
    POINT OffsetViewportOrg(int dx, int dy);
    POINT GetViewportOrg() const { return state_.vpOrg; }
    // Effective in MM_ISOTROPIC and MM_ANISOTROPIC only; return the previous extent.
    SIZE SetWindowExt(int cx, int cy);
    SIZE SetViewportExt(int cx, int cy);
    SIZE GetWindowExt() const { return state_.winExt; }
    SIZE GetViewportExt() const { return state_.vpExt; }
    SIZE ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);

    void LPtoDP(POINT* points, int count = 1) const;
    void LPtoDP(RECT* rect) const;
    // Sizes are scaled without the origins; the sign follows the mapping.
    void LPtoDP(SIZE* size) const;
    void DPtoLP(POINT* points, int count = 1) const;
    void DPtoLP(RECT* rect) const;
    void DPtoLP(SIZE* size) const;

    // ---- State.
    // Returns the new depth (1 for the first save), 0 on failure.
    int SaveDC();
    // A positive number restores that save; a negative one counts back from the last.
    bool RestoreDC(int saved);

    // Each returns the object it replaces; an object that was never created changes
    // nothing (and the current one is returned).
    CPen SelectObject(const CPen& pen);
    CBrush SelectObject(const CBrush& brush);
    CFont SelectObject(const CFont& font);
    const CPen& GetCurrentPen() const { return state_.pen; }
    const CBrush& GetCurrentBrush() const { return state_.brush; }
    const CFont& GetCurrentFont() const { return state_.font; }

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return state_.textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return state_.bkColor; }
    int SetBkMode(int mode);
    int GetBkMode() const { return state_.bkMode; }
    UINT SetTextAlign(UINT align);
    UINT GetTextAlign() const { return state_.textAlign; }
    // R2_COPYPEN or R2_NOTXORPEN. The XOR mode applies to lines and shapes drawn on
    // images (rubber bands and outlines on a window's back buffer): drawing the same
    // thing twice restores the pixels. Returns the previous mode, 0 for another mode.
    int SetROP2(int mode);
    int GetROP2() const { return state_.rop2; }

    // Clipping in logical units of the current mapping.
    void IntersectClipRect(const RECT& rect);
    // Null removes the clip.
    void SelectClipRect(const RECT* rect);
    // The clip rectangle (the whole surface without one) in logical units.
    RECT GetClipBox() const;

    // ---- Drawing (logical units).
    POINT MoveTo(int x, int y);
    // Draws to the point, excluding it, and makes it the current position.
    bool LineTo(int x, int y);
    bool Polyline(const POINT* points, int count);
    bool Polygon(const POINT* points, int count);
    bool Rectangle(int left, int top, int right, int bottom);
    bool Rectangle(const RECT& rect) { return Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    bool Ellipse(int left, int top, int right, int bottom);
    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const RECT& rect, const CBrush& brush);
    void FrameRect(const RECT& rect, const CBrush& brush);
    COLORREF SetPixel(int x, int y, COLORREF color);
    // 0xFFFFFFFF (CLR_INVALID) outside the image or on a device that cannot be read.
    COLORREF GetPixel(int x, int y) const;

    bool TextOut(int x, int y, const wchar_t* text, int count = -1);
    // Returns the height of the text drawn, in logical units (0 on failure).
    virtual int DrawText(const wchar_t* text, int count, RECT* rect, UINT format);
    bool GetTextExtentPoint32(const wchar_t* text, int count, SIZE* size) const;
    SIZE GetTextExtent(const wchar_t* text, int count = -1) const;
    bool GetTextMetrics(TEXTMETRICW* metrics) const;

    // Copies pixels from a context that draws on an image. Mirrors when the source and
    // destination mappings point their axes differently, like GDI.
    bool BitBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, uint32_t rop = SRCCOPY);
    bool StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                    int srcHeight, uint32_t rop = SRCCOPY);
    // Blends the source over this context with the constant alpha of `blend`.
    bool AlphaBlend(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                    int srcHeight, BLENDFUNCTION blend);
    // Fills the rectangle spanned by the two points with a linear two-colour gradient:
    // the pixels nearest `a` take colour `ca`, those nearest `b` colour `cb`.
    bool GradientFillRect(POINT a, COLORREF ca, POINT b, COLORREF cb, int mode);

    // The selected font as a QFont sized in this device's pixels, and its metrics.
    QFont DeviceFont() const;
    const QFontMetricsF& DeviceMetrics() const;
    // The same font resolved for the device, to lay text out with (plat::ShapedLine).
    const QFont& LayoutFont() const;

protected:
    // Device rectangle (normalised, exclusive edges) of a logical rectangle.
    QRect DeviceRect(int left, int top, int right, int bottom) const;
    double ScaleX() const;
    double ScaleY() const;

private:
    struct State {
        int mapMode = MM_TEXT;
        POINT winOrg;
        POINT vpOrg;
        SIZE winExt{1, 1};
        SIZE vpExt{1, 1};
        CPen pen;
        CBrush brush;
        CFont font;
        COLORREF textColor = 0;
        COLORREF bkColor = 0xFFFFFF;
        int bkMode = OPAQUE;
        UINT textAlign = TA_LEFT | TA_TOP;
        int rop2 = R2_COPYPEN;
        std::optional<QRect> clip; // device pixels
        POINT current;
    };

    void ResetState();
    void AdjustIsotropic();
    QPointF ToDevice(double x, double y) const;
    QPointF ToLogical(double x, double y) const;
    // mixed: the pen's mix mode (SetROP2) applies.
    // With ink, the pen is a solid pen of that colour (what text is drawn with) instead
    // of no pen.
    QPainter* PreparePainter(bool mixed = false, const QColor* ink = nullptr);
    bool StrokeWithPen(QPainter* p) const;
    bool Blit(const QRect& dst, bool mirrorX, bool mirrorY, CDC* src, const QRect& srcRect, double opacity,
              bool copy);
    bool MapBlitRects(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, QRect* dst,
                      QRect* srcRect, bool* mirrorX, bool* mirrorY) const;
    double DeviceEmPixels() const;
    struct RealisedFont {
        LOGFONTW logFont;
        const QPaintDevice* device = nullptr;
        int dpi = 0;
        int capsDpi = 0;
        double scale = 0;
        QFont font;
        // The font already resolved for the device: text laid out with it shares one set
        // of font engines instead of resolving a copy of the font for every text.
        QFont deviceFont;
        std::optional<QFontMetricsF> metrics;
        // Asked of every text drawn; the metrics work them out again at each call.
        double ascent = 0;
        double descent = 0;
    };
    // The selected font realised for the device, with its metrics.
    const RealisedFont& Realised() const;

    // Fonts realised on this context, most recently used first. A page switches among a
    // handful of faces and sizes field after field; realising one is costly.
    static constexpr size_t kRealisedFonts = 16;
    mutable std::vector<RealisedFont> fonts_;

    QPaintDevice* device_ = nullptr;
    QImage* image_ = nullptr;
    CBitmap* bitmap_ = nullptr;
    bool memoryContext_ = false;
    DeviceCaps caps_;
    std::unique_ptr<QPainter> painter_;
    // The pen texts are drawn with: handed to the painter as this one shared pen, it is
    // told apart from the painter's own at a glance, where a pen made afresh for each
    // text had to be allocated and compared field by field.
    QPen inkPen_;
    State state_;
    std::vector<State> saved_;
};

// CLR_INVALID.
constexpr COLORREF kInvalidColor = 0xFFFFFFFF;
