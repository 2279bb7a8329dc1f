// Scrolls and sorts the report grid at several sizes, so that growth can be compared
// with the number of rows: painting a page must not depend on the rows outside it,
// and a sort grows like n log n.
//
//   dox_bench_widgets [--help] [rows...]     (default 25000 50000 100000)

#include "BenchSupport.h"
#include "MyGridCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace
{

struct Figures {
    int rows;
    double fillMs;
    double pageMs;
    double keyPageMs;
    double sortAscMs;
    double sortDescMs;
    double findMs;
};

RECT Rect(int l, int t, int r, int b)
{
    RECT rc;
    rc.left = l;
    rc.top = t;
    rc.right = r;
    rc.bottom = b;
    return rc;
}

Figures Run(int rows)
{
    Figures f{rows, 0, 0, 0, 0, 0, 0};
    MyGridCtrl grid;
    grid.Create(WS_VISIBLE, Rect(0, 0, 640, 480), nullptr, 1);
    grid.AddColumn(L"票据号", 100, kGridSortable);
    grid.AddColumn(L"日期", 110, kGridSortable);
    grid.AddColumn(L"金额", 110, kGridSortable | kGridAlignRight);
    grid.AddColumn(L"收款人", 200, 0);
    std::mt19937 random(12345);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rows; ++i) {
        wchar_t id[16];
        std::swprintf(id, 16, L"%08u", static_cast<unsigned>(random() % 100000000u));
        int row = grid.AddItem(id, static_cast<uint64_t>(i));
        wchar_t date[16];
        std::swprintf(date, 16, L"2026-%02u-%02u", 1 + random() % 12, 1 + random() % 28);
        grid.SetItemText(row, 1, date);
        wchar_t money[24];
        std::swprintf(money, 24, L"%u.%02u", static_cast<unsigned>(random() % 1000000), random() % 100);
        grid.SetItemText(row, 2, money);
        grid.SetItemText(row, 3, L"分行营业部");
    }
    grid.Relayout();
    QApplication::processEvents();
    f.fillMs = timer.nsecsElapsed() / 1e6;

    // Pages spread over the whole grid, each painted at once.
    const int pages = 100;
    timer.restart();
    for (int p = 0; p < pages; ++p) {
        int target = static_cast<int>(static_cast<long long>(grid.GetVScrollLimit()) * p / (pages - 1));
        grid.DoScroll(SIZE{0, target - grid.GetVScrollPos()}, 1);
        grid.GetClient()->repaint();
    }
    f.pageMs = timer.nsecsElapsed() / 1e6 / pages;

    // Page Down from the top, as a user scrolls.
    grid.ScrollToPosition(POINT{0, 0});
    timer.restart();
    for (int p = 0; p < pages; ++p)
        grid.DoKeyScroll(0x22);
    f.keyPageMs = timer.nsecsElapsed() / 1e6 / pages;

    timer.restart();
    grid.DoSort(0, true);
    grid.GetClient()->repaint();
    f.sortAscMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    grid.DoSort(2, false);
    grid.GetClient()->repaint();
    f.sortDescMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    grid.Find(1, L"-12-");
    grid.Relayout();
    grid.GetClient()->repaint();
    f.findMs = timer.nsecsElapsed() / 1e6;
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (bench::AskedForHelp(argc, argv)) {
        std::printf("usage: dox_bench_widgets [--help] [rows...]\n"
                    "\n"
                    "Fills the report grid with the rows (default 25000 50000 100000), then times\n"
                    "painting pages spread over it, Page Down, two sorts and a find, each painted.\n");
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {25000, 50000, 100000};
    // A first small run fills the font and glyph caches, so the first size is not
    // charged for them.
    Run(2000);
    std::printf("%8s %10s %10s %10s %10s %10s %10s %14s\n", "rows", "fill ms", "page ms", "PgDn ms", "sort1 ms",
                "sort2 ms", "find ms", "sort ns/row");
    for (int rows : sizes) {
        if (rows <= 0)
            continue;
        Figures f = Run(rows);
        std::printf("%8d %10.1f %10.3f %10.3f %10.1f %10.1f %10.1f %14.1f\n", f.rows, f.fillMs, f.pageMs,
                    f.keyPageMs, f.sortAscMs, f.sortDescMs, f.findMs, f.sortAscMs * 1e6 / f.rows);
    }
    return 0;
}
