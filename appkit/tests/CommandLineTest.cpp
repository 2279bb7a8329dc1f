// The command line both programs read: one optional template path.

#include "CommandLine.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace
{

TEST(CommandLine, TheLastArgumentIsTheTemplateAndSwitchesAreFileNames)
{
    struct Case {
        QStringList arguments;
        int open;
        const wchar_t* file;
    };
    const Case cases[] = {
        {{}, 0, L""},
        {{"/home/柜员/模板 一.dxt"}, 1, L"/home/柜员/模板 一.dxt"},
        {{"-x"}, 1, L"x"},
        {{"/x"}, 1, L"/x"},
        {{"a.dxt", "b.dxt"}, 1, L"b.dxt"},
    };
    for (const Case& c : cases) {
        RunnerCommandLine line;
        line.Parse(c.arguments);
        EXPECT_EQ(line.open, c.open) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.fileName, c.file) << c.arguments.join(' ').toStdString();
    }
}

} // namespace
