// Condition formulas: the registry and its per-type lists, parameter parsing with
// its messages, and evaluation against the cells of a prepared page.

#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "Formula.h"

using billtest::AddTyped;

namespace
{

std::vector<std::wstring> Syntaxes(const std::vector<const FormulaRegistryNode*>& nodes)
{
    std::vector<std::wstring> out;
    for (const FormulaRegistryNode* node : nodes)
        out.emplace_back(node->syntax);
    return out;
}

TEST(FormulaRegistry, ListsFollowTheRegistryOrderPerType)
{
    std::vector<std::wstring> all;
    for (const FormulaRegistryNode* node = GetFormulaRegistry(); node; node = node->next)
        all.emplace_back(node->syntax);
    const std::vector<std::wstring> registry = {
        L"<无>",  L"![X,Y]", L"!(X,Y)", L"!(X,Y]", L"![X,Y)",     L"(X,Y]",      L"[X,Y)", L"[X,Y]", L"(X,Y)",
        L"<=(X)", L"<(X)",   L">=(X)",  L">(X)",   L"!IN(X,...)", L" IN(X,...)", L"!=(X)", L" =(X)"};
    EXPECT_EQ(all, registry);

    const std::vector<std::wstring> textKinds = {L"<无>", L"!IN(X,...)", L" IN(X,...)", L"!=(X)", L" =(X)"};
    EXPECT_EQ(Syntaxes(GetFormulaList(0)), textKinds);
    EXPECT_EQ(Syntaxes(GetFormulaList(1)), registry);
    EXPECT_EQ(Syntaxes(GetFormulaList(2)), textKinds);
    EXPECT_EQ(Syntaxes(GetFormulaList(3)), textKinds);
    EXPECT_TRUE(GetFormulaList(4).empty());
}

TEST(FormulaRegistry, IsFormulaForType)
{
    struct Case {
        uint32_t type;
        const wchar_t* syntax;
        int expected;
    } cases[] = {
        {0, L">(X)", 0}, {1, L">(X)", 1}, {4, L" =(X)", 0},      {0, L" =(X)", 1}, {3, L"<无>", 1},
        {2, L"", 0},     {2, nullptr, 0}, {1, L" in(x,...)", 1}, {2, L"[X,Y]", 0}, {1, L"IN(X,...)", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsFormulaForType(c.type, c.syntax), c.expected)
            << c.type << " " << (c.syntax ? "s" : "null");
}

TEST(FormulaCheck, ParametersAndMessages)
{
    struct Case {
        const wchar_t* syntax;
        const wchar_t* parameter;
        int expected;
        const wchar_t* error;
    } cases[] = {
        {L"[X,Y]", L"5,5", 1, L""},
        {L"[X,Y]", L"6,5", 0, L"参数X必须小于参数Y"},
        {L"(X,Y)", L"1,2,3", 0, L"(X,Y) 公式只能有2个数值参数"},
        {L"[X,Y)", L"5", 0, L"[X,Y)公式必须提供2个数值参数"},
        {L"![X,Y]", L"a,2", 0, L"参数X必须是数值。"},
        {L"(X,Y]", L"1,b", 0, L"参数Y必须是数值。"},
        {L"(X,Y)", L"", 1, L""},
        {L"!=(X)", L"a,b", 0, L"参数中不能包含逗号(,)"},
        {L" =(X)", L"", 1, L""},
        {L" =(X)", L"it's 100%", 1, L""},
        {L"<无>", L"", 0, L"无效参数"},
        {L"", L"", 0, L"没指定函数"},
        {nullptr, L"1", 0, L"没指定函数"},
        {L"=(X)", L"1", 0, L"没指定函数"},
        {L">(X)", L"abc", 0, L"参数必须是数值"},
        {L">(X)", L"", 1, L""},
        {L"<=(x)", L"3w", 1, L""},
        {L" in(x,...)", L",,a", 1, L""},
        {L"!IN(X,...)", L"", 1, L""},
    };
    for (const Case& c : cases) {
        std::wstring error;
        EXPECT_EQ(CheckFormula(c.syntax, c.parameter, &error), c.expected)
            << (c.syntax ? c.syntax : L"null") << " / " << c.parameter;
        EXPECT_EQ(error, c.error) << (c.syntax ? c.syntax : L"null") << " / " << c.parameter;
    }
}

TEST(FormulaCreate, FindsKindsIgnoringCaseButNotWithoutTheBlank)
{
    Formula* in = CreateFormula(L" in(x,...)");
    ASSERT_NE(in, nullptr);
    EXPECT_STREQ(in->GetSyntax(), L" IN(X,...)");
    in->Release();
    EXPECT_EQ(CreateFormula(L"IN(X,...)"), nullptr);
    EXPECT_EQ(CreateFormula(L""), nullptr);
    EXPECT_EQ(CreateFormula(nullptr), nullptr);

    // "<无>" is one shared object that ignores Release.
    Formula* nil1 = CreateFormula(L"<无>");
    Formula* nil2 = CreateFormula(L"<无>");
    EXPECT_EQ(nil1, nil2);
    nil1->Release();
    EXPECT_STREQ(nil2->GetSyntax(), L"<无>");
}

TEST(FormulaParse, InItemsAreSplitTrimmedAndKeptOnlyOutsideCheckMode)
{
    FormulaIN in;
    EXPECT_EQ(in.Parse(L"a,,  b  , ", 0, nullptr), 1);
    EXPECT_EQ(in.GetItems(), (std::vector<std::wstring>{L"a", L"b", L""}));
    EXPECT_EQ(in.Parse(L"x,y", 1, nullptr), 1);
    EXPECT_TRUE(in.GetItems().empty());
}

TEST(FormulaParse, RangeFailuresResetBothBounds)
{
    FormulaGELE range;
    ASSERT_EQ(range.Parse(L"1,3", 0, nullptr), 1);
    EXPECT_EQ(range.GetX(), 1.0);
    EXPECT_EQ(range.GetY(), 3.0);
    EXPECT_EQ(range.Parse(L"4,x", 0, nullptr), 0);
    EXPECT_EQ(range.GetX(), 0.0);
    EXPECT_EQ(range.GetY(), 0.0);
}

// A page with a number field n and a text field t in the main table.
class FormulaEvaluate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        number_ = AddTyped(page_, L"n", 1);
        text_ = AddTyped(page_, L"t", 0);
        ASSERT_EQ(page_.PrepareStore(nullptr, L"P"), 1);
    }

    int Evaluate(const wchar_t* syntax, const wchar_t* parameter, DataField* field, std::wstring& out)
    {
        Formula* formula = CreateFormula(syntax);
        EXPECT_NE(formula, nullptr) << syntax;
        if (!formula)
            return -1;
        formula->Parse(parameter, 0, nullptr);
        const int result = formula->Evaluate(out, field->GetType() << 16, nullptr, field, 0);
        formula->Release();
        return result;
    }

    DataPage page_;
    DataField* number_ = nullptr;
    DataField* text_ = nullptr;
};

TEST_F(FormulaEvaluate, NumericKinds)
{
    struct Case {
        const wchar_t* syntax;
        const wchar_t* parameter;
        const wchar_t* value;
        int holds;
    } cases[] = {
        {L">(X)", L"5", L"6", 1},     {L">(X)", L"5", L"5", 0},     {L">=(X)", L"5", L"5", 1},
        {L"<(X)", L"5", L"4.5", 1},   {L"<(X)", L"5", L"5", 0},     {L"<=(X)", L"5", L"5", 1},
        {L"(X,Y)", L"1,3", L"1", 0},  {L"(X,Y)", L"1,3", L"2", 1},  {L"[X,Y]", L"1,3", L"3", 1},
        {L"[X,Y)", L"1,3", L"3", 0},  {L"[X,Y)", L"1,3", L"1", 1},  {L"(X,Y]", L"1,3", L"1", 0},
        {L"(X,Y]", L"1,3", L"3", 1},  {L"![X,Y)", L"1,3", L"3", 1}, {L"![X,Y)", L"1,3", L"1", 0},
        {L"!(X,Y]", L"1,3", L"1", 1}, {L"!(X,Y]", L"1,3", L"3", 0}, {L"!(X,Y)", L"1,3", L"1", 1},
        {L"!(X,Y)", L"1,3", L"3", 1}, {L"!(X,Y)", L"1,3", L"2", 0}, {L"![X,Y]", L"1,3", L"0.5", 1},
        {L"![X,Y]", L"1,3", L"3", 0}, {L">(X)", L"-1", L"-0.5", 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(page_.SetFieldText(L"主表.n", 0, c.value), 1);
        std::wstring out = L"stale";
        EXPECT_EQ(Evaluate(c.syntax, c.parameter, number_, out), c.holds) << c.syntax << " " << c.value;
        EXPECT_EQ(out.empty(), !c.holds) << c.syntax << " " << c.value;
    }
}

TEST_F(FormulaEvaluate, NumericKindsNeedANumberWithAValue)
{
    std::wstring out;
    page_.SetFieldText(L"主表.t", 0, L"7");
    EXPECT_EQ(Evaluate(L">(X)", L"1", text_, out), 0);
    EXPECT_TRUE(out.empty());
    page_.SetFieldText(L"主表.n", 0, L"");
    EXPECT_EQ(Evaluate(L">(X)", L"-100", number_, out), 0);
    EXPECT_EQ(Evaluate(L"![X,Y]", L"1,2", number_, out), 0);
}

TEST_F(FormulaEvaluate, TextKindsCompareTheFormattedValueIgnoringCase)
{
    struct Case {
        const wchar_t* syntax;
        const wchar_t* parameter;
        const wchar_t* value;
        int holds;
    } cases[] = {
        {L" =(X)", L"abc", L"ABC", 1},
        {L" =(X)", L"abc", L"abd", 0},
        {L" =(X)", L"", L"", 1},
        {L" =(X)", L"", L"x", 0},
        {L"!=(X)", L"abc", L"ABC", 0},
        {L"!=(X)", L"abc", L"x", 1},
        {L" IN(X,...)", L"a, B ,c", L"b", 1},
        {L" IN(X,...)", L"a,b", L"d", 0},
        {L"!IN(X,...)", L"a,b", L"A", 0},
        {L"!IN(X,...)", L"a,b", L"z", 1},
        {L"!IN(X,...)", L"", L"z", 1},
    };
    for (const Case& c : cases) {
        page_.SetFieldText(L"主表.t", 0, c.value);
        std::wstring out;
        EXPECT_EQ(Evaluate(c.syntax, c.parameter, text_, out), c.holds) << c.syntax << " " << c.value;
        EXPECT_EQ(out, c.holds ? std::wstring(c.value) : std::wstring()) << c.syntax << " " << c.value;
    }
}

TEST_F(FormulaEvaluate, NilShowsTheFormattedValue)
{
    page_.SetFieldText(L"主表.n", 0, L"12.5");
    std::wstring out;
    Formula* nil = CreateFormula(L"<无>");
    EXPECT_EQ(nil->Evaluate(out, 0x10000, nullptr, number_, 0), 1);
    EXPECT_EQ(out, L"12.5");
    EXPECT_EQ(nil->Evaluate(out, 0x10000, nullptr, nullptr, 0), 0);
}

} // namespace
