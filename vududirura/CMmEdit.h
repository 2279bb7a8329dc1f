#pragma once
// An edit box for a length in 0.1 mm, shown and typed in millimetres with one
// decimal ("210.0"). A value outside the range is brought into it when read.

#include "VududiruraApi.h"

#include <QLineEdit>

class VUDU_API CMmEdit : public QLineEdit
{
public:
    explicit CMmEdit(QWidget* parent = nullptr);

    // Bounds in 0.1 mm.
    void SetRange(int minimum, int maximum);
    void SetValue(int value);
    // The typed value in 0.1 mm, kept inside the range; the minimum for an empty box.
    int GetValue() const;

    // "-12.5" -> -125; none for text that is no such number.
    static bool ParseMm(const QString& text, int* value);
    static QString FormatMm(int value);

private:
    int minimum_ = 0;
    int maximum_ = 9999;
};
