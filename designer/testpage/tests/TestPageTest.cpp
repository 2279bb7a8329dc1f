// The test page on a real core: the designed page opens in the fill-in window, its
// commands follow the window, printing goes to the PDF printer and failures are told;
// a page whose last data cannot be loaded keeps no fill-in window behind.

#include "PaneFixture.h"
#include "TestPage.h"

#include "IDoxPageWindow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>


using panetest::CoreTest;

namespace
{

class TestPageTest : public CoreTest
{
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        testPage.resize(700, 500);
        testPage.showHook = [this](bool show) { shows.push_back(show); };
        testPage.defaultPrinter = &defaultPrinter;
        testPage.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&testPage));
    }
    void TearDown() override
    {
        testPage.OnCommand(ID_TEST_CLOSE);
        CoreTest::TearDown();
    }

    // One edit control drawn on the page; its field's name.
    std::wstring DrawField()
    {
        EXPECT_NE(OpenDesign(QSize(600, 400)), nullptr);
        Draw(0, QPoint(60, 60), QPoint(300, 100));
        // What the design view does before it opens the test page.
        window->RenumberTabOrder();
        window->RebuildVisibleLayers();
        return page->GetFieldCount() > 0 ? page->GetFieldName(0) : L"";
    }

    static QString PdfText(const QString& pdf)
    {
        QProcess run;
        run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        run.waitForFinished(20000);
        return QString::fromUtf8(run.readAllStandardOutput());
    }

    CTestPage testPage;
    std::vector<bool> shows;
    std::wstring defaultPrinter;
};

TEST_F(TestPageTest, ThePageOpensInTheFillInWindowAndClosesBackToTheDesignPage)
{
    DrawField();
    ASSERT_TRUE(testPage.OpenTestPage(core, page));
    ASSERT_NE(testPage.PageWindow(), nullptr);
    EXPECT_EQ(testPage.PageWindow()->GetPage(), page);
    EXPECT_EQ(testPage.PageWindow()->GetHwnd()->parentWidget(), &testPage);
    EXPECT_EQ(testPage.PageWindow()->GetHwnd()->size(), testPage.size());
    EXPECT_EQ(shows, std::vector<bool>{true});
    bool enabled = false, checked = false;
    ASSERT_TRUE(testPage.CommandState(ID_TEST_PRINT, &enabled, &checked));
    EXPECT_TRUE(enabled);
    const bool background = testPage.PageWindow()->IsBackgroundVisible() != 0;
    testPage.CommandState(ID_TEST_BACKGROUND, &enabled, &checked);
    EXPECT_EQ(checked, background);
    testPage.OnCommand(ID_TEST_BACKGROUND);
    testPage.CommandState(ID_TEST_BACKGROUND, &enabled, &checked);
    EXPECT_EQ(checked, !background);
    testPage.grab().save(panetest::ShotPath(dir, "test_page.png"));

    // Closing the main window runs the close hook: only the test page closes.
    EXPECT_EQ(testPage.CloseHook(), 0);
    EXPECT_EQ(testPage.PageWindow(), nullptr);
    EXPECT_EQ(shows, (std::vector<bool>{true, false}));
    testPage.CommandState(ID_TEST_PRINT, &enabled, &checked);
    EXPECT_FALSE(enabled);
    testPage.CommandState(ID_TEST_BACKGROUND, &enabled, &checked);
    EXPECT_FALSE(checked);
    EXPECT_TRUE(testPage.OnCommand(ID_TEST_PASTE)); // nothing happens without a window
    // The page is free for the next try.
    EXPECT_TRUE(testPage.OpenTestPage(core, page));
}

TEST_F(TestPageTest, PrintingGoesToTheChosenPrinterWhichBecomesTheDefaultAndAFailureIsTold)
{
    const std::wstring field = DrawField();
    ASSERT_FALSE(field.empty());
    ASSERT_TRUE(testPage.OpenTestPage(core, page));
    ASSERT_EQ(page->SetFieldText(field.c_str(), 0, L"QWERTY"), 1);
    defaultPrinter = L"甲打印机";
    struct Asked {
        std::wstring document;
        int cx = 0, cy = 0;
        std::wstring printer;
    } asked;
    std::wstring chosen = L"PDF";
    testPage.printChooser = [&](QWidget*, const std::wstring& document, int cx, int cy, const std::wstring& printer,
                                TestPrintChoice* choice) {
        asked = {document, cx, cy, printer};
        choice->printer = chosen;
        return true;
    };
    testPage.OnCommand(ID_TEST_PRINT);
    EXPECT_EQ(asked.document, L"凭证");
    EXPECT_EQ(asked.cx, 2100);
    EXPECT_EQ(asked.cy, 1480);
    EXPECT_EQ(asked.printer, L"甲打印机");
    EXPECT_EQ(defaultPrinter, L"PDF");
    const QString documents = QString::fromStdString((dir / "Documents").string());
    const QString pdf = documents + QStringLiteral("/凭证.pdf");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("QWERTY")));
    // No sheet comes out of the PDF printer: the file it wrote is told, and the next
    // print writes another beside it.
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].type, 64u);
    EXPECT_EQ(prompter.messages[0].text, L"已打印到文件：" + pdf.toStdWString());
    testPage.OnCommand(ID_TEST_PRINT);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, L"已打印到文件：" + documents.toStdWString() + L"/凭证 (2).pdf");
    prompter.messages.clear();

    // A printer that is not there: the failure is told with the core's reason.
    chosen = L"没有这台打印机";
    testPage.OnCommand(ID_TEST_PRINT);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].type, 16u);
    EXPECT_EQ(prompter.messages[0].text.rfind(L"打印测试页面失败! ", 0), 0u);

    // Cancelling the dialog prints nothing and keeps the default printer.
    testPage.printChooser = [](QWidget*, const std::wstring&, int, int, const std::wstring&, TestPrintChoice*) {
        return false;
    };
    defaultPrinter = L"PDF";
    testPage.OnCommand(ID_TEST_PRINT);
    EXPECT_EQ(defaultPrinter, L"PDF");
    EXPECT_EQ(prompter.messages.size(), 1u);
}

// A core whose fill-in windows never take their page, so that loading the page's last
// data fails as it does for a damaged bill database; it counts the windows released.
class DetachedWindow : public IDoxPageWindow
{
public:
    explicit DetachedWindow(int* released) : released_(released) {}
    ICommon* AddRef() override { return this; }
    void Release() override
    {
        ++*released_;
        delete this;
    }
    void SetUISink(IDoxWindowUISink*) override {}
    QWidget* GetHwnd() override { return &widget_; }
    void MoveWindow(int, int, int, int) override {}
    void EndEdit(int) override {}
    void PaintToDC(CDC*) override {}
    void UpdateLayout() override {}
    void Copy() override {}
    void Paste() override {}
    void Cut() override {}
    void SelectAll() override {}
    int IsEditing() override { return 0; }
    IDoxPage* GetPage() override { return nullptr; }
    int AttachPage(IDoxPage*) override { return 0; }
    void DetachPage() override {}
    int IsBackgroundVisible() override { return 0; }
    void ShowBackground(int) override {}

private:
    virtual ~DetachedWindow() = default;
    int* released_;
    QWidget widget_;
};

class DetachingCore : public IDoxCore
{
public:
    explicit DetachingCore(IDoxCore* real) : real_(real) {}
    ICommon* AddRef() override { return this; }
    void Release() override {}
    int Init(intptr_t) override { return 1; }
    IDoxDocument* CreateTemplate(const wchar_t*, const wchar_t*, int32_t, int32_t) override { return nullptr; }
    IDoxDocument* OpenTemplate(const wchar_t*) override { return nullptr; }
    IDoxDocument* CreateConnection(const wchar_t*, const wchar_t*, int32_t, int32_t) override { return nullptr; }
    IDoxDocument* CreateConnectionFromTemplate(const wchar_t*, const wchar_t*) override { return nullptr; }
    IDoxDocument* OpenComplex(const wchar_t*, const wchar_t*) override { return nullptr; }
    IDoxDesignWindow* CreateDesignWindow(IDoxPage*, uint32_t, const QRect*, QWidget*, uint32_t) override
    {
        return nullptr;
    }
    IDoxPageWindow* CreatePageWindow(IDoxPage*, uint32_t, const QRect*, QWidget*, uint32_t) override
    {
        ++made;
        return new DetachedWindow(&released);
    }
    IDoxErrorSink* SetErrorSink(IDoxErrorSink* sink) override { return real_->SetErrorSink(sink); }
    const wchar_t* GetLastErrorText() override { return L"账簿已损坏"; }
    IDoxImageData* GetTemplatePreview(const wchar_t*) override { return nullptr; }
    IDoxImageData* GetTemplateIcon(const wchar_t*) override { return nullptr; }

    int made = 0;
    int released = 0;

private:
    IDoxCore* real_;
};

TEST_F(TestPageTest, ALastBillThatCannotBeLoadedIsToldAndLeavesNoFillInWindow)
{
    DetachingCore failing(core);
    EXPECT_FALSE(testPage.OpenTestPage(&failing, page));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].type, 16u);
    EXPECT_EQ(prompter.messages[0].text, L"加载最后数据失败! 账簿已损坏");
    // The window made for the page is released before the open returns.
    EXPECT_EQ(failing.made, 1);
    EXPECT_EQ(failing.released, 1);
    EXPECT_EQ(testPage.PageWindow(), nullptr);
    EXPECT_TRUE(shows.empty()); // the design page stays

    // The real page opens afterwards as if nothing had happened.
    DrawField();
    EXPECT_TRUE(testPage.OpenTestPage(core, page));
    EXPECT_EQ(shows, std::vector<bool>{true});
}

} // namespace
