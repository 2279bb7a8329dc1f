#pragma once
// Lists of choices of attribute items: each choice is a text and the value it
// stands for. Texts are looked up ignoring the case of A-Z.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class DoxAttribOptions
{
public:
    DoxAttribOptions() = default;
    virtual ~DoxAttribOptions();
    DoxAttribOptions(const DoxAttribOptions&) = delete;
    DoxAttribOptions& operator=(const DoxAttribOptions&) = delete;

    // Destroys the list; bit 0 of flags also frees its memory.
    virtual void Destroy(uint32_t flags);
    virtual int32_t GetCount();
    // The empty text when i is out of range.
    virtual const wchar_t* GetText(int32_t i);
    // The text of the choice that stands for value; the empty text when none does.
    virtual const wchar_t* ValueToText(uint32_t value);
    // True and value set for a choice's text; the empty (or null) text is accepted and
    // leaves value as it is. Otherwise false, with errorText set where the list has
    // a message for it.
    virtual bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText);
};

struct DoxAttribChoice {
    const wchar_t* text;
    uint32_t value;
};

// A fixed list of choices.
class DoxAttribOptionsTable : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    const wchar_t* ValueToText(uint32_t value) override;
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;

protected:
    // nonZeroIsLast: two-way lists where any non-zero value names the second choice.
    DoxAttribOptionsTable(const DoxAttribChoice* choices, int32_t count, bool nonZeroIsLast);

private:
    const DoxAttribChoice* choices_;
    int32_t count_;
    bool nonZeroIsLast_;
};

class DoxAttribOptionsBool : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsBool();
};

class DoxAttribOptionsPlot : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsPlot();
};

class DoxAttribOptionsVAlign : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsVAlign();
};

class DoxAttribOptionsHAlign : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsHAlign();
};

class DoxAttribOptionsFieldType : public DoxAttribOptionsTable
{
public:
    DoxAttribOptionsFieldType();
};

// The usual transparencies; a typed number is read by the item itself, so Parse
// accepts only the empty text.
class DoxAttribOptionsTransparent : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    // Compares the low 8 bits of value.
    const wchar_t* ValueToText(uint32_t value) override;
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;
};

// The colour palette, each entry written "#%08X"; a typed colour is read by the item
// itself, so Parse accepts only the empty text.
class DoxAttribOptionsColor : public DoxAttribOptions
{
public:
    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    const wchar_t* ValueToText(uint32_t value) override;
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;

private:
    std::wstring text_;
};

inline constexpr int32_t kDoxColorPaletteSize = 71;
// The palette in order; entry 0 is 0xFFFFFFFF, no colour.
const uint32_t* DoxColorPalette();

// The names of the fields of the data context a data binding keeps. The list is
// asked again at every GetCount; GetText answers from the last answer.
class DoxAttribOptionsFieldName : public DoxAttribOptions
{
public:
    using FieldSource = std::function<std::vector<std::wstring>()>;
    explicit DoxAttribOptionsFieldName(FieldSource source = {});

    void SetSource(FieldSource source) { source_ = std::move(source); }

    int32_t GetCount() override;
    const wchar_t* GetText(int32_t i) override;
    const wchar_t* ValueToText(uint32_t value) override;
    // Field names are not parsed through the list: always false.
    bool Parse(const wchar_t* text, uint32_t& value, std::wstring& errorText) override;

private:
    FieldSource source_;
    std::vector<std::wstring> names_;
};
