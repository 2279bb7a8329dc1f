// Bills printed the way the printing program prints them: a template in the bill
// database, a page runner attached to its page, bills stored and loaded back through
// IDoxPage, and the print job writing them into a PDF on the "PDF" printer. The PDF is
// read back with poppler's tools to find every field at its place on the paper.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "ByteStream.h"
#include "DevMode.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "PdfWords.h"
#include "TestSupport.h"

namespace
{

// Where a field prints, in 0.1 mm with y up (the template's units).
struct Place {
    int left, top;
};

constexpr Place kFigures{100, -100}; // amount in figures, "#,##0.00"
constexpr Place kCapital{100, -220}; // amount in Chinese capitals
constexpr Place kBoxes{1200, -100};  // the amount in cents, one digit per 6 mm box
constexpr int kBoxCount = 12;
constexpr int kBoxWidth = 60;
constexpr Place kDate{1200, -220};   // "YYYY年MM月DD日"
constexpr Place kPayee{100, -340};   // Chinese text
constexpr Place kSecret{1200, -340}; // not printable

struct Bill {
    const wchar_t* amount;
    const wchar_t* date;
    const wchar_t* payee;
    // What the paper must show.
    const char* figures;
    const char* capital;
    const char* cents;
    const char* dateText;
};

const Bill kBills[] = {
    {L"1234.5", L"2026-12-10", L"北京市朝阳区收款单位", "1,234.50", "壹仟贰佰叁拾肆元伍角整", "123450",
     "2026年12月10日"},
    {L"80", L"20270105", L"上海浦东发展公司", "80.00", "捌拾元整", "8000", "2027年01月05日"},
    {L"305006.07", L"2025-3-9", L"广州天河商贸", "305,006.07", "叁拾万伍仟零陆元零柒分", "30500607",
     "2025年03月09日"},
};

class PrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The PDF printer writes "<document name>.pdf" into the documents folder of HOME.
        home_.emplace("HOME", dir_.path().string());
        config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
        ASSERT_TRUE(QDir().mkpath(Documents()));
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
    }
    // The document goes before the core, also when a test stopped half-way.
    void TearDown() override
    {
        if (document_)
            document_->Release();
        if (core_)
            core_->Release();
    }

    QString Documents() const { return QString::fromStdString((dir_ / "Documents").string()); }
    // The file the PDF printer writes for the page "支票".
    QString PdfOf(const char* pageName = "支票") const
    {
        return Documents() + "/" + QString::fromUtf8(pageName) + ".pdf";
    }

    static DoxEditControl* AddEdit(DoxLayer* layer, Place at, int width, const wchar_t* field,
                                   const wchar_t* type, const wchar_t* format)
    {
        RECT rect{at.left, at.top, at.left + width, at.top - 60};
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        EXPECT_NE(edit, nullptr);
        if (!edit)
            return nullptr;
        EXPECT_TRUE(edit->DataAttribute().FieldName().SetValueText(field));
        EXPECT_TRUE(edit->DataAttribute().FieldType().SetValueText(type));
        EXPECT_TRUE(edit->Align().VAlignItem().SetValueText(L"顶部对齐"));
        if (format) {
            EXPECT_TRUE(edit->Format().Format().SetValueText(format));
        }
        return edit;
    }

    // A cheque page in the bill database with every kind of printed field.
    IDoxPage* MakeTemplate(const char* database = "doxcore.db")
    {
        const std::wstring db = (dir_ / database).wstring();
        document_ = core_->CreateConnection(db.c_str(), L"支票", 2100, 990);
        EXPECT_NE(document_, nullptr) << core_->GetLastErrorText();
        if (!document_)
            return nullptr;
        IDoxPage* page = document_->GetPage(0);
        DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);

        AddEdit(layer, kFigures, 800, L"金额", L"数值", L"#,##0.00");
        DoxEditControl* capital = AddEdit(layer, kCapital, 1000, L"大写", L"数值", L"<中文大写金额>");
        EXPECT_TRUE(capital->Font().FaceName().SetValueText(L"楷体"));
        EXPECT_TRUE(capital->Font().Size().SetValueText(L"12"));
        DoxEditControl* boxes = AddEdit(layer, kBoxes, kBoxCount * kBoxWidth, L"分", L"数值", L"X100");
        EXPECT_TRUE(boxes->Split().ColumnItem().SetValueText(std::to_wstring(kBoxCount).c_str()));
        EXPECT_TRUE(boxes->Split().Style().SetValueText(L"右端"));
        AddEdit(layer, kDate, 700, L"出票日期", L"日期", L"YYYY年MM月DD日");
        DoxEditControl* payee = AddEdit(layer, kPayee, 1000, L"收款人", L"文本", nullptr);
        EXPECT_TRUE(payee->Font().FaceName().SetValueText(L"宋体"));
        EXPECT_TRUE(payee->Font().Bold().SetValueText(L"是"));
        DoxEditControl* secret = AddEdit(layer, kSecret, 800, L"备注", L"文本", nullptr);
        EXPECT_TRUE(secret->Printable().SetValueText(L"否"));
        page->ViewAllLayers();
        return page;
    }

    static void Fill(IDoxPage* page, const Bill& bill)
    {
        ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, bill.amount), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.大写", 0, bill.amount), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.分", 0, bill.amount), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.出票日期", 0, bill.date), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.收款人", 0, bill.payee), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.备注", 0, L"SECRET"), 1);
    }

    // Stores every bill as a new record; their ids in order.
    static std::vector<int64_t> StoreBills(IDoxPage* page)
    {
        std::vector<int64_t> ids;
        for (const Bill& bill : kBills) {
            Fill(page, bill);
            EXPECT_EQ(page->SaveRecordAsNew(0), 1);
            ids.push_back(page->GetRecordId());
        }
        return ids;
    }

    doxtest::TempDir dir_;
    std::optional<doxtest::ScopedEnv> home_;
    std::optional<doxtest::ScopedEnv> config_;
    IDoxCore* core_ = nullptr;
    IDoxDocument* document_ = nullptr;
};

struct Expected {
    QString text;
    double xMm, yMm;
};

Expected At(const char* text, Place place, int dx = 0)
{
    return {QString::fromUtf8(text), (place.left + dx) / 10.0, -place.top / 10.0};
}

// What one bill must show on its sheet: each text where its field starts, each
// digit of the cents in its own box counted from the right.
std::vector<Expected> SheetOf(const Bill& bill, int dx = 0, int dy = 0)
{
    std::vector<Expected> sheet = {
        At(bill.figures, kFigures, dx),
        At(bill.capital, kCapital, dx),
        At(bill.dateText, kDate, dx),
        {QString::fromWCharArray(bill.payee), (kPayee.left + dx) / 10.0, -kPayee.top / 10.0}};
    const std::string cents = bill.cents;
    const int n = static_cast<int>(cents.size());
    for (int i = 0; i < n; ++i) {
        const int box = kBoxCount - n + i;
        sheet.push_back(At(cents.substr(static_cast<size_t>(i), 1).c_str(), kBoxes, box * kBoxWidth + dx));
    }
    for (Expected& e : sheet)
        e.yMm += dy / 10.0;
    return sheet;
}

void ExpectSheet(const std::vector<pdftest::Word>& words, int page, const std::vector<Expected>& sheet)
{
    std::vector<pdftest::Word> onPage;
    for (const pdftest::Word& w : words) {
        if (w.page == page)
            onPage.push_back(w);
    }
    for (const Expected& e : sheet) {
        // Several digits may be equal: the one nearest its place answers.
        const pdftest::Word* best = nullptr;
        for (const pdftest::Word& w : onPage) {
            if (w.text == e.text && (!best || std::abs(w.xMin - e.xMm) < std::abs(best->xMin - e.xMm)))
                best = &w;
        }
        ASSERT_NE(best, nullptr) << "page " << page << ": missing " << e.text.toStdString();
        EXPECT_NEAR(best->xMin, e.xMm, 0.2) << "page " << page << ": " << e.text.toStdString();
        EXPECT_NEAR(best->yMin, e.yMm, 0.2) << "page " << page << ": " << e.text.toStdString();
    }
    for (const pdftest::Word& w : onPage)
        EXPECT_NE(w.text, "SECRET") << "a not-printable field printed on page " << page;
}

} // namespace

TEST_F(PrintTest, StoredBillsPrintInOneJobAtTheirTemplatePlaces)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    auto runner = std::make_unique<DoxPageRunner>();
    ASSERT_EQ(runner->Attach(page), 1) << core_->GetLastErrorText();
    const std::vector<int64_t> ids = StoreBills(page);
    ASSERT_EQ(ids.size(), 3u);

    // Each bill comes back as it was stored.
    for (size_t i = 0; i < ids.size(); ++i) {
        ASSERT_EQ(page->LoadRecord(ids[i]), 1);
        EXPECT_EQ(page->GetRecordId(), ids[i]);
        EXPECT_STREQ(page->GetFieldValue(L"主表.收款人", 0)->GetText(), kBills[i].payee);
    }

    // Printed out of order, the bill that is not stored in between: it prints nothing.
    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 0) << "a second job while one is open";
    const std::wstring before = core_->GetLastErrorText();
    EXPECT_EQ(before, L"上一个打印任务还没有结束");
    EXPECT_EQ(page->PrintRecord(ids[2], 1), 1);
    EXPECT_EQ(page->PrintRecord(ids[2] + 100, 1), 0);
    EXPECT_EQ(page->PrintRecord(ids[0], 1), 1);
    EXPECT_EQ(page->PrintRecord(ids[1], 1), 1);
    EXPECT_EQ(page->EndPrintJob(), 1);
    EXPECT_EQ(page->EndPrintJob(), 0);
    EXPECT_EQ(std::wstring(core_->GetLastErrorText()), before);

    const QString pdf = PdfOf();
    ASSERT_EQ(pdftest::PageCount(pdf), 3);
    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    ExpectSheet(words, 0, SheetOf(kBills[2]));
    ExpectSheet(words, 1, SheetOf(kBills[0]));
    ExpectSheet(words, 2, SheetOf(kBills[1]));

    runner.reset();
}

TEST_F(PrintTest, PrintPutsTheShownBillOnEveryCopyMovedByTheOffset)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);
    Fill(page, kBills[1]);

    ASSERT_EQ(page->Print(L"PDF", nullptr, 50, 30, 2, 0, 1), 1);
    const QString pdf = PdfOf();
    ASSERT_EQ(pdftest::PageCount(pdf), 2);
    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    // x moves the fields right, y moves them down, both in 0.1 mm.
    for (int sheet = 0; sheet < 2; ++sheet)
        ExpectSheet(words, sheet, SheetOf(kBills[1], 50, 30));

    runner.Detach();
}

TEST_F(PrintTest, CopiesBelowOneStartNoDocument)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);
    Fill(page, kBills[0]);

    for (int copies : {0, -1, -5}) {
        SCOPED_TRACE(copies);
        EXPECT_EQ(page->Print(L"PDF", nullptr, 0, 0, copies, 0, 0), 0);
        EXPECT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, copies, 0), 0);
        EXPECT_NE(std::wstring(core_->GetLastErrorText()).find(L"打印份数"), std::wstring::npos)
            << "the refusal says why";
        EXPECT_FALSE(static_cast<DoxPage*>(page)->HasPrintJob());
        EXPECT_EQ(page->PrintRecord(0, 0), 0);
        EXPECT_EQ(page->EndPrintJob(), 0);
    }
    EXPECT_FALSE(QFile::exists(PdfOf())) << "a document was started";

    runner.Detach();
}

TEST_F(PrintTest, AJobWhoseStartFailedIsNotKept)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);
    const std::vector<int64_t> ids = StoreBills(page);

    // No such printer; a paper too long for the settings; a page spacing beyond any
    // paper either way; a PDF that cannot be written (a folder stands where the file
    // would go). Each refusal says why.
    DEVMODEW a4;
    a4.dmFields = DM_PAPERSIZE;
    a4.dmPaperSize = DMPAPER_A4;
    // Print has no extra length: only the paper that is too long still prints there.
    struct Failure {
        const char* why;
        const wchar_t* printer;
        const DEVMODEW* devMode;
        int extraLength;
        bool blockPdf;
        int printResult;
        const wchar_t* reason;
    } failures[] = {
        {"unknown printer", L"没有这台打印机", nullptr, 0, false, 0, L"打印机“没有这台打印机”不存在"},
        {"paper too long", L"PDF", &a4, 40000, false, 1, L"页间距 4000.0 毫米超出范围"},
        {"extreme page spacing", L"PDF", nullptr, 1000000, false, 1, L"页间距 100000.0 毫米超出范围"},
        {"negative page spacing", L"PDF", nullptr, -1000000, false, 1, L"页间距 -100000.0 毫米超出范围"},
        {"PDF not writable", L"PDF", nullptr, 0, true, 0, L"打印机“PDF”无法开始打印"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.why);
        if (f.blockPdf) {
            QFile::remove(PdfOf());
            ASSERT_TRUE(QDir().mkpath(PdfOf()));
        }
        EXPECT_EQ(page->BeginPrintJob(f.printer, f.devMode, 0, 0, f.extraLength, 1, 0), 0);
        EXPECT_NE(std::wstring(core_->GetLastErrorText()).find(f.reason), std::wstring::npos)
            << QString::fromWCharArray(core_->GetLastErrorText()).toStdString();
        EXPECT_FALSE(static_cast<DoxPage*>(page)->HasPrintJob());
        EXPECT_EQ(page->PrintRecord(ids[0], 1), 0);
        EXPECT_EQ(page->EndPrintJob(), 0);
        EXPECT_EQ(page->Print(f.printer, f.devMode, 0, 0, 1, 0, 0), f.printResult);
        if (f.blockPdf) {
            ASSERT_TRUE(QDir(PdfOf()).removeRecursively());
        }
    }

    // The page takes the next job: nothing of the failed ones stayed open.
    ASSERT_EQ(page->BeginPrintJob(L"PDF", &a4, 0, 0, 0, 2, 0), 1);
    EXPECT_EQ(page->PrintRecord(ids[1], 1), 1);
    EXPECT_EQ(page->EndPrintJob(), 1);
    const QString pdf = PdfOf();
    EXPECT_EQ(pdftest::PageCount(pdf), 2);
    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    ExpectSheet(words, 0, SheetOf(kBills[1]));
    ExpectSheet(words, 1, SheetOf(kBills[1]));

    runner.Detach();
}

TEST_F(PrintTest, AMissingDocumentsFolderIsMadeForThePdf)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);
    ASSERT_TRUE(QDir(Documents()).removeRecursively());
    EXPECT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1);
    EXPECT_EQ(pdftest::PageCount(PdfOf()), 1);
    runner.Detach();
}

TEST_F(PrintTest, APdfPrintNeverOverwritesAnEarlierOne)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);
    const std::vector<int64_t> ids = StoreBills(page);
    // A print, a run of bills, a print again: each in a file of its own.
    ASSERT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1);
    const std::string first = doxtest::ReadFileBytes(PdfOf().toStdString());
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    for (int64_t id : ids)
        ASSERT_EQ(page->PrintRecord(id, 1), 1);
    ASSERT_EQ(page->EndPrintJob(), 1);
    ASSERT_EQ(page->Print(L"PDF", nullptr, 0, 0, 2, 0, 0), 1);
    EXPECT_EQ(pdftest::PageCount(PdfOf()), 1);
    EXPECT_EQ(pdftest::PageCount(PdfOf("支票 (2)")), static_cast<int>(ids.size()));
    EXPECT_EQ(pdftest::PageCount(PdfOf("支票 (3)")), 2);
    EXPECT_EQ(doxtest::ReadFileBytes(PdfOf().toStdString()), first);
    runner.Detach();
}

TEST_F(PrintTest, AnOpenJobIsAbortedWhenItsRunnerOrPageGoes)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    auto runner = std::make_unique<DoxPageRunner>();
    ASSERT_EQ(runner->Attach(page), 1);
    const std::vector<int64_t> ids = StoreBills(page);
    const QString pdf = PdfOf();

    // The runner goes: the job cannot print or end any more, so it is aborted.
    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    ASSERT_EQ(page->PrintRecord(ids[0], 1), 1);
    runner->Detach();
    EXPECT_FALSE(static_cast<DoxPage*>(page)->HasPrintJob());
    EXPECT_FALSE(QFile::exists(pdf)) << "the pages of an aborted job were delivered";
    ASSERT_EQ(runner->Attach(page), 1);
    EXPECT_EQ(page->EndPrintJob(), 0);

    // The page goes with its document: the job is aborted and the runner let go.
    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    ASSERT_EQ(page->PrintRecord(ids[1], 1), 1);
    document_->Release();
    document_ = nullptr;
    EXPECT_FALSE(QFile::exists(pdf)) << "the pages of an aborted job were delivered";
    EXPECT_EQ(runner->GetPage(), nullptr);
    EXPECT_TRUE(runner->TabList().empty());
    runner.reset();

    // The printer is free for the next job.
    page = MakeTemplate("second.db");
    ASSERT_NE(page, nullptr);
    DoxPageRunner next;
    ASSERT_EQ(next.Attach(page), 1);
    Fill(page, kBills[2]);
    ASSERT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(page->PrintRecord(0, 0), 1);
    EXPECT_EQ(page->EndPrintJob(), 1);
    EXPECT_EQ(pdftest::PageCount(pdf), 1);
    next.Detach();
}

TEST_F(PrintTest, PrintWithBackgroundPutsThePictureUnderTheFields)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    auto* model = static_cast<DoxPage*>(page);
    // 200 x 100 pixels at 96 dpi: 52.9 x 26.5 mm at its natural size.
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(picture.save(&buffer, "PNG"));
    ASSERT_EQ(model->SetBackgroundImage(plat::ByteStream(png), L"blue.png"), 1);
    DoxPageRunner runner;
    ASSERT_EQ(runner.Attach(page), 1);

    // Points in 0.1 mm from the paper's corner, and whether each is blue.
    struct Case {
        const char* what;
        int stretch;
        int withBackground;
        std::vector<std::pair<QPoint, bool>> points;
    } cases[] = {
        {"natural size", 0, 1, {{{400, 200}, true}, {{600, 200}, false}, {{400, 300}, false}}},
        {"stretched", 1, 1, {{{400, 200}, true}, {{2000, 900}, true}}},
        {"without", 1, 0, {{{400, 200}, false}, {{2000, 900}, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        model->SetRead(model->PageId().c_str(), page->GetName(), model->Cx(), model->Cy(), model->Bpx(),
                       model->Bpy(), c.stretch, model->Bkpic().c_str());
        ASSERT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, c.withBackground), 1);
        // One pixel per 0.1 mm.
        const QString base = QString::fromStdString((dir_ / "sheet").string());
        QProcess render;
        render.start("pdftoppm", {"-r", "254", "-png", "-singlefile", PdfOf(), base});
        ASSERT_TRUE(render.waitForFinished(30000));
        ASSERT_EQ(render.exitCode(), 0);
        const QImage sheet(base + ".png");
        ASSERT_FALSE(sheet.isNull());
        for (const auto& [point, blue] : c.points) {
            const QColor colour = sheet.pixelColor(point);
            EXPECT_EQ(colour.blue() > 200 && colour.red() < 60, blue) << point.x() << "," << point.y();
        }
        // The next print would be numbered beside this one.
        QFile::remove(PdfOf());
    }

    runner.Detach();
}

TEST_F(PrintTest, APageThatCannotBindItsBillsKeepsNoRunner)
{
    IDoxPage* page = MakeTemplate();
    ASSERT_NE(page, nullptr);
    // Another program holds the bill database locked: the bill tables cannot be made.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ / "doxcore.db").string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    DoxPageRunner runner;
    EXPECT_EQ(runner.Attach(page), 0);
    EXPECT_NE(std::wstring(core_->GetLastErrorText()), L"");
    EXPECT_EQ(runner.GetPage(), nullptr);
    EXPECT_EQ(page->BeginPrintJob(L"PDF", nullptr, 0, 0, 0, 1, 0), 0);
    EXPECT_EQ(page->GetRecordId(), -1);

    // Once the lock is gone the page takes a runner and prints.
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(runner.Attach(page), 1) << core_->GetLastErrorText();
    Fill(page, kBills[0]);
    EXPECT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1);
    ExpectSheet(pdftest::ReadWords(PdfOf()), 0, SheetOf(kBills[0]));
    runner.Detach();
}
