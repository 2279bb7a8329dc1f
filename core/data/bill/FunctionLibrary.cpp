#include "FunctionLibrary.h"

#include <array>
#include <cstdlib>

#include "BillFormats.h"
#include "BillText.h"
#include "DataField.h"
#include "DataFunction.h"
#include "DataValue.h"

namespace
{

const std::vector<DataFunctionParam>& ParamsOf(DataFunctionObject& object)
{
    return object.Params();
}

int DeliverNumber(DataFunctionObject& object, int32_t row, double number)
{
    DataValue value;
    bill::SetValueType(value, 1);
    bill::ValueSetNumber(value, number);
    return object.GetOwner()->DeliverResult(&object, row, value);
}

// Execute run functions.

int RunNil(DataFunctionObject&, int32_t)
{
    return 1;
}

int RunGet(DataFunctionObject& object, int32_t row)
{
    const auto& params = ParamsOf(object);
    if (params.empty())
        return 0;
    DataValue value;
    if (!GetParamValue(params[0], value, row))
        return 0;
    return object.GetOwner()->DeliverResult(&object, row, value);
}

int RunAdd(DataFunctionObject& object, int32_t row)
{
    double sum = 0.0;
    for (const DataFunctionParam& p : ParamsOf(object)) {
        double v = 0.0;
        if (!GetParamNumber(p, v, row))
            return 0;
        sum += v;
    }
    return DeliverNumber(object, row, sum);
}

enum class Arith { kSub, kMul, kDiv };

int RunChain(DataFunctionObject& object, int32_t row, Arith op)
{
    const auto& params = ParamsOf(object);
    double acc = 0.0;
    if (!params.empty() && !GetParamNumber(params[0], acc, row))
        acc = 0.0;
    for (size_t i = 1; i < params.size(); ++i) {
        double v = 0.0;
        if (!GetParamNumber(params[i], v, row))
            return 0;
        switch (op) {
        case Arith::kSub:
            acc -= v;
            break;
        case Arith::kMul:
            acc *= v;
            break;
        case Arith::kDiv:
            if (v == 0.0)
                return 0;
            acc /= v;
            break;
        }
    }
    return DeliverNumber(object, row, acc);
}

int RunSub(DataFunctionObject& object, int32_t row)
{
    return RunChain(object, row, Arith::kSub);
}

int RunMul(DataFunctionObject& object, int32_t row)
{
    return RunChain(object, row, Arith::kMul);
}

int RunDiv(DataFunctionObject& object, int32_t row)
{
    return RunChain(object, row, Arith::kDiv);
}

int RunSum(DataFunctionObject& object, int32_t row)
{
    double sum = 0.0;
    bool any = false;
    for (const DataFunctionParam& p : ParamsOf(object)) {
        if (p.kind == DataFunctionParam::kNumber) {
            sum += p.constant;
            any = true;
        } else if (SumParam(p, sum, row)) {
            any = true;
        }
    }
    return any ? DeliverNumber(object, row, sum) : object.GetOwner()->DeliverNothing(row);
}

int RunMax(DataFunctionObject& object, int32_t row)
{
    double maximum = 0.0;
    bool any = false;
    for (const DataFunctionParam& p : ParamsOf(object))
        MaxParam(p, maximum, any, row);
    return any ? DeliverNumber(object, row, maximum) : object.GetOwner()->DeliverNothing(row);
}

int RunAverage(DataFunctionObject& object, int32_t row)
{
    double sum = 0.0;
    int32_t count = 0;
    for (const DataFunctionParam& p : ParamsOf(object)) {
        if (p.kind == DataFunctionParam::kNumber) {
            sum += p.constant;
            ++count;
        } else {
            AverageParam(p, sum, count, row);
        }
    }
    return count > 0 ? DeliverNumber(object, row, sum / count) : object.GetOwner()->DeliverNothing(row);
}

int RunRound(DataFunctionObject& object, int32_t row)
{
    const auto& params = ParamsOf(object);
    double x = 0.0;
    double step = 0.0;
    double rounded = 0.0;
    if (params.size() < 2 || !GetParamNumber(params[0], x, row) || !GetParamNumber(params[1], step, row))
        return 0;
    // A step that names no power of ten (0) gives no result.
    if (!bill::RoundStep(x, step, rounded))
        return 0;
    return DeliverNumber(object, row, rounded);
}

bool TwoTimes(DataFunctionObject& object, int32_t row, uint64_t& x, uint64_t& y)
{
    const auto& params = ParamsOf(object);
    return params.size() >= 2 && GetParamTime(params[0], x, row) && GetParamTime(params[1], y, row);
}

int RunTimeDifference(DataFunctionObject& object, int32_t row, uint64_t unit)
{
    uint64_t x = 0;
    uint64_t y = 0;
    if (!TwoTimes(object, row, x, y))
        return 0;
    // Truncated toward zero: the magnitude is divided, then the sign applied.
    const bool negative = x < y;
    const uint64_t magnitude = (negative ? y - x : x - y) / unit;
    const double d = static_cast<double>(magnitude);
    return DeliverNumber(object, row, negative ? -d : d);
}

int RunDifDay(DataFunctionObject& object, int32_t row)
{
    return RunTimeDifference(object, row, 864000000000ULL);
}

int RunDifHour(DataFunctionObject& object, int32_t row)
{
    return RunTimeDifference(object, row, 36000000000ULL);
}

int RunDifMinute(DataFunctionObject& object, int32_t row)
{
    return RunTimeDifference(object, row, 600000000ULL);
}

int RunDifMonth(DataFunctionObject& object, int32_t row)
{
    uint64_t x = 0;
    uint64_t y = 0;
    if (!TwoTimes(object, row, x, y))
        return 0;
    const bill::CalendarDate a = bill::FileTimeToDate(x);
    const bill::CalendarDate b = bill::FileTimeToDate(y);
    int64_t months = 12 * static_cast<int64_t>(a.year - b.year) + (a.month - b.month);
    if (a.day > b.day)
        ++months;
    else if (a.day < b.day)
        --months;
    return DeliverNumber(object, row, static_cast<double>(months));
}

int RunDifYear(DataFunctionObject& object, int32_t row)
{
    uint64_t x = 0;
    uint64_t y = 0;
    if (!TwoTimes(object, row, x, y))
        return 0;
    const bill::CalendarDate a = bill::FileTimeToDate(x);
    const bill::CalendarDate b = bill::FileTimeToDate(y);
    int64_t years = a.year - b.year;
    const bool before = a.month < b.month || (a.month == b.month && a.day < b.day);
    const bool after = a.month > b.month || (a.month == b.month && a.day > b.day);
    if (years > 0 && before)
        --years;
    else if (years < 0 && after)
        ++years;
    return DeliverNumber(object, row, static_cast<double>(years));
}

// Filter run functions.

bool EnteredNumber(const DataValue& value, double& v)
{
    if (bill::ValueType(value) != 1)
        return false;
    v = bill::ValueRaw(value).number;
    return true;
}

int FilterNil(DataFunctionObject&, int32_t, DataValue&, std::wstring*)
{
    return 1;
}

int FilterRange(DataFunctionObject& object, int32_t row, DataValue& value, std::wstring* message)
{
    double v = 0.0;
    if (!EnteredNumber(value, v))
        return 0;
    const auto& params = ParamsOf(object);
    if (params.size() < 2) {
        if (message)
            *message = L"数值范围参数错误";
        return 0;
    }
    double a = 0.0;
    double b = 0.0;
    if (!GetParamNumber(params[0], a, row) || !GetParamNumber(params[1], b, row))
        return 0;
    const double lo = a < b ? a : b;
    const double hi = a < b ? b : a;
    if (lo <= v && v <= hi)
        return 1;
    if (message) {
        *message = bill::NumberG14(v) + L"超出范围。\n请使用[" + bill::NumberG14(lo) + L"-" +
                   bill::NumberG14(hi) + L"]范围内的数值。";
    }
    return 0;
}

int FilterRound(DataFunctionObject& object, int32_t row, DataValue& value, std::wstring*)
{
    double v = 0.0;
    const auto& params = ParamsOf(object);
    double step = 0.0;
    if (!EnteredNumber(value, v) || params.empty() || !GetParamNumber(params[0], step, row))
        return 0;
    double rounded = 0.0;
    // A step of 0 names no power of ten: the entry is kept as it was typed.
    if (!bill::RoundStep(v, step, rounded))
        return 1;
    bill::ValueSetNumber(value, rounded);
    return 1;
}

int FilterMul(DataFunctionObject& object, int32_t row, DataValue& value, std::wstring*)
{
    double v = 0.0;
    const auto& params = ParamsOf(object);
    double factor = 0.0;
    if (!EnteredNumber(value, v) || params.empty() || !GetParamNumber(params[0], factor, row))
        return 0;
    bill::ValueSetNumber(value, v * factor);
    return 1;
}

// Parameter checks.

std::wstring EntryName(const DataFunctionObject& object)
{
    const FunctionEntry* entry = object.GetEntry();
    return entry ? entry->name : L"";
}

std::wstring ParamName(const DataFunctionParam& param)
{
    switch (param.kind) {
    case DataFunctionParam::kNumber:
    case DataFunctionParam::kResult:
        return param.text;
    case DataFunctionParam::kField:
        return param.field ? param.field->GetQualifiedName() : L"Unkown";
    default:
        return L"Unkown";
    }
}

int CheckRefuse(const DataFunctionObject&, uint32_t, const DataFunctionParam&, ErrorReportor& reporter)
{
    reporter.Report(L"无效参数");
    return 0;
}

int CheckField(const DataFunctionObject& object, uint32_t, const DataFunctionParam& param,
               ErrorReportor& reporter)
{
    if (param.kind == DataFunctionParam::kField)
        return 1;
    reporter.Report(EntryName(object) + L" 函数的参数必须是字段名,参数:“" + ParamName(param) +
                    L"” 不是有效的字段");
    return 0;
}

int CheckNumber(const DataFunctionObject& object, uint32_t, const DataFunctionParam& param,
                ErrorReportor& reporter)
{
    switch (param.kind) {
    case DataFunctionParam::kNumber:
        return 1;
    case DataFunctionParam::kResult:
        if (object.GetOwner() && object.GetOwner()->GetCurrentType() == 1)
            return 1;
        break;
    case DataFunctionParam::kField:
        if (param.field && param.field->GetType() == 1)
            return 1;
        break;
    default:
        break;
    }
    reporter.Report(EntryName(object) + L" 函数的参数必须是数值,参数: “" + ParamName(param) +
                    L"” 不是数值类型");
    return 0;
}

int CheckDivisor(const DataFunctionObject& object, uint32_t index, const DataFunctionParam& param,
                 ErrorReportor& reporter)
{
    if (!CheckNumber(object, index, param, reporter))
        return 0;
    if (index >= 1 && param.kind == DataFunctionParam::kNumber && param.constant == 0.0) {
        reporter.Report(EntryName(object) + L" 函数的参数错误,除数不能为0");
        return 0;
    }
    return 1;
}

int CheckDate(const DataFunctionObject& object, uint32_t, const DataFunctionParam& param,
              ErrorReportor& reporter)
{
    if (param.kind == DataFunctionParam::kField && param.field &&
        (param.field->GetType() == 2 || param.field->GetType() == 3))
        return 1;
    reporter.Report(EntryName(object) + L" 函数的参数必须是日期或日期时间,参数: “" + ParamName(param) +
                    L"” 不是日期或日期时间类型");
    return 0;
}

constexpr uint32_t kAll = 15;
constexpr uint32_t kNumber = 2;

std::array<FunctionEntry, 15> gExecuteTable{{
    {0, L"NIL", &RunNil, nullptr, &CheckRefuse, 0, L"", kAll},
    {1, L"GET", &RunGet, nullptr, &CheckField, 1, L"GET(X)", kAll},
    {2, L"ADD", &RunAdd, nullptr, &CheckNumber, 16, L"ADD(X,...)", kNumber},
    {3, L"SUB", &RunSub, nullptr, &CheckNumber, 16, L"SUB(X,...)", kNumber},
    {4, L"MUL", &RunMul, nullptr, &CheckNumber, 16, L"MUL(X,...)", kNumber},
    {5, L"DIV", &RunDiv, nullptr, &CheckDivisor, 16, L"DIV(X,...)", kNumber},
    {6, L"SUM", &RunSum, nullptr, &CheckNumber, 16, L"SUM(X,...)", kNumber},
    {7, L"MAX", &RunMax, nullptr, &CheckNumber, 16, L"MAX(X,...)", kNumber},
    {8, L"AVR", &RunAverage, nullptr, &CheckNumber, 16, L"AVR(X,...)", kNumber},
    {9, L"ROUND", &RunRound, nullptr, &CheckNumber, 2, L"ROUND(X)", kNumber},
    {10, L"DIF_DAY", &RunDifDay, nullptr, &CheckDate, 2, L"DIF_DAY(X,Y)", kNumber},
    {11, L"DIF_MONTH", &RunDifMonth, nullptr, &CheckDate, 2, L"DIF_MONTH(X,Y)", kNumber},
    {12, L"DIF_YEAR", &RunDifYear, nullptr, &CheckDate, 2, L"DIF_YEAR(X,Y)", kNumber},
    {13, L"DIF_HOURE", &RunDifHour, nullptr, &CheckDate, 2, L"DIF_HOURE(X,Y)", kNumber},
    {14, L"DIF_MINUTE", &RunDifMinute, nullptr, &CheckDate, 2, L"DIF_MINUTE(X,Y)", kNumber},
}};

std::array<FunctionEntry, 4> gFilterTable{{
    {0, L"NIL", nullptr, &FilterNil, &CheckRefuse, 0, L"", kAll},
    {1, L"RAGNE", nullptr, &FilterRange, &CheckNumber, 2, L"RAGNE(X,Y)", kNumber},
    {2, L"ROUND", nullptr, &FilterRound, &CheckNumber, 1, L"ROUND(X)", kNumber},
    {3, L"MUL", nullptr, &FilterMul, &CheckNumber, 1, L"MUL(X)", kNumber},
}};

struct TableRef {
    uint32_t count;
    FunctionEntry* first;
};

const std::array<TableRef, 2> gDirectory{{
    {static_cast<uint32_t>(gExecuteTable.size()), gExecuteTable.data()},
    {static_cast<uint32_t>(gFilterTable.size()), gFilterTable.data()},
}};

// Index kind * 4 + type.
std::array<std::vector<const FunctionEntry*>, 8> gLists;

} // namespace

const FunctionEntry* GetFunctionEntry(uint32_t kind, uint32_t index)
{
    if (kind >= gDirectory.size() || index >= gDirectory[kind].count)
        return nullptr;
    return gDirectory[kind].first + index;
}

uint32_t GetFunctionCount(uint32_t kind)
{
    return kind < gDirectory.size() ? gDirectory[kind].count : 0;
}

const std::vector<const FunctionEntry*>& GetFunctionList(uint32_t kind, uint32_t type)
{
    static const std::vector<const FunctionEntry*> none;
    if (kind >= 2 || type >= 4)
        return none;
    return gLists[kind * 4 + type];
}

void InitDataFunctionLists()
{
    for (auto& list : gLists)
        list.clear();
    for (uint32_t kind = 0; kind < gDirectory.size(); ++kind) {
        for (uint32_t i = 0; i < gDirectory[kind].count; ++i) {
            FunctionEntry& entry = gDirectory[kind].first[i];
            entry.id = i;
            for (uint32_t type = 0; type < 4; ++type) {
                if (entry.typeMask & (1u << type))
                    gLists[kind * 4 + type].push_back(&entry);
            }
        }
    }
}

void ShutdownDataFunctionLists()
{
    for (auto& list : gLists)
        list.clear();
}
