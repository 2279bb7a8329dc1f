#include "ProgramFolders.h"

#include <QStandardPaths>
#include <QString>

std::wstring PrintingProgramDataFolder()
{
    // Named after the printing program whichever program asks, so the designer finds
    // the library the clerk uses.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + QStringLiteral("/DoxKQRunner")).toStdWString();
}

std::wstring TemplateLibraryFolder() { return PrintingProgramDataFolder() + L"/templates"; }
