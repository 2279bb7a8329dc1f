#pragma once
// The driver's error table and its last error. Every failure ends as a
// 3-character code; Lookup turns it into the code, message and help text that
// GetErrorCode, GetErrorCodeText and GetHelpDescr return (texts in GBK).

namespace kq
{

class CErrorCode
{
public:
    virtual ~CErrorCode() = default;

    // Reads code[0-2] as hex and sets the last error from the first table record
    // with that value; a value not in the table gives 999, "未知错误(999)".
    void Lookup(const char* code);
};

int LastErrorCode();
const char* LastErrorText();
const char* LastErrorHelp();

} // namespace kq
