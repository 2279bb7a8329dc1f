#pragma once
// A look from inside a modal loop that a test is about to enter (a popup's, an
// editor's): at every turn of the event loop ready() is asked, and at the first turn
// where it holds act() runs, once. No fixed wait: the look comes as soon as the state
// it waits for is there, on a busy machine as on an idle one.

#include <QTimer>

#include <functional>
#include <utility>

namespace doxtest
{

class LoopLook
{
public:
    LoopLook(std::function<bool()> ready, std::function<void()> act)
        : ready_(std::move(ready)), act_(std::move(act))
    {
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!ready_())
                return;
            timer_.stop();
            act_();
        });
        timer_.start();
    }
    LoopLook(const LoopLook&) = delete;
    LoopLook& operator=(const LoopLook&) = delete;

    // Whether act() has run.
    bool Done() const { return !timer_.isActive(); }

private:
    std::function<bool()> ready_;
    std::function<void()> act_;
    QTimer timer_;
};

} // namespace doxtest
