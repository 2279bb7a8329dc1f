// The bill workspace on a real template and bill database: bills typed into the
// fill-in window, saved, listed, searched, selected, deleted and printed to PDF, the
// page setup kept in the database, and a database that refuses to write.

#include "SampleWorkspace.h"

#include "CPageSetupDlg.h"
#include "CPrintDlg.h"
#include "DoxCore.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxPlusIn.h"
#include "IDoxValue.h"
#include "PaintCount.h"
#include "PdfWords.h"
#include "Prompter.h"
#include "TestSupport.h"
#include "WorkspaceViews.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QElapsedTimer>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <optional>

namespace
{

using namespace wstest;
using dox::platform::ScriptedPrompter;

const wchar_t kPayee[] = L"主表.收款人";
const wchar_t kAmount[] = L"主表.金额";
const wchar_t kPurpose[] = L"主表.用途";

// The voucher: three fields in fill-in order; the second page has one.
std::vector<SamplePage> SamplePages()
{
    return {{L"进账单",
             2100,
             990,
             {{L"收款人", L"文本", {200, -150, 1000, -210}},
              {L"金额", L"数值", {1200, -150, 1800, -210}},
              {L"用途", L"文本", {200, -400, 1400, -460}}}},
            {L"回单", 2100, 990, {{L"备注", L"文本", {200, -200, 1000, -260}}}}};
}

std::string Utf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

// Paths as wide texts, whatever the process's locale.
std::wstring W(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string()).toStdWString();
}

class WorkspaceTest : public WorkspaceFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(MakeWorkspace(900, 700, 900));
        templatePath_ = W(dir_ / "进账单.dxt");
        ASSERT_TRUE(WriteSampleTemplate(core_, templatePath_, SamplePages()));
    }

    bool Open() { return Open(templatePath_); }
    bool Open(const std::wstring& path)
    {
        ScriptedPrompter quiet;
        dox::platform::ScopedPrompter scope(&quiet);
        const bool opened = workspace_->OpenTemplateDocument(path);
        EXPECT_TRUE(quiet.messages.empty()) << Utf8(quiet.messages.empty() ? L"" : quiet.messages[0].text);
        return opened;
    }

    CVoucherView* List() { return Client()->List(); }

    // Lets the event loop run until the list holds every bill.
    bool WaitListed()
    {
        return QTest::qWaitFor([this] { return !List()->IsLoading(); }, 20000);
    }

    void Run(unsigned command) { EXPECT_TRUE(workspace_->OnCmdMsg(command, nullptr)) << command; }

    std::wstring Shown(const wchar_t* field) { return FieldText(field); }

    // Types into the fields in fill-in order: Enter opens the first editor, Tab commits
    // and goes on to the next field's editor, Enter commits the last (unless the last
    // editor is to stay open). Chinese arrives through the input method.
    void TypeBill(const std::vector<QString>& texts, bool commitLast = true)
    {
        QWidget* client = nullptr;
        ASSERT_NO_FATAL_FAILURE(BeginTyping(&client));
        for (size_t i = 0; i < texts.size(); ++i) {
            ASSERT_EQ(Window()->IsEditing(), 1) << i;
            QInputMethodEvent event;
            event.setCommitString(texts[i]);
            QCoreApplication::sendEvent(client, &event);
            if (i + 1 < texts.size() || commitLast)
                QTest::keyClick(client, i + 1 < texts.size() ? Qt::Key_Tab : Qt::Key_Return);
        }
        EXPECT_EQ(Window()->IsEditing(), commitLast ? 0 : 1);
    }

    void FillBill(const wchar_t* payee, const wchar_t* amount, const wchar_t* purpose)
    {
        Run(wscmd::kNewBill);
        EXPECT_EQ(Page()->SetFieldText(kPayee, 0, payee), 1);
        EXPECT_EQ(Page()->SetFieldText(kAmount, 0, amount), 1);
        EXPECT_EQ(Page()->SetFieldText(kPurpose, 0, purpose), 1);
        Run(wscmd::kSaveBill);
    }

    std::vector<std::wstring> RowIds()
    {
        std::vector<std::wstring> ids;
        for (int row = 0; row < List()->GetItemCount(); ++row)
            ids.push_back(List()->GetItemText(row, 0));
        return ids;
    }

    // The database as the sqlite3 tool prints it.
    QString Dump()
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {QString::fromStdString((dir_ / "doxcore.db").string()), ".dump"});
        EXPECT_TRUE(sqlite.waitForFinished(10000));
        return QString::fromUtf8(sqlite.readAllStandardOutput());
    }

    // Runs SQL on the database through a connection of its own.
    void Sql(const char* sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir_ / "doxcore.db").string().c_str(), &db), SQLITE_OK);
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    // The bill table of the first page: the one with its payee column.
    // Bill 1 typed ("第一张"), bills 2 ... n stored straight into the table: payee
    // "收款人<n>", amount "<n>.25", purpose "用途<n mod 7>". The template is closed after.
    bool StoreManyBills(int bills)
    {
        if (!Open())
            return false;
        FillBill(L"第一张", L"1", L"x");
        workspace_->CloseTemplateDocument();
        const std::string table = MainTable();
        if (table.empty())
            return false;
        Sql(("with recursive n(x) as (select 2 union all select x + 1 from n where x < " + std::to_string(bills) +
             ") insert into \"" + table +
             "\" (收款人, 金额, 用途) select '收款人' || x, x || '.25', '用途' || (x % 7) from n")
                .c_str());
        return true;
    }

    std::string MainTable()
    {
        sqlite3* db = nullptr;
        std::string name;
        if (sqlite3_open((dir_ / "doxcore.db").string().c_str(), &db) == SQLITE_OK) {
            sqlite3_exec(
                db, "select name from sqlite_master where type = 'table' and sql like '%收款人%'",
                [](void* out, int, char** values, char**) {
                    *static_cast<std::string*>(out) = values[0];
                    return 0;
                },
                &name, nullptr);
        }
        sqlite3_close(db);
        return name;
    }

    // Makes every bill table refuse writes (as a database that became read-only), or
    // takes that back.
    void RefuseWrites(bool refuse)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((dir_ / "doxcore.db").string().c_str(), &db), SQLITE_OK);
        std::vector<std::string> tables;
        sqlite3_exec(
            db, "select name from sqlite_master where type = 'table' and name not like 'sqlite_%'",
            [](void* out, int, char** values, char**) {
                static_cast<std::vector<std::string>*>(out)->push_back(values[0]);
                return 0;
            },
            &tables, nullptr);
        sqlite3_close(db);
        ASSERT_FALSE(tables.empty());
        std::string sql;
        for (size_t i = 0; i < tables.size(); ++i) {
            for (const char* kind : {"insert", "update", "delete"}) {
                const std::string name = "refuse_" + std::string(kind) + std::to_string(i);
                sql += refuse ? "create trigger " + name + " before " + kind + " on \"" + tables[i] +
                                    "\" begin select raise(abort, 'attempt to write a readonly database'); end;"
                              : "drop trigger " + name + ";";
            }
        }
        Sql(sql.c_str());
    }

    QString PdfPath(const wchar_t* pageName) const
    {
        return QString::fromStdString((dir_ / "Documents").string()) + u'/' + QString::fromWCharArray(pageName) +
               QStringLiteral(".pdf");
    }

    std::wstring templatePath_;
};

TEST_F(WorkspaceTest, OpeningShowsOneTabPerPageAndAnEmptyBill)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(workspace_->GetTabsNum(), 2);
    EXPECT_EQ(workspace_->GetTabLabel(0), L"进账单");
    EXPECT_EQ(workspace_->GetTabLabel(1), L"回单");
    EXPECT_EQ(host_->title, L"进账单.dxt");
    EXPECT_EQ(host_->recent, std::vector<std::wstring>{templatePath_});
    // No bills yet: the columns and the search classes.
    EXPECT_EQ(List()->GetItemCount(), 0);
    std::vector<std::wstring> columns;
    for (int c = 0; c < List()->GetColumnCount(); ++c)
        columns.push_back(List()->GetColumnText(c));
    EXPECT_EQ(columns, (std::vector<std::wstring>{L"序号", L"收款人", L"金额", L"用途"}));
    CSearchCtrl* search = pane_->SearchBox();
    ASSERT_EQ(search->GetSearchClassCount(), 5);
    EXPECT_TRUE(search->isEnabled());
    EXPECT_EQ(Page()->GetRecordId() <= 0, true);

    // Opening it again, by any name of the same file, only starts a new bill; a file
    // whose name differs in letter case only is another template and is opened.
    EXPECT_TRUE(workspace_->OpenTemplateDocument(templatePath_));
    const std::wstring upper = W(dir_ / "进账单.DXT");
    ASSERT_TRUE(WriteSampleTemplate(core_, upper, {{L"回执", 2100, 990, {{L"备注", L"文本", {200, -200, 1000, -260}}}}}));
    EXPECT_TRUE(Open(upper));
    ASSERT_NE(Page(), nullptr);
    EXPECT_EQ(Page()->GetName(), std::wstring(L"回执"));
    EXPECT_EQ(host_->title, L"进账单.DXT");
    const size_t opened = host_->recent.size();
    EXPECT_TRUE(workspace_->OpenTemplateDocument(W(dir_ / "." / "进账单.DXT")));
    EXPECT_EQ(host_->recent.size(), opened);

    // A template the core refuses goes home.
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    const std::wstring missing = W(dir_ / "无此模板.dxt");
    EXPECT_FALSE(workspace_->OpenTemplateDocument(missing));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.rfind(L"打开失败! ", 0), 0u) << Utf8(prompts.messages[0].text);
    EXPECT_EQ(prompts.messages[0].type, 16u);
    EXPECT_EQ(host_->homePages, 1);
    EXPECT_FALSE(workspace_->IsTemplateOpen());
}

// A clerk who opens a template, or picks another page's tab, types into the form at
// once: the keyboard is in the fill-in window, wherever it was before, and Enter opens
// the first field.
TEST_F(WorkspaceTest, TheKeyboardIsOnTheFormAfterOpeningAndAfterAPageChange)
{
    workspace_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(workspace_.get()));
    auto enterOpensAField = [&](const char* step) {
        SCOPED_TRACE(step);
        QWidget* client = PageClient(Window());
        ASSERT_NE(client, nullptr);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus == client || Window()->GetHwnd()->isAncestorOf(focus) || focus == Window()->GetHwnd());
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(Window()->IsEditing(), 1);
        QTest::keyClick(focus, Qt::Key_Escape);
    };
    List()->setFocus();
    ASSERT_TRUE(Open());
    enterOpensAField("opened");

    List()->setFocus();
    ScriptedPrompter quiet;
    dox::platform::ScopedPrompter scope(&quiet);
    workspace_->SetActiveTab(1);
    ASSERT_EQ(Client()->PageView()->PageIndex(), 1);
    enterOpensAField("second page");
}

TEST_F(WorkspaceTest, TypedBillIsSavedListedAndKeptWhenTheRowChanges)
{
    ASSERT_TRUE(Open());
    TypeBill({QStringLiteral("北京朝阳收款单位"), QStringLiteral("1234.5"), QStringLiteral("货款")});
    EXPECT_EQ(Shown(kPayee), L"北京朝阳收款单位");
    Run(wscmd::kSaveBill);
    EXPECT_EQ(RowIds(), std::vector<std::wstring>{L"00000001"});
    EXPECT_EQ(List()->GetFocusItem(), 0);
    EXPECT_EQ(List()->GetItemText(0, 1), L"北京朝阳收款单位");
    EXPECT_TRUE(Dump().contains(QStringLiteral("北京朝阳收款单位")));

    // Saving an unchanged bill writes nothing and leaves the list as it is.
    Run(wscmd::kSaveBill);
    EXPECT_EQ(RowIds(), std::vector<std::wstring>{L"00000001"});

    FillBill(L"上海浦东分行", L"88", L"运费");
    EXPECT_EQ(RowIds(), (std::vector<std::wstring>{L"00000001", L"00000002"}));
    EXPECT_EQ(List()->GetFocusItem(), 1);

    // A change to bill 2, then a click on row 1: bill 2 is saved first, bill 1 shows.
    ASSERT_EQ(Page()->SetFieldText(kPurpose, 0, L"运费及保险"), 1);
    List()->SetFocusItem(0);
    EXPECT_EQ(Shown(kPayee), L"北京朝阳收款单位");
    EXPECT_EQ(List()->GetItemText(1, 3), L"运费及保险");
    EXPECT_TRUE(Dump().contains(QStringLiteral("运费及保险")));

    // An emptied new bill stores nothing: no row takes the focus in its place.
    Run(wscmd::kNewBill);
    Run(wscmd::kSaveBill);
    EXPECT_EQ(List()->GetItemCount(), 2);
    EXPECT_EQ(List()->GetFocusItem(), -1);

    // Switching to the second page and back keeps each page's list.
    workspace_->SetActiveTab(1);
    EXPECT_EQ(List()->GetItemCount(), 0);
    EXPECT_EQ(List()->GetColumnText(1), L"备注");
    workspace_->SetActiveTab(0);
    ASSERT_TRUE(WaitListed());
    EXPECT_EQ(List()->GetItemCount(), 2);

    // Closing the template saves the changed bill in place.
    List()->SetFocusItem(1);
    ASSERT_EQ(Page()->SetFieldText(kPayee, 0, L"上海浦东支行"), 1);
    workspace_->CloseTemplateDocument();
    EXPECT_EQ(host_->title, L"");
    ASSERT_TRUE(Open());
    ASSERT_TRUE(WaitListed());
    EXPECT_EQ(RowIds(), (std::vector<std::wstring>{L"00000001", L"00000002"}));
    EXPECT_EQ(List()->GetItemText(1, 1), L"上海浦东支行");
}

TEST_F(WorkspaceTest, SearchHidesTheBillsThatDoNotMatch)
{
    ASSERT_TRUE(Open());
    FillBill(L"北京分行", L"100", L"货款");
    FillBill(L"上海分行", L"200", L"运费");
    FillBill(L"北京东城", L"300", L"运费");
    struct Case {
        int classIndex; // 0 all fields, 1 "序号", 2 "收款人", ...
        const wchar_t* text;
        std::vector<int> visible;
    };
    const Case cases[] = {
        {0, L"北京", {1, 0, 1}},
        {0, L"运费", {0, 1, 1}},
        {2, L"运费", {0, 0, 0}},
        {1, L"00000002", {0, 1, 0}},
        {0, L"", {1, 1, 1}},
    };
    CSearchCtrl* search = pane_->SearchBox();
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        search->SelectSearchClass(c.classIndex, 0);
        search->SetSearchStr(c.text, 1);
        std::vector<int> visible;
        for (int row = 0; row < 3; ++row)
            visible.push_back(List()->IsItemVisible(row));
        EXPECT_EQ(visible, c.visible);
    }
}

TEST_F(WorkspaceTest, ASearchNeverSavesOrReloadsTheBillOnThePage)
{
    ASSERT_TRUE(Open());
    FillBill(L"北京分行", L"100", L"货款");
    FillBill(L"上海分行", L"200", L"运费");
    CSearchCtrl* search = pane_->SearchBox();
    search->SelectSearchClass(0, 0);

    // A changed stored bill: the search shows and hides rows, the change stays unsaved
    // on the page, and the bill keeps the focus while its row is shown.
    List()->SetFocusItem(0);
    ASSERT_EQ(Page()->SetFieldText(kPurpose, 0, L"改过的用途"), 1);
    for (const wchar_t* text : {L"北", L"北京", L"上海", L""}) {
        SCOPED_TRACE(Utf8(text));
        search->SetSearchStr(text, 1);
        EXPECT_EQ(Shown(kPurpose), L"改过的用途");
        EXPECT_NE(Page()->IsRecordModified(), 0);
        EXPECT_EQ(List()->GetItemText(0, 3), L"货款");
        EXPECT_EQ(List()->GetFocusItem(), List()->IsItemVisible(0) ? 0 : -1);
    }
    EXPECT_FALSE(Dump().contains(QStringLiteral("改过的用途")));

    // A new bill being typed, its editor still open: the search commits nothing,
    // stores nothing and leaves the editor where it is.
    Run(wscmd::kNewBill);
    TypeBill({QStringLiteral("新来的收款人")}, false);
    ASSERT_EQ(Window()->IsEditing(), 1);
    search->SetSearchStr(L"分行", 1);
    EXPECT_EQ(Window()->IsEditing(), 1);
    EXPECT_EQ(List()->GetItemCount(), 2);
    EXPECT_FALSE(Dump().contains(QStringLiteral("新来的收款人")));
    EXPECT_EQ(List()->GetFocusItem(), -1);
}

TEST_F(WorkspaceTest, AListOfManyBillsHoldsThemAllInOrderAndPaintsTheFirstScreenFirst)
{
    const int bills = 3000;
    ASSERT_TRUE(StoreManyBills(bills));

    // Every paint of the rows while the list fills counts the rows it held.
    struct PaintProbe : QObject {
        CVoucherView* list = nullptr;
        std::vector<int> rowsAtPaint;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && list)
                rowsAtPaint.push_back(list->GetItemCount());
            return false;
        }
    } probe;
    probe.list = List();
    List()->GetClient()->installEventFilter(&probe);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(workspace_.get()));
    probe.rowsAtPaint.clear();
    ASSERT_TRUE(Open());
    // The open reads the columns and no bill: the input that opened the list is
    // answered before the first screen of rows is read.
    EXPECT_EQ(List()->GetItemCount(), 0);
    EXPECT_GT(List()->GetColumnCount(), 1);
    EXPECT_TRUE(List()->IsLoading());
    ASSERT_TRUE(WaitListed());
    List()->GetClient()->removeEventFilter(&probe);

    ASSERT_EQ(List()->GetItemCount(), bills);
    for (int row : {0, 1, 1234, bills - 1}) {
        wchar_t id[16];
        std::swprintf(id, 16, L"%08d", row + 1);
        EXPECT_EQ(List()->GetItemText(row, 0), id) << row;
        EXPECT_EQ(List()->GetItemData(row), static_cast<uint64_t>(row + 1)) << row;
        EXPECT_EQ(List()->GetItemText(row, 1),
                  row == 0 ? std::wstring(L"第一张") : L"收款人" + std::to_wstring(row + 1));
    }
    // The first rows painted are a screen's, not every bill.
    const auto firstRows =
        std::find_if(probe.rowsAtPaint.begin(), probe.rowsAtPaint.end(), [](int n) { return n > 0; });
    ASSERT_NE(firstRows, probe.rowsAtPaint.end());
    EXPECT_LT(*firstRows, bills);

    // Sorting, ticking and searching reach every bill.
    List()->HeaderClick(0);
    List()->HeaderClick(0);
    EXPECT_EQ(List()->GetItemText(0, 0), L"00003000");
    List()->SetCheckAll(1);
    EXPECT_EQ(List()->GetCheckCount(), bills);
    List()->SetCheckAll(0);
    pane_->SearchBox()->SelectSearchClass(0, 0);
    pane_->SearchBox()->SetSearchStr(L"用途3", 1);
    int shown = 0;
    for (int row = 0; row < bills; ++row)
        shown += List()->IsItemVisible(row);
    int matching = 0;
    for (int x = 2; x <= bills; ++x)
        matching += x % 7 == 3;
    EXPECT_EQ(shown, matching);
}

TEST_F(WorkspaceTest, BillsThatComeInWhileTheListIsSearchedSortedAndTickedFollowEachChoice)
{
    const int bills = 3000;
    ASSERT_TRUE(StoreManyBills(bills));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(workspace_.get()));
    ASSERT_TRUE(Open());
    // Only the first screen is in; the rest come from the event loop.
    ASSERT_TRUE(List()->IsLoading());
    ASSERT_LT(List()->GetItemCount(), bills);

    // The choices are made before the rest come in, and a bill is saved meanwhile.
    pane_->SearchBox()->SelectSearchClass(0, 0);
    pane_->SearchBox()->SetSearchStr(L"用途3", 1);
    List()->HeaderClick(0);
    List()->HeaderClick(0); // descending
    Run(wscmd::kCheckAll);
    FillBill(L"新来的", L"9", L"用途3");
    ASSERT_TRUE(WaitListed());

    // Every bill is listed once, newest first, and the search and the ticks cover the
    // bills that came after them.
    ASSERT_EQ(List()->GetItemCount(), bills + 1);
    int shown = 0;
    for (int row = 0; row < List()->GetItemCount(); ++row) {
        const uint64_t id = List()->GetItemData(row);
        ASSERT_EQ(id, static_cast<uint64_t>(bills + 1 - row)) << row;
        const bool matches = id == 1 ? false : id == static_cast<uint64_t>(bills + 1) || id % 7 == 3;
        EXPECT_EQ(List()->IsItemVisible(row), matches ? 1 : 0) << id;
        shown += matches;
    }
    // The saved bill was ticked by no one; every other bill shown was.
    EXPECT_EQ(List()->GetCheckCount(), shown - 1);
    EXPECT_EQ(List()->IsItemChecked(0), 0);
    EXPECT_EQ(List()->IsItemChecked(1), 0); // bill 3000: 3000 % 7 == 4, hidden
    EXPECT_EQ(List()->IsItemChecked(List()->FindItemData(2999)), 1);
}

TEST_F(WorkspaceTest, ARunOverTheTickedBillsStartedWhileTheyComeInPrintsEveryOne)
{
    const int bills = 300;
    ASSERT_TRUE(StoreManyBills(bills));
    ASSERT_TRUE(Open());
    ASSERT_TRUE(List()->IsLoading());
    Run(wscmd::kCheckAll);
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    OnNextDialog dialog([&](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
    Run(wscmd::kContinuousPrint);
    ASSERT_TRUE(dialog.Opened());
    EXPECT_FALSE(List()->IsLoading());
    EXPECT_EQ(List()->GetCheckCount(), bills);
    EXPECT_EQ(pdftest::PageCount(PdfPath(L"进账单")), bills);
}

TEST_F(WorkspaceTest, TickedBillsPrintInListOrderEachWithItsOwnValuesAtTheOffsets)
{
    ASSERT_TRUE(Open());
    const wchar_t* bills[][3] = {{L"Alpha", L"111", L"Apples"}, {L"Bravo", L"222", L"Bolts"},
                                 {L"Charlie", L"333", L"Cables"}, {L"Delta", L"444", L"Drums"}};
    for (const auto& bill : bills)
        FillBill(bill[0], bill[1], bill[2]);
    ASSERT_EQ(List()->GetItemCount(), 4);

    // Where the core puts a bill's texts without offsets.
    ASSERT_EQ(Page()->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1);
    std::map<QString, pdftest::Word> reference;
    for (const pdftest::Word& word : pdftest::ReadWords(PdfPath(L"进账单")))
        reference[word.text] = word;
    ASSERT_TRUE(reference.count(QStringLiteral("Delta")));
    // The run below then writes the page's own file name again.
    ASSERT_TRUE(QFile::remove(PdfPath(L"进账单")));

    // The page's setup: its own paper and offsets of 5 mm right and 3 mm down.
    PageSetupRecord& setup = Client()->PageView()->Setup();
    setup.set = 1;
    setup.PaperSize = 256;
    setup.PaperWidth = 2100;
    setup.PaperHeight = 990;
    setup.LeftOffset = 50;
    setup.TopOffset = 30;

    // Nothing ticked: the message and no dialog.
    {
        ScriptedPrompter prompts;
        dox::platform::ScopedPrompter scope(&prompts);
        OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 2)); });
        Run(wscmd::kContinuousPrint);
        QTest::qWait(100);
        EXPECT_FALSE(dialog.Opened());
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, L"请勾选需要打印的票据。");
        EXPECT_EQ(prompts.messages[0].type, 64u);
    }

    // Bill 3 is on screen with an unsaved change; bills 1, 2 and 4 are ticked.
    List()->SetFocusItem(2);
    ASSERT_EQ(Page()->SetFieldText(kPurpose, 0, L"Changed"), 1);
    for (int row : {3, 0, 1})
        List()->SetCheckItem(row, 1);
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    bool continuous = false;
    QString hint;
    OnNextDialog dialog([&](QWidget* d) {
        auto* print = dynamic_cast<CPrintDlg*>(d);
        continuous = print && print->continuous;
        hint = print ? print->Hint() : QString();
        EXPECT_TRUE(ClickButton(d, 1));
    });
    // What the operator sees while the run goes: the focus row and the bill on the page.
    std::vector<std::pair<int, std::wstring>> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const std::pair<int, std::wstring> now{List()->GetFocusItem(), Shown(kPayee)};
        if (dialog.Opened() && (seen.empty() || seen.back() != now))
            seen.push_back(now);
    });
    watch.start(0);
    Run(wscmd::kContinuousPrint);
    watch.stop();
    EXPECT_TRUE(dialog.Opened());
    EXPECT_TRUE(continuous);
    EXPECT_EQ(hint, QStringLiteral("连打勾选的 3 张票据。"));
    // Each printed bill had the focus and was on the page, in the order of the list.
    const std::vector<std::pair<int, std::wstring>> followed = {{0, L"Alpha"}, {1, L"Bravo"}, {3, L"Delta"}};
    EXPECT_EQ(seen, followed);
    EXPECT_EQ(List()->GetFocusItem(), 2);

    // No failure; only where the print went.
    const QString pdf = PdfPath(L"进账单");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"已打印到文件：" + pdf.toStdWString());
    EXPECT_EQ(prompts.messages[0].type, 64u);

    EXPECT_EQ(pdftest::PageCount(pdf), 3);
    std::vector<std::vector<QString>> pages(3);
    for (const pdftest::Word& word : pdftest::ReadWords(pdf)) {
        ASSERT_LT(word.page, 3);
        pages[static_cast<size_t>(word.page)].push_back(word.text);
        // The same texts of another bill sit at the same places; check by field.
        const auto sameField = [&](const QString& text) -> const pdftest::Word* {
            for (const auto& bill : bills) {
                for (int f = 0; f < 3; ++f) {
                    if (QString::fromWCharArray(bill[f]) == text)
                        return &reference[QString::fromWCharArray(bills[3][f])];
                }
            }
            return nullptr;
        };
        const pdftest::Word* expected = sameField(word.text);
        ASSERT_NE(expected, nullptr) << word.text.toStdString();
        EXPECT_NEAR(word.xMin, expected->xMin + 5.0, 0.2) << word.text.toStdString();
        EXPECT_NEAR(word.yMin, expected->yMin + 3.0, 0.2) << word.text.toStdString();
    }
    const std::vector<std::vector<QString>> wanted = {{"Alpha", "111", "Apples"}, {"Bravo", "222", "Bolts"},
                                                      {"Delta", "444", "Drums"}};
    for (size_t p = 0; p < 3; ++p) {
        std::vector<QString> words = pages[p];
        std::vector<QString> expected = wanted[p];
        std::sort(words.begin(), words.end());
        std::sort(expected.begin(), expected.end());
        // Amounts print in the number's own format; match on their digits.
        for (QString& w : words)
            w.remove(QStringLiteral(".00"));
        EXPECT_EQ(words, expected) << p;
    }
    // The bill on screen was saved before the run and shows again.
    EXPECT_EQ(Shown(kPayee), L"Charlie");
    EXPECT_EQ(Shown(kPurpose), L"Changed");
    EXPECT_EQ(List()->GetItemText(2, 3), L"Changed");

    // A page spacing no paper can have is refused, and the message says why.
    setup.PageSpacing = 1000000;
    ScriptedPrompter refused;
    dox::platform::ScopedPrompter refusedScope(&refused);
    OnNextDialog again([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
    Run(wscmd::kContinuousPrint);
    ASSERT_EQ(refused.messages.size(), 1u);
    EXPECT_EQ(refused.messages[0].text.rfind(L"准备打印失败! 页间距 100000.0 毫米超出范围", 0), 0u)
        << Utf8(refused.messages[0].text);
}

// On a real desktop the list hears of a focus change between the bills of a run (the
// focus comes back to it after the print dialog, through the events the run lets by):
// the bill that was on screen still comes back after the run.
TEST_F(WorkspaceTest, AFocusChangeDuringAContinuousRunLeavesTheShownBillToComeBack)
{
    ASSERT_TRUE(StoreManyBills(6));
    ASSERT_TRUE(Open());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(workspace_.get()));
    List()->SetFocusItem(4);
    ASSERT_EQ(Shown(kPayee), L"收款人5");
    List()->SetCheckAll(1);
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
    int told = 0;
    QTimer focusBack;
    QObject::connect(&focusBack, &QTimer::timeout, [&] {
        if (!dialog.Opened() || told > 3)
            return;
        ++told;
        List()->SetFocusItem(List()->GetFocusItem());
    });
    focusBack.start(0);
    Run(wscmd::kContinuousPrint);
    focusBack.stop();
    ASSERT_TRUE(dialog.Opened());
    EXPECT_GT(told, 0);
    EXPECT_EQ(pdftest::PageCount(PdfPath(L"进账单")), 6);
    EXPECT_EQ(List()->GetFocusItem(), 4);
    EXPECT_EQ(Shown(kPayee), L"收款人5");
}

TEST_F(WorkspaceTest, ALongContinuousRunPaintsTenTimesASecondAtMostAndShowsTheRestoredBillAfterIt)
{
    // Long enough to last well past the first frame (a tenth of a second) on a fast
    // machine.
    const int bills = 10000;
    ASSERT_TRUE(StoreManyBills(bills));
    ASSERT_TRUE(Open());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(workspace_.get()));
    ASSERT_TRUE(WaitListed());
    ASSERT_EQ(List()->GetItemCount(), bills);
    List()->SetFocusItem(4);
    List()->SetCheckAll(1);

    doxtest::PaintCount probe;
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    QElapsedTimer run;
    OnNextDialog dialog([&](QWidget* d) {
        List()->GetClient()->installEventFilter(&probe);
        run.start();
        EXPECT_TRUE(ClickButton(d, 1));
    });
    prompts.onMessage = [&](const ScriptedPrompter::Message&) { List()->GetClient()->removeEventFilter(&probe); };
    Run(wscmd::kContinuousPrint);
    const qint64 ms = run.elapsed();
    ASSERT_TRUE(dialog.Opened());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"已打印到文件：" + PdfPath(L"进账单").toStdWString());
    EXPECT_EQ(pdftest::PageCount(PdfPath(L"进账单")), bills);
    // The list showed the run, but no more than ten times a second.
    EXPECT_GE(probe.paints, 1);
    EXPECT_LE(probe.paints, ms / 100 + 4) << ms << " ms";

    // After the run the list and the page paint again, with the bill that was on screen.
    EXPECT_TRUE(Client()->updatesEnabled());
    EXPECT_EQ(List()->GetFocusItem(), 4);
    EXPECT_EQ(Shown(kPayee), L"收款人5");
    probe.paints = 0;
    List()->GetClient()->installEventFilter(&probe);
    List()->GetClient()->update();
    QApplication::processEvents();
    List()->GetClient()->removeEventFilter(&probe);
    EXPECT_GE(probe.paints, 1);
}

TEST_F(WorkspaceTest, DeletingTickedRowsRemovesTheirRecords)
{
    ASSERT_TRUE(Open());
    for (const wchar_t* payee : {L"一号", L"二号", L"三号", L"四号"})
        FillBill(payee, L"1", L"x");
    List()->SetCheckItem(1, 1);
    List()->SetCheckItem(3, 1);
    ScriptedPrompter prompts;
    prompts.answers = {6};
    dox::platform::ScopedPrompter scope(&prompts);
    Run(wscmd::kDeleteBills);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"确实要删除勾选的 2 项票据吗?");
    EXPECT_EQ(RowIds(), (std::vector<std::wstring>{L"00000001", L"00000003"}));
    const QString dump = Dump();
    EXPECT_TRUE(dump.contains(QStringLiteral("一号")));
    EXPECT_FALSE(dump.contains(QStringLiteral("二号")));
    EXPECT_FALSE(dump.contains(QStringLiteral("四号")));
    EXPECT_EQ(List()->GetFocusItem(), -1);

    // Only a focus row: asked once by its number; No keeps it.
    List()->SetFocusItem(0);
    prompts.messages.clear();
    prompts.answers = {7};
    Run(wscmd::kDeleteBills);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"确实要删除票据 “00000001” 吗?");
    EXPECT_EQ(List()->GetItemCount(), 2);

    // The Delete key in the list does the same.
    List()->setFocus();
    prompts.messages.clear();
    prompts.answers = {6};
    QTest::keyClick(List(), Qt::Key_Delete);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, L"确实要删除票据 “00000001” 吗?");
    EXPECT_EQ(RowIds(), (std::vector<std::wstring>{L"00000003"}));
}

TEST_F(WorkspaceTest, ABillTheDatabaseRefusesStaysOnThePage)
{
    ASSERT_TRUE(Open());
    FillBill(L"已存", L"5", L"first");
    Run(wscmd::kNewBill);
    TypeBill({QStringLiteral("未存单位"), QStringLiteral("77")});
    // The database takes no more writes.
    RefuseWrites(true);

    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    Run(wscmd::kSaveBill);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.rfind(L"保存票据失败! ", 0), 0u) << Utf8(prompts.messages[0].text);
    EXPECT_EQ(prompts.messages[0].type, 16u);
    EXPECT_EQ(List()->GetItemCount(), 1);

    // Another row, printing and the other tab all keep the typed bill on the page.
    List()->SetFocusItem(0);
    Run(wscmd::kPrintBill);
    workspace_->SetActiveTab(1);
    EXPECT_EQ(workspace_->GetActiveTab(), 0);
    EXPECT_EQ(List()->GetFocusItem(), -1);
    EXPECT_EQ(Shown(kPayee), L"未存单位");
    EXPECT_EQ(Page()->IsRecordModified(), 1);
    EXPECT_EQ(prompts.messages.size(), 4u);
    EXPECT_FALSE(QFile::exists(PdfPath(L"进账单")));

    // A page setup the database cannot keep is reported too.
    {
        OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
        Run(wscmd::kPageSetup);
        EXPECT_TRUE(dialog.Opened());
    }
    ASSERT_EQ(prompts.messages.size(), 5u);
    EXPECT_EQ(prompts.messages[4].text.rfind(L"保存页面设置失败! ", 0), 0u) << Utf8(prompts.messages[4].text);

    // Once the database takes writes again the bill is saved whole.
    RefuseWrites(false);
    Run(wscmd::kSaveBill);
    EXPECT_EQ(RowIds(), (std::vector<std::wstring>{L"00000001", L"00000002"}));
    EXPECT_TRUE(Dump().contains(QStringLiteral("未存单位")));
}

TEST_F(WorkspaceTest, PageSetupIsKeptWithThePageAndLandscapePrintsLandscape)
{
    ASSERT_TRUE(Open());
    FillBill(L"Landscape", L"9", L"x");
    ScriptedPrompter prompts;
    dox::platform::ScopedPrompter scope(&prompts);
    {
        OnNextDialog dialog([](QWidget* d) {
            auto* papers = d->findChild<QComboBox*>(QStringLiteral("1002"));
            ASSERT_NE(papers, nullptr);
            // The template's own size comes first.
            EXPECT_EQ(papers->itemText(0), QStringLiteral("模板页面"));
            const int a4 = papers->findText(QStringLiteral("A4"));
            ASSERT_GT(a4, 0);
            papers->setCurrentIndex(a4);
            emit papers->activated(a4);
            d->findChild<QRadioButton*>(QStringLiteral("1004"))->click();
            auto* left = d->findChild<QLineEdit*>(QStringLiteral("1013"));
            left->setText(QStringLiteral("12.5"));
            emit left->textEdited(left->text());
            EXPECT_TRUE(ClickButton(d, 1));
        });
        Run(wscmd::kPageSetup);
        EXPECT_TRUE(dialog.Opened());
    }
    EXPECT_TRUE(prompts.messages.empty());

    workspace_->CloseTemplateDocument();
    ASSERT_TRUE(Open());
    ASSERT_TRUE(WaitListed());
    const PageSetupRecord& setup = Client()->PageView()->Setup();
    EXPECT_EQ(setup.set, 1);
    EXPECT_EQ(setup.Orientation, 2);
    EXPECT_EQ(setup.PaperSize, 9);
    EXPECT_EQ(setup.PaperWidth, 2100);
    EXPECT_EQ(setup.PaperHeight, 2970);
    EXPECT_EQ(setup.LeftOffset, 125);

    List()->SetFocusItem(0);
    OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
    Run(wscmd::kPrintBill);
    EXPECT_TRUE(dialog.Opened());
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {PdfPath(L"进账单")});
    ASSERT_TRUE(info.waitForFinished(10000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(text);
    ASSERT_TRUE(size.hasMatch()) << text.toStdString();
    EXPECT_NEAR(size.captured(1).toDouble(), 841.89, 1.0);
    EXPECT_NEAR(size.captured(2).toDouble(), 595.28, 1.0);
}

} // namespace

namespace
{

// Pictures for the eye: the workspace with a filled bill under its list, and the print
// dialog. They go to DOX_SCREENSHOT_DIR when it is set.
QString ShotPath(const doxtest::TempDir& dir, const char* name)
{
    const QByteArray folder = qgetenv("DOX_SCREENSHOT_DIR");
    return folder.isEmpty() ? QString::fromStdString((dir / name).string())
                            : QString::fromLocal8Bit(folder) + u'/' + QLatin1String(name);
}

// The share of pixels in the rectangle that differ from its top-left pixel.
double Inked(const QImage& image, const QRect& area)
{
    const QRgb ground = image.pixel(area.topLeft());
    int inked = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            inked += image.pixel(x, y) != ground;
    return static_cast<double>(inked) / (area.width() * area.height());
}

TEST_F(WorkspaceTest, ScreenshotsOfTheFilledBillWithTheListAndOfThePrintDialog)
{
    ASSERT_TRUE(Open());
    FillBill(L"北京朝阳收款单位", L"1234.5", L"货款");
    FillBill(L"上海浦东分行", L"88", L"运费");
    List()->SetCheckItem(0, 1);
    List()->SetFocusItem(0);
    pane_->SearchBox()->SetSearchStr(L"", 0);
    QTest::qWait(50);

    QWidget frame;
    frame.resize(900, 730);
    pane_->setParent(&frame);
    pane_->setGeometry(0, 0, 900, 26);
    workspace_->setParent(&frame);
    workspace_->setGeometry(0, 28, 900, 700);
    frame.show();
    QTest::qWait(50);
    const QImage shot = frame.grab().toImage();
    ASSERT_TRUE(shot.save(ShotPath(dir_, "workspace.png")));
    // The list shows its rows and the page its texts: neither area is empty.
    const QRect listRows = List()->geometry().translated(workspace_->pos()).adjusted(40, 25, -40, -40);
    EXPECT_GT(Inked(shot, listRows.intersected(shot.rect())), 0.01);
    const QRect pageArea =
        Client()->PageView()->geometry().translated(workspace_->pos()).adjusted(10, 10, -10, -10);
    EXPECT_GT(Inked(shot, pageArea.intersected(shot.rect())), 0.01);
    workspace_->setParent(nullptr);
    pane_->setParent(nullptr);

    CPrintDlg dialog(L"PDF", false);
    dialog.show();
    QTest::qWait(50);
    const QImage printShot = dialog.grab().toImage();
    ASSERT_TRUE(printShot.save(ShotPath(dir_, "print_dialog.png")));
    EXPECT_EQ(printShot.pixel(5, 5), QColor(Qt::white).rgb()); // the header band

    PageSetupRecord& setup = Client()->PageView()->Setup();
    setup.LeftOffset = 200;
    setup.TopOffset = 100;
    setup.PageSpacing = 300;
    CPageSetupDlg pageSetup(setup, L"PDF");
    pageSetup.show();
    QTest::qWait(50);
    const QImage setupShot = pageSetup.grab().toImage();
    ASSERT_TRUE(setupShot.save(ShotPath(dir_, "page_setup.png")));
    auto* preview = pageSetup.findChild<QWidget*>(QStringLiteral("1015"));
    ASSERT_NE(preview, nullptr);
    EXPECT_GT(Inked(setupShot, preview->geometry().adjusted(10, 20, -10, -10)), 0.05);
}

} // namespace

namespace
{

TEST_F(WorkspaceTest, ABillMissingFromTheDatabaseIsReportedAndTheRunGoesOnWhenAsked)
{
    ASSERT_TRUE(Open());
    for (const wchar_t* payee : {L"Echo", L"Foxtrot", L"Golf"})
        FillBill(payee, L"1", L"x");
    Run(wscmd::kNewBill);
    for (int row = 0; row < 3; ++row)
        List()->SetCheckItem(row, 1);
    // Another program removed bill 2 behind the list's back.
    const std::string table = MainTable();
    ASSERT_FALSE(table.empty());
    Sql(("delete from \"" + table + "\" where id = 2").c_str());

    struct Case {
        int answer;
        int pages;
        std::vector<QString> printed;
    };
    const Case cases[] = {{6, 2, {"Echo", "Golf"}}, {7, 1, {"Echo"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        QFile::remove(PdfPath(L"进账单"));
        ScriptedPrompter prompts;
        prompts.answers = {c.answer};
        dox::platform::ScopedPrompter scope(&prompts);
        OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
        Run(wscmd::kContinuousPrint);
        // The question, then where the bills that did print went.
        ASSERT_EQ(prompts.messages.size(), 2u);
        EXPECT_EQ(prompts.messages[0].text.rfind(L"加载票据“00000002”失败! ", 0), 0u) << Utf8(prompts.messages[0].text);
        EXPECT_NE(prompts.messages[0].text.find(L"\n是否继续打印下一张?"), std::wstring::npos);
        EXPECT_EQ(prompts.messages[0].type, 36u);
        EXPECT_EQ(prompts.messages[1].text, L"已打印到文件：" + PdfPath(L"进账单").toStdWString());
        EXPECT_EQ(pdftest::PageCount(PdfPath(L"进账单")), c.pages);
        std::vector<QString> payees;
        for (const pdftest::Word& word : pdftest::ReadWords(PdfPath(L"进账单"))) {
            if (word.text != QLatin1String("1") && word.text != QLatin1String("x") && word.text != QLatin1String("1.00"))
                payees.push_back(word.text);
        }
        EXPECT_EQ(payees, c.printed);
    }
    // The empty new bill on the page stays empty.
    EXPECT_EQ(Shown(kPayee), L"");
}

} // namespace

namespace
{

// A plug-in that records its calls and answers as told; the bill's payee at the time
// of each call tells what the workspace had saved before it.
struct FakePlusIn : IDoxPlusIn {
    IDoxPage* page = nullptr;
    int configured = 1;
    int computeAnswer = 1;
    int checkAnswer = 1;
    std::vector<std::string> calls;
    ICommon* AddRef() override { return this; }
    void Release() override {}
    int Init(intptr_t) override { return 1; }
    int Configure(IDoxPage*) override { return 0; }
    int Compute(IDoxPage* p) override
    {
        calls.push_back("compute");
        // The password goes into the bill, as the device's answer would.
        p->SetFieldText(L"主表.用途", 0, L"密码123456");
        return computeAnswer;
    }
    int IsConfigured(IDoxPage*) override { return configured; }
    int CheckBeforePrint(IDoxPage*) override
    {
        calls.push_back("check");
        return checkAnswer;
    }
};

TEST_F(WorkspaceTest, CommandsAreEnabledByTheStateOfTheBillAndTheList)
{
    FakePlusIn plus;
    host_->plusIn = &plus;
    using namespace wscmd;
    auto enabled = [&](unsigned id) {
        bool on = false;
        EXPECT_TRUE(workspace_->OnCmdMsg(id, &on)) << id;
        return on;
    };
    // Nothing open: the bill commands are off.
    for (unsigned id : {kNewBill, kSaveBill, kSaveBillAsNew, kPageSetup, kPrintBill, kContinuousPrint, kCompute})
        EXPECT_FALSE(enabled(id)) << id;
    ASSERT_TRUE(Open());
    struct Step {
        const char* what;
        std::function<void()> act;
        std::map<unsigned, bool> expected;
    };
    const Step steps[] = {
        {"an empty new bill", [] {},
         {{kNewBill, true}, {kSaveBill, true}, {kPrintBill, false}, {kCompute, true}, {kCheckAll, false},
          {kUncheckAll, false}, {kDeleteBills, false}, {kEditCopy, false}}},
        {"typed into", [&] { Page()->SetFieldText(kPayee, 0, L"甲"); }, {{kPrintBill, true}}},
        {"saved: its row has the focus", [&] { Run(kSaveBill); },
         {{kPrintBill, true}, {kCheckAll, true}, {kDeleteBills, true}, {kUncheckAll, false}}},
        {"all ticked", [&] { Run(kCheckAll); }, {{kCheckAll, false}, {kUncheckAll, true}}},
        {"none ticked, a new bill", [&] { Run(kUncheckAll); Run(kNewBill); },
         {{kPrintBill, false}, {kDeleteBills, false}, {kCheckAll, true}}},
        {"a page without a field map", [&] { plus.configured = 0; }, {{kCompute, false}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        for (const auto& [id, on] : step.expected)
            EXPECT_EQ(enabled(id), on) << id;
    }
    EXPECT_FALSE(workspace_->OnCmdMsg(57600, nullptr)); // not the workspace's
}

TEST_F(WorkspaceTest, ThePlugInSeesASavedBillAndItsAnswerDecides)
{
    FakePlusIn plus;
    host_->plusIn = &plus;
    ASSERT_TRUE(Open());
    Page()->SetFieldText(kPayee, 0, L"乙公司");

    // Computing saves the bill first and the password after.
    Run(wscmd::kCompute);
    EXPECT_EQ(plus.calls, std::vector<std::string>{"compute"});
    ASSERT_EQ(List()->GetItemCount(), 1);
    EXPECT_EQ(List()->GetItemText(0, 3), L"密码123456");
    EXPECT_EQ(Page()->IsRecordModified(), 0);

    // Printing asks first; a refusal opens no print dialog.
    plus.checkAnswer = 0;
    {
        OnNextDialog refused([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 2)); });
        Run(wscmd::kPrintBill);
        QTest::qWait(60);
        EXPECT_FALSE(refused.Opened());
    }
    plus.checkAnswer = 1;
    OnNextDialog asked([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 2)); });
    Run(wscmd::kPrintBill);
    EXPECT_TRUE(asked.Opened());
    EXPECT_EQ(plus.calls, (std::vector<std::string>{"compute", "check", "check"}));
}

TEST_F(WorkspaceTest, TheSplitterStopsTenPixelsFromEitherEnd)
{
    ASSERT_TRUE(Open());
    CHSliderWnd* slider = Client()->Slider();
    const int height = Client()->height();
    struct Case {
        int dragBy;
        int expected;
    };
    const Case cases[] = {{-1000, 10}, {50, 60}, {5000, height - 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dragBy);
        const QPoint start(20, 0);
        QTest::mousePress(slider, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(0, c.dragBy)),
                         QPointF(slider->mapToGlobal(start + QPoint(0, c.dragBy))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &move);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, start + QPoint(0, c.dragBy));
        EXPECT_EQ(slider->Position(), c.expected);
        EXPECT_EQ(List()->height(), c.expected);
        EXPECT_EQ(Client()->PageView()->y(), c.expected + 1);
    }
}

} // namespace
