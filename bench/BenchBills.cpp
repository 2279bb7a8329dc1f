// Bills at volume: saves 100,000 bills of a page with 20 fields and a child
// table of 5 lines into a fresh database (one transaction per bill, as the
// printing program saves), lists them all through the record query, loads
// 1,000 by id and deletes 1,000, and prints each figure.
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

// Saves, lists, loads and deletes the bills in the database; 0 when every step worked.
int Run(const std::filesystem::path& db, int bills)
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
        for (int i = 0; i < 20; ++i) {
            const std::wstring text = i % 4 == 1
                                          ? std::to_wstring(b * 20 + i) + L".25"
                                          : L"票据" + std::to_wstring(b) + L"-" + std::to_wstring(i);
            page.SetFieldText((L"主表." + names[i]).c_str(), 0, text.c_str());
        }
        for (int32_t row = 0; row < 5; ++row) {
            page.SetFieldText(L"明细.品名", row, (L"货物" + std::to_wstring(row)).c_str());
            page.SetFieldText(L"明细.数量", row, std::to_wstring(row + 1).c_str());
            page.SetFieldText(L"明细.单价", row, L"9.99");
        }
        if (!page.SaveRecord())
            return Fail("save");
    }
    const double saveSeconds = SecondsSince(start);
    std::printf("saved %d bills (20 fields, 5 lines each): %.2f s, %.0f bills/s, %.3f ms/bill\n", bills,
                saveSeconds, bills / saveSeconds, saveSeconds * 1000.0 / bills);

    CountingSink sink;
    start = Clock::now();
    if (!page.QueryRecords(&sink, nullptr))
        return Fail("query");
    const double querySeconds = SecondsSince(start);
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
                "printing the time of each. The database lives in a new folder made inside the\n"
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

    int result = Run(db, bills);
    SqlConnectionPool::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return result;
}
