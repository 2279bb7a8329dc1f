#include "CommandLine.h"

void DoxCommandLineInfo::ParseParam(const wchar_t* param, bool, bool)
{
    open = 1;
    fileName = param ? param : L"";
}

void DoxCommandLineInfo::Parse(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        const bool isSwitch = argument.startsWith(QLatin1Char('-'));
        if (isSwitch) argument.remove(0, 1);
        ParseParam(argument.toStdWString().c_str(), isSwitch, i + 1 == arguments.size());
    }
}
