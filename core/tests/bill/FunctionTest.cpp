// The built-in function library and the data function objects: what every
// execute and filter function computes, the parameter checks with their
// messages, parameter parsing, chaining of results and refused cycles.

#include <gtest/gtest.h>

#include <optional>

#include "BillTestSupport.h"
#include "DataCell.h"
#include "DataFunction.h"
#include "FunctionLibrary.h"

using billtest::AddTyped;

namespace
{

struct Input {
    const wchar_t* name;
    int32_t row;
    const wchar_t* text;
};

// A page whose main table has numbers a, b, a text t, dates d1, d2, date-times
// e1, e2 and the result fields r (number) and s (text); child table 附表1 has
// three rows of the number 金额.
class FunctionPage
{
public:
    FunctionPage()
    {
        AddTyped(page, L"a", 1);
        AddTyped(page, L"b", 1);
        AddTyped(page, L"t", 0);
        AddTyped(page, L"d1", 2);
        AddTyped(page, L"d2", 2);
        AddTyped(page, L"e1", 3);
        AddTyped(page, L"e2", 3);
        r = AddTyped(page, L"r", 1);
        s = AddTyped(page, L"s", 0);
        table = page.AddTable(L"附表1");
        table->SetRows(3);
        amount = AddTyped(*table, L"金额", 1);
    }

    DataFunctionObject* AddCall(DataFunction& list, uint32_t index, const wchar_t* param)
    {
        DataFunctionObject* object = list.AddObject();
        object->SetFunctionIndex(index);
        object->SetParamText(param);
        return object;
    }

    bool Prepare() { return page.PrepareStore(nullptr, L"P") == 1; }

    void Set(const std::vector<Input>& inputs)
    {
        for (const Input& in : inputs)
            ASSERT_EQ(page.SetFieldText(in.name, in.row, in.text), in.text[0] ? 1 : 0) << in.name;
    }

    DataPage page;
    DataField* r = nullptr;
    DataField* s = nullptr;
    DataTable* table = nullptr;
    DataField* amount = nullptr;
};

std::optional<double> NumberIn(DataField* field, int32_t row = 0)
{
    DataCell* cell = field->GetCell(row);
    double v = 0.0;
    if (!cell || !cell->GetNumberIfSet(v))
        return std::nullopt;
    return v;
}

TEST(FunctionLibrary, ExecuteFunctionsComputeTheirResults)
{
    struct Case {
        uint32_t index;
        const wchar_t* param;
        std::vector<Input> inputs;
        std::optional<double> expected;
    } cases[] = {
        {2, L"1,2", {}, 3.0},
        {2, L"主表.a,2", {}, std::nullopt},
        {2, L"", {}, 0.0},
        {2, L"主表.a,主表.b,0.5", {{L"主表.a", 0, L"1.25"}, {L"主表.b", 0, L"-4"}}, -2.25},
        {3, L"5", {}, 5.0},
        {3, L"主表.a,2", {}, -2.0},
        {3, L"10,主表.a,2", {{L"主表.a", 0, L"3"}}, 5.0},
        {3, L"10,主表.a", {}, std::nullopt},
        {4, L"主表.a,4", {{L"主表.a", 0, L"2.5"}}, 10.0},
        {4, L"", {}, 0.0},
        {5, L"10,4", {}, 2.5},
        {5, L"主表.a,主表.b", {{L"主表.a", 0, L"10"}, {L"主表.b", 0, L"0"}}, std::nullopt},
        {6, L"附表1.金额", {{L"附表1.金额", 0, L"2"}, {L"附表1.金额", 2, L"4"}}, 6.0},
        {6, L"1,2", {}, 3.0},
        {6, L"附表1.金额", {}, std::nullopt},
        {6, L"附表1.金额.2,10", {{L"附表1.金额", 0, L"2"}, {L"附表1.金额", 2, L"4"}}, 14.0},
        {7, L"附表1.金额", {{L"附表1.金额", 0, L"-3"}, {L"附表1.金额", 1, L"-5"}}, -3.0},
        {7,
         L"附表1.金额",
         {{L"附表1.金额", 0, L"3"}, {L"附表1.金额", 1, L"7"}, {L"附表1.金额", 2, L"7"}},
         7.0},
        {7, L"主表.a,主表.b", {{L"主表.a", 0, L"-1"}, {L"主表.b", 0, L"-2"}}, -1.0},
        // Constants start with a digit: "-1" is no constant.
        {7, L"-1,2", {}, std::nullopt},
        {7, L"附表1.金额", {}, std::nullopt},
        {8, L"附表1.金额", {{L"附表1.金额", 0, L"2"}, {L"附表1.金额", 1, L"4"}}, 3.0},
        {8, L"附表1.金额,6", {{L"附表1.金额", 0, L"2"}, {L"附表1.金额", 1, L"4"}}, 4.0},
        {8, L"附表1.金额", {}, std::nullopt},
        {9, L"3.14159,0.01", {}, 3.14},
        {9, L"1250,100", {}, 1300.0},
        {9, L"主表.a,1", {{L"主表.a", 0, L"-2.5"}}, -2.0},
        {9, L"5,0", {}, std::nullopt},
        {9, L"5", {}, std::nullopt},
        {10,
         L"主表.e1,主表.e2",
         {{L"主表.e1", 0, L"2024-03-01 23:00:00"}, {L"主表.e2", 0, L"2024-03-01 01:00:00"}},
         0.0},
        {10, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-03-01"}, {L"主表.d2", 0, L"2024-03-03"}}, -2.0},
        {10,
         L"主表.e1,主表.e2",
         {{L"主表.e1", 0, L"2024-03-01 01:00:00"}, {L"主表.e2", 0, L"2024-03-03 00:00:00"}},
         -1.0},
        {10, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-03-01"}}, std::nullopt},
        {11, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-03-20"}, {L"主表.d2", 0, L"2024-01-10"}}, 3.0},
        {11, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-03-05"}, {L"主表.d2", 0, L"2024-01-10"}}, 1.0},
        {11, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-01-10"}, {L"主表.d2", 0, L"2024-03-20"}}, -3.0},
        {12, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-02-28"}, {L"主表.d2", 0, L"2023-03-01"}}, 0.0},
        {12, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2024-03-01"}, {L"主表.d2", 0, L"2023-03-01"}}, 1.0},
        {12, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2023-03-05"}, {L"主表.d2", 0, L"2024-03-01"}}, 0.0},
        {12, L"主表.d1,主表.d2", {{L"主表.d1", 0, L"2023-03-01"}, {L"主表.d2", 0, L"2025-03-02"}}, -2.0},
        {13,
         L"主表.e1,主表.e2",
         {{L"主表.e1", 0, L"2024-03-01 23:00:00"}, {L"主表.e2", 0, L"2024-03-01 01:30:00"}},
         21.0},
        {13,
         L"主表.e2,主表.e1",
         {{L"主表.e1", 0, L"2024-03-01 23:00:00"}, {L"主表.e2", 0, L"2024-03-01 01:30:00"}},
         -21.0},
        {14,
         L"主表.e1,主表.e2",
         {{L"主表.e1", 0, L"2024-03-01 00:10:59"}, {L"主表.e2", 0, L"2024-03-01 00:00:00"}},
         10.0},
    };
    for (const Case& c : cases) {
        FunctionPage p;
        p.AddCall(p.r->Execute(), c.index, c.param);
        ASSERT_TRUE(p.Prepare());
        p.Set(c.inputs);
        p.r->Execute().Update(0);
        const auto entry = GetFunctionEntry(0, c.index);
        const std::optional<double> got = NumberIn(p.r);
        if (c.expected) {
            ASSERT_TRUE(got.has_value()) << entry->name << "(" << c.param << ")";
            EXPECT_DOUBLE_EQ(*got, *c.expected) << entry->name << "(" << c.param << ")";
        } else {
            EXPECT_FALSE(got.has_value()) << entry->name << "(" << c.param << ") gave " << got.value_or(0);
        }
    }
}

// A clerk who empties every line of a bill must not keep a total no line carries:
// it would be saved and printed.
TEST(FunctionLibrary, AggregatesEmptyTheirFieldWhenNoCellIsLeft)
{
    struct Call {
        uint32_t index;
        const wchar_t* param;
    };
    struct Case {
        std::vector<Call> calls;
        double full;     // rows 0 and 2 hold 50 and 30.5
        double lastLeft; // row 2 alone holds 30.5
    } cases[] = {
        {{{6, L"附表1.金额"}}, 80.5, 30.5},
        {{{7, L"附表1.金额"}}, 50.0, 30.5},
        {{{8, L"附表1.金额"}}, 40.25, 30.5},
        // The emptied sum is no "_result" for the call after it either.
        {{{6, L"附表1.金额"}, {9, L"_result,1"}}, 81.0, 31.0},
    };
    for (const Case& c : cases) {
        FunctionPage p;
        for (const Call& call : c.calls)
            p.AddCall(p.r->Execute(), call.index, call.param);
        ASSERT_TRUE(p.Prepare());
        const std::wstring name = p.r->Execute().GetValueText();
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        p.Set({{L"附表1.金额", 0, L"50"}, {L"附表1.金额", 2, L"30.5"}});
        EXPECT_EQ(NumberIn(p.r), c.full);
        p.Set({{L"附表1.金额", 0, L""}});
        EXPECT_EQ(NumberIn(p.r), c.lastLeft);
        p.Set({{L"附表1.金额", 2, L""}});
        EXPECT_FALSE(NumberIn(p.r).has_value()) << "kept " << NumberIn(p.r).value_or(0);
        p.Set({{L"附表1.金额", 1, L"7"}});
        EXPECT_EQ(NumberIn(p.r), 7.0);
    }
}

TEST(FunctionLibrary, GetCopiesTheValueAsItIs)
{
    FunctionPage p;
    p.AddCall(p.s->Execute(), 1, L"主表.t");
    p.AddCall(p.r->Execute(), 1, L"主表.t");
    ASSERT_TRUE(p.Prepare());
    p.Set({{L"主表.t", 0, L"it's 50%_off"}});
    EXPECT_STREQ(p.s->GetCell(0)->GetText(), L"it's 50%_off");
    // A text cannot go into a number field.
    EXPECT_FALSE(NumberIn(p.r).has_value());
}

TEST(FunctionLibrary, ValueFunctionsFollowTheFieldsTheyRead)
{
    FunctionPage p;
    p.AddCall(p.r->Execute(), 6, L"附表1.金额");
    DataField* lineTotal = AddTyped(*p.table, L"小计", 1);
    p.AddCall(lineTotal->Execute(), 4, L"附表1.金额,2");
    ASSERT_TRUE(p.Prepare());
    p.Set({{L"附表1.金额", 0, L"1.5"}, {L"附表1.金额", 2, L"4"}});
    EXPECT_EQ(NumberIn(p.r), 5.5);
    EXPECT_EQ(NumberIn(lineTotal, 0), 3.0);
    EXPECT_FALSE(NumberIn(lineTotal, 1).has_value());
    EXPECT_EQ(NumberIn(lineTotal, 2), 8.0);
    p.Set({{L"附表1.金额", 2, L"-4"}});
    EXPECT_EQ(NumberIn(p.r), -2.5);
}

TEST(FunctionLibrary, ChainedCallsWriteOnlyTheLastResult)
{
    FunctionPage p;
    DataField* price = AddTyped(p.page, L"单价", 1);
    DataField* count = AddTyped(p.page, L"数量", 1);
    p.AddCall(p.r->Execute(), 1, L"主表.单价");
    p.AddCall(p.r->Execute(), 4, L"_result,主表.数量");
    ASSERT_TRUE(p.Prepare());
    p.Set({{L"主表.单价", 0, L"2.5"}});
    EXPECT_FALSE(NumberIn(p.r).has_value());
    p.Set({{L"主表.数量", 0, L"4"}});
    EXPECT_EQ(NumberIn(p.r), 10.0);
    EXPECT_EQ(NumberIn(price), 2.5);
    EXPECT_EQ(NumberIn(count), 4.0);
}

TEST(FunctionLibrary, FilterFunctions)
{
    struct Case {
        uint32_t index;
        const wchar_t* param;
        const wchar_t* text;
        int accepted;
        const wchar_t* acceptedText;
        const wchar_t* message;
    } cases[] = {
        {1, L"100,1", L"50", 1, L"50", L""},
        {1, L"100,1", L"1", 1, L"1", L""},
        {1, L"100,1", L"100", 1, L"100", L""},
        {1, L"100,1", L"101", 0, L"", L"101超出范围。\n请使用[1-100]范围内的数值。"},
        {1, L"0.5,2.25", L"-1", 0, L"", L"-1超出范围。\n请使用[0.5-2.25]范围内的数值。"},
        {1, L"1e15,2", L"3e15", 0, L"", L"3E+015超出范围。\n请使用[2-1E+015]范围内的数值。"},
        {1, L"100", L"5", 0, L"", L"数值范围参数错误"},
        {1, L"1,主表.a", L"5", 0, L"", L""},
        {2, L"0.01", L"3.14159", 1, L"3.14", L""},
        {2, L"0", L"3.14159", 1, L"3.14159", L""},
        {2, L"", L"3.14159", 0, L"", L""},
        {3, L"100", L"2.5", 1, L"250", L""},
        {0, L"", L"7", 1, L"7", L""},
    };
    for (const Case& c : cases) {
        FunctionPage p;
        p.AddCall(p.r->Filter(), c.index, c.param);
        ASSERT_TRUE(p.Prepare());
        std::wstring message;
        std::wstring accepted;
        EXPECT_EQ(p.r->TestText(c.text, 0, &message, &accepted), c.accepted) << c.index << " " << c.text;
        EXPECT_EQ(accepted, c.acceptedText) << c.index << " " << c.text;
        EXPECT_EQ(message, c.message) << c.index << " " << c.text;
    }
}

TEST(FunctionLibrary, RefusedEntriesKeepTheStoredValue)
{
    FunctionPage p;
    p.AddCall(p.r->Filter(), 1, L"1,10");
    ASSERT_TRUE(p.Prepare());
    ASSERT_EQ(p.page.SetFieldText(L"主表.r", 0, L"5"), 1);
    EXPECT_EQ(p.page.SetFieldText(L"主表.r", 0, L"11"), 0);
    EXPECT_TRUE(p.r->GetCell(0)->HasValue());
    EXPECT_EQ(p.r->GetCell(0)->GetEnteredText(), L"5");
    std::wstring message;
    EXPECT_EQ(p.page.TestFieldText(L"主表.r", 0, L"abc", &message), 0);
    EXPECT_EQ(message, L"无效的数字");
}

TEST(FunctionParams, ChecksAndTheirMessages)
{
    struct Case {
        uint32_t kind;
        uint32_t index;
        const wchar_t* field; // the field that carries the call
        const wchar_t* param;
        int accepted;
        const wchar_t* message;
    } cases[] = {
        {0, 1, L"s", L"5", 0, L"GET 函数的参数必须是字段名,参数:“5” 不是有效的字段"},
        {0, 1, L"s", L"_result", 0, L"GET 函数的参数必须是字段名,参数:“_result” 不是有效的字段"},
        {0, 1, L"s", L"主表.t", 1, L""},
        {0, 1, L"s", L"主表.a,主表.b", 0, L"参数个数超出(1)"},
        {0, 5, L"r", L"10,0", 0, L"DIV 函数的参数错误,除数不能为0"},
        {0, 5, L"r", L"0,5", 1, L""},
        {0, 2, L"r", L"主表.t", 0, L"ADD 函数的参数必须是数值,参数: “主表.t” 不是数值类型"},
        {0, 2, L"r", L"_RESULT,1.5,3w,2K", 1, L""},
        {0, 2, L"s", L"_result", 0, L"ADD 函数的参数必须是数值,参数: “_result” 不是数值类型"},
        {0, 10, L"r", L"主表.a,主表.d1", 0,
         L"DIF_DAY 函数的参数必须是日期或日期时间,参数: “主表.a” 不是日期或日期时间类型"},
        {0, 10, L"r", L"主表.d1,主表.e1", 1, L""},
        // NIL takes no parameter: the count is over before the check is asked.
        {0, 0, L"r", L"1", 0, L"参数个数超出(0)"},
        {0, 0, L"r", L"", 1, L""},
        {0, 9, L"r", L"1,2,3", 0, L"参数个数超出(2)"},
        {0, 2, L"r", L"1,  ", 0, L"参数不能为空"},
        {0, 2, L"r", L",1", 0, L""},
        {0, 2, L"r", L"1,,2", 0, L""},
        {0, 2, L"r", L"1,", 0, L""},
        {0, 2, L"r", L"ab", 0, L"字段名格式不正确"},
        {0, 2, L"r", L"主表.a.x", 0, L"字段名格式错误"},
        {0, 2, L"r", L"主表.a.1 x", 0, L"字段名格式错误"},
        {0, 2, L"r", L"主表.a.0  ", 1, L""},
        {0, 6, L"r", L"附表1.金额.2", 1, L""},
        {0, 6, L"r", L"附表1.金额.3", 0, L"指定的字段不存在"},
        {0, 2, L"r", L"主表.zz", 0, L"指定的字段不存在"},
        {0, 2, L"r", L"  主表.A", 1, L""},
        {0, 2, L"r", L"主表.r", 0, L"不能引用字段本身"},
        {0, 99, L"r", L"1", 0, L"加载参数检查函数失败"},
        {1, 1, L"r", L"1,2,3", 0, L"参数个数超出(2)"},
        {1, 3, L"r", L"主表.t", 0, L"MUL 函数的参数必须是数值,参数: “主表.t” 不是数值类型"},
    };
    for (const Case& c : cases) {
        FunctionPage p;
        DataField* field = p.page.LookupField(c.field);
        DataFunction& list = c.kind == 0 ? static_cast<DataFunction&>(field->Execute()) : field->Filter();
        DataFunctionObject* object = p.AddCall(list, c.index, L"");
        std::vector<DataFunctionParam> params;
        DataFunctionParamMakerImpl maker(params);
        std::wstring message;
        ErrorReportorImpl reporter(message);
        EXPECT_EQ(object->ParseParams(c.param, DataFunctionObject::Lookup::kDesignTime, maker, reporter),
                  c.accepted != 0)
            << c.index << " " << c.param;
        EXPECT_EQ(message, c.message) << c.index << " " << c.param;
    }
}

TEST(FunctionParams, KindsOfParameters)
{
    FunctionPage p;
    DataFunctionObject* object = p.AddCall(p.r->Execute(), 6, L"");
    std::vector<DataFunctionParam> params;
    DataFunctionParamMakerImpl maker(params);
    ErrorReportor quiet;
    ASSERT_TRUE(object->ParseParams(L"附表1.金额,_result,2.5,附表1.金额.1",
                                    DataFunctionObject::Lookup::kDesignTime, maker, quiet));
    ASSERT_EQ(params.size(), 4u);
    EXPECT_EQ(params[0].kind, DataFunctionParam::kField);
    EXPECT_EQ(params[0].field, p.amount);
    EXPECT_EQ(params[0].row, -1);
    EXPECT_EQ(params[1].kind, DataFunctionParam::kResult);
    EXPECT_EQ(params[2].kind, DataFunctionParam::kNumber);
    EXPECT_EQ(params[2].constant, 2.5);
    EXPECT_EQ(params[3].row, 1);
}

TEST(FunctionObjects, CyclesAreRefused)
{
    FunctionPage p;
    DataField* a = p.page.LookupField(L"a");
    DataField* b = p.page.LookupField(L"b");
    DataFunctionObject* getB = p.AddCall(a->Execute(), 1, L"");
    DataFunctionObject* getA = p.AddCall(b->Execute(), 1, L"");
    std::wstring error;
    ASSERT_EQ(getB->ChangeParam(L"主表.b", &error), 1);
    EXPECT_EQ(getA->ChangeParam(L"主表.a", &error), 0);
    EXPECT_EQ(error, L"函数参数不能循环引用字段");
    EXPECT_EQ(getA->GetParamText(), L"");
    // A longer loop through the child table is refused too.
    DataFunctionObject* sumB = p.AddCall(p.amount->Execute(), 1, L"主表.a");
    EXPECT_EQ(getB->ChangeParam(L"附表1.金额", &error), 0);

    // A template that already holds a loop (written by hand) runs without
    // recursing: neither call is made runnable.
    getA->SetParamText(L"主表.a");
    sumB->SetParamText(L"");
    ASSERT_TRUE(p.Prepare());
    EXPECT_EQ(p.page.SetFieldText(L"主表.a", 0, L"5"), 1);
    EXPECT_FALSE(NumberIn(b).has_value());
}

TEST(FunctionObjects, ChangingTheFunctionDropsAParameterThatNoLongerFits)
{
    FunctionPage p;
    DataFunctionObject* object = p.AddCall(p.r->Execute(), 2, L"主表.a,2");
    EXPECT_EQ(object->ChangeFunction(6), 1);
    EXPECT_EQ(object->GetParamText(), L"主表.a,2");
    EXPECT_EQ(object->ChangeFunction(10), 1);
    EXPECT_EQ(object->GetParamText(), L"");
    EXPECT_EQ(object->ChangeFunction(15), 0);
    EXPECT_EQ(object->GetErrorText(), L"无效的函数");
    EXPECT_EQ(object->GetFunctionIndex(), 10u);
}

TEST(FunctionObjects, ListEditsAndValueText)
{
    FunctionPage p;
    DataFunction& list = p.r->Execute();
    p.AddCall(list, 6, L"附表1.金额");
    p.AddCall(list, 9, L"_result,0.01");
    EXPECT_EQ(list.GetValueText(), L"SUM(附表1.金额);ROUND(_result,0.01);");
    EXPECT_FALSE(list.MoveObject(0, true));
    EXPECT_FALSE(list.MoveObject(1, false));
    EXPECT_FALSE(list.MoveObject(2, true));
    EXPECT_TRUE(list.MoveObject(1, true));
    EXPECT_EQ(list.GetValueText(), L"ROUND(_result,0.01);SUM(附表1.金额);");
    EXPECT_TRUE(list.RemoveObject(0));
    EXPECT_FALSE(list.RemoveObject(1));
    EXPECT_EQ(list.GetValueText(), L"SUM(附表1.金额);");

    // A type change keeps only the calls offered for the new type.
    p.AddCall(list, 1, L"主表.d1");
    p.r->SetType(2);
    list.CheckFieldType();
    EXPECT_EQ(list.GetValueText(), L"GET(主表.d1);");
}

TEST(FunctionLists, PerTypeListsInTableOrder)
{
    auto names = [](uint32_t kind, uint32_t type) {
        std::wstring out;
        for (const FunctionEntry* e : GetFunctionList(kind, type))
            out += std::wstring(e->name) + L" ";
        return out;
    };
    EXPECT_EQ(names(0, 0), L"NIL GET ");
    EXPECT_EQ(names(0, 1),
              L"NIL GET ADD SUB MUL DIV SUM MAX AVR ROUND DIF_DAY DIF_MONTH DIF_YEAR DIF_HOURE DIF_MINUTE ");
    EXPECT_EQ(names(0, 3), L"NIL GET ");
    EXPECT_EQ(names(1, 1), L"NIL RAGNE ROUND MUL ");
    EXPECT_EQ(names(1, 2), L"NIL ");
    EXPECT_TRUE(GetFunctionList(2, 0).empty());
    EXPECT_TRUE(GetFunctionList(0, 4).empty());
    for (uint32_t i = 0; i < GetFunctionCount(0); ++i)
        EXPECT_EQ(GetFunctionEntry(0, i)->id, i);
    EXPECT_STREQ(GetFunctionEntry(0, 13)->syntax, L"DIF_HOURE(X,Y)");
    EXPECT_STREQ(GetFunctionEntry(1, 1)->syntax, L"RAGNE(X,Y)");
    EXPECT_EQ(GetFunctionEntry(1, 4), nullptr);
}

} // namespace
