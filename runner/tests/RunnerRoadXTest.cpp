// A clerk's day on a real X server: each shipped sample opened from the home page and
// twenty bills typed into it blind, from the first moment, with Tab between the values
// and Ctrl+S, Ctrl+N between the bills, the next bill typed at once. The values recur,
// so the history list drops down under the fields while they are typed. Afterwards
// doxcore.db is read bill by bill: every value in its own column as it was typed
// (money with its two decimals), every total the sum of its lines. Then the clerk's
// corrections: every line amount emptied again, a number longer than its field.

#include "BillDatabase.h"
#include "CDoxFrame.h"
#include "CHomeView.h"
#include "CMainFrame.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxValue.h"
#include "ModalKey.h"
#include "RunnerWorkspaceFixture.h"
#include "XServer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace runnertest
{
namespace
{

using namespace doxtest;

constexpr int kBills = 20;

// One bill as the clerk types it and as it must be stored.
struct Bill {
    // The values in fill-in order, a Tab after each but the last: "" passes a field
    // by, " " ticks the box the Tab reached.
    std::vector<std::string> keys;
    // Main-table column -> stored text.
    std::map<std::string, std::string> main;
    // The expense lines typed (摘要, 类别, 金额), in row order.
    std::vector<std::vector<std::string>> lines;
};

struct Form {
    const char* title; // as the home page lists it (the file name without .dxt)
    Bill (*bill)(int n);
};

std::string Pick(const std::vector<std::string>& values, int n)
{
    return values[static_cast<size_t>(n) % values.size()];
}

// Values that recur and hold one another, so that the history list opens.
const std::vector<std::string> kPayees = {"ACME Trading", "ACME Tools", "Beta Supplies", "ACME"};
const std::vector<std::string> kAccounts = {"6222 0001", "6222 0002", "6222 0001 9"};

std::string Amount(int n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", 100 + n * 7, (n * 13 + 5) % 100);
    return text;
}

std::string Date(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "2024-03-%02d", n % 28 + 1);
    return text;
}

Bill Cheque(int n)
{
    const std::string purpose = Pick({"Goods", "Goods and freight", "Rent", "Freight"}, n);
    Bill b;
    b.keys = {Date(n), Pick(kPayees, n), Amount(n), purpose, Pick(kAccounts, n)};
    b.main = {{"出票日期", Date(n)}, {"收款人", Pick(kPayees, n)}, {"金额", Amount(n)},
              {"用途", purpose}, {"出票人账号", Pick(kAccounts, n)}};
    return b;
}

Bill Voucher(int n)
{
    const std::string payer = Pick({"North Mill", "North Mill Ltd", "South Port"}, n);
    Bill b;
    b.keys = {payer, Pick(kPayees, n), Pick(kAccounts, n), Pick(kAccounts, n + 1), Amount(n), Date(n)};
    b.main = {{"出票人全称", payer},          {"收款人全称", Pick(kPayees, n)}, {"出票人账号", Pick(kAccounts, n)},
              {"收款人账号", Pick(kAccounts, n + 1)}, {"金额", Amount(n)},      {"日期", Date(n)}};
    return b;
}

Bill Expense(int n)
{
    constexpr int kRows = 5;
    Bill b;
    const std::string claimant = Pick({"Wang", "Wang Li", "Zhao"}, n);
    const std::string department = Pick({"Sales", "Sales East", "Finance"}, n);
    b.keys = {claimant, department};
    const int filled = 1 + n % 3;
    for (int r = 0; r < filled; ++r) {
        std::vector<std::string> line = {Pick({"Taxi", "Taxi to airport", "Hotel", "Meals"}, n + r),
                                         Pick({"Travel", "Travel abroad", "Office"}, n + r), Amount(n + 3 * r)};
        b.keys.insert(b.keys.end(), line.begin(), line.end());
        b.lines.push_back(line);
    }
    for (int cell = 0; cell < 3 * (kRows - filled); ++cell)
        b.keys.push_back("");
    // 现金 on even bills, 转账 (the box after it) on odd ones.
    if (n % 2)
        b.keys.push_back("");
    b.keys.push_back(" ");
    b.main = {{"报销人", claimant}, {"部门", department}, {"付款方式", n % 2 ? "转账" : "现金"}};
    return b;
}

Bill PasswordCheque(int n)
{
    char number[16];
    std::snprintf(number, sizeof number, "%08d", 10203000 + n);
    const std::string business = Pick({"Transfer", "Transfer out", "Payroll"}, n);
    Bill b;
    // The password is the device's to compute: the clerk leaves it empty.
    b.keys = {Date(n), number, Pick(kAccounts, n), business, Amount(n)};
    b.main = {{"日期", Date(n)}, {"号码", number}, {"账号", Pick(kAccounts, n)}, {"业务", business},
              {"金额", Amount(n)}, {"密码", ""}};
    return b;
}

// Keys as the clerk's fingers send them: one press and release after another, with
// nothing waited for in between. Each key (not a modifier) sent is counted, so that a
// clerk who keeps pace with the screen can wait until the program has taken them.
int keysSent = 0;
void Strike(const char* key, bool shift = false)
{
    if (shift)
        xinput::Press("Shift_L");
    xinput::Press(key);
    xinput::Release(key);
    ++keysSent;
    if (shift)
        xinput::Release("Shift_L");
}

void Control(const char* key)
{
    xinput::Press("Control_L");
    Strike(key);
    xinput::Release("Control_L");
}

void Text(const std::string& text)
{
    const std::map<char, std::pair<const char*, bool>> named = {
        {' ', {"space", false}}, {'.', {"period", false}}, {'-', {"minus", false}}};
    for (const char c : text) {
        const auto it = named.find(c);
        const char plain[2] = {c, 0};
        if (it != named.end())
            Strike(it->second.first, it->second.second);
        else
            Strike(plain, c >= 'A' && c <= 'Z');
    }
}

// Counts the popup lists (tool-tip windows) that drop down while the bills are typed.
class PopupCounter : public QObject
{
public:
    PopupCounter() { qApp->installEventFilter(this); }
    ~PopupCounter() override { qApp->removeEventFilter(this); }
    int shown = 0;
    // Releases of keys other than modifiers that reached a window of the program.
    int keysTaken = 0;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease && qobject_cast<QWindow*>(object)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            keysTaken += key != Qt::Key_Shift && key != Qt::Key_Control;
        }
        auto* widget = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && widget && widget->isWindow() &&
            (widget->windowFlags() & Qt::WindowType_Mask) == Qt::ToolTip && widget->parentWidget())
            ++shown;
        return false;
    }
};

class RoadX : public RunnerWorkspaceTest
{
protected:
    // Starts the program and opens the sample from the home page, a click on its
    // icon, then Enter; the keyboard is on the form then.
    void OpenSample(const char* sampleTitle, CMainClient** opened)
    {
        Install();
        SetRunnerWorkspaceFactory(&CreateRunnerWorkspace);
        ASSERT_TRUE(Start());
        QWidget* frame = app->MainFrame();
        ASSERT_TRUE(ShowAndActivate(frame));
        const std::wstring title = QString::fromUtf8(sampleTitle).toStdWString();
        const int index = ViewIndexOf(title);
        ASSERT_GE(index, 0) << sampleTitle;
        RECT r;
        ASSERT_TRUE(View()->GetItemRect(index, &r));
        QWidget* view = View();
        xinput::Click(view->mapToGlobal(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2)));
        xinput::Chord({"Return"});
        ASSERT_TRUE(WaitFor([&] { return !Frame()->IsHomePageShown(); })) << "the template did not open";
        CMainClient* client = Workspace(frame);
        ASSERT_NE(client, nullptr);
        IDoxPageWindow* window = client->PageView()->PageWindow();
        ASSERT_TRUE(WaitFor([&] { return window->GetHwnd()->isAncestorOf(QApplication::focusWidget()); }))
            << "the keyboard is not on the form after opening";
        *opened = client;
    }

    // The clerk corrects a bill watching the screen: each step's keys, then a wait
    // until the program has taken them.
    void Steps(const std::vector<std::function<void()>>& steps)
    {
        PopupCounter keys;
        keysSent = 0;
        for (const auto& step : steps) {
            step();
            ASSERT_TRUE(WaitFor([&] { return keys.keysTaken >= keysSent; })) << "keys not taken";
        }
        xinput::Settle();
    }

    void Road(const Form& sample)
    {
        DOX_REQUIRE_XSERVER();
        CMainClient* client = nullptr;
        ASSERT_NO_FATAL_FAILURE(OpenSample(sample.title, &client));

        PopupCounter lists;
        keysSent = 0;
        std::vector<Bill> bills;
        for (int n = 0; n < kBills; ++n)
            bills.push_back(sample.bill(n));
        // The clerk's hands run on a timer, which also fires inside the modal loop of a
        // history list that drops down: each tick sends the next keys, and nothing is
        // waited for. Every other bill goes one value a tick, each once the program has
        // taken the keys before it, so the list opens and closes field by field as a
        // clerk who watches the screen sees it; the others go in one
        // tick each, typed ahead of the screen as a quick clerk does. A bill ends with
        // Ctrl+S and Ctrl+N, and the next bill's first key comes right behind them.
        size_t bill = 0;
        size_t value = 0;
        QTimer hands;
        QObject::connect(&hands, &QTimer::timeout, [&] {
            if (bill >= bills.size()) {
                hands.stop();
                return;
            }
            const std::vector<std::string>& keys = bills[bill].keys;
            const bool ahead = bill % 2 == 1;
            if (!ahead && lists.keysTaken < keysSent)
                return;
            do {
                if (value)
                    Strike("Tab");
                Text(keys[value]);
                ++value;
            } while (ahead && value < keys.size());
            if (value == keys.size()) {
                Control("s");
                Control("n");
                ++bill;
                value = 0;
            }
        });
        hands.start(0);
        ASSERT_TRUE(WaitFor([&] { return !hands.isActive(); }, 60000)) << "the clerk did not get through";
        xinput::Settle();
        EXPECT_TRUE(WaitFor([&] { return client->List()->GetItemCount() == kBills; }))
            << client->List()->GetItemCount() << " bills listed";
        // The recurring values had the history list drop down all along.
        EXPECT_GE(lists.shown, kBills / 4) << "the history list opened " << lists.shown << " times";
        Check(sample, bills);
    }

    // One bill more, typed blind and printed at once with Ctrl+P. The plug-in asks
    // whether to compute the missing password and the clerk answers n; the print dialog
    // that follows is left with Esc. Every bill is stored as typed, the passwords empty.
    void PrintAnsweringNo(const Form& sample)
    {
        std::vector<Bill> bills;
        for (int n = 0; n <= kBills; ++n)
            bills.push_back(sample.bill(n));
        const std::vector<std::string>& keys = bills.back().keys;
        for (size_t value = 0; value < keys.size(); ++value) {
            if (value)
                Strike("Tab");
            Text(keys[value]);
        }
        auto titled = [](const char* title) {
            return [title](QWidget* dialog) { return dialog->windowTitle() == QString::fromUtf8(title); };
        };
        // The window manager's part, giving each dialog the keyboard, is the test's here.
        auto key = [](const char* name) {
            return [name](QWidget* dialog) {
                ShowAndActivate(dialog);
                Strike(name);
            };
        };
        doxtest::ModalKey no(titled("KQ密码器联机计算"), key("n"));
        doxtest::ModalKey print(titled("打印"), key("Escape"));
        Control("p");
        ASSERT_TRUE(WaitFor([&] { return no.Done() && print.Done(); }, 20000))
            << "no question, or no print dialog";
        EXPECT_TRUE(no.answered) << "n left the question open: " << no.captions.join(u' ').toStdString();
        EXPECT_TRUE(print.answered);
        Check(sample, bills);
    }

    void Check(const Form& sample, const std::vector<Bill>& bills)
    {
        Db db(DataDir() / "doxcore.db");
        std::vector<std::string> columns;
        for (const auto& [column, value] : bills[0].main)
            columns.push_back(column);
        const bool lines = !bills[0].lines.empty() || std::string(sample.title) == "费用报销单";
        if (lines)
            columns.push_back("合计");
        const std::string table = db.TableWith(columns);
        ASSERT_FALSE(table.empty()) << "no bill table with the sample's columns";
        std::string select = "select id";
        for (const std::string& column : columns)
            select += ", ifnull(\"" + column + "\", '')";
        const auto rows = db.Rows(select + " from \"" + table + "\" order by id");
        ASSERT_EQ(rows.size(), bills.size());
        const std::string lineTable = lines ? db.TableWith({"parentId", "摘要", "类别", "金额"}) : "";
        for (size_t b = 0; b < bills.size(); ++b) {
            SCOPED_TRACE("bill " + std::to_string(b + 1));
            for (size_t c = 0; c + (lines ? 1 : 0) < columns.size(); ++c)
                EXPECT_EQ(rows[b][c + 1], bills[b].main.at(columns[c])) << columns[c];
            if (!lines)
                continue;
            const auto stored = db.Rows("select ifnull(摘要, ''), ifnull(类别, ''), ifnull(金额, '') from \"" +
                                        lineTable + "\" where parentId = " + rows[b][0] +
                                        " and (ifnull(摘要, '') <> '' or ifnull(类别, '') <> '' or "
                                        "ifnull(金额, '') <> '') order by row");
            ASSERT_EQ(stored.size(), bills[b].lines.size());
            double sum = 0;
            for (size_t l = 0; l < stored.size(); ++l) {
                EXPECT_EQ(stored[l], bills[b].lines[l]) << "line " << l;
                sum += std::stod(bills[b].lines[l][2]);
            }
            char total[32];
            std::snprintf(total, sizeof total, "%.2f", sum);
            EXPECT_EQ(rows[b].back(), total) << "合计";
        }
    }

    // The one bill stored in the table with these columns: column -> text, NULL for
    // a column without a value.
    std::map<std::string, std::string> StoredBill(const std::vector<std::string>& columns)
    {
        Db db(DataDir() / "doxcore.db");
        const std::string table = db.TableWith(columns);
        std::string select = "select id";
        for (const std::string& column : columns)
            select += ", ifnull(\"" + column + "\", 'NULL')";
        const auto rows = db.Rows(select + " from \"" + table + "\"");
        std::map<std::string, std::string> bill;
        if (rows.size() != 1) {
            ADD_FAILURE() << rows.size() << " bills stored";
            return bill;
        }
        bill["id"] = rows[0][0];
        for (size_t c = 0; c < columns.size(); ++c)
            bill[columns[c]] = rows[0][c + 1];
        return bill;
    }
};

TEST_F(RoadX, TransferCheque)
{
    Road({"转账支票", &Cheque});
}

TEST_F(RoadX, DepositVoucher)
{
    Road({"银行进账单", &Voucher});
}

TEST_F(RoadX, ExpenseClaim)
{
    Road({"费用报销单", &Expense});
}

TEST_F(RoadX, PasswordCheque)
{
    const Form sample{"支付密码支票", &PasswordCheque};
    Road(sample);
    if (!HasFatalFailure())
        PrintAnsweringNo(sample);
}

// Every line amount typed, then emptied again before the bill is saved: no line
// carries an amount, so the total and its capitals show nothing and nothing is
// stored for them (the last amount was kept, saved and printed).
TEST_F(RoadX, ExpenseClaimWithEveryLineAmountEmptiedHasNoTotal)
{
    DOX_REQUIRE_XSERVER();
    CMainClient* client = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSample("费用报销单", &client));
    const std::vector<std::vector<std::string>> lines = {
        {"Taxi", "Travel", "50.00"}, {"Hotel", "Travel", "80.00"}, {"Meals", "Office", "45.25"}};
    std::vector<std::function<void()>> steps = {[] {
        Text("Wang");
        Strike("Tab");
        Text("Sales");
        Strike("Tab");
    }};
    for (const auto& line : lines)
        steps.push_back([line] {
            for (const std::string& value : line) {
                Text(value);
                Strike("Tab");
            }
        });
    // Back to each amount, the last first: Shift+Tab selects it, BackSpace empties it.
    for (size_t l = 0; l < lines.size(); ++l)
        steps.push_back([l] {
            for (int i = 0; i < (l == 0 ? 1 : 3); ++i)
                Strike("Tab", true);
            Strike("BackSpace");
        });
    steps.push_back([] {
        Strike("Tab");
        Control("s");
    });
    ASSERT_NO_FATAL_FAILURE(Steps(steps));
    ASSERT_TRUE(WaitFor([&] { return client->List()->GetItemCount() == 1; })) << "the bill was not saved";
    IDoxValue* total = client->PageView()->PageWindow()->GetPage()->GetFieldValue(L"主表.合计", 0);
    EXPECT_TRUE(total && total->GetType() == 0) << "the total still shows " << (total ? total->GetNumber() : 0);

    const auto bill = StoredBill({"报销人", "合计"});
    EXPECT_EQ(bill.at("合计"), "NULL");
    Db db(DataDir() / "doxcore.db");
    const auto stored = db.Rows("select 摘要, ifnull(金额, 'NULL') from \"" +
                                db.TableWith({"parentId", "摘要", "金额"}) + "\" where parentId = " +
                                bill.at("id") + " and 摘要 is not null order by row");
    ASSERT_EQ(stored.size(), lines.size());
    for (size_t l = 0; l < lines.size(); ++l)
        EXPECT_EQ(stored[l], (std::vector<std::string>{lines[l][0], "NULL"})) << "line " << l;
}

// An 80-digit account number in a box that holds fewer: the keys past the box are
// refused, what the box shows is what is stored, and nothing spills into another
// field. The amount keeps its two decimals.
TEST_F(RoadX, AnAccountNumberLongerThanItsBoxIsStoredAsShown)
{
    DOX_REQUIRE_XSERVER();
    CMainClient* client = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSample("转账支票", &client));
    std::string digits;
    for (int i = 0; i < 80; ++i)
        digits += static_cast<char>('0' + (i * 7 + 3) % 10);
    ASSERT_NO_FATAL_FAILURE(Steps({[] {
                                             for (const char* value : {"2024-03-05", "ACME", "1007.3", "Rent"}) {
                                                 Text(value);
                                                 Strike("Tab");
                                             }
                                         },
                                         [&] { Text(digits); }, [] { Control("s"); }}));
    ASSERT_TRUE(WaitFor([&] { return client->List()->GetItemCount() == 1; })) << "the bill was not saved";
    const auto bill = StoredBill({"出票日期", "收款人", "金额", "用途", "出票人账号"});
    EXPECT_EQ(bill.at("出票日期"), "2024-03-05");
    EXPECT_EQ(bill.at("收款人"), "ACME");
    EXPECT_EQ(bill.at("金额"), "1007.30");
    EXPECT_EQ(bill.at("用途"), "Rent");
    const std::string& account = bill.at("出票人账号");
    EXPECT_GE(account.size(), 20u) << account;
    EXPECT_LT(account.size(), digits.size()) << account;
    EXPECT_EQ(digits.substr(0, account.size()), account);
}

} // namespace
} // namespace runnertest
