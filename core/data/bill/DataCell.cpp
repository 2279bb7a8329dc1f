#include "DataCell.h"

#include "DataContainer.h"
#include "DataField.h"
#include "DataPage.h"
#include "DataValue.h"

DataCell::DataCell(DataField* field, int32_t row) : field_(field), row_(row) {}

void DataCell::PointTextValue()
{
    // A text value points at the cell's own entered text.
    if (field_ && field_->GetType() == 0)
        value_.text = entered_.c_str();
}

uint32_t DataCell::GetType()
{
    if (!field_ || !hasValue_)
        return 0;
    switch (field_->GetType()) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
    case 3:
        return 3;
    default:
        return 0;
    }
}

const wchar_t* DataCell::GetText()
{
    if (field_ && hasValue_ && field_->GetType() == 0)
        return entered_.c_str();
    return L"";
}

double DataCell::GetNumber()
{
    if (field_ && hasValue_ && field_->GetType() == 1)
        return value_.number;
    return 0.0;
}

uint64_t DataCell::GetTime()
{
    if (field_ && hasValue_ && (field_->GetType() == 2 || field_->GetType() == 3))
        return value_.time;
    return 0;
}

const wchar_t* DataCell::Format(uint32_t formatIndex, const wchar_t* parameter)
{
    formatted_.clear();
    // The index is 16 bits wide: a larger one names no entry.
    if (!field_ || formatIndex > 0xFFFF)
        return formatted_.c_str();
    const uint32_t id = (field_->GetType() << 16) | formatIndex;
    if (!FormatValue(id, formatted_, parameter))
        formatted_.clear();
    return formatted_.c_str();
}

int DataCell::FormatValue(uint32_t formatId, std::wstring& out, const wchar_t* parameter) const
{
    if (!hasValue_ || !field_) {
        out.clear();
        return 0;
    }
    RawValue value = value_;
    if (field_->GetType() == 0)
        value.text = entered_.c_str();
    return bill::FormatRaw(formatId, out, parameter, value) ? 1 : 0;
}

int DataCell::GetNumberIfSet(double& out) const
{
    if (!hasValue_ || !field_ || field_->GetType() != 1)
        return 0;
    out = value_.number;
    return 1;
}

int DataCell::GetValue(DataValue& out) const
{
    if (!hasValue_ || !field_)
        return 0;
    const uint32_t type = field_->GetType();
    bill::SetValueType(out, type);
    switch (type) {
    case 0:
        bill::ValueSetText(out, entered_.c_str());
        break;
    case 1:
        bill::ValueSetNumber(out, value_.number);
        break;
    default:
        bill::ValueSetTime(out, value_.time);
        break;
    }
    return 1;
}

std::wstring DataCell::DefaultValueText() const
{
    std::wstring text;
    if (hasValue_ && field_)
        FormatValue(field_->StoredFormatId(), text, nullptr);
    return text;
}

int DataCell::SetValue(const DataValue& source)
{
    if (!field_ || bill::ValueType(source) != field_->GetType())
        return 0;
    DataValue value;
    bill::ValueCopy(value, source);
    if (DataFilter* filter = field_->GetFilter()) {
        if (!filter->Test(row_, value, nullptr))
            return 0;
    }
    const std::wstring before = entered_;
    value_ = bill::ValueRaw(value);
    hasValue_ = 1;
    if (field_->GetType() == 0)
        entered_ = bill::ValueText(value);
    else
        entered_ = DefaultValueText();
    PointTextValue();
    DataField* field = field_;
    field->NotifyObservers(row_);
    if (entered_ != before && field->GetContainer())
        field->GetContainer()->SetModified();
    return 1;
}

int DataCell::SetText(const wchar_t* text, std::wstring* message)
{
    if (!field_)
        return 0;
    std::wstring entered = text ? text : L"";
    // Emptying a field always clears it. Any other refused entry leaves the stored value
    // as it was: the editor keeps showing the entry with its refusal, and cancelling
    // there must bring the old value back.
    if (!field_->TestText(text, row_, message, nullptr)) {
        if (entered.empty())
            Clear();
        return 0;
    }
    RawValue value = bill::EmptyRaw();
    if (!entered.empty() && !bill::ParseRaw(field_->GetType(), entered.c_str(), value, message))
        return 0;
    // Whether the value changed is asked only of a page not changed yet: a page that
    // is changed stays so, and formatting every value of a loaded bill twice to learn
    // it again was a sixth of taking the bill in.
    DataContainer* container = field_->GetContainer();
    const DataPage* page = container ? container->GetPage() : nullptr;
    const bool compare = container && !(page && page->IsModified());
    const std::wstring before = compare ? DefaultValueText() : std::wstring();
    entered_ = std::move(entered);
    int result = 0;
    if (entered_.empty()) {
        hasValue_ = 0;
        value_ = bill::EmptyRaw();
    } else {
        value_ = value;
        PointTextValue();
        hasValue_ = 1;
        result = 1;
    }
    DataField* field = field_;
    field->NotifyObservers(row_);
    if (compare && DefaultValueText() != before)
        container->SetModified();
    return result;
}

void DataCell::Clear()
{
    ClearQuietly();
    if (field_)
        field_->NotifyObservers(row_);
}

void DataCell::ClearQuietly()
{
    entered_.clear();
    hasValue_ = 0;
    value_ = bill::EmptyRaw();
}
