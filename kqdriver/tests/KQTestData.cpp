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

} // namespace

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
