// The designer's keys on a real X server, as a person presses them: the file and
// clipboard accelerators reach their commands while the canvas has the keyboard, and
// the canvas still acts on its own keys.

#include "CDesignPage.h"
#include "CDesignView.h"
#include "CMainFrame.h"
#include "DesignerFixture.h"
#include "IDoxDesignWindow.h"
#include "XServer.h"

#include <QAction>

using namespace designertest;
using namespace doxtest;

namespace
{

constexpr unsigned kToolEdit = 32812;

class DesignerKeysX : public DesignerTest
{
};

TEST_F(DesignerKeysX, AcceleratorsReachTheirCommandsFromTheCanvas)
{
    DOX_REQUIRE_XSERVER();
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("keys.dxt", {L"页"}))}));
    ASSERT_TRUE(ShowAndActivate(Frame()));
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    IDoxDesignWindow* window = DesignPage()->ActiveView()->Window();
    ASSERT_EQ(window->GetSelectedCount(), 1);
    Canvas()->setFocus();
    ASSERT_TRUE(WaitFor([this] { return Canvas()->hasFocus(); }));
    auto selectAll = [&] {
        xinput::Chord({"Control_L", "a"});
        Settle();
        return window->GetSelectedCount();
    };

    // Ctrl+C and Ctrl+V copy and paste the control; Shift+Insert pastes again.
    xinput::Chord({"Control_L", "c"});
    Settle();
    xinput::Chord({"Control_L", "v"});
    Settle();
    EXPECT_EQ(selectAll(), 2);
    xinput::Chord({"Shift_L", "Insert"});
    Settle();
    EXPECT_EQ(selectAll(), 3);

    // Ctrl+S saves.
    ASSERT_TRUE(Enabled(57603));
    xinput::Chord({"Control_L", "s"});
    Settle();
    EXPECT_FALSE(Enabled(57603)) << "Ctrl+S did not save";

    // Delete is the canvas's own key.
    xinput::Chord({"Delete"});
    Settle();
    EXPECT_EQ(selectAll(), 0);
}

// A Delete held a moment repeats, as a person's does: it takes the selected control
// and nothing after it, since nothing is selected in its place.
TEST_F(DesignerKeysX, AHeldDeleteRemovesOnlyTheSelectedControl)
{
    DOX_REQUIRE_XSERVER();
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("delete.dxt", {L"页"}))}));
    ASSERT_TRUE(ShowAndActivate(Frame()));
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    Draw(kToolEdit, QPoint(300, 200), QPoint(460, 230));
    Draw(kToolEdit, QPoint(500, 350), QPoint(660, 380));
    IDoxDesignWindow* window = DesignPage()->ActiveView()->Window();
    xinput::Click(Canvas()->mapToGlobal(QPoint(380, 215)));
    Settle();
    ASSERT_EQ(window->GetSelectedCount(), 1);
    ASSERT_TRUE(WaitFor([this] { return Canvas()->hasFocus(); }));

    xinput::Hold("Delete", 900);
    Settle();
    EXPECT_EQ(window->GetSelectedCount(), 0);
    xinput::Chord({"Control_L", "a"});
    Settle();
    EXPECT_EQ(window->GetSelectedCount(), 2);
}

} // namespace
