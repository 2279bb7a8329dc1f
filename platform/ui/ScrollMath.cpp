#include "ScrollMath.h"

#include "GdiTypes.h"
#include "Messages.h"

#include <QAbstractSlider>
#include <QApplication>
#include <algorithm>
#include <cstdlib>

namespace plat
{

int WheelScrollLines()
{
    int lines = QApplication::wheelScrollLines();
    if (lines == WHEEL_PAGESCROLL)
        return lines;
    return lines > 0 ? lines : 3;
}

int ScrollCodeFromSliderAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd:
        return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub:
        return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd:
        return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum:
        return SB_TOP;
    case QAbstractSlider::SliderToMaximum:
        return SB_BOTTOM;
    case QAbstractSlider::SliderMove:
        return SB_THUMBTRACK;
    default:
        return -1;
    }
}

int WheelScrollDistance(int delta, int lines, const ScrollAxis& axis)
{
    if (delta == 0)
        return 0;
    const int page = std::abs(axis.page);
    if (lines == WHEEL_PAGESCROLL)
        return delta > 0 ? -page : page;
    const int n = MulDiv(-delta, lines, WHEEL_DELTA);
    const long long distance = static_cast<long long>(axis.line) * n;
    return static_cast<int>(std::clamp<long long>(distance, -page, page));
}

int WheelAccumulator::Distance(int delta, int lines, const ScrollAxis& axis)
{
    if (delta == 0)
        return 0;
    if ((rest_ > 0 && delta > 0) || (rest_ < 0 && delta < 0))
        rest_ = 0; // the rest was gathered the other way (a turn away from the user scrolls up)
    const long long page = std::abs(axis.page);
    const long long perNotch = lines == WHEEL_PAGESCROLL ? 1 : static_cast<long long>(axis.line) * lines;
    rest_ -= static_cast<long long>(delta) * perNotch;
    const long long whole = rest_ / WHEEL_DELTA;
    rest_ -= whole * WHEEL_DELTA;
    const long long distance = lines == WHEEL_PAGESCROLL ? whole * page : whole;
    return static_cast<int>(std::clamp<long long>(distance, -page, page));
}

int PixelWheelDistance(int pixels, const ScrollAxis& axis)
{
    const int page = std::abs(axis.page);
    return std::clamp(-pixels, -page, page);
}

int ScrollBarDistance(int code, const ScrollAxis& axis, int trackPos)
{
    switch (code) {
    case SB_LINEUP:
        return -axis.line;
    case SB_LINEDOWN:
        return axis.line;
    case SB_PAGEUP:
        return -axis.page;
    case SB_PAGEDOWN:
        return axis.page;
    case SB_THUMBTRACK:
        return trackPos - axis.pos;
    case SB_TOP:
        return -axis.pos;
    case SB_BOTTOM:
        return std::max(0, axis.limit - axis.pos);
    default:
        return 0;
    }
}

int KeyScrollDistance(uint32_t vk, const ScrollAxis& axis, bool* handled)
{
    bool scrolls = vk == VK_PRIOR || vk == VK_NEXT;
    if (handled)
        *handled = scrolls;
    if (!scrolls)
        return 0;
    return vk == VK_PRIOR ? -axis.page : axis.page;
}

int ClampScrollPos(int pos, long long delta, int limit)
{
    long long target = static_cast<long long>(pos) + delta;
    return static_cast<int>(std::clamp<long long>(target, 0, std::max(0, limit)));
}

ScrollState CalcScrollState(QSize total, QSize client, QSize bar, QPoint pos)
{
    ScrollState s;
    if (client.width() <= bar.width() || client.height() <= bar.height())
        return s;
    s.ok = true;
    s.range = QSize(total.width() - client.width(), total.height() - client.height());
    s.pos = pos;
    if (s.range.width() > 0)
        s.range.rheight() += bar.height();
    else
        s.pos.setX(0);
    if (s.range.height() > 0)
        s.range.rwidth() += bar.width();
    else
        s.pos.setY(0);
    if (s.range.width() >= 1)
        s.pos.setX(std::min(s.pos.x(), s.range.width()));
    if (s.range.height() >= 1)
        s.pos.setY(std::min(s.pos.y(), s.range.height()));
    s.needHorizontal = s.range.width() > 0;
    s.needVertical = s.range.height() > 0;
    return s;
}

void DeriveScrollSizes(QSize& total, QSize& page, QSize& line)
{
    total = QSize(std::abs(total.width()), std::abs(total.height()));
    page = QSize(std::abs(page.width()), std::abs(page.height()));
    line = QSize(std::abs(line.width()), std::abs(line.height()));
    if (page.width() == 0)
        page.setWidth(total.width() / 8);
    if (page.height() == 0)
        page.setHeight(total.height() / 8);
    if (line.width() == 0)
        line.setWidth(page.width() / 8);
    if (line.height() == 0)
        line.setHeight(page.height() / 8);
}

} // namespace plat
