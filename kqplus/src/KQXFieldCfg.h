#pragma once
// What the plug-in keeps beside a template: per page, which bill field feeds each
// input of a payment-password computation (the field map, element "kqxfieldmap"
// in the template file), and per bill database the next credence number of every
// account (element "kqxdatabase" in the database store). Both are UTF-8 XML texts
// stored with their terminating NUL.

#include <cstdint>
#include <map>
#include <string>

class IDoxPage;

namespace kqplus
{

constexpr int kBizTypeCount = 5;
// The business types; the request carries '1' + index. Only the cheque (index 0)
// may go without an amount.
extern const wchar_t* const kBizTypeNames[kBizTypeCount];

// The six map entries, in their stored order.
enum class MapEntry { Account, Date, Money, PayCode, CredenceNo, BizType };
constexpr int kMapEntryCount = 6;

// The stored id ("account", ...) and the default field name ("账号", ...) of an entry.
const char* MapEntryId(MapEntry entry);
const wchar_t* MapEntryDefault(MapEntry entry);

class CKQXFieldCfg
{
public:
    explicit CKQXFieldCfg(IDoxPage* page = nullptr);
    virtual ~CKQXFieldCfg() = default;

    IDoxPage* Page() const { return page_; }

    // 1 when the page holds a field map with the right root; otherwise 0 and the
    // defaults stay.
    int LoadFromPage();
    // Writes the map into the page's template element; 0 when there is none.
    int SaveToPage();

    int BizType() const { return bizType_; }
    void SetBizType(int type) { bizType_ = type; }
    const std::wstring& Name(MapEntry entry) const { return names_[static_cast<int>(entry)]; }
    void SetName(MapEntry entry, const std::wstring& name) { names_[static_cast<int>(entry)] = name; }

    // The map's XML text as stored (without the NUL), and its reader.
    std::string FieldMapText() const;
    int ReadFieldMapText(const char* data, size_t size);

protected:
    IDoxPage* page_;

private:
    int bizType_ = 0;
    std::wstring names_[kMapEntryCount];
};

class CKQXDataCfg : public CKQXFieldCfg
{
public:
    explicit CKQXDataCfg(IDoxPage* page = nullptr) : CKQXFieldCfg(page) {}

    // The credence numbers of the page's database store; 0 when there is none
    // (the designer's documents) or it does not read.
    int Load();
    // Writes them and saves the database store; 0 when there is no store.
    int Save();

    // The stored next number of the account, or 1.
    int GetNextCredenceNo(const std::wstring& account) const;
    // "%08d" of the next number.
    std::wstring FormatNextCredenceNo(const std::wstring& account) const;
    // The next suggestion becomes used + 1, also when a higher number was stored.
    void SetUsedCredenceNo(const std::wstring& account, int used);

    std::string CredenceText() const;
    int ReadCredenceText(const char* data, size_t size);

private:
    std::map<std::wstring, int> numbers_;
};

// Wide text to UTF-8 and back (invalid sequences become U+FFFD).
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const char* text);

} // namespace kqplus
