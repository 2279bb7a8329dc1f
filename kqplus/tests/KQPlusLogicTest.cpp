// The plug-in's rules without a window: amounts, the records handed to the driver,
// the stored texts, the checks before a computation and the port list.

#include "AmountText.h"
#include "EditBoxes.h"
#include "KQRequest.h"
#include "KQTestData.h"
#include "KQXBoxDlg.h"
#include "KQXCfgDlg.h"
#include "KQXFieldCfg.h"
#include "WaitPopup.h"

#include <gtest/gtest.h>

#include <QString>

#include <cmath>
#include <cstring>

using namespace kqplus;

namespace
{

std::string Narrow(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

} // namespace

TEST(CapitalAmount, WritesTheAmountInCapitalCharacters)
{
    const struct {
        const wchar_t* text;
        const wchar_t* capital;
    } cases[] = {
        {L"123.45", L"壹佰贰拾叁圆肆角伍分"},
        {L"100.00", L"壹佰圆整"},
        {L"100.05", L"壹佰圆零伍分"},
        {L"100.50", L"壹佰圆伍角"},
        {L"1010.00", L"壹仟零壹拾圆整"},
        {L"10000.00", L"壹万圆整"},
        {L"1000001.00", L"壹佰万零壹圆整"},
        {L"100010000.00", L"壹亿零壹万圆整"},
        {L"0.50", L"伍角"},
        {L"0.00", L"零圆整"},
        {L"1.15", L"壹圆壹角伍分"},
        {L"99999999999999.99", L"玖拾玖兆玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖圆玖角玖分"},
        {L"5", L"伍圆整"},
        // Not an amount: nothing.
        {L"", L""},
        {L"1.234", L""},
        {L"1.2.3", L""},
        {L"-5.00", L""},
        {L"12a", L""},
        {L"123456789012345678", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Narrow(AmountToCapital(c.text)), Narrow(c.capital)) << Narrow(c.text);
}

TEST(AmountBox, ParsesOnlyAmountsItCanHold)
{
    const std::wstring range = AmountRangeMessage();
    EXPECT_EQ(Narrow(range), "您只能在此输入0到99999999999999.99数字。");
    const struct {
        const wchar_t* text;
        bool valid;
        int64_t fen;
        std::wstring message;
    } cases[] = {
        {L"5", true, 500, L""},
        {L"5.", true, 500, L""},
        {L"5.5", true, 550, L""},
        {L"5.55", true, 555, L""},
        {L".5", true, 50, L""},
        {L"1.15", true, 115, L""},
        {L"99999999999999.99", true, 9999999999999999, L""},
        {L"5.555", false, 0, L""}, // a third decimal
        {L"", false, 0, L""},
        {L"1.2.3", false, 0, L""},
        {L"12a", false, 0, L""},
        {L"-5", false, 0, L""},
        {L"100000000000000", false, 0, range},     // 10^14 yuan is 10^16 fen
        {L"99999999999999999", false, 0, range},   // 17 digits: refused, not overflowed
        {L"999999999999999.99", false, 0, range},  // 17 digits with decimals, too large
        {L"123456789012345678", false, 0, L""},    // too many digits
    };
    for (const auto& c : cases) {
        AmountParse parse = ParseAmountText(c.text);
        EXPECT_EQ(parse.valid, c.valid) << Narrow(c.text);
        if (c.valid) {
            EXPECT_EQ(parse.fen, c.fen) << Narrow(c.text);
        }
        EXPECT_EQ(Narrow(parse.message), Narrow(c.message)) << Narrow(c.text);
    }
}

TEST(AmountBox, AsksTheBillFirstAndKeepsItsReason)
{
    std::vector<std::wstring> asked;
    AmountCheck refuseLarge = [&asked](const std::wstring& text, std::wstring& message) {
        asked.push_back(text);
        if (text.size() > 3) {
            message = L"金额超出范围";
            return 0;
        }
        return 1;
    };
    AmountParse accepted = ParseAmountText(L"1.5", refuseLarge);
    EXPECT_TRUE(accepted.valid);
    EXPECT_EQ(accepted.fen, 150);
    AmountParse refused = ParseAmountText(L"1000", refuseLarge);
    EXPECT_FALSE(refused.valid);
    EXPECT_EQ(Narrow(refused.message), "金额超出范围");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(ParseAmountText(L"", refuseLarge).message.empty());
    EXPECT_EQ(asked.size(), 2u) << "an empty text is refused without asking";
}

TEST(AmountBox, LeavingTheBoxCompletesTheDecimals)
{
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {{"5.", "5.00"}, {"5.5", "5.50"}, {"5.55", "5.55"}, {"5", "5.00"}, {"", "无金额"}, {"无金额", "无金额"}};
    for (const auto& c : cases)
        EXPECT_EQ(NormalisedAmountText(QString::fromUtf8(c.text)).toStdString(), c.shown) << c.text;
}

TEST(AmountBox, BillNumbersRoundToTheNearestFen)
{
    const struct {
        double yuan;
        std::optional<int64_t> fen;
    } cases[] = {
        {1.15, 115}, // 1.15 * 100 is 114.999...: truncating would ask the device for 1.14
        {0.29, 29},  {1234.5, 123450}, {0.0, 0}, {0.004, 0}, {0.005, 1}, {99999999999999.0, 9999999999999900},
        {1e14, std::nullopt}, {-0.01, std::nullopt}, {NAN, std::nullopt}, {INFINITY, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FenFromNumber(c.yuan), c.fen) << c.yuan;
    EXPECT_EQ(Narrow(FormatFen(115)), "1.15");
    EXPECT_EQ(Narrow(FormatFen(5)), "0.05");
    EXPECT_EQ(Narrow(FormatFen(kMaxFen)), "99999999999999.99");
    EXPECT_EQ(FormatFen(-1), L"");
}

TEST(DigitBox, RefusesWhatIsNotADigitOrOutOfRange)
{
    const struct {
        const wchar_t* text;
        bool ranged;
        const char* refusal; // empty: accepted
    } cases[] = {
        {L"0123456789", false, ""},
        {L"", true, ""},
        {L"12a", false, "您只能在这里输入数字。"},
        {L"1.5", false, "您只能在这里输入数字。"},
        {L"16", true, ""},
        {L"1", true, ""},
        {L"17", true, "您只能在这里输入1到16的数值。"},
        {L"0", true, "您只能在这里输入1到16的数值。"},
        {L"99999999999999999999", true, "您只能在这里输入1到16的数值。"},
    };
    for (const auto& c : cases) {
        std::optional<std::wstring> refusal = DigitRefusal(c.text, c.ranged, 1, 16);
        EXPECT_EQ(refusal ? Narrow(*refusal) : std::string(), c.refusal) << Narrow(c.text);
    }
}

TEST(Request, FieldsAreRightAlignedWithinTheirWidths)
{
    const struct {
        const char* name;
        CalcInput input;
        std::string expected; // kqtest's independent record; empty: refused
    } cases[] = {
        {"cheque", {L"6222020212345678", 0, L"00000042", 2026, 12, 9, 12345},
         kqtest::MakeRequest("6222020212345678", '1', "42", "20261209", "12345")},
        {"1.15 stays 1.15", {L"1", 2, L"7", 2026, 1, 31, 115}, kqtest::MakeRequest("1", '3', "7", "20260131", "115")},
        {"no amount sends zeros", {L"6222", 0, L"1", 2026, 12, 9, -1},
         kqtest::MakeRequest("6222", '1', "1", "20261209", "0000000000000000")},
        {"largest amount", {L"12345678901234567890123456789012", 4, L"99999999", 9999, 12, 31, kMaxFen},
         kqtest::MakeRequest("12345678901234567890123456789012", '5', "99999999", "99991231", "9999999999999999")},
        {"account too long", {L"123456789012345678901234567890123", 0, L"1", 2026, 1, 1, 1}, ""},
        {"credence too long", {L"1", 0, L"123456789", 2026, 1, 1, 1}, ""},
        {"account not digits", {L"12-34", 0, L"1", 2026, 1, 1, 1}, ""},
        {"amount past the field", {L"1", 0, L"1", 2026, 1, 1, kMaxFen + 1}, ""},
        {"business type past the list", {L"1", 5, L"1", 2026, 1, 1, 1}, ""},
    };
    for (const auto& c : cases) {
        KQCalcRequest request;
        std::memset(&request, 'x', sizeof request);
        const bool built = BuildRequest(c.input, request);
        EXPECT_EQ(built, !c.expected.empty()) << c.name;
        const std::string bytes(reinterpret_cast<const char*>(&request), sizeof request);
        EXPECT_EQ(bytes, built ? c.expected : std::string(sizeof request, 'x'))
            << c.name << (built ? "" : ": a refused request leaves the record untouched");
    }
}

TEST(Request, AuthBlockCarriesEachOperatorPresent)
{
    using kqtest::MakeAuth;
    const struct {
        const char* name;
        Operators operators;
        std::string expected;
    } cases[] = {
        {"signer", {{3, L"123456"}, std::nullopt, std::nullopt}, MakeAuth({3, "123456"})},
        {"operator 16 is f", {{16, L"123456"}, Operator{16, L"654321"}, std::nullopt},
         MakeAuth({16, "123456"}, kqtest::Operator{16, "654321"})},
        {"card authoriser", {{1, L"111111"}, std::nullopt, Operator{10, L"13572468"}},
         MakeAuth({1, "111111"}, std::nullopt, kqtest::Operator{10, "13572468"})},
        {"passwords cut", {{2, L"1234567"}, Operator{3, L"7654321"}, Operator{4, L"1234567890"}},
         MakeAuth({2, "123456"}, kqtest::Operator{3, "765432"}, kqtest::Operator{4, "12345678"})},
    };
    for (const auto& c : cases) {
        KQAuthBlock block;
        std::memset(&block, 0, sizeof block);
        BuildAuthBlock(c.operators, block);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block), sizeof block), c.expected) << c.name;
    }
}

TEST(Request, PasswordShowsTheLastSixteenCharactersInGroups)
{
    KQCalcResult result;
    std::memset(&result, 0, sizeof result);
    std::memcpy(result.text, kqtest::kPasswordText, 20);
    EXPECT_EQ(Narrow(DashedPassword(result)), "C401-00FE-7710-9D2C");
    KQDeviceId id;
    std::memcpy(&id, "123456789A\xC1\x00\xFF\x7E\0\0", sizeof id);
    EXPECT_EQ(Narrow(DeviceNumberText(id)), "123456789A");
    EXPECT_EQ(Narrow(FromGbk("\xD0\xBE\xC6\xAC\xD0\xA3\xD1\xE9\xB4\xED\xCE\xF3(001)")), "芯片校验错误(001)");
}

TEST(ComputeChecks, FirstFailingCheckInOrder)
{
    ComputeForm good;
    good.account = L"6222";
    good.bizType = 0;
    good.credenceNo = L"00000042";
    good.amountValid = true;
    good.fen = 100;
    good.signerNumber = L"1";
    good.signerPassword = L"123456";
    good.auditorNumber = good.authoriserNumber = L"1";
    EXPECT_FALSE(CheckComputeForm(good));

    const struct {
        const char* name;
        std::function<void(ComputeForm&)> change;
        const char* text;
        int control;
    } cases[] = {
        {"account", [](ComputeForm& f) { f.account.clear(); f.credenceNo.clear(); }, "请输入账号", 2008},
        {"type", [](ComputeForm& f) { f.bizType = -1; f.credenceNo.clear(); }, "请选择业务种类", 2009},
        {"credence", [](ComputeForm& f) { f.credenceNo.clear(); f.amountValid = false; }, "请输入凭证号码", 2012},
        {"amount", [](ComputeForm& f) { f.amountValid = false; f.signerPassword.clear(); }, "请输入金额", 2013},
        {"signer", [](ComputeForm& f) { f.signerPassword = L"12345"; }, "请输入6位签发员口令", 2015},
        {"auditor", [](ComputeForm& f) { f.auditor = true; f.auditorPassword = L"1234567"; }, "请输入6位审核员口令", 2016},
        {"auditor off", [](ComputeForm& f) { f.auditorPassword = L"1"; f.fen = 0; }, "金额不能为0，请输入金额", 2013},
        {"authoriser 7", [](ComputeForm& f) { f.authoriser = true; f.authoriserPassword = L"1234567"; },
         "请输入6位授权员口令或者8位的授权卡口令", 2017},
        {"type past the list", [](ComputeForm& f) { f.bizType = 5; }, "请选择业务种类", 2009},
        {"no amount, no cheque", [](ComputeForm& f) { f.bizType = 1; f.fen = kNoAmount; }, "只有支票支持无金额", 2013},
        {"zero", [](ComputeForm& f) { f.fen = 0; }, "金额不能为0，请输入金额", 2013},
        {"signer number emptied", [](ComputeForm& f) { f.signerNumber.clear(); }, "您只能在这里输入1到16的数值。", 2000},
        {"authoriser number", [](ComputeForm& f) { f.authoriser = true; f.authoriserPassword = L"12345678"; f.authoriserNumber = L"17"; },
         "您只能在这里输入1到16的数值。", 2006},
    };
    for (const auto& c : cases) {
        ComputeForm form = good;
        c.change(form);
        std::optional<FormRefusal> refusal = CheckComputeForm(form);
        ASSERT_TRUE(refusal) << c.name;
        EXPECT_EQ(Narrow(refusal->text), c.text) << c.name;
        EXPECT_EQ(refusal->controlId, c.control) << c.name;
    }
    ComputeForm chequeWithout = good;
    chequeWithout.fen = kNoAmount;
    chequeWithout.authoriser = true;
    chequeWithout.authoriserPassword = L"12345678";
    EXPECT_FALSE(CheckComputeForm(chequeWithout)) << "a cheque may go without amount; a card password has 8 digits";
}

TEST(FieldMap, TextRoundTripAndTolerantReading)
{
    CKQXFieldCfg map;
    map.SetBizType(3);
    map.SetName(MapEntry::Account, L"主表.付款账号");
    map.SetName(MapEntry::Money, L"主表.金额 & <小写>");
    map.SetName(MapEntry::BizType, L"");
    const std::string text = map.FieldMapText();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text;
    EXPECT_NE(text.find("<kqx:template type=\"3\">"), std::string::npos) << text;

    CKQXFieldCfg read;
    ASSERT_EQ(read.ReadFieldMapText(text.c_str(), text.size() + 1), 1);
    EXPECT_EQ(read.BizType(), 3);
    for (int e = 0; e < kMapEntryCount; ++e)
        EXPECT_EQ(read.Name(static_cast<MapEntry>(e)), map.Name(static_cast<MapEntry>(e))) << e;
    EXPECT_EQ(read.FieldMapText(), text);

    // Root and ids in any case; unknown ids and a missing value.
    const std::string loose = "<KQX:TEMPLATE type='1'><kqx:fieldmap id='Money' value='M'/>"
                              "<kqx:fieldmap id='other' value='X'/><kqx:fieldmap id='DATE'/></KQX:TEMPLATE>";
    CKQXFieldCfg tolerant;
    ASSERT_EQ(tolerant.ReadFieldMapText(loose.c_str(), loose.size()), 1);
    EXPECT_EQ(tolerant.BizType(), 1);
    EXPECT_EQ(tolerant.Name(MapEntry::Money), L"M");
    EXPECT_EQ(tolerant.Name(MapEntry::Date), L"");
    EXPECT_EQ(tolerant.Name(MapEntry::Account), L"账号");

    // Exactly the stored size is read, NUL or not: what lies behind is not XML.
    const std::string stored = loose + "<garbage";
    CKQXFieldCfg sized;
    EXPECT_EQ(sized.ReadFieldMapText(stored.c_str(), loose.size()), 1);
    EXPECT_EQ(sized.Name(MapEntry::Money), L"M");

    const struct {
        const char* name;
        const char* data;
        size_t size;
    } bad[] = {{"null", nullptr, 10},
               {"empty", "", 0},
               {"only a NUL", "\0", 1},
               {"other root", "<kqx:database/>", 15},
               {"cut short", "<kqx:template type='2'><kqx:fieldmap id='money' value='M'/>", 40},
               {"not XML", "kqx:template", 12}};
    for (const auto& b : bad) {
        CKQXFieldCfg untouched;
        EXPECT_EQ(untouched.ReadFieldMapText(b.data, b.size), 0) << b.name;
        EXPECT_EQ(untouched.BizType(), 0) << b.name;
        EXPECT_EQ(untouched.Name(MapEntry::Money), L"金额") << b.name;
    }
}

TEST(CredenceNumbers, NextNumberPerAccount)
{
    CKQXDataCfg store;
    EXPECT_EQ(store.GetNextCredenceNo(L"6222"), 1);
    EXPECT_EQ(Narrow(store.FormatNextCredenceNo(L"6222")), "00000001");
    store.SetUsedCredenceNo(L"6222", 50);
    store.SetUsedCredenceNo(L"6222", 41); // used lower than stored: still used + 1
    store.SetUsedCredenceNo(L"账户乙", 7);
    EXPECT_EQ(Narrow(store.FormatNextCredenceNo(L"6222")), "00000042");

    const std::string text = store.CredenceText();
    EXPECT_NE(text.find("<kqx:database>"), std::string::npos) << text;
    CKQXDataCfg read;
    ASSERT_EQ(read.ReadCredenceText(text.c_str(), text.size() + 1), 1);
    EXPECT_EQ(read.GetNextCredenceNo(L"6222"), 42);
    EXPECT_EQ(read.GetNextCredenceNo(L"账户乙"), 8);
    EXPECT_EQ(read.CredenceText(), text);

    const std::string twice = "<kqx:database><kqx:credenceno><kqx:item account='1' value='5'/>"
                              "<kqx:item account='1' value='9'/></kqx:credenceno></kqx:database>";
    CKQXDataCfg later;
    ASSERT_EQ(later.ReadCredenceText(twice.c_str(), twice.size()), 1);
    EXPECT_EQ(later.GetNextCredenceNo(L"1"), 9);
    CKQXDataCfg wrong;
    EXPECT_EQ(wrong.ReadCredenceText("<kqx:template/>", 15), 0);
}

TEST(ConfigGuess, EachFieldTakesItsFirstWordAndLaterFieldsWin)
{
    const QStringList fields = {QStringLiteral("主表.付款账号"), QStringLiteral("主表.出票日期"),
                                QStringLiteral("主表.账号日期"), QStringLiteral("主表.金额"),
                                QStringLiteral("主表.支付密码"), QStringLiteral("主表.备注")};
    const std::array<int, kMapEntryCount> guess = GuessFieldMap(fields);
    EXPECT_EQ(guess[0], 2) << "the later account field wins";
    EXPECT_EQ(guess[1], 1) << "a field matching the account word is not tested further";
    EXPECT_EQ(guess[2], 3);
    EXPECT_EQ(guess[3], 4);
    EXPECT_EQ(guess[4], -1);
    EXPECT_EQ(guess[5], -1);
}

TEST(SerialPorts, OnlyComWithOneOrTwoDigitsIsOffered)
{
    const struct {
        const char* name;
        int number;
    } cases[] = {{"COM1", 1}, {"com7", 7}, {"CoM12", 12}, {"COM123", 0}, {"COM", 0}, {"COMX", 0},
                 {"COM1a", 0}, {"TTY1", 0}, {"COM 1", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(OfferedPortNumber(c.name), c.number) << c.name;
}

TEST(SerialPorts, ListFollowsThePlatformsPortsAndVariables)
{
    kqtest::ScopedEnv near("DOX_COM98", "/dev/pts/98");
    kqtest::ScopedEnv far("DOX_COM123", "/dev/pts/123");
    SPEnumator ports;
    const int count = ports.Enumerate();
    ASSERT_EQ(count, static_cast<int>(ports.Ports().size()));
    bool found = false;
    for (const SP& port : ports.Ports()) {
        EXPECT_NE(port.number, 123) << "three digits are not offered";
        if (port.number == 98) {
            found = true;
            EXPECT_EQ(port.name, L"COM98");
        }
    }
    EXPECT_TRUE(found);
}

TEST(WaitLoop, DropsInputAndDeliversTheRest)
{
    const struct {
        QEvent::Type type;
        WaitLoopAction action;
    } cases[] = {
        {QEvent::KeyPress, WaitLoopAction::Drop},
        {QEvent::KeyRelease, WaitLoopAction::Drop},
        {QEvent::ShortcutOverride, WaitLoopAction::Drop},
        {QEvent::InputMethod, WaitLoopAction::Drop},
        {QEvent::MouseButtonRelease, WaitLoopAction::Drop},
        {QEvent::MouseMove, WaitLoopAction::Drop},
        {QEvent::Wheel, WaitLoopAction::Drop},
        {QEvent::Close, WaitLoopAction::Drop},
        {QEvent::MouseButtonPress, WaitLoopAction::ActivateOwner},
        {QEvent::MouseButtonDblClick, WaitLoopAction::ActivateOwner},
        {QEvent::NonClientAreaMouseButtonPress, WaitLoopAction::ActivateOwner},
        {QEvent::Paint, WaitLoopAction::Deliver},
        {QEvent::Timer, WaitLoopAction::Deliver},
        {QEvent::UpdateRequest, WaitLoopAction::Deliver},
        {kJobDoneEvent, WaitLoopAction::Deliver},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WaitLoopActionFor(c.type), c.action) << c.type;
}
