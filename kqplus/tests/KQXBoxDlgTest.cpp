// The computation dialog on a real cheque page, driven with QTest under the
// offscreen platform, against the device simulated on a pseudo-terminal: what the
// device receives, what the bill and the bill database keep, and what the
// operator sees.

#include "ChequePage.h"
#include "Clock.h"
#include "EditBoxes.h"
#include "IDoxDocElement.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "KQDeviceSim.h"
#include "KQPlusModule.h"
#include "KQTestData.h"
#include "KQXBoxDlg.h"
#include "KQXFieldCfg.h"
#include "Prompter.h"
#include "TipStatic.h"
#include "WaitPopup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <ctime>
#include <optional>

using namespace kqtest;
using kqplus::CKQXBoxDlg;
using kqplus::CTipStatic;

namespace
{

constexpr int kAccountBox = 2008, kBizTypeBox = 2009, kDateBox = 2011, kCredenceBox = 2012, kAmountBox = 2013,
              kCapitalLine = 2014, kSignerNumber = 2000, kSignerPassword = 2015, kTipLine = 2021;

const char kAccount[] = "6222020212345678";
const char kPassword[] = "C401-00FE-7710-9D2C"; // characters 4-19 of the simulator's result

std::string U8(const QString& text)
{
    return text.toStdString();
}

std::string U8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

// A device on COM1 (the first port offered), a pinned clock and a cheque page.
struct Bench {
    // complex false: the template is left closed, so that its map can be changed
    // before the bill is opened (ChequePage::Reopen).
    explicit Bench(const std::vector<ChequeField>& fields = ChequeFields(), bool complex = true)
        : cheque(fields, true, complex)
    {
    }
    ScopedEnv pollMs{"DOX_SERIAL_POLL_MS", "10"};
    ScopedEnv pollCount{"DOX_SERIAL_POLL_COUNT", "30"};
    KQDeviceSim sim;
    PortOverride port{1, sim.Path()};
    plat::FixedClock clock{plat::SystemTime{2026, 12, 4, 10, 9, 30, 0, 0}};
    plat::ScopedClock pinned{clock};
    ChequePage cheque;
};

// The device of a whole successful computation: the plug-in's own read of the
// device number, then the driver's read, verification and calculation.
std::vector<SimAction> GoodDevice()
{
    return {Answer(kDeviceNumberReply), Answer(kDeviceNumberReply), Answer({0x00}), Answer(kCalcReply)};
}

void TypePasswords(QWidget* dialog, const char* signer = "123456")
{
    auto* box = Control<QLineEdit>(dialog, kSignerPassword);
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, signer);
}

void Click(QWidget* dialog, int id)
{
    auto* button = Control<QPushButton>(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

CTipStatic* Tip(QWidget* dialog)
{
    return Control<CTipStatic>(dialog, kTipLine);
}

// Runs action once, as soon as the dialog's wait popup is up (the device job is
// then running on its worker).
void WhenPopupShows(QWidget* dialog, QTimer& timer, std::function<void(QWidget*)> action)
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [dialog, &timer, action] {
        QWidget* popup = dialog->findChild<QWidget*>(QStringLiteral("KQxPlusInUIClass"));
        if (popup && popup->isVisible()) {
            timer.stop();
            action(popup);
        }
    });
    timer.start();
}

std::string Commands(const std::vector<ReceivedFrame>& frames)
{
    std::string commands;
    for (const ReceivedFrame& frame : frames)
        commands += frame.command;
    return commands;
}

} // namespace

TEST(ComputeDialog, ComputesThroughTheDeviceAndWritesTheBill)
{
    const struct {
        const char* name;
        const wchar_t* money;    // the bill's amount (null: none)
        const wchar_t* credence; // the bill's credence number (null: none)
        int storedNext;          // the store's next number before (0: nothing stored)
        std::string request;     // what the device must be asked
        std::optional<double> moneyAfter;
        int nextAfter;
        const char* credenceAfter; // the bill's credence number afterwards: as it was sent
    } cases[] = {
        {"1.15 stays 1.15", L"1.15", nullptr, 0, MakeRequest(kAccount, '1', "1", "20261209", "115"), 1.15, 2,
         "00000001"},
        {"cheque without amount sends zeros", nullptr, nullptr, 5,
         MakeRequest(kAccount, '1', "5", "20261209", "0000000000000000"), std::nullopt, 6, "00000005"},
        {"credence number of the bill", L"305006.07", L"41", 50,
         MakeRequest(kAccount, '1', "41", "20261209", "30500607"), 305006.07, 42, "00000041"},
        {"credence number typed short, the box never left", L"12", nullptr, 0,
         MakeRequest(kAccount, '1', "77", "20261209", "1200"), 12, 78, "00000077"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        IDoxPage* page = bench.cheque.Page();
        ASSERT_NE(page, nullptr);
        if (c.storedNext) {
            kqplus::CKQXDataCfg store(page);
            store.SetUsedCredenceNo(QString(kAccount).toStdWString(), c.storedNext - 1);
            ASSERT_EQ(store.Save(), 1);
        }
        ASSERT_TRUE(bench.cheque.Set(L"账号", QString(kAccount).toStdWString().c_str()));
        ASSERT_TRUE(bench.cheque.Set(L"日期", L"2026-12-09"));
        if (c.money) {
            ASSERT_TRUE(bench.cheque.Set(L"金额", c.money));
        }
        if (c.credence) {
            ASSERT_TRUE(bench.cheque.Set(L"号码", c.credence));
        }
        bench.sim.Script(GoodDevice());

        CKQXBoxDlg dialog(page);
        dialog.show();
        if (std::string(c.credenceAfter) == "00000077") {
            auto* credence = Control<QLineEdit>(&dialog, kCredenceBox);
            ASSERT_NE(credence, nullptr);
            credence->clear();
            QTest::keyClicks(credence, "77");
        }
        TypePasswords(&dialog);
        Click(&dialog, 1);

        EXPECT_EQ(dialog.result(), QDialog::Accepted) << U8(Tip(&dialog)->Label());
        EXPECT_EQ(U8(bench.cheque.Text(L"号码")), c.credenceAfter);
        const std::vector<ReceivedFrame> frames = bench.sim.Received();
        ASSERT_EQ(Commands(frames), "11d8");
        EXPECT_EQ(frames[2].payload, (Bytes{0x00, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                           0xFF, 0xFF, 0xFF}))
            << "signer 1 with password 123456, nobody else";
        EXPECT_EQ(frames[3].payload, CalcPayloadFor(c.request));

        EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Result);
        EXPECT_EQ(U8(Tip(&dialog)->Label() + Tip(&dialog)->Value()), std::string("支付密码:") + kPassword);
        EXPECT_EQ(U8(bench.cheque.Text(L"密码")), kPassword);
        EXPECT_EQ(U8(bench.cheque.Text(L"业务")), "支票");
        EXPECT_EQ(U8(bench.cheque.Text(L"账号")), kAccount);
        IDoxValue* money = page->GetFieldValue(L"主表.金额", 0);
        ASSERT_NE(money, nullptr);
        if (c.moneyAfter) {
            EXPECT_EQ(money->GetType(), 2u);
            EXPECT_DOUBLE_EQ(money->GetNumber(), *c.moneyAfter);
        } else {
            EXPECT_EQ(money->GetType(), 0u) << "no amount writes an empty amount";
        }

        // The next credence number is kept in the bill database.
        IDoxPage* stored = bench.cheque.Reopen();
        ASSERT_NE(stored, nullptr);
        kqplus::CKQXDataCfg numbers(stored);
        ASSERT_EQ(numbers.Load(), 1);
        EXPECT_EQ(numbers.GetNextCredenceNo(QString(kAccount).toStdWString()), c.nextAfter);
    }
}

TEST(ComputeDialog, DeviceErrorShowsItsCodeAndTextAndChangesNothing)
{
    Bench bench;
    IDoxPage* page = bench.cheque.Page();
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    ASSERT_TRUE(bench.cheque.Set(L"金额", L"10"));
    bench.sim.Script({Answer(kDeviceNumberReply), Answer(kDeviceNumberReply), Status(0x01)});

    CKQXBoxDlg dialog(page);
    dialog.show();
    TypePasswords(&dialog);
    Click(&dialog, 1);

    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
    EXPECT_EQ(Commands(bench.sim.Received()), "11d");
    EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Error);
    EXPECT_EQ(U8(Tip(&dialog)->Label()), "芯片校验错误(001)");
    EXPECT_EQ(U8(bench.cheque.Text(L"密码")), "");
    EXPECT_EQ(U8(bench.cheque.Text(L"号码")), "");
    EXPECT_EQ(U8(bench.cheque.Text(L"业务")), "");
    kqplus::CKQXDataCfg numbers(bench.cheque.Reopen());
    EXPECT_EQ(numbers.Load(), 0) << "no credence number was stored";
}

TEST(ComputeDialog, FailedDeviceNumberReadSendsNoFurtherFrame)
{
    Bench bench;
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    ASSERT_TRUE(bench.cheque.Set(L"金额", L"10"));
    bench.sim.Script({Status(0x20)});

    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    TypePasswords(&dialog);
    Click(&dialog, 1);

    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Commands(bench.sim.Received()), "1");
    EXPECT_EQ(U8(Tip(&dialog)->Label()), "读支付密码器序列号错(020)");
    EXPECT_EQ(U8(bench.cheque.Text(L"密码")), "");
}

TEST(ComputeDialog, KeysPressedDuringTheDeviceJobNeverReachTheDialog)
{
    Bench bench;
    ScopedEnv patient("DOX_SERIAL_POLL_COUNT", "150"); // the driver waits 1.5 s for the slow device
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    ASSERT_TRUE(bench.cheque.Set(L"金额", L"10"));
    std::vector<SimAction> slow = GoodDevice();
    slow[0] = Delayed(slow[0], std::chrono::milliseconds(600));
    bench.sim.Script(slow);

    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    TypePasswords(&dialog);
    auto* account = Control<QLineEdit>(&dialog, kAccountBox);
    bool typed = false;
    QTimer watch;
    WhenPopupShows(&dialog, watch, [&](QWidget*) {
        // The worker is waiting for the device.
        account->setFocus();
        QTest::keyClicks(account, "999");
        QTest::keyClick(account, Qt::Key_Backspace);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::mouseClick(Control<QPushButton>(&dialog, 2), Qt::LeftButton);
        typed = true;
    });
    Click(&dialog, 1);

    EXPECT_TRUE(typed);
    EXPECT_EQ(dialog.result(), QDialog::Accepted)
        << "neither Esc nor the cancel button got through; " << U8(Tip(&dialog)->Label());
    EXPECT_EQ(U8(account->text()), "6222");
    EXPECT_EQ(U8(bench.cheque.Text(L"账号")), "6222");
    EXPECT_EQ(U8(bench.cheque.Text(L"密码")), kPassword);
}

TEST(ComputeDialog, DeviceNumberButton)
{
    Bench bench;
    bench.sim.Script({Answer(kDeviceNumberReply), Status(0x20)});
    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    Click(&dialog, 2019);
    EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Result);
    EXPECT_EQ(U8(Tip(&dialog)->Label() + Tip(&dialog)->Value()), std::string("密码器编号：") + kDeviceNumberText);
    Click(&dialog, 2019);
    EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Error);
    EXPECT_EQ(U8(Tip(&dialog)->Label()), "读支付密码器序列号错(020)");
    EXPECT_EQ(Commands(bench.sim.Received()), "11");
}

TEST(ComputeDialog, OpensWithTheBillsValues)
{
    {
        // A text that is no account number leaves the box empty and says so.
        Bench bench;
        ASSERT_TRUE(bench.cheque.Set(L"账号", L"62-22"));
        CKQXBoxDlg dialog(bench.cheque.Page());
        EXPECT_EQ(U8(Control<QLineEdit>(&dialog, kAccountBox)->text()), "");
        EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Information);
        EXPECT_EQ(U8(Tip(&dialog)->Label()), "无效的账号");
        EXPECT_EQ(U8(Control<QLineEdit>(&dialog, kAmountBox)->text()), "无金额");
        EXPECT_EQ(Control<QDateEdit>(&dialog, kDateBox)->date(), QDate(2026, 12, 10)) << "today, from the clock";
        EXPECT_EQ(U8(Control<QLineEdit>(&dialog, kCredenceBox)->text()), "00000001");
    }
    {
        // A date-time late in the day in UTC+8 stays on its day, in the box and
        // in the request.
        ScopedEnv tz("TZ", "CST-8"); // UTC+8, no time-zone database needed
        tzset();
        std::vector<ChequeField> fields = ChequeFields();
        fields[1].type = L"日期时间";
        Bench bench(fields);
        ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
        ASSERT_TRUE(bench.cheque.Set(L"日期", L"2026-12-09 23:30:00"));
        ASSERT_TRUE(bench.cheque.Set(L"金额", L"12.5"));
        bench.sim.Script(GoodDevice());
        CKQXBoxDlg dialog(bench.cheque.Page());
        dialog.show();
        EXPECT_EQ(Control<QDateEdit>(&dialog, kDateBox)->date(), QDate(2026, 12, 9));
        EXPECT_EQ(U8(Control<QLineEdit>(&dialog, kAmountBox)->text()), "12.50");
        EXPECT_EQ(U8(Control<QLabel>(&dialog, kCapitalLine)->text()), "壹拾贰圆伍角");
        TypePasswords(&dialog);
        Click(&dialog, 1);
        const std::vector<ReceivedFrame> frames = bench.sim.Received();
        ASSERT_EQ(Commands(frames), "11d8");
        EXPECT_EQ(frames[3].payload, CalcPayloadFor(MakeRequest("6222", '1', "1", "20261209", "1250")));
    }
    tzset();
}

TEST(ComputeDialog, ChecksBeforeTheDeviceIsAsked)
{
    Bench bench;
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    auto* amount = Control<QLineEdit>(&dialog, kAmountBox);
    auto* types = Control<QComboBox>(&dialog, kBizTypeBox);

    // No amount is for cheques only; a zero amount is none.
    types->setCurrentIndex(1);
    EXPECT_EQ(U8(amount->text()), "0.00") << "another type asks for an amount";
    TypePasswords(&dialog);
    Click(&dialog, 1);
    EXPECT_EQ(U8(Tip(&dialog)->Label()), "金额不能为0，请输入金额");
    EXPECT_EQ(dialog.focusWidget(), amount);
    types->setCurrentIndex(0);
    EXPECT_EQ(U8(amount->text()), "无金额");

    // The authoriser's password has 6 digits, or 8 for a card.
    QTest::mouseClick(Control<QWidget>(&dialog, 2005), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(Control<QLineEdit>(&dialog, 2017), "1234567");
    Click(&dialog, 1);
    EXPECT_EQ(U8(Tip(&dialog)->Label()), "请输入6位授权员口令或者8位的授权卡口令");
    EXPECT_EQ(Tip(&dialog)->CurrentMode(), CTipStatic::Error);
    EXPECT_TRUE(bench.sim.Received().empty()) << "nothing was sent";
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(ComputeDialog, BoxesRefuseWrongKeysAtOnce)
{
    Bench bench;
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    ASSERT_TRUE(bench.cheque.Set(L"金额", L"1"));
    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    QApplication::setActiveWindow(&dialog);

    // The amount: a third decimal is refused; "5." becomes "5.00" on leaving.
    auto* amount = static_cast<kqplus::CMoneyEdit*>(Control<QLineEdit>(&dialog, kAmountBox));
    amount->setFocus();
    amount->selectAll();
    QTest::keyClicks(amount, "1.234");
    EXPECT_EQ(U8(amount->text()), "1.23");
    EXPECT_EQ(U8(amount->BalloonTitle()), "不能接受的货币格式");
    EXPECT_EQ(U8(amount->Message()), "");
    EXPECT_EQ(U8(Control<QLabel>(&dialog, kCapitalLine)->text()), "壹圆贰角叁分");
    QTest::keyClicks(amount, "x");
    EXPECT_EQ(U8(amount->Message()), "请在此输入数字");
    amount->selectAll();
    QTest::keyClicks(amount, "5.");
    Control<QLineEdit>(&dialog, kCredenceBox)->setFocus();
    EXPECT_EQ(U8(amount->text()), "5.00");

    // The credence number: padded to eight digits on leaving.
    auto* credence = Control<QLineEdit>(&dialog, kCredenceBox);
    credence->selectAll();
    QTest::keyClicks(credence, "42");
    amount->setFocus();
    EXPECT_EQ(U8(credence->text()), "00000042");

    // An operator number of 17 is refused; the arrow keys step within 1-16.
    auto* number = static_cast<kqplus::CDigitEdit*>(Control<QLineEdit>(&dialog, kSignerNumber));
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, "17");
    EXPECT_EQ(U8(number->text()), "1");
    EXPECT_EQ(U8(number->Message()), "您只能在这里输入1到16的数值。");
    EXPECT_EQ(U8(number->BalloonTitle()), "不能接受的字符");
    QTest::keyClick(number, Qt::Key_Up);
    EXPECT_EQ(U8(number->text()), "2");

    // A pasted letter is refused; pasted digits go in.
    auto* account = static_cast<kqplus::CDigitEdit*>(Control<QLineEdit>(&dialog, kAccountBox));
    account->setFocus();
    account->end(false);
    QApplication::clipboard()->setText(QStringLiteral("12a"));
    QTest::keyClick(account, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(U8(account->text()), "6222");
    EXPECT_EQ(U8(account->Message()), "您只能在这里输入数字。");
    QApplication::clipboard()->setText(QStringLiteral("99"));
    QTest::keyClick(account, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(U8(account->text()), "622299");
}

TEST(ComputeDialog, AmountIsJudgedByTheBillsMoneyField)
{
    // Without a money field on the page there is nothing to ask: amounts go in.
    std::vector<ChequeField> fields = ChequeFields();
    fields.erase(fields.begin() + 2);
    Bench bench(fields);
    ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    auto* amount = Control<QLineEdit>(&dialog, kAmountBox);
    amount->setFocus();
    EXPECT_EQ(U8(amount->text()), "") << "no amount is cleared on entering the box";
    QTest::keyClicks(amount, "12.5");
    EXPECT_EQ(U8(amount->text()), "12.5");
}

TEST(AmountEdit, PasteTheBillRefusesIsRefusedWithItsMessage)
{
    kqplus::CMoneyEdit box;
    box.SetCheck([](const std::wstring& text, std::wstring& message) {
        if (text.size() > 4) {
            message = L"超出票据金额范围";
            return 0;
        }
        return 1;
    });
    box.show();
    QApplication::clipboard()->setText(QStringLiteral("123456"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(U8(box.text()), "");
    EXPECT_EQ(U8(box.Message()), "超出票据金额范围");
    QApplication::clipboard()->setText(QStringLiteral("12.5"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(U8(box.text()), "12.5");
    int64_t fen = 0;
    EXPECT_TRUE(box.Value(fen));
    EXPECT_EQ(fen, 1250);
    EXPECT_FALSE(box.SetValue(kqplus::kMaxFen + 1));
    EXPECT_TRUE(box.SetValue(-1));
    EXPECT_TRUE(box.IsNoAmount());
    EXPECT_EQ(box.palette().color(QPalette::Text), QColor(128, 128, 128)) << "no amount is grey";
}

TEST(PrintCheck, AsksOnlyWhenThePasswordIsMissing)
{
    const struct {
        const char* name;
        const wchar_t* paycode; // the bill's password field before
        std::vector<const char*> answers; // buttons clicked, dialog by dialog
        int result;
        std::vector<QString> seen;
        std::string paycodeAfter;
        std::vector<std::wstring> told; // message boxes afterwards
    } cases[] = {
        {"filled", L"1111-2222-3333-4444", {}, 1, {}, "1111-2222-3333-4444", {}},
        {"filled as computed, in lower case", L"c401-00fe-7710-9d2c", {}, 1, {}, "c401-00fe-7710-9d2c", {}},
        {"empty, no", nullptr, {"2"}, 1, {QStringLiteral("KQ密码器联机计算")}, "", {}},
        {"empty, yes, cancelled", nullptr, {"1", "2"}, 0,
         {QStringLiteral("KQ密码器联机计算"), QStringLiteral("KQ密码器联机计算")}, "",
         {L"票据中没有支付密码，票据没有打印。"}},
        {"empty, yes, computed", nullptr, {"1", "compute"}, 1,
         {QStringLiteral("KQ密码器联机计算"), QStringLiteral("KQ密码器联机计算")}, kPassword, {}},
        // Text that no computation writes is no password: the question comes.
        {"a date typed into it", L"2026-12-10", {"2"}, 1, {QStringLiteral("KQ密码器联机计算")}, "2026-12-10", {}},
        {"a password cut short", L"C401-00FE-7710", {"1", "compute"}, 1,
         {QStringLiteral("KQ密码器联机计算"), QStringLiteral("KQ密码器联机计算")}, kPassword, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench;
        ASSERT_TRUE(bench.cheque.Set(L"账号", L"6222"));
        ASSERT_TRUE(bench.cheque.Set(L"金额", L"10"));
        if (c.paycode) {
            ASSERT_TRUE(bench.cheque.Set(L"密码", c.paycode));
        }
        bench.sim.Script(GoodDevice());
        dox::platform::ScriptedPrompter prompter;
        dox::platform::ScopedPrompter scoped(&prompter);

        std::vector<ModalScript::Step> steps;
        for (const char* answer : c.answers) {
            steps.push_back([answer](QWidget* dialog) {
                if (std::string(answer) == "compute") {
                    TypePasswords(dialog);
                    Click(dialog, 1);
                } else {
                    Click(dialog, std::atoi(answer));
                }
            });
        }
        ModalScript script(steps);
        IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
        ASSERT_NE(plugin, nullptr);
        EXPECT_EQ(plugin->CheckBeforePrint(bench.cheque.Page()), c.result);
        plugin->Release();
        EXPECT_EQ(script.Seen(), c.seen);
        EXPECT_EQ(U8(bench.cheque.Text(L"密码")), c.paycodeAfter);
        std::vector<std::wstring> told;
        for (const auto& message : prompter.messages)
            told.push_back(message.text);
        EXPECT_EQ(told, c.told);
    }
}

// The field map as the designer stores it, entry by entry (id, field name).
void StoreMap(ChequePage& cheque, const std::vector<std::pair<const char*, const char*>>& entries)
{
    IDoxPage* sheet = cheque.OpenTemplate();
    ASSERT_NE(sheet, nullptr);
    IDoxDocElement* element = sheet->GetUserElement(L"kqxfieldmap", 0);
    ASSERT_NE(element, nullptr);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kqx:template type=\"0\">";
    for (const auto& [id, value] : entries)
        text += std::string("<kqx:fieldmap id=\"") + id + "\"" + (value ? std::string(" value=\"") + value + "\"" : "") +
                "/>";
    text += "</kqx:template>";
    ASSERT_TRUE(element->SetData(text.c_str(), text.size() + 1));
    element->ReleaseData();
    ASSERT_EQ(sheet->GetDocument()->Save(), 1);
    cheque.CloseTemplate();
}

TEST(PrintCheck, AMapWithoutAUsablePasswordFieldSaysSoAndAsks)
{
    // Each bill holds a password in 主表.密码, but the map does not lead to it.
    using Entries = std::vector<std::pair<const char*, const char*>>;
    const Entries good = {{"account", "主表.账号"}, {"date", "主表.日期"}, {"money", "主表.金额"},
                          {"paycode", "主表.密码"}, {"credenceno", "主表.号码"}, {"biztype", "主表.业务"}};
    auto with = [&](const char* paycode) {
        Entries entries = good;
        entries[3].second = paycode;
        return entries;
    };
    auto without = [&](const char* id) {
        Entries entries;
        for (const auto& entry : good)
            if (std::string(entry.first) != id)
                entries.push_back(entry);
        return entries;
    };
    Entries duplicated = good;
    duplicated.push_back({"PayCode", ""});
    Entries unknown = without("paycode");
    unknown.push_back({"password", "主表.密码"});
    Entries allOnAmount;
    for (const auto& entry : good)
        allOnAmount.push_back({entry.first, "主表.金额"});
    const std::wstring why = L"KQ密码器配置信息有误：";
    const std::wstring after = L"，无法确定付款密码字段。请在模板设计器中重新配置。";
    // A name of a megabyte is quoted by its two ends: whole, the message took minutes
    // to show and could not be read.
    const std::string huge = "主表." + std::string(1 << 20, 'x') + "尾";
    const struct {
        const char* name;
        Entries map;
        std::wstring told;
    } cases[] = {
        {"the field renamed after configuring", with("主表.支付密码"), why + L"模板页面中没有支付密码字段“主表.支付密码”" + after},
        {"an empty entry", with(""), why + L"没有配置支付密码字段" + after},
        {"an entry without a value", with(nullptr), why + L"没有配置支付密码字段" + after},
        {"a missing entry", without("paycode"), why + L"模板页面中没有支付密码字段“密码”" + after},
        {"an unknown id instead", unknown, why + L"模板页面中没有支付密码字段“密码”" + after},
        {"the id twice, the later empty", duplicated, why + L"没有配置支付密码字段" + after},
        {"a table's column", with("明细.密码"), why + L"支付密码字段“明细.密码”是表格中的列，不是票据的字段" + after},
        {"every entry on the amount", allOnAmount, why + L"支付密码字段“主表.金额”同时被配置为账号字段" + after},
        {"a name of a megabyte", with(huge.c_str()),
         why + L"模板页面中没有支付密码字段“主表." + std::wstring(29, L'x') + L"…" + std::wstring(30, L'x') + L"尾”" +
             after},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench bench(ChequeFields(), false);
        StoreMap(bench.cheque, c.map);
        IDoxPage* page = bench.cheque.Reopen();
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, L"10"), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.密码", 0, L"1111-2222-3333-4444"), 1);
        dox::platform::ScriptedPrompter prompter;
        dox::platform::ScopedPrompter scoped(&prompter);
        ModalScript script({[](QWidget* dialog) { Click(dialog, 2); }});
        IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
        ASSERT_NE(plugin, nullptr);
        EXPECT_EQ(plugin->IsConfigured(page), 1);
        EXPECT_EQ(plugin->CheckBeforePrint(page), 1) << "answered 否: printed without a password";
        plugin->Release();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(U8(prompter.messages[0].text), U8(c.told));
        EXPECT_EQ(script.Seen(), std::vector<QString>{QStringLiteral("KQ密码器联机计算")});
    }
}

TEST(PrintCheck, APasswordTheBillCannotKeepIsShownAndTheBillIsNotPrinted)
{
    // Every entry on the amount field: the device computes, but the amount field
    // refuses the password.
    Bench bench(ChequeFields(), false);
    std::vector<std::pair<const char*, const char*>> map;
    for (const char* id : {"account", "date", "money", "paycode", "credenceno", "biztype"})
        map.push_back({id, "主表.金额"});
    StoreMap(bench.cheque, map);
    IDoxPage* page = bench.cheque.Reopen();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, L"10"), 1);
    bench.sim.Script(GoodDevice());
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scoped(&prompter);
    std::string shown;
    ModalScript script({[](QWidget* dialog) { Click(dialog, 1); },
                        [&](QWidget* dialog) {
                            TypePasswords(dialog);
                            auto* account = Control<QLineEdit>(dialog, kAccountBox);
                            ASSERT_NE(account, nullptr);
                            QTest::keyClicks(account, "6222");
                            Click(dialog, 1);
                            // Still open, the password there to be copied.
                            EXPECT_TRUE(dialog->isVisible());
                            shown = U8(Tip(dialog)->Label() + Tip(dialog)->Value());
                            Click(dialog, 2);
                        }});
    IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->CheckBeforePrint(page), 0);
    plugin->Release();
    EXPECT_EQ(shown, std::string("支付密码无法写入票据（配置的支付密码字段不能保存它），请手工抄写:") + kPassword);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, L"票据中没有支付密码，票据没有打印。");
    // The device used the credence number: the next suggestion is the one after it.
    kqplus::CKQXDataCfg numbers(bench.cheque.Reopen());
    ASSERT_EQ(numbers.Load(), 1);
    EXPECT_EQ(numbers.GetNextCredenceNo(L"6222"), 2);
}

TEST(PrintCheck, ADamagedMapIsReportedAndAskedAsForAnEmptyPassword)
{
    // The map cut short in the template file; the bill has its password, but the
    // plug-in cannot know which field holds it.
    ChequePage cheque(ChequeFields(), true, false);
    IDoxPage* sheet = cheque.OpenTemplate();
    ASSERT_NE(sheet, nullptr);
    IDoxDocElement* element = sheet->GetUserElement(L"kqxfieldmap", 0);
    ASSERT_NE(element, nullptr);
    const char damaged[] = "<kqx:fieldmap><kqx:item name=";
    ASSERT_TRUE(element->SetData(damaged, sizeof damaged));
    element->ReleaseData();
    ASSERT_EQ(sheet->GetDocument()->Save(), 1);
    cheque.CloseTemplate();
    IDoxPage* page = cheque.Reopen();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->SetFieldText(L"主表.密码", 0, L"1111-2222-3333-4444"), 1);
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scoped(&prompter);
    ModalScript script({[](QWidget* dialog) { Click(dialog, 2); }});
    IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->IsConfigured(page), 1);
    EXPECT_EQ(plugin->CheckBeforePrint(page), 1);
    plugin->Release();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text.find(L"配置已损坏"), std::wstring::npos);
    EXPECT_EQ(script.Seen(), std::vector<QString>{QStringLiteral("KQ密码器联机计算")});
}

TEST(PrintCheck, PagesWithoutAMapOrPasswordFieldPrintUnasked)
{
    IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
    ASSERT_NE(plugin, nullptr);
    {
        Bench bench(ChequeFields());
        EXPECT_EQ(plugin->IsConfigured(bench.cheque.Page()), 1);
    }
    {
        ChequePage unmapped(ChequeFields(), false);
        EXPECT_EQ(plugin->IsConfigured(unmapped.Page()), 0);
        EXPECT_EQ(plugin->CheckBeforePrint(unmapped.Page()), 1);
    }
    EXPECT_EQ(plugin->IsConfigured(nullptr), 0);
    EXPECT_EQ(plugin->CheckBeforePrint(nullptr), 1);
    plugin->Release();
}

TEST(ComputeDialog, Screenshot)
{
    Bench bench;
    ASSERT_TRUE(bench.cheque.Set(L"账号", QString(kAccount).toStdWString().c_str()));
    ASSERT_TRUE(bench.cheque.Set(L"日期", L"2026-12-09"));
    ASSERT_TRUE(bench.cheque.Set(L"金额", L"123456.78"));
    bench.sim.Script(GoodDevice());
    CKQXBoxDlg dialog(bench.cheque.Page());
    dialog.show();
    QTest::mouseClick(Control<QWidget>(&dialog, 2002), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(Control<QLineEdit>(&dialog, 2016), "654321");
    TypePasswords(&dialog);
    const char* folder = std::getenv("DOX_SCREENSHOT_DIR");

    // The wait popup while the device works: centred on the dialog, its text in blue.
    ScopedEnv patient("DOX_SERIAL_POLL_COUNT", "150");
    std::vector<SimAction> slow = GoodDevice();
    slow[3] = Delayed(slow[3], std::chrono::milliseconds(300));
    bench.sim.Script(slow);
    QImage popup;
    QRect popupPlace;
    QTimer watch;
    WhenPopupShows(&dialog, watch, [&](QWidget* wait) {
        QTest::qWait(50); // the calculating text
        popup = wait->grab().toImage();
        popupPlace = wait->geometry();
    });
    // Computed, but kept open to be looked at.
    ASSERT_EQ(dialog.OnCalculate(), 1);
    ASSERT_FALSE(popup.isNull()) << "no popup during the device job";
    EXPECT_EQ(popupPlace.size(), QSize(kqplus::CWait::kWidth, kqplus::CWait::kHeight));
    EXPECT_LE((popupPlace.center() - dialog.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(popup.pixelColor(0, 0), QColor(88, 207, 229)) << "the frame's light edge";
    bool blue = false;
    for (int x = 0; x < popup.width() && !blue; ++x)
        blue = popup.pixelColor(x, popup.height() / 2) == QColor(0, 0, 255);
    EXPECT_TRUE(blue) << "the status text";

    QImage shot = dialog.grab().toImage();
    if (folder) {
        shot.save(QString::fromLocal8Bit(folder) + QStringLiteral("/kqplus-compute.png"));
        popup.save(QString::fromLocal8Bit(folder) + QStringLiteral("/kqplus-wait.png"));
    }

    EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::white)) << "the header band";
    CTipStatic* tip = Tip(&dialog);
    const QPoint inTip = tip->mapTo(&dialog, QPoint(tip->width() - 5, tip->height() / 2));
    EXPECT_EQ(shot.pixelColor(inTip * shot.devicePixelRatio()), QColor(255, 255, 225)) << "the result's background";
    EXPECT_EQ(U8(Control<QLabel>(&dialog, kCapitalLine)->text()), "壹拾贰万叁仟肆佰伍拾陆圆柒角捌分");

    // The result's button copies the password.
    QApplication::clipboard()->clear();
    QTest::mouseClick(tip, Qt::LeftButton, {}, CTipStatic::ButtonRect().center());
    EXPECT_EQ(U8(QApplication::clipboard()->text()), kPassword);
}
