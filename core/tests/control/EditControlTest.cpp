#include <gtest/gtest.h>

#include <algorithm>

#include <QColor>
#include <QImage>

#include <tinyxml2.h>

#include "ControlTestSupport.h"
#include "DataCell.h"
#include "DataField.h"
#include "DoxControlKinds.h"
#include "DoxEditControl.h"
#include "DoxSplitLayout.h"

using namespace controltest;

namespace
{
struct EditFixture : KindFixture<DoxEditControl> {
    DoxEditControl*& edit = control;

    explicit EditFixture(RECT rect = {0, 0, 1000, -100}) : KindFixture(DoxKindEdit, rect)
    {
        // Rows of the bill data are laid out once its fields are known.
        layer.page.PrepareStore(nullptr, L"P");
    }
    DataField* Field() { return edit->GetBinding(); }
};
} // namespace

TEST(SplitLayout, BoxSizesAndCorrections)
{
    struct Case {
        int span, count, size, k, e;
        std::vector<int> lines; // grid lines from the first edge
    } cases[] = {
        {100, 8, 13, 2, -1, {13, 25, 38, 50, 63, 75, 88}},
        {1000, 8, 125, 0, 0, {125, 250, 375, 500, 625, 750, 875}},
        {-1000, 4, 250, 0, 0, {250, 500, 750}},
        {100, 3, 33, 3, 1, {33, 66}},
        // A damaged count: one box.
        {100, 0, 100, 0, 0, {}},
    };
    for (const Case& c : cases) {
        const DoxSplitCells cells = DoxSplitCells::Of(c.span, c.count);
        EXPECT_EQ(cells.size, c.size) << c.span << "/" << c.count;
        EXPECT_EQ(cells.k, c.k) << c.span << "/" << c.count;
        EXPECT_EQ(cells.e, c.e) << c.span << "/" << c.count;
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(cells.Boundary(static_cast<int>(i) + 1), c.lines[i])
                << c.span << "/" << c.count << " " << i;
    }
}

TEST(SplitLayout, EachDigitSitsInItsBox)
{
    // Width 100, 8 boxes: the boxes between the grid lines, a character in each.
    DoxEditSplitAttribute split;
    ASSERT_TRUE(split.ColumnItem().SetValueText(L"8"));
    RecordingDC dc;
    const RECT rect{0, 0, 100, -20};
    split.DrawSplitText(dc, L"12345678", rect, 0);
    const int edges[] = {0, 13, 25, 38, 50, 63, 75, 88, 100};
    ASSERT_EQ(dc.drawn.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(dc.drawn[i].rect.left, edges[i]) << i;
        EXPECT_EQ(dc.drawn[i].rect.right, edges[i + 1]) << i;
    }
}

TEST(SplitLayout, RowLayoutsFillTheRightBoxes)
{
    struct Case {
        const wchar_t* layout;
        const wchar_t* text;
        std::vector<std::pair<wchar_t, int>> boxes; // character, box index from 0
    } cases[] = {
        {L"右端", L"123", {{L'3', 9}, {L'2', 8}, {L'1', 7}}},
        {L"左端", L"123", {{L'1', 0}, {L'2', 1}, {L'3', 2}}},
        // CR LF takes one box that draws nothing.
        {L"左端", L"12\r\n3", {{L'1', 0}, {L'2', 1}, {L'3', 3}}},
        {L"左端", L"1\n\r2", {{L'1', 0}, {L'2', 2}}},
    };
    for (const Case& c : cases) {
        DoxEditSplitAttribute split;
        ASSERT_TRUE(split.ColumnItem().SetValueText(L"10"));
        ASSERT_TRUE(split.Style().SetValueText(c.layout));
        RecordingDC dc;
        split.DrawSplitText(dc, c.text, RECT{0, 0, 1000, -50}, 0);
        ASSERT_EQ(dc.drawn.size(), c.boxes.size()) << c.layout;
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(dc.drawn[i].text, std::wstring(1, c.boxes[i].first));
            EXPECT_EQ(dc.drawn[i].rect.left, c.boxes[i].second * 100) << c.layout << " " << i;
        }
    }
}

TEST(SplitLayout, StyleAndLimitFollowTheSplit)
{
    struct Case {
        const wchar_t* columns;
        const wchar_t* rows;
        const wchar_t* styleCaption;
        uint32_t styleType;
        const wchar_t* limitValue;
    } cases[] = {
        {L"1", L"1", L"自动换行", DOX_ATTRIB_KIND_CHOICE, L"<NONE>"},
        {L"5", L"1", L"布局", DOX_ATTRIB_KIND_CHOICE, L"是"},
        {L"1", L"3", L"<无>", 0x10002, L"<NONE>"},
        {L"10", L"2", L"布局", DOX_ATTRIB_KIND_CHOICE, L"<NONE>"},
    };
    for (const Case& c : cases) {
        DoxEditSplitAttributeEx split;
        ASSERT_TRUE(split.ColumnItem().SetValueText(c.columns));
        ASSERT_TRUE(split.RowItem().SetValueText(c.rows));
        EXPECT_STREQ(split.Style().GetCaption(), c.styleCaption) << c.columns << "x" << c.rows;
        EXPECT_EQ(split.Style().GetType() & 0xFFFFF, c.styleType) << c.columns << "x" << c.rows;
        EXPECT_STREQ(split.Limit().GetValueText(), c.limitValue) << c.columns << "x" << c.rows;
    }
    DoxEditSplitAttributeEx split;
    EXPECT_FALSE(split.ColumnItem().SetValueText(L"0"));
    EXPECT_FALSE(split.RowItem().SetValueText(L"31"));
    EXPECT_EQ(split.Columns(), 1);
}

TEST(FontAttribute, LogFontFromItems)
{
    DoxFontAttribute font;
    LOGFONTW lf;
    font.BuildLogFont(lf, 2);
    EXPECT_EQ(lf.lfHeight, -35);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"宋体");
    EXPECT_EQ(lf.lfCharSet, 1);
    EXPECT_EQ(lf.lfClipPrecision, 0x10);

    ASSERT_TRUE(font.Size().SetValueText(L"20"));
    ASSERT_TRUE(font.Bold().SetValueText(L"是"));
    ASSERT_TRUE(font.Italic().SetValueText(L"是"));
    font.FaceName().Store(std::wstring(40, L'x'));
    font.BuildLogFont(lf, 2);
    EXPECT_EQ(lf.lfHeight, -71);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 0);
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(31, L'x'));

    // Sizes from 0 to 99 points; others are refused and the size stays.
    struct Size {
        const wchar_t* text;
        bool taken;
        int32_t after;
    } sizes[] = {{L"99", true, 99}, {L"0", true, 0}, {L"100", false, 0}, {L"-1", false, 0}};
    for (const Size& s : sizes) {
        EXPECT_EQ(font.Size().SetValueText(s.text), s.taken) << s.text;
        EXPECT_EQ(font.Size().GetValue(), s.after) << s.text;
    }
}

TEST(EditFormat, BoundAndPadding)
{
    struct Case {
        const wchar_t* bound;
        const wchar_t* fill;
        const wchar_t* complement;
        const wchar_t* value;
        const wchar_t* expected;
    } cases[] = {
        {L"8", L"0", L"前补", L"123", L"00000123"}, {L"8", L"0", L"后补", L"123", L"12300000"},
        {L"8", L"0", L"", L"123", L"12300000"},     {L"2", L"0", L"前补", L"123", L"12"},
        {L"0", L"0", L"前补", L"123", L"123"},      {L"8", L"", L"前补", L"123", L"123"},
        {L"3", L"*", L"前补", L"123", L"123"},
    };
    for (const Case& c : cases) {
        DoxFormatAttribute format;
        ASSERT_TRUE(format.Bound().SetValueText(c.bound));
        ASSERT_TRUE(format.CompParam().SetValueText(c.fill));
        ASSERT_TRUE(format.Complement().SetValueText(c.complement));
        EXPECT_EQ(format.BoundAndPad(c.value), c.expected) << c.bound << c.fill << c.complement;
    }
    DoxFormatAttribute format;
    EXPECT_FALSE(format.Complement().SetValueText(L"中间"));
    EXPECT_STREQ(format.Complement().GetErrorText(), L"无效数据");
    ASSERT_TRUE(format.Prefix().SetValueText(L"<"));
    ASSERT_TRUE(format.Suffix().SetValueText(L">"));
    EXPECT_EQ(format.ContentText(L""), L"");
    EXPECT_EQ(format.ContentText(L"7"), L"<7>");
}

// A length rule pads every drawn text up to the bound: a huge bound, typed or from a
// damaged template, must not make each draw build a text of billions of characters.
TEST(EditFormat, BoundHasALimit)
{
    DoxFormatAttribute format;
    EXPECT_TRUE(format.Bound().SetValueText(L"9999"));
    EXPECT_FALSE(format.Bound().SetValueText(L"10000"));
    EXPECT_STREQ(format.Bound().GetErrorText(), L"超出有效范围");
    EXPECT_EQ(format.Bound().GetUValue(), 9999u);

    for (const char* stored : {"4294967295", "-1", "99999999999"}) {
        tinyxml2::XMLDocument doc;
        const std::string xml =
            std::string("<dox:attrib id=\"format\"><dox:attribitem id=\"bound\" value=\"") + stored +
            "\"/><dox:attribitem id=\"comp_param\" value=\"0\"/></dox:attrib>";
        ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
        DoxFormatAttribute loaded;
        ASSERT_TRUE(loaded.LoadXml(doc.RootElement())) << stored;
        EXPECT_EQ(loaded.Bound().GetUValue(), 9999u) << stored;
        EXPECT_EQ(loaded.BoundAndPad(L"1").size(), 9999u) << stored;
    }
}

TEST(EditControl, EditorStyleFollowsFieldType)
{
    struct Case {
        uint32_t type;
        uint32_t style;
    } cases[] = {{0, 0x10000000}, {1, 0x10000000}, {2, 0x10000001}, {3, 0x10000003}};
    for (const Case& c : cases) {
        EditFixture f;
        ASSERT_NE(f.edit, nullptr);
        f.Field()->SetType(c.type);
        FakeEditorHost host;
        EXPECT_EQ(f.edit->ExchangeEditor(&host, 0), 1);
        EXPECT_EQ(host.style, c.style) << c.type;
        // "fieldlength" 0: no limit.
        EXPECT_EQ(host.maxLength, -1);
    }
}

TEST(EditControl, EditorMultiLineFollowsSplit)
{
    struct Case {
        const wchar_t* columns;
        const wchar_t* rows;
        const wchar_t* wrap;
        bool multiLine;
    } cases[] = {
        {L"1", L"1", L"是", true},
        {L"1", L"1", L"否", false},
        {L"1", L"3", nullptr, true},
        {L"10", L"1", nullptr, false},
    };
    for (const Case& c : cases) {
        EditFixture f;
        ASSERT_NE(f.edit, nullptr);
        ASSERT_TRUE(f.edit->Split().ColumnItem().SetValueText(c.columns));
        ASSERT_TRUE(f.edit->Split().RowItem().SetValueText(c.rows));
        if (c.wrap) {
            ASSERT_TRUE(f.edit->Split().Style().SetValueText(c.wrap));
        }
        FakeEditorHost host;
        f.edit->ExchangeEditor(&host, 0);
        EXPECT_EQ(host.multiLine, c.multiLine) << c.columns << "x" << c.rows;
    }
}

TEST(EditControl, NotEditableOpensNoEditor)
{
    EditFixture f;
    ASSERT_TRUE(f.edit->Editable().SetValueText(L"否"));
    FakeEditorHost host;
    EXPECT_EQ(f.edit->ExchangeEditor(&host, 0), 0);
    EXPECT_EQ(host.opened, 0);
}

TEST(EditControl, RefusedEntryStaysAndIsReported)
{
    EditFixture f;
    f.Field()->SetType(1);
    FakeRunner runner;
    f.edit->SetPageRunner(&runner);
    FakeEditorHost host;
    host.style = DoxEditorHost::TextEditor;
    host.text = L"abc";
    EXPECT_EQ(f.edit->ExchangeEditor(&host, 1), 0);
    EXPECT_FALSE(runner.tip.empty());
    EXPECT_EQ(host.text, L"abc");
    EXPECT_FALSE(f.Field()->GetCell(0)->HasValue());

    host.text = L"12.5";
    EXPECT_EQ(f.edit->ExchangeEditor(&host, 1), 1);
    EXPECT_TRUE(runner.tip.empty());
    EXPECT_TRUE(f.Field()->GetCell(0)->HasValue());
    f.edit->SetPageRunner(nullptr);
}

// Emptying the field in the editor clears the value: the data layer answers "no
// value" without a message, which is no refusal. The editor closes, no balloon
// stays, and the control shows nothing.
TEST(TextEditors, EmptiedEntryClearsTheFieldAndClosesTheEditor)
{
    for (const int32_t kind : {DoxKindEdit, DoxKindRichEdit}) {
        FakeLayer layer;
        RECT rect{0, 0, 1000, -100};
        auto* control = static_cast<DoxControlEx*>(CreateControlByKind(kind, &layer, &rect));
        ASSERT_NE(control, nullptr) << kind;
        ASSERT_TRUE(control->DataAttribute().FieldType().SetValueText(L"数值"));
        if (auto* columns = dynamic_cast<DoxControlGridSet*>(control->GetColSet())) {
            ASSERT_TRUE(columns->AddElement());
        }
        layer.page.PrepareStore(nullptr, L"P");
        FakeRunner runner;
        control->SetPageRunner(&runner);
        control->BeginRun();

        FakeEditorHost host;
        ASSERT_EQ(control->ExchangeEditor(&host, 0), 1);
        host.text = L"12.5";
        ASSERT_EQ(control->ExchangeEditor(&host, 1), 1) << kind;
        ASSERT_TRUE(control->GetBinding()->GetCell(0)->HasValue());
        RecordingDC filled;
        control->DrawContent(filled, 0, 0, false);
        EXPECT_FALSE(filled.drawn.empty()) << kind;

        ASSERT_EQ(control->ExchangeEditor(&host, 0), 1);
        EXPECT_EQ(host.text, L"12.5");
        runner.tip = L"old";
        host.text.clear();
        EXPECT_EQ(control->ExchangeEditor(&host, 1), 1) << kind;
        EXPECT_EQ(runner.tip, L"") << kind;
        EXPECT_FALSE(control->GetBinding()->GetCell(0)->HasValue()) << kind;
        RecordingDC emptied;
        control->DrawContent(emptied, 0, 0, false);
        EXPECT_TRUE(emptied.drawn.empty()) << kind;
        // The editor reopens empty; a wrong entry after it is still refused.
        ASSERT_EQ(control->ExchangeEditor(&host, 0), 1);
        EXPECT_EQ(host.text, L"");
        host.text = L"abc";
        EXPECT_EQ(control->ExchangeEditor(&host, 1), 0) << kind;
        EXPECT_FALSE(runner.tip.empty()) << kind;

        control->EndRun();
        control->SetPageRunner(nullptr);
        control->SetParentLayer(nullptr);
        control->Release();
    }
}

TEST(EditControl, HitRectMeasuresTheDrawnText)
{
    // Ten boxes of 10 mm, the digit limit off: the rectangle covers the boxes the
    // drawn text takes, padding and prefix included.
    struct Case {
        const wchar_t* layout;
        const wchar_t* prefix;
        const wchar_t* bound;
        int left, right;
    } cases[] = {
        {L"左端", L"", L"0", 0, 300},
        {L"左端", L"#", L"0", 0, 400},
        {L"左端", L"", L"6", 0, 600},
        {L"右端", L"", L"5", 500, 1000},
    };
    for (const Case& c : cases) {
        EditFixture f;
        f.Field()->SetType(0);
        ASSERT_TRUE(f.edit->Split().ColumnItem().SetValueText(L"10"));
        ASSERT_TRUE(f.edit->Split().Style().SetValueText(c.layout));
        ASSERT_TRUE(f.edit->Split().Limit().SetValueText(L"否"));
        ASSERT_TRUE(f.edit->Format().Prefix().SetValueText(c.prefix));
        ASSERT_TRUE(f.edit->Format().Bound().SetValueText(c.bound));
        ASSERT_TRUE(f.edit->Format().CompParam().SetValueText(L"0"));
        std::wstring message;
        ASSERT_TRUE(f.Field()->GetCell(0)->SetText(L"123", &message));
        f.edit->BeginRun();
        RECT rect;
        f.edit->GetRect(&rect);
        EXPECT_EQ(rect.left, c.left) << c.layout << c.prefix << c.bound;
        EXPECT_EQ(rect.right, c.right) << c.layout << c.prefix << c.bound;

        RecordingDC dc;
        f.edit->DrawContent(dc, 0, 0, true);
        ASSERT_FALSE(dc.drawn.empty());
        int left = dc.drawn.front().rect.left, right = dc.drawn.front().rect.right;
        for (const DrawnText& d : dc.drawn) {
            left = std::min(left, static_cast<int>(d.rect.left));
            right = std::max(right, static_cast<int>(d.rect.right));
        }
        EXPECT_EQ(left, c.left) << "boxes drawn";
        EXPECT_EQ(right, c.right) << "boxes drawn";
        f.edit->EndRun();
    }
}

TEST(EditControl, PrintingSkipsNotPrintableAndEmptyValues)
{
    EditFixture f;
    f.Field()->SetType(0);
    ASSERT_TRUE(f.edit->Format().Prefix().SetValueText(L"P"));
    f.edit->BeginRun();
    RecordingDC empty;
    f.edit->DrawContent(empty, 0, 0, true);
    EXPECT_TRUE(empty.drawn.empty());

    std::wstring message;
    ASSERT_TRUE(f.Field()->GetCell(0)->SetText(L"x", &message));
    RecordingDC shown;
    f.edit->DrawContent(shown, 0, 0, true);
    ASSERT_EQ(shown.drawn.size(), 1u);
    EXPECT_EQ(shown.drawn[0].text, L"Px");

    ASSERT_TRUE(f.edit->Printable().SetValueText(L"否"));
    RecordingDC printed;
    f.edit->DrawContent(printed, 0, 0, true);
    EXPECT_TRUE(printed.drawn.empty());
    f.edit->EndRun();
}

TEST(EditControl, ShownTextFollowsTheBoundFieldWhileRunning)
{
    EditFixture f;
    ASSERT_TRUE(f.edit->DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(f.edit->Format().Format().SetValueText(L"<中文大写金额>"));
    FakeRunner runner;
    f.edit->SetPageRunner(&runner);
    f.edit->BeginRun();
    EXPECT_EQ(f.edit->DrawnText(), L"");
    std::wstring message;
    ASSERT_TRUE(f.Field()->GetCell(0)->SetText(L"123", &message));
    EXPECT_EQ(f.edit->DrawnText(), L"壹佰贰拾叁元整");
    EXPECT_FALSE(runner.invalidated.empty());
    // Hidden: the value still follows, but nothing is invalidated.
    ASSERT_TRUE(f.edit->Visible().SetValueText(L"否"));
    runner.invalidated.clear();
    ASSERT_TRUE(f.Field()->GetCell(0)->SetText(L"5", &message));
    EXPECT_EQ(f.edit->DrawnText(), L"伍元整");
    EXPECT_TRUE(runner.invalidated.empty());
    f.edit->EndRun();
    EXPECT_EQ(f.edit->DrawnText(), L"");
    f.edit->SetPageRunner(nullptr);
}

TEST(EditControl, TransparencyBlendsTheBackgroundOnly)
{
    // Red background, 254 dpi so that one pixel is 0.1 mm: the green left inside
    // tells how much of the white page shows through.
    struct Case {
        const wchar_t* transparent;
        int minGreen, maxGreen;
    } cases[] = {{L"0", 0, 5}, {L"255", 250, 255}, {L"120", 60, 180}};
    for (const Case& c : cases) {
        EditFixture f(RECT{20, -20, 220, -120});
        ASSERT_TRUE(f.edit->BgColor().SetValueText(L"#00FF0000"));
        ASSERT_TRUE(f.edit->Transparent().SetValueText(c.transparent));
        QImage image = PageImage(300, 200);
        {
            DCX dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetMapMode(2);
            f.edit->DrawTransparent(dc);
        }
        const QColor inside = image.pixelColor(120, 70);
        EXPECT_GE(inside.red(), 250) << c.transparent;
        EXPECT_GE(inside.green(), c.minGreen) << c.transparent;
        EXPECT_LE(inside.green(), c.maxGreen) << c.transparent;
        // Outside the control nothing is drawn.
        EXPECT_EQ(image.pixelColor(290, 190), QColor(Qt::white)) << c.transparent;
    }
}

TEST(EditFormat, FormatAndFormulaFollowTheFieldType)
{
    EditFixture f;
    DoxFormatAttribute& format = f.edit->Format();
    DoxFormulaAttribute& formula = f.edit->FormulaAttr();
    auto paramReadOnly = [&] { return (format.FormatParam().GetType() & DOX_ATTRIB_READONLY) != 0; };
    ASSERT_TRUE(f.edit->DataAttribute().FieldType().SetValueText(L"数值"));

    // The parameter is open only while the chosen format reads it; leaving such a
    // format empties it.
    ASSERT_TRUE(format.Format().SetValueText(L"<中文大写金额>"));
    EXPECT_FALSE(paramReadOnly());
    ASSERT_TRUE(format.FormatParam().SetValueText(L"ABS"));
    ASSERT_TRUE(format.Format().SetValueText(L"<空白>"));
    EXPECT_TRUE(paramReadOnly());
    EXPECT_EQ(format.FormatParam().GetText(), L"");
    ASSERT_TRUE(format.Format().SetValueText(L"<中文大写金额>"));
    EXPECT_FALSE(paramReadOnly());
    EXPECT_EQ(format.FormatParam().GetText(), L"");
    EXPECT_FALSE(format.Format().SetValueText(L"<没有这种格式>"));
    EXPECT_STREQ(format.Format().GetErrorText(), L"无效数据");
    EXPECT_STREQ(format.Format().GetValueText(), L"<中文大写金额>");

    // A number condition has no date form; a condition for every type stays.
    struct Case {
        const wchar_t* function;
        const wchar_t* param;
        const wchar_t* functionAfter;
        const wchar_t* paramAfter;
    } cases[] = {
        {L">(X)", L"100", L"<无>", L""},
        {L"!=(X)", L"100", L"!=(X)", L"100"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(f.edit->DataAttribute().FieldType().SetValueText(L"数值"));
        ASSERT_TRUE(format.Format().SetValueText(L"<中文大写金额>"));
        ASSERT_TRUE(formula.Function().SetValueText(c.function));
        ASSERT_TRUE(formula.Param().SetValueText(c.param)) << c.function;
        ASSERT_TRUE(f.edit->DataAttribute().FieldType().SetValueText(L"日期"));
        EXPECT_EQ(format.GetFormatId(), 2u << 16) << c.function;
        EXPECT_EQ(formula.Function().GetText(), c.functionAfter);
        EXPECT_EQ(formula.Param().GetText(), c.paramAfter) << c.function;
    }
}

TEST(EditFormat, ConditionParameterIsCheckedByItsCondition)
{
    EditFixture f;
    DoxFormulaAttribute& formula = f.edit->FormulaAttr();
    ASSERT_TRUE(f.edit->DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(formula.Function().SetValueText(L">(X)"));
    ASSERT_TRUE(formula.Param().SetValueText(L"100"));
    // A text the condition cannot read is refused with its message; the old one stays.
    EXPECT_FALSE(formula.Param().SetValueText(L"abc"));
    EXPECT_STRNE(formula.Param().GetErrorText(), L"");
    EXPECT_EQ(formula.Param().GetText(), L"100");
    // A new condition that cannot read the parameter is taken; the parameter goes.
    ASSERT_TRUE(formula.Function().SetValueText(L"[X,Y]"));
    EXPECT_EQ(formula.Function().GetText(), L"[X,Y]");
    EXPECT_EQ(formula.Param().GetText(), L"");
}

TEST(EditControl, EditorOpensWithTheTipAndTheIBeamFollowsFillIn)
{
    EditFixture f;
    FakeRunner runner;
    f.edit->SetPageRunner(&runner);
    FakeEditorHost host;
    ASSERT_EQ(f.edit->ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(runner.tip, L"");
    ASSERT_TRUE(f.edit->Tip().SetValueText(L"请输入金额"));
    ASSERT_EQ(f.edit->ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(runner.tip, L"请输入金额");

    // The I-beam only between BeginRun and EndRun.
    f.edit->SetRunCursor();
    EXPECT_EQ(runner.cursor, DoxRunCursor::Arrow);
    f.edit->BeginRun();
    f.edit->SetRunCursor();
    EXPECT_EQ(runner.cursor, DoxRunCursor::IBeam);
    f.edit->EndRun();
    runner.cursor = DoxRunCursor::Arrow;
    f.edit->SetRunCursor();
    EXPECT_EQ(runner.cursor, DoxRunCursor::Arrow);
    f.edit->SetPageRunner(nullptr);
}

TEST(EditControl, BlendedBackgroundCoversTheWholeControl)
{
    // Ten boxes with the digit limit off: the field's rectangle shrinks to the
    // three boxes the value takes, but its background still fills every box, with
    // or without transparency.
    for (const wchar_t* transparent : {L"0", L"120"}) {
        EditFixture f(RECT{20, -20, 1020, -120});
        f.Field()->SetType(0);
        ASSERT_TRUE(f.edit->BgColor().SetValueText(L"#00FF0000"));
        ASSERT_TRUE(f.edit->Transparent().SetValueText(transparent));
        ASSERT_TRUE(f.edit->Split().ColumnItem().SetValueText(L"10"));
        ASSERT_TRUE(f.edit->Split().Limit().SetValueText(L"否"));
        std::wstring message;
        ASSERT_TRUE(f.Field()->GetCell(0)->SetText(L"123", &message));
        f.edit->BeginRun();
        RECT fitted;
        f.edit->GetRect(&fitted);
        ASSERT_EQ(fitted.right, 320);
        QImage image = PageImage(1100, 200);
        {
            DCX dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetMapMode(2);
            f.edit->DrawTransparent(dc);
        }
        // Box 9, far from the value.
        const QColor box9 = image.pixelColor(870, 70);
        EXPECT_GE(box9.red(), 250) << transparent;
        EXPECT_LE(box9.green(), 200) << transparent;
        f.edit->EndRun();
    }
}
