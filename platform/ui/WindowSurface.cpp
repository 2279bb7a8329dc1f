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

namespace plat
{

namespace
{
std::unordered_map<QWidget*, QImage>& Buffers()
{
    static std::unordered_map<QWidget*, QImage> buffers;
    return buffers;
}

int ResolutionOrScreen(int dpi)
{
    return dpi > 0 ? dpi : ScreenDotsPerInch();
}
} // namespace

QImage* WindowBackBuffer(QWidget* window, int dpi)
{
    if (!window)
        return nullptr;
    auto& buffers = Buffers();
    auto it = buffers.find(window);
    if (it == buffers.end()) {
        it = buffers.emplace(window, QImage()).first;
        // The guard goes with this library's static data, so a window that outlives an
        // unloaded library never calls into it.
        static QObject guard;
        QObject::connect(window, &QObject::destroyed, &guard, [window] { Buffers().erase(window); });
    }
    QSize size = window->size().expandedTo(QSize(1, 1));
    QImage& image = it->second;
    if (image.size() != size) {
        QImage resized(size, QImage::Format_ARGB32_Premultiplied);
        resized.fill(Qt::white);
        if (!image.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, image);
        }
        image = std::move(resized);
    }
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
    if (it != Buffers().end() && !it->second.isNull()) {
        QImage& image = it->second;
        QImage moved(image.size(), image.format());
        moved.setDotsPerMeterX(image.dotsPerMeterX());
        moved.setDotsPerMeterY(image.dotsPerMeterY());
        moved.fill(Qt::white);
        QPainter p(&moved);
        p.drawImage(dx, dy, image);
        p.end();
        image = std::move(moved);
    }
    window->scroll(dx, dy);
}

} // namespace plat
