// Line and frame controls printed through the printer job into a PDF, rendered back
// at 254 dpi (one pixel per 0.1 mm) to find their rules at the template position.

#include <gtest/gtest.h>

#include <QImage>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxFrameControl.h"
#include "DoxLineControl.h"
#include "DoxPrinter.h"
#include "PdfWords.h"
#include "Printers.h"
#include "TestSupport.h"

using namespace controltest;

TEST(Control2Print, LineAndFrameLandAtTheirTemplatePosition)
{
    FakeLayer layer;
    RECT lineRect{100, -100, 900, -300};
    RECT frameRect{1000, -100, 1600, -700};
    DoxControl* line = CreateControlByKind(DoxKindLine, &layer, &lineRect);
    DoxControl* frame = CreateControlByKind(DoxKindFrame, &layer, &frameRect);
    DoxControl* hidden = CreateControlByKind(DoxKindLine, &layer, &frameRect);
    ASSERT_TRUE(line && frame && hidden);
    ASSERT_TRUE(static_cast<DoxLineControl*>(line)->Style().SetValueText(L"左边"));
    auto* f = static_cast<DoxFrameControl*>(frame);
    ASSERT_TRUE(f->Split().ColumnItem().SetValue(3));
    ASSERT_TRUE(f->Split().RowItem().SetValue(2));
    // An unprintable line across the frame's middle band must not reach the paper.
    ASSERT_TRUE(static_cast<DoxLineControl*>(hidden)->Style().SetValueText(L"前对角"));
    ASSERT_TRUE(static_cast<DoxLineControl*>(hidden)->Printable().SetValueText(L"否"));

    doxtest::TempDir dir;
    const QString pdf = QString::fromStdString((dir / "rules.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"rules"));
        ASSERT_TRUE(job.StartPage());
        job.SetMapMode(2);
        // The page runner selects the printing pen.
        CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
        job.SelectObject(pen);
        for (DoxControl* c : {line, frame, hidden})
            c->DrawContent(job, 0, 0, true);
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    for (DoxControl* c : {line, frame, hidden}) {
        c->SetParentLayer(nullptr);
        c->Release();
    }

    const QString png = QString::fromStdString((dir / "rules").string());
    const QImage page = pdftest::RenderPage(pdf, png);
    ASSERT_FALSE(page.isNull());
    // Ink within 2 pixels (0.2 mm) of (x, y), in 0.1 mm from the top-left corner.
    auto inkedNear = [&](int x, int y) {
        for (int d = -2; d <= 2; ++d)
            if (qGray(page.pixel(x + d, y)) < 128 || qGray(page.pixel(x, y + d)) < 128)
                return true;
        return false;
    };
    auto inked = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };

    // The line on the left edge of its rectangle.
    for (int y : {120, 200, 280}) {
        EXPECT_TRUE(inkedNear(100, y)) << y;
        EXPECT_FALSE(inked(500, y)) << y;
        EXPECT_FALSE(inked(900, y)) << y;
    }
    // The frame: columns at 1000, 1200, 1400 and 1600, rows at 100, 400 and 700.
    for (int x : {1000, 1200, 1400, 1600})
        EXPECT_TRUE(inkedNear(x, 250)) << x;
    for (int y : {100, 400, 700})
        EXPECT_TRUE(inkedNear(1100, y)) << y;
    // Inside a cell nothing, not even the unprintable diagonal.
    EXPECT_FALSE(inked(1100, 250));
    EXPECT_FALSE(inked(1300, 550));
}
