#include "DoxCheckControl.h"

#include <new>

#include "DC.h"
#include "DoxAttribKinds.h"
#include "DoxColor.h"
#include "FormatCatalogue.h"
#include "GdiObjects.h"

namespace
{
constexpr const wchar_t* kBadValue = L"无效值";
constexpr UINT kTickFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z')
            x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z')
            y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

DoxCheckValueAttrib::DoxCheckValueAttrib() : DoxAttribute("checkvalue", L"取值"), param_("param", L"值", L"")
{
    AddItem(&param_);
}

int32_t DoxCheckValueAttrib::GetKindId() const
{
    return DoxAttribKindId::CheckValue;
}

bool DoxCheckValueAttrib::Normalise(const std::wstring& text, std::wstring& out) const
{
    // No value at all stays no value, whatever the type's parser makes of it.
    if (text.empty()) {
        out.clear();
        return true;
    }
    const ParseFunction parse = GetParseFunction(type_);
    if (!parse)
        return false;
    FormatValue value{};
    if (!parse(text.c_str(), value, nullptr))
        return false;
    out.clear();
    return FormatById(type_ << 16, out, L"", &value) != 0;
}

bool DoxCheckValueAttrib::AcceptChange(bool changing)
{
    std::wstring normal;
    if (!Normalise(param_.GetText(), normal)) {
        SetErrorText(kBadValue);
        param_.SetTextLimited(param_.GetDefault());
        return false;
    }
    param_.SetTextLimited(normal);
    return DoxAttribute::AcceptChange(changing);
}

void DoxCheckValueAttrib::OnFieldType(uint32_t type)
{
    type_ = type;
    std::wstring normal;
    param_.SetTextLimited(Normalise(param_.GetText(), normal) ? normal : param_.GetDefault());
}

DoxCheckControl::DoxCheckControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&editable_);
    basic.AddItem(&printable_);
    basic.AddItem(&border_);
    basic.AddItem(&transparent_);
    AddAttribute(&font_);
    AddAttribute(&DataAttribute());
    AddAttribute(&checkValue_);
}

bool DoxCheckControl::Init(bool isNew)
{
    if (!DoxControlEx::Init(isNew))
        return false;
    AddDataSink(&checkValue_);
    return true;
}

bool DoxCheckControl::BeginRun()
{
    SetFillInCursor(DoxRunCursor::Arrow);
    ticked_ = false;
    if (!DoxControlEx::BeginRun())
        return false;
    RefreshTick();
    return true;
}

void DoxCheckControl::EndRun()
{
    SetFillInCursor(std::nullopt);
    ticked_ = false;
    DoxControlEx::EndRun();
}

void DoxCheckControl::RefreshTick()
{
    std::wstring text;
    std::wstring error;
    ticked_ = ApplyText(text, false, error, nullptr) != 0 && EqualsIgnoringCase(text, checkValue_.GetText());
}

int DoxCheckControl::Update(int32_t /*row*/)
{
    RefreshTick();
    InvalidateField(0);
    return 1;
}

void DoxCheckControl::DrawTick(DC& dc, const RECT& rect)
{
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    RECT box = rect;
    dc.DrawText(L"√", 1, &box, kTickFlags);
    dc.SelectObject(oldFont);
}

void DoxCheckControl::DrawDesign(DC& dc)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    const COLORREF oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    DrawTick(dc, rect);
    dc.SetTextColor(oldColour);
}

void DoxCheckControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}

void DoxCheckControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}

void DoxCheckControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    if (!ticked_)
        return;
    RECT rect;
    DoxControl::GetRect(&rect);
    rect = DoxShiftedRect(rect, dx, dy);
    COLORREF oldColour = 0;
    if (!output)
        oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    DrawTick(dc, rect);
    if (!output)
        dc.SetTextColor(oldColour);
}

bool DoxCheckControl::IsEditable()
{
    return editable_.GetValue() != 0;
}

bool DoxCheckControl::IsInput()
{
    return true;
}

bool DoxCheckControl::IsVisible()
{
    return true;
}

uint8_t DoxCheckControl::GetTransparency()
{
    return transparent_.GetTransparency();
}

int DoxCheckControl::ExchangeEditor(DoxEditorHost* host, int direction)
{
    if (!editable_.GetValue())
        return 0;
    if (direction == 0) {
        if (!host)
            return 0;
        RECT rect;
        DoxControl::GetRect(&rect);
        host->Open(nullptr, DoxEditorHost::CheckEditor, rect.left, rect.top, rect.right - rect.left,
                   rect.top - rect.bottom);
        host->SetEditorFont(&font_.CreateEditorFont());
        if (host->GetChecked() != ticked_)
            host->SetChecked(ticked_);
        return 1;
    }
    if (direction == 1) {
        const bool checked = host &&
                             (host->GetStyle() & DoxEditorHost::CheckEditor) == DoxEditorHost::CheckEditor &&
                             host->GetChecked();
        if (checked != ticked_) {
            std::wstring text = checked ? checkValue_.GetText() : std::wstring();
            std::wstring error;
            ApplyText(text, true, error, nullptr);
            // The tick shows what the field holds: a refused value leaves it as it was.
            RefreshTick();
        }
    }
    return 1;
}
