#include "KQXFieldCfg.h"

#include "IDoxDocElement.h"
#include "IDoxPage.h"

#include <QString>

#include <tinyxml2.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kqplus
{

const wchar_t* const kBizTypeNames[kBizTypeCount] = {L"支票", L"银行汇票申请书", L"银行本票申请书", L"汇兑凭证",
                                                     L"其它"};

namespace
{

constexpr const char* kEntryIds[kMapEntryCount] = {"account", "date", "money", "paycode", "credenceno", "biztype"};
constexpr const wchar_t* kEntryDefaults[kMapEntryCount] = {L"账号", L"日期", L"金额", L"密码", L"号码", L"业务"};

constexpr wchar_t kFieldMapElement[] = L"kqxfieldmap";
constexpr wchar_t kDatabaseElement[] = L"kqxdatabase";

bool EqualIgnoringAsciiCase(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (; *a && *b; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

// Parses exactly the element's bytes: a stored text ends with its NUL, which is
// not part of the XML; a damaged one may have none.
bool ParseBytes(tinyxml2::XMLDocument& document, const char* data, size_t size)
{
    if (!data || size == 0)
        return false;
    const void* nul = std::memchr(data, '\0', size);
    if (nul)
        size = static_cast<size_t>(static_cast<const char*>(nul) - data);
    if (size == 0)
        return false;
    return document.Parse(data, size) == tinyxml2::XML_SUCCESS;
}

// A document with the declaration and an empty root.
tinyxml2::XMLElement* StartDocument(tinyxml2::XMLDocument& document, const char* root)
{
    document.InsertEndChild(document.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
    return static_cast<tinyxml2::XMLElement*>(document.InsertEndChild(document.NewElement(root)));
}

// The root of a stored text when it is named root (ignoring case), else null.
tinyxml2::XMLElement* ParseRoot(tinyxml2::XMLDocument& document, const char* data, size_t size, const char* root)
{
    if (!ParseBytes(document, data, size))
        return nullptr;
    tinyxml2::XMLElement* element = document.RootElement();
    return element && EqualIgnoringAsciiCase(element->Name(), root) ? element : nullptr;
}

std::string Print(tinyxml2::XMLDocument& document)
{
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    return std::string(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1));
}

// Hands a page element's bytes to read; 0 when the element is missing, empty or
// cannot be loaded. Reading never creates the element: a page that merely was
// looked at must not become configured.
template <class Read> int ReadElement(IDoxPage* page, const wchar_t* name, int scope, Read read)
{
    if (!page || !page->HasUserElement(name, scope))
        return 0;
    IDoxDocElement* element = page->GetUserElement(name, scope);
    if (!element || element->GetSize() == 0)
        return 0;
    const uint8_t* data = element->GetData();
    int ok = data ? read(reinterpret_cast<const char*>(data), static_cast<size_t>(element->GetSize())) : 0;
    element->ReleaseData();
    return ok;
}

// Stores a text with its NUL into a page element; false when there is no element.
IDoxDocElement* StoreText(IDoxPage* page, const wchar_t* name, int scope, const std::string& text)
{
    if (!page)
        return nullptr;
    IDoxDocElement* element = page->GetUserElement(name, scope);
    if (!element)
        return nullptr;
    if (!element->SetData(text.c_str(), static_cast<uint32_t>(text.size() + 1)))
        return nullptr;
    return element;
}

// Decimal int, clamped; what a damaged store holds reads as the nearest value.
int ReadInt(const char* text)
{
    if (!text)
        return 0;
    errno = 0;
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

const char* MapEntryId(MapEntry entry)
{
    return kEntryIds[static_cast<int>(entry)];
}

const wchar_t* MapEntryDefault(MapEntry entry)
{
    return kEntryDefaults[static_cast<int>(entry)];
}

std::string ToUtf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

std::wstring FromUtf8(const char* text)
{
    return text ? QString::fromUtf8(text).toStdWString() : std::wstring();
}

CKQXFieldCfg::CKQXFieldCfg(IDoxPage* page) : page_(page)
{
    for (int i = 0; i < kMapEntryCount; ++i)
        names_[i] = kEntryDefaults[i];
}

std::string CKQXFieldCfg::FieldMapText() const
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = StartDocument(document, "kqx:template");
    root->SetAttribute("type", bizType_);
    for (int i = 0; i < kMapEntryCount; ++i) {
        tinyxml2::XMLElement* item = document.NewElement("kqx:fieldmap");
        item->SetAttribute("id", kEntryIds[i]);
        item->SetAttribute("value", ToUtf8(names_[i]).c_str());
        root->InsertEndChild(item);
    }
    return Print(document);
}

int CKQXFieldCfg::ReadFieldMapText(const char* data, size_t size)
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = ParseRoot(document, data, size, "kqx:template");
    if (!root)
        return 0;
    bizType_ = ReadInt(root->Attribute("type"));
    for (tinyxml2::XMLElement* item = root->FirstChildElement("kqx:fieldmap"); item;
         item = item->NextSiblingElement("kqx:fieldmap")) {
        const char* id = item->Attribute("id");
        for (int i = 0; i < kMapEntryCount; ++i) {
            if (EqualIgnoringAsciiCase(id, kEntryIds[i])) {
                names_[i] = FromUtf8(item->Attribute("value"));
                break;
            }
        }
    }
    return 1;
}

int CKQXFieldCfg::LoadFromPage()
{
    return ReadElement(page_, kFieldMapElement, 0,
                       [this](const char* data, size_t size) { return ReadFieldMapText(data, size); });
}

int CKQXFieldCfg::SaveToPage()
{
    // The template's element goes to disk when the designer saves the template.
    IDoxDocElement* element = StoreText(page_, kFieldMapElement, 0, FieldMapText());
    if (!element)
        return 0;
    element->ReleaseData();
    return 1;
}

std::string CKQXDataCfg::CredenceText() const
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* list = StartDocument(document, "kqx:database")->InsertNewChildElement("kqx:credenceno");
    for (const auto& [account, number] : numbers_) {
        tinyxml2::XMLElement* item = document.NewElement("kqx:item");
        item->SetAttribute("account", ToUtf8(account).c_str());
        char value[16];
        std::snprintf(value, sizeof value, "%d", number);
        item->SetAttribute("value", value);
        list->InsertEndChild(item);
    }
    return Print(document);
}

int CKQXDataCfg::ReadCredenceText(const char* data, size_t size)
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = ParseRoot(document, data, size, "kqx:database");
    if (!root)
        return 0;
    if (tinyxml2::XMLElement* list = root->FirstChildElement("kqx:credenceno")) {
        for (tinyxml2::XMLElement* item = list->FirstChildElement("kqx:item"); item;
             item = item->NextSiblingElement("kqx:item"))
            numbers_[FromUtf8(item->Attribute("account"))] = ReadInt(item->Attribute("value"));
    }
    return 1;
}

int CKQXDataCfg::Load()
{
    return ReadElement(page_, kDatabaseElement, 1,
                       [this](const char* data, size_t size) { return ReadCredenceText(data, size); });
}

int CKQXDataCfg::Save()
{
    IDoxDocElement* element = StoreText(page_, kDatabaseElement, 1, CredenceText());
    if (!element)
        return 0;
    int saved = element->SaveContainer();
    element->ReleaseData();
    return saved ? 1 : 0;
}

int CKQXDataCfg::GetNextCredenceNo(const std::wstring& account) const
{
    auto it = numbers_.find(account);
    return it == numbers_.end() ? 1 : it->second;
}

std::wstring CKQXDataCfg::FormatNextCredenceNo(const std::wstring& account) const
{
    wchar_t text[24];
    std::swprintf(text, sizeof text / sizeof text[0], L"%08d", GetNextCredenceNo(account));
    return text;
}

void CKQXDataCfg::SetUsedCredenceNo(const std::wstring& account, int used)
{
    numbers_[account] = used < INT_MAX ? used + 1 : INT_MAX;
}

} // namespace kqplus
