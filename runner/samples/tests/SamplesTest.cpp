// The shipped samples as a clerk uses them: each is opened in the bill workspace,
// typed into through the fill-in window in its fill-in order, printed to PDF and the
// paper read back. The amount boxes must show one digit a cell in the middle of the
// cell, the capitals the same amount, a pre-printed form none of its labels, and the
// expense claim the sum of its rows.

#include "SampleWorkspace.h"

#include "CPrintDlg.h"
#include "DoxCheckControl.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxEditSplit.h"
#include "DoxLabelControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxTableControl.h"
#include "IDoxCore.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxValue.h"
#include "PdfWords.h"
#include "Prompter.h"
#include "TestSupport.h"
#include "WorkspaceViews.h"

#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>

namespace
{

namespace fs = std::filesystem;
using namespace wstest;

std::string Utf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

std::wstring W(const fs::path& path)
{
    return QString::fromStdString(path.string()).toStdWString();
}

fs::path ShippedSample(const char* fileName)
{
    return doxtest::BinDir() / ".." / "share" / "DoxKQRunner" / "templates" / fs::u8path(fileName);
}

// One stop of the clerk's Tab walk: text typed into the field's editor. A field that
// only shows a computed value is no stop: Tab passes it by.
struct Stop {
    const wchar_t* field; // the qualified name the stop must reach
    QString text;
    int row = 0; // the row of a table's field
};
Stop Type(const wchar_t* field, const char* text, int row = 0)
{
    return {field, QString::fromUtf8(text), row};
}

// A place on paper in millimetres from the page's top-left corner.
struct Span {
    double left, top, right, bottom;
    bool Holds(double x, double y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};
Span OnPaper(const RECT& r)
{
    return {r.left / 10.0, -r.top / 10.0, r.right / 10.0, -r.bottom / 10.0};
}
double MiddleX(const pdftest::Word& w) { return (w.xMin + w.xMax) / 2; }
double MiddleY(const pdftest::Word& w) { return (w.yMin + w.yMax) / 2; }

// The controls of the page's first layer of one kind.
template <class T> std::vector<T*> ControlsOf(IDoxPage* page, int kind)
{
    std::vector<T*> out;
    for (DoxControl* control : static_cast<DoxPage*>(page)->GetLayer(0)->Controls())
        if (control->GetKindId() == kind)
            out.push_back(static_cast<T*>(control));
    return out;
}

std::wstring BoundName(DoxEditControl* edit)
{
    return std::wstring(L"主表.") + edit->DataAttribute().FieldName().GetValueText();
}

class SamplesTest : public WorkspaceFixture
{
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeWorkspace(1000, 760, 1000)); }

    // Opens a copy of the shipped sample, as the clerk's library holds it.
    void Open(const char* fileName)
    {
        const fs::path copy = dir_ / "模板" / fs::u8path(fileName);
        fs::create_directories(copy.parent_path());
        fs::copy_file(ShippedSample(fileName), copy);
        dox::platform::ScriptedPrompter quiet;
        dox::platform::ScopedPrompter scope(&quiet);
        ASSERT_TRUE(workspace_->OpenTemplateDocument(W(copy)));
        ASSERT_TRUE(quiet.messages.empty()) << Utf8(quiet.messages[0].text);
    }

    std::wstring Value(const wchar_t* field, int row = 0) { return FieldText(field, row); }
    bool HasValue(const wchar_t* field, int row = 0)
    {
        IDoxValue* value = Page()->GetFieldValue(field, row);
        return value && value->GetType() != 0;
    }

    // Enter opens the editor of the field the page starts on; every stop is checked by
    // what reached the data: the typed text lands in the stop's field and nowhere
    // else. Tab goes on to the next stop.
    void Fill(const std::vector<Stop>& stops)
    {
        QWidget* client = nullptr;
        ASSERT_NO_FATAL_FAILURE(BeginTyping(&client));
        for (size_t i = 0; i < stops.size(); ++i) {
            const Stop& stop = stops[i];
            SCOPED_TRACE(Utf8(stop.field));
            ASSERT_EQ(Window()->IsEditing(), 1) << "stop " << i;
            EXPECT_FALSE(HasValue(stop.field, stop.row)) << "filled before its turn";
            QInputMethodEvent event;
            event.setCommitString(stop.text);
            QCoreApplication::sendEvent(client, &event);
            QTest::keyClick(client, Qt::Key_Tab);
            EXPECT_TRUE(HasValue(stop.field, stop.row)) << "the text did not reach the field";
        }
        // The walk wraps round to the first field.
        EXPECT_EQ(Window()->IsEditing(), 1);
        QTest::keyClick(client, Qt::Key_Escape);
    }

    // Prints the bill on screen through the print dialog to the PDF printer and
    // returns the words of the paper.
    std::vector<pdftest::Word> Print(const wchar_t* pageName)
    {
        dox::platform::ScriptedPrompter prompts;
        dox::platform::ScopedPrompter scope(&prompts);
        OnNextDialog dialog([](QWidget* d) { EXPECT_TRUE(ClickButton(d, 1)); });
        EXPECT_TRUE(workspace_->OnCmdMsg(wscmd::kPrintBill, nullptr));
        EXPECT_TRUE(dialog.Opened());
        // The only word after a good print is where the file went.
        const QString pdf = PdfPath(pageName);
        EXPECT_EQ(prompts.messages.size(), 1u);
        if (!prompts.messages.empty()) {
            EXPECT_EQ(prompts.messages[0].text, L"已打印到文件：" + pdf.toStdWString());
        }
        EXPECT_EQ(pdftest::PageCount(pdf), 1);
        return pdftest::ReadWords(pdf);
    }

    QString PdfPath(const wchar_t* pageName) const
    {
        return QString::fromStdString((dir_ / "Documents").string()) + u'/' + QString::fromWCharArray(pageName) +
               QStringLiteral(".pdf");
    }

    // The filled page and its paper, kept for a person to look at.
    void KeepPictures(const char* name, const wchar_t* pageName)
    {
        const QString folder = QStringLiteral("samples_screens");
        QDir().mkpath(folder);
        QTest::qWait(50);
        ASSERT_TRUE(workspace_->grab().toImage().save(folder + QStringLiteral("/%1_filled.png").arg(name)));
        const QImage paper = pdftest::RenderPage(PdfPath(pageName), folder + QStringLiteral("/%1_paper").arg(name));
        EXPECT_FALSE(paper.isNull());
    }

    // Every amount-box control of the page shows the amount, one digit a cell from
    // the right, each in the middle of its cell.
    void ExpectAmountInBoxes(const std::vector<pdftest::Word>& words, const QString& digits)
    {
        int checked = 0;
        for (DoxEditControl* edit : ControlsOf<DoxEditControl>(Page(), DoxKindEdit)) {
            const int cells = edit->Split().Columns();
            if (cells < 2)
                continue;
            ++checked;
            RECT r;
            edit->GetRect(&r);
            const Span boxes = OnPaper(r);
            const DoxSplitCells grid = DoxSplitCells::Of(r.right - r.left, cells);
            std::vector<QString> shown(static_cast<size_t>(cells));
            for (const pdftest::Word& word : words) {
                if (!boxes.Holds(MiddleX(word), MiddleY(word)))
                    continue;
                ASSERT_EQ(word.text.size(), 1) << "more than one character in a cell: " << word.text.toStdString();
                int cell = 0;
                while (cell + 1 < cells && r.left + grid.Boundary(cell + 1) <= MiddleX(word) * 10)
                    ++cell;
                const double left = (r.left + grid.Boundary(cell)) / 10.0;
                const double right = (r.left + grid.Boundary(cell + 1)) / 10.0;
                EXPECT_NEAR(MiddleX(word), (left + right) / 2, 0.3) << "cell " << cell << " " << word.text.toStdString();
                EXPECT_NEAR(MiddleY(word), (boxes.top + boxes.bottom) / 2, 0.5) << "cell " << cell;
                EXPECT_TRUE(shown[static_cast<size_t>(cell)].isEmpty()) << "two digits in cell " << cell;
                shown[static_cast<size_t>(cell)] = word.text;
            }
            QString expected;
            for (int i = 0; i < cells; ++i) {
                const int fromRight = cells - i;
                expected += fromRight <= digits.size() ? QString(digits[digits.size() - fromRight]) : QString();
            }
            QString read;
            for (const QString& s : shown)
                read += s;
            EXPECT_EQ(read, expected);
            // Nothing left of the first digit: the boxes hold the amount alone.
            for (int i = 0; i < cells - static_cast<int>(digits.size()); ++i)
                EXPECT_TRUE(shown[static_cast<size_t>(i)].isEmpty()) << "cell " << i;
        }
        EXPECT_GT(checked, 0) << "no amount boxes";
    }

    // The words inside a control's rectangle, left to right, joined.
    static QString TextIn(const std::vector<pdftest::Word>& words, DoxControl* control)
    {
        RECT r;
        control->GetRect(&r);
        const Span span = OnPaper(r);
        std::vector<const pdftest::Word*> inside;
        for (const pdftest::Word& word : words)
            if (span.Holds(MiddleX(word), MiddleY(word)))
                inside.push_back(&word);
        std::sort(inside.begin(), inside.end(), [](auto* a, auto* b) { return a->xMin < b->xMin; });
        QString text;
        for (const pdftest::Word* word : inside)
            text += word->text;
        return text;
    }

    // Every control that shows the field in capitals prints exactly these capitals.
    void ExpectCapitals(const std::vector<pdftest::Word>& words, const wchar_t* field, const wchar_t* capitals)
    {
        int checked = 0;
        for (DoxEditControl* edit : ControlsOf<DoxEditControl>(Page(), DoxKindEdit)) {
            if (BoundName(edit) != field || edit->Split().Columns() > 1)
                continue;
            if (std::wstring(edit->Format().Format().GetValueText()) != L"<中文大写金额>")
                continue;
            ++checked;
            EXPECT_EQ(TextIn(words, edit).toStdWString(), capitals);
        }
        EXPECT_EQ(checked, 1) << "capitals of " << Utf8(field);
    }

    // A pre-printed form: none of its labels reaches the paper, not even one character
    // of a label laid into cells.
    void ExpectNoLabels(const std::vector<pdftest::Word>& words)
    {
        QString all;
        for (const pdftest::Word& word : words)
            all += word.text + u' ';
        const auto labels = ControlsOf<DoxLabelControl>(Page(), DoxKindLabel);
        ASSERT_FALSE(labels.empty());
        for (DoxLabelControl* label : labels) {
            const QString text = QString::fromWCharArray(label->Text().GetValueText());
            EXPECT_FALSE(all.contains(text)) << text.toStdString();
            EXPECT_TRUE(TextIn(words, label).isEmpty()) << text.toStdString();
        }
    }
};

TEST_F(SamplesTest, TransferChequePrintsTheAmountInItsBoxesAndOnlyTheValues)
{
    Open("转账支票.dxt");
    Fill({Type(L"主表.出票日期", "2026-12-10"), Type(L"主表.收款人", "北京朝阳商贸有限公司"),
          Type(L"主表.金额", "12345.67"), Type(L"主表.用途", "货款"),
          Type(L"主表.出票人账号", "6222020200012345678")});
    EXPECT_EQ(Value(L"主表.收款人"), L"北京朝阳商贸有限公司");
    const auto words = Print(L"转账支票");
    KeepPictures("transfer_cheque", L"转账支票");
    ExpectAmountInBoxes(words, QStringLiteral("1234567"));
    ExpectCapitals(words, L"主表.金额", L"壹万贰仟叁佰肆拾伍元陆角柒分");
    ExpectNoLabels(words);
    QStringList texts;
    for (const pdftest::Word& word : words)
        texts << word.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("北京朝阳商贸有限公司")));
    EXPECT_TRUE(texts.contains(QStringLiteral("6222020200012345678")));
}

TEST_F(SamplesTest, PasswordChequeTakesTheAmountOnceForBoxesAndCapitals)
{
    Open("支付密码支票.dxt");
    Fill({Type(L"主表.日期", "2026-12-10"), Type(L"主表.号码", "10203040"), Type(L"主表.账号", "110200123456"),
          Type(L"主表.业务", "转账"), Type(L"主表.金额", "8000"),
          Type(L"主表.密码", "1234567890123456")});
    const auto words = Print(L"支票");
    KeepPictures("password_cheque", L"支票");
    ExpectAmountInBoxes(words, QStringLiteral("800000"));
    ExpectCapitals(words, L"主表.金额", L"捌仟元整");
    ExpectNoLabels(words);
}

TEST_F(SamplesTest, BothCopiesOfTheDepositSlipPrintTheirBill)
{
    Open("银行进账单.dxt");
    struct Copy {
        const wchar_t* page;
        const char* amount;
        const char* digits;
        const wchar_t* capitals;
    };
    const Copy copies[] = {{L"回单", "12345.67", "1234567", L"壹万贰仟叁佰肆拾伍元陆角柒分"},
                           {L"收账通知", "8000", "800000", L"捌仟元整"}};
    for (int tab = 0; tab < 2; ++tab) {
        const Copy& copy = copies[tab];
        SCOPED_TRACE(Utf8(copy.page));
        workspace_->SetActiveTab(tab);
        ASSERT_EQ(workspace_->GetTabLabel(tab), copy.page);
        Fill({Type(L"主表.出票人全称", "上海浦东贸易公司"), Type(L"主表.收款人全称", "北京朝阳商贸有限公司"),
              Type(L"主表.出票人账号", "310000123"), Type(L"主表.收款人账号", "110000456"),
              Type(L"主表.金额", copy.amount), Type(L"主表.日期", "2026-12-10")});
        const auto words = Print(copy.page);
        KeepPictures(tab == 0 ? "deposit_slip_1" : "deposit_slip_2", copy.page);
        ExpectAmountInBoxes(words, QString::fromUtf8(copy.digits));
        ExpectCapitals(words, L"主表.金额", copy.capitals);
        ExpectNoLabels(words);
    }
}

TEST_F(SamplesTest, ExpenseClaimSumsItsRowsUnderItsHeadingsAndPrintsTheTick)
{
    Open("费用报销单.dxt");
    Fill({Type(L"主表.报销人", "张三"), Type(L"主表.部门", "财务部"), Type(L"明细.摘要", "差旅费"),
          Type(L"明细.类别", "交通"), Type(L"明细.金额", "1234.5"), Type(L"明细.摘要", "午餐", 1),
          Type(L"明细.类别", "餐费", 1), Type(L"明细.金额", "86", 1), Type(L"明细.摘要", "打印纸", 2),
          Type(L"明细.类别", "办公", 2), Type(L"明细.金额", "300.25", 2)});
    // The rest of the rows stay empty: on to the total with Tab.
    QWidget* client = PageClient(Window());
    EXPECT_EQ(Value(L"主表.合计"), L"1620.75");
    // The totals take no input: Tab passes them by, on to the first payment box,
    // whose check-box editor takes the space bar.
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Window()->IsEditing(), 0) << "not on the check box";
    QTest::keyClick(client, Qt::Key_Space);
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Value(L"主表.付款方式"), L"现金");
    QTest::keyClick(client, Qt::Key_Escape);

    // The tick is stored with the bill and comes back with it.
    EXPECT_TRUE(workspace_->OnCmdMsg(wscmd::kSaveBill, nullptr));
    EXPECT_TRUE(workspace_->OnCmdMsg(wscmd::kNewBill, nullptr));
    EXPECT_EQ(Value(L"主表.付款方式"), L"");
    Client()->List()->SetFocusItem(0);
    EXPECT_EQ(Value(L"主表.付款方式"), L"现金");
    EXPECT_EQ(Value(L"主表.合计"), L"1620.75");

    const auto words = Print(L"报销单");
    KeepPictures("expense_claim", L"报销单");
    auto* table = ControlsOf<DoxTableControl>(Page(), DoxKindTable).at(0);
    // Each heading stands over its column, in the middle of it.
    const wchar_t* headings[] = {L"摘要", L"类别", L"金额"};
    for (int c = 0; c < 3; ++c) {
        RECT column;
        table->Column(c)->GetPaneRect(&column);
        const Span span = OnPaper(column);
        int found = 0;
        for (const pdftest::Word& word : words) {
            if (word.text.toStdWString() != headings[c] || MiddleY(word) > span.top)
                continue;
            ++found;
            EXPECT_NEAR(MiddleX(word), (span.left + span.right) / 2, 0.5) << Utf8(headings[c]);
        }
        EXPECT_EQ(found, 1) << Utf8(headings[c]);
    }
    // The amounts end at the right edge of their column; the total under them is
    // their sum, in figures and in capitals.
    RECT amountColumn;
    table->Column(2)->GetPaneRect(&amountColumn);
    const Span amounts = OnPaper(amountColumn);
    double sum = 0;
    int rows = 0;
    for (const pdftest::Word& word : words) {
        if (!amounts.Holds(MiddleX(word), MiddleY(word)) || word.text == QStringLiteral("金额"))
            continue;
        ++rows;
        sum += QString(word.text).remove(u',').toDouble();
        EXPECT_NEAR(word.xMax, amounts.right, 1.5) << word.text.toStdString();
        EXPECT_GT(word.xMin, (amounts.left + amounts.right) / 2) << word.text.toStdString();
    }
    EXPECT_EQ(rows, 3);
    EXPECT_NEAR(sum, 1620.75, 0.001);
    std::vector<DoxEditControl*> totals;
    for (DoxEditControl* edit : ControlsOf<DoxEditControl>(Page(), DoxKindEdit))
        if (BoundName(edit) == L"主表.合计" && std::wstring(edit->Format().Format().GetValueText()) == L"#,##0.00")
            totals.push_back(edit);
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(TextIn(words, totals[0]), QStringLiteral("1,620.75"));
    ExpectCapitals(words, L"主表.合计", L"壹仟陆佰贰拾元柒角伍分");
    // The ticked box prints its tick, the other one nothing.
    const auto boxes = ControlsOf<DoxCheckControl>(Page(), DoxKindCheck);
    ASSERT_EQ(boxes.size(), 2u);
    for (DoxCheckControl* box : boxes) {
        const bool cash = box->CheckValue().GetText() == L"现金";
        EXPECT_EQ(TextIn(words, box), cash ? QStringLiteral("√") : QString()) << Utf8(box->CheckValue().GetText());
    }
}

// Money in every sample is kept to fen: saved, it is listed with its two decimals,
// as the bill shows it, and not as 1007.3 (a slip in a bank list).
TEST_F(SamplesTest, EverySampleListsItsMoneyWithTwoDecimals)
{
    struct Case {
        const char* file;
        std::vector<std::pair<const wchar_t*, int>> cells; // each gets 1007.3, or 1000.3 below row 0
        const wchar_t* column;
        const wchar_t* listed;
    } cases[] = {
        {"转账支票.dxt", {{L"主表.金额", 0}}, L"金额", L"1007.30"},
        {"银行进账单.dxt", {{L"主表.金额", 0}}, L"金额", L"1007.30"},
        {"支付密码支票.dxt", {{L"主表.金额", 0}}, L"金额", L"1007.30"},
        {"费用报销单.dxt", {{L"明细.金额", 0}, {L"明细.金额", 1}}, L"合计", L"2007.60"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Open(c.file);
        for (const auto& [field, row] : c.cells)
            ASSERT_EQ(Page()->SetFieldText(field, row, row == 0 ? L"1007.3" : L"1000.3"), 1);
        ASSERT_TRUE(workspace_->OnCmdMsg(wscmd::kSaveBill, nullptr));
        CVoucherView* list = Client()->List();
        ASSERT_EQ(list->GetItemCount(), 1);
        int column = -1;
        for (int i = 0; i < list->GetColumnCount(); ++i)
            if (list->GetColumnText(i) == c.column)
                column = i;
        ASSERT_GE(column, 0);
        EXPECT_EQ(list->GetItemText(0, column), c.listed);
    }
}

} // namespace
