#pragma once
// Counts the paint events of the widgets it is installed on as an event filter.

#include <QEvent>
#include <QObject>

namespace doxtest
{

struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace doxtest
