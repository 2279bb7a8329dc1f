#include "DoxAttribBase.h"

#include <cstring>

#include <tinyxml2.h>

DoxAttribBase::DoxAttribBase(const char* key, const wchar_t* caption, uint32_t type)
    : caption_(caption ? caption : L""), key_(key ? key : ""), type_(type)
{
}

DoxAttribBase::~DoxAttribBase() = default;

const wchar_t* DoxAttribBase::GetCaption()
{
    return caption_.c_str();
}
const wchar_t* DoxAttribBase::GetDescription()
{
    return description_.c_str();
}
uint32_t DoxAttribBase::GetType()
{
    return type_;
}
const wchar_t* DoxAttribBase::GetDefaultText()
{
    return L"";
}
const wchar_t* DoxAttribBase::GetValueText()
{
    return L"";
}
bool DoxAttribBase::SetValueText(const wchar_t*)
{
    return false;
}
const wchar_t* DoxAttribBase::GetErrorText()
{
    return errorText_.c_str();
}
int32_t DoxAttribBase::GetElementCount()
{
    return 0;
}
IDoxAttribSet* DoxAttribBase::GetElement(int32_t)
{
    return nullptr;
}
bool DoxAttribBase::AddElement()
{
    return false;
}
void DoxAttribBase::RemoveElement(int32_t) {}
bool DoxAttribBase::MoveElement(int32_t, bool)
{
    return false;
}
int32_t DoxAttribBase::GetOptionCount()
{
    return 0;
}
const wchar_t* DoxAttribBase::GetOptionText(int32_t)
{
    return nullptr;
}
int32_t DoxAttribBase::GetChildCount()
{
    return 0;
}
IDoxAttrib* DoxAttribBase::GetChild(int32_t)
{
    return nullptr;
}

void DoxAttribBase::Destroy(uint32_t flags)
{
    if (flags & 1)
        delete this;
    else
        this->~DoxAttribBase();
}

void DoxAttribBase::Refresh() {}

bool DoxAttribBase::MatchesElement(const tinyxml2::XMLElement* element) const
{
    return DoxXmlElementMatches(element, GetXmlTag(), key_);
}

bool DoxXmlElementMatches(const tinyxml2::XMLElement* element, const char* tag, const std::string& key)
{
    if (!element || !tag || std::strcmp(element->Name(), tag) != 0)
        return false;
    const char* id = element->Attribute("id");
    if (key.empty())
        return id == nullptr;
    return id != nullptr && key == id;
}
