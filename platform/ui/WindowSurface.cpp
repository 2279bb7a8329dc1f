#include "WindowSurface.h"

#include "DeviceContext.h"
#include "ScreenInfo.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <cmath>
#include <unordered_map>
#include <utility>

namespace plat
{

namespace
{
// A window's buffer is a view of the window's size over a store that keeps the largest
// size the window has had, line for line: a window that narrows and widens again by a
// scroll bar's width (a grid whose bar comes and goes at a search key) keeps its pixels
// in place, and neither makes, fills and copies a new buffer nor returns one. Remade,
// a grid's rows pane took 0.3 ms at each such key.
struct Surface {
    QImage store;
    QImage view;
};

std::unordered_map<QWidget*, Surface>& Buffers()
{
    static std::unordered_map<QWidget*, Surface> buffers;
    return buffers;
}

int ResolutionOrScreen(int dpi)
{
    return dpi > 0 ? dpi : ScreenDotsPerInch();
}

// A view holds the store it lies over until the view and every copy of it are gone: a
// copy kept by a caller never points at freed lines.
void ReleaseStore(void* store)
{
    delete static_cast<QImage*>(store);
}

QImage ViewOf(QImage& store, QSize size)
{
    // No copy of the lines: the store is held by nothing but the surface here.
    uchar* lines = store.bits();
    return QImage(lines, size.width(), size.height(), store.bytesPerLine(), store.format(), ReleaseStore,
                  new QImage(store));
}

void Resize(Surface& surface, QSize size)
{
    QImage old = std::exchange(surface.view, QImage());
    // A view painted on while a copy of it was held went its own way in memory: what it
    // holds is the content.
    const bool detached = !surface.store.isNull() && old.constBits() != surface.store.constBits();
    if (detached || surface.store.width() < size.width() || surface.store.height() < size.height()) {
        QImage store(size.expandedTo(detached ? QSize() : surface.store.size()), QImage::Format_ARGB32_Premultiplied);
        store.fill(Qt::white);
        if (!old.isNull()) {
            QPainter p(&store);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, old);
        }
        old = QImage();
        surface.store = std::move(store);
        surface.view = ViewOf(surface.store, size);
        return;
    }
    const QSize kept = old.size();
    old = QImage();
    surface.view = ViewOf(surface.store, size);
    // What the window uncovers is white, as in a new buffer.
    QPainter p(&surface.view);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (size.width() > kept.width())
        p.fillRect(QRect(kept.width(), 0, size.width() - kept.width(), size.height()), Qt::white);
    if (size.height() > kept.height())
        p.fillRect(QRect(0, kept.height(), std::min(kept.width(), size.width()), size.height() - kept.height()),
                   Qt::white);
}
} // namespace

QImage* WindowBackBuffer(QWidget* window, int dpi)
{
    if (!window)
        return nullptr;
    auto& buffers = Buffers();
    auto it = buffers.find(window);
    if (it == buffers.end()) {
        it = buffers.emplace(window, Surface()).first;
        // The guard goes with this library's static data, so a window that outlives an
        // unloaded library never calls into it.
        static QObject guard;
        QObject::connect(window, &QObject::destroyed, &guard, [window] { Buffers().erase(window); });
    }
    QSize size = window->size().expandedTo(QSize(1, 1));
    Surface& surface = it->second;
    if (surface.view.size() != size)
        Resize(surface, size);
    QImage& image = surface.view;
    int dpm = static_cast<int>(std::lround(ResolutionOrScreen(dpi) / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return &image;
}

bool AttachWindowSurface(CDC& dc, QWidget* window, int dpi)
{
    QImage* image = WindowBackBuffer(window, dpi);
    if (!image)
        return false;
    const int res = ResolutionOrScreen(dpi);
    return dc.AttachImage(image, DeviceCaps::ForRaster(image->width(), image->height(), res, res));
}

void PresentWindowSurface(QWidget* window)
{
    if (!window)
        return;
    if (window->testAttribute(Qt::WA_WState_InPaintEvent)) {
        QImage* image = WindowBackBuffer(window);
        QPainter p(window);
        // The part to paint, rectangle by rectangle: the engine blends an image into one
        // rectangle line by line, but through a clip of several it goes span by span and
        // hands a tall image's spans to Qt's thread pool and waits for them. A window
        // whose children cover most of it (a grid under its panes) paints such a clip.
        const QPaintEngine* engine = p.paintEngine();
        const QRegion area = engine ? p.deviceTransform().inverted().map(engine->systemClip()) : QRegion();
        if (area.rectCount() > 1) {
            for (const QRect& part : area) {
                p.setClipRect(part);
                p.drawImage(part.topLeft(), *image, part);
            }
        } else {
            p.drawImage(0, 0, *image);
        }
    } else {
        window->update();
    }
}

void ScrollWindowSurface(QWidget* window, int dx, int dy)
{
    if (!window || (dx == 0 && dy == 0))
        return;
    auto it = Buffers().find(window);
    if (it != Buffers().end() && !it->second.view.isNull()) {
        QImage& image = it->second.view;
        const QImage content = image.copy();
        image.fill(Qt::white);
        QPainter p(&image);
        p.drawImage(dx, dy, content);
    }
    window->scroll(dx, dy);
}

} // namespace plat
