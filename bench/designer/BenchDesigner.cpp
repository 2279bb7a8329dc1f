// One arrow key moving every selected control in the designer, at 250, 500, 1,000 and
// 2,000 controls: a template page of edit controls is opened in the designer (the
// ribbon frame, the design page and its real property and layer panes, the core loaded
// as the program loads it), everything is selected with Ctrl+A and Right is pressed
// five times, each key timed with the paint and the idle update it causes. The floor,
// in the same run: the core's design window alone on the same page, the same keys.
// Each figure comes from a process of its own.
//
//   dox_bench_designer [--help] [controls...]      (default 250 500 1000 2000)

#include "BenchSupport.h"
#include "CDesignPage.h"
#include "CDesignView.h"
#include "CDoxDesigner.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "DoxControl.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "IDoxCore.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

void RegisterDesignerPanes();

namespace
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKeys = 5;

double MsSince(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// A page of 420 x 297 mm with the controls in a grid of small edit boxes.
bool MakeTemplate(const fs::path& path, int controls)
{
    IDoxCore* core = CreateDoxCore(500, 0);
    if (!core)
        return false;
    IDoxDocument* document = core->CreateTemplate(path.wstring().c_str(), L"页", 4200, 2970);
    bool ok = document != nullptr;
    if (ok) {
        DoxLayer* layer = static_cast<DoxPage*>(document->GetPage(0))->GetLayer(0);
        const int columns = 50;
        for (int i = 0; i < controls && ok; ++i) {
            const int x = 20 + (i % columns) * 80;
            const int y = -(20 + (i / columns) * 60);
            const RECT rect{x, y, x + 70, y - 50};
            ok = layer->CreateControl(DoxKindEdit, &rect) != nullptr;
        }
        ok = ok && document->Save() == 1;
        document->Release();
    }
    core->Release();
    return ok;
}

// Ctrl+A, then the keys on the canvas; prints "key <ms>" for each.
void TimeKeys(QWidget* canvas, const std::function<void()>& idle)
{
    QTest::keyClick(canvas, Qt::Key_A, Qt::ControlModifier);
    Settle();
    idle();
    for (int k = 0; k < kKeys; ++k) {
        const auto start = Clock::now();
        QTest::keyClick(canvas, Qt::Key_Right);
        Settle();
        idle();
        std::printf("key %.2f\n", MsSince(start));
    }
}

QWidget* CanvasOf(IDoxDesignWindow* window)
{
    QWidget* outer = window ? window->GetHwnd() : nullptr;
    return outer ? outer->childAt(outer->width() / 2, outer->height() / 2) : nullptr;
}

// The core's design window alone, 1400 x 900 as the designer's frame.
int Floor(const fs::path& path, int argc, char** argv)
{
    QApplication app(argc, argv);
    IDoxCore* core = CreateDoxCore(500, 0);
    IDoxDocument* document = core ? core->OpenTemplate(path.wstring().c_str()) : nullptr;
    if (!document)
        return 1;
    const QRect rect(0, 0, 1400, 900);
    IDoxDesignWindow* window = core->CreateDesignWindow(document->GetPage(0), 0x10000000u, &rect, nullptr, 1);
    if (!window)
        return 1;
    window->GetHwnd()->show();
    if (!QTest::qWaitForWindowExposed(window->GetHwnd()))
        return 1;
    Settle();
    QWidget* canvas = CanvasOf(window);
    if (!canvas)
        return 1;
    canvas->setFocus();
    TimeKeys(canvas, [] {});
    std::printf("selected %d\n", window->GetSelectedCount());
    std::fflush(stdout);
    window->Release();
    document->Release();
    core->Release();
    return 0;
}

// The designer with the template on its command line.
int Designer(const fs::path& path, int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DoxDesigner"));
    RegisterDesignerPanes();
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const fs::path bin =
        n > 0 ? fs::path(std::string(self, static_cast<size_t>(n))).parent_path() : fs::path();
    const auto openStart = Clock::now();
    CDoxDesigner designer(bin.wstring());
    designer.SetCommandLine({QString::fromStdString(path.string())});
    if (!designer.InitInstance())
        return 1;
    CMainFrame* frame = designer.MainFrame();
    frame->showNormal();
    frame->resize(1400, 900);
    if (!QTest::qWaitForWindowExposed(frame))
        return 1;
    Settle();
    std::printf("open %.1f\n", MsSince(openStart));
    CDesignView* view = frame->DesignPage() ? frame->DesignPage()->ActiveView() : nullptr;
    QWidget* canvas = view ? CanvasOf(view->Window()) : nullptr;
    if (!canvas)
        return 1;
    canvas->setFocus();
    TimeKeys(canvas, [frame] { frame->IdleUpdate(); });
    std::printf("selected %d\n", view->Window()->GetSelectedCount());
    std::fflush(stdout);
    frame->hide();
    designer.ExitInstance();
    return 0;
}

struct Figures {
    std::vector<double> keys;
    int selected = -1;
    double openMs = -1;
};

Figures Parse(const std::vector<std::string>& lines)
{
    Figures f;
    for (const std::string& line : lines) {
        double ms = 0;
        int count = 0;
        if (std::sscanf(line.c_str(), "key %lf", &ms) == 1)
            f.keys.push_back(ms);
        else if (std::sscanf(line.c_str(), "selected %d", &count) == 1)
            f.selected = count;
        else if (std::sscanf(line.c_str(), "open %lf", &ms) == 1)
            f.openMs = ms;
    }
    return f;
}

void Usage()
{
    std::printf("usage: dox_bench_designer [--help] [controls...]\n"
                "\n"
                "For each count of controls (default 250 500 1000 2000) makes a template page of that\n"
                "many edit controls, opens it in the designer, selects everything and times five\n"
                "Right arrow keys, each with its paint; beside it the core's design window alone on\n"
                "the same page. Prints both medians and their ratio. Works in a new folder in the\n"
                "temporary folder and removes it.\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const fs::path path = argv[3];
        if (std::strcmp(argv[2], "make") == 0) {
            QApplication app(argc, argv);
            const int controls = std::atoi(path.stem().c_str());
            return MakeTemplate(path, controls) ? 0 : 1;
        }
        int one = 1;
        return std::strcmp(argv[2], "floor") == 0 ? Floor(path, one, argv) : Designer(path, one, argv);
    }
    std::vector<int> counts;
    if (bench::AskedForHelp(argc, argv)) {
        Usage();
        return 0;
    }
    for (int a = 1; a < argc; ++a)
        counts.push_back(std::atoi(argv[a]));
    if (counts.empty())
        counts = {250, 500, 1000, 2000};
    if (std::any_of(counts.begin(), counts.end(), [](int c) { return c <= 0; })) {
        Usage();
        return 2;
    }
    const fs::path home = fs::temp_directory_path() / ("dox_bench_designer_" + std::to_string(getpid()));
    fs::create_directories(home / ".config");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local").c_str(), 1);
    int status = 0;
    std::printf("%9s %14s %14s %8s %12s\n", "controls", "designer ms", "window ms", "ratio", "open ms");
    for (int controls : counts) {
        const fs::path path = home / (std::to_string(controls) + ".dxt");
        bench::RunProgram({"--child", "make", path.string()});
        const Figures designer = Parse(bench::RunProgram({"--child", "designer", path.string()}));
        const Figures floor = Parse(bench::RunProgram({"--child", "floor", path.string()}));
        if (designer.keys.size() != kKeys || floor.keys.size() != kKeys || designer.selected != controls ||
            floor.selected != controls) {
            std::fprintf(stderr, "the run at %d controls failed (selected %d and %d)\n", controls,
                         designer.selected, floor.selected);
            status = 1;
            continue;
        }
        const double d = bench::Median(designer.keys);
        const double w = bench::Median(floor.keys);
        std::printf("%9d %14.2f %14.2f %8.2f %12.1f\n", controls, d, w, d / w, designer.openMs);
        std::fflush(stdout);
    }
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return status;
}
