#include "DoxPopWindowBase.h"

#include "PopupLoop.h"

#include <QRect>
#include <QWidget>
#include <algorithm>

int DoxPopWindowBase::DoTrackPopWindow(QWidget* window, const RECT& blind)
{
    popWindow_ = window;
    blind_ = RECT{std::min(blind.left, blind.right), std::min(blind.top, blind.bottom),
                  std::max(blind.left, blind.right), std::max(blind.top, blind.bottom)};
    result_ = 0;
    return PopMessageLoop();
}

int DoxPopWindowBase::PopMessageLoop()
{
    int result = 0;
    if (popWindow_) {
        plat::PopupLoopOptions options;
        options.owner = popWindow_->parentWidget();
        options.blind = QRect(blind_.left, blind_.top, blind_.right - blind_.left, blind_.bottom - blind_.top);
        options.decide = plat::StandardPopupRules({.trackMouse = trackMouse_ != 0, .allKeysToPopup = allKeysToPopup_ != 0});
        options.preProcess = [this](const plat::Message& msg) { PreProcessMessage(&msg); };
        result = plat::RunPopupLoop(popWindow_, options);
    }
    popWindow_ = nullptr;
    blind_ = RECT{};
    result_ = result;
    return result;
}

void DoxPopWindowBase::EndPopWindow(int result)
{
    if (!popWindow_ || !plat::EndPopupLoop(popWindow_, result))
        result_ = result;
}
