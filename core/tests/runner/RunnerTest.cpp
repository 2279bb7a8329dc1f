// The page runner over a page stand-in: fill-in order, focus moves, and the
// printed page read back from a PDF with poppler's tools.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "DC.h"
#include "DataPage.h"
#include "DoxControlKinds.h"
#include "DoxControlLayer.h"
#include "DoxEditControl.h"
#include "DoxPageRunner.h"
#include "DoxPrinter.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"
#include "PdfWords.h"
#include "Printers.h"
#include "TestSupport.h"

namespace
{

class RunnerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        RegisterControlKinds();
        InitFormatCatalogue();
        InitDataFunctionLists();
        InitFormulaLists();
    }
    void TearDown() override
    {
        ShutdownFormulaLists();
        ShutdownDataFunctionLists();
    }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new RunnerEnvironment);

// One page with one layer.
class TestPage : public DoxRunnerPage, public DoxControlLayer
{
public:
    ~TestPage()
    {
        for (DoxControl* control : controls) {
            control->SetParentLayer(nullptr);
            static_cast<ICommon*>(control)->Release();
        }
    }
    // Page.
    SIZE GetPageSize() override { return SIZE{2100, 990}; }
    POINT GetStoredBasePoint() override { return basePoint; }
    std::vector<DoxControl*> GetRunControls() override { return controls; }
    bool AttachRunner(DoxPageRunner* r) override
    {
        if (refuse)
            return false;
        runner = r;
        return true;
    }
    void DetachRunner(DoxPageRunner*) override { runner = nullptr; }
    DoxPageRunner* GetRunner() override { return runner; }
    DataPage* GetRunDataPage() override { return &data; }
    IDoxPage* GetInterface() override { return nullptr; }
    // Layer.
    bool GetPageExtent(int32_t& width, int32_t& height) const override
    {
        width = 2100;
        height = 990;
        return true;
    }
    bool IsLocked() const override { return false; }
    int GetState() const override { return 1; }
    DataPage* GetPageData() override { return &data; }
    void SetModified() override {}
    void UnlinkControl(DoxControl* control) override { std::erase(controls, control); }
    DoxControl* LoadControl(const tinyxml2::XMLElement*, int, int) override { return nullptr; }

    DoxEditControl* AddEdit(RECT rect, const wchar_t* field, const wchar_t* type)
    {
        auto* edit = static_cast<DoxEditControl*>(CreateControlByKind(DoxKindEdit, this, &rect));
        EXPECT_NE(edit, nullptr);
        controls.push_back(edit);
        EXPECT_TRUE(edit->DataAttribute().FieldName().SetValueText(field));
        EXPECT_TRUE(edit->DataAttribute().FieldType().SetValueText(type));
        EXPECT_TRUE(edit->Align().VAlignItem().SetValueText(L"顶部对齐"));
        return edit;
    }

    DataPage data;
    std::vector<DoxControl*> controls;
    POINT basePoint{0, 0};
    DoxPageRunner* runner = nullptr;
    bool refuse = false;
};

// A page client that records the pointer it is asked to show.
class TestWindow : public DoxRunnerWindow
{
public:
    void InvalidatePixels(const RECT&, bool) override {}
    void ValidatePixels(const RECT&) override {}
    bool ShowsChanges() override { return true; }
    RECT ToPixels(const RECT& rect) override { return rect; }
    void SetPointer(DoxRunCursor c) override
    {
        cursor = c;
        ++pointerCalls;
    }

    DoxRunCursor cursor = DoxRunCursor::Arrow;
    int pointerCalls = 0;
};

std::vector<DoxControl*> TabOrder(const DoxPageRunner& runner)
{
    return runner.TabList();
}

} // namespace

TEST(RunnerOrder, EqualOrderVisitsTheLaterControlFirstAndHiddenControlsStayOut)
{
    TestPage page;
    DoxEditControl* a = page.AddEdit({0, 0, 100, -50}, L"a", L"文本");
    DoxEditControl* b = page.AddEdit({0, -100, 100, -150}, L"b", L"文本");
    DoxEditControl* c = page.AddEdit({0, -200, 100, -250}, L"c", L"文本");
    DoxEditControl* hidden = page.AddEdit({0, -300, 100, -350}, L"d", L"文本");
    a->SetTabIndex(2);
    b->SetTabIndex(1);
    c->SetTabIndex(1);
    hidden->SetTabIndex(0);
    ASSERT_TRUE(hidden->Visible().SetValueText(L"否"));
    page.data.PrepareStore(nullptr, L"P");

    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
    // b and c share order 1: c, later in the layer, comes first.
    EXPECT_EQ(TabOrder(runner), (std::vector<DoxControl*>{c, b, a}));
    EXPECT_EQ(hidden->GetPageRunner(), nullptr);
    EXPECT_EQ(runner.GetCurrentField(), static_cast<DoxControlBase*>(c));

    // Tab wraps at both ends.
    struct Move {
        bool forward;
        DoxControl* lands;
    } moves[] = {{true, b}, {true, a}, {true, c}, {false, a}, {false, b}};
    for (const Move& m : moves) {
        EXPECT_EQ(m.forward ? runner.FocusNext() : runner.FocusPrev(), 1);
        EXPECT_EQ(runner.GetCurrentField(), static_cast<DoxControlBase*>(m.lands));
    }

    // A second attach is refused; after detach the controls are free again.
    DoxPageRunner other;
    EXPECT_EQ(AttachPageRunner(&page, &other), 0);
    DetachPageRunner(&runner);
    EXPECT_EQ(a->GetPageRunner(), nullptr);
    EXPECT_TRUE(runner.TabList().empty());
    EXPECT_EQ(AttachPageRunner(&page, &other), 1);
    DetachPageRunner(&other);
}

TEST(RunnerOrder, TabNeverStopsOnAFieldThatTakesNoInput)
{
    // Orders 1 to 4: the first and the third are shown for reading only (capitals,
    // a total), as a form puts them between the fields a clerk fills.
    TestPage page;
    DoxEditControl* capitals = page.AddEdit({0, 0, 100, -50}, L"c", L"数值");
    DoxEditControl* payee = page.AddEdit({0, -100, 100, -150}, L"p", L"文本");
    DoxEditControl* total = page.AddEdit({0, -200, 100, -250}, L"t", L"数值");
    DoxEditControl* purpose = page.AddEdit({0, -300, 100, -350}, L"u", L"文本");
    int order = 1;
    for (DoxEditControl* edit : {capitals, payee, total, purpose})
        edit->SetTabIndex(order++);
    ASSERT_TRUE(capitals->Editable().SetValueText(L"否"));
    ASSERT_TRUE(total->Editable().SetValueText(L"否"));
    page.data.PrepareStore(nullptr, L"P");

    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
    // Still painted, so still in the list; but a new page starts at the first field
    // that takes a value.
    EXPECT_EQ(runner.TabList().size(), 4u);
    EXPECT_EQ(runner.GetCurrentField(), static_cast<DoxControlBase*>(payee));
    struct Move {
        bool forward;
        DoxControl* lands;
    } moves[] = {{true, purpose}, {true, payee}, {true, purpose}, {false, payee}, {false, purpose}};
    for (const Move& m : moves) {
        EXPECT_EQ(m.forward ? runner.FocusNext() : runner.FocusPrev(), 1);
        EXPECT_EQ(runner.GetCurrentField(), static_cast<DoxControlBase*>(m.lands));
    }
    DetachPageRunner(&runner);

    // A page of read-only fields has no current field, and Tab finds none.
    ASSERT_TRUE(payee->Editable().SetValueText(L"否"));
    ASSERT_TRUE(purpose->Editable().SetValueText(L"否"));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
    EXPECT_EQ(runner.GetCurrentField(), nullptr);
    runner.FocusNext();
    EXPECT_EQ(runner.GetCurrentField(), nullptr);
    runner.FocusPrev();
    EXPECT_EQ(runner.GetCurrentField(), nullptr);
    DetachPageRunner(&runner);
}

TEST(RunnerOrder, RefusingPageLeavesRunnerFree)
{
    TestPage refusing;
    refusing.refuse = true;
    DoxPageRunner runner;
    EXPECT_EQ(AttachPageRunner(&refusing, &runner), 0);
    EXPECT_EQ(runner.GetRunnerPage(), nullptr);
    TestPage page;
    EXPECT_EQ(AttachPageRunner(&page, &runner), 1);
    DetachPageRunner(&runner);
}

TEST(RunnerPagePrint, FieldsPrintWhereTheTemplatePutsThem)
{
    TestPage page;
    DoxEditControl* amount = page.AddEdit({100, -100, 900, -160}, L"amount", L"数值");
    ASSERT_TRUE(amount->Format().Format().SetValueText(L"<中文大写金额>"));
    DoxEditControl* digits = page.AddEdit({100, -300, 1100, -360}, L"digits", L"文本");
    ASSERT_TRUE(digits->Split().ColumnItem().SetValueText(L"10"));
    ASSERT_TRUE(digits->Split().Style().SetValueText(L"右端"));
    DoxEditControl* date = page.AddEdit({1200, -100, 1900, -160}, L"day", L"日期");
    page.AddEdit({1200, -500, 1900, -560}, L"payee", L"文本");
    DoxEditControl* secret = page.AddEdit({100, -700, 900, -760}, L"note", L"文本");
    ASSERT_TRUE(secret->Printable().SetValueText(L"否"));
    ASSERT_EQ(page.data.PrepareStore(nullptr, L"P"), 1);
    ASSERT_EQ(page.data.SetFieldText(L"主表.amount", 0, L"123"), 1);
    ASSERT_EQ(page.data.SetFieldText(L"主表.digits", 0, L"12345"), 1);
    ASSERT_EQ(page.data.SetFieldText(L"主表.day", 0, L"2026-12-10"), 1);
    ASSERT_EQ(page.data.SetFieldText(L"主表.payee", 0, L"收款单位"), 1);
    ASSERT_EQ(page.data.SetFieldText(L"主表.note", 0, L"HIDDEN"), 1);

    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
    EXPECT_EQ(amount->DrawnText(), L"壹佰贰拾叁元整");
    const QString dateText = QString::fromStdWString(date->DrawnText());
    ASSERT_FALSE(dateText.isEmpty());

    doxtest::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "bill.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"bill"));
        ASSERT_TRUE(job.StartPage());
        EXPECT_EQ(runner.Render(&job, 0, 0), 1);
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    DetachPageRunner(&runner);

    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    struct Expect {
        QString text;
        double xMm, yMm;
    } expected[] = {
        {QString::fromStdWString(L"壹佰贰拾叁元整"), 10.0, 10.0},
        {dateText, 120.0, 10.0},
        {QString::fromStdWString(L"收款单位"), 120.0, 50.0},
        // Ten boxes of 10 mm from x = 10 mm; right layout puts 12345 in boxes 6 to 10.
        {"1", 60.0, 30.0},
        {"2", 70.0, 30.0},
        {"3", 80.0, 30.0},
        {"4", 90.0, 30.0},
        {"5", 100.0, 30.0},
    };
    for (const Expect& e : expected) {
        auto it = std::find_if(words.begin(), words.end(),
                               [&](const pdftest::Word& w) { return w.text == e.text; });
        ASSERT_NE(it, words.end()) << "missing " << e.text.toStdString();
        EXPECT_NEAR(it->xMin, e.xMm, 0.2) << e.text.toStdString();
        EXPECT_NEAR(it->yMin, e.yMm, 0.2) << e.text.toStdString();
    }
    for (const pdftest::Word& w : words)
        EXPECT_NE(w.text, "HIDDEN") << "a not-printable control printed";
}

TEST(RunnerPaint, BasePointLinesCrossAtTheStoredPoint)
{
    // One pixel per 0.1 mm. The base point 50 mm from the left and 30 mm down is
    // kept as (500, -300): the lines stand on pixel column 500 and row 300.
    TestPage page;
    page.basePoint = POINT{500, -300};
    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
    QImage image(2100, 990, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        runner.Paint(dc);
    }
    DetachPageRunner(&runner);
    auto blueIn = [&](int left, int top, int right, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.blue() > 200 && c.red() < 100 ? 1 : 0;
            }
        return n;
    };
    // The dotted lines run across the whole page.
    EXPECT_GT(blueIn(0, 299, 2100, 302), 500);
    EXPECT_GT(blueIn(499, 0, 502, 990), 200);
    // Nowhere else: the four quarters between the lines stay white.
    EXPECT_EQ(blueIn(0, 0, 495, 295), 0);
    EXPECT_EQ(blueIn(505, 0, 2100, 295), 0);
    EXPECT_EQ(blueIn(0, 305, 495, 990), 0);
    EXPECT_EQ(blueIn(505, 305, 2100, 990), 0);
}

TEST(RunnerMouse, TextFieldsShowTheIBeamWhileRunning)
{
    TestPage page;
    page.AddEdit({0, 0, 100, -50}, L"a", L"文本");
    DoxEditControl* hidden = page.AddEdit({0, -100, 100, -150}, L"b", L"文本");
    ASSERT_TRUE(hidden->Visible().SetValueText(L"否"));
    ASSERT_EQ(page.data.PrepareStore(nullptr, L"P"), 1);
    TestWindow window;
    DoxPageRunner runner;
    ASSERT_TRUE(runner.CreateTools(&window, nullptr, nullptr));
    ASSERT_EQ(AttachPageRunner(&page, &runner), 1);

    struct Move {
        int x, y;
        int taken;
        int pointerCalls;
    } moves[] = {
        {50, -25, 1, 1},   // over the text field
        {50, -125, 0, 1},  // over the hidden one: not in fill-in mode
        {500, -500, 0, 1}, // over no field
    };
    for (const Move& m : moves) {
        EXPECT_EQ(runner.OnMouseMove(nullptr, 0, m.x, m.y), m.taken) << m.x << "," << m.y;
        EXPECT_EQ(window.pointerCalls, m.pointerCalls) << m.x << "," << m.y;
    }
    EXPECT_EQ(window.cursor, DoxRunCursor::IBeam);
    DetachPageRunner(&runner);
    EXPECT_EQ(runner.OnMouseMove(nullptr, 0, 50, -25), 0);
}

TEST(RunnerPagePrint, BasePointAndOffsetMoveTheFields)
{
    // The base point becomes the paper's corner, then the offset moves the fields
    // right and down (0.1 mm).
    struct Case {
        POINT basePoint;
        int x, y;
        double xMm, yMm;
    } cases[] = {
        {{0, 0}, 0, 0, 120.0, 50.0},
        {{100, -50}, 0, 0, 110.0, 45.0},
        {{100, -50}, 30, 20, 113.0, 47.0},
    };
    for (const Case& c : cases) {
        TestPage page;
        page.basePoint = c.basePoint;
        page.AddEdit({1200, -500, 1900, -560}, L"payee", L"文本");
        ASSERT_EQ(page.data.PrepareStore(nullptr, L"P"), 1);
        ASSERT_EQ(page.data.SetFieldText(L"主表.payee", 0, L"收款单位"), 1);
        DoxPageRunner runner;
        ASSERT_TRUE(runner.CreateTools(nullptr, nullptr, nullptr));
        ASSERT_EQ(AttachPageRunner(&page, &runner), 1);
        doxtest::TempDir dir;
        const QString pdf = QString::fromStdString((dir / "bill.pdf").string());
        {
            DoxPrinter job;
            job.SetOutputFile(pdf);
            ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"bill"));
            ASSERT_TRUE(job.StartPage());
            EXPECT_EQ(runner.Render(&job, c.x, c.y), 1);
            ASSERT_TRUE(job.EndPage());
            ASSERT_TRUE(job.EndDoc(true));
        }
        DetachPageRunner(&runner);
        const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
        ASSERT_EQ(words.size(), 1u);
        EXPECT_NEAR(words[0].xMin, c.xMm, 0.2)
            << c.basePoint.x << "," << c.basePoint.y << " +" << c.x << "," << c.y;
        EXPECT_NEAR(words[0].yMin, c.yMm, 0.2)
            << c.basePoint.x << "," << c.basePoint.y << " +" << c.x << "," << c.y;
    }
}
