#pragma once
// The value functions ("取值函数") and control functions ("控制函数") of a field:
// each is a list of calls of built-in functions with parameter texts such as
// 主表.单价,主表.数量. Execute lists compute the field from other fields; filter
// lists accept, adjust or refuse what the operator types.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DataObserver.h"
#include "DataValue.h"
#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"
#include "DoxAttribSet.h"
#include "DoxAttribute.h"

namespace tinyxml2
{
class XMLElement;
}

class DataField;
class DataFunction;
class DataFunctionObject;
struct FunctionEntry;

// Receives the message of a refused parameter; the base drops it.
class ErrorReportor
{
public:
    virtual ~ErrorReportor() = default;
    virtual void Report(const std::wstring&) {}
};

class ErrorReportorImpl : public ErrorReportor
{
public:
    explicit ErrorReportorImpl(std::wstring& target) : target_(target) {}
    void Report(const std::wstring& text) override { target_ = text; }

private:
    std::wstring& target_;
};

struct DataFunctionParam {
    enum Kind : uint32_t { kNone = 0, kNumber = 1, kField = 2, kResult = 3 };

    DataFunction* owner = nullptr;
    uint32_t kind = kNone;
    std::wstring text;
    double constant = 0.0;
    DataField* field = nullptr;
    // -1: the row being computed (every row for the accumulators).
    int32_t row = -1;
};

class DataFunctionParamMaker
{
public:
    virtual ~DataFunctionParamMaker() = default;
    virtual void MakeParams(const DataFunctionParam&) {}
};

class DataFunctionParamMakerImpl : public DataFunctionParamMaker
{
public:
    explicit DataFunctionParamMakerImpl(std::vector<DataFunctionParam>& target) : target_(target) {}
    void MakeParams(const DataFunctionParam& param) override { target_.push_back(param); }

private:
    std::vector<DataFunctionParam>& target_;
};

// Accumulators over the number cells of a column.
class DataFunctionFieldArith
{
public:
    virtual ~DataFunctionFieldArith() = default;
    virtual void Accumulate(double value) = 0;
};

class DataFunctionField_SUM : public DataFunctionFieldArith
{
public:
    explicit DataFunctionField_SUM(double& sum) : sum_(sum) {}
    void Accumulate(double value) override { sum_ += value; }

private:
    double& sum_;
};

// The maximum starts from the first value fed, so negative values have their
// true maximum.
class DataFunctionField_MAX : public DataFunctionFieldArith
{
public:
    DataFunctionField_MAX(double& maximum, bool& any) : max_(maximum), any_(any) {}
    void Accumulate(double value) override
    {
        if (!any_ || value > max_)
            max_ = value;
        any_ = true;
    }

private:
    double& max_;
    bool& any_;
};

class DataFunctionField_AVERAGE : public DataFunctionFieldArith
{
public:
    DataFunctionField_AVERAGE(double& sum, int32_t& count) : sum_(sum), count_(count) {}
    void Accumulate(double value) override
    {
        sum_ += value;
        ++count_;
    }

private:
    double& sum_;
    int32_t& count_;
};

// The choices of the "函数" item: the functions of the owner's kind offered for
// the bound field's type.
class DataFunctionAttribOptions : public DoxAttribOptions
{
public:
    explicit DataFunctionAttribOptions(DataFunction* owner) : owner_(owner) {}
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    const wchar_t* ValueToText(uint32_t value) override;
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;

private:
    DataFunction* owner_;
};

// The choices of the "参数" item: the qualified names of the page's fields.
class DataParamAttribOptions : public DoxAttribOptions
{
public:
    explicit DataParamAttribOptions(DataFunction* owner) : owner_(owner) {}
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;

private:
    DataFunction* owner_;
    std::vector<std::wstring> names_;
};

// The function index of a call, a choice among the functions.
class DataFunctionIdItem : public DoxAttribItemUint
{
public:
    explicit DataFunctionIdItem(DoxAttribOptions* options);
    // Stores an index read from the template, without the change chain.
    void Store(uint32_t index) { value_ = index; }
};

// The parameter text of a call, with the page's fields as suggestions.
class DataParamItem : public DoxAttribItemStr
{
public:
    explicit DataParamItem(DoxAttribOptions* options);
};

// The two items of a call: "函数" (the function) and "参数" (the parameter text).
class DataFunctionAttrib : public DoxAttribute
{
public:
    DataFunctionAttrib();
    int32_t GetKindId() const override;
};

// One call of a built-in function: the function's index in its table and the
// parameter text, parsed into parameters when the call is made runnable. The
// property grid edits it as an attribute set of two items.
class DataFunctionObject : public DoxAttribSet
{
public:
    DataFunctionObject(DataFunction* owner, std::wstring setName);
    ~DataFunctionObject() override = default;

    virtual int ReadXml(tinyxml2::XMLElement* element);
    virtual int WriteXml(tinyxml2::XMLElement* element);
    // Checks an edit of one of the two items: a function index outside the table
    // is refused with "无效的函数" (GetErrorText); a parameter text that no longer
    // fits the new function is emptied; a parameter text that does not parse is
    // refused with the reason on the "参数" item.
    bool AcceptChange(bool changing) override;
    virtual int SetFunction();
    virtual void Reset();
    virtual int Filter(int32_t row, DataValue& value, std::wstring* message);
    virtual int Execute(int32_t row);

    // Design-time edits through the change chain of the two items.
    int ChangeFunction(uint32_t index);
    int ChangeParam(const std::wstring& text, std::wstring* error);

    DataFunction* GetOwner() const { return owner_; }
    uint32_t GetFunctionIndex() const { return idItem_.GetUValue(); }
    void SetFunctionIndex(uint32_t index) { idItem_.Store(index); }
    const std::wstring& GetParamText() const { return paramItem_.GetText(); }
    void SetParamText(const std::wstring& text) { paramItem_.SetTextLimited(text); }
    const std::wstring& GetErrorText() const { return errorText_; }
    const std::vector<DataFunctionParam>& Params() const { return params_; }
    DataFunctionAttrib& Attrib() { return attrib_; }
    DoxAttribItem& FunctionItem() { return idItem_; }
    DoxAttribItemStr& ParamItem() { return paramItem_; }
    // The selected entry of the owner's table, null outside it.
    const FunctionEntry* GetEntry() const;

    enum class Lookup { kRunTime, kDesignTime };
    // Parses text into parameters for the selected function.
    bool ParseParams(const std::wstring& text, Lookup lookup, DataFunctionParamMaker& maker,
                     ErrorReportor& reporter) const;
    bool ParseOneParam(std::wstring_view piece, Lookup lookup, DataFunctionParam& out,
                       ErrorReportor& reporter) const;
    // True when the parameters read, directly or through the value functions of
    // the fields they name, the object's own field.
    bool FormsCycle(const std::vector<DataFunctionParam>& params) const;

protected:
    std::wstring errorText_;
    DataFunction* owner_;
    DataFunctionAttribOptions functionOptions_;
    DataParamAttribOptions paramOptions_;
    DataFunctionIdItem idItem_;
    DataParamItem paramItem_;
    DataFunctionAttrib attrib_;
    std::vector<DataFunctionParam> params_;
};

class DataFunctionObjectExecute : public DataFunctionObject
{
public:
    explicit DataFunctionObjectExecute(DataFunction* owner);
    int SetFunction() override;
    void Reset() override;
    int Execute(int32_t row) override;

private:
    int (*run_)(DataFunctionObject& object, int32_t row) = nullptr;
};

class DataFunctionObjectFilter : public DataFunctionObject
{
public:
    explicit DataFunctionObjectFilter(DataFunction* owner);
    int SetFunction() override;
    void Reset() override;
    int Filter(int32_t row, DataValue& value, std::wstring* message) override;

private:
    int (*run_)(DataFunctionObject& object, int32_t row, DataValue& value, std::wstring* message) = nullptr;
};

class DataFunction : public DataObserver, public DataFilter
{
public:
    enum Kind : uint32_t { kExecute = 0, kFilter = 1 };

    DataFunction(uint32_t kind, DataField* field, const char* elementName);
    virtual ~DataFunction();
    DataFunction(const DataFunction&) = delete;
    DataFunction& operator=(const DataFunction&) = delete;

    int Update(int32_t row) override;
    virtual DataFunctionObject* CreateObject() { return nullptr; }
    int Test(int32_t row, DataValue& value, std::wstring* message) override;

    int ReadXml(tinyxml2::XMLElement* element);
    int WriteXml(tinyxml2::XMLElement* element);
    int Refresh();
    void CheckFieldType();
    int DeliverResult(DataFunctionObject* object, int32_t row, const DataValue& value);
    // An aggregate with nothing to aggregate: the field is emptied (the calls after it
    // still run and may deliver), and "_result" holds no value.
    int DeliverNothing(int32_t row);
    // Back to no intermediate value; every call drops its parameters.
    void ResetFunctions();

    // Property-grid edits of the list.
    DataFunctionObject* AddObject();
    bool RemoveObject(size_t index);
    bool MoveObject(size_t index, bool up);
    // "SUM(附表1.金额);" for each call in order.
    std::wstring GetValueText() const;

    uint32_t GetKind() const { return kind_; }
    DataField* GetField() const { return field_; }
    // The value type the parameter checks read: the bound field's type.
    uint32_t GetCurrentType() const;
    DataValue& Intermediate() { return intermediate_; }
    const char* GetElementName() const { return elementName_; }
    const std::vector<DataFunctionObject*>& Objects() const { return objects_; }
    void DestroyObjects();

private:
    // The cells a result of the row goes to: the only row, the row, or every row.
    template <typename Apply>
    int ForTargetCells(int32_t row, Apply apply);

    uint32_t kind_;
    DataField* field_;
    DataValue intermediate_;
    const char* elementName_;
    std::vector<DataFunctionObject*> objects_;
    // Set while the list runs, so that a change it causes cannot run it again.
    bool running_ = false;
};

class DataFunctionExecute : public DataFunction
{
public:
    explicit DataFunctionExecute(DataField* field);
    DataFunctionObject* CreateObject() override;
};

class DataFunctionFilter : public DataFunction
{
public:
    explicit DataFunctionFilter(DataField* field);
    DataFunctionObject* CreateObject() override;
};

// Parameter values for the built-in functions; row is the row being computed.
bool GetParamValue(const DataFunctionParam& p, DataValue& out, int32_t row);
bool GetParamNumber(const DataFunctionParam& p, double& out, int32_t row);
bool GetParamTime(const DataFunctionParam& p, uint64_t& out, int32_t row);
bool SumParam(const DataFunctionParam& p, double& sum, int32_t row);
bool MaxParam(const DataFunctionParam& p, double& maximum, bool& any, int32_t row);
bool AverageParam(const DataFunctionParam& p, double& sum, int32_t& count, int32_t row);
