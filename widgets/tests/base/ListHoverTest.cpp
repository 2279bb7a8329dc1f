// A list's hover state goes soon after the mouse leaves the list, even when the
// list hears nothing of it (the cursor jumped onto another application).

#include "MyCapture.h"
#include "MyList.h"
#include "MyWidgets.h"
#include "SilentMove.h"

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A row that is one button.
class ButtonRow : public MyWidContainer
{
public:
    SIZE GetDimension() const override { return SIZE{100, 20}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        RECT anchor{0, 0, 0, 0}; // the whole row
        button.Initialize(this, anchor, 1);
    }
    MyWidButton button;
};

TEST(ListHover, TheHotButtonCoolsDownWhenTheCursorHasGone)
{
    MyList list;
    list.Create(0x10000000u, RECT{100, 100, 300, 300}, nullptr, 100);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    auto* row = new ButtonRow;
    list.AddItem(row);

    RECT r;
    ASSERT_TRUE(list.GetItemRect(0, &r));
    QPoint inside((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QCursor::setPos(list.mapToGlobal(inside));
    QTest::mouseMove(&list, inside);
    QApplication::processEvents();
    ASSERT_EQ(row->button.IsHover(), 1);
    EXPECT_EQ(MyCapture::MyGetCapture(), &list);

    SilentMove::To({900, 700});
    EXPECT_EQ(row->button.IsHover(), 1) << "nothing told the list yet";
    QTRY_COMPARE_WITH_TIMEOUT(row->button.IsHover(), 0, 3 * MyCapture::kWatchdogMs);
    EXPECT_EQ(MyCapture::MyGetCapture(), nullptr);
}

} // namespace
