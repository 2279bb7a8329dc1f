#include "MyShadowWindow.h"

#include "MyGdiX.h"

#include <QWidget>

bool MyShadowWindow::Create(QWidget* owner)
{
    shadow_.Destroy();
    if (!MyGdiX::IsSupportUpdateLayeredWindow())
        return false;
    return shadow_.Create(owner, {plat::ShadowRight, plat::ShadowBottom});
}

bool MyShadowWindow::Place(QWidget* popup)
{
    if (!popup)
        return false;
    return shadow_.Place(popup, QRect(popup->mapToGlobal(QPoint(0, 0)), popup->size()));
}

void MyShadowWindow::Destroy()
{
    shadow_.Destroy();
}
