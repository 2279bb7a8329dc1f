#include "MyPopWindowBase.h"

#include <algorithm>

namespace
{

RECT Normalised(const RECT& r)
{
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

// GDI rectangles exclude their right and bottom edges, as QRect(QPoint, QSize) does.
QRect ToQRect(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

} // namespace

MyPopWindowBase::MyPopWindowBase() : alive_(std::make_shared<bool>(true)) {}

MyPopWindowBase::MyPopWindowBase(const MyPopWindowBase& other)
    : popup_(other.popup_), blind_(other.blind_), result_(other.result_), alive_(std::make_shared<bool>(true))
{
}

MyPopWindowBase& MyPopWindowBase::operator=(const MyPopWindowBase& other)
{
    popup_ = other.popup_;
    blind_ = other.blind_;
    result_ = other.result_;
    return *this;
}

MyPopWindowBase::~MyPopWindowBase()
{
    *alive_ = false;
}

void MyPopWindowBase::PreProcessMessage(const plat::Message* /*msg*/) {}

plat::PopupRules MyPopWindowBase::PopupRules()
{
    plat::PopupRules rules;
    // The choice window types ahead, so digits and letters go to it.
    rules.lettersToPopup = true;
    // A wheel turn over the opener closes the popup without scrolling the opener.
    rules.wheelLikeClick = true;
    return rules;
}

KPWR MyPopWindowBase::DoTrackPopWindow(QWidget* popup, const RECT& blind, QWidget* owner)
{
    BeginPopWindow(popup, blind);
    owner_ = owner;
    return PopMessageLoop(this);
}

void MyPopWindowBase::DoEndTrack(KPWR result)
{
    if (!popup_ || !plat::EndPopupLoop(popup_, result))
        result_ = result;
}

void MyPopWindowBase::BeginPopWindow(QWidget* popup, const RECT& blind)
{
    popup_ = popup;
    blind_ = Normalised(blind);
    result_ = KPWR_CANCEL;
}

void MyPopWindowBase::EndPopWindow(KPWR result)
{
    popup_ = nullptr;
    owner_ = nullptr;
    blind_ = RECT{};
    result_ = result;
}

KPWR MyPopWindowBase::PopMessageLoop(MyPopWindowBase* base)
{
    if (!base)
        return KPWR_CANCEL;
    if (!base->popup_) {
        base->EndPopWindow(KPWR_CANCEL);
        return KPWR_CANCEL;
    }
    plat::PopupLoopOptions options;
    options.owner = base->owner_;
    options.blind = ToQRect(base->blind_);
    options.decide = [standard = plat::StandardPopupRules(PopupRules())](const plat::Message& msg,
                                                                          const plat::PopupView& view) {
        // Home and End, and the keys that type a character without a virtual key of their
        // own (signs, Chinese), go to the list as its letters do: it jumps and types ahead.
        if (msg.message == plat::WM_KEYDOWN && view.ownerInForeground && !plat::IsKeyDown(msg, plat::VK_CONTROL) &&
            !plat::IsKeyDown(msg, plat::VK_MENU) &&
            (msg.wParam == plat::VK_HOME || msg.wParam == plat::VK_END || msg.wParam == 0))
            return plat::PopupDecision{plat::PopupAction::Redirect, 0};
        return standard(msg, view);
    };
    std::shared_ptr<bool> alive = base->alive_;
    options.preProcess = [base, alive](const plat::Message& msg) {
        if (*alive)
            base->PreProcessMessage(&msg);
    };
    auto result = static_cast<KPWR>(plat::RunPopupLoop(base->popup_, options));
    if (*alive)
        base->EndPopWindow(result);
    return result;
}
