#pragma once
// A wizard: a dialog that shows its pages one at a time. Moving away from a page first
// asks that page (OnKillActive), which may refuse and keep it.

#include "VududiruraApi.h"

#include <QDialog>
#include <QWidget>

#include <vector>

class QStackedWidget;

class VUDU_API UIWizardPage : public QWidget
{
public:
    explicit UIWizardPage(QWidget* parent = nullptr);
    // False keeps the wizard on this page.
    virtual bool OnKillActive() { return true; }
    virtual void OnSetActive() {}
};

class VUDU_API UIWizardSheet : public QDialog
{
public:
    explicit UIWizardSheet(QWidget* parent = nullptr);

    // The sheet owns the page from here on; the page's index.
    int AddPage(UIWizardPage* page);
    int GetPageCount() const { return static_cast<int>(pages_.size()); }
    UIWizardPage* GetPage(int index) const;
    // -1 before the first page is shown.
    int GetActiveIndex() const { return active_; }
    // Leaves the shown page (its check may refuse: false, nothing changes) and shows
    // the page at the index. False for an index outside the pages. Going back to an
    // earlier page passes check false: what is typed on a later page is looked at
    // when the user goes on from it, not when going back.
    bool SetActivePage(int index, bool check = true);
    // Where the pages show; the program lays out its own buttons around it.
    QStackedWidget* PageArea() const { return stack_; }

protected:
    // Runs before the dialog shows: the program builds its controls and shows page 0.
    virtual bool OnInitDialog() { return SetActivePage(0); }
    void showEvent(QShowEvent* event) override;

private:
    QStackedWidget* stack_;
    std::vector<UIWizardPage*> pages_;
    int active_ = -1;
    bool initialised_ = false;
};
