// The rich edit and rich label controls: made by kind id and from their XML,
// every attribute kept through a save and a load, drawn in design and fill-in
// mode, and the rich edit's one value shown once per column in each column's
// format.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <QColor>
#include <QImage>

#include "ControlTestSupport.h"
#include "DataCell.h"
#include "DataField.h"
#include "DoxControlKinds.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"

using namespace controltest;

namespace
{
template <class Control> struct RichFixture : KindFixture<Control> {
    explicit RichFixture(int32_t kind, RECT rect = {100, -100, 500, -200}) : KindFixture<Control>(kind, rect)
    {
        this->layer.page.PrepareStore(nullptr, L"P");
    }
};
using RichEditFixture = RichFixture<DoxRichEditControl>;
using RichLabelFixture = RichFixture<DoxRichLabelControl>;

// The control saved, made again from its element on the same layer, saved again.
DoxControl* Reload(FakeLayer& layer, DoxControl* control, std::string& first, std::string& second)
{
    first = SaveControl(control);
    DoxControl* copy = LoadControl(layer, first);
    if (copy)
        second = SaveControl(copy);
    return copy;
}
} // namespace

TEST(RichKinds, MadeByKindIdAndFromXml)
{
    struct Case {
        int32_t kind;
        const char* type;
        const wchar_t* name;
        std::vector<std::string> attributes;
        std::vector<std::string> baseItems;
        std::vector<std::string> columnAttributes;
        std::vector<std::string> columnBase;
    } cases[] = {
        {DoxKindRichEdit,
         "richeditcontrol",
         L"富文本控件",
         {"base", "font", "databind", "split"},
         {"x", "y", "cx", "cy", "order", "lock", "bgcolor", "fgcolor", "editable", "printable", "border",
          "transparent", "text"},
         {"base", "alignment", "split", "format", "formula"},
         {"cx"}},
        {DoxKindRichLabel,
         "richlabelcontrol",
         L"富标签控件",
         {"base", "font", "split"},
         {"x", "y", "cx", "cy", "order", "lock", "bgcolor", "fgcolor", "printable", "border"},
         {"base", "alignment", "split"},
         {"cx", "text"}},
    };
    for (const Case& c : cases) {
        FakeLayer layer;
        RECT rect{10, -50, 110, -80};
        DoxControl* control = CreateControlByKind(c.kind, &layer, &rect);
        ASSERT_NE(control, nullptr) << c.type;
        EXPECT_EQ(control->GetKindId(), c.kind);
        EXPECT_EQ(control->GetId(), c.type);
        EXPECT_STREQ(control->GetName(), c.name);
        EXPECT_EQ(control->Basic().GetWidth(), 100);
        EXPECT_EQ(control->HasSplit(), 1);
        EXPECT_EQ(Keys(*control), c.attributes) << c.type;
        EXPECT_EQ(ItemKeys(control->Basic()), c.baseItems) << c.type;
        auto* split =
            static_cast<DoxAttribute*>(control->GetAt(static_cast<int32_t>(c.attributes.size()) - 1));
        ASSERT_EQ(split->Items().size(), 1u);
        DoxAttribItem* columns = split->Items()[0];
        EXPECT_EQ(columns->GetKey(), "column");
        EXPECT_STREQ(columns->GetCaption(), L"列");
        EXPECT_EQ(columns->GetType() & DOX_ATTRIB_KIND_MASK, DOX_ATTRIB_KIND_COLLECTION);
        EXPECT_STREQ(split->GetCaption(), L"拆分");
        // A new control has no columns; the property grid adds them.
        EXPECT_EQ(columns->GetElementCount(), 0);
        ASSERT_TRUE(columns->AddElement());
        auto* column = static_cast<DoxControlGrid*>(columns->GetElement(0));
        EXPECT_STREQ(column->GetName(), L"列集合");
        EXPECT_EQ(Keys(*column), c.columnAttributes) << c.type;
        EXPECT_EQ(ItemKeys(column->Base()), c.columnBase) << c.type;
        EXPECT_EQ(column->GetSize(), 100);

        std::string first, second;
        DoxControl* copy = Reload(layer, control, first, second);
        ASSERT_NE(copy, nullptr) << c.type;
        EXPECT_EQ(copy->GetKindId(), c.kind);
        EXPECT_EQ(first, second) << c.type;
        layer.ReleaseAll();
        control->SetParentLayer(nullptr);
        control->Release();
    }
}

TEST(RichKinds, RegisteredInTheirFixedPlaces)
{
    std::vector<std::string> names;
    for (const DoxControlKindRecord* r = GetControlKinds(); r; r = r->next) {
        // The table kind joins on its own.
        if (std::string(r->typeName) != "tablecontrol")
            names.push_back(r->typeName);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"framecontrol", "linecontrol", "richlabelcontrol", "labelcontrol",
                                        "richeditcontrol", "editcontrol", "checkcontrol"}));
}

TEST(RichKinds, XmlKeepsEveryAttributeOfTheControlAndItsColumns)
{
    {
        RichEditFixture f(DoxKindRichEdit);
        DoxRichEditControl& e = *f.control;
        ASSERT_TRUE(e.BgColor().SetValueText(L"#00112233"));
        ASSERT_TRUE(e.FgColor().SetValueText(L"#00445566"));
        ASSERT_TRUE(e.Editable().SetValueText(L"否"));
        ASSERT_TRUE(e.Printable().SetValueText(L"否"));
        ASSERT_TRUE(e.Border().SetValueText(L"是"));
        ASSERT_TRUE(e.Transparent().SetValueText(L"60"));
        ASSERT_TRUE(e.Tip().SetValueText(L"请输入金额"));
        ASSERT_TRUE(e.Font().Size().SetValueText(L"20"));
        ASSERT_TRUE(e.Font().Bold().SetValueText(L"是"));
        ASSERT_TRUE(e.DataAttribute().FieldType().SetValueText(L"数值"));
        ASSERT_TRUE(e.Columns().AddElement());
        ASSERT_TRUE(e.Columns().AddElement());
        DoxRichEditCol* first = e.Column(0);
        ASSERT_TRUE(first->Base().SizeItem().SetValueText(L"12.5mm"));
        ASSERT_TRUE(first->Align().HAlignItem().SetValueText(L"右对齐"));
        ASSERT_TRUE(first->Align().VAlignItem().SetValueText(L"居中"));
        ASSERT_TRUE(first->Split().ColumnItem().SetValueText(L"6"));
        ASSERT_TRUE(first->Split().Style().SetValueText(L"右端"));
        ASSERT_TRUE(first->Format().Prefix().SetValueText(L"¥"));
        ASSERT_TRUE(e.Column(1)->Format().Format().SetValueText(L"<中文大写金额>"));

        std::string before, after;
        auto* copy = static_cast<DoxRichEditControl*>(Reload(f.layer, f.control, before, after));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(before, after);
        EXPECT_NE(before.find("<dox:attribset id=\"col\">"), std::string::npos);
        EXPECT_EQ(copy->Columns().Count(), 2);
        EXPECT_EQ(copy->Column(0)->GetSize(), 125);
        EXPECT_EQ(copy->Column(1)->GetSize(), 275);
        EXPECT_EQ(copy->Column(0)->Split().Columns(), 6);
        EXPECT_TRUE(copy->Column(0)->Split().FromRight());
        EXPECT_EQ(copy->Column(1)->Format().GetFormatId(), e.Column(1)->Format().GetFormatId());
        EXPECT_EQ(copy->Transparent().GetTransparency(), 60);
        EXPECT_EQ(copy->Cells().CellCount(), 2);
        f.layer.ReleaseAll();
    }
    {
        RichLabelFixture f(DoxKindRichLabel);
        DoxRichLabelControl& l = *f.control;
        ASSERT_TRUE(l.BgColor().SetValueText(L"#00FFEEDD"));
        ASSERT_TRUE(l.FgColor().SetValueText(L"#000000FF"));
        ASSERT_TRUE(l.Printable().SetValueText(L"否"));
        ASSERT_TRUE(l.Border().SetValueText(L"是"));
        ASSERT_TRUE(l.Font().Italic().SetValueText(L"是"));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(l.Columns().AddElement());
        ASSERT_TRUE(l.Column(1)->Text().SetValueText(L"收款人\\n名称"));
        ASSERT_TRUE(l.Column(2)->Align().HAlignItem().SetValueText(L"居中"));
        ASSERT_TRUE(l.Column(2)->Split().RowItem().SetValueText(L"2"));

        std::string before, after;
        auto* copy = static_cast<DoxRichLabelControl*>(Reload(f.layer, f.control, before, after));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(before, after);
        ASSERT_EQ(copy->Columns().Count(), 3);
        EXPECT_EQ(copy->Column(1)->Text().GetText(), L"收款人\\n名称");
        EXPECT_EQ(copy->Column(2)->Align().GetHAlign(), 1u);
        EXPECT_EQ(copy->Column(2)->Split().Rows(), 2);
        EXPECT_EQ(copy->BgColor().GetUValue(), 0xFFEEDDu);
        f.layer.ReleaseAll();
    }
}

TEST(RichEdit, EachColumnShowsTheOneValueInItsOwnFormat)
{
    RichEditFixture f(DoxKindRichEdit);
    DoxRichEditControl& e = *f.control;
    ASSERT_TRUE(e.DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(e.Columns().AddElement());
    ASSERT_TRUE(e.Columns().AddElement());
    ASSERT_TRUE(e.Column(0)->Format().Prefix().SetValueText(L"¥"));
    ASSERT_TRUE(e.Column(1)->Format().Format().SetValueText(L"<中文大写金额>"));
    FakeRunner runner;
    e.SetPageRunner(&runner);
    e.BeginRun();

    // Nothing entered: nothing drawn, not even the prefix.
    RecordingDC empty;
    e.DrawContent(empty, 0, 0, false);
    EXPECT_TRUE(empty.drawn.empty());

    // One entry through the control's editor.
    FakeEditorHost host;
    ASSERT_EQ(e.ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(host.style, DoxEditorHost::TextEditor);
    EXPECT_FALSE(host.multiLine);
    EXPECT_EQ(host.flags, static_cast<uint32_t>(DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(host.maxLength, -1);
    host.text = L"123";
    ASSERT_EQ(e.ExchangeEditor(&host, 1), 1);
    EXPECT_FALSE(runner.invalidated.empty());

    RecordingDC shown;
    e.DrawContent(shown, 0, 0, false);
    ASSERT_EQ(shown.drawn.size(), 2u);
    EXPECT_EQ(shown.drawn[0].text, L"¥123");
    EXPECT_EQ(shown.drawn[1].text, L"壹佰贰拾叁元整");
    // Each in its own column.
    EXPECT_EQ(shown.drawn[0].rect.left, 100);
    EXPECT_EQ(shown.drawn[0].rect.right, 300);
    EXPECT_EQ(shown.drawn[1].rect.left, 300);
    EXPECT_EQ(shown.drawn[1].rect.right, 500);

    // A shifted rendering moves every column alike.
    RecordingDC moved;
    e.DrawContent(moved, 100, -100, true);
    ASSERT_EQ(moved.drawn.size(), 2u);
    EXPECT_EQ(moved.drawn[1].rect.left, 200);
    EXPECT_EQ(moved.drawn[1].rect.top, 0);

    // The editor reopens with the stored text; a click takes the whole control.
    ASSERT_EQ(e.ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(host.text, L"123");
    EXPECT_TRUE(e.OnRunClick(nullptr, 0, 350, -150));
    EXPECT_EQ(runner.focus, static_cast<DoxControlBase*>(&e));

    e.EndRun();
    RecordingDC after;
    e.DrawContent(after, 0, 0, false);
    EXPECT_TRUE(after.drawn.empty());
    e.SetPageRunner(nullptr);
}

TEST(RichEdit, RefusedEntryShowsTheDataLayersMessage)
{
    RichEditFixture f(DoxKindRichEdit);
    DoxRichEditControl& e = *f.control;
    ASSERT_TRUE(e.DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(e.Columns().AddElement());
    FakeRunner runner;
    e.SetPageRunner(&runner);
    e.BeginRun();
    FakeEditorHost host;
    host.style = DoxEditorHost::TextEditor;
    host.text = L"abc";
    EXPECT_EQ(e.ExchangeEditor(&host, 1), 0);
    EXPECT_FALSE(runner.tip.empty());
    ASSERT_TRUE(e.Editable().SetValueText(L"否"));
    EXPECT_EQ(e.ExchangeEditor(&host, 0), 0);
    e.EndRun();
    e.SetPageRunner(nullptr);
}

TEST(RichEdit, WithoutColumnsOnlyThePlaceholderShows)
{
    RichEditFixture f(DoxKindRichEdit);
    DoxRichEditControl& e = *f.control;
    RecordingDC design;
    e.DrawDesign(static_cast<DC&>(design));
    ASSERT_EQ(design.drawn.size(), 1u);
    EXPECT_EQ(design.drawn[0].text, L"<请拆分控件>");

    e.BeginRun();
    FakeEditorHost host;
    host.style = DoxEditorHost::TextEditor;
    host.text = L"7";
    ASSERT_EQ(e.ExchangeEditor(&host, 1), 1);
    std::wstring stored;
    EXPECT_TRUE(e.GetBoundText(stored));
    EXPECT_EQ(stored, L"7");
    RecordingDC content;
    e.DrawContent(content, 0, 0, false);
    EXPECT_TRUE(content.drawn.empty());
    e.EndRun();
}

TEST(RichEdit, DesignShowsEachColumnsSampleAndLines)
{
    RichEditFixture f(DoxKindRichEdit, RECT{20, -20, 420, -120});
    DoxRichEditControl& e = *f.control;
    ASSERT_TRUE(e.DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(e.Columns().AddElement());
    ASSERT_TRUE(e.Columns().AddElement());
    ASSERT_TRUE(e.Column(1)->Format().Format().SetValueText(L"<中文大写金额>"));
    ASSERT_TRUE(e.Column(1)->Split().ColumnItem().SetValueText(L"4"));
    ASSERT_TRUE(e.Transparent().SetValueText(L"0"));

    RecordingDC design;
    e.DrawDesign(static_cast<DC&>(design));
    ASSERT_GE(design.drawn.size(), 2u);
    EXPECT_EQ(design.drawn[0].text, e.Column(0)->Format().DesignText());
    EXPECT_EQ(design.drawn[0].rect.right, 220);
    // Column 2 lays its sample one character per inner box.
    EXPECT_EQ(design.drawn[1].text, e.Column(1)->Format().DesignText().substr(0, 1));
    EXPECT_EQ(design.drawn[1].rect.left, 220);
    EXPECT_EQ(design.drawn[1].rect.right, 270);

    QImage image = PageImage(500, 200);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetMapMode(2);
        static_cast<GrabObjectCore*>(&e)->DrawDesign(&dc);
    }
    // The background colour 0xF0D9C6 fills the control, the dotted column line
    // stands at x 220 and each column shows its sample text.
    const QColor inside = image.pixelColor(25, 25);
    EXPECT_NEAR(inside.red(), 0xF0, 2);
    EXPECT_NEAR(inside.green(), 0xD9, 2);
    EXPECT_NEAR(inside.blue(), 0xC6, 2);
    EXPECT_TRUE(DarkIn(image, 219, 22, 222, 45));
    EXPECT_TRUE(DarkIn(image, 21, 21, 219, 119));
    EXPECT_TRUE(DarkIn(image, 222, 21, 419, 119));
    EXPECT_EQ(image.pixelColor(450, 150), QColor(Qt::white));

    // Fill-in mode draws no column lines.
    QImage run = PageImage(500, 200);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&run));
        dc.SetMapMode(2);
        e.DrawTransparent(dc);
    }
    EXPECT_FALSE(DarkIn(run, 219, 22, 222, 118));
}

TEST(RichLabel, ColumnsShowTheirCaptions)
{
    RichLabelFixture f(DoxKindRichLabel);
    DoxRichLabelControl& l = *f.control;
    EXPECT_FALSE(l.IsInput());
    EXPECT_FALSE(l.IsEditable());
    EXPECT_TRUE(l.IsVisible());
    EXPECT_EQ(l.GetTransparency(), 0);
    EXPECT_EQ(l.NextField(), nullptr);
    EXPECT_EQ(l.ExchangeEditor(nullptr, 0), 0);
    ASSERT_TRUE(l.Columns().AddElement());

    struct Case {
        const wchar_t* typed;
        const wchar_t* shown;
    } cases[] = {
        {nullptr, L"请输入文字"},
        {L"甲\\n乙", L"甲\n乙"},
        {L"C:\\temp", L"C:\\temp"},
    };
    for (const Case& c : cases) {
        if (c.typed) {
            ASSERT_TRUE(l.Column(0)->Text().SetValueText(c.typed));
        }
        EXPECT_EQ(l.Column(0)->DisplayText(), c.shown);
    }

    ASSERT_TRUE(l.Column(0)->Text().SetValueText(L"左"));
    ASSERT_TRUE(l.Columns().AddElement());
    ASSERT_TRUE(l.Column(1)->Text().SetValueText(L"右"));
    ASSERT_TRUE(l.Column(1)->Align().HAlignItem().SetValueText(L"右对齐"));
    struct Draw {
        bool printable, output;
        const wchar_t* drawn;
    } draws[] = {
        {true, false, L"左|右|"}, {true, true, L"左|右|"}, {false, false, L"左|右|"}, {false, true, L""}};
    for (const Draw& d : draws) {
        ASSERT_TRUE(l.Printable().SetValueText(d.printable ? L"是" : L"否"));
        RecordingDC dc;
        l.DrawContent(dc, 0, 0, d.output);
        std::wstring all;
        for (const DrawnText& t : dc.drawn)
            all += t.text + L"|";
        EXPECT_EQ(all, d.drawn) << d.printable << d.output;
    }
    RecordingDC design;
    l.DrawDesign(static_cast<DC&>(design));
    ASSERT_EQ(design.drawn.size(), 2u);
    EXPECT_EQ(design.drawn[1].rect.left, 300);
}

TEST(RichLabel, BackgroundAndBorder)
{
    struct Case {
        const wchar_t* bgcolor;
        bool border;
        QColor inside;
        bool edge;
    } cases[] = {
        {L"#FFFFFFFF", false, Qt::white, false},
        {L"#FFFFFFFF", true, Qt::white, true},
        {L"#0000FF00", false, QColor(0, 255, 0), false},
    };
    for (const Case& c : cases) {
        RichLabelFixture f(DoxKindRichLabel, RECT{20, -20, 220, -120});
        ASSERT_TRUE(f.control->BgColor().SetValueText(c.bgcolor));
        ASSERT_TRUE(f.control->Border().SetValueText(c.border ? L"是" : L"否"));
        QImage image = PageImage(300, 200);
        {
            DCX dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetMapMode(2);
            f.control->DrawBackground(dc);
        }
        EXPECT_EQ(image.pixelColor(120, 70), c.inside) << c.border;
        EXPECT_EQ(DarkIn(image, 18, 60, 23, 80) > 0, c.edge) << c.border;
    }
}

TEST(RichEdit, AColumnsConditionDecidesWhetherItShowsTheValue)
{
    RichEditFixture f(DoxKindRichEdit);
    DoxRichEditControl& e = *f.control;
    ASSERT_TRUE(e.DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(e.Columns().AddElement());
    ASSERT_TRUE(e.Columns().AddElement());
    // Column 1 shows only values below 100; column 0 always.
    ASSERT_TRUE(e.Column(1)->FormulaAttr().Function().SetValueText(L"<(X)"));
    ASSERT_TRUE(e.Column(1)->FormulaAttr().Param().SetValueText(L"100"));
    e.BeginRun();
    struct Case {
        const wchar_t* entered;
        const wchar_t* first;
        const wchar_t* second;
    } cases[] = {{L"50", L"50", L"50"}, {L"123", L"123", L""}};
    for (const Case& c : cases) {
        FakeEditorHost host;
        host.style = DoxEditorHost::TextEditor;
        host.text = c.entered;
        ASSERT_EQ(e.ExchangeEditor(&host, 1), 1);
        EXPECT_EQ(e.Cells().CellAt(0)->GetText(), c.first) << c.entered;
        EXPECT_EQ(e.Cells().CellAt(1)->GetText(), c.second) << c.entered;
    }
    e.EndRun();
    // The condition objects go with fill-in mode.
    EXPECT_EQ(e.Column(1)->FormulaAttr().GetFormula(), nullptr);
}
