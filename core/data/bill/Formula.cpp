#include "Formula.h"

#include <array>

#include "BillFormats.h"
#include "BillText.h"
#include "DataCell.h"
#include "DataContainer.h"
#include "DataField.h"

using bill::EqualsNoCase;

int Formula::Parse(const wchar_t*, int, std::wstring*)
{
    return 1;
}

namespace
{

bool IsEmptyText(const wchar_t* text)
{
    return text == nullptr || *text == 0;
}

void SetError(std::wstring* error, const std::wstring& text)
{
    if (error)
        *error = text;
}

// The formatted value of the field's cell in the row; empty when there is none.
int FormatFieldCell(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                    int32_t row)
{
    out.clear();
    if (!field || !field->GetContainer())
        return 0;
    return field->GetContainer()->FormatCell(row, field, formatId, out, formatArgument);
}

// The cell's number when the field is a number field and the cell has a value.
bool CellNumber(DataField* field, int32_t row, double& value)
{
    if (!field)
        return false;
    DataCell* cell = field->GetCell(row);
    return cell && cell->GetNumberIfSet(value);
}

// A condition that does not hold leaves no text behind.
int Outcome(bool holds, std::wstring& out)
{
    if (!holds)
        out.clear();
    return holds ? 1 : 0;
}

// A numeric condition holds only on a cell of a number field that has a value; its
// text is then the formatted cell.
template <class Test>
int EvaluateNumber(Test holds, std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                   DataField* field, int32_t row)
{
    out.clear();
    double v = 0.0;
    if (!CellNumber(field, row, v) || !holds(v))
        return 0;
    FormatFieldCell(out, formatId, formatArgument, field, row);
    return 1;
}

} // namespace

FormulaNil::FormulaNil() : Formula(L"<无>") {}

int FormulaNil::Parse(const wchar_t*, int, std::wstring* error)
{
    SetError(error, L"无效参数");
    return 0;
}

int FormulaNil::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                         DataField* field, int32_t row)
{
    return FormatFieldCell(out, formatId, formatArgument, field, row);
}

int FormulaEQ::Parse(const wchar_t* parameter, int, std::wstring* error)
{
    parameter_.clear();
    if (IsEmptyText(parameter))
        return 1;
    if (std::wstring_view(parameter).find(L',') != std::wstring_view::npos) {
        SetError(error, L"参数中不能包含逗号(,)");
        return 0;
    }
    parameter_ = parameter;
    return 1;
}

int FormulaEQ::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                        int32_t row)
{
    FormatFieldCell(out, formatId, formatArgument, field, row);
    return Outcome(EqualsNoCase(out, parameter_), out);
}

int FormulaNEQ::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                         DataField* field, int32_t row)
{
    FormatFieldCell(out, formatId, formatArgument, field, row);
    return Outcome(!EqualsNoCase(out, parameter_), out);
}

int FormulaIN::Parse(const wchar_t* parameter, int checkOnly, std::wstring*)
{
    items_.clear();
    if (IsEmptyText(parameter))
        return 1;
    std::wstring_view rest(parameter);
    while (true) {
        const size_t comma = rest.find(L',');
        const std::wstring_view piece = rest.substr(0, comma);
        if (!piece.empty() && !checkOnly)
            items_.emplace_back(bill::TrimBlanks(piece));
        if (comma == std::wstring_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return 1;
}

bool FormulaIN::Matches(const std::wstring& text) const
{
    for (const std::wstring& item : items_) {
        if (EqualsNoCase(text, item))
            return true;
    }
    return false;
}

int FormulaIN::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                        int32_t row)
{
    FormatFieldCell(out, formatId, formatArgument, field, row);
    return Outcome(Matches(out), out);
}

int FormulaNIN::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                         DataField* field, int32_t row)
{
    FormatFieldCell(out, formatId, formatArgument, field, row);
    return Outcome(items_.empty() || !Matches(out), out);
}

int FormulaGT::Parse(const wchar_t* parameter, int, std::wstring* error)
{
    x_ = 0.0;
    if (IsEmptyText(parameter))
        return 1;
    double x = 0.0;
    if (!bill::ParseNumber(parameter, x)) {
        SetError(error, L"参数必须是数值");
        return 0;
    }
    x_ = x;
    return 1;
}

int FormulaGT::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument, DataField* field,
                        int32_t row)
{
    return EvaluateNumber([this](double v) { return Holds(v); }, out, formatId, formatArgument, field, row);
}

int FormulaGTLT::Parse(const wchar_t* parameter, int, std::wstring* error)
{
    x_ = 0.0;
    y_ = 0.0;
    if (IsEmptyText(parameter))
        return 1;
    const std::wstring text(parameter);
    const size_t comma = text.find(L',');
    if (comma == std::wstring::npos) {
        SetError(error, std::wstring(GetSyntax()) + L"公式必须提供2个数值参数");
        return 0;
    }
    const std::wstring left = text.substr(0, comma);
    const std::wstring right = text.substr(comma + 1);
    if (right.find(L',') != std::wstring::npos) {
        SetError(error, std::wstring(GetSyntax()) + L" 公式只能有2个数值参数");
        return 0;
    }
    if (!bill::ParseNumber(left.c_str(), x_)) {
        x_ = 0.0;
        SetError(error, L"参数X必须是数值。");
        return 0;
    }
    if (!bill::ParseNumber(right.c_str(), y_)) {
        x_ = 0.0;
        y_ = 0.0;
        SetError(error, L"参数Y必须是数值。");
        return 0;
    }
    if (x_ > y_) {
        x_ = 0.0;
        y_ = 0.0;
        SetError(error, L"参数X必须小于参数Y");
        return 0;
    }
    return 1;
}

int FormulaGTLT::Evaluate(std::wstring& out, uint32_t formatId, const wchar_t* formatArgument,
                          DataField* field, int32_t row)
{
    return EvaluateNumber([this](double v) { return Holds(v); }, out, formatId, formatArgument, field, row);
}

namespace
{

constexpr uint32_t kAllTypes = 15;
constexpr uint32_t kNumberOnly = 2;

FormulaNil& SharedNil()
{
    static FormulaNil nil;
    return nil;
}

Formula* MakeNil()
{
    return &SharedNil();
}

template <class T> Formula* Make()
{
    return new T;
}

template <class T> Formula* Prototype()
{
    static T prototype;
    return &prototype;
}

struct Registry {
    // Registry order: every kind was pushed at the head in turn, " =(X)" first,
    // and "<无>" last by the start-up.
    std::array<FormulaRegistryNode, 17> nodes{{
        {nullptr, L"<无>", &MakeNil, &SharedNil(), kAllTypes},
        {nullptr, L"![X,Y]", &Make<FormulaGELE_NOT>, Prototype<FormulaGELE_NOT>(), kNumberOnly},
        {nullptr, L"!(X,Y)", &Make<FormulaGTLT_NOT>, Prototype<FormulaGTLT_NOT>(), kNumberOnly},
        {nullptr, L"!(X,Y]", &Make<FormulaGTLE_NOT>, Prototype<FormulaGTLE_NOT>(), kNumberOnly},
        {nullptr, L"![X,Y)", &Make<FormulaGELT_NOT>, Prototype<FormulaGELT_NOT>(), kNumberOnly},
        {nullptr, L"(X,Y]", &Make<FormulaGTLE>, Prototype<FormulaGTLE>(), kNumberOnly},
        {nullptr, L"[X,Y)", &Make<FormulaGELT>, Prototype<FormulaGELT>(), kNumberOnly},
        {nullptr, L"[X,Y]", &Make<FormulaGELE>, Prototype<FormulaGELE>(), kNumberOnly},
        {nullptr, L"(X,Y)", &Make<FormulaGTLT>, Prototype<FormulaGTLT>(), kNumberOnly},
        {nullptr, L"<=(X)", &Make<FormulaLE>, Prototype<FormulaLE>(), kNumberOnly},
        {nullptr, L"<(X)", &Make<FormulaLT>, Prototype<FormulaLT>(), kNumberOnly},
        {nullptr, L">=(X)", &Make<FormulaGE>, Prototype<FormulaGE>(), kNumberOnly},
        {nullptr, L">(X)", &Make<FormulaGT>, Prototype<FormulaGT>(), kNumberOnly},
        {nullptr, L"!IN(X,...)", &Make<FormulaNIN>, Prototype<FormulaNIN>(), kAllTypes},
        {nullptr, L" IN(X,...)", &Make<FormulaIN>, Prototype<FormulaIN>(), kAllTypes},
        {nullptr, L"!=(X)", &Make<FormulaNEQ>, Prototype<FormulaNEQ>(), kAllTypes},
        {nullptr, L" =(X)", &Make<FormulaEQ>, Prototype<FormulaEQ>(), kAllTypes},
    }};
    const FormulaRegistryNode* head = nullptr;
    bool nilAdded = false;
    std::array<std::vector<const FormulaRegistryNode*>, 4> lists;
    const FormulaRegistryNode* cache = nullptr;

    Registry()
    {
        for (size_t i = 0; i + 1 < nodes.size(); ++i)
            nodes[i].next = &nodes[i + 1];
        head = &nodes[1];
    }
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

const FormulaRegistryNode* FindNode(const wchar_t* syntax)
{
    if (IsEmptyText(syntax))
        return nullptr;
    for (const FormulaRegistryNode* node = TheRegistry().head; node; node = node->next) {
        if (EqualsNoCase(node->syntax, syntax))
            return node;
    }
    return nullptr;
}

} // namespace

Formula* CreateFormula(const wchar_t* syntax)
{
    const FormulaRegistryNode* node = FindNode(syntax);
    return node ? node->factory() : nullptr;
}

int CheckFormula(const wchar_t* syntax, const wchar_t* parameter, std::wstring* error)
{
    Registry& registry = TheRegistry();
    const FormulaRegistryNode* node = nullptr;
    if (!IsEmptyText(syntax)) {
        if (registry.cache && EqualsNoCase(registry.cache->syntax, syntax))
            node = registry.cache;
        else
            node = FindNode(syntax);
    }
    if (!node) {
        SetError(error, L"没指定函数");
        return 0;
    }
    registry.cache = node;
    return node->prototype->Parse(parameter, 1, error);
}

int IsFormulaForType(uint32_t type, const wchar_t* syntax)
{
    if (type >= 4 || IsEmptyText(syntax))
        return 0;
    for (const FormulaRegistryNode* node : TheRegistry().lists[type]) {
        if (EqualsNoCase(node->syntax, syntax))
            return 1;
    }
    return 0;
}

const FormulaRegistryNode* GetFormulaRegistry()
{
    return TheRegistry().head;
}

const std::vector<const FormulaRegistryNode*>& GetFormulaList(uint32_t type)
{
    static const std::vector<const FormulaRegistryNode*> none;
    return type < 4 ? TheRegistry().lists[type] : none;
}

void InitFormulaLists()
{
    Registry& registry = TheRegistry();
    if (!registry.nilAdded) {
        registry.nilAdded = true;
        registry.head = &registry.nodes[0];
    }
    for (auto& list : registry.lists)
        list.clear();
    for (const FormulaRegistryNode* node = registry.head; node; node = node->next) {
        for (uint32_t type = 0; type < 4; ++type) {
            if (node->typeMask & (1u << type))
                registry.lists[type].push_back(node);
        }
    }
}

void ShutdownFormulaLists()
{
    Registry& registry = TheRegistry();
    for (auto& list : registry.lists)
        list.clear();
    registry.cache = nullptr;
}
