#pragma once
// The folder list of the add-template dialog: "本地模板" (the library folder) and one
// row per category folder. A click on the selected row hands its folder on.

#include "MyList.h"

#include <functional>
#include <string>

class CFolderView;

class CFolderItem : public MyWidContainer, public IMyWidEventSink
{
public:
    CFolderItem(CFolderView* view, const std::wstring& name, const std::wstring& path);
    SIZE GetDimension() const override { return SIZE{0, 50}; }
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnPaint(CDC& dc, const RECT& row) override;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;
    int OnClick_u(POINT pt, const RECT& row) override;
    const std::wstring& Name() const { return name_; }
    const std::wstring& Path() const { return path_; }

private:
    CFolderView* view_;
    std::wstring name_;
    std::wstring path_;
    MyWidButton button_;
    MyWidLable text_;
    COLORREF savedColor_ = 0xFFFFFFFF;
};

class CFolderView : public MyList
{
public:
    explicit CFolderView(QWidget* parent = nullptr);
    // The rows of the library folder and its categories.
    void Fill(const std::wstring& library);
    // Called with the folder's name and path when a selected row is clicked.
    std::function<void(const std::wstring&, const std::wstring&)> onFolderClicked;

    void DoFillBkgrand(CDC& dc) override;
    CFolderItem* Item(int index) const { return static_cast<CFolderItem*>(GetItem(index)); }

protected:
    bool event(QEvent* event) override;
};
