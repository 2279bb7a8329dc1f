// Print benchmark, the way the printing program prints: a two-page template in the bill
// database (doxcore.db) whose pages hold 40 edit controls between them (amounts in
// figures and in Chinese capitals, digit boxes, dates, Chinese text); 1,000 bills are
// stored (a bill fills both pages), then loaded and printed one by one (PrintRecord with
// load) on the "PDF" printer, in one print job per page. Then a page is rendered into an
// image at 300 dpi.
// Prints bills per second, the PDFs' size and the time of the image.
//
//   dox_bench_print [bills]

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "DC.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"

namespace
{

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Field {
    std::wstring name;
    int kind; // 0 figures, 1 capitals, 2 digit boxes, 3 date, 4 text
};

std::vector<Field> BuildPage(IDoxPage* page, int first, int count)
{
    DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);
    std::vector<Field> fields;
    for (int i = first; i < first + count; ++i) {
        const int x = 50 + (i % 2) * 1000;
        const int y = -(50 + (i / 2) * 140);
        const RECT rect{x, y, x + 900, y - 60};
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        const std::wstring name = L"f" + std::to_wstring(i);
        const int kind = i % 5;
        edit->DataAttribute().FieldName().SetValueText(name.c_str());
        edit->DataAttribute().FieldType().SetValueText(kind == 3 ? L"日期" : kind == 4 ? L"文本" : L"数值");
        switch (kind) {
        case 0:
            edit->Format().Format().SetValueText(L"#,##0.00");
            break;
        case 1:
            edit->Format().Format().SetValueText(L"<中文大写金额>");
            edit->Font().FaceName().SetValueText(L"楷体");
            break;
        case 2:
            edit->Format().Format().SetValueText(L"X100");
            edit->Split().ColumnItem().SetValueText(L"12");
            edit->Split().Style().SetValueText(L"右端");
            break;
        case 3:
            edit->Format().Format().SetValueText(L"YYYY年MM月DD日");
            break;
        default:
            break;
        }
        fields.push_back({L"主表." + name, kind});
    }
    page->ViewAllLayers();
    return fields;
}

void Fill(IDoxPage* page, const std::vector<Field>& fields, int bill)
{
    for (size_t i = 0; i < fields.size(); ++i) {
        std::wstring value;
        switch (fields[i].kind) {
        case 3:
            value = L"2026-12-" + std::to_wstring(10 + bill % 18);
            break;
        case 4:
            value = L"北京市朝阳区收款单位" + std::to_wstring(bill);
            break;
        default:
            value = std::to_wstring(1000 + bill * 7 + static_cast<int>(i)) + L".25";
            break;
        }
        page->SetFieldText(fields[i].name.c_str(), 0, value.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int bills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    // The PDF printer writes "<page name>.pdf" into the documents folder of the home
    // folder: a scratch home keeps the run to itself.
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("dox_bench_print_" + std::to_string(getpid()));
    std::filesystem::create_directories(home / "Documents");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    IDoxCore* core = CreateDoxCore(500, 0);
    if (!core) {
        std::fprintf(stderr, "the core does not start\n");
        return 1;
    }
    int status = 0;
    const std::wstring db = (home / "doxcore.db").wstring();
    IDoxDocument* document = core->CreateConnection(db.c_str(), L"bench", 2100, 2970);
    if (!document) {
        std::fprintf(stderr, "cannot create the template: %ls\n", core->GetLastErrorText());
        core->Release();
        return 1;
    }
    IDoxPage* second = document->AddPage(L"bench2", 2100, 2970);
    if (!second) {
        std::fprintf(stderr, "cannot add the second page: %ls\n", core->GetLastErrorText());
        document->Release();
        core->Release();
        return 1;
    }
    IDoxPage* pages[2] = {document->GetPage(0), second};
    const std::vector<Field> fields[2] = {BuildPage(pages[0], 0, 20), BuildPage(pages[1], 20, 20)};
    {
        DoxPageRunner runners[2];
        for (int p = 0; p < 2 && status == 0; ++p) {
            if (!runners[p].Attach(pages[p])) {
                std::fprintf(stderr, "cannot attach the runner: %ls\n", core->GetLastErrorText());
                status = 1;
            }
        }

        std::vector<int64_t> ids[2];
        const auto saveStart = Clock::now();
        for (int b = 0; b < bills && status == 0; ++b) {
            for (int p = 0; p < 2 && status == 0; ++p) {
                Fill(pages[p], fields[p], b);
                if (!pages[p]->SaveRecordAsNew(0)) {
                    std::fprintf(stderr, "bill %d not stored: %ls\n", b, core->GetLastErrorText());
                    status = 1;
                }
                ids[p].push_back(pages[p]->GetRecordId());
            }
        }
        const double saveSeconds = Seconds(saveStart);

        if (status == 0) {
            const auto start = Clock::now();
            for (int p = 0; p < 2 && status == 0; ++p) {
                if (!pages[p]->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0)) {
                    std::fprintf(stderr, "cannot open the PDF printer\n");
                    status = 1;
                    break;
                }
                for (size_t b = 0; b < ids[p].size() && status == 0; ++b) {
                    if (!pages[p]->PrintRecord(ids[p][b], 1)) {
                        std::fprintf(stderr, "bill %lld not printed\n", static_cast<long long>(ids[p][b]));
                        status = 1;
                    }
                }
                if (!pages[p]->EndPrintJob())
                    status = 1;
            }
            const double seconds = Seconds(start);
            std::printf("bills stored: %d (two pages, %zu fields) in %.2f s\n", bills,
                        fields[0].size() + fields[1].size(), saveSeconds);
            std::printf("bills loaded and printed: %d (one job per page) in %.2f s: %.1f bills/s\n", bills,
                        seconds, bills / seconds);
            std::error_code error;
            double size = 0;
            for (const char* name : {"bench.pdf", "bench2.pdf"})
                size += static_cast<double>(std::filesystem::file_size(home / "Documents" / name, error));
            std::printf("PDF size: %.1f KiB (%.2f KiB per bill)\n", size / 1024.0, size / 1024.0 / bills);
        }

        // The last bill's page into a 300 dpi image.
        if (status == 0) {
            const auto imageStart = Clock::now();
            QImage image(2100 * 300 / 254, 2970 * 300 / 254, QImage::Format_RGB32);
            image.setDotsPerMeterX(static_cast<int>(300 / 0.0254 + 0.5));
            image.setDotsPerMeterY(static_cast<int>(300 / 0.0254 + 0.5));
            image.fill(Qt::white);
            {
                DCX dc;
                dc.AttachImage(&image);
                runners[0].Render(&dc, 0, 0);
            }
            std::printf("one page at 300 dpi (%dx%d): %.1f ms\n", image.width(), image.height(),
                        Seconds(imageStart) * 1000.0);
        }
        for (DoxPageRunner& runner : runners)
            runner.Detach();
    }
    document->Release();
    core->Release();
    std::filesystem::remove_all(home);
    return status;
}
