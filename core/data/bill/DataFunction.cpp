#include "DataFunction.h"

#include <algorithm>
#include <cstring>
#include <set>

#include <tinyxml2.h>

#include "BillFormats.h"
#include "BillText.h"
#include "CharBuffer.h"
#include "DataCell.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DataPage.h"
#include "DataRow.h"
#include "DoxAttribKinds.h"
#include "FunctionLibrary.h"

namespace
{

constexpr const char* kObjectTag = "dox:function";

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

} // namespace

// The property-grid faces of a call.

int32_t DataFunctionAttribOptions::GetCount()
{
    const uint32_t type = owner_ ? owner_->GetCurrentType() : 4;
    return static_cast<int32_t>(GetFunctionList(owner_ ? owner_->GetKind() : 0, type).size());
}

const wchar_t* DataFunctionAttribOptions::GetText(int32_t i)
{
    const uint32_t type = owner_ ? owner_->GetCurrentType() : 4;
    const auto& list = GetFunctionList(owner_ ? owner_->GetKind() : 0, type);
    return (i >= 0 && static_cast<size_t>(i) < list.size()) ? list[i]->name : L"";
}

const wchar_t* DataFunctionAttribOptions::ValueToText(uint32_t value)
{
    const FunctionEntry* entry = GetFunctionEntry(owner_ ? owner_->GetKind() : 0, value);
    return entry ? entry->name : L"";
}

bool DataFunctionAttribOptions::Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText)
{
    if (!text || !*text)
        return true;
    const uint32_t type = owner_ ? owner_->GetCurrentType() : 4;
    for (const FunctionEntry* entry : GetFunctionList(owner_ ? owner_->GetKind() : 0, type)) {
        if (bill::EqualsNoCase(entry->name, text)) {
            value = entry->id;
            return true;
        }
    }
    errorText = L"无效数据";
    return false;
}

int32_t DataParamAttribOptions::GetCount()
{
    names_.clear();
    DataField* field = owner_ ? owner_->GetField() : nullptr;
    DataPage* page = field && field->GetContainer() ? field->GetContainer()->GetPage() : nullptr;
    if (page) {
        for (DataField* f : page->GetFieldList(nullptr))
            names_.push_back(f->GetQualifiedName());
    }
    return static_cast<int32_t>(names_.size());
}

const wchar_t* DataParamAttribOptions::GetText(int32_t i)
{
    return (i >= 0 && static_cast<size_t>(i) < names_.size()) ? names_[i].c_str() : L"";
}

DataFunctionIdItem::DataFunctionIdItem(DoxAttribOptions* options) : DoxAttribItemUint("id", L"函数", 0)
{
    SetOptions(options);
}

DataParamItem::DataParamItem(DoxAttribOptions* options) : DoxAttribItemStr("param", L"参数", L"")
{
    options_ = options;
    SetType(0x120005);
}

DataFunctionAttrib::DataFunctionAttrib() : DoxAttribute("", L"") {}

int32_t DataFunctionAttrib::GetKindId() const
{
    return DoxAttribKindId::DataFunction;
}

// DataFunctionObject.

DataFunctionObject::DataFunctionObject(DataFunction* owner, std::wstring setName)
    : owner_(owner), functionOptions_(owner), paramOptions_(owner), idItem_(&functionOptions_),
      paramItem_(&paramOptions_)
{
    SetName(setName);
    attrib_.AddItem(&idItem_);
    attrib_.AddItem(&paramItem_);
    AddAttribute(&attrib_);
}

const FunctionEntry* DataFunctionObject::GetEntry() const
{
    return GetFunctionEntry(owner_ ? owner_->GetKind() : 0, GetFunctionIndex());
}

int DataFunctionObject::ReadXml(tinyxml2::XMLElement* element)
{
    if (!element || !element->Name() || std::strcmp(element->Name(), kObjectTag) != 0)
        return 0;
    uint32_t index = 0;
    if (const char* id = element->Attribute("id"))
        index = static_cast<uint32_t>(std::strtol(id, nullptr, 10));
    SetFunctionIndex(index);
    const char* param = element->Attribute("param");
    SetParamText(param ? Utf8ToWide(std::string(param)) : std::wstring());
    return 1;
}

int DataFunctionObject::WriteXml(tinyxml2::XMLElement* element)
{
    if (!element)
        return 0;
    element->SetAttribute("id", std::to_string(static_cast<int32_t>(GetFunctionIndex())).c_str());
    element->SetAttribute("param", WideToUtf8(GetParamText()).c_str());
    return 1;
}

int DataFunctionObject::SetFunction()
{
    params_.clear();
    DataFunctionParamMakerImpl maker(params_);
    ErrorReportor quiet;
    if (!ParseParams(GetParamText(), Lookup::kRunTime, maker, quiet)) {
        params_.clear();
        return 0;
    }
    return 1;
}

void DataFunctionObject::Reset()
{
    params_.clear();
}

int DataFunctionObject::Filter(int32_t, DataValue&, std::wstring*)
{
    return 1;
}

int DataFunctionObject::Execute(int32_t)
{
    return 0;
}

bool DataFunctionObject::AcceptChange(bool changing)
{
    DoxAttribItem* item = attrib_.GetChangingItem();
    if (item == &idItem_) {
        const FunctionEntry* entry = GetEntry();
        if (!entry || !(entry->execute || entry->filter)) {
            errorText_ = L"无效的函数";
            return false;
        }
        errorText_.clear();
        std::vector<DataFunctionParam> params;
        DataFunctionParamMakerImpl maker(params);
        ErrorReportor quiet;
        if (!ParseParams(GetParamText(), Lookup::kDesignTime, maker, quiet) || FormsCycle(params))
            paramItem_.SetTextLimited(paramItem_.GetDefault());
    } else if (item == &paramItem_) {
        std::wstring message;
        std::vector<DataFunctionParam> params;
        DataFunctionParamMakerImpl maker(params);
        ErrorReportorImpl reporter(message);
        if (!ParseParams(GetParamText(), Lookup::kDesignTime, maker, reporter)) {
            paramItem_.SetErrorText(message);
            return false;
        }
        if (FormsCycle(params)) {
            paramItem_.SetErrorText(L"函数参数不能循环引用字段");
            return false;
        }
    }
    return IsRoot() ? true : DoxAttribSet::GetOwner()->AcceptChange(changing);
}

int DataFunctionObject::ChangeFunction(uint32_t index)
{
    return idItem_.SetValue(static_cast<int32_t>(index)) ? 1 : 0;
}

int DataFunctionObject::ChangeParam(const std::wstring& text, std::wstring* error)
{
    if (paramItem_.SetValue(text))
        return 1;
    if (error)
        *error = paramItem_.GetErrorText();
    return 0;
}

bool DataFunctionObject::ParseParams(const std::wstring& text, Lookup lookup, DataFunctionParamMaker& maker,
                                     ErrorReportor& reporter) const
{
    const FunctionEntry* entry = GetEntry();
    if (!entry || !entry->check) {
        reporter.Report(L"加载参数检查函数失败");
        return false;
    }
    if (text.empty())
        return true;
    uint32_t count = 0;
    std::wstring_view rest(text);
    while (true) {
        const size_t comma = rest.find(L',');
        const std::wstring_view piece = rest.substr(0, comma);
        if (piece.empty())
            return false;
        DataFunctionParam param;
        if (!ParseOneParam(piece, lookup, param, reporter))
            return false;
        if (count == entry->maxParams) {
            reporter.Report(L"参数个数超出(" + std::to_wstring(entry->maxParams) + L")");
            return false;
        }
        if (!entry->check(*this, count, param, reporter))
            return false;
        maker.MakeParams(param);
        ++count;
        if (comma == std::wstring_view::npos)
            return true;
        rest.remove_prefix(comma + 1);
    }
}

bool DataFunctionObject::ParseOneParam(std::wstring_view piece, Lookup lookup, DataFunctionParam& out,
                                       ErrorReportor& reporter) const
{
    while (!piece.empty() && bill::IsBlank(piece.front()))
        piece.remove_prefix(1);
    if (piece.empty()) {
        reporter.Report(L"参数不能为空");
        return false;
    }
    out = DataFunctionParam();
    out.owner = owner_;
    out.text = std::wstring(piece);
    if (IsDigit(piece.front())) {
        double value = 0.0;
        if (bill::ParseNumber(out.text.c_str(), value)) {
            out.kind = DataFunctionParam::kNumber;
            out.constant = value;
            return true;
        }
    }
    if (bill::EqualsNoCase(piece, L"_result")) {
        out.kind = DataFunctionParam::kResult;
        return true;
    }

    const size_t firstDot = piece.find(L'.');
    const size_t secondDot = firstDot == std::wstring_view::npos ? firstDot : piece.find(L'.', firstDot + 1);
    const std::wstring name(piece.substr(0, secondDot));
    if (name.size() < 3) {
        reporter.Report(L"字段名格式不正确");
        return false;
    }
    int64_t row = -1;
    if (secondDot != std::wstring_view::npos) {
        std::wstring_view number = piece.substr(secondDot + 1);
        size_t i = 0;
        row = 0;
        while (i < number.size() && IsDigit(number[i])) {
            row = std::min<int64_t>(row * 10 + (number[i] - L'0'), INT32_MAX);
            ++i;
        }
        size_t j = i;
        while (j < number.size() && bill::IsBlank(number[j]))
            ++j;
        if (i == 0 || j != number.size()) {
            reporter.Report(L"字段名格式错误");
            return false;
        }
    }
    DataField* own = owner_ ? owner_->GetField() : nullptr;
    DataContainer* container = own ? own->GetContainer() : nullptr;
    DataPage* page = container ? container->GetPage() : nullptr;
    DataField* field = nullptr;
    if (page) {
        field = lookup == Lookup::kRunTime ? page->FindFieldByKey(name.c_str())
                                           : page->FindFieldByQualifiedName(name.c_str());
    }
    if (!field) {
        reporter.Report(L"指定的字段不存在");
        return false;
    }
    if (field == own) {
        reporter.Report(L"不能引用字段本身");
        return false;
    }
    if (row >= 0 && row >= field->GetContainer()->GetRows()) {
        reporter.Report(L"指定的字段不存在");
        return false;
    }
    out.kind = DataFunctionParam::kField;
    out.field = field;
    out.row = static_cast<int32_t>(row);
    return true;
}

bool DataFunctionObject::FormsCycle(const std::vector<DataFunctionParam>& params) const
{
    DataField* own = owner_ ? owner_->GetField() : nullptr;
    if (!own || owner_->GetKind() != DataFunction::kExecute)
        return false;
    std::vector<DataField*> pending;
    for (const DataFunctionParam& p : params) {
        if (p.kind == DataFunctionParam::kField && p.field)
            pending.push_back(p.field);
    }
    std::set<DataField*> seen;
    while (!pending.empty()) {
        DataField* field = pending.back();
        pending.pop_back();
        if (field == own)
            return true;
        if (!seen.insert(field).second)
            continue;
        for (DataFunctionObject* object : field->Execute().Objects()) {
            std::vector<DataFunctionParam> theirs;
            DataFunctionParamMakerImpl maker(theirs);
            ErrorReportor quiet;
            object->ParseParams(object->GetParamText(), Lookup::kDesignTime, maker, quiet);
            for (const DataFunctionParam& p : theirs) {
                if (p.kind == DataFunctionParam::kField && p.field)
                    pending.push_back(p.field);
            }
        }
    }
    return false;
}

// The two concrete calls.

DataFunctionObjectExecute::DataFunctionObjectExecute(DataFunction* owner)
    : DataFunctionObject(owner, L"取值函数")
{
}

int DataFunctionObjectExecute::SetFunction()
{
    run_ = nullptr;
    if (!DataFunctionObject::SetFunction())
        return 0;
    const FunctionEntry* entry = GetEntry();
    if (!entry || !entry->execute)
        return 0;
    // Fields whose values depend on each other would recompute each other
    // without end.
    if (FormsCycle(params_)) {
        params_.clear();
        return 0;
    }
    run_ = entry->execute;
    for (const DataFunctionParam& p : params_) {
        if (p.kind == DataFunctionParam::kField && p.field)
            p.field->AddObserver(-1, owner_);
    }
    return 1;
}

void DataFunctionObjectExecute::Reset()
{
    DataFunctionObject::Reset();
    run_ = nullptr;
}

int DataFunctionObjectExecute::Execute(int32_t row)
{
    return run_ ? run_(*this, row) : 0;
}

DataFunctionObjectFilter::DataFunctionObjectFilter(DataFunction* owner)
    : DataFunctionObject(owner, L"控制函数")
{
}

int DataFunctionObjectFilter::SetFunction()
{
    run_ = nullptr;
    if (!DataFunctionObject::SetFunction())
        return 0;
    const FunctionEntry* entry = GetEntry();
    if (!entry || !entry->filter)
        return 0;
    run_ = entry->filter;
    if (DataField* field = owner_->GetField())
        field->SetFilter(owner_);
    return 1;
}

void DataFunctionObjectFilter::Reset()
{
    DataFunctionObject::Reset();
    run_ = nullptr;
}

int DataFunctionObjectFilter::Filter(int32_t row, DataValue& value, std::wstring* message)
{
    return run_ ? run_(*this, row, value, message) : 1;
}

// DataFunction.

DataFunction::DataFunction(uint32_t kind, DataField* field, const char* elementName)
    : kind_(kind), field_(field), elementName_(elementName)
{
    bill::ValueClear(intermediate_);
}

DataFunction::~DataFunction()
{
    DestroyObjects();
}

void DataFunction::DestroyObjects()
{
    std::vector<DataFunctionObject*> objects;
    objects.swap(objects_);
    for (DataFunctionObject* object : objects)
        object->Destroy(1);
}

int DataFunction::Update(int32_t row)
{
    if (running_)
        return 0;
    running_ = true;
    int result = 0;
    for (DataFunctionObject* object : objects_) {
        result = object->Execute(row);
        if (!result)
            break;
    }
    running_ = false;
    return result;
}

int DataFunction::Test(int32_t row, DataValue& value, std::wstring* message)
{
    for (DataFunctionObject* object : objects_) {
        if (!object->Filter(row, value, message))
            return 0;
    }
    return 1;
}

int DataFunction::ReadXml(tinyxml2::XMLElement* element)
{
    if (!element || !element->Name() || std::strcmp(element->Name(), elementName_) != 0)
        return 0;
    DestroyObjects();
    for (tinyxml2::XMLElement* child = element->FirstChildElement(kObjectTag); child;
         child = child->NextSiblingElement(kObjectTag)) {
        DataFunctionObject* object = CreateObject();
        if (!object)
            return 0;
        objects_.push_back(object);
        if (!object->ReadXml(child))
            return 0;
    }
    return 1;
}

int DataFunction::WriteXml(tinyxml2::XMLElement* element)
{
    for (DataFunctionObject* object : objects_) {
        tinyxml2::XMLElement* child = element->InsertNewChildElement(kObjectTag);
        if (!child || !object->WriteXml(child))
            return 0;
    }
    return 1;
}

uint32_t DataFunction::GetCurrentType() const
{
    return field_ ? field_->GetType() : 4;
}

int DataFunction::Refresh()
{
    bill::ValueClear(intermediate_);
    bill::SetValueType(intermediate_, GetCurrentType());
    for (DataFunctionObject* object : objects_) {
        if (!object->SetFunction())
            return 0;
    }
    return 1;
}

void DataFunction::CheckFieldType()
{
    const uint32_t type = GetCurrentType();
    std::vector<DataFunctionObject*> kept;
    for (DataFunctionObject* object : objects_) {
        const FunctionEntry* entry = object->GetEntry();
        if (entry && type < 4 && (entry->typeMask & (1u << type)))
            kept.push_back(object);
        else
            object->Destroy(1);
    }
    objects_.swap(kept);
}

template <typename Apply>
int DataFunction::ForTargetCells(int32_t row, Apply apply)
{
    if (!field_ || !field_->GetContainer())
        return 0;
    const auto& rows = field_->GetContainer()->Rows();
    if (rows.size() == 1) {
        DataCell* cell = field_->GetCell(0);
        return cell ? apply(*cell) : 0;
    }
    if (row >= 0) {
        DataCell* cell = field_->GetCell(row);
        return cell ? apply(*cell) : 0;
    }
    int result = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (DataCell* cell = field_->GetCell(static_cast<int32_t>(i)))
            result = apply(*cell);
    }
    return result;
}

int DataFunction::DeliverResult(DataFunctionObject* object, int32_t row, const DataValue& value)
{
    if (objects_.empty() || object != objects_.back()) {
        bill::ValueCopy(intermediate_, value);
        return 1;
    }
    return ForTargetCells(row, [&](DataCell& cell) { return cell.SetValue(value); });
}

int DataFunction::DeliverNothing(int32_t row)
{
    // A later call that reads "_result" finds no value and gives none either.
    bill::ValueClear(intermediate_);
    // The field is emptied whatever the call's place in the list: a value left from
    // before would be shown, saved and printed as if something still added up to it.
    ForTargetCells(row, [&](DataCell& cell) {
        if (!cell.HasValue())
            return 1;
        cell.Clear();
        if (DataContainer* container = field_->GetContainer())
            container->SetModified();
        return 1;
    });
    return 1;
}

void DataFunction::ResetFunctions()
{
    bill::ValueClear(intermediate_);
    for (DataFunctionObject* object : objects_)
        object->Reset();
}

DataFunctionObject* DataFunction::AddObject()
{
    DataFunctionObject* object = CreateObject();
    if (object)
        objects_.push_back(object);
    return object;
}

bool DataFunction::RemoveObject(size_t index)
{
    if (index >= objects_.size())
        return false;
    DataFunctionObject* object = objects_[index];
    objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(index));
    object->Destroy(1);
    return true;
}

bool DataFunction::MoveObject(size_t index, bool up)
{
    if (index >= objects_.size())
        return false;
    if (up) {
        if (index == 0)
            return false;
        std::swap(objects_[index], objects_[index - 1]);
    } else {
        if (index + 1 >= objects_.size())
            return false;
        std::swap(objects_[index], objects_[index + 1]);
    }
    return true;
}

std::wstring DataFunction::GetValueText() const
{
    std::wstring text;
    for (DataFunctionObject* object : objects_) {
        const FunctionEntry* entry = object->GetEntry();
        text += entry ? entry->name : L"";
        text += L"(" + object->GetParamText() + L");";
    }
    return text;
}

DataFunctionExecute::DataFunctionExecute(DataField* field)
    : DataFunction(kExecute, field, "dox:function_execute")
{
}

DataFunctionObject* DataFunctionExecute::CreateObject()
{
    return new DataFunctionObjectExecute(this);
}

DataFunctionFilter::DataFunctionFilter(DataField* field) : DataFunction(kFilter, field, "dox:function_filter")
{
}

DataFunctionObject* DataFunctionFilter::CreateObject()
{
    return new DataFunctionObjectFilter(this);
}

// Parameter values.

namespace
{

DataCell* ParamCell(const DataFunctionParam& p, int32_t row)
{
    if (p.kind != DataFunctionParam::kField || !p.field)
        return nullptr;
    const int32_t r = p.row == -1 ? row : p.row;
    if (r < 0)
        return nullptr;
    return p.field->GetCell(r);
}

bool IntermediateNumber(const DataFunctionParam& p, double& out)
{
    if (!p.owner || bill::ValueType(p.owner->Intermediate()) != 1)
        return false;
    out = bill::ValueRaw(p.owner->Intermediate()).number;
    return true;
}

// Feeds every number cell of the rows the parameter names to the accumulator.
bool FeedColumn(const DataFunctionParam& p, DataFunctionFieldArith& arith)
{
    if (!p.field || !p.field->GetContainer())
        return false;
    bool fed = false;
    auto feed = [&](int32_t r) {
        double v = 0.0;
        DataCell* cell = p.field->GetCell(r);
        if (cell && cell->GetNumberIfSet(v)) {
            arith.Accumulate(v);
            fed = true;
        }
    };
    if (p.row == -1) {
        const auto count = static_cast<int32_t>(p.field->GetContainer()->Rows().size());
        for (int32_t r = 0; r < count; ++r)
            feed(r);
    } else {
        feed(p.row);
    }
    return fed;
}

} // namespace

bool GetParamValue(const DataFunctionParam& p, DataValue& out, int32_t row)
{
    switch (p.kind) {
    case DataFunctionParam::kNumber:
        bill::SetValueType(out, 1);
        bill::ValueSetNumber(out, p.constant);
        return true;
    case DataFunctionParam::kResult:
        if (!p.owner || bill::ValueType(p.owner->Intermediate()) >= 4)
            return false;
        bill::ValueCopy(out, p.owner->Intermediate());
        return true;
    case DataFunctionParam::kField: {
        DataCell* cell = ParamCell(p, row);
        return cell && cell->GetValue(out);
    }
    default:
        return false;
    }
}

bool GetParamNumber(const DataFunctionParam& p, double& out, int32_t row)
{
    switch (p.kind) {
    case DataFunctionParam::kNumber:
        out = p.constant;
        return true;
    case DataFunctionParam::kResult:
        return IntermediateNumber(p, out);
    case DataFunctionParam::kField: {
        DataCell* cell = ParamCell(p, row);
        return cell && cell->GetNumberIfSet(out);
    }
    default:
        return false;
    }
}

bool GetParamTime(const DataFunctionParam& p, uint64_t& out, int32_t row)
{
    DataCell* cell = ParamCell(p, row);
    if (!cell || !cell->HasValue() || !p.field || (p.field->GetType() != 2 && p.field->GetType() != 3))
        return false;
    out = cell->GetRaw().time;
    return true;
}

bool SumParam(const DataFunctionParam& p, double& sum, int32_t)
{
    if (p.kind == DataFunctionParam::kResult) {
        double v = 0.0;
        if (!IntermediateNumber(p, v))
            return false;
        sum += v;
        return true;
    }
    if (p.kind != DataFunctionParam::kField)
        return false;
    DataFunctionField_SUM arith(sum);
    return FeedColumn(p, arith);
}

bool MaxParam(const DataFunctionParam& p, double& maximum, bool& any, int32_t)
{
    DataFunctionField_MAX arith(maximum, any);
    double v = 0.0;
    if (p.kind == DataFunctionParam::kNumber) {
        arith.Accumulate(p.constant);
        return true;
    }
    if (p.kind == DataFunctionParam::kResult) {
        if (!IntermediateNumber(p, v))
            return false;
        arith.Accumulate(v);
        return true;
    }
    if (p.kind != DataFunctionParam::kField)
        return false;
    return FeedColumn(p, arith);
}

bool AverageParam(const DataFunctionParam& p, double& sum, int32_t& count, int32_t)
{
    DataFunctionField_AVERAGE arith(sum, count);
    if (p.kind == DataFunctionParam::kResult) {
        double v = 0.0;
        if (!IntermediateNumber(p, v))
            return false;
        arith.Accumulate(v);
        return true;
    }
    if (p.kind != DataFunctionParam::kField)
        return false;
    return FeedColumn(p, arith);
}
