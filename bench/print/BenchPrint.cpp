// Print benchmark: a two-page template of 40 edit controls (amounts in figures and
// in Chinese capitals, digit boxes, dates, Chinese text) prints 1,000 bills in one
// job into a PDF; then one page is rendered into a 300 dpi image.
// Prints bills per second, the PDF's size and the time of the image.

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DC.h"
#include "DataPage.h"
#include "DoxControlKinds.h"
#include "DoxControlLayer.h"
#include "DoxEditControl.h"
#include "DoxPageRunner.h"
#include "DoxPrinter.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"
#include "Printers.h"

namespace
{

class BenchPage : public DoxRunnerPage, public DoxControlLayer
{
public:
    ~BenchPage()
    {
        for (DoxControl* control : controls) {
            control->SetParentLayer(nullptr);
            static_cast<ICommon*>(control)->Release();
        }
    }
    SIZE GetPageSize() override { return SIZE{2100, 990}; }
    POINT GetStoredBasePoint() override { return POINT{0, 0}; }
    std::vector<DoxControl*> GetRunControls() override { return controls; }
    bool AttachRunner(DoxPageRunner* r) override
    {
        runner = r;
        return true;
    }
    void DetachRunner(DoxPageRunner*) override { runner = nullptr; }
    DoxPageRunner* GetRunner() override { return runner; }
    DataPage* GetRunDataPage() override { return &data; }
    IDoxPage* GetInterface() override { return nullptr; }
    bool GetPageExtent(int32_t& width, int32_t& height) const override
    {
        width = 2100;
        height = 990;
        return true;
    }
    bool IsLocked() const override { return false; }
    int GetState() const override { return 1; }
    DataPage* GetPageData() override { return &data; }
    void SetModified() override {}
    void UnlinkControl(DoxControl* control) override { std::erase(controls, control); }
    DoxControl* LoadControl(const tinyxml2::XMLElement*, int, int) override { return nullptr; }

    void Add(int i, const wchar_t* type, const wchar_t* format, int columns)
    {
        const int x = 50 + (i % 2) * 1000;
        const int y = -(50 + (i / 2) * 90);
        const RECT rect{x, y, x + 900, y - 60};
        auto* edit = static_cast<DoxEditControl*>(CreateControlByKind(DoxKindEdit, this, &rect));
        controls.push_back(edit);
        const std::wstring name = L"f" + std::to_wstring(i);
        names.push_back(L"主表." + name);
        edit->DataAttribute().FieldName().SetValueText(name.c_str());
        edit->DataAttribute().FieldType().SetValueText(type);
        if (format)
            edit->Format().Format().SetValueText(format);
        if (columns > 1)
            edit->Split().ColumnItem().SetValueText(std::to_wstring(columns).c_str());
        kinds.push_back(type);
    }

    DataPage data;
    std::vector<DoxControl*> controls;
    std::vector<std::wstring> names;
    std::vector<std::wstring> kinds;
    DoxPageRunner* runner = nullptr;
};

void Build(BenchPage& page)
{
    for (int i = 0; i < 20; ++i) {
        switch (i % 5) {
        case 0:
            page.Add(i, L"数值", nullptr, 1);
            break;
        case 1:
            page.Add(i, L"数值", L"<中文大写金额>", 1);
            break;
        case 2:
            page.Add(i, L"文本", nullptr, 12);
            break;
        case 3:
            page.Add(i, L"日期", nullptr, 1);
            break;
        default:
            page.Add(i, L"文本", nullptr, 1);
            break;
        }
    }
    page.data.PrepareStore(nullptr, L"P");
}

void Fill(BenchPage& page, int bill)
{
    for (size_t i = 0; i < page.names.size(); ++i) {
        std::wstring value;
        if (page.kinds[i] == L"数值")
            value = std::to_wstring(1000 + bill * 7 + static_cast<int>(i)) + L".25";
        else if (page.kinds[i] == L"日期")
            value = L"2026-12-" + std::to_wstring(10 + bill % 18);
        else if (i % 5 == 2)
            value = std::to_wstring(600000000 + bill);
        else
            value = L"北京市朝阳区收款单位" + std::to_wstring(bill);
        page.data.SetFieldText(page.names[i].c_str(), 0, value.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterControlKinds();
    InitFormatCatalogue();
    InitDataFunctionLists();
    InitFormulaLists();

    const int bills = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::filesystem::path pdf = std::filesystem::temp_directory_path() / "dox_bench_print.pdf";
    {
        BenchPage pages[2];
        DoxPageRunner runners[2];
        for (int p = 0; p < 2; ++p) {
            Build(pages[p]);
            runners[p].CreateTools(nullptr, nullptr, nullptr);
            AttachPageRunner(&pages[p], &runners[p]);
        }

        const auto start = std::chrono::steady_clock::now();
        DoxPrinter job;
        job.SetOutputFile(QString::fromStdString(pdf.string()));
        if (!job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"bench")) {
            std::fprintf(stderr, "cannot open the PDF printer\n");
            return 1;
        }
        for (int b = 0; b < bills; ++b) {
            for (int p = 0; p < 2; ++p) {
                Fill(pages[p], b);
                job.StartPage();
                runners[p].Render(&job, 0, 0);
                job.EndPage();
            }
        }
        job.EndDoc(true);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("bills printed: %d (%d pages) in %.2f s: %.1f bills/s\n", bills, bills * 2, seconds,
                    bills / seconds);
        std::printf("PDF size: %.1f KiB\n", std::filesystem::file_size(pdf) / 1024.0);

        // One page into a 300 dpi image.
        const auto imageStart = std::chrono::steady_clock::now();
        QImage image(2100 * 300 / 254, 990 * 300 / 254, QImage::Format_RGB32);
        image.setDotsPerMeterX(static_cast<int>(300 / 0.0254));
        image.setDotsPerMeterY(static_cast<int>(300 / 0.0254));
        image.fill(Qt::white);
        {
            DCX dc;
            dc.AttachImage(&image);
            runners[0].Render(&dc, 0, 0);
        }
        const double imageMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - imageStart).count();
        std::printf("one page at 300 dpi: %.1f ms\n", imageMs);
        for (int p = 0; p < 2; ++p)
            DetachPageRunner(&runners[p]);
    }
    ShutdownFormulaLists();
    ShutdownDataFunctionLists();
    std::filesystem::remove(pdf);
    return 0;
}
