#pragma once
// Common base of every attribute object, group or item: the texts the property grid
// shows, the type word and the XML operations that groups and items implement.

#include <cstdint>
#include <string>

#include "IDoxAttrib.h"

namespace tinyxml2
{
class XMLElement;
}

class DoxAttribBase : public IDoxAttrib
{
public:
    // key: the XML "id"; an empty key means the object has none.
    DoxAttribBase(const char* key, const wchar_t* caption, uint32_t type = 0);
    virtual ~DoxAttribBase();
    DoxAttribBase(const DoxAttribBase&) = delete;
    DoxAttribBase& operator=(const DoxAttribBase&) = delete;

    // IDoxAttrib
    const wchar_t* GetCaption() override;
    const wchar_t* GetDescription() override;
    uint32_t GetType() override;
    const wchar_t* GetDefaultText() override;
    const wchar_t* GetValueText() override;
    bool SetValueText(const wchar_t* text) override;
    const wchar_t* GetErrorText() override;
    int32_t GetElementCount() override;
    IDoxAttribSet* GetElement(int32_t i) override;
    bool AddElement() override;
    void RemoveElement(int32_t i) override;
    bool MoveElement(int32_t i, bool up) override;
    int32_t GetOptionCount() override;
    const wchar_t* GetOptionText(int32_t i) override;
    int32_t GetChildCount() override;
    IDoxAttrib* GetChild(int32_t i) override;
    void Destroy(uint32_t flags) override;

    virtual const char* GetXmlTag() const = 0;
    // False refuses the element and aborts the enclosing load.
    virtual bool LoadXml(const tinyxml2::XMLElement* element) = 0;
    // Writes into an element that the caller created and appended.
    virtual bool SaveXml(tinyxml2::XMLElement* element, bool full) = 0;
    // Brings values up to date from the model before they are saved or run.
    virtual void Refresh();

    const std::string& GetKey() const { return key_; }
    void SetErrorText(const std::wstring& text) { errorText_ = text; }
    void ClearErrorText() { errorText_.clear(); }
    void SetType(uint32_t type) { type_ = type; }
    void SetCaption(const wchar_t* caption) { caption_ = caption ? caption : L""; }

    // The element test: the tag matches exactly, and the element's "id" equals the
    // key; an empty key matches only an element without "id".
    bool MatchesElement(const tinyxml2::XMLElement* element) const;

protected:
    std::wstring errorText_;
    std::wstring caption_;
    std::string key_;
    std::wstring description_;
    uint32_t type_ = 0;
};

// The element test for any tag and key, shared with attribute sets.
bool DoxXmlElementMatches(const tinyxml2::XMLElement* element, const char* tag, const std::string& key);
