#include "KQTestData.h"

namespace kqtest
{

namespace
{

std::string Pad(const std::string& text, size_t width)
{
    return std::string(width - text.size(), '0') + text;
}

void Put(std::string& block, size_t at, char role, const Operator& op)
{
    block[at] = role;
    block[at + 1] = "0123456789abcdef"[op.number - 1];
    block.replace(at + 2, op.password.size(), op.password);
}

Bytes Packed(const std::string& digits)
{
    Bytes bytes;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>((digits[i] - '0') * 16 + (digits[i + 1] - '0')));
    return bytes;
}

} // namespace

Bytes CalcPayloadFor(const std::string& request)
{
    Bytes payload(15, 0);
    auto append = [&payload](const Bytes& part) { payload.insert(payload.end(), part.begin(), part.end()); };
    append(Packed(request.substr(0, 32)));
    payload.push_back(static_cast<uint8_t>(request[32]));
    append(Packed(request.substr(41, 8)));
    append(Packed(request.substr(33, 8)));
    append(Packed(request.substr(49, 16)));
    return payload;
}

std::string MakeRequest(const std::string& account, char bizType, const std::string& credenceNo,
                        const std::string& date, const std::string& amount)
{
    std::string request = Pad(account, 32) + bizType + Pad(credenceNo, 8) + date + Pad(amount, 16);
    request.push_back('\0');
    return request;
}

std::string MakeAuth(const Operator& signer, const std::optional<Operator>& auditor,
                     const std::optional<Operator>& authoriser)
{
    std::string block(104, 'f');
    block.push_back('\0');
    Put(block, 0, '0', signer);
    if (auditor)
        Put(block, 10, '1', *auditor);
    if (authoriser)
        Put(block, 20, '2', *authoriser);
    return block;
}

} // namespace kqtest
