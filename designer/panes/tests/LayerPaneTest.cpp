// The layer pane over a real design window: the icons change state and lock without
// touching the selection, selecting a row makes its layer current, and the commands
// follow the layer count.

#include "PaneFixture.h"
#include "LayerView.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

using panetest::CoreTest;

namespace
{

class LayerPaneTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        ASSERT_NE(OpenDesign(QSize(500, 400)), nullptr);
        pane.resize(260, 240);
        pane.View()->SetDesignWindow(window);
        pane.View()->RefillLayers();
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }

    CLayerView* View() { return pane.View(); }
    QPoint At(int row, int x)
    {
        RECT r{};
        View()->GetItemRect(row, &r);
        return QPoint(r.left + x, (r.top + r.bottom) / 2);
    }
    std::vector<int> States()
    {
        std::vector<int> states;
        for (int i = 0; i < window->GetLayerCount(); ++i)
            states.push_back(window->GetLayerState(i));
        return states;
    }

    CLayerPane pane;
};

TEST_F(LayerPaneTest, IconsChangeStateAndLockWithoutMovingTheSelection)
{
    ASSERT_EQ(window->GetLayerCount(), 1);
    EXPECT_FALSE(View()->IsCommandEnabled(ID_LAYER_DELETE));
    EXPECT_TRUE(View()->IsCommandEnabled(ID_LAYER_NEW));
    ASSERT_TRUE(window->AddLayer(L"第二层"));
    ASSERT_TRUE(window->AddLayer(L"第三层"));
    View()->RefillLayers();
    ASSERT_EQ(View()->GetCount(), 3);
    EXPECT_TRUE(View()->IsCommandEnabled(ID_LAYER_DELETE));
    const std::vector<int> before = States();
    const int current = View()->GetCurSel();
    ASSERT_GE(current, 0);
    EXPECT_EQ(before[static_cast<size_t>(current)], 2);
    const int other = current == 2 ? 1 : 2;

    // Lock, unlock: only the lock changes.
    for (int locked : {1, 0}) {
        QTest::mouseClick(View(), Qt::LeftButton, {}, At(other, 36));
        EXPECT_EQ(window->IsLayerLocked(other), locked);
        EXPECT_EQ(View()->Row(other)->LockImage(), locked ? 4 : 3);
        EXPECT_EQ(View()->GetCurSel(), current);
        EXPECT_EQ(States(), before);
    }

    // The state icon swaps hidden and shown; the current layer stays current.
    QTest::mouseClick(View(), Qt::LeftButton, {}, At(other, 12));
    EXPECT_EQ(window->GetLayerState(other), 0);
    QTest::mouseClick(View(), Qt::LeftButton, {}, At(other, 12));
    EXPECT_EQ(window->GetLayerState(other), 1);
    QTest::mouseClick(View(), Qt::LeftButton, {}, At(current, 12));
    EXPECT_EQ(window->GetLayerState(current), 2);
    EXPECT_EQ(View()->GetCurSel(), current);

    // Selecting another row by its name makes that layer current, the old one shown.
    QTest::mouseClick(View(), Qt::LeftButton, {}, At(other, 120));
    EXPECT_EQ(View()->GetCurSel(), other);
    EXPECT_EQ(window->GetLayerState(other), 2);
    EXPECT_EQ(window->GetLayerState(current), 1);
    EXPECT_EQ(View()->Row(other)->StateImage(), 2);
    EXPECT_EQ(View()->Row(current)->StateImage(), 1);
}

TEST_F(LayerPaneTest, NewRenameAndDeleteGoToTheDesignWindow)
{
    // New: a row for the new last layer, selected, its name edited in place.
    QTimer::singleShot(0, [this] {
        auto* line = View()->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        line->selectAll();
        line->insert(QStringLiteral("签章"));
        QTest::keyClick(line, Qt::Key_Return);
    });
    EXPECT_TRUE(View()->OnCommand(ID_LAYER_NEW));
    ASSERT_EQ(window->GetLayerCount(), 2);
    EXPECT_EQ(std::wstring(window->GetLayerName(1)), L"签章");
    EXPECT_EQ(View()->GetCurSel(), 1);
    EXPECT_EQ(window->GetLayerState(1), 2);

    // A refused (empty) name shows the old one again.
    QTimer::singleShot(0, [this] {
        auto* line = View()->findChild<QLineEdit*>();
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClick(line, Qt::Key_Return);
    });
    EXPECT_TRUE(View()->OnCommand(ID_LAYER_RENAME));
    EXPECT_EQ(std::wstring(View()->Row(1)->Name()), L"签章");

    // Delete asks first; Cancel keeps the layer, OK removes it.
    prompter.answers = {2, 1};
    EXPECT_TRUE(View()->OnCommand(ID_LAYER_DELETE));
    EXPECT_EQ(window->GetLayerCount(), 2);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, L"确实要删除控件层“签章”吗?");
    EXPECT_EQ(prompter.messages[0].type, 33u);
    EXPECT_TRUE(View()->OnCommand(ID_LAYER_DELETE));
    EXPECT_EQ(window->GetLayerCount(), 1);
    EXPECT_EQ(View()->GetCount(), 1);
    EXPECT_FALSE(View()->IsCommandEnabled(ID_LAYER_DELETE));

    // Without a design window the pane empties.
    View()->SetDesignWindow(nullptr);
    View()->RefillLayers();
    EXPECT_EQ(View()->GetCount(), 0);
}

TEST_F(LayerPaneTest, Screenshot)
{
    ASSERT_TRUE(window->AddLayer(L"背景文字"));
    ASSERT_TRUE(window->AddLayer(L"金额"));
    window->SetLayerLocked(1, 1);
    window->SetLayerState(2, 0);
    window->SetLayerState(0, 2);
    View()->RefillLayers();
    EXPECT_EQ(View()->GetCurSel(), 0);
    const QImage shot = pane.grab().toImage();
    shot.save(panetest::ShotPath(dir, "layer_pane.png"));
    // The locked layer's padlock is drawn in its colour, the others' not.
    auto hasLockColour = [&](int row) {
        const QPoint c = At(row, 36) + View()->pos();
        for (int dx = -6; dx <= 6; ++dx)
            for (int dy = -6; dy <= 6; ++dy) {
                const QColor p = shot.pixelColor(c + QPoint(dx, dy));
                if (p.red() > 200 && p.green() > 140 && p.green() < 200 && p.blue() < 80)
                    return true;
            }
        return false;
    };
    EXPECT_FALSE(hasLockColour(0));
    EXPECT_TRUE(hasLockColour(1));
}

} // namespace
