#pragma once
// Moves the cursor without any window hearing of it (no enter, leave or move), as
// when the mouse leaves quickly onto another application.

#include <QApplication>
#include <QCursor>
#include <QEvent>

class SilentMove : public QObject
{
public:
    static void To(QPoint screen)
    {
        SilentMove filter;
        qApp->installEventFilter(&filter);
        QCursor::setPos(screen);
        QApplication::processEvents();
        qApp->removeEventFilter(&filter);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::MouseMove:
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::HoverMove:
            return true;
        default:
            return false;
        }
    }
};
