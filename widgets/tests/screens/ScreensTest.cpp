// What a user sees of the grid (header with a sorted column, leader with check marks
// and the focus pointer, the focused row) and of a list in icon layout.

#include "MyGridCtrl.h"
#include "MyList.h"
#include "MySearchCtrl.h"
#include "MyWidComboBox.h"
#include "SystemColors.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <cstdlib>

using brindle::MakeRect;

namespace
{

void Keep(QWidget& w, const char* name)
{
    if (const char* dir = std::getenv("DOX_SCREENSHOT_DIR"))
        w.grab().save(QString("%1/%2.png").arg(dir, name));
}

int CountColour(const QImage& image, QRect r, QColor colour)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                ++n;
    return n;
}

// The darkest grey level in the rectangle (text drawn in grey never gets darker than
// its colour, whatever the smoothing).
int Darkest(const QImage& image, QRect r)
{
    int darkest = 255;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST(Screens, GridWithHeaderLeaderChecksAndASortedColumn)
{
    MyGridCtrl grid;
    grid.Create(WS_VISIBLE, MakeRect(0, 0, 460, 220), nullptr, 1);
    grid.AddColumn(L"票据号", 90, kGridSortable);
    grid.AddColumn(L"日期", 110, kGridSortable | kGridAlignCenter);
    grid.AddColumn(L"金额", 100, kGridSortable | kGridAlignRight);
    grid.AddColumn(L"收款人", 130, kGridAlignLeft);
    const wchar_t* rows[][4] = {
        {L"00000007", L"2026-12-01", L"1,200.00", L"北京分行"},
        {L"00000003", L"2026-11-20", L"56.30", L"上海分行"},
        {L"00000012", L"2026-12-09", L"9,999.99", L"广州分行"},
        {L"00000001", L"2026-10-02", L"300.00", L"深圳分行"},
        {L"00000009", L"2026-12-05", L"42.00", L"杭州分行"},
    };
    for (auto& r : rows) {
        int i = grid.AddItem(r[0], 0);
        for (int c = 1; c < 4; ++c)
            grid.SetItemText(i, c, r[c]);
    }
    grid.Relayout();
    grid.activateWindow();
    grid.setFocus();
    QApplication::processEvents();
    // Sort by the number with a click, tick two bills, focus one.
    QTest::mouseClick(grid.GetHeader(), Qt::LeftButton, {}, QPoint(45, 8));
    grid.SetCheckItem(1, 1);
    grid.SetCheckItem(3, 1);
    grid.SetFocusItem(2);
    QApplication::processEvents();
    QImage shot = grid.grab().toImage();
    Keep(grid, "grid");

    int header = grid.HeaderHeight();
    int h = grid.RowHeight();
    int leader = grid.GetLeader()->leaderWidth;
    ASSERT_EQ("00000001", QString::fromStdWString(grid.GetItemText(0, 0)).toStdString());
    // The sort mark sits in the last 10 px of the sorted title.
    QColor text = plat::ToQColor(GetSysColor(COLOR_BTNTEXT));
    EXPECT_GT(CountColour(shot, QRect(leader + 80, 2, 9, header - 4), text), 6);
    EXPECT_EQ(0, CountColour(shot, QRect(leader + 200 - 10, 2, 9, header - 4), text));
    // Check marks in the leader cells of the ticked rows only.
    auto leaderCell = [&](int row) { return QRect(4, header + row * h + 3, leader - 12, h - 6); };
    EXPECT_GT(CountColour(shot, leaderCell(1), text), 6);
    EXPECT_GT(CountColour(shot, leaderCell(3), text), 6);
    EXPECT_EQ(0, CountColour(shot, leaderCell(0), text));
    // The focused row is highlighted across its cells while the grid has the focus.
    QColor highlight = plat::ToQColor(GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(CountColour(shot, QRect(leader + 2, header + 2 * h + 2, 400, h - 4), highlight), 1000);
    // Ticked rows read as ticked: filled with a colour of their own under light text,
    // neither black nor the focus row's highlight.
    for (int row : {1, 3}) {
        const QRect cells(leader + 2, header + row * h + 2, 400, h - 4);
        EXPECT_LT(CountColour(shot, cells, Qt::black), 100) << "row " << row;
        EXPECT_EQ(CountColour(shot, cells, highlight), 0) << "row " << row;
        EXPECT_GT(CountColour(shot, cells, plat::ToQColor(GetSysColor(COLOR_BACKGROUND))), 1000) << "row " << row;
    }
}

// An icon with its caption under it.
class IconRow : public MyWidContainer
{
public:
    IconRow(CImageList* images, int index, const wchar_t* caption)
        : icon_(images, 0), label_(caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE), index_(index)
    {
    }
    SIZE GetDimension() const override { return SIZE{72, 72}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        icon_.Initialize(this, MakeRect(0, 0, 0, -18), 1);
        icon_.SetImageIndex(index_);
        label_.Initialize(this, MakeRect(0, -20, 0, 0), 2);
    }
    void OnErase_bkgnd(CDC& dc, const RECT& row) override
    {
        if (IsSelected())
            dc.FillSolidRect(brindle::InflatedRect(row, -2, -2), GetSysColor(COLOR_HIGHLIGHT));
    }
    using MyWidContainer::OnErase_bkgnd;

private:
    MyWidIcon icon_;
    MyWidLable label_;
    int index_;
};

TEST(Screens, ListInIconLayout)
{
    CImageList images;
    images.Create(32, 32);
    QImage strip(32 * 4, 32, QImage::Format_ARGB32);
    strip.fill(Qt::magenta);
    QPainter p(&strip);
    const QColor colours[] = {QColor(200, 60, 40), QColor(40, 140, 60), QColor(40, 80, 200), QColor(220, 170, 30)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i]);
        p.setPen(Qt::black);
        p.drawRoundedRect(QRect(i * 32 + 3, 3, 25, 25), 4, 4);
    }
    p.end();
    images.Add(strip, RGB(255, 0, 255));

    MyList list;
    list.Create(kListIconLayout | 0x10000000u, MakeRect(0, 0, 240, 180), nullptr, 2);
    list.SetIconLayoutSize(SIZE{72, 72});
    const wchar_t* names[] = {L"支票", L"汇票", L"本票", L"存单", L"凭证", L"进账单", L"电汇"};
    int i = 0;
    for (const wchar_t* name : names) {
        list.AddItem(new IconRow(&images, i % 4, name));
        ++i;
    }
    list.SetCurSel(4);
    QApplication::processEvents();
    QImage shot = list.grab().toImage();
    Keep(list, "iconlist");

    // Three cells per line: the fourth row starts the second line.
    RECT fourth;
    ASSERT_TRUE(list.GetItemRect(3, &fourth));
    EXPECT_EQ(0, fourth.left);
    EXPECT_EQ(72, fourth.top);
    // Icons are drawn centred in their cells with their colours, the mask left out.
    EXPECT_GT(CountColour(shot, QRect(20, 14, 32, 32), colours[0]), 300);
    EXPECT_GT(CountColour(shot, QRect(72 + 20, 14, 32, 32), colours[1]), 300);
    EXPECT_EQ(0, CountColour(shot, QRect(0, 0, 240, 180), QColor(Qt::magenta)));
    // The selected cell (row 4, the middle of the second line) is highlighted.
    QColor highlight = plat::ToQColor(GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(CountColour(shot, QRect(74, 74, 68, 68), highlight), 1000);
}

TEST(Screens, SearchBoxAndItsClassList)
{
    QWidget host;
    host.resize(320, 60);
    auto* box = new MySearchCtrl(&host);
    box->Create(0x10000000u, MakeRect(10, 10, 250, 36), &host, 3);
    box->AddSearchClass(L"票据号", 1);
    box->AddSearchClass(L"收款人", 2);
    box->AddSearchClass(L"金额", 3);
    host.show();
    QApplication::processEvents();
    QImage empty = box->grab().toImage();
    Keep(*box, "search-empty");
    // The placeholder in grey, no close mark while the text is empty.
    RECT text = box->TextRect();
    RECT close = box->CloseRect();
    // Inside the focus frame: grey text, not black.
    QRect textArea(text.left + 2, text.top + 2, text.right - text.left - 4, text.bottom - text.top - 4);
    EXPECT_NEAR(0x80, Darkest(empty, textArea), 0x10);
    QColor mark = plat::ToQColor(0x00895528);
    EXPECT_EQ(0, CountColour(empty, QRect(close.left, close.top, close.right - close.left, close.bottom - close.top),
                             mark));
    box->SetSearchStr(L"00000012", 0);
    QApplication::processEvents();
    QImage filled = box->grab().toImage();
    Keep(*box, "search-text");
    EXPECT_LT(Darkest(filled, textArea), 0x30); // the text itself in the window text colour
    EXPECT_GT(CountColour(filled, QRect(close.left, close.top, close.right - close.left, close.bottom - close.top),
                          mark),
              10);

    // The class list drops from the icon, the current class marked and selected.
    QImage dropped;
    QTimer::singleShot(0, [&] {
        QApplication::processEvents();
        dropped = box->ClassList().grab().toImage();
        Keep(box->ClassList(), "search-classes");
        QTest::keyClick(box, Qt::Key_Escape);
    });
    RECT icon = box->IconRect();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2));
    ASSERT_FALSE(dropped.isNull());
    EXPECT_EQ(200, dropped.width());
    QColor highlight = plat::ToQColor(GetSysColor(COLOR_HIGHLIGHT));
    int item = box->ClassList().ItemHeight();
    EXPECT_GT(CountColour(dropped, QRect(1, 1, 190, item), highlight), 500);
    EXPECT_EQ(0, CountColour(dropped, QRect(1, 1 + item, 190, item), highlight));
}

// A property row: name, a check box, a combo box and a button.
class PropertyRow : public MyWidContainer
{
public:
    PropertyRow(const wchar_t* name, int checked, const wchar_t* value)
        : name_(name), check_(checked), button_(nullptr, L"...", DT_CENTER | DT_VCENTER | DT_SINGLELINE), value_(value)
    {
    }
    SIZE GetDimension() const override { return SIZE{300, 24}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        name_.Initialize(this, MakeRect(4, 0, 110, 0), 1);
        name_.SetSp(1);
        check_.Initialize(this, MakeRect(112, 0, 136, 0), 2);
        combo_.Initialize(this, MakeRect(140, 2, -34, -2), 3);
        combo_.AddString(L"左对齐", 0);
        combo_.AddString(L"居中", 1);
        combo_.SetText(value_.c_str());
        button_.Initialize(this, MakeRect(-30, 2, -4, -2), 4);
    }
    void OnErase_bkgnd(CDC& dc, const RECT& row) override
    {
        if (IsSelected())
            dc.FillSolidRect(row, RGB(0xDD, 0xE8, 0xF5));
    }
    using MyWidContainer::OnErase_bkgnd;

private:
    MyWidLable name_;
    MyWidCheckBox check_;
    MyWidButton button_;
    MyWidComboBox combo_;
    std::wstring value_;
};

TEST(Screens, ListRowsWithHeaderAndWidgets)
{
    MyList list;
    list.Create(kListHeader | kListSeparator | 0x10000000u, MakeRect(0, 0, 320, 130), nullptr, 4);
    list.AddHeaderCol(L"属性", MakeRect(0, 0, 110, 0), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 1);
    list.AddHeaderCol(L"值", MakeRect(110, 0, 0, 0), DT_CENTER | DT_VCENTER | DT_SINGLELINE, 1);
    list.AddItem(new PropertyRow(L"可见", 1, L"左对齐"));
    list.AddItem(new PropertyRow(L"打印", 0, L"居中"));
    list.AddItem(new PropertyRow(L"只读", 1, L"居中"));
    list.SetCurSel(1);
    list.SetSort(0, true);
    QApplication::processEvents();
    QImage shot = list.grab().toImage();
    Keep(list, "property-list");

    // Each row is followed by its one-pixel separator line.
    RECT first;
    ASSERT_TRUE(list.GetItemRect(0, &first));
    EXPECT_EQ(20, first.top);
    QColor line = plat::ToQColor(GetSysColor(COLOR_BTNSHADOW));
    EXPECT_GT(CountColour(shot, QRect(0, first.bottom, 300, 1), line), 290);
    RECT second;
    ASSERT_TRUE(list.GetItemRect(1, &second));
    EXPECT_EQ(first.bottom + 1, second.top);
    // The checked boxes show their mark, the unchecked one none.
    QColor markColour = plat::ToQColor(0x000F5D38);
    EXPECT_GT(CountColour(shot, QRect(114, first.top + 2, 20, 20), markColour), 6);
    EXPECT_EQ(0, CountColour(shot, QRect(114, second.top + 2, 20, 20), markColour));
}

// A row with one colour combo box.
class ColourRow : public MyWidContainer
{
public:
    explicit ColourRow(const wchar_t* colour) : colour_(colour) {}
    SIZE GetDimension() const override { return SIZE{200, 24}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        combo_.Initialize(this, MakeRect(2, 2, -2, -2), 1);
        combo_.SetColorList(1);
        combo_.SetText(colour_);
    }

private:
    MyWidComboBox combo_;
    const wchar_t* colour_;
};

TEST(Screens, ColourComboBoxesShowSwatchesAndTransparent)
{
    MyList list;
    list.Create(0x10000000u, MakeRect(0, 0, 200, 80), nullptr, 6);
    list.AddItem(new ColourRow(L"#000000FF")); // COLORREF red
    list.AddItem(new ColourRow(L"#FFFFFFFF")); // -1: transparent
    list.AddItem(new ColourRow(L"none"));      // no colour text: nothing
    QApplication::processEvents();
    QImage shot = list.grab().toImage();
    Keep(list, "colour-combos");
    RECT row[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(list.GetItemRect(i, &row[i]));
    auto area = [](const RECT& r) { return QRect(r.left + 6, r.top + 6, r.right - r.left - 30, r.bottom - r.top - 12); };
    EXPECT_GT(CountColour(shot, area(row[0]), QColor(255, 0, 0)), 500);
    EXPECT_EQ(0, CountColour(shot, area(row[1]), QColor(255, 0, 0)));
    EXPECT_LT(Darkest(shot, area(row[1])), 0x60); // "<透明色>" written there
    EXPECT_GT(Darkest(shot, area(row[2])), 0xF0); // nothing
}

} // namespace
