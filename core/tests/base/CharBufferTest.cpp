// The 8-bit buffer and the UTF-8 conversions used for XML and element names.

#include "CharBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(BaseCharBuffer, ReserveAndAssign)
{
    CharBuffer empty;
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(empty.capacity(), 0);
    EXPECT_STREQ(empty.data(), "");
    CharBuffer other;
    EXPECT_EQ(empty.data(), other.data()); // one shared empty string

    CharBuffer b("hello");
    EXPECT_EQ(b.length(), 6); // the text and its zero
    EXPECT_EQ(b.capacity(), 6);
    EXPECT_STREQ(b.data(), "hello");
    char* block = b.data();
    ASSERT_TRUE(b.Reserve(3)); // within the capacity: the block and bytes stay
    EXPECT_EQ(b.data(), block);
    EXPECT_EQ(b.length(), 3);
    EXPECT_EQ(std::memcmp(b.data(), "hel", 3), 0);
    ASSERT_TRUE(b.Reserve(100));
    EXPECT_EQ(b.capacity(), 100);
    ASSERT_TRUE(b.Reserve(0));
    EXPECT_EQ(b.data(), empty.data());
    EXPECT_FALSE(b.Reserve(-1));
    EXPECT_EQ(b.data(), empty.data());

    ASSERT_TRUE(b.Assign("abcdef"));
    ASSERT_TRUE(b.Assign(b.data() + 2)); // a part of itself
    EXPECT_STREQ(b.data(), "cdef");
    ASSERT_TRUE(b.Assign(nullptr));
    EXPECT_EQ(b.length(), 0);
    EXPECT_EQ(b.data(), empty.data());
}

TEST(BaseCharBuffer, WideToUtf8)
{
    CharBuffer out;
    struct Case {
        const char* what;
        const wchar_t* text;
        std::string bytes; // without the two closing zeros
    } cases[] = {
        {"empty", L"", ""},
        {"ascii", L"doc_dxtemplate", "doc_dxtemplate"},
        {"chinese", L"票据", "\xe7\xa5\xa8\xe6\x8d\xae"},
        {"outside the BMP", L"\U0001F600", "\xf0\x9f\x98\x80"},
        {"lone surrogate",
         L"a\xD800"
         L"b",
         "a\xef\xbf\xbd"
         "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const char* result = WideToUtf8(out, c.text);
        EXPECT_EQ(result, out.data());
        ASSERT_EQ(out.length(), static_cast<int32_t>(c.bytes.size() + 2));
        EXPECT_EQ(std::string(out.data(), static_cast<size_t>(out.length())), c.bytes + std::string(2, '\0'));
    }
    EXPECT_STREQ(WideToUtf8(out, nullptr), "");
    EXPECT_EQ(out.length(), 0);
    EXPECT_EQ(out.data(), CharBuffer().data());
}

TEST(BaseCharBuffer, Utf8ToWide)
{
    std::wstring out = L"old";
    struct Case {
        const char* what;
        const char* bytes;
        std::wstring text;
    } cases[] = {
        {"chinese", "\xe7\xa5\xa8\xe6\x8d\xae", L"票据"},
        {"outside the BMP", "\xf0\x9f\x98\x80", L"\U0001F600"},
        {"stray continuation", "a\x80z", L"a\xFFFDz"},
        {"cut sequence", "a\xe7\xa5", L"a\xFFFD"},
        {"overlong", "\xc0\xafz", L"\xFFFDz"},
        {"encoded surrogate", "\xed\xa0\x80", L"\xFFFD"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", L"\xFFFD"},
        {"invalid lead",
         "\xff"
         "a",
         L"\xFFFD"
         L"a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(std::wstring(Utf8ToWide(out, c.bytes)), c.text);
        EXPECT_EQ(out, c.text);
    }
    EXPECT_STREQ(Utf8ToWide(out, nullptr), L"");

    // Round trip through the buffer.
    CharBuffer buffer;
    const wchar_t* text = L"模板 template \U00020000";
    EXPECT_EQ(std::wstring(Utf8ToWide(out, WideToUtf8(buffer, text))), text);
}

TEST(BaseCharBuffer, Utf16ToUtf8)
{
    // What the bill database hands over, straight into UTF-8; a text left in `out`
    // from the row before must not show through.
    std::string out = "an older and longer text";
    struct Case {
        const char* what;
        std::u16string units;
        std::string bytes;
    } cases[] = {
        {"empty", u"", ""},
        {"ascii", u"No.42", "No.42"},
        {"two and three bytes", u"\u00e9\u7968\u636e", "\xc3\xa9\xe7\xa5\xa8\xe6\x8d\xae"},
        {"a pair of surrogates", u"a\U0001F600z", "a\xf0\x9f\x98\x80z"},
        {"a lone high surrogate", std::u16string{u'a', char16_t(0xD83D), u'z'}, "a\xef\xbf\xbdz"},
        {"a high one at the end", std::u16string{u'a', char16_t(0xD83D)}, "a\xef\xbf\xbd"},
        {"a lone low surrogate", std::u16string{char16_t(0xDE00), u'z'}, "\xef\xbf\xbdz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Utf16ToUtf8(c.units.data(), c.units.size(), out);
        EXPECT_EQ(out, c.bytes);
        // The same text as the wide way gives it.
        std::wstring wide;
        Utf16ToWide(c.units.data(), c.units.size(), wide);
        EXPECT_EQ(out, WideToUtf8(wide));
    }
}
