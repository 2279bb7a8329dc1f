// Rich edit and rich label controls printed through the printer job into a PDF:
// each column's text lands in its column at the template position, read back
// with pdftotext -bbox.

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxPrinter.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "Printers.h"
#include "TestSupport.h"

using namespace controltest;

namespace
{
struct Word {
    QString text;
    double x, y; // 0.1 mm from the paper's top-left corner
};

std::vector<Word> ReadWords(const QString& pdf)
{
    QProcess tool;
    tool.start("pdftotext", {"-bbox", pdf, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>");
    std::vector<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        // Points to 0.1 mm.
        words.push_back({m.captured(3), m.captured(1).toDouble() * 254.0 / 72.0,
                         m.captured(2).toDouble() * 254.0 / 72.0});
    }
    return words;
}

const Word* Find(const std::vector<Word>& words, const QString& text)
{
    for (const Word& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}
} // namespace

TEST(RichPrint, ColumnsLandAtTheirTemplatePosition)
{
    FakeLayer layer;
    RECT labelRect{100, -100, 900, -200};
    RECT editRect{100, -300, 900, -400};
    RECT hiddenRect{100, -500, 900, -600};
    auto* label =
        static_cast<DoxRichLabelControl*>(CreateControlByKind(DoxKindRichLabel, &layer, &labelRect));
    auto* edit = static_cast<DoxRichEditControl*>(CreateControlByKind(DoxKindRichEdit, &layer, &editRect));
    auto* hidden =
        static_cast<DoxRichLabelControl*>(CreateControlByKind(DoxKindRichLabel, &layer, &hiddenRect));
    ASSERT_TRUE(label && edit && hidden);
    ASSERT_TRUE(label->Columns().AddElement());
    ASSERT_TRUE(label->Columns().AddElement());
    ASSERT_TRUE(label->Column(0)->Text().SetValueText(L"PAYER"));
    ASSERT_TRUE(label->Column(1)->Text().SetValueText(L"PAYEE"));
    ASSERT_TRUE(edit->DataAttribute().FieldType().SetValueText(L"数值"));
    ASSERT_TRUE(edit->Columns().AddElement());
    ASSERT_TRUE(edit->Columns().AddElement());
    ASSERT_TRUE(edit->Column(0)->Base().SizeItem().SetValueText(L"30.0mm"));
    ASSERT_TRUE(edit->Column(1)->Format().Prefix().SetValueText(L"RMB"));
    ASSERT_TRUE(hidden->Columns().AddElement());
    ASSERT_TRUE(hidden->Column(0)->Text().SetValueText(L"HIDDEN"));
    ASSERT_TRUE(hidden->Printable().SetValueText(L"否"));
    // Rows of the bill data are laid out once its fields are known.
    layer.page.PrepareStore(nullptr, L"P");
    edit->BeginRun();
    FakeEditorHost host;
    host.style = DoxEditorHost::TextEditor;
    host.text = L"42";
    ASSERT_EQ(edit->ExchangeEditor(&host, 1), 1);

    doxtest::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "rich.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"rich"));
        ASSERT_TRUE(job.StartPage());
        job.SetMapMode(2);
        for (DoxControl* c : std::initializer_list<DoxControl*>{label, edit, hidden})
            c->DrawContent(job, 0, 0, true);
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    edit->EndRun();
    for (DoxControl* c : std::initializer_list<DoxControl*>{label, edit, hidden}) {
        c->SetParentLayer(nullptr);
        c->Release();
    }

    const std::vector<Word> words = ReadWords(pdf);
    struct Case {
        const char* text;
        int left, right; // the column, 0.1 mm
        int top, bottom;
    } cases[] = {
        {"PAYER", 100, 500, 100, 200},
        {"PAYEE", 500, 900, 100, 200},
        {"42", 100, 400, 300, 400},
        {"RMB42", 400, 900, 300, 400},
    };
    for (const Case& c : cases) {
        const Word* w = Find(words, c.text);
        ASSERT_NE(w, nullptr) << c.text;
        // Left-aligned at the top of its column, within 2 mm.
        EXPECT_GE(w->x, c.left - 5) << c.text;
        EXPECT_LE(w->x, c.left + 20) << c.text;
        EXPECT_LT(w->x, c.right) << c.text;
        EXPECT_GE(w->y, c.top - 5) << c.text;
        EXPECT_LE(w->y, c.bottom) << c.text;
    }
    EXPECT_EQ(Find(words, "HIDDEN"), nullptr);
}
