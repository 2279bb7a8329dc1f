#pragma once
// The home page's icon list: one item per template of the shown category, with the
// template's icon (or the plain template picture) and its title under it.

#include "BitmapPlus.h"
#include "MyList.h"

#include <string>

class CHomePageWnd;
class CHomeView;
class IDoxImageData;

class CHomeViewItem : public MyWidContainer, public IMyWidEventSink
{
public:
    // icon: the template's icon data (may be null); it is decoded here and released.
    CHomeViewItem(CHomeView* view, const std::wstring& title, IDoxImageData* icon, const std::wstring& path);
    SIZE GetDimension() const override { return SIZE{116, 84}; }
    void OnInitialize(IMyWidContainerDepot* depot) override;
    void OnErase_bkgnd(CDC& dc, const RECT& row) override;
    using MyWidContainer::OnErase_bkgnd;
    int OnSelect(int select, int hint) override;
    int OnDbClick(POINT pt, const RECT& row) override;
    void OnKey_return(const RECT& row, int up) override;
    bool HasIcon() const { return !icon_.IsNull(); }
    const std::wstring& Title() const { return title_; }
    const std::wstring& Path() const { return path_; }

private:
    class Picture : public MyWidObject
    {
    public:
        explicit Picture(CHomeViewItem* item) : item_(item) {}
        const wchar_t* GetTipText() const override { return item_->title_.c_str(); }
        void DoPaint(CDC& dc, RECT& real) override;

    private:
        CHomeViewItem* item_;
    };

    CHomeView* view_;
    std::wstring title_;
    std::wstring path_;
    BitmapPlus icon_;
    MyWidObject margin_;
    Picture picture_{this};
    MyWidLable text_;
};

class CHomeView : public MyList
{
public:
    explicit CHomeView(CHomePageWnd* home);

    // By title, ignoring ASCII case; false when none or the title is empty.
    bool SelectTitle(const std::wstring& title);
    CHomeViewItem* Item(int index) const { return static_cast<CHomeViewItem*>(GetItem(index)); }
    CHomeViewItem* Selected() const;
    CHomePageWnd* Home() const { return home_; }
    const BitmapPlus& NoIcon() const { return noIcon_; }

    void OnMyList_RButtonUp(POINT pt) override;

private:
    CHomePageWnd* home_;
    BitmapPlus noIcon_;
};
