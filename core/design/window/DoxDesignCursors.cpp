#include "DoxDesignCursors.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace
{
constexpr int kSize = 32;
constexpr int kHot = 8;

// The cross with a white border so that it shows on dark pictures too.
void DrawCross(QPainter& p)
{
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(kHot, 1, kHot, 15);
    p.drawLine(1, kHot, 15, kHot);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(kHot, 1, kHot, 15);
    p.drawLine(1, kHot, 15, kHot);
}

// The sign of a control kind in the box below right of the cross.
void DrawSign(QPainter& p, int tool)
{
    const QRect box(14, 14, 16, 14);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    switch (tool) {
    case 0: // text box: a framed field with a caret
    case 1: // rich text box: the same with two lines of text
        p.drawRect(box);
        p.drawLine(box.left() + 3, box.top() + 3, box.left() + 3, box.bottom() - 3);
        if (tool == 1) {
            p.drawLine(box.left() + 6, box.top() + 5, box.right() - 3, box.top() + 5);
            p.drawLine(box.left() + 6, box.top() + 9, box.right() - 5, box.top() + 9);
        }
        break;
    case 2: // label: a letter A
    case 3: // rich label: A with an underline
        p.setBrush(Qt::NoBrush);
        p.drawLine(box.left() + 2, box.bottom() - 1, box.center().x(), box.top() + 1);
        p.drawLine(box.center().x(), box.top() + 1, box.right() - 2, box.bottom() - 1);
        p.drawLine(box.left() + 5, box.center().y() + 2, box.right() - 5, box.center().y() + 2);
        if (tool == 3)
            p.drawLine(box.left(), box.bottom() + 2, box.right(), box.bottom() + 2);
        break;
    case 4: // check box: a box with a tick
        p.drawRect(QRect(box.left() + 2, box.top(), 12, 12));
        p.drawLine(box.left() + 4, box.top() + 6, box.left() + 7, box.top() + 9);
        p.drawLine(box.left() + 7, box.top() + 9, box.left() + 12, box.top() + 3);
        break;
    case 5: // table: a grid of 2 x 3 cells
        p.drawRect(box);
        p.drawLine(box.left(), box.center().y(), box.right(), box.center().y());
        p.drawLine(box.left() + 5, box.top(), box.left() + 5, box.bottom());
        p.drawLine(box.left() + 10, box.top(), box.left() + 10, box.bottom());
        break;
    case 6: // frame: an empty double rectangle
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        p.drawRect(box.adjusted(3, 3, -3, -3));
        break;
    default: // line: a slanted stroke
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(box.left() + 1, box.bottom() - 1, box.right() - 1, box.top() + 1);
        break;
    }
}

QCursor MakeCursor(int tool)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    DrawCross(p);
    if (tool >= 0)
        DrawSign(p, tool);
    p.end();
    return QCursor(pixmap, kHot, kHot);
}
} // namespace

QCursor DesignToolCursor(int tool)
{
    if (tool < 0 || tool >= kDesignPointerTool)
        return QCursor(Qt::ArrowCursor);
    static const std::array<QCursor, kDesignPointerTool> cursors = [] {
        std::array<QCursor, kDesignPointerTool> all;
        for (int i = 0; i < kDesignPointerTool; ++i)
            all[static_cast<size_t>(i)] = MakeCursor(i);
        return all;
    }();
    return cursors[static_cast<size_t>(tool)];
}

QCursor DesignDrawCursor()
{
    static const QCursor cursor = MakeCursor(-1);
    return cursor;
}
