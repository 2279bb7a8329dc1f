// A template saved and opened again from disk, as a template of its own and under a
// bill database, filled in a fill-in window and printed: it gives the bill the page
// it was made from gave, background picture, formats and locked layer included.
// The hosts put every layer into the draw list before a page goes into a window;
// these tests do the same.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ByteStream.h"
#include "DoxCheckControl.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxValue.h"
#include "Messages.h"
#include "PdfWords.h"
#include "TestSupport.h"

namespace
{

constexpr uint32_t kVisible = 0x10000000;

// Field, format, typed text, and the word the format leaves on paper (empty: none).
struct Entry {
    const wchar_t* field;
    const wchar_t* format;
    const wchar_t* typed;
    const char* printed;
};
const Entry kEntries[] = {
    {L"编号", nullptr, L"12345", "12345"},
    {L"户名", nullptr, L"ALPHA", "ALPHA"},
    {L"摘要", L"<第1个词>", L"BRAVO CHARLIE", "BRAVO"},
    {L"用途", nullptr, L"DELTA", "DELTA"},
    {L"备注", L"<第1个字>", L"ECHO", "E"},
};

class ReopenedPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home_.emplace("HOME", dir_.path().string());
        config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
        ASSERT_TRUE(QDir().mkpath(Pdf().section(QLatin1Char('/'), 0, -2)));
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
    }
    void TearDown() override
    {
        if (core_)
            core_->Release();
    }

    std::wstring Template() const { return (dir_ / "voucher.dxt").wstring(); }
    std::wstring Database() const { return (dir_ / "doxcore.db").wstring(); }
    // Where the PDF printer puts a page called "凭证".
    QString Pdf() const { return QString::fromStdString((dir_ / "Documents").string()) + QStringLiteral("/凭证.pdf"); }

    // Five fields on a page with a background picture, their layer locked.
    void Design(IDoxDocument* document)
    {
        auto* page = static_cast<DoxPage*>(document->GetPage(0));
        QImage form(210, 297, QImage::Format_RGB32);
        form.fill(Qt::white);
        QByteArray png;
        QBuffer buffer(&png);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && form.save(&buffer, "PNG"));
        plat::ByteStream stream;
        stream.Write(png.constData(), png.size());
        ASSERT_EQ(page->SetBackgroundImage(stream, L"form.png"), 1);
        DoxLayer* layer = page->GetLayer(0);
        int order = 0;
        for (const Entry& entry : kEntries) {
            RECT rect{200, -200 - 150 * order, 1200, -300 - 150 * order};
            auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
            ASSERT_NE(edit, nullptr);
            ASSERT_TRUE(edit->DataAttribute().FieldName().SetValueText(entry.field));
            ASSERT_TRUE(edit->DataAttribute().FieldType().SetValueText(L"文本"));
            if (entry.format) {
                ASSERT_TRUE(edit->Format().Format().SetValueText(entry.format));
            }
            ASSERT_TRUE(edit->Font().FaceName().SetValueText(L"宋体"));
            ASSERT_TRUE(edit->Font().Size().SetValueText(L"12"));
            edit->SetTabIndex(++order);
        }
        layer->SetLock(1);
    }

    // Fills the page in a fill-in window, prints it and gives the printed words.
    std::vector<pdftest::Word> FillAndPrint(IDoxPage* page)
    {
        page->ViewAllLayers();
        const QRect rect(0, 0, 600, 400);
        IDoxPageWindow* window = core_->CreatePageWindow(page, kVisible, &rect, nullptr, 1);
        EXPECT_NE(window, nullptr) << core_->GetLastErrorText();
        if (!window)
            return {};
        EXPECT_EQ(window->GetPage(), page) << core_->GetLastErrorText();
        EXPECT_EQ(page->LoadRecord(0), 1) << core_->GetLastErrorText();
        EXPECT_EQ(page->GetFieldCount(), static_cast<int>(std::size(kEntries)));
        for (int i = 0; i < page->GetFieldCount(); ++i) {
            const std::wstring name = page->GetFieldName(i);
            const auto entry = std::find_if(std::begin(kEntries), std::end(kEntries), [&name](const Entry& e) {
                return name.ends_with(std::wstring(L".") + e.field);
            });
            EXPECT_NE(entry, std::end(kEntries));
            if (entry != std::end(kEntries)) {
                EXPECT_EQ(page->SetFieldText(name.c_str(), 0, entry->typed), 1) << core_->GetLastErrorText();
            }
        }
        QFile::remove(Pdf());
        EXPECT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, 1), 1) << core_->GetLastErrorText();
        window->Release();
        return pdftest::ReadWords(Pdf());
    }

    doxtest::TempDir dir_;
    std::optional<doxtest::ScopedEnv> home_;
    std::optional<doxtest::ScopedEnv> config_;
    IDoxCore* core_ = nullptr;
};

TEST_F(ReopenedPageTest, ReopenedTemplateFillsAndPrintsLikeThePageItWasSavedFrom)
{
    std::vector<pdftest::Word> designed;
    {
        IDoxDocument* document = core_->CreateTemplate(Template().c_str(), L"凭证", 2100, 2970);
        ASSERT_NE(document, nullptr) << core_->GetLastErrorText();
        Design(document);
        designed = FillAndPrint(document->GetPage(0));
        EXPECT_EQ(document->Save(), 1) << core_->GetLastErrorText();
        document->Release();
    }
    ASSERT_FALSE(HasFailure());
    std::vector<QString> expected;
    for (const Entry& entry : kEntries) {
        if (entry.printed)
            expected.push_back(QString::fromUtf8(entry.printed));
    }
    std::vector<QString> words;
    for (const pdftest::Word& word : designed)
        words.push_back(word.text);
    ASSERT_EQ(words, expected);

    struct Opening {
        const char* name;
        bool withDatabase;
    };
    for (const Opening& opening : {Opening{"template", false}, Opening{"template under a bill database", true}}) {
        SCOPED_TRACE(opening.name);
        IDoxDocument* document = opening.withDatabase ? core_->OpenComplex(Database().c_str(), Template().c_str())
                                                      : core_->OpenTemplate(Template().c_str());
        ASSERT_NE(document, nullptr) << core_->GetLastErrorText();
        const std::vector<pdftest::Word> printed = FillAndPrint(document->GetPage(0));
        document->Release();
        ASSERT_EQ(printed.size(), designed.size());
        for (size_t i = 0; i < printed.size(); ++i) {
            EXPECT_EQ(printed[i].text, designed[i].text);
            EXPECT_NEAR(printed[i].xMin, designed[i].xMin, 0.2) << printed[i].text.toStdString();
            EXPECT_NEAR(printed[i].yMin, designed[i].yMin, 0.2) << printed[i].text.toStdString();
        }
    }
}

// Dark pixels of a picture inside a rectangle.
int DarkIn(const QImage& picture, const QRect& area)
{
    int dark = 0;
    for (int y = std::max(0, area.top()); y <= std::min(picture.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(picture.width() - 1, area.right()); ++x)
            dark += qGray(picture.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
}

// A layer the author hid, "备注" with a remark and a check box, in a template opened
// under a bill database the way the printing program opens it (every layer put into
// the draw list): the clerk sees neither control, cannot reach them by click or Tab,
// and the paper shows what the screen shows.
TEST_F(ReopenedPageTest, AHiddenLayerIsNeitherShownNorPrintedNorTakesInput)
{
    const RECT name{200, -200, 1200, -300};
    const RECT remark{200, -500, 1200, -600};
    const RECT tick{1400, -500, 1480, -580};
    {
        IDoxDocument* document = core_->CreateTemplate(Template().c_str(), L"凭证", 2100, 2970);
        ASSERT_NE(document, nullptr) << core_->GetLastErrorText();
        auto* page = static_cast<DoxPage*>(document->GetPage(0));
        auto text = [](DoxLayer* layer, RECT rect, const wchar_t* field, int order) {
            auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
            ASSERT_NE(edit, nullptr);
            ASSERT_TRUE(edit->DataAttribute().FieldName().SetValueText(field));
            ASSERT_TRUE(edit->DataAttribute().FieldType().SetValueText(L"文本"));
            ASSERT_TRUE(edit->Font().Size().SetValueText(L"12"));
            edit->SetTabIndex(order);
        };
        text(page->GetLayer(0), name, L"户名", 1);
        ASSERT_EQ(page->AddLayer(L"备注"), 1);
        DoxLayer* notes = page->GetLayer(1);
        text(notes, remark, L"备注", 2);
        auto* check = static_cast<DoxCheckControl*>(notes->CreateControl(DoxKindCheck, &tick));
        ASSERT_NE(check, nullptr);
        ASSERT_TRUE(check->DataAttribute().FieldName().SetValueText(L"加急"));
        ASSERT_TRUE(check->DataAttribute().FieldType().SetValueText(L"文本"));
        ASSERT_TRUE(check->CheckValue().Param().SetValueText(L"是"));
        check->SetTabIndex(3);
        ASSERT_EQ(page->SetLayerState(0, 2), 1);
        ASSERT_EQ(page->SetLayerState(1, 0), 1);
        ASSERT_EQ(document->Save(), 1) << core_->GetLastErrorText();
        document->Release();
    }
    ASSERT_FALSE(HasFailure());

    IDoxDocument* document = core_->OpenComplex(Database().c_str(), Template().c_str());
    ASSERT_NE(document, nullptr) << core_->GetLastErrorText();
    IDoxPage* page = document->GetPage(0);
    page->ViewAllLayers();
    const QRect area(0, 0, 900, 700);
    IDoxPageWindow* window = core_->CreatePageWindow(page, kVisible, &area, nullptr, 1);
    ASSERT_NE(window, nullptr) << core_->GetLastErrorText();
    auto* client = dynamic_cast<DoxPageClient*>(window);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(page->LoadRecord(0), 1) << core_->GetLastErrorText();
    // The hidden remark keeps a value (a bill stored before the layer was hidden).
    ASSERT_EQ(page->SetFieldText(L"主表.户名", 0, L"ALPHA"), 1) << core_->GetLastErrorText();
    ASSERT_EQ(page->SetFieldText(L"主表.备注", 0, L"HIDDEN"), 1) << core_->GetLastErrorText();

    // Tab goes round the fields the clerk sees; a click on the hidden box and a Space
    // after it tick nothing.
    auto onShownLayer = [&] {
        DoxControlBase* field = client->Runner().GetCurrentField();
        return field && field->GetControl()->GetLayer() == static_cast<DoxPage*>(page)->GetLayer(0);
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(onShownLayer()) << i;
        client->HandleKeyDown(plat::VK_TAB, 0);
    }
    const RECT box = client->ToPixels(tick);
    const QPoint middle((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    for (int click = 0; click < 2; ++click) {
        client->ButtonDown(middle, 0, false);
        EXPECT_TRUE(onShownLayer()) << click;
    }
    client->HandleKeyDown(plat::VK_SPACE, 0);
    IDoxValue* ticked = page->GetFieldValue(L"主表.加急", 0);
    ASSERT_NE(ticked, nullptr);
    EXPECT_EQ(ticked->GetType() == 0 ? std::wstring() : std::wstring(ticked->GetText()), L"");
    window->EndEdit(1);

    // The same places on the screen and on paper (the PDF at one pixel per 0.1 mm).
    client->repaint();
    const QImage screen = client->grab().toImage();
    QFile::remove(Pdf());
    ASSERT_EQ(page->Print(L"PDF", nullptr, 0, 0, 1, 0, 0), 1) << core_->GetLastErrorText();
    const QImage paper = pdftest::RenderPage(Pdf(), QString::fromStdString((dir_ / "paper").string()));
    ASSERT_FALSE(paper.isNull());
    std::vector<QString> words;
    for (const pdftest::Word& word : pdftest::ReadWords(Pdf()))
        words.push_back(word.text);
    EXPECT_EQ(words, std::vector<QString>{QStringLiteral("ALPHA")});
    struct Place {
        const char* what;
        RECT rect;
        bool drawn;
    };
    for (const Place& place :
         {Place{"户名", name, true}, Place{"备注", remark, false}, Place{"加急", tick, false}}) {
        SCOPED_TRACE(place.what);
        const RECT px = client->ToPixels(place.rect);
        const int onScreen =
            DarkIn(screen, QRect(QPoint(px.left + 2, px.top + 2), QPoint(px.right - 2, px.bottom - 2)));
        const int onPaper = DarkIn(paper, QRect(QPoint(place.rect.left + 5, -place.rect.top + 5),
                                                QPoint(place.rect.right - 5, -place.rect.bottom - 5)));
        EXPECT_EQ(onScreen > 0, place.drawn) << onScreen;
        EXPECT_EQ(onPaper > 0, place.drawn) << onPaper;
    }
    window->Release();
    document->Release();
}

} // namespace
