#include "DoxDataAttribute.h"

#include <algorithm>

#include "BillText.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DataFunction.h"
#include "DataPage.h"
#include "DoxAttribKinds.h"
#include "NameRules.h"

namespace
{

constexpr const wchar_t* kBadFieldName = L"字段名包含无效的字符或者保留的字符串";

// Names the bill tables use for their own columns: a field of that name could
// not be stored.
bool IsFixedColumnName(const std::wstring& name)
{
    for (const wchar_t* fixed : {L"id", L"parentId", L"createtime", L"row"}) {
        if (bill::EqualsNoCase(name, fixed))
            return true;
    }
    return false;
}

} // namespace

// DoxDataFunctionAttribItem.

DoxDataFunctionAttribItem::DoxDataFunctionAttribItem(const wchar_t* caption)
    : DoxAttribItemStr("datafunction", caption, L"")
{
    SetType(3);
    SetPersisted(false);
}

const wchar_t* DoxDataFunctionAttribItem::GetValueText()
{
    shown_ = function_ ? function_->GetValueText() : std::wstring();
    return shown_.c_str();
}

int32_t DoxDataFunctionAttribItem::GetElementCount()
{
    return function_ ? static_cast<int32_t>(function_->Objects().size()) : 0;
}

IDoxAttribSet* DoxDataFunctionAttribItem::GetElement(int32_t i)
{
    if (!function_ || i < 0 || static_cast<size_t>(i) >= function_->Objects().size())
        return nullptr;
    return function_->Objects()[i];
}

bool DoxDataFunctionAttribItem::AddElement()
{
    return function_ && function_->AddObject() != nullptr;
}

void DoxDataFunctionAttribItem::RemoveElement(int32_t i)
{
    if (function_ && i >= 0)
        function_->RemoveObject(static_cast<size_t>(i));
}

bool DoxDataFunctionAttribItem::MoveElement(int32_t i, bool up)
{
    return function_ && i >= 0 && function_->MoveObject(static_cast<size_t>(i), up);
}

DoxDataUintItem::DoxDataUintItem(const char* key, const wchar_t* caption, DoxAttribOptions* options)
    : DoxAttribItemUint(key, caption, 0)
{
    if (options)
        SetOptions(options);
}

DoxFieldNameItem::DoxFieldNameItem(DoxAttribOptions* options) : DoxAttribItemStr("fieldname", L"字段", L"")
{
    options_ = options;
}

// DoxDataAttribute.

DoxDataAttribute::DoxDataAttribute()
    : DoxAttribute("databind", L"数据绑定"), tableName_("tablename", L"数据表", L""),
      fieldName_(&fieldNames_), fieldType_("fieldtype", L"类型", &fieldTypes_),
      fieldLength_("fieldlength", L"长度", nullptr), execute_(L"取值函数"), filter_(L"控制函数")
{
    tableName_.SetType(0x10001);
    tableName_.SetShared(true);
    fieldName_.SetType(0x20002);
    fieldName_.SetShared(true);
    fieldType_.SetType(2);
    fieldType_.SetShared(true);
    fieldType_.SetPersisted(false);
    fieldLength_.SetType(0x60001);
    fieldLength_.SetShared(true);
    for (DoxAttribItem* item : std::initializer_list<DoxAttribItem*>{&tableName_, &fieldName_, &fieldType_,
                                                                     &fieldLength_, &execute_, &filter_})
        AddItem(item);
}

DoxDataAttribute::~DoxDataAttribute()
{
    if (field_)
        field_->Release();
    if (container_)
        container_->Release();
}

int32_t DoxDataAttribute::GetKindId() const
{
    return DoxAttribKindId::Data;
}

bool DoxDataAttribute::Bind(DataContainer* dataContext, DataPage* pageData, bool isNew)
{
    if (!dataContext)
        return false;
    pageData_ = pageData;
    fieldNames_.SetSource([this]() {
        std::vector<std::wstring> names;
        if (pageData_ && container_) {
            for (DataField* field : pageData_->GetFieldList(container_))
                names.push_back(field->GetName());
        }
        return names;
    });
    if (container_ != dataContext) {
        if (field_) {
            field_->Release();
            field_ = nullptr;
        }
        if (container_)
            container_->Release();
        container_ = dataContext->AddRef();
    }
    if (!field_) {
        const std::wstring name = fieldName_.GetText();
        if (!isNew)
            field_ = container_->FindField(name.c_str());
        if (!field_)
            field_ = container_->AddField(name.c_str());
    }
    FollowField();
    Refresh();
    return field_ != nullptr;
}

void DoxDataAttribute::FollowField()
{
    execute_.SetFunction(field_ ? &field_->Execute() : nullptr);
    filter_.SetFunction(field_ ? &field_->Filter() : nullptr);
}

void DoxDataAttribute::AddSink(DoxDataAttributeSink* sink)
{
    if (!sink)
        return;
    sinks_.push_back(sink);
    sink->OnFieldType(fieldType_.GetUValue());
}

void DoxDataAttribute::RemoveSink(DoxDataAttributeSink* sink)
{
    std::erase(sinks_, sink);
}

void DoxDataAttribute::NotifyType()
{
    const uint32_t type = fieldType_.GetUValue();
    for (DoxDataAttributeSink* sink : std::vector<DoxDataAttributeSink*>(sinks_))
        sink->OnFieldType(type);
    if (field_) {
        field_->Execute().CheckFieldType();
        field_->Filter().CheckFieldType();
    }
}

void DoxDataAttribute::Refresh()
{
    if (field_) {
        const DataContainer* container = field_->GetContainer();
        tableName_.SetTextLimited(container ? container->GetName() : std::wstring());
        fieldName_.SetTextLimited(field_->GetName());
        fieldType_.Store(field_->GetType());
    } else {
        tableName_.SetTextLimited(L"");
        fieldName_.SetTextLimited(L"");
        fieldType_.Store(0);
    }
    NotifyType();
}

bool DoxDataAttribute::AcceptChange(bool changing)
{
    DoxAttribItem* item = GetChangingItem();
    if (item == &fieldType_) {
        if (field_)
            field_->SetType(fieldType_.GetUValue());
        NotifyType();
    } else if (item == &fieldName_) {
        const std::wstring name = fieldName_.GetText();
        if (!IsValidFieldName(name.c_str()) || IsFixedColumnName(name)) {
            fieldName_.SetErrorText(kBadFieldName);
            return false;
        }
        if (field_)
            field_ = container_->RenameField(name.c_str(), field_);
        else if (container_)
            field_ = container_->AddField(name.c_str());
        FollowField();
        Refresh();
    }
    return DoxAttribute::AcceptChange(changing);
}

bool DoxDataAttribute::FormatBoundValue(const uint32_t* formatId, const wchar_t* parameter, int32_t row,
                                        std::wstring& out)
{
    out.clear();
    if (!field_ || !field_->GetContainer())
        return false;
    const uint32_t id = formatId ? *formatId : field_->GetType() << 16;
    return field_->GetContainer()->FormatCell(row, field_, id, out, formatId ? parameter : nullptr) != 0;
}

int32_t DoxDataAttribute::GetFormatId(const uint32_t* formatId) const
{
    if (formatId)
        return static_cast<int32_t>(*formatId);
    return field_ ? static_cast<int32_t>(field_->GetType() << 16) : 0;
}
