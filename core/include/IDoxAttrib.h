#pragma once
// The two interfaces through which the designer's property grid reads and edits the
// attributes of controls, columns and rows. Slot order is part of the protocol.
// Returned texts stay valid until the next call on the same object.

#include <cstdint>

// The type word returned by IDoxAttrib::GetType: a kind in the low 16 bits and flags.
enum : uint32_t {
    DOX_ATTRIB_KIND_MASK = 0xFFFFu,
    DOX_ATTRIB_KIND_TEXT = 1,
    DOX_ATTRIB_KIND_CHOICE = 2,
    DOX_ATTRIB_KIND_COLLECTION = 3, // elements of its own (columns, rows, functions)
    DOX_ATTRIB_KIND_GROUP = 4,      // has items
    DOX_ATTRIB_KIND_CSVALUE = 5,
    DOX_ATTRIB_READONLY = 0x10000, // shown, never edited
    DOX_ATTRIB_FREETEXT = 0x20000, // any typed text besides the choices
    DOX_ATTRIB_MULTI = 0x40000,    // several choices at once / multi-line text
    DOX_ATTRIB_COLOR = 0x80000,    // the grid offers the colour editor
};

class IDoxAttribSet;

class IDoxAttrib
{
public:
    virtual const wchar_t* GetCaption() = 0;
    virtual const wchar_t* GetDescription() = 0;
    virtual uint32_t GetType() = 0;
    virtual const wchar_t* GetDefaultText() = 0;
    virtual const wchar_t* GetValueText() = 0;
    // True when the text was accepted and stored; otherwise GetErrorText says why.
    virtual bool SetValueText(const wchar_t* text) = 0;
    virtual const wchar_t* GetErrorText() = 0;
    virtual int32_t GetElementCount() = 0;
    virtual IDoxAttribSet* GetElement(int32_t i) = 0;
    virtual bool AddElement() = 0;
    virtual void RemoveElement(int32_t i) = 0;
    virtual bool MoveElement(int32_t i, bool up) = 0;
    virtual int32_t GetOptionCount() = 0;
    virtual const wchar_t* GetOptionText(int32_t i) = 0;
    virtual int32_t GetChildCount() = 0;
    // Null when i is out of range.
    virtual IDoxAttrib* GetChild(int32_t i) = 0;
    // Destroys the object; bit 0 of flags also frees its memory.
    virtual void Destroy(uint32_t flags) = 0;

protected:
    ~IDoxAttrib() = default;
};

class IDoxAttribSet
{
public:
    virtual const wchar_t* GetName() = 0;
    virtual int32_t GetCount() = 0;
    // Null when i is out of range.
    virtual IDoxAttrib* GetAt(int32_t i) = 0;
    // Destroys the object; bit 0 of flags also frees its memory.
    virtual void Destroy(uint32_t flags) = 0;

protected:
    ~IDoxAttribSet() = default;
};
