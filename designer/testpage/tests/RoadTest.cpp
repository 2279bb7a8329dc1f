// The whole road of a template author in the designer: a new template through the
// wizard with the page size of the PDF printer's A4 and a background picture, controls
// drawn and given formats in the property grid, a layer locked in the layer pane, the
// page tried and printed on the test page, saved and opened again.

#include "DesignerFixture.h"

#include "CDesignDoc.h"
#include "CMmEdit.h"
#include "CDesignPage.h"
#include "CDesignView.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "DocWizard.h"
#include "IDoxCore.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "LayerView.h"
#include "PathText.h"
#include "Ribbon.h"
#include "PropertyView.h"
#include "TestPage.h"
#include "LoopLook.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <cmath>

void RegisterDesignerPanes();
void RegisterDesignerWizard();
void RegisterDesignerTestPage();

using namespace designertest;

namespace
{

constexpr unsigned kToolEdit = 32812;
constexpr unsigned kTestRun = 32826;

struct Word {
    QString text;
    double x = 0, y = 0; // mm from the top-left
};

// The words of a PDF's first page with their positions (pdftotext -bbox).
std::vector<Word> WordsOf(const QString& pdf)
{
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    run.waitForFinished(20000);
    const QString html = QString::fromUtf8(run.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    std::vector<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(3), m.captured(1).toDouble() * 25.4 / 72, m.captured(2).toDouble() * 25.4 / 72});
    }
    return words;
}

// Runs fn on the next modal dialog of type T, from the event loop.
template <class T>
void OnDialog(std::function<void(T*)> fn)
{
    QTimer::singleShot(0, [fn] {
        for (int i = 0; i < 50; ++i) {
            if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget())) {
                fn(dialog);
                return;
            }
            QTest::qWait(20);
        }
        ADD_FAILURE() << "no dialog";
    });
}

void ChooseInCombo(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchStartsWith);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class RoadTest : public DesignerTest
{
protected:
    void SetUp() override
    {
        DesignerTest::SetUp();
        RegisterDesignerPanes();
        RegisterDesignerWizard();
        RegisterDesignerTestPage();
    }
    IDoxCore* Core() const { return static_cast<IDoxCore*>(core_.object); }
    CPropertyView* Grid() const
    {
        return static_cast<CPropertyPane*>(DesignPage()->PropertyPane()->Widget())->View();
    }
    CLayerView* Layers() const { return static_cast<CLayerPane*>(DesignPage()->LayerPane()->Widget())->View(); }
    // Gives the selected control the format option with this text through its grid row.
    void SetFormat(const wchar_t* option)
    {
        for (int i = 0; i < Grid()->GetCount(); ++i) {
            auto* row = dynamic_cast<CPropertyCombBoxItem*>(Grid()->GetItem(i));
            if (!row || std::wstring(row->Attrib()->GetCaption()) != L"格式")
                continue;
            MyWidComboBox& combo = row->Combo();
            for (int k = 0; k < row->Attrib()->GetOptionCount(); ++k) {
                if (std::wstring(row->Attrib()->GetOptionText(k)) == option) {
                    combo.SetCurSel(k);
                    row->OnWid_Changed(2);
                    EXPECT_EQ(std::wstring(row->Attrib()->GetValueText()), option);
                    return;
                }
            }
            ADD_FAILURE() << "no format option";
            return;
        }
        ADD_FAILURE() << "no format row";
    }
};

TEST_F(RoadTest, FromTheWizardToAPrintedBill)
{
    const QString documents = QString::fromStdString((dir_ / "Documents").string());
    ASSERT_TRUE(QDir().mkpath(documents));
    ASSERT_TRUE(Start());
    const std::wstring picture = Path("form.png");
    {
        QImage form(827, 1169, QImage::Format_RGB32); // A4 at 100 dpi
        form.fill(Qt::white);
        QPainter p(&form);
        p.setPen(QPen(QColor(200, 60, 60), 3));
        p.drawRect(40, 40, 747, 1089);
        p.end();
        form.setDotsPerMeterX(3937);
        form.setDotsPerMeterY(3937);
        ASSERT_TRUE(form.save(QString::fromStdWString(picture)));
    }

    // The wizard: the file, then the page from the PDF printer's A4 with the picture.
    prompter_.files.push_back({picture});
    OnDialog<CDocWizard>([this, picture](CDocWizard* wizard) {
        wizard->DocPanel()->FolderEdit()->setText(QString::fromStdWString(plat::WideOfPath(dir_.path())));
        wizard->DocPanel()->FileEdit()->setText(QStringLiteral("voucher"));
        QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
        ASSERT_EQ(wizard->GetActiveIndex(), 1);
        CPagePanel* page = wizard->PagePanel();
        page->WidthEdit()->SetValue(1000);
        OnDialog<QDialog>([](QDialog* paper) {
            auto* printers = paper->findChild<QComboBox*>(QStringLiteral("1007"));
            auto* papers = paper->findChild<QComboBox*>(QStringLiteral("1024"));
            ASSERT_TRUE(printers && papers);
            ChooseInCombo(printers, QStringLiteral("PDF"));
            ChooseInCombo(papers, QStringLiteral("A4"));
            QTest::mouseClick(paper->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
        });
        QTest::mouseClick(page->PaperButton(), Qt::LeftButton);
        EXPECT_EQ(page->WidthEdit()->GetValue(), 2100);
        EXPECT_EQ(page->HeightEdit()->GetValue(), 2970);
        page->Browse();
        EXPECT_EQ(page->PictureList()->currentIndex(), 1);
        wizard->grab().save(QString::fromStdString((dir_ / "wizard.png").string()));
        QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    });
    Trigger(57600);
    EXPECT_EQ(app_->DefaultPrinter(), L"PDF");
    IDoxDocument* document = Frame()->Document()->Document();
    ASSERT_NE(document, nullptr) << QString::fromWCharArray(Core()->GetLastErrorText()).toStdString();
    const std::wstring path = plat::WideOfPath(dir_.path()) + L"/voucher.dxt";
    EXPECT_EQ(Frame()->Document()->Path(), path);
    IDoxPage* page = document->GetPage(0);
    SIZE size{};
    page->GetSize(&size);
    EXPECT_EQ(size.cx, 2100);
    EXPECT_EQ(size.cy, 2970);
    EXPECT_EQ(page->HasBackgroundImage(), 1);

    // Five controls, each given a format in the property grid.
    const wchar_t* formats[] = {L"<默认>", L"<默认>", L"<第1个词>", L"<默认>", L"<第1个字>"};
    for (int i = 0; i < 5; ++i) {
        Draw(kToolEdit, QPoint(80, 80 + 60 * i), QPoint(330, 110 + 60 * i));
        SetFormat(formats[i]);
    }
    ASSERT_EQ(page->GetFieldCount(), 5);
    // The last control stays selected: the property pane shows its rows.
    EXPECT_GT(Grid()->GetCount(), 5);

    // A layer locked through its icon; the selection stays.
    Layers()->RefillLayers();
    ASSERT_GE(Layers()->GetCount(), 1);
    const int selected = Layers()->GetCurSel();
    RECT row{};
    Layers()->GetItemRect(0, &row);
    QTest::mouseClick(Layers(), Qt::LeftButton, {}, QPoint(row.left + 36, (row.top + row.bottom) / 2));
    IDoxDesignWindow* window = DesignPage()->ActiveView()->Window();
    EXPECT_EQ(window->IsLayerLocked(0), 1);
    EXPECT_EQ(Layers()->GetCurSel(), selected);
    Shot(Frame(), "road_design_page.png");

    // The test page: values typed, printed to the PDF printer.
    Trigger(kTestRun);
    ASSERT_TRUE(Frame()->IsTestPageShown());
    auto* testPage = static_cast<CTestPage*>(Frame()->TestPage()->Widget());
    ASSERT_NE(testPage->PageWindow(), nullptr);
    const wchar_t* values[] = {L"12345", L"ALPHA", L"BRAVO", L"CHARLIE", L"DELTA"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(page->SetFieldText(page->GetFieldName(i), 0, values[i]), 1);
    Shot(Frame(), "road_test_page.png");
    QString place;
    OnDialog<QDialog>([&place](QDialog* print) {
        ChooseInCombo(print->findChild<QComboBox*>(QStringLiteral("1007")), QStringLiteral("PDF"));
        place = print->findChild<QLabel*>(QStringLiteral("1021"))->text();
        QTest::mouseClick(print->findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    Trigger(ID_TEST_PRINT);
    const QString testPdf = documents + QStringLiteral("/默认页面.pdf");
    ASSERT_TRUE(QFile::exists(testPdf));
    const std::vector<Word> tried = WordsOf(testPdf);
    auto find = [](const std::vector<Word>& words, const QString& text) {
        for (const Word& w : words)
            if (w.text == text)
                return w;
        return Word{};
    };
    // The dialog named the file, and the print tells it once written.
    EXPECT_EQ(place, testPdf);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, L"已打印到文件：" + testPdf.toStdWString());
    for (const wchar_t* value : {L"12345", L"ALPHA", L"CHARLIE"})
        EXPECT_FALSE(find(tried, QString::fromWCharArray(value)).text.isEmpty()) << QString::fromWCharArray(value).toStdString();
    // The formats given in the grid shape what is printed.
    EXPECT_TRUE(find(tried, QStringLiteral("DELTA")).text.isEmpty());
    QFile::rename(testPdf, documents + QStringLiteral("/tried.pdf"));
    Trigger(ID_TEST_CLOSE);
    EXPECT_FALSE(Frame()->IsTestPageShown());

    // Saved; the file opens again with the page as designed.
    Trigger(57603);
    EXPECT_EQ(document->IsModified(), 0);
    Frame()->Document()->CloseDocument();
    IDoxDocument* opened = Core()->OpenTemplate(path.c_str());
    ASSERT_NE(opened, nullptr) << QString::fromWCharArray(Core()->GetLastErrorText()).toStdString();
    IDoxPage* reopened = opened->GetPage(0);
    SIZE again{};
    reopened->GetSize(&again);
    EXPECT_EQ(again.cx, 2100);
    EXPECT_EQ(again.cy, 2970);
    EXPECT_EQ(reopened->HasBackgroundImage(), 1);
    opened->Release();

    // The printing program's way: the template under a bill database, every layer
    // drawn, the page in a fill-in window. The design page went with the designer's
    // document, so field names come from the opened page. The bill prints as tried.
    const std::wstring database = plat::WideOfPath(dir_.path()) + L"/doxcore.db";
    IDoxDocument* complex = Core()->OpenComplex(database.c_str(), path.c_str());
    ASSERT_NE(complex, nullptr) << QString::fromWCharArray(Core()->GetLastErrorText()).toStdString();
    IDoxPage* bill = complex->GetPage(0);
    bill->ViewAllLayers();
    const QRect area(0, 0, 600, 400);
    IDoxPageWindow* fillIn = Core()->CreatePageWindow(bill, 0x10000000, &area, nullptr, 1);
    ASSERT_NE(fillIn, nullptr);
    EXPECT_EQ(fillIn->GetPage(), bill);
    EXPECT_EQ(bill->LoadRecord(0), 1);
    ASSERT_EQ(bill->GetFieldCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bill->SetFieldText(bill->GetFieldName(i), 0, values[i]), 1);
    EXPECT_EQ(bill->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1);
    fillIn->Release();
    complex->Release();
    const std::vector<Word> printed = WordsOf(testPdf);
    ASSERT_EQ(printed.size(), tried.size());
    for (size_t i = 0; i < printed.size(); ++i) {
        EXPECT_EQ(printed[i].text, tried[i].text);
        EXPECT_NEAR(printed[i].x, tried[i].x, 0.2);
        EXPECT_NEAR(printed[i].y, tried[i].y, 0.2);
    }
    const std::string xml = TemplateXmlOfFile(path);
    EXPECT_EQ(ControlKinds(xml).size(), 5u);
}

// The road of a new author under the "C" locale with the names the designer proposes:
// the wizard's Chinese file name, three controls, a position typed into the grid with
// the mouse and the control then sized by its handle, two aligned from 排列 reached
// with one click, saved; a second template opened from the recent files asks about
// the first, which is kept, and both open again intact.
TEST_F(RoadTest, ANewAuthorsTemplateUnderTheProposedChineseName)
{
    const std::string locale = setlocale(LC_ALL, nullptr);
    setlocale(LC_ALL, "C");
    ASSERT_TRUE(Start());
    app_->SetCurrentPath(plat::WideOfPath(dir_.path()) + L"/");
    const std::wstring second = MakeTemplate("凭证.dxt", {L"页"});

    OnDialog<CDocWizard>([](CDocWizard* wizard) {
        EXPECT_EQ(wizard->DocPanel()->FileEdit()->text(), QStringLiteral("新建模板1.dxt"));
        QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
        QTest::mouseClick(wizard->NextButton(), Qt::LeftButton);
    });
    Trigger(57600);
    const std::wstring first = plat::WideOfPath(dir_.path()) + L"/新建模板1.dxt";
    ASSERT_EQ(Frame()->Document()->Path(), first);
    Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
    Draw(kToolEdit, QPoint(70, 120), QPoint(230, 150));
    Draw(kToolEdit, QPoint(260, 200), QPoint(420, 230));
    IDoxDesignWindow* window = DesignPage()->ActiveView()->Window();
    ASSERT_EQ(window->GetSelectedCount(), 1);

    // x of the third typed into the grid: a click opens the editor, the text goes in.
    int xRow = -1;
    for (int i = 0; i < Grid()->GetCount() && xRow < 0; ++i)
        if (auto* row = dynamic_cast<CPropertyItem*>(Grid()->GetItem(i)))
            if (std::wstring(row->Attrib()->GetCaption()) == L"x") xRow = i;
    ASSERT_GE(xRow, 0);
    RECT r{};
    Grid()->GetItemRect(xRow, &r);
    const QPoint value(120, (r.top + r.bottom) / 2);
    bool released = false;
    QTimer::singleShot(0, [this, value, &released] {
        QTest::mouseRelease(Grid(), Qt::LeftButton, {}, value);
        released = true;
    });
    // The text goes in as soon as the editor the press opened shows after the release.
    doxtest::LoopLook look(
        [this, &released] {
            auto* line = Grid()->findChild<QLineEdit*>();
            return released && line && line->isVisible();
        },
        [this] {
            auto* line = Grid()->findChild<QLineEdit*>();
            line->selectAll();
            QTest::keyClicks(line, QStringLiteral("20"));
            QTest::keyClick(line, Qt::Key_Return);
        });
    QTest::mousePress(Grid(), Qt::LeftButton, {}, value);
    Settle();
    auto* x = dynamic_cast<CPropertyItem*>(Grid()->GetItem(xRow));
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(QString::fromWCharArray(x->Attrib()->GetValueText()), QStringLiteral("20.0mm"));
    Shot(Frame(), "road_moved_from_grid.png");

    // Its right handle, where the control now is (20 mm is about 76 pixels), widens it.
    QWidget* canvas = Canvas();
    const int right = static_cast<int>(std::lround((20.0 + 160 * 25.4 / 96) * 96 / 25.4));
    QPoint handle;
    for (int dx = -8; dx <= 8 && handle.isNull(); ++dx) {
        QTest::mouseMove(canvas, QPoint(right + dx, 215));
        if (canvas->cursor().shape() == Qt::SizeHorCursor) handle = QPoint(right + dx, 215);
    }
    ASSERT_FALSE(handle.isNull());
    QTest::mousePress(canvas, Qt::LeftButton, {}, handle);
    for (int dx = 5; dx <= 40; dx += 5) QTest::mouseMove(canvas, handle + QPoint(dx, 0));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, handle + QPoint(40, 0));
    Settle();
    int cxRow = -1;
    for (int i = 0; i < Grid()->GetCount() && cxRow < 0; ++i)
        if (auto* row = dynamic_cast<CPropertyItem*>(Grid()->GetItem(i)))
            if (std::wstring(row->Attrib()->GetCaption()) == L"cx") cxRow = i;
    ASSERT_GE(cxRow, 0);
    const double cx = QString::fromWCharArray(dynamic_cast<CPropertyItem*>(Grid()->GetItem(cxRow))->Attrib()->GetValueText())
                          .remove(QStringLiteral("mm")).toDouble();
    EXPECT_GT(cx, 160 * 25.4 / 96 + 5);

    // The first two aligned from 排列, one click on its tab.
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(120, 55));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, QPoint(150, 135));
    ASSERT_EQ(window->GetSelectedCount(), 2);
    auto* tabs = Frame()->RibbonBar()->findChild<QTabBar*>(QStringLiteral("categories"));
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(CMainFrame::kArrange).center());
    ASSERT_EQ(Frame()->RibbonBar()->ActiveCategory(), CMainFrame::kArrange);
    Trigger(32773);
    Trigger(57603);
    const std::string saved = TemplateXmlOfFile(first);
    ASSERT_EQ(ControlKinds(saved).size(), 3u);
    const std::vector<int> lefts = ControlLefts(saved);
    EXPECT_EQ(lefts[0], lefts[1]);
    EXPECT_NE(lefts[0], lefts[2]);

    // One more control, then the second template from the recent files: asked, kept.
    Draw(kToolEdit, QPoint(40, 300), QPoint(200, 330));
    app_->AddToRecentFileList(second);
    app_->AddToRecentFileList(first);
    auto* recent = Frame()->RibbonBar()->ApplicationMenu()->findChild<QMenu*>(QStringLiteral("recentFiles"));
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    prompter_.messages.clear();
    prompter_.answers = {6};
    recent->actions().at(1)->trigger();
    Settle();
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, L"保存对 “新建模板1.dxt”的更改吗？");
    EXPECT_EQ(Frame()->Document()->Path(), second);
    EXPECT_EQ(ControlKinds(TemplateXmlOfFile(first)).size(), 4u);

    // Both open again intact.
    ASSERT_EQ(Frame()->Document()->OpenByPath(first), 1);
    EXPECT_EQ(Frame()->Document()->Path(), first);
    EXPECT_EQ(Frame()->Document()->Document()->GetPage(0)->GetFieldCount(), 4);
    ASSERT_EQ(Frame()->Document()->OpenByPath(second), 1);
    EXPECT_EQ(Frame()->Document()->Path(), second);
    EXPECT_TRUE(prompter_.messages.size() == 1u);
    setlocale(LC_ALL, locale.c_str());
}

} // namespace
