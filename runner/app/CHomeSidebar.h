#pragma once
// The home page's side bar: command rows (new and delete category, add and delete
// template, refresh, backup, restore, exit) and category rows (the two fixed ones,
// "本地模板" and "常用模板", then one per folder of the library).

#include "BitmapPlus.h"
#include "MyList.h"

#include <string>

class CHomePageWnd;
class CHomeSidebar;

// Codes of the command rows.
enum SidebarCommand : int {
    kSidebarNewCategory = 1,
    kSidebarDeleteCategory = 2,
    kSidebarAddTemplate = 11,
    kSidebarDeleteTemplate = 12,
    kSidebarRefresh = 21,
    kSidebarBackup = 22,
    kSidebarRestore = 23,
    kSidebarExit = 30,
};

// A widget that draws a picture (white keyed out) with a tooltip.
class RowPicture : public MyWidObject
{
public:
    void SetPicture(const BitmapPlus* picture, COLORREF transparent) { picture_ = picture, transparent_ = transparent; }
    void SetTipText(const std::wstring& tip) { tip_ = tip; }
    const wchar_t* GetTipText() const override { return tip_.c_str(); }
    void DoPaint(CDC& dc, RECT& real) override;

private:
    const BitmapPlus* picture_ = nullptr;
    COLORREF transparent_ = kNoColor;
    std::wstring tip_;
};

class CHomeSidebarItem : public MyWidContainer, public IMyWidEventSink
{
public:
    explicit CHomeSidebarItem(CHomeSidebar* bar) : bar_(bar) {}
    virtual bool IsCategory() const { return false; }
    virtual bool IsFixedCategory() const { return false; }
    // Rows that are no category refuse the selection.
    int OnSelect(int select, int hint) override;

protected:
    CHomeSidebar* bar_;
};

class CHomeSidebarMargin : public CHomeSidebarItem
{
public:
    using CHomeSidebarItem::CHomeSidebarItem;
    SIZE GetDimension() const override { return SIZE{0, 10}; }
};

class CHomeSidebarSeparator : public CHomeSidebarItem
{
public:
    using CHomeSidebarItem::CHomeSidebarItem;
    SIZE GetDimension() const override { return SIZE{0, 8}; }
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
};

class CHomeSidebarCommand : public CHomeSidebarItem
{
public:
    CHomeSidebarCommand(CHomeSidebar* bar, int code, const wchar_t* label, const wchar_t* description, unsigned bitmap);
    SIZE GetDimension() const override { return SIZE{0, 26}; }
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;
    int OnClick_u(POINT pt, const RECT& row) override;
    int Code() const { return code_; }
    const wchar_t* Label() const { return text_.GetText(); }

private:
    int code_;
    std::wstring description_;
    BitmapPlus picture_;
    MyWidObject iconArea_;
    RowPicture pictureWidget_;
    MyWidLable text_;
    COLORREF savedColor_ = 0xFFFFFFFF;
};

class CHomeSidebarFolder : public CHomeSidebarItem
{
public:
    CHomeSidebarFolder(CHomeSidebar* bar, const std::wstring& name, const std::wstring& path);
    SIZE GetDimension() const override;
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnPrepareDC(CDC& dc, unsigned id) override;
    void OnRestoreDC(CDC& dc, unsigned id) override;
    int OnSelect(int select, int hint) override;
    bool IsCategory() const override { return true; }
    const std::wstring& Name() const { return name_; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring name_;
    std::wstring path_;
    MyWidObject iconArea_;
    MyWidLable text_;
    COLORREF savedColor_ = 0xFFFFFFFF;
};

// The two categories that cannot be deleted.
class CHomeSidebarFolderEx : public CHomeSidebarFolder
{
public:
    using CHomeSidebarFolder::CHomeSidebarFolder;
    bool IsFixedCategory() const override { return true; }
};

class CHomeSidebar : public MyList
{
public:
    explicit CHomeSidebar(CHomePageWnd* home);

    // Empties the bar and fills it again: the command rows, the fixed categories and
    // one row per folder of the library (the library folder of the home page).
    void Refill();
    void SelectFirstCategory();
    // By name, ignoring ASCII case; false when none or the name is empty.
    bool SelectCategory(const std::wstring& name);
    // False when the selected row is no category.
    bool GetSelectedCategory(std::wstring* name, std::wstring* path) const;
    bool SelectedIsDeletableCategory() const;
    // Enables the command row of the code.
    void EnableCommand(int code, bool enable);
    CHomeSidebarCommand* CommandRow(int code) const;
    int CategoryRowOf(const std::wstring& name) const;

    CHomePageWnd* Home() const { return home_; }
    const BitmapPlus& CategoryBitmap() const { return category_; }
    void RunCommand(int code);

    void DoFillBkgrand(CDC& dc) override;
    void OnMyList_RButtonUp(POINT pt) override;

private:
    CHomeSidebarItem* Row(int index) const;

    CHomePageWnd* home_;
    BitmapPlus category_;
};
