#pragma once
// Tests that need input as a person's desktop sends it: a private X server (Xvfb) that
// the test program starts for itself, Qt on its xcb platform, and keys, clicks and wheel
// turns sent through the XTest extension. Events then come as they do on a real desktop:
// Delete carries the text "\x7f", a held key repeats, the middle button pastes the
// primary selection. Programs built with dox_xtest() get a main() that starts the server
// before the QApplication; without Xvfb every test skips and the program exits with
// kSkipExitCode, which CTest counts as skipped.

#include <QPoint>
#include <functional>
#include <initializer_list>

class QWidget;

namespace doxtest
{

// Whether the program's X server is up (false: the tests skip).
bool HaveXServer();

// The exit code of an X test program that had no X server to run on.
constexpr int kSkipExitCode = 77;

// Programs built with dox_xtest(... IME) also start a private session bus and the
// fcitx5 input method with its pinyin engine on their X server, before the
// QApplication, which then composes through it (QT_IM_MODULE=fcitx). Whether it runs
// (false: the tests that need it skip, and so does the program when all did).
bool HaveInputMethod();

// The input method makes its input context for a window on its own time after the
// window shows: keys typed before pass by it. Waits until a letter typed into a line
// put into the window composes, cancels that, takes the line out and gives the focus
// back; false when nothing composed within a few seconds.
bool WaitForInputMethod(QWidget* window);

#define DOX_REQUIRE_INPUT_METHOD()                                                                                     \
    do {                                                                                                               \
        if (!::doxtest::HaveInputMethod())                                                                             \
            GTEST_SKIP() << "no input method (fcitx5 with pinyin) for this test";                                      \
    } while (0)

// Skips the running test when the program has no X server.
#define DOX_REQUIRE_XSERVER()                                                                                          \
    do {                                                                                                               \
        if (!::doxtest::HaveXServer())                                                                                 \
            GTEST_SKIP() << "no X server (Xvfb) for this test";                                                        \
    } while (0)

// Processes Qt's events until cond holds or ms milliseconds have gone; returns cond().
bool WaitFor(const std::function<bool()>& cond, int ms = 3000);

// Shows a top-level window, raises it and waits until it has the keyboard.
bool ShowAndActivate(QWidget* window);

// Input through XTest. Keys are X key names ("Delete", "space", "F6", "a", "Shift_L").
namespace xinput
{
// Presses the keys in order and releases them in reverse (a chord like {"Shift_L", "Insert"}).
void Chord(std::initializer_list<const char*> keys);
void Press(const char* key);
void Release(const char* key);
// Types plain ASCII text (letters, digits, space and . - , / :), one key per character.
// Through an input method the keys become what it makes of them (pinyin letters
// compose; its answer comes later, so wait on what it leads to).
void Type(const char* text);
// Holds a key down for ms milliseconds (the server repeats it meanwhile); the
// time is what is being tested, so this is the one wait that is a time.
void Hold(const char* key, int ms);
// Button 1 left, 2 middle, 3 right; 4 and 5 the wheel.
void Click(QPoint global, int button = 1);
void MoveTo(QPoint global);
// Waits until the server and Qt have handled what was sent: the server's answer to a
// marker sent after the input has reached Qt, and what Qt posted meanwhile has run.
// A marker that never comes fails the running test.
void Settle();
} // namespace xinput

} // namespace doxtest
