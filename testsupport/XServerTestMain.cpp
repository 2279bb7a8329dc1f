// main() of the tests that run on a private X server: starts Xvfb (it chooses a free
// display and says which through -displayfd), puts Qt on the xcb platform there, runs
// the tests and stops the server. Without Xvfb the tests run and skip, and the program
// exits with the skip code so that CTest shows them skipped, not passed.

#include "XServer.h"

#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace doxtest::detail
{
extern Display* g_display;
}

namespace
{

pid_t g_server = -1;

// Starts Xvfb and returns its display number, or -1.
int StartServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        // The server goes with the test program, even when that one crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    g_server = pid;
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return -1;
    return std::atoi(number.c_str());
}

void StopServer()
{
    if (doxtest::detail::g_display) {
        XCloseDisplay(doxtest::detail::g_display);
        doxtest::detail::g_display = nullptr;
    }
    if (g_server > 0) {
        kill(g_server, SIGTERM);
        waitpid(g_server, nullptr, 0);
        g_server = -1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    const int display = StartServer();
    if (display >= 0) {
        const std::string name = ":" + std::to_string(display);
        setenv("DISPLAY", name.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        Display* dpy = XOpenDisplay(name.c_str());
        int event = 0, error = 0, major = 0, minor = 0;
        if (dpy && XTestQueryExtension(dpy, &event, &error, &major, &minor)) {
            doxtest::detail::g_display = dpy;
            // A held key starts repeating soon, so tests of holding stay short.
            XkbSetAutoRepeatRate(dpy, XkbUseCoreKbd, 200, 30);
            XSync(dpy, False);
        } else if (dpy) {
            XCloseDisplay(dpy);
        }
    }
    if (!doxtest::detail::g_display) {
        std::fprintf(stderr, "no X server with XTest: the tests skip\n");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    const bool ran = doxtest::detail::g_display != nullptr;
    StopServer();
    return result == 0 && !ran ? doxtest::kSkipExitCode : result;
}
