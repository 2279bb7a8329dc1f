// Every control kind a template can hold, through the same steps: made by its kind
// id, written to XML and read back into the same XML, drawn in design and in fill-in
// mode into an image, and printed into a PDF, where its ink lies in its rectangle.

#include <gtest/gtest.h>

#include <QImage>

#include <tinyxml2.h>

#include <functional>
#include <optional>
#include <string>

#include "ControlTestSupport.h"
#include "DataCell.h"
#include "DataField.h"
#include "DoxCheckControl.h"
#include "DoxControlKinds.h"
#include "DoxEditControl.h"
#include "DoxLineControl.h"
#include "DoxPrinter.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "DoxTableControl.h"
#include "PdfWords.h"
#include "Printers.h"
#include "TestSupport.h"

using namespace controltest;

namespace
{

// Every control sits at 30-130 mm across and 20-50 mm down the paper.
constexpr RECT kRect{300, -200, 1300, -500};

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

// The box around every pixel darker than the threshold.
Box InkBox(const QImage& image, int threshold)
{
    Box box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < threshold) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

// Pictures at 254 dpi: one pixel is 0.1 mm, so pixel (x, y) is the point (x, -y).
constexpr int kImageWidth = 1600;
constexpr int kImageHeight = 700;

// The box lies in the control's rectangle, give or take slack (0.1 mm).
void ExpectInsideRect(const Box& box, int slack, const char* what)
{
    ASSERT_FALSE(box.Empty()) << what << ": nothing drawn";
    EXPECT_GE(box.left, kRect.left - slack) << what;
    EXPECT_GE(box.top, -kRect.top - slack) << what;
    EXPECT_LE(box.right, kRect.right + slack) << what;
    EXPECT_LE(box.bottom, -kRect.bottom + slack) << what;
}

std::string XmlOf(DoxControl* control)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("dox:layer");
    doc.InsertEndChild(root);
    if (control->SaveXml(root) != 1)
        return {};
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

void StoreBound(DoxControl* control, const wchar_t* text)
{
    std::wstring message;
    ASSERT_NE(control->GetBinding(), nullptr);
    control->GetBinding()->GetCell(0)->SetText(text, &message);
}

struct KindCase {
    int32_t kind;
    const char* typeName;
    // Gives the new control something to show (columns, rows, a style).
    std::function<void(DoxControl*)> shape;
    // Gives it a value once the bill rows exist and fill-in has begun.
    std::function<void(DoxControl*)> fill;
    // The pointer it asks for while fill-in runs; none for the kinds without input.
    std::optional<DoxRunCursor> pointer = std::nullopt;
};

const KindCase kKinds[] = {
    {DoxKindEdit, "editcontrol", nullptr, [](DoxControl* c) { StoreBound(c, L"Amount"); },
     DoxRunCursor::IBeam},
    {DoxKindRichEdit, "richeditcontrol",
     [](DoxControl* c) {
         auto* rich = static_cast<DoxRichEditControl*>(c);
         ASSERT_TRUE(rich->Columns().AddElement());
         ASSERT_TRUE(rich->Columns().AddElement());
     },
     [](DoxControl* c) { StoreBound(c, L"Twice"); }, DoxRunCursor::IBeam},
    {DoxKindLabel, "labelcontrol", nullptr, nullptr},
    {DoxKindRichLabel, "richlabelcontrol",
     [](DoxControl* c) {
         auto* rich = static_cast<DoxRichLabelControl*>(c);
         ASSERT_TRUE(rich->Columns().AddElement());
         ASSERT_TRUE(rich->Columns().AddElement());
         ASSERT_TRUE(rich->Column(0)->Text().SetValueText(L"Payer"));
         ASSERT_TRUE(rich->Column(1)->Text().SetValueText(L"Payee"));
     },
     nullptr},
    {DoxKindCheck, "checkcontrol",
     [](DoxControl* c) {
         ASSERT_TRUE(static_cast<DoxCheckControl*>(c)->CheckValue().Param().SetValueText(L"Y"));
     },
     [](DoxControl* c) { StoreBound(c, L"Y"); }, DoxRunCursor::Arrow},
    {DoxKindTable, "tablecontrol",
     [](DoxControl* c) {
         auto* table = static_cast<DoxTableControl*>(c);
         for (int i = 0; i < 2; ++i) {
             ASSERT_TRUE(table->Columns().AddElement());
             ASSERT_TRUE(table->Rows().AddElement());
         }
     },
     [](DoxControl* c) {
         std::wstring text = L"Cell", error;
         ASSERT_TRUE(
             static_cast<DoxTableControl*>(c)->Cells().CellAt(3)->ExchangeValue(nullptr, text, true, error));
     },
     DoxRunCursor::IBeam},
    {DoxKindFrame, "framecontrol", nullptr, nullptr},
    {DoxKindLine, "linecontrol",
     [](DoxControl* c) { ASSERT_TRUE(static_cast<DoxLineControl*>(c)->Style().SetValueText(L"前对角")); },
     nullptr},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const KindCase& c, std::ostream* out)
{
    *out << c.typeName;
}

class AllKinds : public ::testing::TestWithParam<KindCase>
{
protected:
    void SetUp() override
    {
        RECT rect = kRect;
        control_ = CreateControlByKind(GetParam().kind, &layer_, &rect);
        ASSERT_NE(control_, nullptr);
        if (GetParam().shape)
            GetParam().shape(control_);
    }
    void TearDown() override { Drop(control_); }
    static void Drop(DoxControl* control)
    {
        if (!control)
            return;
        control->SetParentLayer(nullptr);
        control->Release();
    }
    // Bill rows laid out, fill-in begun, the value given.
    void Run()
    {
        ASSERT_TRUE(layer_.page.PrepareStore(nullptr, L"P"));
        ASSERT_TRUE(control_->BeginRun());
        running_ = true;
        if (GetParam().fill)
            GetParam().fill(control_);
    }
    void EndRun()
    {
        if (running_)
            control_->EndRun();
        running_ = false;
    }

    FakeLayer layer_;
    DoxControl* control_ = nullptr;
    bool running_ = false;
};

} // namespace

TEST_P(AllKinds, MadeByKindIdAndReadBackFromItsXml)
{
    EXPECT_EQ(control_->GetKindId(), GetParam().kind);
    const std::string xml = XmlOf(control_);
    ASSERT_NE(xml.find(GetParam().typeName), std::string::npos) << xml;

    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* element = doc.FirstChildElement()->FirstChildElement();
    ASSERT_NE(element, nullptr);
    DoxControl* loaded = CreateControlFromXml(&layer_, element);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetKindId(), GetParam().kind);
    EXPECT_EQ(XmlOf(loaded), xml);
    Drop(loaded);
}

TEST_P(AllKinds, DrawsInItsRectangleInDesignAndFillIn)
{
    QImage design = PageImage(kImageWidth, kImageHeight);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&design));
        dc.SetMapMode(2);
        control_->DrawDesignBackground(dc);
        control_->DrawDesign(static_cast<DC&>(dc));
    }
    ExpectInsideRect(InkBox(design, 250), 2, "design");

    Run();
    QImage run = PageImage(kImageWidth, kImageHeight);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&run));
        dc.SetMapMode(2);
        control_->DrawTransparent(dc);
    }
    EndRun();
    ExpectInsideRect(InkBox(run, 250), 2, "fill-in");
}

TEST_P(AllKinds, AsksForItsPointerOnlyWhileFillInRuns)
{
    FakeRunner runner;
    control_->SetPageRunner(&runner);
    control_->SetRunCursor();
    EXPECT_EQ(runner.cursorCalls, 0);

    Run();
    control_->SetRunCursor();
    const std::optional<DoxRunCursor> pointer = GetParam().pointer;
    EXPECT_EQ(runner.cursorCalls, pointer ? 1 : 0);
    if (pointer) {
        EXPECT_EQ(runner.cursor, *pointer);
    }

    EndRun();
    runner.cursorCalls = 0;
    control_->SetRunCursor();
    EXPECT_EQ(runner.cursorCalls, 0);
    control_->SetPageRunner(nullptr);
}

TEST_P(AllKinds, PrintsInItsRectangleWhereThePictureShowsIt)
{
    Run();
    // The same output drawn into a picture, as page pictures are made.
    QImage picture = PageImage(kImageWidth, kImageHeight);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&picture));
        dc.SetMapMode(2);
        control_->DrawContent(dc, 0, 0, true);
    }
    doxtest::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "kind.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"kind"));
        ASSERT_TRUE(job.StartPage());
        job.SetMapMode(2);
        control_->DrawContent(job, 0, 0, true);
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    EndRun();

    // 254 dpi again: one pixel of the rendered page is 0.1 mm of paper.
    const QString png = QString::fromStdString((dir / "kind").string());
    const QImage page = pdftest::RenderPage(pdf, png);
    ASSERT_FALSE(page.isNull());
    // Half a millimetre of slack for a pen's width and the text's antialiasing.
    const Box printed = InkBox(page, 160);
    ExpectInsideRect(printed, 5, "printed");
    // Paper and picture come from one renderer: the ink starts and ends at the same
    // places on both.
    const Box drawn = InkBox(picture, 160);
    ASSERT_FALSE(drawn.Empty());
    EXPECT_NEAR(printed.left, drawn.left, 5);
    EXPECT_NEAR(printed.top, drawn.top, 5);
    EXPECT_NEAR(printed.right, drawn.right, 5);
    EXPECT_NEAR(printed.bottom, drawn.bottom, 5);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AllKinds, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<KindCase>& info) {
                             std::string name = info.param.typeName;
                             return name;
                         });
