// DoxDesigner: the template designer.

#include "CDoxDesigner.h"

#include "Heap.h"

#include <QApplication>

#ifdef DOX_DESIGNER_PANES
void RegisterDesignerPanes();
#endif
#ifdef DOX_DESIGNER_WIZARD
void RegisterDesignerWizard();
#endif
#ifdef DOX_DESIGNER_TESTPAGE
void RegisterDesignerTestPage();
#endif

int main(int argc, char** argv)
{
    plat::KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DoxDesigner"));
#ifdef DOX_DESIGNER_PANES
    RegisterDesignerPanes();
#endif
#ifdef DOX_DESIGNER_WIZARD
    RegisterDesignerWizard();
#endif
#ifdef DOX_DESIGNER_TESTPAGE
    RegisterDesignerTestPage();
#endif
    CDoxDesigner app;
    app.SetCommandLine(QApplication::arguments().mid(1));
    return RunDoxDesigner(app);
}
