#pragma once
// Wide-text wrappers over tinyxml2: names are ASCII, values cross as wide texts and are
// kept as UTF-8 in the document.

#include "VududiruraApi.h"

#include <tinyxml2.h>

#include <string>

// A handle on one element of a document (the document owns it); may be null.
class VUDU_API TiXmlElementP
{
public:
    TiXmlElementP() = default;
    explicit TiXmlElementP(tinyxml2::XMLElement* element) : element_(element) {}

    explicit operator bool() const { return element_ != nullptr; }
    tinyxml2::XMLElement* Get() const { return element_; }
    // The element's name; empty for a null handle.
    std::string Value() const;

    // The first child element of that name (any name when null); null when none.
    TiXmlElementP FirstChildElement(const char* name = nullptr) const;
    TiXmlElementP NextSiblingElement(const char* name = nullptr) const;
    // Appends a new child element; null when the handle is null.
    TiXmlElementP InsertEndChild(const char* name) const;

    // False, leaving the value as it is, when the attribute is missing (or, for the
    // number, not an integer).
    bool Attribute(const char* name, std::wstring* value) const;
    bool Attribute(const char* name, int* value) const;
    void SetAttribute(const char* name, const std::wstring& value) const;
    void SetAttribute(const char* name, int value) const;

private:
    tinyxml2::XMLElement* element_ = nullptr;
};

class VUDU_API TiXmlDocumentW
{
public:
    TiXmlDocumentW();
    TiXmlDocumentW(const TiXmlDocumentW&) = delete;
    TiXmlDocumentW& operator=(const TiXmlDocumentW&) = delete;

    // Adds <?xml version="1.0" encoding="UTF-8"?> at the front.
    bool AddDeclaration();
    // Parses UTF-8 text (size bytes, or up to the NUL when size is -1), replacing the
    // document; false when it is not well-formed.
    bool Parse(const char* text, long size = -1);
    // Reads a regular file of at most maxBytes (a FIFO, a device or a folder is never
    // opened for reading, so nothing waits on it); false for anything else or text
    // that is not well-formed.
    bool LoadFile(const std::wstring& path, size_t maxBytes = kMaxFileBytes);
    static constexpr size_t kMaxFileBytes = 4u << 20;
    // Writes the document to a temporary file beside the path, then renames it over
    // the path, so a failure never leaves a half-written file.
    bool SaveFile(const std::wstring& path) const;
    // The document as text (UTF-8, without a terminating NUL).
    std::string Print() const;

    TiXmlElementP RootElement() const;
    // Appends a new top-level element.
    TiXmlElementP InsertEndChild(const char* name);

    tinyxml2::XMLDocument& Document() { return doc_; }

private:
    mutable tinyxml2::XMLDocument doc_;
};
