#include "ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace plat
{

namespace
{
int& PinnedDpi()
{
    static int dpi = 0;
    return dpi;
}

QScreen* PrimaryScreen()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                        : nullptr;
}
} // namespace

int ScreenDotsPerInch()
{
    if (PinnedDpi() > 0)
        return PinnedDpi();
    if (QScreen* screen = PrimaryScreen()) {
        int dpi = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
        if (dpi > 0)
            return dpi;
    }
    return 96;
}

void SetScreenDotsPerInch(int dpi)
{
    PinnedDpi() = dpi > 0 ? dpi : 0;
}

DeviceCaps ScreenCaps()
{
    int width = 1920;
    int height = 1080;
    if (QScreen* screen = PrimaryScreen()) {
        QSize size = screen->size();
        if (size.width() > 0 && size.height() > 0) {
            width = size.width();
            height = size.height();
        }
    }
    int dpi = ScreenDotsPerInch();
    return DeviceCaps::ForRaster(width, height, dpi, dpi);
}

} // namespace plat
