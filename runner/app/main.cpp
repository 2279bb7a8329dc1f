// DoxKQRunner: the bill printing program.

#include "CDoxKQRunner.h"

#ifdef DOX_RUNNER_WORKSPACE
#include "RunnerWorkspace.h"
#endif

#include "Heap.h"

#include <QApplication>

int main(int argc, char** argv)
{
    plat::KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DoxKQRunner"));
#ifdef DOX_RUNNER_WORKSPACE
    SetRunnerWorkspaceFactory(&CreateRunnerWorkspace);
#endif
    CDoxKQRunner app;
    app.SetCommandLine(QApplication::arguments().mid(1));
    return RunDoxKQRunner(app);
}
