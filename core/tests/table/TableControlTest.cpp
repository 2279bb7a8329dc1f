// The table control: made by kind id and from its XML, every attribute of the
// control, its columns and rows kept through a save and a load, drawn in design
// and fill-in mode, cells showing and taking the values of their rows, navigation
// over the cells that take input, and copies sharing the control's data table.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <QColor>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <QImage>

#include "ControlTestSupport.h"
#include "DataCell.h"
#include "DataField.h"
#include "DataTable.h"
#include "DoxAttribKinds.h"
#include "DoxControlKinds.h"
#include "DoxTableControl.h"

using namespace controltest;

namespace
{
struct TableFixture : KindFixture<DoxTableControl> {
    DoxTableControl*& table = control;

    explicit TableFixture(RECT rect = {100, -100, 700, -400}) : KindFixture(DoxKindTable, rect) {}
    // columns x rows, each column bound to field "f<column>" of the given type (or
    // every column to field "f").
    void Split(int columns, int rows, const wchar_t* type = L"文本", bool shared = false)
    {
        for (int c = 0; c < columns; ++c) {
            ASSERT_TRUE(table->Columns().AddElement());
            DoxTableCol* column = table->Column(c);
            const std::wstring name = shared ? std::wstring(L"f") : L"f" + std::to_wstring(c);
            ASSERT_TRUE(column->Data().FieldName().SetValueText(name.c_str()));
            ASSERT_TRUE(column->Data().FieldType().SetValueText(type));
            ASSERT_TRUE(column->Align().VAlignItem().SetValueText(L"顶部对齐"));
        }
        for (int r = 0; r < rows; ++r)
            ASSERT_TRUE(table->Rows().AddElement());
        // The rows of the data tables as the runner lays them out.
        ASSERT_TRUE(layer.page.PrepareStore(nullptr, L"P"));
    }
};

DoxTableControl* LoadTable(FakeLayer& layer, const std::string& xml)
{
    return static_cast<DoxTableControl*>(LoadControl(layer, xml));
}

void Drop(FakeLayer& layer, DoxControl* control)
{
    std::erase(layer.controls, control);
    control->SetParentLayer(nullptr);
    control->Release();
}

// Stores a text into a cell the way the fill-in window does: the editor opens
// over it, takes the text and closes.
int Enter(DoxControlCell* cell, const std::wstring& text)
{
    FakeEditorHost host;
    if (!cell->ExchangeEditor(&host, 0))
        return 0;
    host.text = text;
    return cell->ExchangeEditor(&host, 1);
}
} // namespace

TEST(TableKind, MadeByKindIdWithItsOwnTable)
{
    TableFixture f;
    DoxTableControl* t = f.table;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetKindId(), DoxKindTable);
    EXPECT_EQ(t->GetId(), "tablecontrol");
    EXPECT_STREQ(t->GetName(), L"表格控件");
    EXPECT_EQ(Keys(*t), (std::vector<std::string>{"base", "datatable", "split"}));
    EXPECT_EQ(ItemKeys(t->Basic()),
              (std::vector<std::string>{"x", "y", "cx", "cy", "order", "lock", "bgcolor", "fgcolor", "border",
                                        "transparent"}));
    EXPECT_EQ(t->BgColor().GetUValue(), 0x00DDF1EBu);
    EXPECT_EQ(t->Border().GetValue(), 0);
    EXPECT_STREQ(t->Split().GetCaption(), L"拆分");
    EXPECT_EQ(t->Split().GetKindId(), DoxAttribKindId::TableSplit);
    ASSERT_EQ(ItemKeys(t->Split()), (std::vector<std::string>{"column", "row"}));
    EXPECT_STREQ(t->Split().Items()[1]->GetCaption(), L"行");
    EXPECT_EQ(t->HasSplit(), 1);
    EXPECT_TRUE(t->IsInput());
    EXPECT_TRUE(t->IsEditable());

    // A new table gets a new data table of the page, named by the page's default.
    ASSERT_NE(t->GetTable(), nullptr);
    EXPECT_EQ(t->GetDataContext(), static_cast<DataContainer*>(t->GetTable()));
    EXPECT_EQ(f.layer.page.Tables().size(), 1u);
    EXPECT_EQ(t->TableAttribute().TableName().GetText(), t->GetTable()->GetName());
    EXPECT_FALSE(t->GetTable()->GetName().empty());

    // Columns carry what an edit control carries; rows only their height.
    ASSERT_TRUE(t->Columns().AddElement());
    ASSERT_TRUE(t->Rows().AddElement());
    DoxTableCol* column = t->Column(0);
    EXPECT_EQ(Keys(*column), (std::vector<std::string>{"base", "font", "alignment", "split", "databind",
                                                       "format", "formula"}));
    EXPECT_EQ(ItemKeys(column->Base()), (std::vector<std::string>{"cx", "editable", "text"}));
    EXPECT_STREQ(column->Split().GetCaption(), L"布局");
    EXPECT_EQ(column->Editable().GetValue(), 1);
    auto* row = static_cast<DoxControlGrid*>(t->Rows().GetElement(0));
    EXPECT_EQ(Keys(*row), (std::vector<std::string>{"base"}));
    // The column's field lives in the control's table, not in the main table.
    ASSERT_NE(column->Data().GetField(), nullptr);
    EXPECT_EQ(column->Data().GetField()->GetContainer(), static_cast<DataContainer*>(t->GetTable()));

    // A page that gives no table refuses the control.
    RECT rect{0, 0, 100, -100};
    EXPECT_EQ(CreateControlByKind(DoxKindTable, nullptr, &rect), nullptr);
}

TEST(TableKind, RegisteredInItsFixedPlace)
{
    std::vector<std::string> names;
    for (const DoxControlKindRecord* r = GetControlKinds(); r; r = r->next)
        names.push_back(r->typeName);
    EXPECT_EQ(names,
              (std::vector<std::string>{"framecontrol", "tablecontrol", "linecontrol", "richlabelcontrol",
                                        "labelcontrol", "richeditcontrol", "editcontrol", "checkcontrol"}));
}

TEST(TableKind, XmlKeepsEveryAttributeOfTheControlItsColumnsAndRows)
{
    TableFixture f;
    DoxTableControl& t = *f.table;
    ASSERT_TRUE(t.BgColor().SetValueText(L"#00112233"));
    ASSERT_TRUE(t.FgColor().SetValueText(L"#00445566"));
    ASSERT_TRUE(t.Border().SetValueText(L"是"));
    ASSERT_TRUE(t.Transparent().SetValueText(L"60"));
    ASSERT_TRUE(t.TableAttribute().TableName().SetValueText(L"明细"));
    f.Split(2, 3, L"数值");
    DoxTableCol* first = t.Column(0);
    ASSERT_TRUE(first->Base().SizeItem().SetValueText(L"25mm"));
    ASSERT_TRUE(first->Editable().SetValueText(L"否"));
    ASSERT_TRUE(first->Tip().SetValueText(L"请输入\\n金额"));
    ASSERT_TRUE(first->Font().Size().SetValueText(L"20"));
    ASSERT_TRUE(first->Font().Bold().SetValueText(L"是"));
    ASSERT_TRUE(first->Align().HAlignItem().SetValueText(L"右对齐"));
    ASSERT_TRUE(first->Split().ColumnItem().SetValueText(L"6"));
    ASSERT_TRUE(first->Split().Style().SetValueText(L"右端"));
    ASSERT_TRUE(first->Data().FieldLength().SetValueText(L"12"));
    ASSERT_TRUE(first->Format().Prefix().SetValueText(L"¥"));
    DoxTableCol* second = t.Column(1);
    ASSERT_TRUE(second->Format().Format().SetValueText(L"<中文大写金额>"));
    ASSERT_TRUE(second->Split().RowItem().SetValueText(L"2"));
    auto* row = static_cast<DoxControlGrid*>(t.Rows().GetElement(0));
    ASSERT_TRUE(row->Base().SizeItem().SetValueText(L"5mm"));

    const std::string before = SaveControl(&t);
    EXPECT_NE(before.find("<dox:attribset id=\"col\">"), std::string::npos);
    EXPECT_NE(before.find("<dox:attribset id=\"row\">"), std::string::npos);
    EXPECT_NE(before.find("明细"), std::string::npos);
    DoxTableControl* copy = LoadTable(f.layer, before);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(SaveControl(copy), before);

    // The loaded control finds the table by its name instead of making one.
    EXPECT_EQ(copy->GetTable(), t.GetTable());
    EXPECT_EQ(f.layer.page.Tables().size(), 1u);
    EXPECT_EQ(copy->Column(0)->Data().GetField(), first->Data().GetField());
    ASSERT_EQ(copy->Columns().Count(), 2);
    ASSERT_EQ(copy->Rows().Count(), 3);
    EXPECT_EQ(copy->Cells().CellCount(), 6);
    EXPECT_EQ(copy->Column(0)->GetSize(), 250);
    EXPECT_EQ(copy->Column(1)->GetSize(), 350);
    EXPECT_EQ(static_cast<DoxControlGrid*>(copy->Rows().GetElement(0))->GetSize(), 50);
    EXPECT_EQ(copy->Column(0)->Editable().GetValue(), 0);
    EXPECT_EQ(copy->Column(0)->Tip().GetDisplayText(), L"请输入\n金额");
    EXPECT_EQ(copy->Column(0)->Split().Columns(), 6);
    EXPECT_TRUE(copy->Column(0)->Split().FromRight());
    EXPECT_EQ(copy->Column(0)->Data().FieldLength().GetUValue(), 12u);
    EXPECT_EQ(copy->Column(1)->Format().GetFormatId(), second->Format().GetFormatId());
    EXPECT_EQ(copy->Column(1)->Split().Rows(), 2);
    EXPECT_EQ(copy->BgColor().GetUValue(), 0x112233u);
    EXPECT_EQ(copy->Border().GetValue(), 1);
    EXPECT_EQ(copy->GetTransparency(), 60);
    EXPECT_EQ(copy->GetTable()->GetRows(), 3);
}

TEST(TableDraw, DesignShowsThePlaceholderUntilSplit)
{
    TableFixture f;
    RecordingDC dc;
    f.table->DrawDesign(static_cast<DC&>(dc));
    ASSERT_EQ(dc.drawn.size(), 1u);
    EXPECT_EQ(dc.drawn[0].text, L"<请拆分控件>");
    // Columns without rows make no cells yet.
    ASSERT_TRUE(f.table->Columns().AddElement());
    RecordingDC columnsOnly;
    f.table->DrawDesign(static_cast<DC&>(columnsOnly));
    ASSERT_EQ(columnsOnly.drawn.size(), 1u);
    EXPECT_EQ(columnsOnly.drawn[0].text, L"<请拆分控件>");
}

TEST(TableDraw, DesignShowsEachColumnsSampleInEveryCell)
{
    TableFixture f(RECT{20, -20, 620, -220});
    f.Split(2, 2, L"数值");
    DoxTableControl& t = *f.table;
    ASSERT_TRUE(t.Column(1)->Format().Format().SetValueText(L"<中文大写金额>"));
    ASSERT_TRUE(t.Transparent().SetValueText(L"0"));
    RecordingDC dc;
    t.DrawDesign(static_cast<DC&>(dc));
    ASSERT_EQ(dc.drawn.size(), 4u);
    // Row-major: each cell draws its column's sample in its own rectangle.
    const std::wstring samples[] = {t.Column(0)->Format().DesignText(), t.Column(1)->Format().DesignText()};
    EXPECT_NE(samples[0], samples[1]);
    const RECT rects[] = {
        {20, -20, 320, -120}, {320, -20, 620, -120}, {20, -120, 320, -220}, {320, -120, 620, -220}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dc.drawn[static_cast<size_t>(i)].text, samples[i % 2]) << i;
        EXPECT_EQ(dc.drawn[static_cast<size_t>(i)].rect.left, rects[i].left) << i;
        EXPECT_EQ(dc.drawn[static_cast<size_t>(i)].rect.top, rects[i].top) << i;
        EXPECT_EQ(dc.drawn[static_cast<size_t>(i)].rect.right, rects[i].right) << i;
        EXPECT_EQ(dc.drawn[static_cast<size_t>(i)].rect.bottom, rects[i].bottom) << i;
    }

    // The design window's picture: the background colour, the dotted column and row
    // lines, the inner box lines of a column split into boxes, and the samples.
    ASSERT_TRUE(t.Column(1)->Split().ColumnItem().SetValueText(L"3"));
    QImage image = PageImage(700, 300);
    {
        DCX dc2;
        ASSERT_TRUE(dc2.AttachImage(&image));
        dc2.SetMapMode(2);
        static_cast<GrabObjectCore*>(&t)->DrawDesign(&dc2);
    }
    const QColor inside = image.pixelColor(300, 110);
    EXPECT_NEAR(inside.red(), 0xDD, 2);
    EXPECT_NEAR(inside.green(), 0xF1, 2);
    EXPECT_NEAR(inside.blue(), 0xEB, 2);
    EXPECT_GT(DarkIn(image, 319, 25, 322, 215), 20);  // the column line
    EXPECT_GT(DarkIn(image, 25, 119, 315, 122), 20);  // the row line
    EXPECT_GT(DarkIn(image, 419, 125, 422, 215), 20); // an inner box line of column 2
    EXPECT_EQ(DarkIn(image, 319, 221, 322, 240), 0);
    EXPECT_GT(DarkIn(image, 22, 22, 318, 118), 0); // a sample text
    EXPECT_EQ(image.pixelColor(650, 260), QColor(Qt::white));
}

TEST(TableDraw, FillInBackgroundOutlinedOnlyWithBorderLinesAlways)
{
    struct Case {
        bool border;
        bool outline;
    } cases[] = {{false, false}, {true, true}};
    for (const Case& c : cases) {
        TableFixture f(RECT{20, -20, 620, -220});
        f.Split(2, 2);
        DoxTableControl& t = *f.table;
        ASSERT_TRUE(t.Border().SetValueText(c.border ? L"是" : L"否"));
        QImage image = PageImage(700, 300);
        {
            DCX dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetMapMode(2);
            t.DrawBackground(dc);
        }
        // The column and row lines are drawn either way.
        EXPECT_GT(DarkIn(image, 319, 25, 322, 215), 20) << c.border;
        EXPECT_GT(DarkIn(image, 25, 119, 315, 122), 20) << c.border;
        // The outline: the left and the bottom edge.
        EXPECT_EQ(DarkIn(image, 18, 30, 23, 210) > 100, c.outline) << c.border;
        EXPECT_EQ(DarkIn(image, 30, 217, 610, 223) > 100, c.outline) << c.border;
    }
}

namespace
{
// The peak of the resident memory since the last reset, in kB; 0 when unknown.
long PeakResidentKb(bool reset)
{
    if (reset) {
        if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f); // resets the peak to the current size
            std::fclose(f);
        }
    }
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld", &kb) == 1)
                break;
        std::fclose(f);
    }
    return kb;
}
} // namespace

TEST(TableDraw, AHugeTableCostsWhatTheWindowShowsOfIt)
{
    // A template's table of cells of 10 x 10 mm: the 300 x 300 one is 3 m square,
    // 11,000 pixels a side at true size.
    TableFixture f(RECT{0, 0, 100, -100});
    ASSERT_TRUE(f.table->Columns().AddElement());
    ASSERT_TRUE(f.table->Rows().AddElement());
    ASSERT_TRUE(f.table->Transparent().SetValueText(L"128"));
    const std::string one = SaveControl(f.table);
    struct Case {
        int columns, rows;
    };
    for (const Case& c : {Case{300, 300}, Case{1, 20000}, Case{2000, 1}}) {
        SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows));
        tinyxml2::XMLDocument xml;
        ASSERT_EQ(xml.Parse(one.c_str()), tinyxml2::XML_SUCCESS);
        std::vector<tinyxml2::XMLElement*> sets;
        std::function<void(tinyxml2::XMLElement*)> find = [&](tinyxml2::XMLElement* e) {
            for (tinyxml2::XMLElement* child = e->FirstChildElement(); child; child = child->NextSiblingElement()) {
                // The column and row sets: an item holding one attribute set per grid.
                const char* id = child->Attribute("id");
                if (id && (std::string(id) == "column" || std::string(id) == "row") &&
                    child->FirstChildElement("dox:attribset"))
                    sets.push_back(child);
                else
                    find(child);
            }
        };
        find(xml.RootElement());
        ASSERT_EQ(sets.size(), 2u);
        for (tinyxml2::XMLElement* set : sets) {
            const int count = std::string(set->Attribute("id")) == "column" ? c.columns : c.rows;
            for (int i = 1; i < count; ++i)
                set->InsertEndChild(set->FirstChildElement()->DeepClone(&xml));
        }
        tinyxml2::XMLPrinter printer;
        xml.Print(&printer);
        DoxTableControl* t = LoadTable(f.layer, printer.CStr());
        ASSERT_NE(t, nullptr);
        t->SetRect(RECT{0, 0, 100 * c.columns, -100 * c.rows});
        ASSERT_EQ(t->Cells().CellCount(), c.columns * c.rows);

        // A window of 400 x 300 pixels over the table: about 11 x 8 cells show.
        QImage image = PageImage(400, 300);
        const long before = PeakResidentKb(true);
        {
            RecordingDC dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetMapMode(2);
            static_cast<GrabObjectCore*>(t)->DrawDesign(&dc);
            EXPECT_GT(dc.drawn.size(), 0u);
            EXPECT_LE(dc.drawn.size(), 13u * 10u);
        }
        // The blend buffer of the half-transparent table covers the window, not the
        // table (500 MB for the largest).
        if (before > 0) {
            EXPECT_LT(PeakResidentKb(false) - before, 32 * 1024) << "kB";
        }
        // The picture is there: the background, half blended into the white page.
        const QColor blended = image.pixelColor(20, 20);
        EXPECT_NEAR(blended.red(), (0xDD + 0xFF) / 2, 3);
        EXPECT_NEAR(blended.blue(), (0xEB + 0xFF) / 2, 3);
        Drop(f.layer, t);
    }
}

TEST(TableFill, CellsShowAndTakeTheValuesOfTheirRows)
{
    TableFixture f;
    f.Split(2, 3);
    DoxTableControl& t = *f.table;
    DataTable* table = t.GetTable();
    DataField* f0 = t.Column(0)->Data().GetField();
    DataField* f1 = t.Column(1)->Data().GetField();
    ASSERT_TRUE(table->SetCellText(2, f1, L"before", nullptr));

    FakeRunner runner;
    t.SetPageRunner(&runner);
    ASSERT_TRUE(t.BeginRun());
    t.SetRunCursor();
    EXPECT_EQ(runner.cursor, DoxRunCursor::IBeam);
    DoxTableContainer& cells = t.Cells();
    ASSERT_EQ(cells.CellCount(), 6);
    EXPECT_EQ(cells.CellAt(5)->GetText(), L"before");

    // Entered through the editor: each cell writes its own row of its own field.
    struct Entry {
        int cell;
        const wchar_t* text;
        DataField* field;
        int row;
    } entries[] = {{0, L"a0", f0, 0}, {1, L"b0", f1, 0}, {4, L"a2", f0, 2}, {3, L"b1", f1, 1}};
    for (const Entry& e : entries) {
        ASSERT_EQ(Enter(cells.CellAt(e.cell), e.text), 1) << e.cell;
        std::wstring stored;
        ASSERT_TRUE(table->GetCellText(e.row, e.field, stored));
        EXPECT_EQ(stored, e.text) << e.cell;
        EXPECT_EQ(cells.CellAt(e.cell)->GetText(), e.text) << e.cell;
    }
    EXPECT_EQ(cells.CellAt(2)->GetText(), L"");
    // A change of the data reaches the cell of that row.
    ASSERT_TRUE(table->SetCellText(1, f0, L"a1", nullptr));
    EXPECT_EQ(cells.CellAt(2)->GetText(), L"a1");

    // Drawn into its own cell rectangle, shifted by the rendering offset.
    RecordingDC dc;
    t.DrawContent(dc, 100, -100, false);
    ASSERT_EQ(dc.drawn.size(), 6u);
    EXPECT_EQ(dc.drawn[4].text, L"a2");
    EXPECT_EQ(dc.drawn[4].rect.left, 0);
    EXPECT_EQ(dc.drawn[4].rect.top, -200);
    EXPECT_EQ(dc.drawn[4].rect.right, 300);
    EXPECT_EQ(dc.drawn[4].rect.bottom, -300);

    // The editor reopens with the stored text over the cell.
    FakeEditorHost host;
    ASSERT_EQ(cells.CellAt(4)->ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(host.text, L"a2");
    EXPECT_EQ(host.style, DoxEditorHost::TextEditor);
    EXPECT_EQ(host.maxLength, -1);

    t.EndRun();
    runner.cursorCalls = 0;
    t.SetRunCursor();
    EXPECT_EQ(runner.cursorCalls, 0);
    EXPECT_EQ(f0->ObserverCount(), 0u);
    RecordingDC after;
    t.DrawContent(after, 0, 0, false);
    EXPECT_TRUE(after.drawn.empty());
    t.SetPageRunner(nullptr);
}

TEST(TableFill, ColumnsSharingOneFieldCostNoMoreThanDistinctFields)
{
    // 200 x 200 cells: with one shared field, that field has 40,000 observers. Adding,
    // telling and removing them must not walk all of them for each one.
    auto run = [](bool shared) {
        TableFixture f({0, 0, 20000, -20000});
        f.Split(200, 200, L"文本", shared);
        const auto start = std::chrono::steady_clock::now();
        FakeRunner runner;
        f.table->SetPageRunner(&runner);
        EXPECT_TRUE(f.table->BeginRun());
        DataField* field = f.table->Column(0)->Data().GetField();
        for (int row = 0; row < 200; ++row)
            EXPECT_TRUE(f.table->GetTable()->SetCellText(row, field, L"x", nullptr));
        f.table->EndRun();
        EXPECT_EQ(field->ObserverCount(), 0u);
        f.table->SetPageRunner(nullptr);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const double distinct = run(false);
    const double shared = run(true);
    EXPECT_LT(shared, 3 * distinct + 0.2) << "shared " << shared << " s, distinct " << distinct << " s";
}

TEST(TableFill, EditorFollowsTheColumn)
{
    struct Case {
        const wchar_t* type;
        const wchar_t* columns;
        const wchar_t* rows;
        const wchar_t* wrap; // null: left as it is
        uint32_t style;
        bool multiLine;
    } cases[] = {
        {L"文本", L"1", L"1", nullptr, DoxEditorHost::TextEditor, false},
        {L"文本", L"1", L"1", L"是", DoxEditorHost::TextEditor, true},
        {L"数值", L"6", L"1", nullptr, DoxEditorHost::TextEditor, false},
        {L"日期", L"1", L"2", nullptr, DoxEditorHost::DateEditor, true},
    };
    for (const Case& c : cases) {
        TableFixture f;
        f.Split(1, 1, c.type);
        DoxTableCol* column = f.table->Column(0);
        ASSERT_TRUE(column->Split().ColumnItem().SetValueText(c.columns));
        ASSERT_TRUE(column->Split().RowItem().SetValueText(c.rows));
        if (c.wrap) {
            ASSERT_TRUE(column->Split().Style().SetValueText(c.wrap));
        }
        ASSERT_TRUE(column->Data().FieldLength().SetValueText(L"8"));
        ASSERT_TRUE(column->Tip().SetValueText(L"提示文字"));
        FakeRunner runner;
        f.table->SetPageRunner(&runner);
        f.table->BeginRun();
        FakeEditorHost host;
        ASSERT_EQ(f.table->Cells().CellAt(0)->ExchangeEditor(&host, 0), 1) << c.type;
        EXPECT_EQ(host.style, c.style) << c.type;
        EXPECT_EQ(host.multiLine, c.multiLine) << c.type << c.columns << c.rows;
        EXPECT_EQ(host.maxLength, 8);
        EXPECT_EQ(host.flags, column->Align().GetVAlign() | column->Align().GetHAlign());
        EXPECT_EQ(runner.tip, L"提示文字");
        f.table->EndRun();
        f.table->SetPageRunner(nullptr);
    }
}

TEST(TableFill, RefusedValueIsReportedInABalloon)
{
    TableFixture f;
    f.Split(1, 1, L"数值");
    DoxTableControl& t = *f.table;
    FakeRunner runner;
    t.SetPageRunner(&runner);
    t.BeginRun();
    DoxControlCell* cell = t.Cells().CellAt(0);
    ASSERT_EQ(Enter(cell, L"12"), 1);
    EXPECT_EQ(runner.tip, L"");
    DataField* field = cell->GetBinding();
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->GetCell(0)->HasValue());
    // Refused by the data layer: reported as refused, the reason in a balloon, the
    // entry left in the editor; the cell keeps the number it had.
    FakeEditorHost refused;
    ASSERT_EQ(cell->ExchangeEditor(&refused, 0), 1);
    refused.text = L"abc";
    EXPECT_EQ(cell->ExchangeEditor(&refused, 1), 0);
    EXPECT_FALSE(runner.tip.empty());
    EXPECT_EQ(refused.text, L"abc");
    EXPECT_EQ(field->GetCell(0)->GetEnteredText(), L"12");
    ASSERT_EQ(Enter(cell, L"7"), 1);
    EXPECT_EQ(runner.tip, L"");
    // Emptying the cell clears it: no refusal, no balloon.
    runner.tip = L"old";
    ASSERT_EQ(Enter(cell, L""), 1);
    EXPECT_EQ(runner.tip, L"");
    EXPECT_FALSE(field->GetCell(0)->HasValue());
    // A column that is not editable opens no editor.
    ASSERT_TRUE(t.Column(0)->Editable().SetValueText(L"否"));
    FakeEditorHost host;
    EXPECT_EQ(cell->ExchangeEditor(&host, 0), 0);
    EXPECT_EQ(host.opened, 0);
    t.EndRun();
    t.SetPageRunner(nullptr);
}

TEST(TableFill, TransparentBackgroundUnderOpaqueTexts)
{
    TableFixture f(RECT{0, 0, 600, -200});
    f.Split(2, 1);
    DoxTableControl& t = *f.table;
    ASSERT_TRUE(t.BgColor().SetValueText(L"#00FF0000"));
    ASSERT_TRUE(t.Transparent().SetValueText(L"128"));
    ASSERT_TRUE(t.Column(0)->Font().Size().SetValueText(L"30"));
    t.BeginRun();
    ASSERT_EQ(Enter(t.Cells().CellAt(0), L"WWWW"), 1);
    QImage image = PageImage(700, 300);
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetMapMode(2);
        t.DrawTransparent(dc);
    }
    t.EndRun();
    // Half of the red over white, the texts in full black, nothing outside.
    const QColor blended = image.pixelColor(500, 150);
    EXPECT_NEAR(blended.red(), 255, 2);
    EXPECT_NEAR(blended.green(), 128, 40);
    EXPECT_NEAR(blended.blue(), 128, 40);
    int black = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            black += qGray(image.pixel(x, y)) < 30 ? 1 : 0;
    EXPECT_GT(black, 20);
    EXPECT_EQ(image.pixelColor(650, 250), QColor(Qt::white));
    // The column line in fill-in mode.
    EXPECT_GT(DarkIn(image, 299, 10, 302, 190), 20);
}

TEST(TableRows, DataTableRowCountFollowsTheRowSet)
{
    TableFixture f;
    DoxTableControl& t = *f.table;
    ASSERT_TRUE(t.Columns().AddElement());
    EXPECT_EQ(t.GetTable()->GetRows(), 0);
    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(t.Rows().AddElement());
        EXPECT_EQ(t.GetTable()->GetRows(), i);
    }
    t.Rows().RemoveElement(0);
    t.Rows().RemoveElement(9); // out of range: nothing
    EXPECT_EQ(t.GetTable()->GetRows(), 3);
    EXPECT_EQ(t.Cells().CellCount(), 3);
    // A reloaded control tells its table the stored count.
    const std::string xml = SaveControl(&t);
    t.GetTable()->SetRows(0);
    DoxTableControl* copy = LoadTable(f.layer, xml);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(t.GetTable()->GetRows(), 3);
}

TEST(TableNavigation, OnlyEditableColumnsTakeInput)
{
    struct Case {
        std::vector<bool> editable; // per column; 2 rows each
        std::vector<int> forward;   // cell indexes from the first field onwards
    } cases[] = {
        {{true, true, true}, {0, 1, 2, 3, 4, 5}},
        {{false, true, true}, {1, 2, 4, 5}},
        {{true, false, true}, {0, 2, 3, 5}},
        {{false, true, false}, {1, 4}},
        {{false, false, false}, {}},
    };
    for (const Case& c : cases) {
        TableFixture f(RECT{0, 0, 300, -100});
        f.Split(static_cast<int>(c.editable.size()), 2);
        DoxTableControl& t = *f.table;
        for (size_t i = 0; i < c.editable.size(); ++i)
            ASSERT_TRUE(
                t.Column(static_cast<int>(i))->Editable().SetValueText(c.editable[i] ? L"是" : L"否"));
        DoxTableContainer& cells = t.Cells();
        FakeRunner runner;
        t.SetPageRunner(&runner);
        auto at = [&](int i) { return i < 0 ? nullptr : static_cast<DoxControlBase*>(cells.CellAt(i)); };

        std::vector<int> forward;
        for (DoxControlBase* field = t.NextField(); field; field = field->NextField())
            forward.push_back(static_cast<DoxControlCell*>(field)->GetIndex());
        EXPECT_EQ(forward, c.forward);
        std::vector<int> backward;
        for (DoxControlBase* field = t.PrevField(); field; field = field->PrevField())
            backward.insert(backward.begin(), static_cast<DoxControlCell*>(field)->GetIndex());
        EXPECT_EQ(backward, c.forward);

        // A click takes the cell under it only when the cell takes input; the middle
        // of cell 4 is at (150, -75).
        const bool takes4 = c.editable[1];
        EXPECT_EQ(t.HitTest(nullptr, 0, 150, -75), takes4);
        EXPECT_EQ(t.OnRunClick(nullptr, 0, 150, -75), takes4);
        EXPECT_EQ(runner.focus, takes4 ? at(4) : nullptr);
        t.SetPageRunner(nullptr);
    }
}

TEST(TableCopies, ShareTheTableAndEitherMayGoFirst)
{
    for (bool originalFirst : {true, false}) {
        TableFixture f;
        f.Split(2, 2);
        DoxTableControl* original = f.table;
        DataTable* table = original->GetTable();
        const std::wstring name = table->GetName();
        DataField* field = original->Column(1)->Data().GetField();

        // Duplicated in the design window and copied through the clipboard's XML.
        auto* duplicate =
            static_cast<DoxTableControl*>(static_cast<GrabObjectCore*>(original)->Duplicate(50, 50));
        ASSERT_NE(duplicate, nullptr);
        DoxTableControl* pasted = LoadTable(f.layer, SaveControl(original));
        ASSERT_NE(pasted, nullptr);
        for (DoxTableControl* copy : {duplicate, pasted}) {
            EXPECT_EQ(copy->GetTable(), table);
            EXPECT_EQ(copy->Column(1)->Data().GetField(), field);
        }
        EXPECT_EQ(f.layer.page.Tables().size(), 1u);

        DoxTableControl* survivor = originalFirst ? duplicate : original;
        if (originalFirst) {
            original->SetParentLayer(nullptr);
            original->Release();
            f.table = nullptr;
        } else {
            Drop(f.layer, duplicate);
        }
        Drop(f.layer, pasted);
        // The survivor's table, its fields and its values are all still there.
        ASSERT_EQ(f.layer.page.Tables().size(), 1u);
        EXPECT_EQ(f.layer.page.LookupTable(name.c_str()), survivor->GetTable());
        ASSERT_NE(survivor->Column(1)->Data().GetField(), nullptr);
        EXPECT_EQ(table->LookupField(L"f1"), survivor->Column(1)->Data().GetField());
        ASSERT_TRUE(table->LayOutRows());
        survivor->BeginRun();
        ASSERT_EQ(Enter(survivor->Cells().CellAt(3), L"kept"), 1);
        std::wstring stored;
        ASSERT_TRUE(table->GetCellText(1, survivor->Column(1)->Data().GetField(), stored));
        EXPECT_EQ(stored, L"kept");
        survivor->EndRun();
    }
}

TEST(TableCopies, ARenameThroughOneKeepsTheOtherOnTheSameTable)
{
    TableFixture f;
    f.Split(1, 2);
    DoxTableControl* original = f.table;
    DoxTableControl* copy = LoadTable(f.layer, SaveControl(original));
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(original->TableAttribute().TableName().SetValueText(L"items"));
    EXPECT_EQ(copy->GetTable()->GetName(), L"items");
    // The copy saves the name the shared table has now, so that a reload of either
    // finds the same table.
    const std::string saved = SaveControl(copy);
    EXPECT_NE(saved.find("\"items\""), std::string::npos);
    DoxTableControl* reloaded = LoadTable(f.layer, saved);
    ASSERT_NE(reloaded, nullptr);
    EXPECT_EQ(reloaded->GetTable(), original->GetTable());
    EXPECT_EQ(f.layer.page.Tables().size(), 1u);
}
