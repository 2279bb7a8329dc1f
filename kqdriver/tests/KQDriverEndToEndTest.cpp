// The driver end to end: the exported functions of libMarvConnKQCalcFunc.so against
// a simulated device on a pseudo-terminal.

#include "DriverLib.h"
#include "ErrorRows.h"
#include "KQDeviceSim.h"
#include "KQTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

using namespace kqtest;

namespace
{

constexpr int kPort = 7;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Repeat(uint8_t value, size_t count)
{
    return Bytes(count, value);
}

class KQDriverTest : public ::testing::Test
{
protected:
    // Short polls: a silent device costs 51 x 10 ms instead of about 3 s.
    ScopedEnv pollMs_{"DOX_SERIAL_POLL_MS", "10"};
    ScopedEnv pollCount_{"DOX_SERIAL_POLL_COUNT", "50"};
    DriverLib lib_;
    KQDeviceSim sim_;
    PortOverride port_{kPort, sim_.Path()};

    void SetUp() override { ASSERT_EQ(lib_.Error(), ""); }

    void ExpectLastError(const ErrorRow& row)
    {
        EXPECT_EQ(lib_.GetErrorCode(), row.value);
        EXPECT_EQ(GbkToUtf8(lib_.GetErrorCodeText()), row.text);
        EXPECT_EQ(GbkToUtf8(lib_.GetHelpDescr()), row.help);
    }

    // ReadKQSN into a zeroed 16-byte buffer.
    int ReadSN(std::string& out, int seq = 0)
    {
        out.assign(16, '\0');
        return lib_.ReadKQSN(kPort, out.data(), seq);
    }

    int Calc(std::string& auth, const std::string& request, std::string& out)
    {
        out.assign(300, '\0');
        return lib_.MarvConnKQCalcFunc(kPort, auth.data(), request.data(), out.data());
    }
};

// ---------------------------------------------------------------------------
// Reading the device number.

struct SequenceCase {
    int seq;
    unsigned wire;
    const char* frameText; // what the device receives between STX and ETX
};

void PrintTo(const SequenceCase& c, std::ostream* os)
{
    *os << c.seq;
}

class KQDriverReadSN : public KQDriverTest, public ::testing::WithParamInterface<SequenceCase>
{
};

TEST_P(KQDriverReadSN, SendsOneEmptyFrameAndFillsTheDeviceId)
{
    sim_.Script({Answer(kDeviceNumberReply)});
    std::string out;
    ASSERT_EQ(ReadSN(out, GetParam().seq), 1);

    EXPECT_EQ(out.substr(0, 10), kDeviceNumberText);
    EXPECT_EQ(Bytes(out.begin() + 10, out.begin() + 14), kChipId);
    EXPECT_EQ(out.substr(14), std::string(2, '\0')); // nothing written behind the chip id

    auto frames = sim_.Received();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].text, GetParam().frameText);
    EXPECT_TRUE(frames[0].checksumOk);
    EXPECT_EQ(frames[0].sequence, GetParam().wire);
}

INSTANTIATE_TEST_SUITE_P(Sequences, KQDriverReadSN,
                         ::testing::Values(SequenceCase{0, 0x00, "003100000093"},
                                           SequenceCase{0xA5, 0xA5, "A53100000327"},
                                           SequenceCase{0x1FF, 0xFF, "FF310000048F"},
                                           SequenceCase{-1, 0xFF, "FF310000048F"}));

// ---------------------------------------------------------------------------
// The whole calculation: device number, verification, calculation.

struct CalcCase {
    const char* name;
    std::string auth;
    std::string request;
    char verifyCommand;
    Bytes verifyPayload;
    std::string authAfter; // the caller's block as the driver leaves it
    Bytes calcPayload;
};

const Bytes kAbsent5 = Repeat(0xFF, 5);
const Bytes kNoCardAuthorisers = Repeat(0xFF, 7 * 6);

// Account 6222020212345678, date 20261209, credence number 42.
const Bytes kAccount = {0, 0, 0, 0, 0, 0, 0, 0, 0x62, 0x22, 0x02, 0x02, 0x12, 0x34, 0x56, 0x78};
const Bytes kDate = {0x20, 0x26, 0x12, 0x09};
const Bytes kCredence = {0x00, 0x00, 0x00, 0x42};

Bytes CalcPayload(char bizType, const Bytes& amount)
{
    return Concat({Repeat(0, 15), kAccount, {static_cast<uint8_t>(bizType)}, kDate, kCredence, amount});
}

std::string Request(char bizType, const std::string& amount)
{
    return MakeRequest("6222020212345678", bizType, "42", "20261209", amount);
}

std::string CardForm(const std::string& first27)
{
    return first27 + std::string(104 - first27.size(), 'f') + '\0';
}

std::vector<CalcCase> CalcCases()
{
    const Operator signer{3, "123456"};
    const Operator auditor{11, "654321"};
    std::vector<CalcCase> cases;
    {
        std::string auth = MakeAuth(signer);
        cases.push_back({"SignerOnlyChequeWithoutAmount", auth, Request('1', "0"), 'd',
                         Concat({{0x02, 0x12, 0x34, 0x56, 0xFF}, kAbsent5, kAbsent5}), auth,
                         CalcPayload('1', Repeat(0, 8))});
    }
    {
        std::string auth = MakeAuth(signer, auditor);
        cases.push_back({"SignerAndAuditor", auth, Request('3', "12345"), 'd',
                         Concat({{0x02, 0x12, 0x34, 0x56, 0xFF}, {0x1A, 0x65, 0x43, 0x21, 0xFF}, kAbsent5}),
                         auth, CalcPayload('3', {0, 0, 0, 0, 0, 0x01, 0x23, 0x45})});
    }
    {
        std::string auth = MakeAuth(signer, auditor, Operator{16, "111111"});
        cases.push_back({"SixDigitAuthoriser", auth, Request('5', "9876543210987654"), 'd',
                         Concat({{0x02, 0x12, 0x34, 0x56, 0xFF},
                                 {0x1A, 0x65, 0x43, 0x21, 0xFF},
                                 {0x2F, 0x11, 0x11, 0x11, 0xFF}}),
                         auth, CalcPayload('5', {0x98, 0x76, 0x54, 0x32, 0x10, 0x98, 0x76, 0x54})});
    }
    {
        // Operator 16 is hex digit 'f', which becomes the number code "15".
        cases.push_back({"CardAuthoriser", MakeAuth(signer, auditor, Operator{16, "87654321"}),
                         Request('2', "100"), 'e',
                         Concat({{0x02, 0x12, 0x34, 0x56},
                                 {0x0A, 0x65, 0x43, 0x21},
                                 {0x0F, 0x01, 0x87, 0x65, 0x43, 0x21},
                                 kNoCardAuthorisers}),
                         CardForm("02123456"
                                  "10654321"
                                  "15"
                                  "1"
                                  "87654321"),
                         CalcPayload('2', {0, 0, 0, 0, 0, 0, 0x01, 0x00})});
    }
    {
        cases.push_back({"CardAuthoriserWithoutAuditor",
                         MakeAuth(Operator{12, "246810"}, std::nullopt, Operator{10, "13572468"}),
                         Request('4', "1"), 'e',
                         Concat({{0x0B, 0x24, 0x68, 0x10},
                                 {0xFF, 0xFF, 0xFF, 0xFF},
                                 {0x09, 0x01, 0x13, 0x57, 0x24, 0x68},
                                 kNoCardAuthorisers}),
                         CardForm("11246810"
                                  "ffffffff"
                                  "09"
                                  "1"
                                  "13572468"),
                         CalcPayload('4', {0, 0, 0, 0, 0, 0, 0, 0x01})});
    }
    return cases;
}

void PrintTo(const CalcCase& c, std::ostream* os)
{
    *os << c.name;
}

class KQDriverCalc : public KQDriverTest, public ::testing::WithParamInterface<CalcCase>
{
};

TEST_P(KQDriverCalc, RunsThreeTransactionsAndReturnsThePassword)
{
    const CalcCase& c = GetParam();
    sim_.Script({Answer(kDeviceNumberReply), Answer({0x00}), Answer(kCalcReply)});
    std::string auth = c.auth;
    const std::string request = c.request;
    std::string out;
    ASSERT_EQ(Calc(auth, request, out), 1);

    EXPECT_EQ(out.substr(0, 20), kPasswordText);
    EXPECT_EQ(out.substr(20), std::string(280, '\0'));
    EXPECT_EQ(auth, c.authAfter);
    EXPECT_EQ(request, c.request);

    auto frames = sim_.Received();
    ASSERT_EQ(frames.size(), 3u);
    const char commands[] = {'1', c.verifyCommand, '8'};
    for (unsigned i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(frames[i].wellFormed);
        EXPECT_TRUE(frames[i].checksumOk);
        EXPECT_TRUE(frames[i].lengthOk);
        EXPECT_EQ(frames[i].sequence, i);
        EXPECT_EQ(frames[i].command, commands[i]);
    }
    EXPECT_TRUE(frames[0].payload.empty());
    EXPECT_EQ(frames[1].payload, c.verifyPayload);
    EXPECT_EQ(frames[2].payload, c.calcPayload);
}

INSTANTIATE_TEST_SUITE_P(Operators, KQDriverCalc, ::testing::ValuesIn(CalcCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Device status codes: every status of the error table, with its texts.

class KQDriverDeviceStatus : public KQDriverTest, public ::testing::WithParamInterface<ErrorRow>
{
};

TEST_P(KQDriverDeviceStatus, BecomesTheCodeAndItsTexts)
{
    const ErrorRow& row = GetParam();
    sim_.Script({Status(static_cast<uint8_t>(row.value))});
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(out.c_str()), row.code);
    ExpectLastError(row);
}

INSTANTIATE_TEST_SUITE_P(Table, KQDriverDeviceStatus, ::testing::ValuesIn(kDeviceStatusRows),
                         [](const auto& info) { return std::string("Status") + info.param.code; });

TEST_F(KQDriverTest, StatusOutsideTheTableIsUnknown)
{
    sim_.Script({Status(0x99)});
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(out.c_str()), "099");
    ExpectLastError(kUnknownRow);
}

TEST_F(KQDriverTest, TextsAreGbkBytes)
{
    // Fixed bytes, so that a driver handing out UTF-8 (or any other code page) fails.
    sim_.Script({Status(0x5A)});
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(lib_.GetErrorCodeText()),
              "\xca\xda\xc8\xa8\xbf\xda\xc1\xee\xb4\xed\xce\xf3"); // 授权口令错误

    sim_.Script({Status(0x99)});
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(lib_.GetErrorCodeText()), "\xce\xb4\xd6\xaa\xb4\xed\xce\xf3(999)");
    EXPECT_EQ(std::string(lib_.GetHelpDescr()), "\xce\xb4\xd6\xaa\xb4\xed\xce\xf3");
}

// A failure at each step of the calculation: the device-number read is reported
// as 701 whatever its own code, the later steps with the device's code.
struct StepFailureCase {
    const char* name;
    std::vector<SimAction> script;
    size_t framesSent;
    ErrorRow row;
};

void PrintTo(const StepFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class KQDriverCalcFailure : public KQDriverTest, public ::testing::WithParamInterface<StepFailureCase>
{
};

TEST_P(KQDriverCalcFailure, ReportsTheStepsCode)
{
    const StepFailureCase& c = GetParam();
    sim_.Script(c.script);
    std::string auth = MakeAuth({1, "111111"});
    const std::string before = auth;
    std::string out;
    EXPECT_EQ(Calc(auth, Request('1', "500"), out), 0);
    EXPECT_EQ(std::string(out.c_str()), c.row.code);
    ExpectLastError(c.row);
    EXPECT_EQ(sim_.Received().size(), c.framesSent);
    EXPECT_EQ(auth, before);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, KQDriverCalcFailure,
    ::testing::Values(
        StepFailureCase{"DeviceSilent", {Silence()}, 1, kRow701},
        StepFailureCase{"DeviceNumberStatus", {Status(0x20)}, 1, kRow701},
        StepFailureCase{"DeviceNumberBadChecksum",
                        {AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.checksumDelta = 1; })},
                        1,
                        kRow701},
        StepFailureCase{"VerificationRefused",
                        {Answer(kDeviceNumberReply), Status(0x52)},
                        2,
                        {"052", 0x052, "签发口令错误", ""}},
        StepFailureCase{"VerificationSilent", {Answer(kDeviceNumberReply), Silence()}, 2, kRow811},
        StepFailureCase{"CalculationRefused",
                        {Answer(kDeviceNumberReply), Answer({0}), Status(0x63)},
                        3,
                        {"063", 0x063, "机具未发行", ""}},
        StepFailureCase{
            "CalculationReplyShort", {Answer(kDeviceNumberReply), Answer({0}), Answer({0x00})}, 3, kRow812},
        StepFailureCase{"CalculationReplyCut",
                        {Answer(kDeviceNumberReply), Answer({0}),
                         Answer({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99})},
                        3,
                        kRow812}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KQDriverTest, CardFailureStillLeavesTheCardForm)
{
    // The block is rewritten before the verification; a refused card does not undo it.
    sim_.Script({Answer(kDeviceNumberReply), Status(0x5A)});
    std::string auth = MakeAuth({1, "111111"}, std::nullopt, Operator{2, "22222222"});
    std::string out;
    EXPECT_EQ(Calc(auth, Request('1', "500"), out), 0);
    EXPECT_EQ(std::string(out.c_str()), "05A");
    EXPECT_EQ(auth, CardForm("00111111"
                             "ffffffff"
                             "01"
                             "1"
                             "22222222"));
    ASSERT_EQ(sim_.Received().size(), 2u);
    EXPECT_EQ(sim_.Received()[1].command, 'e');
}

// ---------------------------------------------------------------------------
// Faults of the link, through ReadKQSN.

struct LinkFaultCase {
    const char* name;
    std::vector<SimAction> script;
    ErrorRow row;
};

void PrintTo(const LinkFaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class KQDriverLinkFault : public KQDriverTest, public ::testing::WithParamInterface<LinkFaultCase>
{
};

TEST_P(KQDriverLinkFault, EndsInItsCode)
{
    sim_.Script(GetParam().script);
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(out.c_str()), GetParam().row.code);
    ExpectLastError(GetParam().row);
}

const std::string kStx(1, '\x02');
const std::string kEtx(1, '\x03');

INSTANTIATE_TEST_SUITE_P(
    Faults, KQDriverLinkFault,
    ::testing::Values(
        LinkFaultCase{"Silence", {Silence()}, kRow811},
        LinkFaultCase{"HeaderCut", {Raw(kStx + "0031")}, kRow811},
        LinkFaultCase{"BodyCut", {Raw(kStx + "0031000A00123456")}, kRow811},
        LinkFaultCase{
            "NoEtx", {AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.withEtx = false; })}, kRow811},
        LinkFaultCase{"LengthAbove128", {Raw(kStx + "00310081")}, kRow812},
        // A reply may not run on past the longest frame, noise or not.
        LinkFaultCase{"NoiseBeyondTheLongestFrame",
                      {AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.beforeEtx.assign(1000, 'z'); })},
                      kRow812},
        LinkFaultCase{"LengthAbove128InFullFrame", {AnswerWith(Repeat(0, 129), nullptr)}, kRow812},
        LinkFaultCase{"FirstCharacterNotStx", {Raw("X" + EncodeFrame(0, '1', kDeviceNumberReply))}, kRow814},
        LinkFaultCase{"HangUp", {HangUp()}, kRow815},
        LinkFaultCase{"BadChecksum",
                      {AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.checksumDelta = 1; })},
                      kRow816},
        LinkFaultCase{"ChecksumHighByteWrong",
                      {AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.checksumDelta = 0x100; })},
                      kRow816},
        // A reply must carry at least its status, and a successful one all of its data.
        LinkFaultCase{"EmptyReply", {Answer({})}, kRow812},
        LinkFaultCase{
            "ShortReply", {Answer({0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xC1, 0x00, 0xFF})}, kRow812}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KQDriverTest, ShortPasswordReplyIsNeverAPassword)
{
    // A device answering '8' with only a zero status: no twenty '0' characters.
    sim_.Script({Answer(kDeviceNumberReply), Answer({0}), Answer({0x00})});
    std::string auth = MakeAuth({1, "111111"});
    std::string out;
    EXPECT_EQ(Calc(auth, Request('1', "500"), out), 0);
    EXPECT_EQ(out.substr(0, 4), std::string("812\0", 4));
    EXPECT_EQ(out.find("00000000000000000000"), std::string::npos);
}

TEST_F(KQDriverTest, TolerantReplies)
{
    struct Case {
        const char* name;
        SimAction action;
    };
    const Case cases[] = {
        {"wrong sequence and command, good checksum", AnswerWith(kDeviceNumberReply,
                                                                 [](FrameText& f) {
                                                                     f.sequence = 0x77;
                                                                     f.command = 'x';
                                                                 })},
        {"noise between checksum and ETX",
         AnswerWith(kDeviceNumberReply, [](FrameText& f) { f.beforeEtx = "zz\r\n\x02 9"; })},
        {"lower-case hex",
         [](const ReceivedFrame& r) {
             std::string text = EncodeFrame(r.sequence, r.command, kDeviceNumberReply);
             for (char& ch : text)
                 ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
             return SimReply{text, false};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim_.Script({c.action});
        std::string out;
        EXPECT_EQ(ReadSN(out), 1);
        EXPECT_EQ(out.substr(0, 10), kDeviceNumberText);
    }
}

TEST_F(KQDriverTest, RepliesUpToTheLargestLengthFitTheBuffers)
{
    // Lengths 123-128 made the reply overflow a 128-byte buffer; run under
    // AddressSanitizer this is the test that would catch it.
    for (int length = 123; length <= 128; ++length) {
        SCOPED_TRACE(length);
        Bytes id = kDeviceNumberReply;
        id.resize(static_cast<size_t>(length), 0xEE);
        Bytes ok = {0x00};
        ok.resize(static_cast<size_t>(length), 0xDD);
        Bytes calc = kCalcReply;
        calc.resize(static_cast<size_t>(length), 0xCC);
        sim_.Script({Answer(id), Answer(ok), Answer(calc)});
        std::string auth = MakeAuth({1, "111111"});
        std::string out;
        ASSERT_EQ(Calc(auth, Request('1', "500"), out), 1);
        EXPECT_EQ(out.substr(0, 20), kPasswordText);
        EXPECT_EQ(out.substr(20), std::string(280, '\0'));
    }
}

// ---------------------------------------------------------------------------
// The port itself.

TEST_F(KQDriverTest, PortThatCannotBeOpened)
{
    struct Case {
        const char* name;
        const char* path;
    };
    for (const Case& c :
         {Case{"missing device", "/nonexistent/ttyKQ"}, Case{"not a terminal", "/dev/null"}}) {
        SCOPED_TRACE(c.name);
        PortOverride other(kPort + 1, c.path);
        std::string out(16, '\0');
        EXPECT_EQ(lib_.ReadKQSN(kPort + 1, out.data(), 0), 0);
        EXPECT_EQ(std::string(out.c_str()), "801");
        ExpectLastError(kRow801);

        // Before a calculation the same fault is reported as the unread device number.
        std::string auth = MakeAuth({1, "111111"});
        std::string result(300, '\0');
        EXPECT_EQ(lib_.MarvConnKQCalcFunc(kPort + 1, auth.data(), Request('1', "1").data(), result.data()),
                  0);
        EXPECT_EQ(std::string(result.c_str()), "701");
        ExpectLastError(kRow701);
    }
}

TEST_F(KQDriverTest, PortInUseElsewhereCannotBeOpened)
{
    int holder = ::open(sim_.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    sim_.Script({Answer(kDeviceNumberReply)});
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    EXPECT_EQ(std::string(out.c_str()), "801");
    EXPECT_TRUE(sim_.Received().empty());
    ::close(holder);

    EXPECT_EQ(ReadSN(out), 1);
}

TEST_F(KQDriverTest, PortIsHeldExclusivelyDuringATransaction)
{
    int lockResultDuring = 0;
    const std::string path = sim_.Path();
    sim_.Script({[&](const ReceivedFrame& r) {
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        lockResultDuring = fd < 0 ? 0 : ::flock(fd, LOCK_EX | LOCK_NB);
        if (fd >= 0)
            ::close(fd);
        return SimReply{EncodeFrame(r.sequence, r.command, kDeviceNumberReply), false};
    }});
    std::string out;
    ASSERT_EQ(ReadSN(out), 1);
    EXPECT_EQ(lockResultDuring, -1);

    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "released after the transaction";
    ::close(fd);
}

TEST_F(KQDriverTest, FrameNotTakenByTheLineIsIncomplete)
{
    // Output stopped on the line: the request cannot be written within the write time-out.
    ASSERT_EQ(::tcflow(sim_.LineFd(), TCOOFF), 0);
    std::string out;
    EXPECT_EQ(ReadSN(out), 0);
    ::tcflow(sim_.LineFd(), TCOON);
    EXPECT_EQ(std::string(out.c_str()), "813");
    ExpectLastError(kRow813);
}

TEST_F(KQDriverTest, SilentDeviceTimesOutAfterThePollCount)
{
    ScopedEnv count("DOX_SERIAL_POLL_COUNT", "9");
    ScopedEnv ms("DOX_SERIAL_POLL_MS", "20");
    std::string out;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSN(out), 0);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(std::string(out.c_str()), "811");
    EXPECT_GE(elapsed, std::chrono::milliseconds(10 * 20));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000));
}

TEST_F(KQDriverTest, DeviceThatKeepsSendingGetsItsErrorWithinTheBound)
{
    // Each character comes well inside the per-character wait (510 ms here), for
    // half a minute: the whole reply's bound (twice the first character's wait)
    // ends the transaction.
    sim_.Script({Trickle(kDeviceNumberReply, 6000, 5)});
    std::string out;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSN(out), 0);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(std::string(out.c_str()), "811");
    EXPECT_LT(elapsed, std::chrono::milliseconds(2500));
}

// ---------------------------------------------------------------------------
// Bad arguments and the last error.

TEST_F(KQDriverTest, MissingBuffers)
{
    std::string auth = MakeAuth({1, "111111"});
    const std::string request = Request('1', "500");
    std::string out(300, 'x');

    EXPECT_EQ(lib_.MarvConnKQCalcFunc(kPort, nullptr, request.data(), out.data()), 0);
    EXPECT_EQ(out.substr(0, 4), std::string("700\0", 4));
    ExpectLastError(kRow700);

    out.assign(300, 'x');
    EXPECT_EQ(lib_.MarvConnKQCalcFunc(kPort, auth.data(), nullptr, out.data()), 0);
    EXPECT_EQ(out.substr(0, 4), std::string("700\0", 4));

    // No output buffer at all: a failure, never a crash.
    EXPECT_EQ(lib_.ReadKQSN(kPort, nullptr, 0), 0);
    ExpectLastError(kRow800);
    EXPECT_EQ(lib_.MarvConnKQCalcFunc(kPort, auth.data(), request.data(), nullptr), 0);
    ExpectLastError(kRow700);

    EXPECT_TRUE(sim_.Received().empty());
}

TEST_F(KQDriverTest, SuccessKeepsTheLastFailure)
{
    std::string out;
    sim_.Script({Status(0x5D)});
    EXPECT_EQ(ReadSN(out), 0);
    sim_.Script({Answer(kDeviceNumberReply)});
    EXPECT_EQ(ReadSN(out), 1);
    ExpectLastError({"05D", 0x05D, "无该授权员", ""});
}

TEST_F(KQDriverTest, VersionTextAndTraceSwitch)
{
    EXPECT_EQ(lib_.GetIsTrace(), 0);
    const std::string version = lib_.GetDllVersion();
    EXPECT_EQ(version.rfind("RadEDOdudIZE For Windows,Version 1.0;\n\n", 0), 0u);
    ASSERT_GE(version.size(), 22u);
    EXPECT_EQ(version.substr(version.size() - 22), "\n\nlast modify 20070318");
    EXPECT_EQ(std::count(version.begin(), version.end(), '\n'), 4);
}

} // namespace
