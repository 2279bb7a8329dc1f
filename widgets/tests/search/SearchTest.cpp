// The search box on the offscreen platform: live reports of typed text, the class
// list, the close mark and closing the edit from the program.

#include "MySearchCtrl.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

using brindle::MakeRect;

namespace
{

// A parent that records every EN_CHANGE its search box reports, with the text then.
class Host : public QWidget
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == MyCommandEvent::EventType()) {
            auto* c = static_cast<MyCommandEvent*>(e);
            EXPECT_EQ(EN_CHANGE, c->code());
            EXPECT_EQ(42u, c->id());
            reports.push_back(box->GetSearchStr());
            return true;
        }
        return QWidget::event(e);
    }
    MySearchCtrl* box = nullptr;
    std::vector<std::wstring> reports;
};

class SearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        host.resize(400, 60);
        box = new MySearchCtrl(&host);
        box->Create(0x10000000u, MakeRect(10, 10, 310, 34), &host, 42);
        host.box = box;
        host.show();
        host.activateWindow();
        QApplication::processEvents();
    }
    QPoint Centre(RECT r) { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

    Host host;
    MySearchCtrl* box = nullptr;
};

TEST_F(SearchTest, EachTypedCharacterIsReportedOnceAndEnterOnceMore)
{
    QTimer::singleShot(0, [this] {
        ASSERT_TRUE(box->InlineEdit()->isVisible());
        QTest::keyClicks(box->InlineEdit(), "abc");
        QTest::keyClick(box->InlineEdit(), Qt::Key_Return);
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, Centre(box->TextRect()));
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"ab", L"abc", L"abc"}), host.reports);
    EXPECT_FALSE(box->InlineEdit()->isVisible());
    EXPECT_EQ(std::wstring(L"abc"), box->GetSearchStr());

    // The close mark empties the text and reports it.
    host.reports.clear();
    QTest::mouseClick(box, Qt::LeftButton, {}, Centre(box->CloseRect()));
    EXPECT_EQ((std::vector<std::wstring>{L""}), host.reports);
}

TEST_F(SearchTest, AKeyOnTheBoxStartsTheEditWithThatKey)
{
    box->setFocus();
    QTimer::singleShot(0, [this] { QTest::keyClick(box->InlineEdit(), Qt::Key_Escape); });
    QTest::keyClick(box, Qt::Key_Q);
    EXPECT_EQ(std::wstring(L"q"), box->GetSearchStr());
    EXPECT_EQ((std::vector<std::wstring>{L"q", L"q"}), host.reports);
}

TEST_F(SearchTest, SettingTheTextFromTheProgramClosesTheEdit)
{
    QTimer::singleShot(0, [this] {
        QTest::keyClicks(box->InlineEdit(), "x");
        box->SetSearchStr(L"外部", 0);
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, Centre(box->TextRect()));
    EXPECT_FALSE(box->InlineEdit()->isVisible());
    // "x" live, then the one report of the closing edit with the program's text.
    EXPECT_EQ((std::vector<std::wstring>{L"x", L"外部"}), host.reports);
    EXPECT_EQ(std::wstring(L"外部"), box->GetSearchStr());
}

TEST_F(SearchTest, ClassesAreChosenFromTheListAndNeverReadWhenAbsent)
{
    // No classes: the placeholder class stays.
    box->SelectSearchClass(0, 0);
    EXPECT_EQ(std::wstring(L"搜索"), box->GetClassTitle());
    EXPECT_EQ(0ul, box->GetSearchID());

    box->AddSearchClass(L"账号", 11);
    box->AddSearchClass(L"金额", 22);
    box->SelectSearchClass(5, 0); // out of range: the first
    EXPECT_EQ(std::wstring(L"账号"), box->GetClassTitle());
    EXPECT_EQ(11ul, box->GetSearchID());

    // Choosing from the dropped list reports even with an empty text.
    QTimer::singleShot(0, [this] {
        ASSERT_TRUE(box->ClassList().IsOpen());
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(box, Qt::LeftButton, {}, Centre(box->IconRect()));
    EXPECT_EQ(std::wstring(L"金额"), box->GetClassTitle());
    EXPECT_EQ(22ul, box->GetSearchID());
    EXPECT_EQ(1u, host.reports.size());

    box->ClearSearchClass();
    EXPECT_EQ(0, box->GetSearchClassCount());
    EXPECT_EQ(std::wstring(L"搜索"), box->GetClassTitle());
}

} // namespace
