#pragma once
// One key typed into the next modal dialog as a keyboard sends it: to the dialog's
// focused control, from which what that control leaves goes up to the dialog. A dialog
// the key does not close is closed a while later with done(kUnanswered), so that the
// test fails on its answer instead of hanging in the dialog's loop.

#include "LoopLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTest>

namespace doxtest
{

class ModalKey
{
public:
    static constexpr int kUnanswered = -77;

    explicit ModalKey(int key)
        : look_([] { return QApplication::activeModalWidget() != nullptr; },
                [this, key] {
                    QPointer<QWidget> modal = QApplication::activeModalWidget();
                    for (const QAbstractButton* button : modal->findChildren<QAbstractButton*>())
                        captions.append(button->text());
                    QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal.data();
                    QTest::keyClick(target, static_cast<Qt::Key>(key));
                    if (!QTest::qWaitFor([&] { return !modal || !modal->isVisible(); }, 2000))
                        if (auto* dialog = qobject_cast<QDialog*>(modal.data()))
                            dialog->done(kUnanswered);
                })
    {
    }

    // The captions of the dialog's buttons when the key came.
    QStringList captions;

private:
    LoopLook look_;
};

} // namespace doxtest
