#include "WindowSurface.h"

#include "DeviceContext.h"
#include "DrawUnits.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cmath>
#include <unordered_map>

namespace
{
std::unordered_map<QWidget*, QImage>& Buffers()
{
    static std::unordered_map<QWidget*, QImage> buffers;
    return buffers;
}
} // namespace

QImage* WindowBackBuffer(QWidget* window)
{
    if (!window)
        return nullptr;
    auto& buffers = Buffers();
    auto it = buffers.find(window);
    if (it == buffers.end()) {
        it = buffers.emplace(window, QImage()).first;
        QObject::connect(window, &QObject::destroyed, [window] { Buffers().erase(window); });
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
    int dpm = static_cast<int>(std::lround(ScreenDpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return &image;
}

bool AttachWindowSurface(CDC& dc, QWidget* window)
{
    QImage* image = WindowBackBuffer(window);
    if (!image)
        return false;
    return dc.AttachImage(image,
                          DeviceCaps::ForRaster(image->width(), image->height(), ScreenDpi, ScreenDpi));
}

void PresentWindowSurface(QWidget* window)
{
    if (!window)
        return;
    if (window->testAttribute(Qt::WA_WState_InPaintEvent)) {
        QImage* image = WindowBackBuffer(window);
        QPainter p(window);
        p.drawImage(0, 0, *image);
    } else {
        window->update();
    }
}
