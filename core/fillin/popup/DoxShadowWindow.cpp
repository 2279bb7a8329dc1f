#include "DoxShadowWindow.h"

#include <QRect>
#include <QWidget>

bool DoxShadowWindow::Create(QWidget* owner)
{
    if (!shadow_.Create(owner, {plat::ShadowRight, plat::ShadowBottom, plat::ShadowCorner}))
        return false;
    for (const auto& strip : shadow_.strips())
        strip->setObjectName(QStringLiteral("DoxShadowClass"));
    return true;
}

bool DoxShadowWindow::Place(QWidget* popup, int x, int y, int width, int height)
{
    return shadow_.Place(popup, QRect(x, y, width, height));
}

void DoxShadowWindow::Destroy()
{
    shadow_.Destroy();
}
