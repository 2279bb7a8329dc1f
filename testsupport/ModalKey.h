#pragma once
// One key typed into the next modal dialog, as a keyboard sends it: by default through
// QTest to the dialog's focused control, from which what that control leaves goes up
// to the dialog. A dialog the key does not close is closed a while later with
// done(kUnanswered), so that the test fails on `answered` instead of hanging in the
// dialog's loop.

#include "LoopLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTest>

#include <functional>
#include <utility>

namespace doxtest
{

class ModalKey
{
public:
    static constexpr int kUnanswered = -77;

    explicit ModalKey(int key)
        : ModalKey([](QWidget*) { return true; },
                   [key](QWidget* modal) {
                       QWidget* target = modal->focusWidget() ? modal->focusWidget() : modal;
                       QTest::keyClick(target, static_cast<Qt::Key>(key));
                   })
    {
    }

    // press sends the key (through XTest, say) to the first modal dialog that `which` takes.
    ModalKey(std::function<bool(QWidget*)> which, std::function<void(QWidget*)> press)
        : look_(
              [which = std::move(which)] {
                  QWidget* modal = QApplication::activeModalWidget();
                  return modal && which(modal);
              },
              [this, press = std::move(press)] {
                  QPointer<QWidget> modal = QApplication::activeModalWidget();
                  for (const QAbstractButton* button : modal->findChildren<QAbstractButton*>())
                      captions.append(button->text());
                  press(modal);
                  answered = QTest::qWaitFor([&] { return !modal || !modal->isVisible(); }, 3000);
                  if (auto* dialog = qobject_cast<QDialog*>(modal.data()); dialog && !answered)
                      dialog->done(kUnanswered);
              })
    {
    }

    bool Done() const { return look_.Done(); }

    // The captions of the dialog's buttons when the key came.
    QStringList captions;
    // The key closed the dialog.
    bool answered = false;

private:
    LoopLook look_;
};

} // namespace doxtest
