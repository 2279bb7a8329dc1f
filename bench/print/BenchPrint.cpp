// Print benchmark: a bank branch's print run. One 210 x 99 mm page with 40 text fields
// in ten face and size pairs, 18 of them holding Chinese text, is filled and printed
// bill after bill into one PDF, once through the core's public interface (SetFieldText
// for each field, then PrintRecord on the "PDF" printer) and once through a bare Qt
// program of our own that draws the same texts into the same boxes with QPainter on a
// QPdfWriter; both sides have their values made before the clock starts. The process
// leaves the heap as the C library sets it up, as a client program of the core does.
// The two sides take turns for several rounds; prints each round and the median of
// the rounds' ratios, the peak memory after 1,000 and after 5,000 bills through the
// core, the PDF size per bill, and whether every Chinese value comes back out of the
// core's PDF (pdftotext). Beside these rounds in one warmed-up process, each side is
// also timed as a client that prints once: every side in a fresh process of its own
// (this program run again), without warm-up, the two again taking turns.

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "BenchSupport.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "FontSubstitution.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"

namespace
{

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kFields = 40;
constexpr int kChineseFields = 18;
constexpr int kPageWidth = 2100; // 0.1 mm
constexpr int kPageHeight = 990;

// Ten face and size pairs; field i uses pair i % 10.
struct FacePair {
    const wchar_t* face;
    int points;
};
constexpr FacePair kFaces[10] = {{L"宋体", 10}, {L"黑体", 12}, {L"楷体", 11}, {L"仿宋", 10},
                                 {L"微软雅黑", 9}, {L"宋体", 14}, {L"黑体", 9},  {L"楷体", 14},
                                 {L"仿宋", 12},    {L"微软雅黑", 11}};

// Field boxes in 0.1 mm, y up from the page's top edge (the page's logical units).
RECT FieldBox(int i)
{
    const int x = 60 + (i % 4) * 505;
    const int y = -(60 + (i / 4) * 88);
    return RECT{x, y, x + 480, y - 70};
}

const wchar_t* const kChinesePrefixes[6] = {L"收款单位", L"付款人全称", L"开户银行", L"用途摘要", L"经办网点",
                                            L"备注说明"};

// The value of field i on a bill. A Chinese value ends with "号" so no value is a
// prefix of another when they are looked for in the extracted text.
std::wstring FieldValue(int i, int bill)
{
    if (i < kChineseFields)
        return std::wstring(kChinesePrefixes[i % 6]) + L"第" + std::to_wstring(bill) + L"-" +
               std::to_wstring(i) + L"号";
    if (i % 2 == 0)
        return std::to_wstring(1000 + bill * 7 + i) + L".25";
    return L"6222 0210 " + std::to_wstring(100000 + bill) + L" " + std::to_wstring(i);
}

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Peak resident memory of this process so far, in MiB.
double PeakMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    }
    return 0;
}

double FileKiB(const fs::path& path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0.0 : static_cast<double>(size) / 1024.0;
}

class CorePrinter
{
public:
    bool Build(IDoxCore* core, const fs::path& templatePath)
    {
        document_ = core->CreateTemplate(templatePath.wstring().c_str(), L"bench", kPageWidth, kPageHeight);
        if (!document_)
            return false;
        page_ = document_->GetPage(0);
        DoxLayer* layer = static_cast<DoxPage*>(page_)->GetLayer(0);
        for (int i = 0; i < kFields; ++i) {
            const RECT rect = FieldBox(i);
            auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
            if (!edit)
                return false;
            const std::wstring name = L"f" + std::to_wstring(i);
            edit->DataAttribute().FieldName().SetValueText(name.c_str());
            edit->DataAttribute().FieldType().SetValueText(L"文本");
            edit->Font().FaceName().SetValueText(kFaces[i % 10].face);
            edit->Font().Size().SetValueText(std::to_wstring(kFaces[i % 10].points).c_str());
            edit->Align().HAlignItem().SetValueText(L"左对齐");
            edit->Align().VAlignItem().SetValueText(L"居中");
            names_.push_back(L"主表." + name);
        }
        page_->ViewAllLayers();
        return runner_.Attach(page_) != 0;
    }

    // Prints the bills (each its fields' values) into one PDF named after the page.
    bool Print(const std::vector<std::vector<std::wstring>>& bills)
    {
        if (!page_->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0))
            return false;
        bool ok = true;
        for (size_t b = 0; b < bills.size() && ok; ++b) {
            for (int i = 0; i < kFields; ++i)
                page_->SetFieldText(names_[static_cast<size_t>(i)].c_str(), 0,
                                    bills[b][static_cast<size_t>(i)].c_str());
            ok = page_->PrintRecord(0, 0) != 0;
        }
        return page_->EndPrintJob() != 0 && ok;
    }

    void Close()
    {
        runner_.Detach();
        if (document_)
            document_->Release();
        document_ = nullptr;
    }

private:
    IDoxDocument* document_ = nullptr;
    IDoxPage* page_ = nullptr;
    DoxPageRunner runner_;
    std::vector<std::wstring> names_;
};

// The values of bills [first, first + count), for the core and for the bare program.
std::vector<std::vector<std::wstring>> CoreValues(int first, int count)
{
    std::vector<std::vector<std::wstring>> bills(static_cast<size_t>(count));
    for (int b = 0; b < count; ++b)
        for (int i = 0; i < kFields; ++i)
            bills[static_cast<size_t>(b)].push_back(FieldValue(i, first + b));
    return bills;
}

std::vector<std::vector<QString>> BareValues(int first, int count)
{
    std::vector<std::vector<QString>> bills(static_cast<size_t>(count));
    for (int b = 0; b < count; ++b)
        for (int i = 0; i < kFields; ++i)
            bills[static_cast<size_t>(b)].push_back(QString::fromStdWString(FieldValue(i, first + b)));
    return bills;
}

// The same texts in the same boxes, drawn the plain Qt way.
bool PrintBare(const fs::path& pdf, const std::vector<std::vector<QString>>& bills)
{
    QPdfWriter writer(QString::fromStdString(pdf.string()));
    writer.setPageSize(QPageSize(QSizeF(kPageWidth / 10.0, kPageHeight / 10.0), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(1200);
    const double perTenthMm = writer.resolution() / 254.0;
    QFont fonts[10];
    for (int k = 0; k < 10; ++k) {
        fonts[k] = QFont(plat::ResolveFontFamily(QString::fromWCharArray(kFaces[k].face)));
        fonts[k].setPixelSize(static_cast<int>(kFaces[k].points * 254.0 / 72.0 * perTenthMm + 0.5));
    }
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (size_t b = 0; b < bills.size(); ++b) {
        if (b > 0 && !writer.newPage())
            return false;
        for (int i = 0; i < kFields; ++i) {
            const RECT box = FieldBox(i);
            const QRectF rect(box.left * perTenthMm, -box.top * perTenthMm, (box.right - box.left) * perTenthMm,
                              (box.top - box.bottom) * perTenthMm);
            painter.setFont(fonts[i % 10]);
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, bills[b][static_cast<size_t>(i)]);
        }
    }
    return painter.end();
}

// How many of the Chinese values of bills [0, bills) pdftotext finds in the PDF, each
// bill's on its own page; -1 when pdftotext cannot run.
long ChineseFound(const fs::path& pdf, const fs::path& text, int bills)
{
    const std::string command = "pdftotext -q -enc UTF-8 '" + pdf.string() + "' '" + text.string() + "'";
    if (std::system(command.c_str()) != 0)
        return -1;
    std::ifstream in(text, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const QString all = QString::fromUtf8(buffer.str());
    // pdftotext ends each page with a form feed: a bill's values are looked for in its
    // own page only, so the check grows with the bills, not with their square.
    const QStringList pages = all.split(QChar(u'\f'));
    long found = 0;
    for (int b = 0; b < bills && b < pages.size(); ++b) {
        for (int i = 0; i < kChineseFields; ++i)
            found += pages[b].contains(QString::fromStdWString(FieldValue(i, b))) ? 1 : 0;
    }
    return found;
}

double MedianOf(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

long MinorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// The "PDF" printer writes "<page name>.pdf" into the documents folder of the home
// folder: a home inside the run's own folder keeps the run to itself.
void UseHome(const fs::path& home)
{
    fs::create_directories(home / "Documents");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// One side of a fresh-process round, run in this process as it was started: prints
// the bills once, without warm-up, and writes "<seconds> <minor page faults>" of the
// print alone to the standard output.
int RunSide(int argc, char** argv, const std::string& side, const fs::path& home, int bills)
{
    UseHome(home);
    QApplication app(argc, argv);
    bool ok = false;
    double seconds = 0;
    long faults = 0;
    if (side == "core") {
        IDoxCore* core = CreateDoxCore(500, 0);
        if (!core) {
            std::fprintf(stderr, "the core does not start\n");
            return 1;
        }
        {
            CorePrinter printer;
            if (printer.Build(core, home / "bench.dxt")) {
                const auto values = CoreValues(0, bills);
                faults = MinorFaults();
                const auto start = Clock::now();
                ok = printer.Print(values);
                seconds = Seconds(start);
                faults = MinorFaults() - faults;
            } else {
                std::fprintf(stderr, "cannot build the template: %ls\n", core->GetLastErrorText());
            }
            printer.Close();
        }
        core->Release();
    } else {
        const auto values = BareValues(0, bills);
        faults = MinorFaults();
        const auto start = Clock::now();
        ok = PrintBare(home / "bare.pdf", values);
        seconds = Seconds(start);
        faults = MinorFaults() - faults;
    }
    if (!ok) {
        std::fprintf(stderr, "printing failed (%s)\n", side.c_str());
        return 1;
    }
    std::printf("%.6f %ld\n", seconds, faults);
    return 0;
}

struct FreshFigures {
    std::vector<double> core, bare, ratios;
};

// Rounds of the two sides as clients that print once, each side in a new process of
// this program, the sides taking turns. False when a side failed.
bool FreshRounds(const fs::path& work, int bills, int rounds, FreshFigures& figures)
{
    for (int round = 0; round < rounds; ++round) {
        double seconds[2] = {0, 0};
        long faults[2] = {0, 0};
        for (int turn = 0; turn < 2; ++turn) {
            const int side = (turn == 0) == (round % 2 == 0) ? 0 : 1;
            const char* name = side == 0 ? "core" : "bare";
            const fs::path home = work / ("fresh-" + std::to_string(round + 1) + "-" + name);
            const auto lines =
                bench::RunProgram({"--side", name, "--side-folder", home.string(), "--bills", std::to_string(bills)});
            std::error_code removed;
            fs::remove_all(home, removed);
            if (lines.empty() || std::sscanf(lines.back().c_str(), "%lf %ld", &seconds[side], &faults[side]) != 2 ||
                seconds[side] <= 0) {
                std::fprintf(stderr, "the %s side in a fresh process failed\n", name);
                return false;
            }
        }
        figures.core.push_back(seconds[0]);
        figures.bare.push_back(seconds[1]);
        figures.ratios.push_back(seconds[0] / seconds[1]);
        std::printf("fresh round %d: core %.3f s (%ld minor faults), bare %.3f s (%ld minor faults), ratio %.2f\n",
                    round + 1, seconds[0], faults[0], seconds[1], faults[1], seconds[0] / seconds[1]);
        std::fflush(stdout);
    }
    return true;
}

void Usage()
{
    std::printf(
        "usage: dox_bench_print [--bills N] [--rounds R] [--fresh-rounds F] [--memory-bills M]\n"
        "                       [--folder PARENT] [--keep]\n"
        "\n"
        "Prints N bills (default 1000) of a 210 x 99 mm page with 40 text fields, 18 of\n"
        "them Chinese, into one PDF through the core and through a bare QPainter/QPdfWriter\n"
        "program, the two taking turns for R rounds (default 7), with the heap as the C\n"
        "library sets it up; reports each round's times and ratio and the median ratio, the\n"
        "peak memory after N and after M bills (default 5000) through the core, the PDF size\n"
        "per bill and how many Chinese values pdftotext finds in the core's PDF.\n"
        "\n"
        "Before that, F rounds (default 7, 0 for none) time each side as a client that\n"
        "prints once: every side prints the N bills in a fresh process of its own (this\n"
        "program run again), without warm-up and with the heap untouched, the two taking\n"
        "turns; reports each round's times, ratio and minor page faults, and the median\n"
        "ratio beside the one of the rounds in one process.\n"
        "\n"
        "The work happens in a new folder made inside PARENT (default: the temporary\n"
        "folder); that new folder is removed at the end unless --keep is given. Nothing\n"
        "else in PARENT is touched.\n");
}

} // namespace

int main(int argc, char** argv)
{
    int bills = 1000;
    int memoryBills = 5000;
    int rounds = 7;
    int freshRounds = 7;
    fs::path parent = fs::temp_directory_path();
    bool keep = false;
    // A side of a fresh-process round: this program run again by the rounds below.
    std::string side;
    fs::path sideFolder;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        }
        if (arg == "--keep") {
            keep = true;
        } else if (arg == "--side" && a + 1 < argc) {
            side = argv[++a];
        } else if (arg == "--side-folder" && a + 1 < argc) {
            sideFolder = argv[++a];
        } else if (arg == "--fresh-rounds" && a + 1 < argc) {
            freshRounds = std::max(0, std::atoi(argv[++a]));
        } else if ((arg == "--bills" || arg == "--memory-bills" || arg == "--folder" || arg == "--rounds") &&
                   a + 1 < argc) {
            const char* value = argv[++a];
            if (arg == "--folder")
                parent = value;
            else
                (arg == "--bills"    ? bills
                 : arg == "--rounds" ? rounds
                                     : memoryBills) = std::max(1, std::atoi(value));
        } else {
            std::fprintf(stderr, "unknown argument: %s\n", arg.c_str());
            Usage();
            return 2;
        }
    }
    if (!side.empty()) {
        if ((side != "core" && side != "bare") || sideFolder.empty()) {
            std::fprintf(stderr, "--side takes core or bare, with --side-folder\n");
            return 2;
        }
        return RunSide(argc, argv, side, sideFolder, bills);
    }

    std::string pattern = (parent / "dox_bench_print.XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::fprintf(stderr, "cannot make a folder in %s: %s\n", parent.c_str(), std::strerror(errno));
        return 1;
    }
    const fs::path work = pattern;

    // The clients that print once go first, while this process has made no Qt object:
    // each side runs in a process of its own started afresh.
    FreshFigures fresh;
    if (freshRounds > 0 && !FreshRounds(work, bills, freshRounds, fresh)) {
        std::error_code error;
        if (!keep)
            fs::remove_all(work, error);
        return 1;
    }
    UseHome(work);

    int status = 0;
    // The heap is left as the C library sets it up: a client of the core may never
    // tune it, and the floor shares the process.
    {
        QApplication app(argc, argv);
        IDoxCore* core = CreateDoxCore(500, 0);
        if (!core) {
            std::fprintf(stderr, "the core does not start\n");
            status = 1;
        }
        CorePrinter printer;
        if (status == 0 && !printer.Build(core, work / "bench.dxt")) {
            std::fprintf(stderr, "cannot build the template: %ls\n", core->GetLastErrorText());
            status = 1;
        }
        const fs::path corePdf = work / "Documents" / "bench.pdf";
        const fs::path barePdf = work / "bare.pdf";
        const auto coreBills = CoreValues(0, bills);
        const auto bareBills = BareValues(0, bills);
        if (status == 0) {
            // Warm both paths up (font database, PDF engine) before timing either.
            if (!printer.Print(CoreValues(0, 20)) || !PrintBare(barePdf, BareValues(0, 20))) {
                std::fprintf(stderr, "the warm-up print failed\n");
                status = 1;
            }
        }
        std::vector<double> coreTimes, bareTimes, ratios;
        double coreMiB = 0;
        for (int round = 0; status == 0 && round < rounds; ++round) {
            // The PDF printer never overwrites a file: without the last PDF the run
            // writes the name read below again.
            std::error_code removed;
            fs::remove(corePdf, removed);
            fs::remove(barePdf, removed);
            // The sides take turns, each first every other round.
            double coreSeconds = 0, bareSeconds = 0;
            bool coreOk = true, bareOk = true;
            for (int side = 0; side < 2; ++side) {
                const auto start = Clock::now();
                if ((side == 0) == (round % 2 == 0)) {
                    coreOk = printer.Print(coreBills);
                    coreSeconds = Seconds(start);
                } else {
                    bareOk = PrintBare(barePdf, bareBills);
                    bareSeconds = Seconds(start);
                }
            }
            if (!coreOk || !bareOk) {
                std::fprintf(stderr, "printing failed (core %d, bare %d)\n", coreOk, bareOk);
                status = 1;
                break;
            }
            coreMiB = PeakMiB();
            coreTimes.push_back(coreSeconds);
            bareTimes.push_back(bareSeconds);
            ratios.push_back(coreSeconds / bareSeconds);
            std::printf("round %d: core %.3f s, bare %.3f s, ratio %.2f\n", round + 1, coreSeconds,
                        bareSeconds, coreSeconds / bareSeconds);
        }
        if (status == 0) {
            const double coreSeconds = MedianOf(coreTimes);
            const double bareSeconds = MedianOf(bareTimes);
            const double coreKiB = FileKiB(corePdf);
            const double bareKiB = FileKiB(barePdf);
            const long found = ChineseFound(corePdf, work / "bench.txt", bills);
            std::printf("bills: %d (%d fields, %d of them Chinese, one PDF), %d rounds\n", bills, kFields,
                        kChineseFields, rounds);
            std::printf(
                "core: %.3f s (%.0f bills/s), bare QPainter/QPdfWriter: %.3f s (%.0f bills/s), medians\n",
                coreSeconds, bills / coreSeconds, bareSeconds, bills / bareSeconds);
            std::printf("ratio core/bare, median of the rounds: %.2f (goal 1.3)\n", MedianOf(ratios));
            if (!fresh.ratios.empty())
                std::printf("ratio core/bare, each side in a fresh process, median of %d rounds: %.2f (goal 1.3; "
                            "core %.3f s, bare %.3f s, medians)\n",
                            freshRounds, MedianOf(fresh.ratios), MedianOf(fresh.core), MedianOf(fresh.bare));
            std::printf("PDF per bill: core %.2f KiB, bare %.2f KiB\n", coreKiB / bills, bareKiB / bills);
            if (found < 0)
                std::printf("Chinese values in the PDF: pdftotext did not run\n");
            else
                std::printf("Chinese values in the PDF: %ld of %ld (%.1f %%)\n", found,
                            static_cast<long>(bills) * kChineseFields,
                            100.0 * found / (static_cast<double>(bills) * kChineseFields));
            std::printf("peak memory after %d bills: %.1f MiB\n", bills, coreMiB);
        }
        if (status == 0 && memoryBills > bills) {
            std::error_code removed;
            fs::remove(corePdf, removed);
            if (!printer.Print(CoreValues(0, memoryBills))) {
                std::fprintf(stderr, "printing %d bills failed\n", memoryBills);
                status = 1;
            } else {
                std::printf("peak memory after %d bills: %.1f MiB\n", memoryBills, PeakMiB());
            }
        }
        printer.Close();
        if (core)
            core->Release();
    }
    if (keep) {
        std::printf("work folder kept: %s\n", work.c_str());
    } else {
        std::error_code error;
        fs::remove_all(work, error);
    }
    return status;
}
