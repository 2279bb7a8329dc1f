// The grid's three panes: the column header (titles, sort marks, separator drags),
// the row leader (check marks, the focus pointer, the new-row asterisk) and the rows.

#include "MyGridCtrl.h"

#include "MyCanvas.h"
#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"
#include "WindowSurface.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

using brindle::MakeRect;
using brindle::RectHeight;
using brindle::RectWidth;

namespace
{

constexpr unsigned kCellFormat = 0x8824; // DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER
constexpr int kSeparatorZone = 3;

unsigned AlignOf(unsigned format)
{
    switch (format & 0xF) {
    case kGridAlignCenter:
        return DT_CENTER;
    case kGridAlignRight:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

void SelectGridFont(CDC& dc, MyGridCtrl* grid)
{
    if (const CFont* font = grid->OnGetFont())
        dc.SelectObject(*font);
    dc.SetBkMode(TRANSPARENT);
}

// The rows are drawn straight on the window's retained surface, which stays off the
// screen until it is presented: every pixel of the pane is painted, so a second buffer
// in between would only cost a fill and a copy of the pane at every key of a search.
class RowsCanvas : public CDC
{
public:
    explicit RowsCanvas(QWidget* window) : window_(window) { plat::AttachWindowSurface(*this, window); }
    ~RowsCanvas() override
    {
        if (GetSafeHdc()) {
            DeleteDC();
            plat::PresentWindowSurface(window_);
        }
    }

private:
    QWidget* window_;
};

} // namespace

// ---- Header.

MyGridHeader::MyGridHeader(MyGridCtrl* grid) : MyScrollClient(grid), grid_(grid)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The titles lie from the left edge whatever the header's width: the vertical bar
    // coming or going (a search key that changes how many rows are shown) leaves them
    // where they are, and only a strip that widening uncovers is painted.
    setAttribute(Qt::WA_StaticContents);
    setFocusPolicy(Qt::NoFocus);
    show();
}

void MyGridHeader::DoScrollWindow(int dx, int)
{
    if (dx)
        update();
}

int MyGridHeader::TotalWidth() const
{
    int total = 0;
    for (const GridColumn& c : columns)
        total += c.width;
    return total;
}

int MyGridHeader::ColumnLeft(int column) const
{
    int x = -grid_->GetHScrollPos();
    for (int i = 0; i < column && i < static_cast<int>(columns.size()); ++i)
        x += columns[i].width;
    return x;
}

int MyGridHeader::SeparatorAt(int x) const
{
    int right = -grid_->GetHScrollPos();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        right += columns[i].width;
        if (x >= right - kSeparatorZone && x <= right + kSeparatorZone)
            return i;
    }
    return -1;
}

int MyGridHeader::InnerColumnAt(int x) const
{
    int left = -grid_->GetHScrollPos();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        int right = left + columns[i].width;
        if (x >= left + kSeparatorZone && x < right - kSeparatorZone)
            return i;
        left = right;
    }
    return -1;
}

void MyGridHeader::paintEvent(QPaintEvent* event)
{
    RECT client = MakeRect(0, 0, width(), height());
    // Only the part asked for is drawn; the buffer keeps the titles outside it.
    const QRect asked = event->rect().intersected(rect());
    RECT part = MakeRect(asked.left(), asked.top(), asked.right() + 1, asked.bottom() + 1);
    MyPaintCanvas dc(this, &part, 0);
    SelectGridFont(dc, grid_);
    int x = -grid_->GetHScrollPos();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const GridColumn& c = columns[i];
        int left = x;
        x += c.width;
        if (x <= client.left || left >= client.right || c.width <= kGridMinColumnWidth - 1)
            continue;
        if (x <= asked.left() || left > asked.right())
            continue;
        bool down = i == pressed;
        RECT button = MakeRect(left, client.top, x, client.bottom - (down ? 0 : 1));
        COLORREF text = grid_->OnEraseHeaderButton(dc, button, down ? -1 : 1);
        RECT title = MakeRect(left + 5, client.top + 1, x - (c.sortMark ? 15 : 5), client.bottom - 1);
        dc.SetTextColor(text);
        DrawTextEx(dc, c.title.c_str(), -1, &title, kCellFormat | AlignOf(c.format));
        if (c.sortMark) {
            // Apex up for ascending, down for descending, in the last 10 px.
            brindle::DrawChevron(dc, x - 6, (client.top + client.bottom - 1) / 2, 7, c.sortMark == -1, text);
        }
        grid_->OnDrawHeaderSeparator(dc, MakeRect(x - 1, client.top, x, client.bottom - 1));
    }
    if (x < client.right)
        grid_->OnEraseHeaderBkgrnd(dc, MakeRect(std::max(x, client.left), client.top, client.right,
                                                client.bottom - 1));
    grid_->OnDrawHeaderBottom(dc, MakeRect(client.left, client.bottom - 1, client.right, client.bottom));
}

void MyGridHeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grid_->setFocus(Qt::MouseFocusReason);
    int x = event->position().toPoint().x();
    int separator = SeparatorAt(x);
    if (separator >= 0) {
        // The drag follows the mouse while the button is held.
        sizing_ = separator;
        lastX_ = x;
        tracking_ = true;
        return;
    }
    pressed = InnerColumnAt(x);
    update();
}

void MyGridHeader::DragTo(int x)
{
    GridColumn& c = columns[sizing_];
    if (!tracking_) {
        // Paused at the narrowest width: resumes once the cursor is on the separator again.
        int right = ColumnLeft(sizing_) + c.width;
        if (x < right - kSeparatorZone || x > right + kSeparatorZone)
            return;
        tracking_ = true;
        lastX_ = x;
        return;
    }
    int width = c.width + (x - lastX_);
    lastX_ = x;
    if (width < kGridMinColumnWidth) {
        width = kGridMinColumnWidth;
        tracking_ = false;
    }
    if (width == c.width)
        return;
    c.width = width;
    repaint();
    grid_->Relayout();
}

void MyGridHeader::mouseMoveEvent(QMouseEvent* event)
{
    int x = event->position().toPoint().x();
    if (sizing_ >= 0 && sizing_ < static_cast<int>(columns.size())) {
        if (event->buttons() & Qt::LeftButton)
            DragTo(x);
        return;
    }
    if (pressed < 0 && SeparatorAt(x) >= 0)
        setCursor(Qt::SizeHorCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void MyGridHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grid_->setFocus(Qt::MouseFocusReason);
    int x = event->position().toPoint().x();
    if (sizing_ >= 0) {
        sizing_ = -1;
        tracking_ = false;
        setCursor(SeparatorAt(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    int column = pressed;
    pressed = -1;
    if (column >= 0 && column < static_cast<int>(columns.size()) && (columns[column].format & kGridSortable)) {
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            if (i != column)
                columns[i].sortMark = 0;
        if (InnerColumnAt(x) == column)
            grid_->HeaderClick(column);
    }
    update();
}

void MyGridHeader::mouseDoubleClickEvent(QMouseEvent*)
{
    grid_->setFocus(Qt::MouseFocusReason);
}

// ---- Leader.

MyGridLeader::MyGridLeader(MyGridCtrl* grid) : MyScrollClient(grid), grid_(grid)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    show();
}

void MyGridLeader::DoScrollWindow(int, int dy)
{
    if (dy)
        update();
}

void MyGridLeader::paintEvent(QPaintEvent*)
{
    RECT client = MakeRect(0, 0, width(), height());
    MyPaintCanvas dc(this, &client, 0);
    MyGridClient* rows = grid_->GetClient();
    int h = rows->rowHeight;
    const std::vector<int>& shown = rows->Shown();
    int top = -grid_->GetVScrollPos();
    int first = std::max(0, -top / h);
    int y = top + first * h;
    for (int k = first; k < static_cast<int>(shown.size()) && y < client.bottom; ++k, y += h) {
        int index = shown[k];
        const MyGridItem& item = *rows->rows[index];
        bool down = index == pressed;
        RECT cell = MakeRect(client.left, y, client.right - (down ? 0 : 1), y + h);
        COLORREF text = grid_->OnEraseLeaderButton(dc, cell, down ? -1 : 1);
        int cx = (cell.left + cell.right - 6) / 2;
        int cy = (cell.top + cell.bottom) / 2;
        if (item.checked)
            brindle::DrawCheckMark(dc, cx, cy, text);
        if (item.focus)
            brindle::DrawArrowHead(dc, client.right - 3, cy, text);
        grid_->OnDrawLeaderSeparator(dc, MakeRect(client.left, y + h - 1, client.right - 1, y + h));
    }
    int restTop = std::max(y, client.top);
    COLORREF text = grid_->OnEraseLeaderBkgrnd(dc, MakeRect(client.left, restTop, client.right, client.bottom));
    if (y + h > client.top && y < client.bottom) {
        // The new-row line: an asterisk, and the pointer while it has the focus.
        int cy = y + h / 2;
        brindle::DrawAsterisk(dc, (client.left + client.right - 6) / 2, cy, 10, text);
        if (rows->newRow.focus)
            brindle::DrawArrowHead(dc, client.right - 3, cy, text);
        grid_->OnDrawLeaderSeparator(dc, MakeRect(client.left, y + h - 1, client.right - 1, y + h));
    }
    grid_->OnDrawLeaderRight(dc, MakeRect(client.right - 1, client.top, client.right, client.bottom));
}

void MyGridLeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grid_->LeaderPress(grid_->GetClient()->RowAtY(event->position().toPoint().y()));
}

void MyGridLeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    pressed = -1;
    update();
}

// ---- Rows.

MyGridClient::MyGridClient(MyGridCtrl* grid) : MyScrollClient(grid), newRow(grid), grid_(grid)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    newRow.focus = 1;
    show();
}

MyGridClient::~MyGridClient() = default;

void MyGridClient::DoScrollWindow(int dx, int dy)
{
    if (dx || dy)
        update();
}

const std::vector<int>& MyGridClient::Shown()
{
    if (!shownValid_) {
        shown_.clear();
        for (int i = 0; i < static_cast<int>(rows.size()); ++i)
            if (rows[i]->visible)
                shown_.push_back(i);
        shownValid_ = true;
    }
    return shown_;
}

void MyGridClient::SetShown(std::vector<int>& shown)
{
    shown_.swap(shown);
    shownValid_ = true;
}

int MyGridClient::OrdinalOf(int index)
{
    const std::vector<int>& shown = Shown();
    if (index < 0 || index >= static_cast<int>(rows.size()))
        return static_cast<int>(shown.size());
    return static_cast<int>(std::lower_bound(shown.begin(), shown.end(), index) - shown.begin());
}

int MyGridClient::RowAtY(int y)
{
    int offset = y + grid_->GetVScrollPos();
    if (offset < 0)
        return -1;
    int k = offset / rowHeight;
    const std::vector<int>& shown = Shown();
    return k < static_cast<int>(shown.size()) ? shown[k] : -1;
}

void MyGridClient::paintEvent(QPaintEvent*)
{
    RECT pane = MakeRect(0, 0, width(), height());
    RowsCanvas dc(this);
    SelectGridFont(dc, grid_);
    const std::vector<GridColumn>& columns = grid_->GetHeader()->columns;
    int x0 = -grid_->GetHScrollPos();
    int x1 = x0 + grid_->GetHeader()->TotalWidth();
    const std::vector<int>& shown = Shown();
    int top = -grid_->GetVScrollPos();
    int first = std::max(0, -top / rowHeight);
    int y = top + first * rowHeight;
    auto paintRow = [&](const MyGridItem& item, int rowTop) {
        RECT r = MakeRect(pane.left, rowTop, pane.right, rowTop + rowHeight);
        COLORREF text = grid_->OnEraseItemBkgrnd(dc, r);
        RECT band = MakeRect(x0, r.top, x1 - 1, r.bottom - 1);
        if (item.focus)
            text = grid_->OnDrawItemHighlight(dc, band, 1);
        else if (item.checked)
            text = grid_->OnDrawItemHighlight(dc, band, 0);
        dc.SetTextColor(text);
        int x = x0;
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            int left = x;
            x += columns[c].width;
            if (x <= pane.left || left >= pane.right)
                continue;
            // Straight from the row's UTF-8: no wide string between the cell and its glyphs.
            std::string_view cell = item.cells.View(c);
            cell = cell.substr(0, cell.find('\0')); // a cell is drawn up to its first NUL
            if (!cell.empty()) {
                RECT box = MakeRect(left + 5, r.top + 1, x - 5, r.bottom - 1);
                DrawTextEx(dc, QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size())), &box,
                           kCellFormat | AlignOf(columns[c].format));
            }
            grid_->OnDrawItemSeparator(dc, MakeRect(x - 1, r.top, x, r.bottom - 1));
        }
        if (item.focus)
            DrawFocusRect(dc, band);
        grid_->OnDrawItemSeparator(dc, MakeRect(x0, r.bottom - 1, x1, r.bottom));
    };
    for (int k = first; k < static_cast<int>(shown.size()) && y < pane.bottom; ++k, y += rowHeight)
        paintRow(*rows[shown[k]], y);
    if (y < pane.bottom && y + rowHeight > pane.top) {
        paintRow(newRow, y);
        y += rowHeight;
    }
    if (y < pane.bottom)
        grid_->OnEraseClientBkgrnd(dc, MakeRect(pane.left, std::max(y, pane.top), pane.right, pane.bottom));
}

void MyGridClient::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        grid_->ClientPress(event->position().toPoint(), false);
}

void MyGridClient::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        grid_->ClientPress(event->position().toPoint(), true);
}

void MyGridClient::focusInEvent(QFocusEvent*)
{
    grid_->SetFocusItem(focus);
}
