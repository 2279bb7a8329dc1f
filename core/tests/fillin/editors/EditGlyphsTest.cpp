// The caret editor's text model: what fits the box, per code point editing, line
// breaks, hit tests and words.

#include <gtest/gtest.h>

#include "DoxTipWindow.h"
#include "EditGlyphs.h"

namespace
{
constexpr int kVkLeft = 37;
constexpr int kVkHome = 36;
constexpr int kVkEnd = 35;

// ASCII 10 pixels wide, everything else 20, all 16 high.
SIZE Measure(wchar_t ch)
{
    return SIZE{ch < 128 ? 10 : 20, 16};
}

EditGlyphs Box(int width, int height, bool multiLine)
{
    EditGlyphs text;
    text.SetMeasure(Measure);
    text.SetLineHeight(16);
    text.SetMultiLine(multiLine);
    text.SetBox(RECT{0, 0, width, height});
    return text;
}

void Type(EditGlyphs& text, const std::wstring& chars)
{
    for (wchar_t ch : chars)
        text.Insert(std::wstring(1, ch), false);
}
} // namespace

TEST(EditGlyphs, TextThatDoesNotFitIsRefusedWholeOrCutWhenCuttingIsAllowed)
{
    struct Case {
        const char* what;
        int width;
        uint32_t maxLength;
        std::wstring typed;
        std::wstring inserted;
        std::wstring result;
        bool cut = true;
    } cases[] = {
        {"sixth char beyond five boxes", 50, 0xFFFFFFFFu, L"123456", L"", L"12345"},
        {"maximum length", 500, 5, L"123456", L"", L"12345"},
        {"wide glyph that would pass the edge", 50, 0xFFFFFFFFu, L"1234中", L"", L"1234"},
        {"cutting keeps what fits", 50, 0xFFFFFFFFu, L"", L"abcdefgh", L"abcde"},
        {"cut to the maximum length", 500, 3, L"a", L"bcdef", L"abc"},
        {"line breaks dropped on one line", 500, 0xFFFFFFFFu, L"", L"a\r\nb\nc", L"abc"},
        {"without cutting the maximum length refuses it whole", 500, 3, L"a", L"bcd", L"a", false},
        {"without cutting the box refuses it whole", 50, 0xFFFFFFFFu, L"abc", L"def", L"abc", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditGlyphs text = Box(c.width, 20, false);
        text.SetMaxLength(c.maxLength);
        Type(text, c.typed);
        if (!c.inserted.empty()) {
            EXPECT_EQ(text.Insert(text.Normalise(c.inserted), c.cut), c.cut);
        }
        EXPECT_EQ(text.Text(), c.result);
        EXPECT_EQ(text.Caret(), text.Count());
    }
}

TEST(EditGlyphs, BackspaceAndArrowsWorkPerCodePointAndLineBreak)
{
    EditGlyphs text = Box(500, 100, true);
    // A character outside the basic plane is one glyph.
    text.Insert(text.Normalise(L"a\U00020000b\nc"), true);
    EXPECT_EQ(text.Text(), L"a\U00020000b\r\nc");
    text.MoveCaret(2, false);
    EXPECT_TRUE(text.DeleteBack());
    EXPECT_EQ(text.Text(), L"ab\r\nc");
    // Left from behind CR LF lands before the CR; Backspace there removes both.
    text.MoveCaret(4, false);
    text.MoveByKey(kVkLeft, false);
    EXPECT_EQ(text.Caret(), 2);
    text.MoveCaret(4, false);
    EXPECT_TRUE(text.DeleteBack());
    EXPECT_EQ(text.Text(), L"abc");
    EXPECT_EQ(text.Caret(), 2);
}

TEST(EditGlyphs, LinesWrapAndStopAtTheBottom)
{
    // Three lines of 16 fit 50 pixels (the last may pass the bottom by a third).
    EditGlyphs text = Box(30, 50, true);
    text.Insert(L"abcdefghijkl", true);
    EXPECT_EQ(text.Text(), L"abcdefghi");
    ASSERT_EQ(text.Count(), 9);
    EXPECT_EQ(text.Glyphs()[3].y, 16);
    EXPECT_EQ(text.Glyphs()[3].x, 0);
    // Home and End stay on the caret's line.
    text.MoveCaret(4, false);
    text.MoveByKey(kVkHome, false);
    EXPECT_EQ(text.Caret(), 3);
    text.MoveByKey(kVkEnd, false);
    EXPECT_EQ(text.Caret(), 6);
    // Typing into a full box does nothing.
    EXPECT_FALSE(text.Insert(L"x", false));
    EXPECT_EQ(text.Text(), L"abcdefghi");
}

TEST(EditGlyphs, LargeGlyphsKeepTheirSize)
{
    EditGlyphs text;
    text.SetMeasure([](wchar_t) { return SIZE{300, 200}; });
    text.SetLineHeight(200);
    text.SetBox(RECT{0, 0, 1000, 210});
    text.Insert(L"AB", false);
    ASSERT_EQ(text.Count(), 2);
    EXPECT_EQ(text.Glyphs()[1].x, 300);
    EXPECT_EQ(text.Glyphs()[1].width, 300);
    EXPECT_EQ(text.Glyphs()[1].height, 200);
    EXPECT_EQ(text.HitTest(POINT{449, 5}), 1);
    EXPECT_EQ(text.HitTest(POINT{451, 5}), 2);
}

TEST(EditGlyphs, SelectionWordAndDelete)
{
    EditGlyphs text = Box(500, 20, false);
    text.Insert(L"ab cd", false);
    text.MoveCaret(4, false);
    text.SelectWord();
    EXPECT_EQ(text.SelectedText(), L" cd");
    EXPECT_EQ(text.Caret(), 5);
    // Typing replaces the selection.
    text.Insert(L"x", false);
    EXPECT_EQ(text.Text(), L"abx");
    text.SelectAll();
    EXPECT_TRUE(text.DeleteForward());
    EXPECT_EQ(text.Text(), L"");
    EXPECT_FALSE(text.DeleteBack());
}

TEST(TipPlacement, AboveTheFieldUnlessThereIsNoRoomAndInsideTheClient)
{
    struct Case {
        const char* what;
        RECT field;
        SIZE text;
        int clientWidth;
        RECT balloon;
        bool below;
        int tailX;
    } cases[] = {
        {"above, tail 12 px in", {100, 200, 300, 230}, {80, 14}, 800, {100, 166, 196, 200}, false, 112},
        {"field at the top: below", {100, 10, 300, 40}, {80, 14}, 800, {100, 40, 196, 74}, true, 112},
        {"right edge: moved left", {700, 200, 790, 230}, {150, 14}, 800, {634, 166, 800, 200}, false, 712},
        {"narrow field: tail at its left", {50, 200, 58, 230}, {20, 14}, 800, {50, 166, 86, 200}, false, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TipPlacement place = PlaceTip(c.field, c.text, c.clientWidth);
        EXPECT_EQ(place.balloon.left, c.balloon.left);
        EXPECT_EQ(place.balloon.top, c.balloon.top);
        EXPECT_EQ(place.balloon.right, c.balloon.right);
        EXPECT_EQ(place.balloon.bottom, c.balloon.bottom);
        EXPECT_EQ(place.below, c.below);
        EXPECT_EQ(place.tailX, c.tailX);
    }
}
