// main() of the tests that need widgets, fonts or printing: one QApplication on the
// offscreen platform for the whole program, so results do not depend on a display.

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace
{

std::ptrdiff_t ThreadCount()
{
    std::error_code error;
    std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 1 : std::distance(tasks, std::filesystem::directory_iterator());
}

// LeakSanitizer stops every thread of the program to look for leaks once it exits. Qt's
// pool threads are detached and leave while the program exits, and one caught on its way
// out crashes the sanitizer's tracer, failing a program whose tests passed. Set before any
// pool exists, this handler runs after the pools are torn down and before the leak check.
void WaitForTheOtherThreadsToEnd()
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (ThreadCount() > 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace

int main(int argc, char** argv)
{
    std::atexit(WaitForTheOtherThreadsToEnd);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
