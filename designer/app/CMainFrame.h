#pragma once
// The designer's one top-level window: the ribbon with its four categories, the status
// bar with the zoom slider, and three full-size pages of which one at a time is the
// visible pane (id 0xE900): the home page, the design page and the test page. It owns
// the design document, which gets every command first.

#include "CommandRouter.h"
#include "UIFrames.h"

#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class CDesignDoc;
class CDesignPage;
class CHomePage;
class IDoxCore;
class IDoxPage;
class QLabel;
class QSlider;
class QStackedWidget;
class Ribbon;
class TestPageContent;
class UIChildWnd;

// The program's name (title bar, message boxes).
inline constexpr wchar_t kDesignerTitle[] = L"禾页票据设计器";
// The id of the visible pane.
constexpr unsigned kVisiblePaneId = 0xE900;

// What the test page hands the frame while it shows: the category to go back to and
// the close hook (0 keeps the frame open).
struct TestPageRecord {
    int category = -1;
    std::function<int()> closeHook;
};

class CMainFrame : public UIFrameWnd, public CmdTarget
{
public:
    // The category indexes, in the ribbon's order.
    enum Category { kHome = 0, kDesign = 1, kArrange = 2, kTestRun = 3 };

    CMainFrame();
    ~CMainFrame() override;

    // Builds the ribbon, the status bar and the three pages and wires the design
    // document to the core; false when a part cannot be made.
    bool LoadFrame(IDoxCore* core);

    CDesignDoc* Document() const { return document_.get(); }
    CDesignPage* DesignPage() const { return designPage_; }
    CHomePage* HomePage() const { return homePage_; }
    TestPageContent* TestPage() const { return testContent_.get(); }
    Ribbon* RibbonBar() const { return ribbon_; }
    CommandRouter& Router() { return router_; }
    QSlider* ZoomSlider() const { return zoomSlider_; }
    QLabel* ZoomLabel() const { return zoomLabel_; }
    // The page that has the id 0xE900.
    QWidget* VisiblePane() const;
    bool IsTestPageShown() const;

    void ShowHomePage();
    void ShowDesignPage();
    // Shows (remembering the active category and taking the close hook) or hides the
    // test page.
    void ShowTestPage(TestPageRecord& record, bool show);
    // The test page for a page of the open template.
    void OpenTestPage(IDoxPage* page);

    // The title bar: the template's file name and the program's name.
    void SetDocumentTitle(const std::wstring& title);
    // The idle update: the enabled and ticked state of every command.
    void IdleUpdate();

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;

protected:
    // A command's prompt goes into the status bar's first pane.
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void BuildRibbon();
    void BuildStatusBar();
    void BuildAccelerators();
    void SetVisiblePane(QWidget* page);

    CommandRouter router_;
    Ribbon* ribbon_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QSlider* zoomSlider_ = nullptr;
    QStackedWidget* panes_ = nullptr;
    CHomePage* homePage_ = nullptr;
    CDesignPage* designPage_ = nullptr;
    UIChildWnd* testPage_ = nullptr;
    std::unique_ptr<TestPageContent> testContent_;
    std::unique_ptr<CDesignDoc> document_;
    std::function<int()> closeHook_;
    IDoxCore* core_ = nullptr;
    QTimer idle_;
};
