#pragma once
// The test page: the page of the active design tab tried in the core's fill-in window,
// as a user fills it in, then printed on a chosen printer. Closing it returns to the
// design page.

#include "IDoxWindowUISink.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class IDoxCore;
class IDoxPage;
class IDoxPageWindow;

// Commands of the test page.
constexpr unsigned ID_TEST_CLOSE = 32842;
constexpr unsigned ID_TEST_PRINT = 32841;
constexpr unsigned ID_TEST_BACKGROUND = 32839;
constexpr unsigned ID_TEST_CUT = 57635;
constexpr unsigned ID_TEST_COPY = 57634;
constexpr unsigned ID_TEST_PASTE = 57637;
constexpr unsigned ID_TEST_SELECT_ALL = 57642;

// What the print dialog hands back: the printer, its settings (a DEVMODE record; empty
// for the printer's own) and whether the background picture is printed.
struct TestPrintChoice {
    std::wstring printer;
    std::vector<unsigned char> devMode;
    int printBackground = 0;
};

class CTestPage : public QWidget, public IDoxWindowUISink
{
public:
    // Asks for a printer for the page called document, of cx x cy (0.1 mm), starting at
    // the printer given; false when cancelled or when the printer's settings could not
    // be made.
    using PrintChooser = std::function<bool(QWidget* parent, const std::wstring& document, int cx, int cy,
                                            const std::wstring& printer, TestPrintChoice* choice)>;

    explicit CTestPage(QWidget* parent = nullptr);
    ~CTestPage() override;

    // The frame shows (true) or hides the test page.
    std::function<void(bool show)> showHook;
    PrintChooser printChooser;
    // The application's default printer (read by the print dialog, replaced after it).
    std::wstring* defaultPrinter = nullptr;

    // Shows the page in a fill-in window with its last test data; false leaves the
    // design page as it is.
    bool OpenTestPage(IDoxCore* core, IDoxPage* page);
    bool CreateTestWindow(IDoxPage* page);
    // The frame's close hook while the test page shows: closes only the test page.
    int CloseHook();

    // Commands: OnCommand runs one (false for an unknown id); CommandState tells it.
    bool OnCommand(unsigned id);
    bool CommandState(unsigned id, bool* enabled, bool* checked);

    IDoxPageWindow* PageWindow() const { return window_; }
    bool IsOpen() const { return window_ != nullptr; }

    void OnEraseBackground(CDC* dc, const RECT* rect) override;
    void OnRButtonUp(uint32_t flags, int x, int y) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void Close();
    void Print();
    void ReleaseWindow();

    IDoxCore* core_ = nullptr;
    IDoxPageWindow* window_ = nullptr;
};
