// Wrapped text: line breaks, character-wise wrapping, vertical placement of the lines
// in a y-up box, and a context whose line height rounds to nothing.

#include "DC.h"
#include "DrawTestSupport.h"
#include "WrappedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace drawtest;

namespace
{

// Records what DrawWrappedText asks to draw.
class RecordingDC : public DCX
{
public:
    struct Call {
        std::wstring text;
        RECT rect;
        UINT format;
    };
    int DrawText(const wchar_t* text, int count, RECT* rect, UINT format) override
    {
        calls.push_back({std::wstring(text, static_cast<size_t>(count)), *rect, format});
        return DCX::DrawText(text, count, rect, format);
    }
    std::vector<Call> calls;
};

class DrawWrappedText_ : public testing::Test
{
protected:
    void SetUp() override
    {
        image = MakeImage(400, 400, 254);
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetMapMode(2);
        LOGFONTW lf;
        lf.lfHeight = -40;
        wcscpy(lf.lfFaceName, L"DejaVu Sans Mono");
        CFont font;
        font.CreateFontIndirect(lf);
        dc.SelectObject(font);
        charWidth = dc.GetTextExtent(L"M", 1).cx;
        lineHeight = dc.GetTextExtent(L"ABC", 3).cy;
        ASSERT_GT(charWidth, 0);
        ASSERT_GT(lineHeight, 0);
    }

    std::vector<std::wstring> Lines(const wchar_t* text, int maxWidth)
    {
        std::vector<std::wstring> lines;
        int count = -1;
        const wchar_t* p = text;
        for (int guard = 0; guard < 100; ++guard) {
            const wchar_t* next = NextWrappedLine(p, dc, maxWidth, &count);
            if (!next)
                break;
            lines.emplace_back(p, static_cast<size_t>(count));
            p = next;
        }
        return lines;
    }

    QImage image;
    RecordingDC dc;
    int charWidth = 0;
    int lineHeight = 0;
};

TEST_F(DrawWrappedText_, LinesBreakAtLineEndsAndWhereTheNextCharacterWouldNotFit)
{
    const struct {
        const wchar_t* text;
        double widthInChars;
        std::vector<std::wstring> lines;
    } cases[] = {
        {L"ab\r\ncd", 10, {L"ab", L"cd"}},
        {L"ab\n\rcd", 10, {L"ab", L"cd"}},
        {L"ab\n\ncd", 10, {L"ab", L"", L"cd"}},
        {L"ab\r\rcd", 10, {L"ab", L"", L"cd"}},
        {L"ab\r\n", 10, {L"ab"}},
        {L"abcdef", 2.5, {L"ab", L"cd", L"ef"}},
        {L"abcdef", 3, {L"abc", L"def"}},
        {L"票据金额", 10, {L"票据金额"}},
        {L"W", 0.5, {L""}}, // wider than the box: consumed, not counted
        {L"", 10, {}},
    };
    for (const auto& c : cases) {
        int width = static_cast<int>(c.widthInChars * charWidth);
        EXPECT_EQ(Lines(c.text, width), c.lines)
            << "text of " << wcslen(c.text) << " chars, width " << c.widthInChars;
    }
    int count = 7;
    EXPECT_EQ(NextWrappedLine(nullptr, dc, 100, &count), nullptr);
}

TEST_F(DrawWrappedText_, LinesArePlacedFromTopCentreOrBottomOfTheBox)
{
    const int top = -100;
    const int h = lineHeight;
    const int boxHeight = 3 * h + h / 2;     // three and a half lines
    const int spare = boxHeight - 3 * h + h; // half a line plus one unused line
    const struct {
        UINT format;
        int firstTop;
    } cases[] = {{DT_LEFT, top}, {DT_VCENTER, top - spare / 2}, {DT_BOTTOM, top - spare}};
    for (const auto& c : cases) {
        dc.calls.clear();
        RECT box{100, top, 100 + 20 * charWidth, top - boxHeight};
        DrawWrappedText(dc, L"ab\r\ncd", &box, c.format);
        ASSERT_EQ(dc.calls.size(), 2u);
        EXPECT_EQ(dc.calls[0].text, L"ab");
        EXPECT_EQ(dc.calls[1].text, L"cd");
        EXPECT_EQ(dc.calls[0].rect.top, c.firstTop) << c.format;
        EXPECT_EQ(dc.calls[0].rect.bottom, c.firstTop - h);
        EXPECT_EQ(dc.calls[1].rect.top, c.firstTop - h);
        EXPECT_EQ(dc.calls[0].rect.left, box.left);
        EXPECT_EQ(dc.calls[0].rect.right, box.right);
        EXPECT_EQ(dc.calls[0].format, c.format);
        if (c.format == DT_BOTTOM) {
            EXPECT_EQ(dc.calls[1].rect.bottom, box.bottom); // last line on the bottom edge
        }
    }
}

TEST_F(DrawWrappedText_, LinesBeyondTheBoxAreDroppedAndALowBoxShowsNothing)
{
    RECT twoLines{0, -10, 3 * charWidth, -10 - 2 * lineHeight - lineHeight / 3};
    DrawWrappedText(dc, L"abcdefghi", &twoLines, DT_LEFT);
    ASSERT_EQ(dc.calls.size(), 2u);
    EXPECT_EQ(dc.calls[0].text, L"abc");
    EXPECT_EQ(dc.calls[1].text, L"def");

    dc.calls.clear();
    RECT low{0, -10, 30 * charWidth, -10 - lineHeight + 1};
    DrawWrappedText(dc, L"abc", &low, DT_LEFT);
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(DrawWrappedText_, ALineHeightOfZeroDrawsNothing)
{
    // One logical unit is 1000 device pixels: the context's default font, sized in
    // device pixels, is far below one unit high.
    CFont defaultSize;
    defaultSize.CreateFontIndirect(LOGFONTW{});
    dc.SelectObject(defaultSize);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1, 1);
    dc.SetViewportExt(1000, -1000);
    ASSERT_EQ(dc.GetTextExtent(L"ABC", 3).cy, 0);
    RECT box{0, 0, 10, -10};
    DrawWrappedText(dc, L"ab\r\ncd", &box, DT_LEFT);
    EXPECT_TRUE(dc.calls.empty());
}

TEST_F(DrawWrappedText_, WrappedTextInkStaysInsideTheBox)
{
    RECT box{50, -50, 50 + 4 * charWidth, -50 - 2 * lineHeight};
    DrawWrappedText(dc, L"票据金额合计大写", &box, DT_LEFT);
    dc.EndPainting();
    RECT device = box;
    dc.LPtoDP(&device);
    bool inked = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (ColorAt(image, x, y) == kWhite)
                continue;
            inked = true;
            EXPECT_TRUE(x >= device.left && x < device.right && y >= device.top && y < device.bottom)
                << x << "," << y;
        }
    }
    EXPECT_TRUE(inked);
}

} // namespace
