// The engine as a template page's view: attaching hands it every control of
// every layer, layer changes and removals reach it, and detaching empties it.

#include <gtest/gtest.h>

#include "DesignBench.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "SqlConnectionPool.h"
#include "TestSupport.h"

using namespace designtest;

namespace
{

class GrabPage : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { SqlConnectionPool::Init(); }
    static void TearDownTestSuite() { SqlConnectionPool::Shutdown(); }
    doxtest::TempDir dir_;
};

} // namespace

TEST_F(GrabPage, AttachEditRemoveALayerAndDetach)
{
    RecordingHost host;
    TestCanvas canvas;
    ASSERT_EQ(canvas.Init(&host, &canvas), 1);
    IDoxDocument* document = DocCreateTemplate((dir_ / "t.dxt").wstring().c_str(), L"p", 2100, 2970);
    ASSERT_NE(document, nullptr);
    auto* page = static_cast<DoxPage*>(document->GetPage(0));
    RECT rect{100, -100, 300, -200};
    DoxControl* first = page->GetLayer(0)->CreateControl(DoxKindLine, &rect);
    ASSERT_EQ(page->AddLayer(L"b"), 1);
    rect = RECT{500, -100, 700, -200};
    DoxControl* onB = page->GetLayer(1)->CreateControl(DoxKindLine, &rect);
    rect = RECT{500, -500, 700, -600};
    DoxControl* onB2 = page->GetLayer(1)->CreateControl(DoxKindLine, &rect);
    ASSERT_TRUE(first && onB && onB2);
    ASSERT_EQ(page->SetBasePoint(50, -60), 1);

    ASSERT_EQ(page->AttachView(&canvas), 1);
    EXPECT_EQ(canvas.HitList().size(), 3u);
    EXPECT_EQ(canvas.GetBasePoint().x, 50);
    EXPECT_EQ(canvas.GetCurrentLayer(), static_cast<GrabLayer*>(page->GetLayer(1)));
    ASSERT_NE(canvas.GetPrimary(), nullptr);
    EXPECT_EQ(canvas.GetPrimary()->GetObject(), static_cast<GrabObjectCore*>(onB2));

    // A drawn control joins as the new primary; Delete removes it from its layer.
    rect = RECT{900, -900, 1000, -1000};
    DoxControl* drawn = page->GetLayer(1)->CreateControl(DoxKindLine, &rect);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(canvas.GetPrimary()->GetObject(), static_cast<GrabObjectCore*>(drawn));
    EXPECT_EQ(canvas.OnKeyDown(GrabCanvas::KeyDelete, 0), 1);
    EXPECT_EQ(page->GetLayer(1)->Controls().size(), 2u);
    EXPECT_EQ(page->GetLayer(1)->Objects().size(), 2u);

    // Removing the current layer lets its objects go and makes layer 0 current.
    ASSERT_EQ(page->RemoveLayer(1), 1);
    EXPECT_EQ(canvas.HitList().size(), 1u);
    EXPECT_EQ(canvas.GetCurrentLayer(), static_cast<GrabLayer*>(page->GetLayer(0)));
    EXPECT_EQ(first->GetTabIndex(), 0);
    canvas.OnKeyDown(GrabCanvas::KeyTab, 0);
    EXPECT_EQ(canvas.GetPrimary()->GetObject(), static_cast<GrabObjectCore*>(first));
    canvas.OnKeyDown(GrabCanvas::KeyRight, 0);
    EXPECT_EQ(TemplateXml(first), LineXml(110, -100, 200, 100, 0));

    page->DetachView();
    EXPECT_TRUE(canvas.HitList().empty());
    EXPECT_EQ(first->GetDesignLink(), nullptr);
    document->Release();
}

TEST_F(GrabPage, APageFreedWhileShownLeavesNothingBehind)
{
    RecordingHost host;
    TestCanvas canvas;
    ASSERT_EQ(canvas.Init(&host, &canvas), 1);
    IDoxDocument* document = DocCreateTemplate((dir_ / "t.dxt").wstring().c_str(), L"p", 2100, 2970);
    ASSERT_NE(document, nullptr);
    auto* page = static_cast<DoxPage*>(document->GetPage(0));
    RECT rect{100, -100, 300, -200};
    ASSERT_NE(page->GetLayer(0)->CreateControl(DoxKindLine, &rect), nullptr);
    ASSERT_EQ(page->AttachView(&canvas), 1);
    ASSERT_EQ(canvas.HitList().size(), 1u);
    document->Release();
    EXPECT_TRUE(canvas.HitList().empty());
    EXPECT_EQ(canvas.GetCurrentLayer(), nullptr);
    EXPECT_EQ(canvas.OnKeyDown(GrabCanvas::KeyTab, 0), 0);
    EXPECT_EQ(canvas.OnLButtonDown(0, 150, -150), 0);
}
