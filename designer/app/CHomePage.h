#pragma once
// What the designer shows while no template is open: the header, the two large
// buttons "新建模板" and "打开模板", and the recently used templates
// ("最近使用的文档"), each opening with one click.

#include "CommandRouter.h"
#include "MyList.h"
#include "MyWidgets.h"
#include "UIFrames.h"

#include <QPixmap>
#include <QRect>

#include <string>

class CDesignDoc;
class CHomePage;
class QPushButton;

class CRecentFileItem : public MyWidContainer, public IMyWidEventSink
{
public:
    // index: the entry in the application's recent-file list; number: the running
    // number shown.
    CRecentFileItem(CHomePage* home, int index, int number, const std::wstring& name, const std::wstring& path);

    SIZE GetDimension() const override { return SIZE{0, 30}; }
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnWid_Click(unsigned int id) override;

    int Index() const { return index_; }
    const wchar_t* Text() const { return button_.GetText(); }
    const wchar_t* Tip() const { return button_.GetTipText(); }

private:
    CHomePage* home_;
    int index_;
    MyWidLable margin_;
    MyWidButton button_;
};

class CRecentFileListView : public MyList
{
public:
    explicit CRecentFileListView(QWidget* parent = nullptr);
    void DoFillBkgrand(CDC& dc) override;
    CRecentFileItem* Item(int index) const { return static_cast<CRecentFileItem*>(GetItem(index)); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CHomePage : public UIDialogChildWnd, public CmdTarget
{
public:
    explicit CHomePage(CDesignDoc* document, QWidget* parent = nullptr);

    // The rows of the application's recent-file list, numbered from 1.
    void RefillRecentList();
    CRecentFileListView* RecentList() const { return list_; }
    // Opens the entry of a clicked row; a failed open rebuilds the list.
    void OpenRecent(int index);

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;
    // The two large buttons follow their commands' state.
    void UpdateButtons(CommandRouter& router);

protected:
    int OnCreate() override;
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceList();

    CDesignDoc* document_;
    QPixmap header_;
    QPixmap pattern_;
    QPushButton* newButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QWidget* marker_ = nullptr;
    QRect caption_;
    CRecentFileListView* list_ = nullptr;
};
