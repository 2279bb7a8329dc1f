// The table control printed through the printer job into a PDF: the cell texts in
// their cells at the template position (pdftotext -bbox), the column, row and box
// lines drawn with the job's pen, the background left off the paper.

#include <gtest/gtest.h>

#include <QImage>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxPrinter.h"
#include "DoxTableControl.h"
#include "PdfWords.h"
#include "Printers.h"
#include "TestSupport.h"

using namespace controltest;

TEST(TablePrint, CellsAndLinesLandAtTheTemplatePosition)
{
    // 3 columns of 40 mm and 3 rows of 10 mm from (20 mm, 20 mm); the last column
    // split into 4 boxes of 10 mm.
    FakeLayer layer;
    RECT rect{200, -200, 1400, -500};
    auto* table = static_cast<DoxTableControl*>(CreateControlByKind(DoxKindTable, &layer, &rect));
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(table->BgColor().SetValueText(L"#00FF0000"));
    ASSERT_TRUE(table->Transparent().SetValueText(L"0"));
    for (int c = 0; c < 3; ++c) {
        ASSERT_TRUE(table->Columns().AddElement());
        DoxTableCol* column = table->Column(c);
        ASSERT_TRUE(column->Data().FieldName().SetValueText((L"c" + std::to_wstring(c)).c_str()));
        ASSERT_TRUE(column->Align().VAlignItem().SetValueText(L"顶部对齐"));
    }
    ASSERT_TRUE(table->Column(2)->Split().ColumnItem().SetValueText(L"4"));
    for (int r = 0; r < 3; ++r)
        ASSERT_TRUE(table->Rows().AddElement());
    ASSERT_TRUE(layer.page.PrepareStore(nullptr, L"P"));
    table->BeginRun();
    const wchar_t* texts[] = {L"Alpha", L"Beta", L"", L"Gamma", L"", L"", L"", L"Delta", L""};
    for (int i = 0; i < 9; ++i) {
        std::wstring text = texts[i], error;
        if (!text.empty()) {
            ASSERT_TRUE(table->Cells().CellAt(i)->ExchangeValue(nullptr, text, true, error)) << i;
        }
    }

    doxtest::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "table.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"table"));
        ASSERT_TRUE(job.StartPage());
        job.SetMapMode(2);
        CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
        job.SelectObject(pen);
        table->DrawContent(job, 0, 0, true);
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    table->EndRun();
    table->SetParentLayer(nullptr);
    table->Release();

    // Each text where its cell starts: (column left, row top) in mm.
    const std::vector<pdftest::Word> words = pdftest::ReadWords(pdf);
    struct Expect {
        const char* text;
        double x, y;
    } expected[] = {{"Alpha", 20, 20}, {"Beta", 60, 20}, {"Gamma", 20, 30}, {"Delta", 60, 40}};
    for (const Expect& e : expected) {
        const pdftest::Word* found = nullptr;
        for (const pdftest::Word& w : words)
            if (w.text == e.text)
                found = &w;
        ASSERT_NE(found, nullptr) << e.text;
        EXPECT_NEAR(found->xMin, e.x, 0.5) << e.text;
        EXPECT_NEAR(found->yMin, e.y, 0.5) << e.text;
    }

    const QString png = QString::fromStdString((dir / "table").string());
    const QImage page = pdftest::RenderPage(pdf, png);
    ASSERT_FALSE(page.isNull());
    // Ink within 2 pixels (0.2 mm) of (x, y), in 0.1 mm from the top-left corner.
    auto inkedNear = [&](int x, int y) {
        for (int d = -2; d <= 2; ++d)
            if (qGray(page.pixel(x + d, y)) < 128 || qGray(page.pixel(x, y + d)) < 128)
                return true;
        return false;
    };
    // Column lines between the columns, the box lines of the last column.
    for (int x : {600, 1000, 1100, 1200, 1300})
        EXPECT_TRUE(inkedNear(x, 480)) << x;
    // Row lines between the rows, across every column.
    for (int y : {300, 400})
        for (int x : {450, 850, 1150})
            EXPECT_TRUE(inkedNear(x, y)) << x << "," << y;
    // The box lines stay in their column; no fill, no outline (border off).
    EXPECT_FALSE(inkedNear(700, 480));
    EXPECT_FALSE(inkedNear(400, 480));
    EXPECT_FALSE(inkedNear(200, 480));
    EXPECT_FALSE(inkedNear(1400, 350));
}
