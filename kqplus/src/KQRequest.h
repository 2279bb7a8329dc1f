#pragma once
// The records the plug-in hands to the device driver, built from what the
// operator confirmed in the computation dialog, and the password read back.

#include "MarvConnKQCalcFunc.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kqplus
{

struct CalcInput {
    std::wstring account;    // digits, at most 32
    int bizType = 0;         // index into the business types, 0-4
    std::wstring credenceNo; // digits, at most 8
    int year = 0, month = 0, day = 0;
    int64_t fen = -1; // -1: no amount (a cheque only)
};

// Fills the request: every field right-aligned and '0'-padded within its own
// width. False, and the request untouched, when a field does not fit or holds
// anything but digits (the driver would pack such text blindly).
bool BuildRequest(const CalcInput& input, KQCalcRequest& request);

struct Operator {
    int number = 1; // 1-16
    std::wstring password;
};

struct Operators {
    Operator signer;
    std::optional<Operator> auditor;
    std::optional<Operator> authoriser;
};

// 104 'f' and a NUL, with an entry of [role][number - 1 as a hex digit][password]
// for each operator present; the signer's and auditor's passwords are cut to 6
// characters, the authoriser's to 6 when it has 6, else to 8.
void BuildAuthBlock(const Operators& operators, KQAuthBlock& block);

// Characters 4-19 of a successful result as four groups of four joined by '-'.
std::wstring DashedPassword(const KQCalcResult& result);

// The device number: the first 10 characters of the id.
std::wstring DeviceNumberText(const KQDeviceId& id);

// The driver's GBK text as wide text.
std::wstring FromGbk(const char* text);

} // namespace kqplus
