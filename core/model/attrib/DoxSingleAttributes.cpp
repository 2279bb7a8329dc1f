#include "DoxSingleAttributes.h"

namespace
{

constexpr uint32_t kTextItemType = DOX_ATTRIB_KIND_TEXT | DOX_ATTRIB_FREETEXT | DOX_ATTRIB_MULTI;

} // namespace

DoxEditableAttribute::DoxEditableAttribute() : DoxAttribItemBool("editable", L"可编辑", true)
{
    SetShared(true);
}

DoxPrintableAttribute::DoxPrintableAttribute() : DoxAttribItemBool("printable", L"可打印", true)
{
    SetShared(true);
}

DoxVisibleAttribute::DoxVisibleAttribute() : DoxAttribItemBool("visible", L"可视", true) {}

DoxBorderAttribute::DoxBorderAttribute() : DoxAttribItemBool("border", L"边框", false)
{
    SetShared(true);
}

DoxBgColorAttribute::DoxBgColorAttribute(uint32_t initial) : DoxAttribItemColor("bgcolor", L"背景色", initial)
{
    SetShared(true);
}

DoxFgColorAttribute::DoxFgColorAttribute() : DoxAttribItemColor("fgcolor", L"前景色", 0)
{
    SetShared(true);
}

DoxTransparentAttribute::DoxTransparentAttribute() : DoxAttribItemInt("transparent", L"透明度", 120)
{
    SetType(DOX_ATTRIB_KIND_CHOICE);
    SetRange(0, 255);
    SetOptions(&transparentOptions_);
    SetShared(true);
}

DoxDisplayTextItem::DoxDisplayTextItem(const char* key, const wchar_t* caption, const wchar_t* initial)
    : DoxAttribItemStr(key, caption, initial)
{
    SetType(kTextItemType);
    SetShared(true);
}

bool DoxDisplayTextItem::SetValueText(const wchar_t* text)
{
    display_.clear();
    return DoxAttribItemStr::SetValueText(text);
}

const std::wstring& DoxDisplayTextItem::GetDisplayText()
{
    // Rebuilt whenever the value changed by any path (typed, loaded, set by the model).
    if (display_.empty() || displaySource_ != value_) {
        displaySource_ = value_;
        display_.clear();
        display_.reserve(value_.size());
        for (size_t i = 0; i < value_.size(); ++i) {
            if (value_[i] == L'\\' && i + 1 < value_.size() && value_[i + 1] == L'n') {
                display_ += L'\n';
                ++i;
            } else {
                display_ += value_[i];
            }
        }
    }
    return display_;
}

bool DoxDisplayTextItem::HasDisplayText()
{
    return !GetDisplayText().empty();
}

DoxTextAttribute::DoxTextAttribute() : DoxDisplayTextItem("text", L"文本", L"请输入文字") {}

DoxTipAttribute::DoxTipAttribute() : DoxDisplayTextItem("text", L"提示", L"") {}
