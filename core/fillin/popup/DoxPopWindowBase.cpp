#include "DoxPopWindowBase.h"

#include "PopupLoop.h"

#include <QRect>
#include <QWidget>
#include <algorithm>

DoxPopWindowBase::DoxPopWindowBase() : alive_(std::make_shared<bool>(true)) {}

DoxPopWindowBase::~DoxPopWindowBase()
{
    *alive_ = false;
}

DoxPopWindowBase::DoxPopWindowBase(const DoxPopWindowBase& other)
    : popWindow_(other.popWindow_), owner_(other.owner_), blind_(other.blind_), result_(other.result_),
      alive_(std::make_shared<bool>(true))
{
}

DoxPopWindowBase& DoxPopWindowBase::operator=(const DoxPopWindowBase& other)
{
    popWindow_ = other.popWindow_;
    owner_ = other.owner_;
    blind_ = other.blind_;
    result_ = other.result_;
    return *this;
}

int DoxPopWindowBase::DoTrackPopWindow(QWidget* window, const RECT& blind, QWidget* owner)
{
    popWindow_ = window;
    owner_ = owner;
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
        options.owner = owner_ ? owner_.data() : popWindow_->parentWidget();
        options.blind = QRect(blind_.left, blind_.top, blind_.right - blind_.left, blind_.bottom - blind_.top);
        const plat::PopupRules rules{.trackMouse = trackMouse_ != 0,
                                     .allKeysToPopup = allKeysToPopup_ != 0,
                                     .passTabAndEnter = passTypingKeys_ != 0};
        const std::shared_ptr<bool> alive = alive_;
        options.decide = [this, alive, rules](const plat::Message& msg, const plat::PopupView& view) {
            plat::PopupRules now = rules;
            now.enterAccepts = now.passTabAndEnter && *alive && EnterAccepts();
            return plat::DecidePopupMessage(now, msg, view);
        };
        options.passShortcuts = passTypingKeys_ != 0;
        options.preProcess = [this, alive](const plat::Message& msg) {
            if (*alive)
                PreProcessMessage(&msg);
        };
        result = plat::RunPopupLoop(popWindow_, options);
        if (!*alive)
            return 0; // the popup was destroyed inside its loop
    }
    popWindow_ = nullptr;
    owner_ = nullptr;
    blind_ = RECT{};
    result_ = result;
    return result;
}

void DoxPopWindowBase::EndPopWindow(int result)
{
    if (!popWindow_ || !plat::EndPopupLoop(popWindow_, result))
        result_ = result;
}
