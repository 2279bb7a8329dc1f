#pragma once
// The core's owner-drawn popup menu: a flat list of text items and separators shown at
// a screen point, driven by mouse and keyboard inside the popup loop, with a drop
// shadow. Built on the stack, filled, tracked once:
//
//     XMenu menu;
//     menu.Create(editorHost);
//     menu.AddItem(L"复制(&C)", ID_COPY, canCopy);
//     if (menu.Track(x, y) == 1 && menu.GetHotItem() >= 0) run(menu.GetItemId(menu.GetHotItem()));
//
// A click or button release on an enabled item, or its mnemonic key, chooses it; Up and
// Down move the highlight (wrapping, skipping separators); Enter chooses the highlighted
// item, Esc and Tab and a click outside close the menu without a choice. A disabled item
// is never chosen: after Track the hot item is then -1.

#include "DeviceContext.h"
#include "DoxPopWindowBase.h"
#include "DoxShadowWindow.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class XMenu : public QWidget, public DoxPopWindowBase
{
public:
    struct Item {
        int id = -1; // negative: a separator
        QString text;
        int enabled = 0;
        char16_t mnemonic = 0; // upper case; 0 for none
    };

    XMenu();
    ~XMenu() override;

    // The font and the window (a tool-tip window owned by `parent`, which never takes
    // the activation), then the shadow; false when the window cannot be made. The menu
    // is no child of `parent`: destroying `parent` while the menu is open ends the
    // menu's loop without a choice and leaves the menu to its own owner.
    bool Create(QWidget* parent);
    // The mnemonic is the character behind the first "&", in upper case.
    void AddItem(const QString& text, int id, bool enabled);
    void AddSeparator();

    // Shows the menu at the screen point (above and or left of it near the work area's
    // edges), runs the loop, then hides it and takes the shadow away. 1: a choice.
    int Track(int x, int y);

    int GetHotItem() const { return hot_; }
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    int GetItemId(int index) const;
    const Item& GetItem(int index) const { return items_.at(static_cast<size_t>(index)); }
    int GetItemHeight() const { return itemHeight_; }
    const DoxShadowWindow& GetShadow() const { return shadow_; }

    // Client rectangle of a row (the window less its 1-pixel frame).
    RECT GetRowRect(int index) const;
    // The non-separator row under a client point, -1 for none.
    int HitTest(int x, int y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Layout(int x, int y);
    void SetHot(int index);
    void RedrawRow(int index);
    int NextItem(int step) const;
    bool IsSeparator(int index) const { return items_[static_cast<size_t>(index)].id < 0; }

    QPointer<QWidget> owner_;
    std::vector<Item> items_;
    CFont font_;
    int hot_ = -1;
    int itemHeight_ = 0;
    int keyboardMode_ = 0;
    DoxShadowWindow shadow_;
};
