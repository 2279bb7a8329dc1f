#pragma once
// Frames and child windows of the programs.

#include "VududiruraApi.h"

#include <QMainWindow>
#include <QWidget>

// The main frame: keeps its placement in the application's configuration (and on
// the screen). The one look both programs share: the Fusion style with a light palette.
VUDU_API void UIApplyVisualManager();

class VUDU_API UIFrameWnd : public QMainWindow
{
public:
    explicit UIFrameWnd(QWidget* parent = nullptr);
    // The client area shows no sunken edge.
    void RemoveClientEdge();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A stored placement larger than the screen, or with its corner off it, is made
    // to fit the work area of the screen it lies on most.
    void KeepOnScreen();

    bool placed_ = false;
};

// A child window that paints its own background (the frame's theme never does).
class VUDU_API UIChildWnd : public QWidget
{
public:
    explicit UIChildWnd(QWidget* parent = nullptr);
    // Places the window in the parent (rectangle in the parent's pixels) with the id
    // as its object name, shown when the style has WS_VISIBLE; then OnCreate, whose
    // -1 fails the creation (the window is then hidden and parentless).
    bool Create(unsigned style, const QRect& rect, QWidget* parent, unsigned id);

protected:
    virtual int OnCreate() { return 0; }
};

// A child window whose controls come from a dialog resource: the program builds them
// in OnInitDialog.
class VUDU_API UIDialogChildWnd : public UIChildWnd
{
public:
    explicit UIDialogChildWnd(unsigned resourceId, QWidget* parent = nullptr);
    unsigned ResourceId() const { return resourceId_; }

protected:
    int OnCreate() override;
    // False fails the creation.
    virtual bool OnInitDialog() { return true; }

private:
    unsigned resourceId_;
};
