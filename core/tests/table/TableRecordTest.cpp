// A table control on a page of the bill database: bills with several rows stored
// and loaded back through the page's record operations, every row one row of the
// control's own child table, and a stored bill printed on the "PDF" printer with
// its cell texts and the table's lines where the template puts them.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QImage>
#include <QProcess>
#include <QString>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "DataTable.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "DoxTableControl.h"
#include "IDoxDataQuerySink.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "PdfWords.h"
#include "TestSupport.h"

namespace
{

// Rows of a bill: item, amount (as entered), amount as the column shows it.
struct Line {
    const wchar_t* item;
    const wchar_t* amount;
    const wchar_t* shown;
};

const Line kFirst[] = {
    {L"Pens", L"12.5", L"12.50"}, {L"Paper", L"1234", L"1,234.00"}, {L"Ink", L"3", L"3.00"}};
const Line kSecond[] = {{L"Desk", L"800", L"800.00"}, {L"", L"", L""}, {L"Lamp", L"45.1", L"45.10"}};

// The table: 20 mm from the left, 30 mm from the top, columns of 60 and 40 mm,
// rows of 10 mm.
constexpr RECT kTableRect{200, -300, 1200, -600};

class TableRecordTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home_.emplace(dir_.path());
        ASSERT_TRUE(home_->Ready());
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
    }
    void TearDown() override
    {
        if (document_)
            document_->Release();
        if (core_)
            core_->Release();
    }

    IDoxPage* MakeTemplate()
    {
        const std::wstring db = (dir_ / "doxcore.db").wstring();
        document_ = core_->CreateConnection(db.c_str(), L"明细单", 2100, 990);
        EXPECT_NE(document_, nullptr) << core_->GetLastErrorText();
        if (!document_)
            return nullptr;
        IDoxPage* page = document_->GetPage(0);
        DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);
        table_ = static_cast<DoxTableControl*>(layer->CreateControl(DoxKindTable, &kTableRect));
        EXPECT_NE(table_, nullptr);
        if (!table_)
            return nullptr;
        EXPECT_TRUE(table_->TableAttribute().TableName().SetValueText(L"明细"));
        const wchar_t* fields[][3] = {{L"品名", L"文本", L""}, {L"金额", L"数值", L"#,##0.00"}};
        for (int c = 0; c < 2; ++c) {
            EXPECT_TRUE(table_->Columns().AddElement());
            DoxTableCol* column = table_->Column(c);
            EXPECT_TRUE(column->Data().FieldName().SetValueText(fields[c][0]));
            EXPECT_TRUE(column->Data().FieldType().SetValueText(fields[c][1]));
            if (*fields[c][2]) {
                EXPECT_TRUE(column->Format().Format().SetValueText(fields[c][2]));
            }
            EXPECT_TRUE(column->Align().VAlignItem().SetValueText(L"顶部对齐"));
        }
        EXPECT_TRUE(table_->Column(0)->Base().SizeItem().SetValueText(L"60mm"));
        // Rows added and one taken away again: the data table follows.
        for (int r = 0; r < 4; ++r)
            EXPECT_TRUE(table_->Rows().AddElement());
        table_->Rows().RemoveElement(3);
        EXPECT_EQ(table_->GetTable()->GetRows(), 3);
        page->ViewAllLayers();
        return page;
    }

    // Half of the rows through the page's field names, half through the cells.
    void Fill(IDoxPage* page, const Line (&lines)[3])
    {
        for (int r = 0; r < 3; ++r) {
            // An empty text clears the cell and reports no value.
            EXPECT_EQ(page->SetFieldText(L"明细.品名", r, lines[r].item), *lines[r].item ? 1 : 0) << r;
            std::wstring amount = lines[r].amount, error;
            EXPECT_TRUE(table_->Cells().CellAt(r * 2 + 1)->ExchangeValue(nullptr, amount, true, error) ||
                        amount.empty())
                << r;
        }
    }

    void ExpectShown(IDoxPage* page, const Line (&lines)[3])
    {
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(table_->Cells().CellAt(r * 2)->GetText(), lines[r].item) << r;
            EXPECT_EQ(table_->Cells().CellAt(r * 2 + 1)->GetText(), lines[r].shown) << r;
            IDoxValue* value = page->GetFieldValue(L"明细.品名", r);
            ASSERT_NE(value, nullptr);
            EXPECT_STREQ(value->GetText(), lines[r].item) << r;
        }
    }

    int64_t StoredRows(int64_t parentId)
    {
        sqlite3* db = nullptr;
        const std::string path = (dir_ / "doxcore.db").string();
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return -1;
        const QString sql = QString("select count(*) from \"%1\" where parentId = %2")
                                .arg(QString::fromStdWString(table_->GetTable()->GetTableName()))
                                .arg(parentId);
        sqlite3_stmt* statement = nullptr;
        int64_t count = -1;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            count = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return count;
    }

    doxtest::TempDir dir_;
    std::optional<doxtest::ScratchHome> home_;
    IDoxCore* core_ = nullptr;
    IDoxDocument* document_ = nullptr;
    DoxTableControl* table_ = nullptr;
};

} // namespace

TEST_F(TableRecordTest, BillsWithSeveralRowsComeBackAsStored)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
    // The table's cells are fields of the fill-in order.
    EXPECT_EQ(runner.GetCurrentField(), static_cast<DoxControlBase*>(table_->Cells().CellAt(0)));

    Fill(page, kFirst);
    ExpectShown(page, kFirst);
    ASSERT_EQ(page->SaveRecordAsNew(0), 1) << core_->GetLastErrorText();
    const int64_t first = page->GetRecordId();
    Fill(page, kSecond);
    ASSERT_EQ(page->SaveRecordAsNew(0), 1) << core_->GetLastErrorText();
    const int64_t second = page->GetRecordId();
    ASSERT_NE(first, second);
    EXPECT_EQ(StoredRows(first), 3);
    EXPECT_EQ(StoredRows(second), 3);

    ASSERT_EQ(page->LoadRecord(first), 1);
    ExpectShown(page, kFirst);
    ASSERT_EQ(page->LoadRecord(second), 1);
    ExpectShown(page, kSecond);

    // A changed row saved in place stays one row of the same bill.
    std::wstring amount = L"99", error;
    ASSERT_TRUE(table_->Cells().CellAt(3)->ExchangeValue(nullptr, amount, true, error));
    ASSERT_EQ(page->SaveRecord(0), 1);
    EXPECT_EQ(StoredRows(second), 3);
    ASSERT_EQ(page->LoadRecord(first), 1);
    ASSERT_EQ(page->LoadRecord(second), 1);
    EXPECT_EQ(table_->Cells().CellAt(3)->GetText(), L"99.00");

    runner.Detach();
}

TEST_F(TableRecordTest, StoredBillPrintsItsCellsAndLines)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
    Fill(page, kFirst);
    ASSERT_EQ(page->SaveRecordAsNew(0), 1);
    const int64_t id = page->GetRecordId();
    Fill(page, kSecond);

    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    ASSERT_EQ(page->PrintRecord(id, 1), 1);
    ASSERT_EQ(page->EndPrintJob(), 1);
    runner.Detach();

    const QString pdf = QString::fromStdString((dir_ / "Documents").string()) + "/明细单.pdf";
    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 2; ++c) {
            const QString text = QString::fromWCharArray(c == 0 ? kFirst[r].item : kFirst[r].shown);
            const pdftest::Word* found = nullptr;
            for (const pdftest::Word& w : words)
                if (w.text == text)
                    found = &w;
            ASSERT_NE(found, nullptr) << text.toStdString();
            EXPECT_NEAR(found->xMin, c == 0 ? 20 : 80, 0.5) << text.toStdString();
            EXPECT_NEAR(found->yMin, 30 + 10 * r, 0.5) << text.toStdString();
        }
    }
    for (const pdftest::Word& w : words)
        EXPECT_NE(w.text, "Desk") << "the bill on screen printed instead of the stored one";

    // The lines come with the bill, drawn by the job's own pen.
    const QString png = QString::fromStdString((dir_ / "bill").string());
    QProcess render;
    render.start("pdftoppm", {"-r", "254", "-png", "-singlefile", pdf, png});
    ASSERT_TRUE(render.waitForFinished(30000));
    ASSERT_EQ(render.exitCode(), 0);
    QImage sheet(png + ".png");
    ASSERT_FALSE(sheet.isNull());
    auto inkedNear = [&](int x, int y) {
        for (int d = -2; d <= 2; ++d)
            if (qGray(sheet.pixel(x + d, y)) < 160 || qGray(sheet.pixel(x, y + d)) < 160)
                return true;
        return false;
    };
    for (int y : {385, 485, 585})
        EXPECT_TRUE(inkedNear(800, y)) << y; // the column line
    for (int y : {400, 500})
        for (int x : {500, 1000})
            EXPECT_TRUE(inkedNear(x, y)) << x << "," << y; // the row lines
    EXPECT_FALSE(inkedNear(1100, 580));                    // inside a cell: no fill
}

TEST_F(TableRecordTest, AReopenedTemplateFindsItsTableAgain)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    int64_t id = 0;
    {
        DoxPageRunner runner;
        ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
        Fill(page, kFirst);
        ASSERT_EQ(page->SaveRecordAsNew(0), 1);
        id = page->GetRecordId();
        runner.Detach();
    }
    ASSERT_EQ(document_->Save(), 1) << core_->GetLastErrorText();
    document_->Release();
    document_ = nullptr;

    const std::wstring db = (dir_ / "doxcore.db").wstring();
    document_ = core_->OpenComplex(db.c_str(), nullptr);
    ASSERT_NE(document_, nullptr) << core_->GetLastErrorText();
    page = document_->GetPage(0);
    DoxPage* doxPage = static_cast<DoxPage*>(page);
    const std::vector<DoxControl*>& controls = doxPage->GetLayer(0)->Controls();
    ASSERT_EQ(controls.size(), 1u);
    ASSERT_EQ(controls[0]->GetKindId(), DoxKindTable);
    table_ = static_cast<DoxTableControl*>(controls[0]);
    // The one table of the page, under its name, with the columns' fields and the rows.
    ASSERT_EQ(doxPage->Data().Tables().size(), 1u);
    EXPECT_EQ(table_->GetTable(), doxPage->Data().Tables()[0]);
    EXPECT_EQ(table_->GetTable()->GetName(), L"明细");
    EXPECT_EQ(table_->GetTable()->Fields().size(), 2u);
    EXPECT_EQ(table_->GetTable()->GetRows(), 3);

    page->ViewAllLayers();
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
    ASSERT_EQ(page->LoadRecord(id), 1);
    ExpectShown(page, kFirst);
    runner.Detach();
}

namespace
{

// Records the columns and the bills a query reports.
struct ListingSink : IDoxDataQuerySink {
    std::vector<std::wstring> columns;
    std::vector<std::pair<int64_t, std::vector<std::wstring>>> records;
    int OnColumns(IDoxColumnReader* reader) override
    {
        for (int i = 0; i < reader->GetCount(); ++i)
            columns.push_back(reader->GetName(i));
        return 0;
    }
    int OnRecord(IDoxRecordReader* reader) override
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < reader->GetCount(); ++i)
            texts.push_back(reader->GetText(i));
        records.emplace_back(reader->GetId(), texts);
        return 1;
    }
};

} // namespace

TEST_F(TableRecordTest, APageWithOnlyEditControlsListsItsBills)
{
    const std::wstring db = (dir_ / "doxcore.db").wstring();
    document_ = core_->CreateConnection(db.c_str(), L"进账单", 2100, 990);
    ASSERT_NE(document_, nullptr) << core_->GetLastErrorText();
    IDoxPage* page = document_->GetPage(0);
    DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);
    const wchar_t* names[] = {L"收款人", L"金额"};
    for (int i = 0; i < 2; ++i) {
        const RECT rect{100, -100 - 100 * i, 900, -160 - 100 * i};
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        ASSERT_NE(edit, nullptr);
        ASSERT_TRUE(edit->DataAttribute().FieldName().SetValueText(names[i]));
        ASSERT_TRUE(edit->DataAttribute().FieldType().SetValueText(L"文本"));
    }
    page->ViewAllLayers();
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
    ASSERT_TRUE(static_cast<DoxPage*>(page)->Data().Tables().empty());

    const wchar_t* bills[][2] = {{L"甲公司", L"100"}, {L"乙公司", L"200"}, {L"丙公司", L"300"}};
    std::vector<int64_t> ids;
    for (const auto& bill : bills) {
        ASSERT_EQ(page->ForgetRecord(), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.收款人", 0, bill[0]), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, bill[1]), 1);
        ASSERT_EQ(page->SaveRecord(0), 1) << core_->GetLastErrorText();
        ids.push_back(page->GetRecordId());
    }

    struct Case {
        const char* what;
        DataQuery query;
        std::vector<int> expected; // indexes into bills
    };
    const Case cases[] = {
        {"all", {1, 0, nullptr}, {0, 1, 2}},
        {"newest", {2, 0, nullptr}, {2}},
        {"by id", {3, ids[1], nullptr}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ListingSink sink;
        DataQuery query = c.query;
        ASSERT_EQ(page->QueryRecords(&sink, &query), 1) << core_->GetLastErrorText();
        EXPECT_EQ(sink.columns, (std::vector<std::wstring>{L"收款人", L"金额"}));
        ASSERT_EQ(sink.records.size(), c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const int bill = c.expected[i];
            EXPECT_EQ(sink.records[i].first, ids[bill]);
            EXPECT_EQ(sink.records[i].second, (std::vector<std::wstring>{bills[bill][0], bills[bill][1]}));
        }
    }
    runner.Detach();
}
