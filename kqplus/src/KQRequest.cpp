#include "KQRequest.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>

namespace kqplus
{

namespace
{

bool AllDigits(const std::wstring& text)
{
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
    }
    return true;
}

// Writes digits right-aligned into a field of exactly width characters, '0' on
// the left. False when the text is longer than the field or not all digits.
bool PutDigits(char* field, size_t width, const std::wstring& digits)
{
    if (digits.size() > width || !AllDigits(digits))
        return false;
    std::memset(field, '0', width);
    for (size_t i = 0; i < digits.size(); ++i)
        field[width - digits.size() + i] = static_cast<char>(digits[i]);
    return true;
}

void PutEntry(KQAuthBlock& block, size_t at, char role, const Operator& op, size_t passwordLimit)
{
    block.text[at] = role;
    block.text[at + 1] = "0123456789abcdef"[(op.number - 1) & 15];
    const size_t n = op.password.size() < passwordLimit ? op.password.size() : passwordLimit;
    for (size_t i = 0; i < n; ++i)
        block.text[at + 2 + i] = static_cast<char>(op.password[i]);
}

} // namespace

bool BuildRequest(const CalcInput& input, KQCalcRequest& request)
{
    if (input.bizType < 0 || input.bizType > 4 || input.fen < -1 || input.fen > 9999999999999999LL)
        return false;
    if (input.year < 1 || input.year > 9999 || input.month < 1 || input.month > 12 || input.day < 1 ||
        input.day > 31)
        return false;
    KQCalcRequest built;
    std::memset(&built, 0, sizeof built);
    if (!PutDigits(built.account, sizeof built.account, input.account))
        return false;
    built.bizType = static_cast<char>('1' + input.bizType);
    if (!PutDigits(built.credenceNo, sizeof built.credenceNo, input.credenceNo))
        return false;
    char date[sizeof built.date + 1];
    std::snprintf(date, sizeof date, "%04d%02d%02d", input.year, input.month, input.day);
    std::memcpy(built.date, date, sizeof built.date);
    const std::wstring fen = input.fen < 0 ? std::wstring() : std::to_wstring(input.fen);
    if (!PutDigits(built.amount, sizeof built.amount, fen))
        return false;
    built.terminator = '\0';
    request = built;
    return true;
}

void BuildAuthBlock(const Operators& operators, KQAuthBlock& block)
{
    std::memset(block.text, 'f', sizeof block.text);
    block.terminator = '\0';
    PutEntry(block, 0, '0', operators.signer, 6);
    if (operators.auditor)
        PutEntry(block, 10, '1', *operators.auditor, 6);
    if (operators.authoriser)
        PutEntry(block, 20, '2', *operators.authoriser, operators.authoriser->password.size() == 6 ? 6 : 8);
}

std::wstring DashedPassword(const KQCalcResult& result)
{
    std::wstring text;
    for (int i = 4; i < 20; ++i) {
        if (i > 4 && i % 4 == 0)
            text += L'-';
        text += static_cast<wchar_t>(static_cast<unsigned char>(result.text[i]));
    }
    return text;
}

std::wstring DeviceNumberText(const KQDeviceId& id)
{
    std::wstring text;
    for (char c : id.number)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

std::wstring FromGbk(const char* text)
{
    if (!text || !*text)
        return {};
    iconv_t cd = ::iconv_open("WCHAR_T", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string in(text);
    std::wstring out(in.size() + 1, L'\0');
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = reinterpret_cast<char*>(out.data());
    size_t dstLeft = out.size() * sizeof(wchar_t);
    while (srcLeft > 0) {
        if (::iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A byte that is not GBK shows as a replacement character.
        if (dstLeft < sizeof(wchar_t))
            break;
        const wchar_t replacement = 0xFFFD;
        std::memcpy(dst, &replacement, sizeof replacement);
        dst += sizeof replacement;
        dstLeft -= sizeof replacement;
        ++src;
        --srcLeft;
    }
    ::iconv_close(cd);
    out.resize(out.size() - dstLeft / sizeof(wchar_t));
    return out;
}

} // namespace kqplus
