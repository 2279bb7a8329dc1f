// Pieces of the driver that no export shows on its own: the checksum, the hex
// conversions, the number codes of the card form and the table rows that no code
// path raises.

#include "CErrorCode.h"
#include "CSerPort.h"
#include "DriverLib.h"
#include "ErrorRows.h"
#include "KQCalc.h"
#include "KQDeviceSim.h"
#include "KQHex.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

using namespace kqtest;

namespace
{

TEST(KQFrameChecksum, RunningSums)
{
    struct Case {
        std::vector<unsigned char> bytes;
        uint16_t sum;
    };
    std::vector<unsigned char> allValues;
    for (int i = 0; i < 256; ++i)
        allValues.push_back(static_cast<unsigned char>(i));
    const Case cases[] = {
        {{}, 0x0000},
        {{0x01, 0x02}, 0x0004},
        {{0xA5, 0x31, 0x00, 0x00}, 0x0327},
        {std::vector<unsigned char>(300, 0xFF), 0xADA2}, // both sums wrap
        {allValues, 0xAA80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        EXPECT_EQ(kq::FrameChecksum(c.bytes.data(), static_cast<int>(c.bytes.size())), c.sum);
    }
}

TEST(KQHexText, Conversions)
{
    struct DigitCase {
        char c;
        int value;
    };
    for (DigitCase d : {DigitCase{'0', 0},
                        {'9', 9},
                        {'a', 10},
                        {'f', 15},
                        {'A', 10},
                        {'F', 15},
                        {'g', 0},
                        {'G', 0},
                        {'\0', 0},
                        {' ', 0},
                        {'/', 0},
                        {':', 0}}) {
        SCOPED_TRACE(d.c);
        EXPECT_EQ(kq::HexDigitValue(d.c), d.value);
    }
    EXPECT_EQ(kq::IntToHex(0x52, 3), "052");
    EXPECT_EQ(kq::IntToHex(0x5A, 3), "05A");
    EXPECT_EQ(kq::IntToHex(0xFF, 3), "0FF");
    EXPECT_EQ(kq::IntToHex(0x1234, 2), "34");
    EXPECT_EQ(kq::HexToInt("05a", 3), 0x5A);
    EXPECT_EQ(kq::HexToInt("x1z", 3), 0x010);
    EXPECT_EQ(kq::HexToInt(nullptr, 3), -1);

    const unsigned char bytes[] = {0x00, 0x9f, 0xA0, 0xFF};
    char text[9] = {};
    kq::BytesToHex(bytes, 4, text);
    EXPECT_STREQ(text, "009FA0FF");
    unsigned char back[4] = {};
    kq::HexToBytes("009fa0Ff", 4, back);
    EXPECT_EQ(std::vector<unsigned char>(back, back + 4), std::vector<unsigned char>(bytes, bytes + 4));
}

TEST(KQCardForm, NumberCodes)
{
    struct Case {
        char digit;
        const char* code;
    };
    for (Case c : {Case{'0', "00"}, {'9', "09"}, {'a', "10"}, {'c', "12"}, {'f', "15"}}) {
        char code[3] = {};
        kq::RoleNumberToCode(c.digit, code);
        EXPECT_STREQ(code, c.code) << c.digit;
    }
}

TEST(KQSerialLink, LargestRequestIsSentWholeAndALargerOneNever)
{
    ScopedEnv ms("DOX_SERIAL_POLL_MS", "10");
    ScopedEnv count("DOX_SERIAL_POLL_COUNT", "50");
    KQDeviceSim sim;
    PortOverride port(5, sim.Path());
    sim.Script({Answer({0x00})});

    kq::KQFrame request{};
    kq::KQFrame reply{};
    request.bytes[0] = 0x42;
    request.bytes[1] = '8';
    request.bytes[3] = 128;
    Bytes payload;
    for (int i = 0; i < 128; ++i)
        payload.push_back(static_cast<uint8_t>(0x80 + i));
    std::copy(payload.begin(), payload.end(), request.bytes + 4);
    char code[4] = {};
    kq::CSerPort link;
    ASSERT_EQ(link.Transact(5, &request, &reply, code), 1) << code;

    auto frames = sim.Received();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].text.size(), 268u);
    EXPECT_TRUE(frames[0].checksumOk);
    EXPECT_EQ(frames[0].payload, payload);
    // The checksum is left in the caller's frame as well.
    const uint16_t sum = Checksum(Bytes(request.bytes, request.bytes + 132));
    EXPECT_EQ(request.bytes[132], sum >> 8);
    EXPECT_EQ(request.bytes[133], sum & 0xFF);

    request.bytes[2] = 0;
    request.bytes[3] = 129;
    EXPECT_EQ(link.Transact(5, &request, &reply, code), 0);
    EXPECT_STREQ(code, "812");
    EXPECT_EQ(link.Transact(5, nullptr, &reply, code), 0);
    EXPECT_STREQ(code, "800");
    EXPECT_EQ(link.Transact(5, &request, nullptr, code), 0);
    EXPECT_STREQ(code, "800");
    EXPECT_EQ(sim.Received().size(), 1u) << "nothing more reached the device";
}

class KQErrorTable : public ::testing::TestWithParam<ErrorRow>
{
};

TEST_P(KQErrorTable, LookupGivesTheRecord)
{
    const ErrorRow& row = GetParam();
    kq::CErrorCode().Lookup(row.code);
    EXPECT_EQ(kq::LastErrorCode(), row.value);
    EXPECT_EQ(GbkToUtf8(kq::LastErrorText()), row.text);
    EXPECT_EQ(GbkToUtf8(kq::LastErrorHelp()), row.help);
}

// The rows no code path raises, and codes that only a lookup of odd input meets.
INSTANTIATE_TEST_SUITE_P(Rows, KQErrorTable,
                         ::testing::Values(kUnraisedRows[0], kUnraisedRows[1], kUnraisedRows[2],
                                           kUnraisedRows[3], kUnraisedRows[4],
                                           ErrorRow{"ABC", 999, "未知错误(999)", "未知错误"},
                                           ErrorRow{"000", 999, "未知错误(999)", "未知错误"},
                                           ErrorRow{"3E7", 999, "未知错误(999)", "未知错误"},
                                           ErrorRow{"05a", 0x05A, "授权口令错误", ""},
                                           ErrorRow{"05D", 0x05D, "无该授权员", ""},
                                           ErrorRow{"060", 0x060, "无该授权员", ""},
                                           ErrorRow{"05E", 0x05E, "授权员授权金额权限不够", ""},
                                           ErrorRow{"061", 0x061, "授权员授权金额权限不够", ""}),
                         [](const auto& info) { return "Code" + std::to_string(info.index); });

} // namespace
