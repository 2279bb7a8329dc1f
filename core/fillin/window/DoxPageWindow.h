#pragma once
// The fill-in window: an outer window with two scroll bars, the area around the
// page inside it (painted through the host's sink) and the page client, which is as
// large as the page at true size. The client holds the page runner, the editor host
// over the current field and the tip balloon, and takes the keyboard focus and all
// mouse and key input. Deleting the outer window deletes all three.

#include <QSet>
#include <QWidget>

#include <memory>

#include "DoxInputWindow.h"
#include "DoxPageRunner.h"
#include "DoxTipWindow.h"
#include "DoxBitmap.h"
#include "GdiObjects.h"
#include "IDoxPageWindow.h"
#include "DoxScrollBarWindow.h"

class CClientDCX;
class QScrollBar;
class DoxPageWindow;
class IDoxWindowUISink;

// The page: implements IDoxPageWindow and is the runner's window.
class DoxPageClient : public QWidget, public InterfaceImpl<IDoxPageWindow>, public DoxRunnerWindow
{
public:
    DoxPageClient(DoxPageWindow* pageWindow, QWidget* parent);
    ~DoxPageClient() override;

    bool CreateParts();

    // IDoxPageWindow
    void SetUISink(IDoxWindowUISink* sink) override;
    QWidget* GetHwnd() override;
    void MoveWindow(int x, int y, int cx, int cy) override;
    void EndEdit(int commit) override;
    void PaintToDC(CDC* dc) override;
    void UpdateLayout() override;
    void Copy() override;
    void Paste() override;
    void Cut() override;
    void SelectAll() override;
    int IsEditing() override;
    IDoxPage* GetPage() override;
    int AttachPage(IDoxPage* page) override;
    void DetachPage() override;
    int IsBackgroundVisible() override;
    void ShowBackground(int show) override;
    void FinalRelease() override;

    // DoxRunnerWindow
    void InvalidatePixels(const RECT& rect, bool now) override;
    void ValidatePixels(const RECT& rect) override;
    bool ShowsChanges() override;
    RECT ToPixels(const RECT& rect) override;
    void SetPointer(DoxRunCursor cursor) override;

    DoxPageRunner& Runner() { return runner_; }
    DoxInputWindow& Editor() { return editor_; }
    DoxTipWindow& Tip() { return tip_; }
    const CBitmap& BackBuffer()
    {
        EnsureBackBuffer();
        return backBuffer_;
    }

    // The client's own handling of a key press (Windows' WM_KEYDOWN); used by the
    // key event and by the outer window for keys that reach it.
    void HandleKeyDown(uint32_t key, uint32_t keyState);
    // A button press at a client point (also one beside the page, passed on by the
    // outer windows): focus, the editor, the tip, then the fields.
    void ButtonDown(QPoint point, uint32_t flags, bool right);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void RebuildBackBuffer();
    void RedrawBackBuffer();
    // Builds the buffer a new page or size asked for; the first paint after it does.
    void EnsureBackBuffer();
    // Commits an open editor and repaints the current field; a refused entry keeps
    // the editor open.
    void CommitOnLeave();
    void HandleKeyPress(QKeyEvent* event);
    // Whether the input method composes for the page: an open text editor, or a
    // framed text field with no editor open (its first text opens it).
    bool TakesText();
    // Where the input method places its candidates: the caret, or the composition's
    // own caret inside the text being composed.
    QRect InputCursorRect();
    // Tells the input method when what it asks of the page has changed.
    void SyncInputMethod();
    // Ends an open composition in the field it was typed in, before the editor goes
    // (a click, the host's save, the keyboard going elsewhere): the input method
    // commits what it shows or drops it, and forgets it either way.
    void FinishComposition();
    // The text being composed, at the editor's caret in the editor's font.
    QRect PreeditRect() const;
    void PaintPreedit();
    // Whether a key press types text: printable characters without Ctrl, Alt or Meta.
    static bool IsTyping(const QKeyEvent* event, const uint32_t* chars, int count);
    // Point in client pixels to 0.1 mm (y up).
    POINT ToLogical(QPoint point) const;

    DoxPageWindow* pageWindow_;
    bool showBackground_ = true;
    DoxBitmap backBuffer_;
    // The page or the size changed since the buffer was drawn.
    bool backBufferStale_ = false;
    IDoxPage* page_ = nullptr;
    DoxPageRunner runner_;
    DoxInputWindow editor_;
    IDoxWindowUISink* sink_ = nullptr;
    DoxTipWindow tip_;
    bool composing_ = false;
    // FinishComposition is waiting for the input method's last word.
    bool finishing_ = false;
    QString preedit_;
    int preeditCursor_ = 0;
    bool preeditCaret_ = true;
    // The answers the input method was last given.
    bool imEnabled_ = false;
    QRect imCursor_;
    QPoint imOrigin_;
    // The areas asked to be redrawn since the last turn of the event loop: a bill that
    // loads or prints changes every field at once, and one update of their union costs
    // less than an update per field.
    QRect pendingUpdate_;
    bool updateQueued_ = false;
    // The 0.1 mm mapping at 100 %, made once: it depends on nothing but the screen.
    mutable std::shared_ptr<CClientDCX> mapping_;
    // The keys pressed on this page whose release has not come; a click or a focus
    // change ends them.
    QSet<int> heldKeys_;
};

// The area around the page; it moves the page client when the view scrolls.
class DoxPageNClient : public QWidget
{
public:
    explicit DoxPageNClient(QWidget* parent);
    void SetUISink(IDoxWindowUISink* sink) { sink_ = sink; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    IDoxWindowUISink* sink_ = nullptr;
};

class DoxPageWindow : public DoxScrollBarWindow
{
public:
    DoxPageWindow();
    ~DoxPageWindow() override;

    // Makes the bars, the area around the page and the page client, then attaches
    // the page (a refused page leaves the window empty). False on failure.
    bool Create(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent, uint32_t id);
    DoxPageClient* Client() const { return client_; }
    DoxPageNClient* NClient() const { return nclient_; }

    // Page size in 0.1 mm: scroll sizes with a 1 mm margin, the client sized to the
    // page plus one pixel, the layout and the centring.
    void SetPageSize(int cx, int cy);
    void SetUISink(IDoxWindowUISink* sink) { sink_ = sink; }

    // Scroll hooks beyond the bars'.
    void UpdateScroll() override;
    void DoScrollWindow(int dx, int dy) override;
    void DoUpdateWindow() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The page client follows the bars.
    void OnBarMoved() override { PlaceClient(); }

private:
    friend class DoxPageNClient;
    // The bars, the area around the page and the page client's place.
    void Layout();
    // The client's position from the bars' (clamped) positions, or centred: never
    // a sum of steps, so a page attached after a scrolled one starts at its corner.
    void PlaceClient();

    bool created_ = false;
    DoxPageNClient* nclient_ = nullptr;
    DoxPageClient* client_ = nullptr;
    IDoxWindowUISink* sink_ = nullptr;
};

// IDoxCore::CreatePageWindow: the window's interface, or null (with the reason in
// the core's last error text) when a window cannot be made.
IDoxPageWindow* CreateDoxPageWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                    uint32_t id);
