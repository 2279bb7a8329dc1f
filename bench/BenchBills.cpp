// Bills at volume: saves 100,000 bills of a page with 20 fields and a child
// table of 5 lines into a fresh database (one transaction per bill, as the
// printing program saves), lists them all through the record query, loads
// 1,000 by id and deletes 1,000, and prints each figure. The floor beside each:
// SQLite alone doing the same to tables of the same shape in a database of its own,
// with the same journal (write-ahead log), sync (full), text encoding (UTF-16) and
// one transaction per bill, its statements prepared once.
//
// Usage: dox_bench_bills [--help] [bill count] [parent folder]
// The database goes into a new folder made inside the parent folder (default: the
// temporary folder); only that new folder is removed at the end.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"
#include "DataField.h"
#include "DataPage.h"
#include "DataTable.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"
#include "IDoxDataQuerySink.h"
#include "ModuleError.h"
#include "SqlConnection.h"
#include "SqlConnectionPool.h"

#include <sqlite3.h>

namespace
{

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CountingSink : public IDoxDataQuerySink
{
public:
    int OnColumns(IDoxColumnReader* columns) override
    {
        columnCount = columns->GetCount();
        return 1;
    }
    int OnRecord(IDoxRecordReader* record) override
    {
        ids.push_back(record->GetId());
        // Read every column, as the bill grid does.
        for (int32_t i = 0; i < record->GetCount(); ++i)
            textBytes += std::wcslen(record->GetText(i));
        return 1;
    }
    int32_t columnCount = 0;
    size_t textBytes = 0;
    std::vector<int64_t> ids;
};

int Fail(const char* what)
{
    std::fprintf(stderr, "%s failed: %ls\n", what, GetModuleErrorText());
    return 1;
}

// The seconds of each step, the core's or the floor's.
struct Steps {
    double save = 0;
    double list = 0;
    double load = 0;   // a bill
    double remove = 0; // a bill
};

std::wstring MainText(int bill, int field)
{
    return field % 4 == 1 ? std::to_wstring(bill * 20 + field) + L".25"
                          : L"票据" + std::to_wstring(bill) + L"-" + std::to_wstring(field);
}

// SQLite alone: the same bills into tables of the same shape; 0 when every step worked.
int RunFloor(const std::filesystem::path& path, int bills, Steps& steps)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return 1;
    }
    std::string main = "create table m (id integer primary key autoincrement not null, createtime integer";
    std::string insertMain = "insert into m (createtime";
    std::string values = ") values (?";
    std::string select = "select ";
    // Appended piece by piece: GCC 12 warns falsely of a string concatenation's copy.
    for (int i = 0; i < 20; ++i) {
        const std::string column = std::to_string(i);
        main.append(", f").append(column).append(" text");
        insertMain.append(", f").append(column);
        values.append(", ?");
        select.append("f").append(column).append(", ");
    }
    main.append(")");
    insertMain.append(values).append(")");
    select.append("id from m");
    std::string selectOne = select;
    selectOne.append(" where id = ?");
    const char* setup[] = {
        "PRAGMA encoding = 'UTF-16le'",
        "PRAGMA journal_mode = WAL",
        "PRAGMA synchronous = FULL",
        main.c_str(),
        "create table d (id integer primary key autoincrement not null, parentId integer, "
        "createtime integer, row integer, a text, b text, c text)",
        "create index d_parentId on d (parentId)",
    };
    bool ok = true;
    for (const char* sql : setup)
        ok = ok && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt* begin = nullptr;
    sqlite3_stmt* commit = nullptr;
    sqlite3_stmt* addMain = nullptr;
    sqlite3_stmt* addLine = nullptr;
    sqlite3_stmt* list = nullptr;
    sqlite3_stmt* loadMain = nullptr;
    sqlite3_stmt* loadLines = nullptr;
    sqlite3_stmt* dropMain = nullptr;
    sqlite3_stmt* dropLines = nullptr;
    const std::pair<sqlite3_stmt**, std::string> statements[] = {
        {&begin, "begin immediate transaction"},
        {&commit, "commit transaction"},
        {&addMain, insertMain},
        {&addLine, "insert into d (parentId, createtime, row, a, b, c) values (?, ?, ?, ?, ?, ?)"},
        {&list, select},
        {&loadMain, selectOne},
        {&loadLines, "select row, a, b, c from d where parentId = ? order by row"},
        {&dropMain, "delete from m where id = ?"},
        {&dropLines, "delete from d where parentId = ?"},
    };
    for (const auto& [statement, sql] : statements)
        ok = ok && sqlite3_prepare_v2(db, sql.c_str(), -1, statement, nullptr) == SQLITE_OK;
    const auto run = [](sqlite3_stmt* statement) {
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        return rc == SQLITE_DONE;
    };
    const auto bind = [](sqlite3_stmt* statement, int index, const std::wstring& text) {
        const std::u16string wide(text.begin(), text.end());
        sqlite3_bind_text16(statement, index, wide.data(), static_cast<int>(wide.size() * 2),
                            SQLITE_TRANSIENT);
    };
    std::vector<int64_t> ids;
    auto start = Clock::now();
    for (int b = 0; ok && b < bills; ++b) {
        ok = run(begin);
        sqlite3_bind_int64(addMain, 1, b);
        for (int i = 0; i < 20; ++i)
            bind(addMain, i + 2, MainText(b, i));
        ok = ok && run(addMain);
        const int64_t id = sqlite3_last_insert_rowid(db);
        for (int row = 0; ok && row < 5; ++row) {
            sqlite3_bind_int64(addLine, 1, id);
            sqlite3_bind_int64(addLine, 2, b);
            sqlite3_bind_int(addLine, 3, row);
            bind(addLine, 4, L"货物" + std::to_wstring(row));
            bind(addLine, 5, std::to_wstring(row + 1));
            bind(addLine, 6, L"9.99");
            ok = run(addLine);
        }
        ok = ok && run(commit);
    }
    steps.save = SecondsSince(start);
    // Every column of every bill read as text, as the list reads them.
    size_t bytes = 0;
    start = Clock::now();
    while (ok && sqlite3_step(list) == SQLITE_ROW) {
        for (int c = 0; c < 20; ++c) {
            sqlite3_column_text16(list, c);
            bytes += static_cast<size_t>(sqlite3_column_bytes16(list, c));
        }
        ids.push_back(sqlite3_column_int64(list, 20));
    }
    sqlite3_reset(list);
    steps.list = SecondsSince(start);
    ok = ok && bytes > 0 && ids.size() == static_cast<size_t>(bills);
    std::mt19937_64 random(20241210);
    start = Clock::now();
    for (int i = 0; ok && i < 1000; ++i) {
        const int64_t id = ids[random() % ids.size()];
        for (sqlite3_stmt* statement : {loadMain, loadLines}) {
            sqlite3_bind_int64(statement, 1, id);
            while (sqlite3_step(statement) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(statement); ++c)
                    sqlite3_column_text16(statement, c);
            sqlite3_reset(statement);
        }
    }
    steps.load = SecondsSince(start) / 1000.0;
    const size_t stride = std::max<size_t>(1, ids.size() / 1000);
    size_t dropped = 0;
    start = Clock::now();
    for (size_t i = 0; ok && i < ids.size() && dropped < 1000; i += stride, ++dropped) {
        ok = run(begin);
        for (sqlite3_stmt* statement : {dropMain, dropLines}) {
            sqlite3_bind_int64(statement, 1, ids[i]);
            ok = ok && run(statement);
        }
        ok = ok && run(commit);
    }
    steps.remove = dropped ? SecondsSince(start) / static_cast<double>(dropped) : 0;
    for (const auto& [statement, sql] : statements)
        sqlite3_finalize(*statement);
    sqlite3_close(db);
    return ok ? 0 : 1;
}

// Saves, lists, loads and deletes the bills in the database; 0 when every step worked.
int Run(const std::filesystem::path& db, int bills, Steps& steps)
{
    SqlConnection connection;
    if (!connection.Open(db.wstring().c_str()))
        return Fail("open");

    DataPage page;
    std::vector<std::wstring> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back(L"字段" + std::to_wstring(i + 1));
        page.AddField(names.back().c_str())->SetType(i % 4 == 1 ? 1 : 0);
    }
    DataTable* table = page.AddTable(L"明细");
    table->SetRows(5);
    for (const wchar_t* name : {L"品名", L"数量", L"单价"})
        table->AddField(name)->SetType(name[0] == L'品' ? 0 : 1);
    if (!page.PrepareStore(&connection, L"{BENCH-PAGE}"))
        return Fail("prepare");

    auto start = Clock::now();
    for (int b = 0; b < bills; ++b) {
        page.ResetRecordIds();
        for (int i = 0; i < 20; ++i)
            page.SetFieldText((L"主表." + names[i]).c_str(), 0, MainText(b, i).c_str());
        for (int32_t row = 0; row < 5; ++row) {
            page.SetFieldText(L"明细.品名", row, (L"货物" + std::to_wstring(row)).c_str());
            page.SetFieldText(L"明细.数量", row, std::to_wstring(row + 1).c_str());
            page.SetFieldText(L"明细.单价", row, L"9.99");
        }
        if (!page.SaveRecord())
            return Fail("save");
    }
    const double saveSeconds = SecondsSince(start);
    steps.save = saveSeconds;
    std::printf("saved %d bills (20 fields, 5 lines each): %.2f s, %.0f bills/s, %.3f ms/bill\n", bills,
                saveSeconds, bills / saveSeconds, saveSeconds * 1000.0 / bills);

    CountingSink sink;
    start = Clock::now();
    if (!page.QueryRecords(&sink, nullptr))
        return Fail("query");
    const double querySeconds = SecondsSince(start);
    steps.list = querySeconds;
    std::printf("queried all %zu bills (%d columns read): %.1f ms per query\n", sink.ids.size(),
                sink.columnCount, querySeconds * 1000.0);

    std::mt19937_64 random(20241210);
    std::vector<int64_t> picks;
    for (int i = 0; i < 1000 && !sink.ids.empty(); ++i)
        picks.push_back(sink.ids[random() % sink.ids.size()]);
    start = Clock::now();
    for (int64_t id : picks) {
        if (!page.LoadRecord(id))
            return Fail("load");
    }
    const double loadSeconds = SecondsSince(start);
    steps.load = picks.empty() ? 0 : loadSeconds / picks.size();
    std::printf("loaded %zu bills by id: %.3f ms per bill\n", picks.size(),
                picks.empty() ? 0.0 : loadSeconds * 1000.0 / picks.size());

    std::vector<int64_t> doomed;
    const size_t stride = std::max<size_t>(1, sink.ids.size() / 1000);
    for (size_t i = 0; i < sink.ids.size() && doomed.size() < 1000; i += stride)
        doomed.push_back(sink.ids[i]);
    start = Clock::now();
    for (int64_t id : doomed) {
        if (!page.DeleteRecord(id))
            return Fail("delete");
    }
    const double deleteSeconds = SecondsSince(start);
    steps.remove = doomed.empty() ? 0 : deleteSeconds / doomed.size();
    std::printf("deleted %zu bills: %.3f ms per bill\n", doomed.size(),
                doomed.empty() ? 0.0 : deleteSeconds * 1000.0 / doomed.size());
    std::printf("database: %.1f MB\n", std::filesystem::file_size(db) / 1048576.0);
    page.ClearRows();
    return 0;
}

void Usage()
{
    std::printf("usage: dox_bench_bills [bill count] [parent folder]\n"
                "\n"
                "Saves the bills (default 100000; 20 fields and 5 lines each, one transaction per\n"
                "bill) into a new doxcore.db, lists them all, loads 1,000 by id and deletes 1,000,\n"
                "printing the time of each, beside SQLite alone doing the same with the same journal,\n"
                "sync and encoding. The databases live in a new folder made inside the\n"
                "parent folder (default: the temporary folder); that new folder is removed at the\n"
                "end and nothing else in the parent folder is touched.\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (bench::AskedForHelp(argc, argv)) {
        Usage();
        return 0;
    }
    const int bills = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (bills <= 0 || argc > 3) {
        Usage();
        return 2;
    }
    const std::filesystem::path parent =
        argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    std::string pattern = (parent / "dox_bench_bills.XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "cannot make a folder in %s: %s\n", parent.c_str(), std::strerror(errno));
        return 1;
    }
    const std::filesystem::path folder = pattern;
    const std::filesystem::path db = folder / "doxcore.db";

    InitFormatCatalogue();
    InitDataFunctionLists();
    InitFormulaLists();
    SqlConnectionPool::Init();

    Steps core, floor;
    int result = Run(db, bills, core);
    SqlConnectionPool::Shutdown();
    if (result == 0) {
        if (RunFloor(folder / "floor.db", bills, floor) != 0) {
            std::fprintf(stderr, "the SQLite floor failed\n");
            result = 1;
        } else {
            std::printf("floor, SQLite alone (same journal, sync and encoding):\n");
            const struct {
                const char* what;
                double core;
                double floor;
            } rows[] = {
                {"save a bill, ms", core.save * 1000.0 / bills, floor.save * 1000.0 / bills},
                {"list every bill, ms", core.list * 1000.0, floor.list * 1000.0},
                {"load a bill, ms", core.load * 1000.0, floor.load * 1000.0},
                {"delete a bill, ms", core.remove * 1000.0, floor.remove * 1000.0},
            };
            for (const auto& row : rows)
                std::printf("  %-20s core %8.3f  floor %8.3f  ratio %.2fx\n", row.what, row.core, row.floor,
                            row.core / row.floor);
        }
    }
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return result;
}
