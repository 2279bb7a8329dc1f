#pragma once
// The page of the workspace benchmarks: 210 x 297 mm with 40 fields in two columns,
// text, amounts and dates in turn, named f0 ... f39.

#include "SampleWorkspace.h"

#include <string>

inline wstest::SamplePage FortyFields()
{
    wstest::SamplePage page{L"bench", 2100, 2970, {}};
    const wchar_t* types[] = {L"文本", L"数值", L"日期", L"数值"};
    for (int i = 0; i < 40; ++i) {
        const int x = 50 + (i % 2) * 1000;
        const int y = -(50 + (i / 2) * 140);
        page.fields.push_back({L"f" + std::to_wstring(i), types[i % 4], RECT{x, y, x + 900, y - 60}});
    }
    return page;
}
