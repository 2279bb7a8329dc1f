// Bills in "doxcore.db": the table layout (checked with the sqlite3 tool), save,
// load, update, copy, delete and list, hostile values, the input history, failed
// saves and the child rows of the newest bill.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <memory>

#include "BillTestSupport.h"
#include "CharBuffer.h"
#include "Clock.h"
#include "DataCell.h"
#include "DataFunction.h"
#include "DataRow.h"
#include "ModuleError.h"
#include "SqlCommand.h"
#include "SqlConnection.h"
#include "TestSupport.h"

using billtest::AddTyped;

namespace
{

// Runs the sqlite3 command-line tool on a database and returns what it prints.
std::string Sqlite3(const std::filesystem::path& db, const std::string& sql)
{
    const std::string command = "sqlite3 -batch '" + db.string() + "' \"" + sql + "\" 2>&1";
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return "<no sqlite3>";
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, n);
    return out;
}

class RecordingSink : public IDoxDataQuerySink
{
public:
    int OnColumns(IDoxColumnReader* columns) override
    {
        ++columnCalls;
        for (int32_t i = 0; i < columns->GetCount(); ++i)
            names.emplace_back(columns->GetName(i));
        outside = columns->GetName(columns->GetCount());
        return 1;
    }
    int OnRecord(IDoxRecordReader* record) override
    {
        ids.push_back(record->GetId());
        std::vector<std::wstring> texts;
        for (int32_t i = 0; i <= record->GetCount(); ++i) {
            // The UTF-8 a list takes is the same text, and empty outside the columns.
            const std::wstring text = record->GetText(i);
            int32_t bytes = -1;
            const char* utf8 = record->GetUtf8(i, &bytes);
            EXPECT_EQ(std::string(utf8, static_cast<size_t>(bytes)), WideToUtf8(text)) << "column " << i;
            if (i < record->GetCount())
                texts.push_back(text);
            else
                EXPECT_EQ(bytes, 0);
        }
        records.push_back(texts);
        return static_cast<int>(ids.size()) < stopAfter ? 1 : 0;
    }

    int columnCalls = 0;
    std::vector<std::wstring> names;
    std::wstring outside = L"x";
    std::vector<int64_t> ids;
    std::vector<std::vector<std::wstring>> records;
    int stopAfter = 1 << 30;
};

plat::SystemTime PinnedTime()
{
    plat::SystemTime t;
    t.year = 2024;
    t.month = 3;
    t.day = 1;
    t.hour = 8;
    t.minute = 5;
    t.second = 9;
    return t;
}

// A page "P1" with a text, number, date and date-time field and a child table
// 明细 of five rows, prepared on a fresh doxcore.db.
class BillStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db_ = dir_ / "doxcore.db";
        ASSERT_EQ(connection_.Open(db_.wstring().c_str()), 1);
        AddTyped(page_, L"名称", 0);
        AddTyped(page_, L"金额", 1);
        AddTyped(page_, L"日期", 2);
        AddTyped(page_, L"时间", 3);
        table_ = page_.AddTable(L"明细");
        table_->SetRows(5);
        AddTyped(*table_, L"品名", 0);
        AddTyped(*table_, L"数量", 1);
        ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    }

    void Fill(const wchar_t* name, const wchar_t* amount,
              std::vector<std::pair<int32_t, const wchar_t*>> lines = {})
    {
        page_.SetFieldText(L"主表.名称", 0, name);
        page_.SetFieldText(L"主表.金额", 0, amount);
        for (const auto& [row, text] : lines)
            page_.SetFieldText(L"明细.品名", row, text);
    }

    std::wstring Text(const wchar_t* name, int32_t row = 0)
    {
        IDoxValue* value = page_.GetFieldValue(name, row);
        return value ? std::wstring(value->Format(0, nullptr)) : L"<none>";
    }

    // A column of the bill on the page as it is stored, with the tool's newline.
    std::string StoredMain(const char* column)
    {
        return Sqlite3(db_, std::string("select ") + column + " from P1_MainTable where id = " +
                                std::to_string(page_.GetRecordId(0)));
    }

    std::string Count(const char* table)
    {
        return Sqlite3(db_, std::string("select count(*) from ") + table);
    }

    plat::FixedClock clock_{PinnedTime()};
    plat::ScopedClock pinned_{clock_};
    doxtest::TempDir dir_;
    std::filesystem::path db_;
    SqlConnection connection_;
    DataPage page_;
    DataTable* table_ = nullptr;
};

TEST_F(BillStore, TablesHaveTheFixedColumnsThenOneTextColumnPerField)
{
    EXPECT_EQ(
        Sqlite3(db_, "select name from sqlite_master where type = 'table' and name like 'P1%' order by name"),
        "P1_MainTable\nP1_table0\n");
    EXPECT_EQ(Sqlite3(db_, "pragma table_info(P1_MainTable)"), "0|id|INTEGER|1||1\n"
                                                               "1|parentId|INTEGER|0||0\n"
                                                               "2|createtime|INTEGER|0||0\n"
                                                               "3|row|INTEGER|0||0\n"
                                                               "4|名称|TEXT|0||0\n"
                                                               "5|金额|TEXT|0||0\n"
                                                               "6|日期|TEXT|0||0\n"
                                                               "7|时间|TEXT|0||0\n");
    EXPECT_EQ(Sqlite3(db_, "pragma table_info(P1_table0)"), "0|id|INTEGER|1||1\n"
                                                            "1|parentId|INTEGER|0||0\n"
                                                            "2|createtime|INTEGER|0||0\n"
                                                            "3|row|INTEGER|0||0\n"
                                                            "4|品名|TEXT|0||0\n"
                                                            "5|数量|TEXT|0||0\n");
    // Lines are looked up by their bill.
    EXPECT_EQ(
        Sqlite3(db_,
                "select name || ':' || tbl_name from sqlite_master where type = 'index' and sql not null"),
        "P1_table0_parentId:P1_table0\n");
    EXPECT_EQ(
        Sqlite3(db_, "select sql from sqlite_master where name = 'P1_MainTable'"),
        "CREATE TABLE \"P1_MainTable\" ( id integer primary key autoincrement not null, parentId "
        "integer,createtime integer,row integer,\"名称\" text,\"金额\" text,\"日期\" text,\"时间\" text )\n");
}

TEST_F(BillStore, SavesEveryTypeAsItsDefaultText)
{
    Fill(L"it's", L"1234.5", {{0, L"螺丝"}, {2, L"垫片"}});
    page_.SetFieldText(L"主表.日期", 0, L"20240301");
    page_.SetFieldText(L"主表.时间", 0, L"2024-3-1 8:05:09");
    page_.SetFieldText(L"明细.数量", 2, L"3w");
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(page_.IsModified(), 0);
    const int64_t id = page_.GetRecordId(0);
    ASSERT_GT(id, 0);
    plat::FileTime now = 0;
    ASSERT_TRUE(plat::SystemTimeToFileTime(PinnedTime(), now));

    EXPECT_EQ(Sqlite3(db_, "select id, parentId, createtime, row, 名称, 金额, 日期, 时间 from P1_MainTable"),
              std::to_string(id) + "|0|" + std::to_string(now) +
                  "|0|it's|1234.5|2024-03-01|2024-03-01 08:05:09\n");
    // Every grid line is stored; lines without values hold NULL.
    EXPECT_EQ(Sqlite3(db_, "select parentId, row, ifnull(品名, 'NULL'), ifnull(数量, 'NULL') from P1_table0 "
                           "order by row"),
              std::to_string(id) + "|0|螺丝|NULL\n" + std::to_string(id) + "|1|NULL|NULL\n" +
                  std::to_string(id) + "|2|垫片|30000\n" + std::to_string(id) + "|3|NULL|NULL\n" +
                  std::to_string(id) + "|4|NULL|NULL\n");
}

TEST_F(BillStore, SaveUpdateCopyLoadDeleteAndList)
{
    Fill(L"first", L"10", {{1, L"a"}});
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t first = page_.GetRecordId(0);
    const int64_t firstLine = table_->GetRecordId(1);

    // Unchanged: 0 with no error text, nothing written.
    SetModuleError(L"stale");
    EXPECT_EQ(page_.SaveRecord(), 0);
    EXPECT_STREQ(GetModuleErrorText(), L"");

    // Changed: the same rows are updated, an emptied cell becomes NULL.
    Fill(L"first!", L"", {{1, L"b"}});
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(page_.GetRecordId(0), first);
    EXPECT_EQ(table_->GetRecordId(1), firstLine);
    EXPECT_EQ(Count("P1_MainTable"), "1\n");
    EXPECT_EQ(Sqlite3(db_, "select 名称, ifnull(金额, 'NULL') from P1_MainTable"), "first!|NULL\n");

    // Copy: a full new bill with new ids.
    ASSERT_EQ(page_.SaveRecordAsNew(), 1);
    const int64_t second = page_.GetRecordId(0);
    EXPECT_NE(second, first);
    EXPECT_NE(table_->GetRecordId(1), firstLine);
    EXPECT_EQ(Count("P1_MainTable"), "2\n");
    EXPECT_EQ(Count("P1_table0"), "10\n");

    // Load the first one back into an emptied page.
    ASSERT_EQ(page_.ResetRecordIds(), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"");
    Fill(L"edit", L"1");
    ASSERT_EQ(page_.LoadRecord(first), 1);
    EXPECT_EQ(page_.IsModified(), 0);
    EXPECT_EQ(Text(L"主表.名称"), L"first!");
    EXPECT_EQ(Text(L"主表.金额"), L"");
    EXPECT_EQ(Text(L"明细.品名", 1), L"b");
    EXPECT_EQ(page_.GetRecordId(0), first);

    // List: the main table's field columns, then each bill.
    RecordingSink sink;
    ASSERT_EQ(page_.QueryRecords(&sink, nullptr), 1);
    EXPECT_EQ(sink.columnCalls, 1);
    EXPECT_EQ(sink.names, (std::vector<std::wstring>{L"名称", L"金额", L"日期", L"时间"}));
    EXPECT_EQ(sink.outside, L"");
    EXPECT_EQ(sink.ids, (std::vector<int64_t>{first, second}));
    EXPECT_EQ(sink.records[1], (std::vector<std::wstring>{L"first!", L"", L"", L""}));

    // Deleting another bill leaves the page alone; deleting the shown one empties it.
    ASSERT_EQ(page_.DeleteRecord(second), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"first!");
    ASSERT_EQ(page_.DeleteRecord(first), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"");
    EXPECT_EQ(page_.GetRecordId(0), -1);
    EXPECT_EQ(Count("P1_MainTable"), "0\n");
    EXPECT_EQ(Count("P1_table0"), "0\n");
}

// 金额 sums the lines' 数量. Emptying the page for a new bill, or because the shown bill
// was deleted, must not leave a total computed from the lines that were still
// waiting to be emptied (the last line's amount), nor store it with the next bill.
TEST_F(BillStore, AnEmptiedBillComputesItsTotalFromTheEmptiedLines)
{
    DataFunctionObject* sum = page_.LookupField(L"金额")->Execute().AddObject();
    sum->SetFunctionIndex(6);
    sum->SetParamText(L"明细.数量");
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);

    const std::function<void()> ways[] = {
        [this] { ASSERT_EQ(page_.ResetRecordIds(), 1); },
        [this] { ASSERT_EQ(page_.DeleteRecord(page_.GetRecordId(0)), 1); },
    };
    for (size_t way = 0; way < std::size(ways); ++way) {
        SCOPED_TRACE(way);
        page_.SetFieldText(L"主表.名称", 0, L"trip");
        page_.SetFieldText(L"明细.数量", 0, L"257.29");
        page_.SetFieldText(L"明细.数量", 3, L"34.50");
        ASSERT_EQ(Text(L"主表.金额"), L"291.79");
        ASSERT_EQ(page_.SaveRecord(), 1);

        ways[way]();
        EXPECT_EQ(Text(L"主表.金额"), L"");
        EXPECT_EQ(Text(L"明细.数量", 3), L"");
        EXPECT_EQ(page_.IsModified(), 0);

        page_.SetFieldText(L"主表.名称", 0, L"next");
        page_.SetFieldText(L"明细.数量", 1, L"5");
        ASSERT_EQ(page_.SaveRecord(), 1);
        EXPECT_EQ(StoredMain("金额"), "5\n");
        ASSERT_EQ(page_.ResetRecordIds(), 1);
    }
}

// A number field whose entries are rounded to cents is money: it is stored, listed
// and loaded back with its two decimals (1007.30, not 1007.3), also when a function
// computes it. Any other number keeps its shortest text.
TEST_F(BillStore, AnAmountRoundedToCentsKeepsItsCents)
{
    struct Case {
        const wchar_t* step; // the filter ROUND's step on 金额, none for nullptr
        const wchar_t* typed;
        const char* stored;
    } cases[] = {
        {L"0.01", L"1007.3", "1007.30"},
        {L"0.01", L"88.8", "88.80"},
        {L"0.01", L"-5", "-5.00"},
        {L"0.1", L"2.25", "2.3"},
        {L"1", L"1007.3", "1007.3"},
        {nullptr, L"1007.30", "1007.3"},
    };
    DataField* amount = page_.LookupField(L"金额");
    // 金额 rounded to the step (none for nullptr), on a new bill.
    const auto roundTo = [&](const wchar_t* step) {
        amount->Filter().DestroyObjects();
        if (step) {
            DataFunctionObject* round = amount->Filter().AddObject();
            round->SetFunctionIndex(2);
            round->SetParamText(step);
        }
        ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
        ASSERT_EQ(page_.ResetRecordIds(), 1);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        roundTo(c.step);
        Fill(L"x", c.typed);
        ASSERT_EQ(page_.SaveRecord(), 1);
        EXPECT_EQ(StoredMain("金额"), std::string(c.stored) + "\n");
        RecordingSink sink;
        ASSERT_EQ(page_.QueryRecords(&sink, nullptr), 1);
        ASSERT_FALSE(sink.records.empty());
        const std::string stored = c.stored;
        EXPECT_EQ(sink.records.back()[1], std::wstring(stored.begin(), stored.end()));
        // Loaded back, the bill is unchanged and saves nothing.
        ASSERT_EQ(page_.LoadRecord(page_.GetRecordId(0)), 1);
        page_.SetFieldText(L"主表.金额", 0, c.typed);
        EXPECT_EQ(page_.IsModified(), 0);
    }

    // A total computed into a field rounded to cents.
    DataFunctionObject* sum = amount->Execute().AddObject();
    sum->SetFunctionIndex(6);
    sum->SetParamText(L"明细.数量");
    roundTo(L"0.01");
    page_.SetFieldText(L"明细.数量", 0, L"1007.3");
    page_.SetFieldText(L"明细.数量", 1, L"1000.3");
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(StoredMain("金额"), "2007.60\n");
}

TEST_F(BillStore, NothingToSave)
{
    EXPECT_EQ(page_.SaveRecord(), 0);
    page_.SetFieldText(L"主表.名称", 0, L"x");
    page_.SetFieldText(L"主表.名称", 0, L"");
    EXPECT_EQ(page_.IsModified(), 1);
    EXPECT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(page_.SaveRecordAsNew(), 1);
    EXPECT_EQ(Count("P1_MainTable"), "0\n");
}

TEST_F(BillStore, QueryModes)
{
    std::vector<int64_t> ids;
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        page_.ResetRecordIds();
        Fill(name, L"1");
        ASSERT_EQ(page_.SaveRecord(), 1);
        ids.push_back(page_.GetRecordId(0));
    }
    DataQuery condition{4, 0, L"名称 <> 'b'"};
    struct Case {
        DataQuery query;
        std::vector<int64_t> expected;
    } cases[] = {
        {{1, 0, nullptr}, ids},        {{0, 0, nullptr}, ids},           {{7, 99, nullptr}, ids},
        {{2, 0, nullptr}, {ids[2]}},   {{3, ids[1], nullptr}, {ids[1]}}, {{3, 12345, nullptr}, {}},
        {condition, {ids[0], ids[2]}},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        EXPECT_EQ(page_.QueryRecords(&sink, &c.query), 1) << c.query.mode;
        EXPECT_EQ(sink.ids, c.expected) << c.query.mode;
    }

    RecordingSink stopping;
    stopping.stopAfter = 1;
    SetModuleError(L"");
    EXPECT_EQ(page_.QueryRecords(&stopping, nullptr), 0);
    EXPECT_EQ(stopping.ids.size(), 1u);
    EXPECT_STREQ(GetModuleErrorText(), L"");

    DataQuery broken{4, 0, L"名称 = "};
    RecordingSink none;
    EXPECT_EQ(page_.QueryRecords(&none, &broken), 0);
    EXPECT_NE(std::wstring(GetModuleErrorText()), L"");
    EXPECT_EQ(page_.QueryRecords(nullptr, nullptr), 1);
}

TEST_F(BillStore, EmptyTableListsColumnsOnly)
{
    RecordingSink sink;
    EXPECT_EQ(page_.QueryRecords(&sink, nullptr), 1);
    EXPECT_EQ(sink.columnCalls, 1);
    EXPECT_TRUE(sink.ids.empty());
}

TEST_F(BillStore, HostileValuesRoundTrip)
{
    const std::wstring values[] = {
        L"it's",
        L"100%",
        L"a_b",
        L"\"quoted\"",
        L"'; drop table P1_MainTable; --",
        L"back\\slash",
        L"中文 票据 ‘引号’",
        std::wstring(20000, L'长') + L"'%_",
    };
    for (const std::wstring& value : values) {
        page_.ResetRecordIds();
        page_.SetFieldText(L"主表.名称", 0, value.c_str());
        page_.SetFieldText(L"明细.品名", 4, value.c_str());
        ASSERT_EQ(page_.SaveRecord(), 1) << GetModuleErrorText();
        const int64_t id = page_.GetRecordId(0);
        page_.ResetRecordIds();
        ASSERT_EQ(page_.LoadRecord(id), 1);
        EXPECT_EQ(Text(L"主表.名称"), value);
        EXPECT_EQ(Text(L"明细.品名", 4), value);
    }
    EXPECT_EQ(Count("P1_MainTable"), std::to_string(std::size(values)) + "\n");
}

TEST_F(BillStore, InputHistoryMatchesTheTypedTextLiterally)
{
    for (const wchar_t* value :
         {L"it's", L"100%", L"100 percent", L"a_b", L"axb", L"A_B", L"back\\slash", L""}) {
        page_.ResetRecordIds();
        page_.SetFieldText(L"主表.名称", 0, value);
        page_.SetFieldText(L"主表.金额", 0, L"1");
        ASSERT_EQ(page_.SaveRecord(), 1);
    }
    DataField* name = page_.LookupField(L"名称");
    auto history = [&](const wchar_t* text) {
        SqlCommand command;
        EXPECT_EQ(name->QueryInputHistory(text, command), 1);
        SqlStatementRef reader;
        std::vector<std::wstring> found;
        if (!command.ExecuteReader(reader))
            return std::vector<std::wstring>{L"<failed: " + command.ErrorText() + L">"};
        while (reader->Next() == 1)
            found.push_back(reader->ColumnText(0));
        return found;
    };
    EXPECT_EQ(history(L"'"), (std::vector<std::wstring>{L"it's"}));
    EXPECT_EQ(history(L"%"), (std::vector<std::wstring>{L"100%"}));
    EXPECT_EQ(history(L"_"), (std::vector<std::wstring>{L"A_B", L"a_b"}));
    EXPECT_EQ(history(L"\\"), (std::vector<std::wstring>{L"back\\slash"}));
    EXPECT_EQ(history(L"100"), (std::vector<std::wstring>{L"100 percent", L"100%"}));
    EXPECT_EQ(history(L"").size(), 7u);
    EXPECT_EQ(history(nullptr).size(), 7u);
    EXPECT_EQ(history(L"zzz").size(), 0u);

    DataPage unprepared;
    DataField* loose = unprepared.AddField(L"x");
    SqlCommand command;
    EXPECT_EQ(loose->QueryInputHistory(L"a", command), 0);
}

TEST_F(BillStore, AFailedSaveGivesTheRowsTheirIdsBack)
{
    {
        SqlCommand trigger(&connection_);
        trigger.SetSql(L"create trigger refuse before insert on P1_table0 when new.row = 3 "
                       L"begin select raise(abort, 'line refused'); end");
        ASSERT_TRUE(trigger.Prepare() && trigger.Step());
    }
    Fill(L"new", L"5", {{0, L"x"}});
    EXPECT_EQ(page_.SaveRecord(), 0);
    EXPECT_NE(std::wstring(GetModuleErrorText()).find(L"line refused"), std::wstring::npos);
    EXPECT_EQ(page_.GetRecordId(0), -1);
    for (int32_t row = 0; row < 5; ++row)
        EXPECT_EQ(table_->GetRecordId(row), -1) << row;
    EXPECT_EQ(page_.IsModified(), 1);
    EXPECT_EQ(Count("P1_MainTable"), "0\n");

    {
        SqlCommand drop(&connection_, L"drop trigger refuse");
        ASSERT_TRUE(drop.Prepare() && drop.Step());
    }
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t id = page_.GetRecordId(0);
    EXPECT_EQ(Sqlite3(db_, "select id, 名称 from P1_MainTable"), std::to_string(id) + "|new\n");
    EXPECT_EQ(Sqlite3(db_, "select count(*) from P1_table0 where parentId = " + std::to_string(id)), "5\n");

    // A failed copy of a loaded bill leaves the page on the loaded bill.
    {
        SqlCommand trigger(&connection_);
        trigger.SetSql(
            L"create trigger refuse before insert on P1_table0 begin select raise(abort, 'no'); end");
        ASSERT_TRUE(trigger.Prepare() && trigger.Step());
    }
    const int64_t line = table_->GetRecordId(2);
    EXPECT_EQ(page_.SaveRecordAsNew(), 0);
    EXPECT_EQ(page_.GetRecordId(0), id);
    EXPECT_EQ(table_->GetRecordId(2), line);
    EXPECT_EQ(Count("P1_MainTable"), "1\n");
}

TEST_F(BillStore, NewestBillLoadsOnlyItsOwnLines)
{
    Fill(L"A", L"1", {{0, L"a0"}, {1, L"a1"}});
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t a = page_.GetRecordId(0);
    page_.ResetRecordIds();
    Fill(L"B", L"2", {{0, L"b0"}});
    ASSERT_EQ(page_.SaveRecord(), 1);
    // Bill A changes again after B was saved.
    ASSERT_EQ(page_.LoadRecord(a), 1);
    page_.SetFieldText(L"明细.品名", 2, L"a2");
    ASSERT_EQ(page_.SaveRecord(), 1);

    page_.ResetRecordIds();
    ASSERT_EQ(page_.LoadRecord(0), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"B");
    EXPECT_EQ(Text(L"明细.品名", 0), L"b0");
    EXPECT_EQ(Text(L"明细.品名", 1), L"");
    EXPECT_EQ(Text(L"明细.品名", 2), L"");
}

TEST_F(BillStore, LoadingAMissingBillEmptiesThePage)
{
    Fill(L"shown", L"1", {{0, L"x"}});
    EXPECT_EQ(page_.LoadRecord(4711), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"");
    EXPECT_EQ(Text(L"明细.品名", 0), L"");
    EXPECT_EQ(page_.GetRecordId(0), -1);
}

// What a control bound to a field sees while a bill loads: each field once, with its
// final value (never the emptied page in between), also the fields the bill leaves
// empty, and each once when the bill is missing.
TEST_F(BillStore, LoadingTellsEachFieldOnceWithItsLoadedValue)
{
    struct Seen : DataObserver {
        std::function<std::wstring()> read;
        std::vector<std::wstring> texts;
        int Update(int32_t) override
        {
            texts.push_back(read());
            return 1;
        }
    };
    Fill(L"A", L"1", {{0, L"a0"}});
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t a = page_.GetRecordId(0);
    page_.ResetRecordIds();
    Fill(L"shown", L"9", {{0, L"x0"}, {1, L"x1"}});
    struct Watch {
        const wchar_t* field;
        int32_t row;
        std::vector<std::wstring> onLoad;
    };
    std::vector<Watch> watches = {
        {L"主表.名称", 0, {L"A"}},
        {L"主表.金额", 0, {L"1"}},
        {L"明细.品名", 0, {L"a0"}},
        {L"明细.品名", 1, {L""}},
    };
    std::vector<std::unique_ptr<Seen>> seen;
    for (const Watch& watch : watches) {
        auto observer = std::make_unique<Seen>();
        observer->read = [this, watch] { return Text(watch.field, watch.row); };
        const std::wstring name = watch.field;
        DataContainer* container = name.rfind(L"主表.", 0) == 0 ? static_cast<DataContainer*>(&page_) : table_;
        container->LookupField(name.substr(name.find(L'.') + 1).c_str())->AddObserver(watch.row, observer.get());
        seen.push_back(std::move(observer));
    }
    ASSERT_EQ(page_.LoadRecord(a), 1);
    for (size_t i = 0; i < watches.size(); ++i)
        EXPECT_EQ(seen[i]->texts, watches[i].onLoad) << watches[i].field << " row " << watches[i].row;
    for (auto& observer : seen)
        observer->texts.clear();
    ASSERT_EQ(page_.LoadRecord(4711), 1);
    for (size_t i = 0; i < watches.size(); ++i)
        EXPECT_EQ(seen[i]->texts, std::vector<std::wstring>{L""}) << watches[i].field << " row " << watches[i].row;
}

TEST_F(BillStore, NewFieldsWidenTheTablesOnce)
{
    Fill(L"old", L"1");
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t id = page_.GetRecordId(0);
    page_.ClearRows();
    AddTyped(page_, L"备注", 0);
    AddTyped(page_, L"ＸＹ", 0);
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    // A field whose name differs only in letter case shares the column.
    page_.ClearRows();
    AddTyped(page_, L"memo", 0);
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    page_.ClearRows();
    AddTyped(page_, L"MEMO", 0);
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    EXPECT_EQ(Sqlite3(db_, "select group_concat(name, ',') from pragma_table_info('P1_MainTable')"),
              "id,parentId,createtime,row,名称,金额,日期,时间,备注,ＸＹ,memo\n");
    ASSERT_EQ(page_.LoadRecord(id), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"old");
    page_.SetFieldText(L"主表.memo", 0, L"m");
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(Sqlite3(db_, "select memo from P1_MainTable"), "m\n");
}

// The columns a bill is read from and written to follow the fields at once: after a
// field is renamed, and after one goes and another comes, whatever was loaded before.
TEST_F(BillStore, LoadsAndSavesFollowARenamedOrReplacedField)
{
    Fill(L"old", L"1");
    ASSERT_EQ(page_.SaveRecord(), 1);
    const int64_t id = page_.GetRecordId(0);
    ASSERT_EQ(page_.LoadRecord(id), 1);
    ASSERT_NE(page_.RenameField(L"收款人", page_.LookupField(L"名称")), nullptr);
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    ASSERT_EQ(page_.LoadRecord(id), 1);
    EXPECT_EQ(Text(L"主表.收款人"), L"");
    EXPECT_EQ(Text(L"主表.金额"), L"1");
    page_.SetFieldText(L"主表.收款人", 0, L"new");
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(Sqlite3(db_, "select 名称, 收款人 from P1_MainTable"), "old|new\n");

    page_.RemoveField(page_.LookupField(L"收款人"));
    AddTyped(page_, L"名称", 0);
    ASSERT_EQ(page_.PrepareStore(&connection_, L"P1"), 1);
    ASSERT_EQ(page_.LoadRecord(id), 1);
    EXPECT_EQ(Text(L"主表.名称"), L"old");
    page_.SetFieldText(L"主表.名称", 0, L"again");
    ASSERT_EQ(page_.SaveRecord(), 1);
    EXPECT_EQ(Sqlite3(db_, "select 名称, 收款人 from P1_MainTable"), "again|new\n");
}

TEST_F(BillStore, FieldNamesThatAreKeywordsOrFixedColumns)
{
    DataPage page;
    for (const wchar_t* name : {L"order", L"alter", L"row", L"createtime", L"ID", L"a\"b", L"select"})
        AddTyped(page, name, 0);
    ASSERT_EQ(page.PrepareStore(&connection_, L"K-1 x"), 1) << GetModuleErrorText();
    for (const wchar_t* name : {L"主表.order", L"主表.alter", L"主表.row", L"主表.createtime", L"主表.ID",
                                L"主表.a\"b", L"主表.select"})
        EXPECT_EQ(page.SetFieldText(name, 0, L"v'1"), 1) << name;
    ASSERT_EQ(page.SaveRecord(), 1) << GetModuleErrorText();
    const int64_t id = page.GetRecordId(0);
    page.ResetRecordIds();
    ASSERT_EQ(page.LoadRecord(id), 1);
    for (const wchar_t* name : {L"主表.order", L"主表.alter", L"主表.a\"b", L"主表.select"})
        EXPECT_STREQ(page.GetFieldValue(name, 0)->GetText(), L"v'1") << name;
    // Fields named like the fixed columns are filled in but have no column of
    // their own; the fixed columns keep their meaning.
    EXPECT_EQ(Sqlite3(db_, "select id, row from [K-1 x_MainTable]"), std::to_string(id) + "|0\n");
    RecordingSink sink;
    ASSERT_EQ(page.QueryRecords(&sink, nullptr), 1);
    EXPECT_EQ(sink.names, (std::vector<std::wstring>{L"order", L"alter", L"a\"b", L"select"}));
}

// A database made elsewhere whose bill table keeps its id in a column of its own: the
// rowid a save reports would not be the stored id (NULL, text or shared with another
// bill), so the bill could not be read back by it. Such a table is refused before
// anything is written; an id declared as the key in the table's own clause is the
// row key and is used.
TEST(BillStoreTables, AnIdThatIsNotTheRowKeyIsRefusedBeforeAnyBillIsSaved)
{
    struct Case {
        const char* what;
        const wchar_t* columns; // of P1_MainTable, made before the page is prepared
        bool accepted;
    };
    const std::vector<Case> cases = {
        {"integer without a key", L"id integer, parentId integer, createtime integer, row integer", false},
        {"a text key", L"id text primary key, parentId integer, createtime integer, row integer", false},
        {"an INT key", L"id int primary key, parentId integer, createtime integer, row integer", false},
        {"a descending key", L"id integer primary key desc, parentId integer, createtime integer, row integer",
         false},
        {"a key of two columns", L"id integer, parentId integer, createtime integer, row integer, primary key(id, row)",
         false},
        {"the key in a clause of its own", L"id integer, parentId integer, createtime integer, row integer, "
                                           L"primary key(id)",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doxtest::TempDir dir;
        const std::filesystem::path db = dir.path() / "doxcore.db";
        SqlConnection connection;
        ASSERT_EQ(connection.Open(db.wstring().c_str()), 1);
        {
            SqlCommand create(&connection, (std::wstring(L"create table P1_MainTable(") + c.columns + L")").c_str());
            ASSERT_TRUE(create.Prepare() && create.Step());
            // A bill already there with an id no save handed out.
            SqlCommand old(&connection, L"insert into P1_MainTable(id, row) values(7, 0)");
            ASSERT_TRUE(old.Prepare() && old.Step());
        }
        DataPage page;
        AddTyped(page, L"名称", 0);
        SetModuleError(L"");
        if (!c.accepted) {
            EXPECT_EQ(page.PrepareStore(&connection, L"P1"), 0);
            EXPECT_EQ(std::wstring(GetModuleErrorText()),
                      L"票据表“P1_MainTable”的列“id”不是它的行号（INTEGER PRIMARY KEY），存入的票据无法按号读回。");
            page.SetFieldText(L"主表.名称", 0, L"不该存入");
            page.SaveRecord();
            EXPECT_EQ(Sqlite3(db, "select count(*), group_concat(id) from P1_MainTable"), "1|7\n");
            continue;
        }
        ASSERT_EQ(page.PrepareStore(&connection, L"P1"), 1) << std::wstring(GetModuleErrorText()).size();
        page.SetFieldText(L"主表.名称", 0, L"新票据");
        ASSERT_EQ(page.SaveRecord(), 1);
        const int64_t id = page.GetRecordId(0);
        ASSERT_EQ(page.ResetRecordIds(), 1);
        ASSERT_EQ(page.LoadRecord(id), 1);
        EXPECT_STREQ(page.GetFieldValue(L"主表.名称", 0)->GetText(), L"新票据");
    }
}

TEST(BillStoreWithoutDatabase, RecordOperationsDoNothing)
{
    DataPage page;
    AddTyped(page, L"a", 0);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    page.SetFieldText(L"主表.a", 0, L"x");
    EXPECT_EQ(page.SaveRecord(), 1);
    EXPECT_EQ(page.SaveRecordAsNew(), 1);
    EXPECT_EQ(page.LoadRecord(1), 1);
    EXPECT_EQ(page.DeleteRecord(1), 1);
    EXPECT_STREQ(page.GetFieldValue(L"主表.a", 0)->GetText(), L"x");
}

} // namespace

// ---------------------------------------------------------------------------
// Several processes on one database, and a process killed while it saves.

namespace
{

// A page with two text fields on a database, as each process of these tests has it.
struct ProcessPage {
    SqlConnection connection;
    DataPage page;

    bool Open(const std::filesystem::path& db)
    {
        if (!connection.Open(db.wstring().c_str()))
            return false;
        AddTyped(page, L"名称", 0);
        AddTyped(page, L"金额", 1);
        return page.PrepareStore(&connection, L"P1") == 1;
    }

    bool Save(const std::string& name)
    {
        page.ResetRecordIds();
        const std::wstring text(name.begin(), name.end());
        page.SetFieldText(L"主表.名称", 0, text.c_str());
        page.SetFieldText(L"主表.金额", 0, L"12.5");
        return page.SaveRecord() == 1;
    }
};

// Runs body in a child process; the child's exit status is body's result.
pid_t Spawn(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    return child;
}

int ExitCode(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(BillStoreProcesses, TwoProcessesSaveIntoOneDatabaseAndEveryBillIsStored)
{
    // Neither process may inherit an open connection: the parent holds none.
    doxtest::TempDir dir;
    const std::filesystem::path db = dir / "doxcore.db";
    std::vector<pid_t> children;
    for (const char* who : {"a", "b"}) {
        children.push_back(Spawn([&db, who] {
            ProcessPage p;
            if (!p.Open(db))
                return 2;
            int failed = 0;
            for (int i = 0; i < 500; ++i)
                failed += p.Save(std::string(who) + std::to_string(i)) ? 0 : 1;
            return failed == 0 ? 0 : 1;
        }));
    }
    for (pid_t child : children)
        EXPECT_EQ(ExitCode(child), 0);
    EXPECT_EQ(Sqlite3(db, "select count(*), count(distinct 名称) from P1_MainTable"), "1000|1000\n");
    EXPECT_EQ(Sqlite3(db, "pragma integrity_check"), "ok\n");
}

TEST(BillStoreProcesses, KilledWhileSavingKeepsEveryCommittedBill)
{
    doxtest::TempDir dir;
    const std::filesystem::path db = dir / "doxcore.db";
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    // The child reports each bill once its save returned.
    const pid_t child = Spawn([&db, fds] {
        ::close(fds[0]);
        ProcessPage p;
        if (!p.Open(db))
            return 2;
        for (int i = 0;; ++i) {
            if (!p.Save("bill" + std::to_string(i)))
                return 1;
            if (::write(fds[1], &i, sizeof i) != sizeof i)
                return 3;
        }
    });
    ::close(fds[1]);
    int last = -1;
    int value = 0;
    while (last < 200 && ::read(fds[0], &value, sizeof value) == sizeof value)
        last = value;
    kill(child, SIGKILL);
    while (::read(fds[0], &value, sizeof value) == sizeof value)
        last = value;
    ::close(fds[0]);
    ExitCode(child);
    ASSERT_GE(last, 200);

    EXPECT_EQ(Sqlite3(db, "pragma integrity_check"), "ok\n");
    // Every bill reported as saved is there, in order, with its values.
    const std::string stored = Sqlite3(db, "select count(*) from P1_MainTable where 名称 = 'bill' || (id - 1) and "
                                           "金额 = '12.5' and id <= " + std::to_string(last + 1));
    EXPECT_EQ(stored, std::to_string(last + 1) + "\n");
}
