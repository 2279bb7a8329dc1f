// main() of the tests that run on a private X server: starts Xvfb (it chooses a free
// display and says which through -displayfd), puts Qt on the xcb platform there, runs
// the tests and stops the server. Without Xvfb the tests run and skip, and the program
// exits with the skip code so that CTest shows them skipped, not passed.

#include "XServer.h"

#include <QApplication>
#include <QWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace doxtest::detail
{
extern Display* g_display;
extern bool g_inputMethod;
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

#ifdef DOX_XTEST_IME
// The input method's session: a private session bus and fcitx5 in a folder of ours
// (its configuration, the bus socket), all gone when the program ends.
std::filesystem::path g_imeFolder;
pid_t g_bus = -1;
pid_t g_fcitx = -1;

// Runs a program with the environment given (on top of ours); its pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    for (const auto& [name, value] : env)
        setenv(name.c_str(), value.c_str(), 1);
    // Quiet: what they say is not the test's output (DOX_IME_LOUD=1 lets it through).
    if (getenv("DOX_IME_LOUD") == nullptr && (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)))
        _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

bool Succeeds(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& env)
{
    const pid_t pid = Spawn(argv, env);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Starts the bus and fcitx5 with pinyin as the active input method on the display;
// false (with the reason on stderr) when either cannot start.
bool StartInputMethod(const std::string& display)
{
    char pattern[] = "/tmp/dox-ime-XXXXXX";
    if (!mkdtemp(pattern))
        return false;
    g_imeFolder = pattern;
    const std::filesystem::path config = g_imeFolder / "config" / "fcitx5";
    std::filesystem::create_directories(config);
    std::ofstream(config / "profile") << "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=pinyin\n\n"
                                         "[Groups/0/Items/0]\nName=keyboard-us\nLayout=\n\n"
                                         "[Groups/0/Items/1]\nName=pinyin\nLayout=\n\n[GroupOrder]\n0=Default\n";
    std::ofstream(config / "config") << "[Hotkey]\nEnumerateWithTriggerKeys=True\n\n[Hotkey/TriggerKeys]\n"
                                        "0=Control+space\n\n[Behavior]\nActiveByDefault=True\nShareInputState=All\n"
                                        "ShowInputMethodInformation=False\n";
    const std::string bus = "unix:path=" + (g_imeFolder / "bus").string();
    // fcitx5 and the bus share one environment: a fcitx5 that the bus starts on its
    // own when first asked for it reads the same configuration.
    const std::vector<std::pair<std::string, std::string>> env = {
        {"DISPLAY", display},
        {"HOME", g_imeFolder.string()},
        {"XDG_CONFIG_HOME", (g_imeFolder / "config").string()},
        {"XDG_DATA_HOME", (g_imeFolder / "data").string()},
        {"XDG_RUNTIME_DIR", g_imeFolder.string()},
        {"DBUS_SESSION_BUS_ADDRESS", bus}};
    // The bus says its address once it listens.
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    g_bus = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + bus,
                   "--print-address=" + std::to_string(fds[1])},
                  env);
    close(fds[1]);
    std::string said;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        said += c;
    close(fds[0]);
    if (g_bus < 0 || said.empty()) {
        std::fprintf(stderr, "no session bus (dbus-daemon): the input-method tests skip\n");
        return false;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
    g_fcitx = Spawn({"fcitx5"}, env);
    // It answers on the bus once its input methods are loaded.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < until) {
        if (Succeeds({"fcitx5-remote"}, env)) {
            setenv("QT_IM_MODULE", "fcitx", 1);
            return true;
        }
        int status = 0;
        if (g_fcitx < 0 || waitpid(g_fcitx, &status, WNOHANG) == g_fcitx) {
            g_fcitx = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "fcitx5 did not start: the input-method tests skip\n");
    return false;
}

// Qt's side of fcitx5 connects to it on its own time after the application starts;
// false when a letter typed into a window of ours never composes.
bool InputMethodComposes()
{
    QWidget window;
    window.resize(200, 40);
    return doxtest::ShowAndActivate(&window) && doxtest::WaitForInputMethod(&window);
}

void StopInputMethod()
{
    for (pid_t* pid : {&g_fcitx, &g_bus}) {
        if (*pid > 0) {
            kill(*pid, SIGTERM);
            waitpid(*pid, nullptr, 0);
            *pid = -1;
        }
    }
    std::error_code ignored;
    if (!g_imeFolder.empty())
        std::filesystem::remove_all(g_imeFolder, ignored);
}
#endif

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
    bool available = doxtest::detail::g_display != nullptr;
#ifdef DOX_XTEST_IME
    if (available) {
        doxtest::detail::g_inputMethod = StartInputMethod(getenv("DISPLAY"));
        available = doxtest::detail::g_inputMethod;
    }
#endif
    int result = 0;
    {
        QApplication app(argc, argv);
#ifdef DOX_XTEST_IME
        if (doxtest::detail::g_inputMethod && !InputMethodComposes()) {
            std::fprintf(stderr, "fcitx5 runs but composes nothing: the input-method tests skip\n");
            doxtest::detail::g_inputMethod = false;
            available = false;
        }
#endif
        result = RUN_ALL_TESTS();
    }
#ifdef DOX_XTEST_IME
    StopInputMethod();
#endif
    StopServer();
    return result == 0 && !available ? doxtest::kSkipExitCode : result;
}
