#pragma once
// The "databind" group of a data-bound control (and of each table column): the
// field of the page's bill data the control shows and edits, its table, type
// and length, and the field's value and control functions.

#include <cstdint>
#include <string>
#include <vector>

#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"
#include "DoxAttribute.h"

class DataContainer;
class DataField;
class DataFunction;
class DataPage;

// Other groups of the same control whose choices follow the bound field's type
// (format, formula, check value).
class DoxDataAttributeSink
{
public:
    virtual void OnFieldType(uint32_t type) = 0;

protected:
    ~DoxDataAttributeSink() = default;
};

// Shows the calls of one function list of the bound field; each call is an
// element the property grid edits as an attribute set.
class DoxDataFunctionAttribItem : public DoxAttribItemStr
{
public:
    explicit DoxDataFunctionAttribItem(const wchar_t* caption);

    void SetFunction(DataFunction* function) { function_ = function; }
    DataFunction* GetFunction() const { return function_; }

    // "SUM(附表1.金额);" for each call.
    const wchar_t* GetValueText() override;
    int32_t GetElementCount() override;
    IDoxAttribSet* GetElement(int32_t i) override;
    bool AddElement() override;
    void RemoveElement(int32_t i) override;
    bool MoveElement(int32_t i, bool up) override;

private:
    DataFunction* function_ = nullptr;
    std::wstring shown_;
};

// An unsigned item the group also sets from the bound field, without the change
// chain.
class DoxDataUintItem : public DoxAttribItemUint
{
public:
    DoxDataUintItem(const char* key, const wchar_t* caption, DoxAttribOptions* options);
    void Store(uint32_t value) { value_ = value; }
};

class DoxFieldNameItem : public DoxAttribItemStr
{
public:
    explicit DoxFieldNameItem(DoxAttribOptions* options);
};

class DoxDataAttribute : public DoxAttribute
{
public:
    DoxDataAttribute();
    ~DoxDataAttribute() override;

    int32_t GetKindId() const override;
    void Refresh() override;
    bool AcceptChange(bool changing) override;

    // Binds to the field named by "fieldname" in the data context: a new control
    // (isNew) creates or shares it, a control read from a template finds the field
    // read with the page and creates it only when missing.
    bool Bind(DataContainer* dataContext, DataPage* pageData, bool isNew);

    void AddSink(DoxDataAttributeSink* sink);
    void RemoveSink(DoxDataAttributeSink* sink);

    // The bound value in a row, formatted with formatId (the format group's id)
    // or, without one, with the default format of the field's type.
    bool FormatBoundValue(const uint32_t* formatId, const wchar_t* parameter, int32_t row, std::wstring& out);
    int32_t GetFormatId(const uint32_t* formatId) const;

    DataField* GetField() const { return field_; }
    DataContainer* GetContainer() const { return container_; }
    DoxAttribItemStr& TableName() { return tableName_; }
    DoxAttribItemStr& FieldName() { return fieldName_; }
    DoxDataUintItem& FieldType() { return fieldType_; }
    DoxDataUintItem& FieldLength() { return fieldLength_; }
    DoxDataFunctionAttribItem& ExecuteItem() { return execute_; }
    DoxDataFunctionAttribItem& FilterItem() { return filter_; }

private:
    void FollowField();
    void NotifyType();

    DoxAttribOptionsFieldName fieldNames_;
    DoxAttribOptionsFieldType fieldTypes_;
    DoxAttribItemStr tableName_;
    DoxFieldNameItem fieldName_;
    DoxDataUintItem fieldType_;
    DoxDataUintItem fieldLength_;
    DoxDataFunctionAttribItem execute_;
    DoxDataFunctionAttribItem filter_;
    DataPage* pageData_ = nullptr;
    DataContainer* container_ = nullptr;
    DataField* field_ = nullptr;
    std::vector<DoxDataAttributeSink*> sinks_;
};
