#pragma once
// A dialog's control found by its id, the object name the dialogs give their controls;
// a control that is missing fails the test where it is asked for.

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace doxtest
{

template <typename T>
T* Child(QWidget* dialog, int id)
{
    T* child = dialog->findChild<T*>(QString::number(id));
    EXPECT_NE(child, nullptr) << id;
    return child;
}

} // namespace doxtest
