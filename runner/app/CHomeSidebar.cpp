#include "CHomeSidebar.h"

#include "CHomePageWnd.h"
#include "RowDrawing.h"
#include "RunnerFiles.h"
#include "RunnerPictures.h"

using rowdraw::Rect;

// ---- Pictures in rows.

void RowPicture::DoPaint(CDC& dc, RECT& real)
{
    if (picture_) picture_->Draw(&dc, real, transparent_);
}

// ---- Rows.

int CHomeSidebarItem::OnSelect(int select, int) { return select ? (IsCategory() ? 1 : 0) : 1; }

void CHomeSidebarSeparator::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    const int y = (row.top + row.bottom) / 2 - 1;
    rowdraw::ShadedLine(dc, row.left + 8, row.right, y, 0xF6EBE1, 0xDBC4AF);
    rowdraw::ShadedLine(dc, row.left + 8, row.right, y + 1, 0xF9F0E6, 0xFEFEFE);
}

CHomeSidebarCommand::CHomeSidebarCommand(CHomeSidebar* bar, int code, const wchar_t* label, const wchar_t* description,
                                         unsigned bitmap)
    : CHomeSidebarItem(bar), code_(code), description_(description), picture_(runner::RunnerBitmap(bitmap)),
      text_(label)
{
}

void CHomeSidebarCommand::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    iconArea_.Initialize(this, Rect(0, 0, 16, 0), 1);
    iconArea_.SetCanFocus(0);
    pictureWidget_.Initialize(this, Rect(16, 0, 40, 0), 2);
    pictureWidget_.SetCanFocus(0);
    pictureWidget_.SetPicture(&picture_, RGB(255, 255, 255));
    pictureWidget_.SetTipText(description_);
    text_.Initialize(this, Rect(40, 0, 0, 0), 3);
    text_.SetCanFocus(0);
    text_.SetTipText(description_.c_str());
}

void CHomeSidebarCommand::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    if (!IsHover() || !IsEnabled()) return;
    // A hover frame of two rounded rectangles inset 5 pixels left and right.
    const RECT outer = Rect(row.left + 5, row.top, row.right - 5, row.bottom);
    rowdraw::DoubleRoundFrame(dc, outer, 0x7740DE, 0xF6F1F7, 4);
    dc.FillSolidRect(Rect(outer.left + 2, outer.top + 2, outer.right - 2, outer.bottom - 2), 0xEEE3F0);
}

void CHomeSidebarCommand::OnPrepareDC(CDC& dc, unsigned id)
{
    savedColor_ = dc.GetTextColor();
    if (id == 3) dc.SetTextColor(IsEnabled() ? RGB(0x20, 0x20, 0x20) : 0xA7A7A7);
}

void CHomeSidebarCommand::OnRestoreDC(CDC& dc, unsigned) { dc.SetTextColor(savedColor_); }

int CHomeSidebarCommand::OnClick_u(POINT pt, const RECT& row)
{
    const bool wasPressed = IsPressed();
    const int hit = MyWidContainer::OnClick_u(pt, row);
    if (!wasPressed || !IsEnabled() || IsReleased() || !rowdraw::Contains(row, pt)) return hit;
    Hold hold(this);
    bar_->RunCommand(code_);
    if (!IsReleased()) Update();
    return 1;
}

CHomeSidebarFolder::CHomeSidebarFolder(CHomeSidebar* bar, const std::wstring& name, const std::wstring& path)
    : CHomeSidebarItem(bar), name_(name), path_(path), text_(name.c_str())
{
}

SIZE CHomeSidebarFolder::GetDimension() const
{
    return SIZE{0, bar_->CategoryBitmap().IsNull() ? 28 : bar_->CategoryBitmap().GetHeight()};
}

void CHomeSidebarFolder::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    iconArea_.Initialize(this, Rect(0, 0, 20, 0), 1);
    iconArea_.SetCanFocus(0);
    text_.Initialize(this, Rect(20, 0, 0, 0), 2);
    text_.SetCanFocus(0);
}

void CHomeSidebarFolder::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    if (IsSelected()) {
        bar_->CategoryBitmap().DrawStretch(&dc, row);
    } else if (IsHover()) {
        dc.FillSolidRect(Rect(row.left, row.top + 1, row.right - 1, row.bottom - 1), 0xEFE2EF);
        dc.FillSolidRect(Rect(row.left, row.top, row.right, row.top + 1), 0x7940DF);
        dc.FillSolidRect(Rect(row.left, row.top + 1, row.right, row.top + 2), 0xF7F0F6);
        dc.FillSolidRect(Rect(row.left, row.bottom - 2, row.right, row.bottom - 1), 0xF7F0F6);
        dc.FillSolidRect(Rect(row.left, row.bottom - 1, row.right, row.bottom), 0x7940DF);
    }
}

void CHomeSidebarFolder::OnPrepareDC(CDC& dc, unsigned)
{
    savedColor_ = dc.GetTextColor();
    dc.SetTextColor(IsSelected() ? RGB(255, 255, 255) : RGB(0x20, 0x20, 0x20));
}

void CHomeSidebarFolder::OnRestoreDC(CDC& dc, unsigned) { dc.SetTextColor(savedColor_); }

int CHomeSidebarFolder::OnSelect(int select, int)
{
    if (select) bar_->Home()->ShowCategory(name_, path_);
    return 1;
}

// ---- The bar.

namespace
{

struct CommandSpec {
    int code;
    const wchar_t* label;
    const wchar_t* description;
    unsigned bitmap;
};

// Zero code: a separator.
const CommandSpec kCommands[] = {
    {kSidebarNewCategory, L"新建目录", L"新建一个模板分类目录", 345},
    {kSidebarDeleteCategory, L"删除目录", L"删除指定模板分类目录", 346},
    {0, nullptr, nullptr, 0},
    {kSidebarAddTemplate, L"添加模板", L"添加模板到指定的目录", 347},
    {kSidebarDeleteTemplate, L"删除模板", L"从指定的目录删除模板", 348},
    {0, nullptr, nullptr, 0},
    {kSidebarRefresh, L"刷新", L"刷新模板管理器", 349},
    {0, nullptr, nullptr, 0},
    {kSidebarBackup, L"备份", L"备份模板和数据库到一个文件", 350},
    {kSidebarRestore, L"恢复", L"从一个文件恢复模板和数据库", 351},
    {0, nullptr, nullptr, 0},
    {kSidebarExit, L"退出", L"退出应用程序", 344},
    {0, nullptr, nullptr, 0},
};

} // namespace

CHomeSidebar::CHomeSidebar(CHomePageWnd* home) : MyList(home), home_(home), category_(runner::RunnerBitmap(341)) {}

void CHomeSidebar::Refill()
{
    DeleteAllItems();
    AddItem(new CHomeSidebarMargin(this), 0);
    for (const CommandSpec& spec : kCommands) {
        if (spec.code == 0)
            AddItem(new CHomeSidebarSeparator(this), 0);
        else
            AddItem(new CHomeSidebarCommand(this, spec.code, spec.label, spec.description, spec.bitmap), 0);
    }
    const std::wstring library = home_->LibraryFolder();
    AddItem(new CHomeSidebarFolderEx(this, L"本地模板", library), 0);
    AddItem(new CHomeSidebarFolderEx(this, L"常用模板", L""), 0);
    for (const std::wstring& folder : runner::SubFoldersOf(library))
        AddItem(new CHomeSidebarFolder(this, folder, runner::JoinPath(library, folder)), 0);
    Layout();
    update();
}

CHomeSidebarItem* CHomeSidebar::Row(int index) const { return static_cast<CHomeSidebarItem*>(GetItem(index)); }

void CHomeSidebar::SelectFirstCategory()
{
    for (int i = 0; i < GetCount(); ++i)
        if (Row(i)->IsCategory()) {
            SetCurSel(i);
            return;
        }
}

int CHomeSidebar::CategoryRowOf(const std::wstring& name) const
{
    if (name.empty()) return -1;
    for (int i = 0; i < GetCount(); ++i)
        if (Row(i)->IsCategory() && runner::EqualsIgnoringAsciiCase(static_cast<CHomeSidebarFolder*>(Row(i))->Name(), name))
            return i;
    return -1;
}

bool CHomeSidebar::SelectCategory(const std::wstring& name)
{
    const int row = CategoryRowOf(name);
    if (row < 0) return false;
    SetCurSel(row);
    return GetCurSel() == row;
}

bool CHomeSidebar::GetSelectedCategory(std::wstring* name, std::wstring* path) const
{
    const int sel = GetCurSel();
    if (sel < 0 || sel >= GetCount() || !Row(sel)->IsCategory()) return false;
    auto* folder = static_cast<CHomeSidebarFolder*>(Row(sel));
    if (name) *name = folder->Name();
    if (path) *path = folder->Path();
    return true;
}

bool CHomeSidebar::SelectedIsDeletableCategory() const
{
    const int sel = GetCurSel();
    return sel >= 0 && sel < GetCount() && Row(sel)->IsCategory() && !Row(sel)->IsFixedCategory();
}

CHomeSidebarCommand* CHomeSidebar::CommandRow(int code) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (auto* command = dynamic_cast<CHomeSidebarCommand*>(Row(i)); command && command->Code() == code)
            return command;
    return nullptr;
}

void CHomeSidebar::EnableCommand(int code, bool enable)
{
    CHomeSidebarCommand* row = CommandRow(code);
    if (!row || (row->IsEnabled() != 0) == enable) return;
    row->Enable(enable);
    row->Update();
}

void CHomeSidebar::RunCommand(int code) { home_->OnSidebarCommand(code); }

void CHomeSidebar::DoFillBkgrand(CDC& dc)
{
    RECT area;
    GetClientRect(&area);
    rowdraw::VGradient(dc, Rect(area.left, area.top, area.right - 1, area.bottom), 0xFCF5ED, 0xEDD9C9);
    rowdraw::VGradient(dc, Rect(area.right - 1, area.top, area.right, area.bottom), 0xEADBCC, 0xC5A990);
}

void CHomeSidebar::OnMyList_RButtonUp(POINT pt)
{
    const int row = HitTest(pt);
    if (row >= 0 && !Row(row)->IsCategory()) return;
    home_->ShowContextMenu(356, mapToGlobal(QPoint(pt.x, pt.y)));
}
