#include "KQCalc.h"

#include "CErrorCode.h"
#include "CKQFuncType.h"
#include "GbkText.h"
#include "KQHex.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace kq
{

namespace
{

constexpr int kAuthChars = 104;
constexpr int kEntryChars = 10;       // one operator entry of the block as built
constexpr int kCardAuthoriserAt = 16; // card form: 8 authoriser entries from here
constexpr int kCardEntryChars = 11;   // [number code 2][type][password 8]
constexpr int kCardAuthorisers = 8;

const char* const kTransactionReadSerial = "          交易：读取机具号和芯片ID\r\n";
const char* const kTransactionVerify = "          交易：验证授权人口令\r\n";
const char* const kTransactionCalc = "          交易：联机计算支付密码\r\n";

bool AllF(const char* text, int count)
{
    for (int i = 0; i < count; ++i) {
        if (text[i] != 'f')
            return false;
    }
    return true;
}

// Two characters read as a decimal number; a character that is not a digit counts 0.
unsigned char DecimalCode(const char* code)
{
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
    return static_cast<unsigned char>(digit(code[0]) * 10 + digit(code[1]));
}

void Fail(char* out, const char* code)
{
    PutErrorCode(out, code);
    CErrorCode().Lookup(out);
}

// One traced exchange with the device: the trace opens with the transaction's name and
// data and closes with the outcome of `step`, whose failure code is looked up before
// the trace closes so the caller can read its text.
template <class Step>
int Traced(int port, int sequence, const char* name, const std::string& data, char* out, Step step)
{
    CKQFuncType transaction(port);
    transaction.SetSequence(sequence);
    transaction.TraceBegin(Utf8ToGbk(name), data);
    int ok = step(transaction);
    if (!ok)
        CErrorCode().Lookup(out);
    transaction.TraceEnd(ok);
    return ok;
}

} // namespace

void RoleNumberToCode(char digit, char* code)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.2d", HexDigitValue(digit));
    code[0] = text[0];
    code[1] = text[1];
}

void MakeCardForm(char* auth)
{
    char copy[kAuthChars];
    std::memcpy(copy, auth, kAuthChars);
    std::memset(auth, 'f', kAuthChars);
    RoleNumberToCode(copy[1], auth);
    std::memcpy(auth + 2, copy + 2, 6);
    if (copy[kEntryChars] == '1') {
        RoleNumberToCode(copy[kEntryChars + 1], auth + 8);
        std::memcpy(auth + 10, copy + kEntryChars + 2, 6);
    }
    if (copy[2 * kEntryChars] == '2') {
        RoleNumberToCode(copy[2 * kEntryChars + 1], auth + kCardAuthoriserAt);
        auth[kCardAuthoriserAt + 2] = '1';
        std::memcpy(auth + kCardAuthoriserAt + 3, copy + 2 * kEntryChars + 2, 8);
    }
}

int ReadKQSNImpl(int port, char* out, int sequence)
{
    if (!out) {
        // No buffer for the code: still a failure the caller can read back.
        CErrorCode().Lookup("800");
        return 0;
    }
    return Traced(port, sequence, kTransactionReadSerial, Utf8ToGbk("数据：无\r\n"), out,
                  [&](CKQFuncType& transaction) { return transaction.ReadSerial(out); });
}

int ConnVerifyAuth(int port, const char* auth, char* out, int sequence)
{
    if (!out)
        return 0;
    return Traced(port, sequence, kTransactionVerify, std::string(), out, [&](CKQFuncType& transaction) {
        if (!auth) {
            PutErrorCode(out, "800");
            return 0;
        }
        unsigned char payload[kVerifyAuthPayload];
        for (int entry = 0; entry < 3; ++entry) {
            const char* text = auth + entry * kEntryChars;
            unsigned char* packed = payload + entry * 5;
            if ((text[0] == 'f' && text[1] == 'f') || AllF(text, kEntryChars))
                std::memset(packed, 0xFF, 5);
            else
                HexToBytes(text, 5, packed);
        }
        return transaction.VerifyAuth(payload, out);
    });
}

int ConnVerifyCardAuth(int port, const char* auth, char* out, int sequence)
{
    if (!out)
        return 0;
    return Traced(port, sequence, kTransactionVerify, std::string(), out, [&](CKQFuncType& transaction) {
        if (!auth) {
            PutErrorCode(out, "800");
            return 0;
        }
        unsigned char payload[kVerifyCardAuthPayload];
        unsigned char* p = payload;
        // Signer at 0, auditor at 8: [number code 2][password 6].
        for (int at : {0, 8}) {
            if (auth[at] == 'f' && auth[at + 1] == 'f') {
                *p++ = 255;
                std::memset(p, 0xFF, 3);
            } else {
                *p++ = DecimalCode(auth + at);
                HexToBytes(auth + at + 2, 3, p);
            }
            p += 3;
        }
        for (int i = 0; i < kCardAuthorisers; ++i) {
            const char* entry = auth + kCardAuthoriserAt + i * kCardEntryChars;
            const char* password = entry + 3;
            const bool unused = entry[0] == 'f' && entry[1] == 'f';
            *p++ = unused ? 255 : DecimalCode(entry);
            if (unused || AllF(password, 6) || AllF(password, 8)) {
                std::memset(p, 0xFF, 5);
            } else if (entry[2] == '0') {
                p[0] = 0x00;
                HexToBytes(password, 3, p + 1);
                p[4] = 0x00;
            } else {
                p[0] = 0x01;
                HexToBytes(password, 4, p + 1);
            }
            p += 5;
        }
        return transaction.VerifyCardAuth(payload, out);
    });
}

int ConnCalcPayCode(int port, const char* account, char bizType, const char* date, const char* credenceNo,
                    const char* amount, char* out, int sequence)
{
    if (!out)
        return 0;
    std::string data;
    if (account && date && credenceNo && amount) {
        // The request's own characters go in as they are: they are already 8-bit text.
        data = Utf8ToGbk("数据：账号 ") + account + Utf8ToGbk("      业务种类 ") + bizType +
               Utf8ToGbk("      日期 ") + date + Utf8ToGbk("      凭证号码 ") + credenceNo +
               Utf8ToGbk("      金额 ") + amount + "\r\n";
    }
    return Traced(port, sequence, kTransactionCalc, data, out, [&](CKQFuncType& transaction) {
        if (!account || !date || !amount || !credenceNo) {
            PutErrorCode(out, "800");
            return 0;
        }
        unsigned char payload[kCalcPayCodePayload] = {};
        HexToBytes(account, 16, payload + 15);
        payload[31] = static_cast<unsigned char>(bizType);
        HexToBytes(date, 4, payload + 32);
        HexToBytes(credenceNo, 4, payload + 36);
        HexToBytes(amount, 8, payload + 40);
        return transaction.CalcPayCode(payload, out);
    });
}

int MarvConnKQCalcImpl(int port, char* auth, const char* req, char* out)
{
    if (!out) {
        CErrorCode().Lookup("700");
        return 0;
    }
    if (!auth || !req) {
        Fail(out, "700");
        return 0;
    }
    std::memset(out, 0, 4);
    if (!ReadKQSNImpl(port, out, 0)) {
        // Whatever the read failed with, the caller hears that the device could not be read.
        Fail(out, "701");
        return 0;
    }
    int ok;
    if (auth[28] != 'f' || auth[29] != 'f') {
        MakeCardForm(auth);
        ok = ConnVerifyCardAuth(port, auth, out, 1);
    } else {
        ok = ConnVerifyAuth(port, auth, out, 1);
    }
    if (!ok)
        return 0;

    std::memset(out, 0, 4);
    char account[33] = {};
    char date[9] = {};
    char credenceNo[9] = {};
    char amount[17] = {};
    std::memcpy(account, req, 32);
    const char bizType = req[32];
    std::memcpy(credenceNo, req + 33, 8);
    std::memcpy(date, req + 41, 8);
    std::memcpy(amount, req + 49, 16);
    return ConnCalcPayCode(port, account, bizType, date, credenceNo, amount, out, 2);
}

} // namespace kq
