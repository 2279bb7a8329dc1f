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

namespace tinyxml2 {
class XMLElement;
}

class DataField;
class DataFunction;
class DataFunctionObject;
struct FunctionEntry;

// Receives the message of a refused parameter; the base drops it.
class ErrorReportor {
public:
    virtual ~ErrorReportor() = default;
    virtual void Report(const std::wstring&) {}
};

class ErrorReportorImpl : public ErrorReportor {
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

class DataFunctionParamMaker {
public:
    virtual ~DataFunctionParamMaker() = default;
    virtual void MakeParams(const DataFunctionParam&) {}
};

class DataFunctionParamMakerImpl : public DataFunctionParamMaker {
public:
    explicit DataFunctionParamMakerImpl(std::vector<DataFunctionParam>& target) : target_(target) {}
    void MakeParams(const DataFunctionParam& param) override { target_.push_back(param); }

private:
    std::vector<DataFunctionParam>& target_;
};

// Accumulators over the number cells of a column.
class DataFunctionFieldArith {
public:
    virtual ~DataFunctionFieldArith() = default;
    virtual void Accumulate(double value) = 0;
};

class DataFunctionField_SUM : public DataFunctionFieldArith {
public:
    explicit DataFunctionField_SUM(double& sum) : sum_(sum) {}
    void Accumulate(double value) override { sum_ += value; }

private:
    double& sum_;
};

// The maximum starts from the first value fed, so negative values have their
// true maximum.
class DataFunctionField_MAX : public DataFunctionFieldArith {
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

class DataFunctionField_AVERAGE : public DataFunctionFieldArith {
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

// One call of a built-in function: the function's index in its table and the
// parameter text, parsed into parameters when the call is made runnable.
class DataFunctionObject {
public:
    DataFunctionObject(DataFunction* owner, std::wstring setName);
    virtual ~DataFunctionObject() = default;
    DataFunctionObject(const DataFunctionObject&) = delete;
    DataFunctionObject& operator=(const DataFunctionObject&) = delete;

    const std::wstring& GetName() const { return setName_; }
    virtual int ReadXml(tinyxml2::XMLElement* element);
    virtual int WriteXml(tinyxml2::XMLElement* element);
    // Design-time edits. A function index outside the table is refused with
    // "无效的函数" in GetErrorText; a parameter text that does not fit the new
    // function is emptied. A parameter text that does not parse is refused with
    // the reason in error. Refused edits leave the object as it was.
    virtual int ChangeFunction(uint32_t index);
    virtual int ChangeParam(const std::wstring& text, std::wstring* error);
    virtual void Destroy() { delete this; }
    virtual int SetFunction();
    virtual void Reset();
    virtual int Filter(int32_t row, DataValue& value, std::wstring* message);
    virtual int Execute(int32_t row);

    DataFunction* GetOwner() const { return owner_; }
    uint32_t GetFunctionIndex() const { return functionIndex_; }
    void SetFunctionIndex(uint32_t index) { functionIndex_ = index; }
    const std::wstring& GetParamText() const { return paramText_; }
    void SetParamText(std::wstring text) { paramText_ = std::move(text); }
    const std::wstring& GetErrorText() const { return errorText_; }
    const std::vector<DataFunctionParam>& Params() const { return params_; }
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
    std::wstring setName_;
    std::wstring errorText_;
    DataFunction* owner_;
    uint32_t functionIndex_ = 0;
    std::wstring paramText_;
    std::vector<DataFunctionParam> params_;
};

class DataFunctionObjectExecute : public DataFunctionObject {
public:
    explicit DataFunctionObjectExecute(DataFunction* owner);
    int SetFunction() override;
    void Reset() override;
    int Execute(int32_t row) override;

private:
    int (*run_)(DataFunctionObject& object, int32_t row) = nullptr;
};

class DataFunctionObjectFilter : public DataFunctionObject {
public:
    explicit DataFunctionObjectFilter(DataFunction* owner);
    int SetFunction() override;
    void Reset() override;
    int Filter(int32_t row, DataValue& value, std::wstring* message) override;

private:
    int (*run_)(DataFunctionObject& object, int32_t row, DataValue& value, std::wstring* message) = nullptr;
};

class DataFunction : public DataObserver, public DataFilter {
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
    uint32_t kind_;
    DataField* field_;
    DataValue intermediate_;
    const char* elementName_;
    std::vector<DataFunctionObject*> objects_;
    // Set while the list runs, so that a change it causes cannot run it again.
    bool running_ = false;
};

class DataFunctionExecute : public DataFunction {
public:
    explicit DataFunctionExecute(DataField* field);
    DataFunctionObject* CreateObject() override;
};

class DataFunctionFilter : public DataFunction {
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
