#pragma once
// Tab windows. UITabCtrl: a tab bar over an area where the active tab's window shows;
// several tabs may show one window, which learns the active tab from the message
// WM_USER with the tab's index. UITabClient: tabs at the bottom, one window each; a
// change of the active tab is posted to the parent as "AFX_WM_ONCHANGE_ACTIVE_TAB".

#include "VududiruraApi.h"

#include <QTabWidget>
#include <QWidget>

#include <string>
#include <vector>

class QTabBar;

class VUDU_API UITabCtrl : public QWidget
{
public:
    explicit UITabCtrl(QWidget* parent = nullptr, bool tabsAtBottom = false);

    // Adds a tab showing the window (reparented into this control); its index.
    int AddTab(QWidget* window, const std::wstring& label);
    // False for an index outside the tabs.
    bool RemoveTab(int index);
    void RemoveAllTabs();
    int GetTabsNum() const { return static_cast<int>(windows_.size()); }
    // -1 when there is no tab.
    int GetActiveTab() const;
    // Shows the tab's window and sends it WM_USER with the index; false outside the tabs.
    bool SetActiveTab(int index);
    QWidget* GetTabWnd(int index) const;
    std::wstring GetTabLabel(int index) const;
    bool SetTabLabel(int index, const std::wstring& label);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Activated(int index);
    void Layout();

    QTabBar* bar_;
    bool bottom_;
    std::vector<QWidget*> windows_;
    bool quiet_ = false;
};

class VUDU_API UITabClient : public QTabWidget
{
public:
    explicit UITabClient(QWidget* parent = nullptr);

    // Inserts at the index (-1: at the end); the index it got.
    int InsertTab(QWidget* window, const std::wstring& label, int index = -1);
    bool RemoveTab(int index);
    int GetTabsNum() const { return count(); }
    int GetActiveTab() const { return currentIndex(); }
    bool SetActiveTab(int index);
    QWidget* GetTabWnd(int index) const { return widget(index); }
    std::wstring GetTabLabel(int index) const { return tabText(index).toStdWString(); }
    bool SetTabLabel(int index, const std::wstring& label);
};
