#pragma once
// One tab of the design page: the core's design window for one template page inside a
// one-pixel frame. It turns the design and arrange commands into calls of the design
// window, keeps their buttons enabled and ticked, and receives the window's sinks.

#include "CommandRouter.h"
#include "IDoxDesignWindow.h"
#include "IDoxWindowUISink.h"

#include <QWidget>

class CDesignPage;
class IDoxPage;

class CDesignView : public QWidget, public IDoxDesignWindowSink, public IDoxWindowUISink, public CmdTarget
{
public:
    explicit CDesignView(QWidget* parent = nullptr);
    // Lets the panes forget the window, then releases it.
    ~CDesignView() override;

    // Makes the design window (a child of this view, with the id) and attaches the
    // page; false when the window cannot be made or the page refuses.
    bool AttachDesignWindow(CDesignPage* owner, IDoxPage* page, const QRect& area, unsigned id);
    IDoxDesignWindow* Window() const { return window_; }
    // The zoom last shown in the status bar; 0 makes the next update show it.
    void ResetShownZoom() { shownZoom_ = 0; }

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;

    void OnSelectionChanged(IDoxAttribSet* attributes) override;
    void OnModified() override;
    void OnEraseBackground(CDC* dc, const RECT* rect) override;
    void OnRButtonUp(uint32_t flags, int x, int y) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnPageProperties();
    void TestRun();
    void Configure();
    void Zoom(CmdUI* ui);

    IDoxDesignWindow* window_ = nullptr;
    CDesignPage* owner_ = nullptr;
    int shownZoom_ = 0;
};
