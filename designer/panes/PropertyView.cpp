#include "PropertyView.h"

#include "DesignerLook.h"
#include "PanePictures.h"
#include "PropertyDialogs.h"
#include "SystemColors.h"
#include "UIUitl.h"

#include <QFontMetrics>
#include <QPainter>

#include <cwchar>
#include <cwctype>

namespace
{

constexpr unsigned kValueFormat = 36; // DT_VCENTER | DT_SINGLELINE
constexpr unsigned kWrapFormat = 0x10; // DT_WORDBREAK
constexpr unsigned kNumberFormat = 37; // DT_CENTER | DT_VCENTER | DT_SINGLELINE
constexpr int kCaptionRight = 70;
constexpr int kButtonWidth = 20;
constexpr unsigned kNumberId = 100;
constexpr unsigned kComboId = 200;
// The check control's value group and its one item, by their captions.
constexpr wchar_t kCheckValueGroup[] = L"取值";
constexpr wchar_t kCheckValueItem[] = L"值";
constexpr COLORREF kMissingGround = RGB(255, 222, 222);
constexpr COLORREF kMissingText = RGB(192, 0, 0);

bool Same(const wchar_t* a, const wchar_t* b) { return a && b && std::wcscmp(a, b) == 0; }

RECT Anchored(int left, int top, int right, int bottom)
{
    RECT r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

int TextHeight()
{
    static const int height = QFontMetrics(designer::InterfaceQFont()).height();
    return height;
}

bool EqualNoCase(const std::wstring& a, const wchar_t* b)
{
    const std::wstring other = b ? b : L"";
    if (a.size() != other.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(other[i]))
            return false;
    return true;
}

std::vector<std::wstring> SplitAtCommas(const wchar_t* text)
{
    std::vector<std::wstring> parts;
    std::wstring part;
    for (const wchar_t* p = text ? text : L""; *p; ++p) {
        if (*p == L',') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    parts.push_back(part);
    return parts;
}

void FillOptions(MyWidComboBox& combo, IDoxAttrib* attrib)
{
    combo.RemoveAll();
    const int32_t count = attrib->GetOptionCount();
    for (int32_t i = 0; i < count; ++i) {
        const wchar_t* option = attrib->GetOptionText(i);
        combo.AddString(option ? option : L"", static_cast<unsigned long>(i));
    }
}

void SetComboFlags(MyWidComboBox& combo, uint32_t type)
{
    const bool readOnly = (type & DOX_ATTRIB_READONLY) != 0;
    combo.Enable(!readOnly);
    if (!readOnly)
        combo.SetEditable((type & DOX_ATTRIB_FREETEXT) ? 1 : 0);
    combo.SetColorList((type & DOX_ATTRIB_COLOR) ? 1 : 0);
}

} // namespace

// ---- The rows' common part.

CPropertyItem::CPropertyItem(IDoxAttrib* attrib) : attrib_(attrib) {}

int CPropertyItem::LineHeight() const { return TextHeight() + 3; }

SIZE CPropertyItem::GetDimension() const
{
    SIZE size;
    size.cx = 0;
    size.cy = LineHeight();
    return size;
}

void CPropertyItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    spacer_.Initialize(this, Anchored(0, 0, 15, 0), 0);
    spacer_.Enable(0);
    caption_.Initialize(this, Anchored(15, 0, kCaptionRight, 0), 1);
    caption_.Enable(0);
    caption_.SetSp(1);
    InitValueWidgets();
    OnUpdate();
}

bool CPropertyItem::IsValueBold() const
{
    return IsValueMissing() || !EqualNoCase(ValueText(), attrib_->GetDefaultText());
}

void CPropertyItem::OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id)
{
    COLORREF color = GetSysColor(COLOR_WINDOW);
    if (id == 0)
        color = designer::FaceColor();
    else if (id == 1 && IsSelected())
        color = GetSysColor(COLOR_HIGHLIGHT);
    else if (id == 2 && IsValueMissing())
        color = kMissingGround;
    else if (id == 3)
        color = GetSysColor(COLOR_BTNFACE);
    dc.FillSolidRect(r, color);
}

void CPropertyItem::OnPrepareDC(CDC& dc, unsigned id)
{
    if (id == 1) {
        const COLORREF text = IsSelected() ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                              : IsValueMissing() ? kMissingText
                                                 : GetSysColor(COLOR_WINDOWTEXT);
        savedColor_ = dc.SetTextColor(text);
        return;
    }
    savedColor_ = dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    if (IsValueWidget(id))
        savedFont_ = dc.SelectObject(*designer::InterfaceFont(IsValueBold()));
}

void CPropertyItem::OnRestoreDC(CDC& dc, unsigned id)
{
    dc.SetTextColor(savedColor_);
    if (id != 1 && IsValueWidget(id))
        dc.SelectObject(savedFont_);
}

void CPropertyItem::Store(const std::wstring& text)
{
    if (!attrib_->SetValueText(text.c_str())) {
        const wchar_t* error = attrib_->GetErrorText();
        UIUitl::MessageBoxW(64, error ? error : L"");
    }
    // Accepted or not, the row shows what the attribute holds now.
    OnUpdate();
    Update();
}

// ---- Text.

void CPropertyEditItem::InitValueWidgets()
{
    value_.Initialize(this, Anchored(kCaptionRight, 0, 0, 0), 2);
    value_.LimitText(128);
    value_.SetReadOnly(0, this);
}

void CPropertyEditItem::OnUpdate()
{
    caption_.SetText(attrib_->GetCaption());
    value_.SetText(attrib_->GetValueText());
    value_.Enable(!IsReadOnly());
    value_.SetAlign(kValueFormat);
}

void CPropertyEditItem::OnWid_Changed(unsigned int id)
{
    if (id == 2)
        Store(value_.GetText());
}

// ---- Choice.

void CPropertyCombBoxItem::InitValueWidgets()
{
    combo_.Initialize(this, Anchored(kCaptionRight, 0, 0, 0), 2);
    combo_.LimitText(32);
    combo_.SetEventSink(this);
}

void CPropertyCombBoxItem::OnUpdate()
{
    caption_.SetText(attrib_->GetCaption());
    FillOptions(combo_, attrib_);
    combo_.SetText(attrib_->GetValueText());
    SetComboFlags(combo_, attrib_->GetType());
}

void CPropertyCombBoxItem::OnWid_Changed(unsigned int id)
{
    if (id == 2)
        Store(combo_.GetText());
}

// ---- Several choices and collections.

void CPropertyMultiItem::InitValueWidgets()
{
    value_.Initialize(this, Anchored(kCaptionRight, 0, -kButtonWidth, 0), 2);
    more_.Initialize(this, Anchored(-kButtonWidth, 0, 0, 0), 3);
    more_.SetText(L"...");
    more_.SetAlign(kNumberFormat);
    more_.SetEventSink(this);
}

void CPropertyMultiItem::OnUpdate()
{
    caption_.SetText(attrib_->GetCaption());
    value_.SetText(attrib_->GetValueText());
    value_.Enable(!IsReadOnly());
    more_.Enable(!IsReadOnly());
}

void CPropertyMultiItem::OnWid_Click(unsigned int id)
{
    if (id != 3)
        return;
    Hold hold(this);
    RunDialog();
    if (IsReleased())
        return;
    OnUpdate();
    Update();
}

void CPropertyMultiItem::RunDialog()
{
    CPropertyMultiDlg dialog(attrib_, GetDepotWnd() ? GetDepotWnd()->window() : nullptr);
    dialog.exec();
}

void CPropertyCollocetItem::OnUpdate()
{
    CPropertyMultiItem::OnUpdate();
    value_.SetAlign((attrib_->GetType() & DOX_ATTRIB_MULTI) ? kWrapFormat : kValueFormat);
}

void CPropertyCollocetItem::RunDialog()
{
    CPropertyColloctDlg dialog(attrib_, GetDepotWnd() ? GetDepotWnd()->window() : nullptr);
    dialog.exec();
}

// ---- CS values: sixteen numbered combo boxes.

SIZE CPropertyCSValueItem::GetDimension() const
{
    SIZE size;
    size.cx = 0;
    size.cy = kLines * LineHeight();
    return size;
}

void CPropertyCSValueItem::InitValueWidgets()
{
    const int h = LineHeight();
    for (int i = 0; i < kLines; ++i) {
        numbers_[i].Initialize(this, Anchored(kCaptionRight, i * h, 90, (i + 1) * h), kNumberId + i);
        numbers_[i].SetText(std::to_wstring(i + 1).c_str());
        numbers_[i].SetAlign(kNumberFormat);
        numbers_[i].SetSp(1);
        numbers_[i].Enable(0);
        combos_[i].Initialize(this, Anchored(90, i * h, 0, (i + 1) * h), kComboId + i);
        combos_[i].LimitText(32);
        combos_[i].SetEventSink(this);
    }
}

void CPropertyCSValueItem::OnUpdate()
{
    caption_.SetText(attrib_->GetCaption());
    for (MyWidComboBox& combo : combos_) {
        FillOptions(combo, attrib_);
        combo.SetText(L"");
        SetComboFlags(combo, attrib_->GetType());
    }
    const std::vector<std::wstring> parts = SplitAtCommas(attrib_->GetValueText());
    for (size_t k = 0; k < parts.size() && k < combos_.size(); ++k)
        combos_[k].SetText(parts[k].c_str());
}

std::wstring CPropertyCSValueItem::ValueText() const
{
    std::wstring joined;
    for (const MyWidComboBox& combo : combos_) {
        const std::wstring text = combo.GetText();
        if (text.empty())
            continue;
        if (!joined.empty())
            joined += L',';
        joined += text;
    }
    return joined;
}

void CPropertyCSValueItem::OnWid_Changed(unsigned int id)
{
    if (id >= kComboId && id < kComboId + kLines)
        Store(ValueText());
}

void CPropertyCSValueItem::OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id)
{
    CPropertyItem::OnErase_bkgnd(dc, r, id);
    if (id >= kComboId && id < kComboId + kLines)
        dc.FillSolidRect(Anchored(r.left, r.bottom - 1, r.right, r.bottom), GetSysColor(COLOR_BTNSHADOW));
}

// ---- Groups.

CPropertyGroupItem::CPropertyGroupItem(CPropertyView* view, const wchar_t* caption)
    : view_(view), caption_(nullptr, caption)
{
}

SIZE CPropertyGroupItem::GetDimension() const
{
    SIZE size;
    size.cx = 0;
    size.cy = TextHeight() + 2;
    return size;
}

void CPropertyGroupItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    mark_.Initialize(this, Anchored(0, 0, 15, 0), 0);
    mark_.SetImageList(view_->Marks());
    mark_.SetImageIndex(expanded_ ? 0 : 1);
    mark_.SetEventSink(this);
    caption_.Initialize(this, Anchored(15, 0, 0, 0), 1);
    caption_.SetEventSink(this);
    caption_.SetNone(1);
}

void CPropertyGroupItem::OnErase_bkgnd(CDC& dc, const RECT& r, unsigned) { dc.FillSolidRect(r, designer::FaceColor()); }

void CPropertyGroupItem::OnPrepareDC(CDC& dc, unsigned id)
{
    if (id == 1)
        savedFont_ = dc.SelectObject(*designer::InterfaceFont(true));
}

void CPropertyGroupItem::OnRestoreDC(CDC& dc, unsigned id)
{
    if (id == 1)
        dc.SelectObject(savedFont_);
}

void CPropertyGroupItem::Toggle()
{
    expanded_ = !expanded_;
    view_->ShowChildItems(GetID(), expanded_ ? 1 : 0);
    mark_.SetImageIndex(expanded_ ? 0 : 1);
    view_->Layout();
    view_->update();
}

void CPropertyGroupItem::OnWid_Click(unsigned int id)
{
    if (id == 0)
        Toggle();
}

void CPropertyGroupItem::OnWid_DbClick(unsigned int id)
{
    if (id == 1)
        Toggle();
}

// ---- The list.

CPropertyView::CPropertyView(QWidget* parent) : MyList(parent)
{
    marks_.Create(9, 9);
    marks_.Add(designer::ExpandMarks());
}

void CPropertyView::PreCreateWindow(unsigned& style) { style |= kListSeparator; }

COLORREF CPropertyView::GetSpColor() { return designer::FaceColor(); }

const CFont* CPropertyView::GetFontHandle() { return designer::InterfaceFont(); }

void CPropertyView::UpdateWidContainer(MyWidContainer* row)
{
    // A row's change may show in the others (a combined set of several controls), so
    // the whole list is repainted. The rows are not re-read here: a row that reports a
    // change still holds the typed text its handler is about to store.
    MyList::UpdateWidContainer(row);
    update();
}

void CPropertyView::AddAttrib(IDoxAttrib* attrib, unsigned id, unsigned parentId)
{
    const uint32_t type = attrib->GetType();
    MyWidContainer* row = nullptr;
    switch (type & DOX_ATTRIB_KIND_MASK) {
    case DOX_ATTRIB_KIND_TEXT:
        row = new CPropertyEditItem(attrib);
        break;
    case DOX_ATTRIB_KIND_CHOICE:
        if (type & DOX_ATTRIB_MULTI)
            row = new CPropertyMultiItem(attrib);
        else
            row = new CPropertyCombBoxItem(attrib);
        break;
    case DOX_ATTRIB_KIND_COLLECTION:
        if (parentId != 0xFFFFFFFF)
            row = new CPropertyCollocetItem(attrib);
        break;
    case DOX_ATTRIB_KIND_CSVALUE:
        if (parentId != 0xFFFFFFFF)
            row = new CPropertyCSValueItem(attrib);
        break;
    default:
        break;
    }
    if (row)
        AddItem(row, 0, id, parentId);
}

void CPropertyView::FillProperties(IDoxAttribSet* set)
{
    const int selection = GetCurSel();
    DeleteAllItems();
    shown_ = set;
    const int32_t count = set ? set->GetCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        IDoxAttrib* attrib = set->GetAt(i);
        if (!attrib)
            continue;
        const unsigned id = static_cast<unsigned>(i);
        if ((attrib->GetType() & DOX_ATTRIB_KIND_MASK) == DOX_ATTRIB_KIND_GROUP) {
            AddItem(new CPropertyGroupItem(this, attrib->GetCaption()), 0, id);
            const bool checkValue = Same(attrib->GetCaption(), kCheckValueGroup);
            const int32_t children = attrib->GetChildCount();
            for (int32_t j = 0; j < children; ++j)
                if (IDoxAttrib* child = attrib->GetChild(j)) {
                    AddAttrib(child, 0xFFFFFFFF, id);
                    // The check box's tick stands for this value: empty, a tick is
                    // neither kept in the bill nor printed.
                    auto* row = dynamic_cast<CPropertyItem*>(GetItem(GetCount() - 1));
                    if (checkValue && row && row->Attrib() == child && Same(child->GetCaption(), kCheckValueItem))
                        row->SetValueNeeded(true);
                }
        } else {
            AddAttrib(attrib, id, 0xFFFFFFFF);
        }
    }
    if (selection >= 0 && selection < GetCount())
        SetCurSel(selection);
    Layout();
    update();
}

void CPropertyView::RefreshItems()
{
    for (int i = 0; i < GetCount(); ++i)
        if (MyWidContainer* row = GetItem(i))
            row->OnUpdate();
    update();
}

void CPropertyView::Clear()
{
    shown_ = nullptr;
    DeleteAllItems();
    Layout();
    update();
}

// ---- The pane.

CPropertyPane::CPropertyPane(QWidget* parent) : QWidget(parent), view_(new CPropertyView)
{
    RECT r = Anchored(0, 25, 100, 100);
    view_->Create(0x50800000, r, this, 101);
}

void CPropertyPane::FillProperties(IDoxAttribSet* set)
{
    view_->FillProperties(set);
    update(0, 0, width(), 25);
}

void CPropertyPane::resizeEvent(QResizeEvent*) { view_->setGeometry(0, 25, width(), std::max(0, height() - 25)); }

void CPropertyPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(QRect(0, 0, width(), 25), Qt::white);
    if (IDoxAttribSet* set = view_->Shown()) {
        p.setFont(designer::InterfaceQFont());
        p.setPen(Qt::black);
        const wchar_t* name = set->GetName();
        p.drawText(QRect(6, 6, std::max(0, width() - 12), 13), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   QString::fromWCharArray(name ? name : L""));
    }
}
