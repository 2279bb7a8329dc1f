#pragma once
// The command line of the programs: one optional template path. A switch ("-x") is
// taken as a file name too (without its dash), and the last argument wins.

#include <QStringList>

#include <string>

class DoxCommandLineInfo
{
public:
    // One argument; `isSwitch` tells it came with a leading '-' (already removed).
    virtual void ParseParam(const wchar_t* param, bool isSwitch, bool isLast);
    // Every argument after the program's name.
    void Parse(const QStringList& arguments);

    int open = 0;
    std::wstring fileName;

protected:
    ~DoxCommandLineInfo() = default;
};

// The concrete object the programs make.
class RunnerCommandLine final : public DoxCommandLineInfo
{
};
