#pragma once
// The fill-in window the programs embed: one page of a bill at true size, with the
// editors over its fields. IDoxCore::CreatePageWindow hands it out; the caller owns
// the one reference. The slot order is part of the protocol; keep it.

#include "DoxCommon.h"

class CDC;
class IDoxPage;
class IDoxWindowUISink;
class QWidget;

class IDoxPageWindow : public ICommon
{
public:
    // Stored in all three windows; null removes it.
    virtual void SetUISink(IDoxWindowUISink* sink) = 0;
    // The outer window (the one a host places).
    virtual QWidget* GetHwnd() = 0;
    virtual void MoveWindow(int x, int y, int cx, int cy) = 0;
    // Commits (non-zero) or cancels the open editor. A refused entry keeps the
    // editor open with the reason shown, so IsEditing still answers 1 and a host
    // saves or prints nothing the operator did not mean.
    virtual void EndEdit(int commit) = 0;
    // Paints the outer window's own surface (the corner between the scroll bars).
    virtual void PaintToDC(CDC* dc) = 0;
    // Sizes the window to the page again and rebuilds the background.
    virtual void UpdateLayout() = 0;
    // Clipboard commands of the open text editor; nothing without one.
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void Cut() = 0;
    virtual void SelectAll() = 0;
    // 1 while the text editor is open (the check box does not count).
    virtual int IsEditing() = 0;
    virtual IDoxPage* GetPage() = 0;
    // 0 for a null page, while a page is attached, or when the page refuses (the
    // core's last error text tells why).
    virtual int AttachPage(IDoxPage* page) = 0;
    virtual void DetachPage() = 0;
    virtual int IsBackgroundVisible() = 0;
    virtual void ShowBackground(int show) = 0;

protected:
    ~IDoxPageWindow() = default;
};
