// A template author's session driven through the ribbon's commands: drawing, aligning,
// pages added, renamed and deleted, save and reopen, the zoom slider, the categories
// each page shows, and closing with unsaved changes.

#include "DesignerFixture.h"

#include "CDesignDoc.h"
#include "CDesignPage.h"
#include "CDesignView.h"
#include "CHomePage.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "IDoxAttrib.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "PathText.h"
#include "Ribbon.h"
#include "UITabs.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QContextMenuEvent>

#include <deque>
#include <filesystem>
#include <functional>

using namespace designertest;

namespace
{

constexpr unsigned kToolEdit = 32812;
constexpr unsigned kToolTable = 32815;
constexpr unsigned kSelectAll = 57642;
constexpr unsigned kAlignLeft = 32773;
constexpr unsigned kSpaceEvenlyHorz = 32782;
constexpr unsigned kEvenCells = 32793;
constexpr unsigned kPageProperties = 32823;

// Pane contents that read what they were given, as the real panes do: a window or
// attribute set used after its release shows up under the address sanitizer.
class ProbeLayerPane : public LayerPaneContent
{
public:
    explicit ProbeLayerPane(QWidget* parent) : widget_(new QWidget(parent)) {}
    QWidget* Widget() override { return widget_; }
    void SetDesignWindow(IDoxDesignWindow* window) override
    {
        if (window_) window_->GetLayerCount();
        window_ = window;
    }
    IDoxDesignWindow* GetDesignWindow() const override { return window_; }
    void RefillLayers() override { layers = window_ ? window_->GetLayerCount() : -1; }

    int layers = -1;

private:
    QWidget* widget_; // the dock's once handed over
    IDoxDesignWindow* window_ = nullptr;
};

class ProbePropertyPane : public PropertyPaneContent
{
public:
    explicit ProbePropertyPane(QWidget* parent) : widget_(new QWidget(parent)) {}
    QWidget* Widget() override { return widget_; }
    void ShowAttributes(IDoxAttribSet* attributes) override
    {
        set_ = attributes;
        RefreshRows();
    }
    void RefreshRows() override { shown = set_ ? QString::fromWCharArray(set_->GetName()) : QString(); }

    QString shown;

private:
    QWidget* widget_; // the dock's once handed over
    IDoxAttribSet* set_ = nullptr;
};

class DesignSessionTest : public DesignerTest
{
protected:
    // The page properties dialog answers with a name (and OK) or cancels.
    void AnswerPageProperties(std::vector<std::wstring> names)
    {
        names_ = std::move(names);
        Extensions().runPageProperties = [this](QWidget*, PageProperties& page) {
            if (names_.empty()) return false;
            seen_.push_back(page);
            page.name = names_.front();
            names_.erase(names_.begin());
            return true;
        };
    }
    IDoxDocument* Document() const { return Frame()->Document()->Document(); }
    QStringList PageNames() const
    {
        QStringList names;
        for (int i = 0; i < Document()->GetPageCount(); ++i) names << QString::fromWCharArray(Document()->GetPage(i)->GetName());
        return names;
    }
    // Every tab's design window shows the document's page of the same index.
    void ExpectTabsMatchPages()
    {
        ASSERT_EQ(DesignPage()->TabCount(), Document()->GetPageCount());
        for (int i = 0; i < DesignPage()->TabCount(); ++i)
            EXPECT_EQ(DesignPage()->DesignWindowAt(i)->GetPage(), Document()->GetPage(i)) << i;
        EXPECT_EQ(TabLabels(), PageNames());
    }

    std::vector<std::wstring> names_;
    std::vector<PageProperties> seen_;
};

} // namespace

TEST_F(DesignSessionTest, DrawAlignSaveAndReopenThroughTheRibbon)
{
    const std::wstring path = MakeTemplate("sample.dxt", {L"第一页", L"第二页"});
    ASSERT_TRUE(Start({QString::fromStdWString(path)}));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_AS));

    Draw(kToolEdit, QPoint(40, 40), QPoint(240, 80));
    Draw(kToolTable, QPoint(90, 140), QPoint(330, 230));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE));
    // The table alone is selected after drawing: a split control evens its cells.
    EXPECT_EQ(DesignPage()->ActiveView()->Window()->GetSelectedCount(), 1);
    EXPECT_TRUE(Enabled(kEvenCells));
    EXPECT_FALSE(Enabled(kAlignLeft));

    Trigger(kSelectAll);
    EXPECT_EQ(DesignPage()->ActiveView()->Window()->GetSelectedCount(), 2);
    EXPECT_TRUE(Enabled(kAlignLeft));
    EXPECT_FALSE(Enabled(kSpaceEvenlyHorz));
    Trigger(kAlignLeft);
    Trigger(ID_FILE_SAVE);
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    Shot(Frame(), "designer_design_page.png");

    const std::string saved = TemplateXmlOfFile(path);
    EXPECT_EQ(ControlKinds(saved), (std::vector<std::string>{"editcontrol", "tablecontrol"}));
    const std::vector<int> lefts = ControlLefts(saved);
    ASSERT_EQ(lefts.size(), 2u);
    EXPECT_EQ(lefts[0], lefts[1]);

    // Closed and opened again, the template is the same; saved under another name
    // unchanged, it writes the same XML.
    Trigger(ID_FILE_CLOSE);
    EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(Frame()->HomePage()));
    prompter_.files.push_back({path});
    Trigger(ID_FILE_OPEN);
    ASSERT_NE(Document(), nullptr);
    EXPECT_EQ(TabLabels(), (QStringList{QStringLiteral("第一页"), QStringLiteral("第二页")}));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    const std::wstring copy = Path("copy.dxt");
    prompter_.files.push_back({copy});
    Trigger(ID_FILE_SAVE_AS);
    EXPECT_EQ(Frame()->Document()->Path(), copy);
    std::string again = TemplateXmlOfFile(copy);
    EXPECT_EQ(again, saved);
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(DesignSessionTest, PagesAddedRenamedAndDeletedKeepTabsAndPagesInStep)
{
    const std::wstring path = MakeTemplate("pages.dxt", {L"甲"});
    ASSERT_TRUE(Start({QString::fromStdWString(path)}));
    EXPECT_FALSE(Enabled(ID_PAGE_DELETE));

    // A refused delete (the document keeps its last page) leaves the tab and its page.
    prompter_.answers = {1};
    Frame()->Document()->DeletePage();
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(prompter_.messages[1].text.rfind(L"删除页面“甲”失败。", 0), 0u);
    ExpectTabsMatchPages();

    AnswerPageProperties({L"乙", L"丙"});
    Trigger(ID_PAGE_NEW);
    Trigger(ID_PAGE_NEW);
    ASSERT_EQ(seen_.size(), 2u);
    EXPECT_TRUE(seen_[0].newPage);
    EXPECT_EQ(seen_[0].cx, 2100);
    EXPECT_EQ(seen_[0].cy, 2970);
    ExpectTabsMatchPages();
    EXPECT_EQ(DesignPage()->ActiveTab(), 2);

    // Deleting the first tab: the former second becomes active.
    DesignPage()->Tabs()->SetActiveTab(0);
    Settle();
    prompter_.messages.clear();
    prompter_.answers = {1};
    Trigger(ID_PAGE_DELETE);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, L"确实要删除页面“甲”吗?");
    EXPECT_EQ(prompter_.messages[0].type, 33u);
    ExpectTabsMatchPages();
    EXPECT_EQ(TabLabels(), (QStringList{QStringLiteral("乙"), QStringLiteral("丙")}));
    EXPECT_EQ(DesignPage()->ActiveTab(), 0);

    // Renaming the last tab renames that tab, not the one at its old index.
    DesignPage()->Tabs()->SetActiveTab(1);
    Settle();
    AnswerPageProperties({L"丁"});
    Trigger(kPageProperties);
    EXPECT_FALSE(seen_.back().newPage);
    EXPECT_EQ(seen_.back().name, L"丙"); // the dialog opens with the page as it is
    ExpectTabsMatchPages();
    EXPECT_EQ(TabLabels(), (QStringList{QStringLiteral("乙"), QStringLiteral("丁")}));

    // Cancelling the question keeps everything; deleting the last tab activates the
    // new last one.
    prompter_.answers = {2};
    Trigger(ID_PAGE_DELETE);
    EXPECT_EQ(DesignPage()->TabCount(), 2);
    prompter_.answers = {1};
    Trigger(ID_PAGE_DELETE);
    ExpectTabsMatchPages();
    EXPECT_EQ(TabLabels(), QStringList{QStringLiteral("乙")});
    EXPECT_EQ(DesignPage()->ActiveTab(), 0);
    EXPECT_FALSE(Enabled(ID_PAGE_DELETE));
}

TEST_F(DesignSessionTest, TheZoomSliderSetsTheZoomAndItsLabel)
{
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("zoom.dxt", {L"页"}))}));
    Frame()->IdleUpdate();
    EXPECT_EQ(Frame()->ZoomLabel()->text(), QStringLiteral("100%"));
    const std::pair<int, const char*> cases[] = {{0, "50%"}, {100, "150%"}, {25, "75%"}, {50, "100%"}};
    for (const auto& [position, label] : cases) {
        Frame()->ZoomSlider()->setValue(position);
        Frame()->IdleUpdate();
        EXPECT_EQ(DesignPage()->ActiveView()->Window()->GetZoom(), position + 50);
        EXPECT_EQ(Frame()->ZoomLabel()->text(), QString::fromUtf8(label));
    }
    // A zoom changed in the window itself reaches the slider.
    DesignPage()->ActiveView()->Window()->SetZoom(125);
    Frame()->IdleUpdate();
    EXPECT_EQ(Frame()->ZoomSlider()->value(), 75);
    EXPECT_EQ(Frame()->ZoomLabel()->text(), QStringLiteral("125%"));
}

TEST_F(DesignSessionTest, TheRibbonShowsTheCategoriesOfEachPage)
{
    const std::wstring path = MakeTemplate("cats.dxt", {L"页"});
    ASSERT_TRUE(Start());
    Ribbon* ribbon = Frame()->RibbonBar();
    EXPECT_EQ(ribbon->ShownCategories(), QStringList{QStringLiteral("主页")});
    EXPECT_FALSE(Enabled(kSelectAll));

    Frame()->Document()->OpenByPath(path);
    EXPECT_EQ(ribbon->ShownCategories(),
              (QStringList{QStringLiteral("主页"), QStringLiteral("设计"), QStringLiteral("排列")}));
    EXPECT_EQ(ribbon->ActiveCategory(), CMainFrame::kDesign);
    // Every shown category lies whole inside the tab bar and takes one click.
    Settle();
    auto* tabs = ribbon->findChild<QTabBar*>(QStringLiteral("categories"));
    ASSERT_NE(tabs, nullptr);
    Shot(Frame(), "designer_ribbon_after_open.png");
    for (int category : {CMainFrame::kArrange, CMainFrame::kDesign, CMainFrame::kArrange}) {
        SCOPED_TRACE(category);
        const QRect tab = tabs->tabRect(category);
        EXPECT_TRUE(tabs->rect().contains(tab)) << tab.right() << " of " << tabs->width();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tab.center());
        EXPECT_EQ(ribbon->ActiveCategory(), category);
    }

    TestPageRecord record;
    int hookCalls = 0;
    record.closeHook = [&] {
        ++hookCalls;
        Frame()->ShowTestPage(record, false);
        return 0;
    };
    Frame()->ShowTestPage(record, true);
    EXPECT_EQ(ribbon->ShownCategories(), QStringList{QStringLiteral("测试运行")});
    EXPECT_EQ(record.category, CMainFrame::kArrange);
    EXPECT_FALSE(Enabled(ID_FILE_OPEN));
    EXPECT_EQ(Frame()->Document()->OpenByPath(path), 0);

    // Closing the window while the test page shows closes only the test page.
    EXPECT_FALSE(Frame()->close());
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(ribbon->ShownCategories(),
              (QStringList{QStringLiteral("主页"), QStringLiteral("设计"), QStringLiteral("排列")}));
    EXPECT_EQ(ribbon->ActiveCategory(), CMainFrame::kArrange);
    EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(DesignPage()));

    Trigger(ID_FILE_CLOSE);
    EXPECT_EQ(ribbon->ShownCategories(), QStringList{QStringLiteral("主页")});
}

TEST_F(DesignSessionTest, ClosingWithUnsavedChangesAsksAndFollowsTheAnswer)
{
    struct Case {
        const char* name;
        int answer;         // IDYES 6, IDNO 7, IDCANCEL 2
        bool closes;
        size_t controlsOnDisk;
    };
    const Case cases[] = {
        {"yes saves and closes", 6, true, 1},
        {"no closes without saving", 7, true, 0},
        {"cancel keeps the window and the template", 2, false, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = "close" + std::to_string(++n) + ".dxt";
        const std::wstring path = MakeTemplate(name.c_str(), {L"页"});
        ASSERT_TRUE(Start({QString::fromStdWString(path)}));
        Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
        prompter_.messages.clear();
        prompter_.answers = {c.answer};
        EXPECT_EQ(Frame()->close(), c.closes);
        ASSERT_EQ(prompter_.messages.size(), 1u);
        EXPECT_EQ(prompter_.messages[0].text, L"保存对 “" + TitleOfPath(path) + L"”的更改吗？");
        EXPECT_EQ(prompter_.messages[0].type, 35u);
        EXPECT_EQ(ControlKinds(TemplateXmlOfFile(path)).size(), c.controlsOnDisk);
        EXPECT_EQ(Frame()->Document()->Document() != nullptr, !c.closes);
        TearDown();
        SetUp();
    }
}

// A template the author may not write (a shipped or shared one) opens with word that
// it is read-only; a save offers 另存为 and never writes the file, whether it is asked
// for from the ribbon or by the question on closing.
TEST_F(DesignSessionTest, AReadOnlyTemplateOpensSaysSoAndOffersSaveAs)
{
    const std::wstring path = MakeTemplate("shared.dxt", {L"页"});
    const std::string before = doxtest::ReadFileBytes(plat::PathFromWide(path));
    doxtest::ScopedUnwritable unwritable(plat::PathFromWide(path));
    const std::wstring title = TitleOfPath(path);
    const std::wstring offer = L"模板“" + title + L"”是只读的，不能在原处保存。要另存为新的模板文件吗？";
    struct Case {
        const char* what;
        std::function<void()> save;
        std::deque<int> answers;
        std::vector<std::wstring> asked;
        const char* savedAs; // null: nothing saved
    };
    const Case cases[] = {
        {"the ribbon's save, declined", [&] { Trigger(ID_FILE_SAVE); }, {7}, {offer}, nullptr},
        {"the ribbon's save, taken", [&] { Trigger(ID_FILE_SAVE); }, {6}, {offer}, "ribbon.dxt"},
        {"closing with changes", [&] { EXPECT_TRUE(Frame()->close()); }, {6, 6},
         {L"保存对 “" + title + L"”的更改吗？", offer}, "closing.dxt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter_.messages.clear();
        ASSERT_TRUE(Start({QString::fromStdWString(path)}));
        ASSERT_NE(Frame()->Document()->Document(), nullptr);
        ASSERT_EQ(prompter_.messages.size(), 1u);
        EXPECT_EQ(prompter_.messages[0].text,
                  L"模板“" + title + L"”是只读的，不能在原处保存。修改后请用“另存为”保存为新的模板文件。");
        EXPECT_EQ(prompter_.messages[0].type, 64u);

        Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
        prompter_.messages.clear();
        prompter_.answers = c.answers;
        const std::wstring target = c.savedAs ? Path(c.savedAs) : std::wstring();
        if (c.savedAs)
            prompter_.files.push_back({target});
        c.save();
        std::vector<std::wstring> asked;
        for (const auto& message : prompter_.messages)
            asked.push_back(message.text);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(doxtest::ReadFileBytes(plat::PathFromWide(path)), before);
        if (c.savedAs)
            EXPECT_EQ(ControlKinds(TemplateXmlOfFile(target)).size(), 1u);
        else
            EXPECT_EQ(Frame()->Document()->Path(), path);
        TearDown();
        SetUp();
    }
}

#ifdef DOX_SAMPLE_DIR
// Opening a shipped sample is no edit of it: the samples leave the controls a clerk
// does not fill unnumbered, and the design window numbers them as it shows the page.
// Closing again asks nothing and the file keeps every byte.
TEST_F(DesignSessionTest, OpeningAndClosingEachShippedSampleLeavesItUntouched)
{
    std::vector<std::filesystem::path> shipped;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(DOX_SAMPLE_DIR))
        if (entry.path().extension() == ".dxt")
            shipped.push_back(entry.path());
    ASSERT_FALSE(shipped.empty());
    for (const std::filesystem::path& sample : shipped) {
        SCOPED_TRACE(sample.filename().string());
        const std::filesystem::path copy = dir_ / sample.filename();
        std::filesystem::copy_file(sample, copy, std::filesystem::copy_options::overwrite_existing);
        const std::string before = doxtest::ReadFileBytes(copy);
        ASSERT_FALSE(before.empty());
        ASSERT_TRUE(Start({QString::fromStdString(copy.string())}));
        ASSERT_NE(Frame()->Document()->Document(), nullptr);
        EXPECT_FALSE(Enabled(ID_FILE_SAVE));
        prompter_.messages.clear();
        EXPECT_TRUE(Frame()->close());
        EXPECT_TRUE(prompter_.messages.empty());
        EXPECT_EQ(doxtest::ReadFileBytes(copy), before);
        TearDown();
        SetUp();
    }
}
#endif

TEST_F(DesignSessionTest, ThePanesLetGoOfAPageBeforeItsTabReleasesTheWindow)
{
    ProbeLayerPane* layers = nullptr;
    ProbePropertyPane* properties = nullptr;
    Extensions().makeLayerPane = [&](QWidget* parent) {
        auto pane = std::make_unique<ProbeLayerPane>(parent);
        layers = pane.get();
        return pane;
    };
    Extensions().makePropertyPane = [&](QWidget* parent) {
        auto pane = std::make_unique<ProbePropertyPane>(parent);
        properties = pane.get();
        return pane;
    };
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("panes.dxt", {L"一", L"二"}))}));
    ASSERT_NE(layers, nullptr);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(DesignPage()->LayerDock()->widget(), layers->Widget());
    EXPECT_EQ(layers->GetDesignWindow(), DesignPage()->DesignWindowAt(0));
    EXPECT_EQ(layers->layers, 1);

    // A control of page one is selected: the rows hold its attributes.
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    EXPECT_FALSE(properties->shown.isEmpty());
    EXPECT_NE(properties->shown, QStringLiteral("无控件"));

    prompter_.answers = {1};
    Trigger(ID_PAGE_DELETE);
    ASSERT_EQ(DesignPage()->TabCount(), 1);
    EXPECT_EQ(layers->GetDesignWindow(), DesignPage()->DesignWindowAt(0));
    EXPECT_EQ(properties->shown, QStringLiteral("无控件"));
    // An edit on the remaining page refreshes the rows from what they now hold.
    Draw(kToolEdit, QPoint(60, 60), QPoint(220, 90));
    EXPECT_NE(properties->shown, QStringLiteral("无控件"));

    prompter_.answers = {7}; // not saved
    Trigger(ID_FILE_CLOSE);
    EXPECT_EQ(layers->GetDesignWindow(), nullptr);
    EXPECT_EQ(layers->layers, -1);
    EXPECT_TRUE(properties->shown.isEmpty());
}

namespace
{

// A test page that shows itself for the page it is given and closes on 32842.
class ProbeTestPage : public TestPageContent
{
public:
    explicit ProbeTestPage(QWidget* parent) : widget_(new QWidget(parent)) {}
    QWidget* Widget() override { return widget_; }
    bool Open(IDoxPage* page, IDoxCore* core) override
    {
        opened = core ? page : nullptr;
        record_.closeHook = [this] {
            Show(false);
            return 0;
        };
        Show(true);
        return true;
    }
    bool OnCmdMsg(unsigned id, CmdUI* ui) override
    {
        if (id != 32842) return false;
        if (!ui) Show(false);
        return true;
    }

    IDoxPage* opened = nullptr;
    CMainFrame* frame = nullptr;

private:
    void Show(bool show) { frame->ShowTestPage(record_, show); }

    QWidget* widget_; // the test page window's once handed over
    TestPageRecord record_;
};

} // namespace

TEST_F(DesignSessionTest, TheTestRunShowsTheTestPageAndTheApplicationMenuClosesIt)
{
    ProbeTestPage* test = nullptr;
    Extensions().makeTestPage = [&](QWidget* parent) {
        auto page = std::make_unique<ProbeTestPage>(parent);
        test = page.get();
        return page;
    };
    const std::wstring path = MakeTemplate("run.dxt", {L"一", L"二"});
    ASSERT_TRUE(Start({QString::fromStdWString(path)}));
    ASSERT_NE(test, nullptr);
    test->frame = Frame();
    DesignPage()->Tabs()->SetActiveTab(1);
    Settle();
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    const std::string before = TemplateXmlOfFile(path);

    Trigger(32826);
    EXPECT_EQ(test->opened, DesignPage()->DesignWindowAt(1)->GetPage());
    EXPECT_TRUE(Frame()->IsTestPageShown());
    EXPECT_EQ(Frame()->RibbonBar()->ShownCategories(), QStringList{QStringLiteral("测试运行")});
    EXPECT_FALSE(Enabled(ID_FILE_OPEN));
    EXPECT_FALSE(Enabled(ID_FILE_CLOSE));
    EXPECT_TRUE(Enabled(32842));
    // Saving waits until the test page is closed, whichever way the command comes.
    for (unsigned id : {ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Enabled(id));
        prompter_.files.push_back({Path("elsewhere.dxt")});
        Frame()->Document()->OnCmdMsg(id, nullptr);
        prompter_.files.clear();
        EXPECT_TRUE(prompter_.fileRequests.empty());
        EXPECT_EQ(TemplateXmlOfFile(path), before);
        EXPECT_EQ(Frame()->Document()->Path(), path);
    }

    emit Frame()->RibbonBar()->ApplicationMenu()->aboutToShow();
    EXPECT_FALSE(Frame()->IsTestPageShown());
    EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(DesignPage()));
    EXPECT_EQ(Frame()->RibbonBar()->ActiveCategory(), CMainFrame::kDesign);
}

TEST_F(DesignSessionTest, NewTemplateChecksTheWizardsSizesAndBasePoint)
{
    struct Case {
        int cx, cy, x, y;
        const wchar_t* message; // null: the template is made
    };
    const Case cases[] = {
        {399, 1000, 0, 0, L"默认页面的大小参数不在有效值范围内。"},
        {1000, 6001, 0, 0, L"默认页面的大小参数不在有效值范围内。"},
        {1000, 1000, 1001, 0, L"基点位置不在页面的范围内。"},
        {1000, 1000, 0, -1, L"基点位置不在页面的范围内。"},
        {400, 6000, 400, 6000, nullptr},
        {2100, 1480, 2100, 0, nullptr},
    };
    NewTemplateRequest next;
    Extensions().runNewTemplateWizard = [&](QWidget*, NewTemplateRequest& request) {
        request = next;
        return true;
    };
    ASSERT_TRUE(Start());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cx * 10000 + c.cy);
        const std::string name = "new" + std::to_string(++n) + ".dxt";
        next = NewTemplateRequest{};
        next.path = Path(name.c_str());
        next.pageName = L"首页";
        next.cx = c.cx;
        next.cy = c.cy;
        next.baseX = c.x;
        next.baseY = c.y;
        prompter_.messages.clear();
        Trigger(ID_FILE_NEW);
        if (c.message) {
            ASSERT_EQ(prompter_.messages.size(), 1u);
            EXPECT_EQ(prompter_.messages[0].text, c.message);
            EXPECT_EQ(Frame()->Document()->Document(), nullptr);
            EXPECT_FALSE(std::filesystem::exists(plat::PathFromWide(next.path)));
        } else {
            EXPECT_TRUE(prompter_.messages.empty());
            EXPECT_EQ(Frame()->Document()->Path(), next.path);
            EXPECT_EQ(TabLabels(), QStringList{QStringLiteral("首页")});
            EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(DesignPage()));
            const std::string page = "cx=\"" + std::to_string(c.cx) + "\" cy=\"" + std::to_string(c.cy) + "\" bpx=\"" +
                                     std::to_string(c.x) + "\"";
            EXPECT_NE(TemplateXmlOfFile(next.path).find(page), std::string::npos) << page;
        }
    }

    // Yes to the save prompt, then the wizard cancelled: the old template stays, saved.
    const std::wstring old = Frame()->Document()->Path();
    Draw(kToolEdit, QPoint(20, 20), QPoint(120, 50));
    Extensions().runNewTemplateWizard = [](QWidget*, NewTemplateRequest&) { return false; };
    prompter_.messages.clear();
    prompter_.answers = {6};
    Trigger(ID_FILE_NEW);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].type, 35u);
    EXPECT_EQ(Frame()->Document()->Path(), old);
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_EQ(ControlKinds(TemplateXmlOfFile(old)).size(), 1u);
}

TEST_F(DesignSessionTest, PagePropertiesReportEachRefusedStepAndGoOn)
{
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("props.dxt", {L"原名"}))}));
    Extensions().runPageProperties = [](QWidget*, PageProperties& page) {
        EXPECT_EQ(page.name, L"原名");
        EXPECT_EQ(page.cx, 2100);
        EXPECT_EQ(page.cy, 1480);
        page.name.clear();  // refused
        page.cx = 100;      // refused
        page.baseX = 300;   // taken
        page.baseY = 200;
        return true;
    };
    Trigger(kPageProperties);
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(prompter_.messages[0].text.rfind(L"设置页面大小失败。 原因：", 0), 0u);
    EXPECT_EQ(prompter_.messages[1].text.rfind(L"设置页面名称失败。 原因：", 0), 0u);
    EXPECT_EQ(TabLabels(), QStringList{QStringLiteral("原名")});
    IDoxPage* page = DesignPage()->DesignWindowAt(0)->GetPage();
    POINT base{};
    page->GetBasePoint(&base);
    EXPECT_EQ(base.x, 300);
    SIZE size{};
    page->GetSize(&size);
    EXPECT_EQ(size.cx, 2100);
}

TEST_F(DesignSessionTest, TheViewsContextMenuOffersTheClipboardCommands)
{
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("menu.dxt", {L"页"}))}));
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    QStringList texts;
    QList<bool> enabled;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            texts << action->text();
            enabled << action->isEnabled();
        }
        menu->setActiveAction(menu->actions().at(1)); // copy
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QWidget* canvas = Canvas();
    const QPoint at(100, 55);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, canvas->mapToGlobal(at));
    QApplication::sendEvent(canvas, &event);
    Settle();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("剪切(&T)\tCtrl+X"), QStringLiteral("复制(&C)\tCtrl+C"),
                                  QStringLiteral("粘贴(&P)\tCtrl+V")}));
    ASSERT_EQ(enabled.size(), 3);
    EXPECT_TRUE(enabled[0]);
    EXPECT_TRUE(enabled[1]);
    // The copy chosen in the menu can be pasted.
    EXPECT_TRUE(Enabled(57637));
    Trigger(57637);
    Trigger(kSelectAll);
    EXPECT_EQ(DesignPage()->ActiveView()->Window()->GetSelectedCount(), 2);
}

// The align, space and size commands prompt with their own names, and a prompt shows
// in the status bar's first pane without moving the zoom text and slider.
// Only the current layer's controls can be selected: a click on a control of another
// layer selects nothing, and the status bar says which layer holds it.
TEST_F(DesignSessionTest, AClickOnAnotherLayersControlNamesItsLayerInTheStatusBar)
{
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("layers.dxt", {L"页"}))}));
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    IDoxDesignWindow* window = DesignPage()->ActiveView()->Window();
    ASSERT_EQ(window->GetLayerCount(), 1);
    const QString first = QString::fromWCharArray(window->GetLayerName(0));
    ASSERT_EQ(window->AddLayer(L"备注"), 1);
    ASSERT_EQ(window->GetLayerState(1), 2);
    auto* prompt = Frame()->statusBar()->findChild<QLabel*>(QStringLiteral("120"));
    ASSERT_NE(prompt, nullptr);
    struct Step {
        const char* what;
        QPoint at;
        int currentLayer;
        int selected;
        QString text;
    } const steps[] = {
        {"the control of the layer below",
         {120, 55},
         1,
         0,
         QStringLiteral("该控件在“%1”层，不是当前层，不能选中。").arg(first)},
        {"the empty page", {400, 300}, 1, 0, QString()},
        {"the control again",
         {120, 55},
         1,
         0,
         QStringLiteral("该控件在“%1”层，不是当前层，不能选中。").arg(first)},
        {"the control on its own layer made current", {120, 55}, 0, 1, QString()},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (window->GetLayerState(step.currentLayer) != 2) {
            ASSERT_EQ(window->SetLayerState(step.currentLayer, 2), 1);
        }
        QTest::mouseClick(Canvas(), Qt::LeftButton, {}, step.at);
        Settle();
        EXPECT_EQ(window->GetSelectedCount(), step.selected);
        EXPECT_EQ(prompt->text(), step.text);
    }
}

TEST_F(DesignSessionTest, CommandPromptsShowInTheStatusBarWithoutMovingTheZoom)
{
    ASSERT_TRUE(Start({QString::fromStdWString(MakeTemplate("prompts.dxt", {L"页"}))}));
    struct Case {
        unsigned id;
        const char* prompt;
    } const cases[] = {
        {32775, "顶端对齐"},       {32776, "底端对齐"},       {32773, "左对齐"},         {32774, "右对齐"},
        {32778, "垂直中线对齐"},   {32777, "水平中线对齐"},   {32782, "使水平间距相等"}, {32783, "使垂直间距相等"},
        {32780, "水平居中"},       {32779, "垂直居中"},       {32785, "消除水平间距"},   {32787, "消除垂直间距"},
        {32788, "使宽度相等"},     {32789, "使高度相等"},     {32790, "使大小相等"},
    };
    Frame()->resize(1000, 700);
    Settle();
    const QRect label = Frame()->ZoomLabel()->geometry();
    const QPoint sliderAt = Frame()->ZoomSlider()->mapTo(Frame(), QPoint(0, 0));
    auto* first = Frame()->statusBar()->findChild<QLabel*>(QStringLiteral("120"));
    ASSERT_NE(first, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        QAction* action = Action(c.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(c.prompt));
        action->showStatusText(Frame());
        Settle();
        EXPECT_EQ(first->text(), QString::fromUtf8(c.prompt));
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(Frame()->ZoomLabel()->geometry(), label);
        EXPECT_EQ(Frame()->ZoomSlider()->mapTo(Frame(), QPoint(0, 0)), sliderAt);
    }
    // The prompt goes when the pointer leaves the command.
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(Frame(), &leave);
    EXPECT_TRUE(first->text().isEmpty());
}
