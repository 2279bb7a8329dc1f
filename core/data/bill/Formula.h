#pragma once
// Conditions ("过滤公式") a bound control can put on the value it shows: the value
// is shown only when the condition holds for the current row.

#include <cstdint>
#include <string>
#include <vector>

class DataField;

class Formula
{
public:
    explicit Formula(const wchar_t* syntax) : syntax_(syntax) {}
    virtual ~Formula() = default;
    Formula(const Formula&) = delete;
    Formula& operator=(const Formula&) = delete;

    virtual void Release() { delete this; }
    // checkOnly: only test the text (the IN kinds then keep no items).
    virtual int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error);
    // 1 when the condition holds for the row; out then holds the formatted value.
    virtual int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                         DataField* field, int32_t row) = 0;

    const wchar_t* GetSyntax() const { return syntax_; }

private:
    const wchar_t* syntax_;
};

class FormulaNil : public Formula
{
public:
    FormulaNil();
    void Release() override {}
    int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error) override;
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
};

class FormulaEQ : public Formula
{
public:
    FormulaEQ() : FormulaEQ(L" =(X)") {}
    int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error) override;
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
    const std::wstring& GetParameter() const { return parameter_; }

protected:
    explicit FormulaEQ(const wchar_t* syntax) : Formula(syntax) {}
    std::wstring parameter_;
};

class FormulaNEQ : public FormulaEQ
{
public:
    FormulaNEQ() : FormulaEQ(L"!=(X)") {}
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
};

class FormulaIN : public Formula
{
public:
    FormulaIN() : FormulaIN(L" IN(X,...)") {}
    int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error) override;
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
    const std::vector<std::wstring>& GetItems() const { return items_; }

protected:
    explicit FormulaIN(const wchar_t* syntax) : Formula(syntax) {}
    bool Matches(const std::wstring& text) const;
    std::vector<std::wstring> items_;
};

class FormulaNIN : public FormulaIN
{
public:
    FormulaNIN() : FormulaIN(L"!IN(X,...)") {}
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
};

// One-number comparisons.
class FormulaGT : public Formula
{
public:
    FormulaGT() : FormulaGT(L">(X)") {}
    int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error) override;
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
    double GetX() const { return x_; }

protected:
    explicit FormulaGT(const wchar_t* syntax) : Formula(syntax) {}
    virtual bool Holds(double v) const { return v > x_; }
    double x_ = 0.0;
};

class FormulaGE : public FormulaGT
{
public:
    FormulaGE() : FormulaGT(L">=(X)") {}

protected:
    bool Holds(double v) const override { return v >= x_; }
};

class FormulaLT : public FormulaGT
{
public:
    FormulaLT() : FormulaGT(L"<(X)") {}

protected:
    bool Holds(double v) const override { return v < x_; }
};

class FormulaLE : public FormulaGT
{
public:
    FormulaLE() : FormulaGT(L"<=(X)") {}

protected:
    bool Holds(double v) const override { return v <= x_; }
};

// Two-number ranges.
class FormulaGTLT : public Formula
{
public:
    FormulaGTLT() : FormulaGTLT(L"(X,Y)") {}
    int Parse(const wchar_t* parameter, int checkOnly, std::wstring* error) override;
    int Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                 int32_t row) override;
    double GetX() const { return x_; }
    double GetY() const { return y_; }

protected:
    explicit FormulaGTLT(const wchar_t* syntax) : Formula(syntax) {}
    virtual bool Holds(double v) const { return x_ < v && v < y_; }
    double x_ = 0.0;
    double y_ = 0.0;
};

#define DOX_FORMULA_RANGE(Name, Syntax, Test)                                                                \
    class Name : public FormulaGTLT                                                                          \
    {                                                                                                        \
    public:                                                                                                  \
        Name() : FormulaGTLT(Syntax) {}                                                                      \
                                                                                                             \
    protected:                                                                                               \
        bool Holds(double v) const override { return Test; }                                                 \
    };

DOX_FORMULA_RANGE(FormulaGELE, L"[X,Y]", x_ <= v && v <= y_)
DOX_FORMULA_RANGE(FormulaGELT, L"[X,Y)", x_ <= v && v < y_)
DOX_FORMULA_RANGE(FormulaGTLE, L"(X,Y]", x_ < v && v <= y_)
DOX_FORMULA_RANGE(FormulaGELT_NOT, L"![X,Y)", v < x_ || v >= y_)
DOX_FORMULA_RANGE(FormulaGTLE_NOT, L"!(X,Y]", v <= x_ || v > y_)
DOX_FORMULA_RANGE(FormulaGTLT_NOT, L"!(X,Y)", v <= x_ || v >= y_)
DOX_FORMULA_RANGE(FormulaGELE_NOT, L"![X,Y]", v<x_ || v> y_)
#undef DOX_FORMULA_RANGE

struct FormulaRegistryNode {
    const FormulaRegistryNode* next;
    const wchar_t* syntax;
    Formula* (*factory)();
    Formula* prototype;
    uint32_t typeMask;
};

// Null for an empty syntax or one no kind has (letter case ignored). The caller
// parses the parameter into it and releases it.
Formula* CreateFormula(const wchar_t* syntax);
int CheckFormula(const wchar_t* syntax, const wchar_t* parameter, std::wstring* error);
int IsFormulaForType(uint32_t type, const wchar_t* syntax);
// The registry, newest kind first; "<无>" heads it after InitFormulaLists.
const FormulaRegistryNode* GetFormulaRegistry();
// The kinds offered for one value type (empty for a type above 3).
const std::vector<const FormulaRegistryNode*>& GetFormulaList(uint32_t type);

void InitFormulaLists();
void ShutdownFormulaLists();
