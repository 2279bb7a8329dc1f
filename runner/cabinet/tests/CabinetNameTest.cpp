#include "CabinetName.h"

#include <gtest/gtest.h>

namespace
{

struct Coded {
    std::wstring text;
    std::string coded;
};

TEST(CabinetName, CodesUnitsAbove255AsBase64RunsAndEscapesTheMark)
{
    const Coded cases[] = {
        {L"doxcore.db", "doxcore.db"},
        {L"templates\\a.dxt", "templates\\a.dxt"},
        {L"caf\u00e9.dxt", "caf\xe9.dxt"},             // Latin-1 stays one byte
        {L"\u4e2d", "<Ti0>"},                            // 16 bits, 2 of padding
        {L"\u6a21\u677f.dxt", "<aiFnfw>.dxt"},           // two units in one run
        {L"\u5bf9\u516c", "<W/lRbA>"},                   // a run may hold '/'
        {L"a<b", "a<>b"},                                // the mark itself
        {L"<\u4e2d>", "<><Ti0>>"},
        {L"x\u4e2dy\u4e2d", "x<Ti0>y<Ti0>"},
        {L"\U0001F600", "<2D3eAA>"},                     // a surrogate pair is two units
    };
    for (const Coded& c : cases) {
        SCOPED_TRACE(c.coded);
        const auto coded = Cabinet::EncodeName(c.text);
        ASSERT_TRUE(coded.has_value());
        EXPECT_EQ(*coded, c.coded);
        const auto decoded = Cabinet::DecodeName(c.coded);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(*decoded, c.text);
    }
}

TEST(CabinetName, RefusesMalformedRunsAndNul)
{
    const std::string malformed[] = {
        "<",            // never closed
        "a<Ti0",        // never closed
        "<T!0>",        // not a base64 digit
        "<Ti=>",        // padding characters are not digits here
        "<Ti1>",        // padding bits not zero
        "<Ti0A>",       // a whole digit of padding
        "<AC8>",        // '/' (0x2F) needs no run: a writer never makes this
        "<AFw>",        // '\' (0x5C) likewise
        "<AAA>",        // NUL
        "<2AA>",        // a high surrogate alone
        "<3AA>",        // a low surrogate alone
        std::string("a\0b", 3),
    };
    for (const std::string& m : malformed) {
        SCOPED_TRACE(m);
        EXPECT_FALSE(Cabinet::DecodeName(m).has_value());
    }
    EXPECT_FALSE(Cabinet::EncodeName(std::wstring(L"a\0b", 3)).has_value());
}

} // namespace
