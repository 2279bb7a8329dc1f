// Start-up of the bill printing program until its home page shows: the program's own
// start (the core and the plug-in loaded as it loads them, the library, the main frame
// with its home page) in a process of its own, timed from the moment the process is
// started until its first frame has settled (a window painted and the event loop
// about to wait, every paint and posted event of that frame done), with the memory it
// then holds. The
// floor, in the same run: a bare Qt program showing a window of the same size. Each is
// started once to warm the caches and the settings, then timed.
//
//   dox_bench_startup [--help] [runs]      (default 5 runs of each, the median shown)

#include "BenchSupport.h"
#include "CDoxKQRunner.h"
#include "CMainFrame.h"
#include "RunnerWorkspace.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

long long NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// Waits for the first paint of a visible top-level window, then notes when the event
// loop is next about to wait (the frame has settled) and ends it.
struct FirstPaint : QObject {
    long long at = 0;
    bool painted = false;
    QSize size;
    FirstPaint()
    {
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                         [this] {
                             if (!painted || at)
                                 return;
                             at = NowUs();
                             QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
                         });
    }
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (widget && widget->window()->isVisible()) {
                painted = true;
                size = widget->window()->size();
            }
        }
        return false;
    }
};

int Runner(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DoxKQRunner"));
    FirstPaint probe;
    application.installEventFilter(&probe);
    SetRunnerWorkspaceFactory(&CreateRunnerWorkspace);
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    const fs::path bin =
        n > 0 ? fs::path(std::string(self, static_cast<size_t>(n))).parent_path() : fs::path();
    CDoxKQRunner app(bin.wstring());
    app.SetCommandLine({});
    if (!app.InitInstance())
        return 1;
    if (!probe.at)
        QApplication::exec();
    std::printf("shown %lld %ld %d %d\n", probe.at, bench::StatusKiB("VmRSS"), probe.size.width(),
                probe.size.height());
    std::fflush(stdout);
    if (CMainFrame* frame = app.MainFrame())
        frame->close();
    app.ExitInstance();
    return 0;
}

int Bare(int argc, char** argv, int width, int height)
{
    QApplication application(argc, argv);
    FirstPaint probe;
    application.installEventFilter(&probe);
    QWidget window;
    window.resize(width, height);
    window.show();
    QApplication::exec();
    std::printf("shown %lld %ld %d %d\n", probe.at, bench::StatusKiB("VmRSS"), width, height);
    std::fflush(stdout);
    return 0;
}

struct Run {
    double ms = -1;
    long kib = 0;
    int width = 0;
    int height = 0;
};

Run RunChild(const std::vector<std::string>& args)
{
    Run run;
    const long long start = NowUs();
    for (const std::string& line : bench::RunProgram(args)) {
        long long at = 0;
        if (std::sscanf(line.c_str(), "shown %lld %ld %d %d", &at, &run.kib, &run.width, &run.height) == 4 &&
            at)
            run.ms = static_cast<double>(at - start) / 1000.0;
    }
    return run;
}

void Usage()
{
    std::printf("usage: dox_bench_startup [--help] [runs]\n"
                "\n"
                "Starts the bill printing program (runs times, default 5, after one warm-up start)\n"
                "until its first frame has settled, and a bare Qt window of the same size as the\n"
                "floor; prints the medians of the times and of the memory, and their ratios. Works in a\n"
                "new home folder in the temporary folder and removes it.\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0) {
        int one = 1;
        if (argc == 3 && std::strcmp(argv[2], "runner") == 0)
            return Runner(one, argv);
        if (argc == 5 && std::strcmp(argv[2], "bare") == 0)
            return Bare(one, argv, std::atoi(argv[3]), std::atoi(argv[4]));
        return 2;
    }
    if (bench::AskedForHelp(argc, argv)) {
        Usage();
        return 0;
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs <= 0 || argc > 2) {
        Usage();
        return 2;
    }
    const fs::path home = fs::temp_directory_path() / ("dox_bench_startup_" + std::to_string(getpid()));
    fs::create_directories(home / "Documents");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int status = 1;
    const Run warm = RunChild({"--child", "runner"});
    if (warm.ms > 0) {
        const std::string w = std::to_string(warm.width);
        const std::string h = std::to_string(warm.height);
        RunChild({"--child", "bare", w, h});
        std::vector<double> runner, bare, runnerKib, bareKib;
        for (int r = 0; r < runs; ++r) {
            const Run a = RunChild({"--child", "runner"});
            const Run b = RunChild({"--child", "bare", w, h});
            if (a.ms > 0 && b.ms > 0) {
                runner.push_back(a.ms);
                bare.push_back(b.ms);
                runnerKib.push_back(static_cast<double>(a.kib));
                bareKib.push_back(static_cast<double>(b.kib));
            }
        }
        if (!runner.empty()) {
            std::printf("window %s x %s, %zu runs each\n", w.c_str(), h.c_str(), runner.size());
            std::printf("program until its home page's first frame settled: %.1f ms, %.1f MiB\n",
                        bench::Median(runner), bench::Median(runnerKib) / 1024.0);
            std::printf("bare Qt window, first frame settled: %.1f ms, %.1f MiB\n", bench::Median(bare),
                        bench::Median(bareKib) / 1024.0);
            std::printf("ratio: %.2fx time, %.2fx memory\n", bench::Median(runner) / bench::Median(bare),
                        bench::Median(runnerKib) / bench::Median(bareKib));
            status = 0;
        }
    }
    if (status)
        std::fprintf(stderr, "the program did not show its window\n");
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return status;
}
