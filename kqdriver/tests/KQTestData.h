#pragma once
// Records as the plug-in builds them, and the device's good replies.

#include "KQDeviceSim.h"

#include <optional>
#include <string>

namespace kqtest
{

struct Operator {
    int number; // 1..16
    std::string password;
};

// KQCalcRequest: 66 bytes, fields right-aligned and '0'-padded.
std::string MakeRequest(const std::string& account, char bizType, const std::string& credenceNo,
                        const std::string& date, const std::string& amount);

// KQAuthBlock: 104 characters and a NUL; 'f' wherever no entry is written.
std::string MakeAuth(const Operator& signer, const std::optional<Operator>& auditor = std::nullopt,
                     const std::optional<Operator>& authoriser = std::nullopt);

// The payload of the calculate command ('8') that a request record must turn
// into: 15 zero bytes, then account, business type, date, credence number and
// amount, the digits packed two to a byte.
Bytes CalcPayloadFor(const std::string& request);

// Reply payloads of a device that accepts everything.
inline const Bytes kDeviceNumberReply = {0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xC1, 0x00, 0xFF, 0x7E};
inline const char kDeviceNumberText[] = "123456789A";
inline const Bytes kChipId = {0xC1, 0x00, 0xFF, 0x7E};
inline const Bytes kCalcReply = {0x00, 0x3A, 0x5B, 0xC4, 0x01, 0x00, 0xFE, 0x77, 0x10, 0x9D, 0x2C};
inline const char kPasswordText[] = "3A5BC40100FE77109D2C";

} // namespace kqtest
