#include "ProgramFolders.h"

#include <QStandardPaths>
#include <QString>

std::wstring PrintingProgramLibraryFolder()
{
    // The printing program keeps its data where the desktop keeps an application's
    // data under the program's name.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + QStringLiteral("/DoxKQRunner/templates")).toStdWString();
}
