#include "CMmEdit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

CMmEdit::CMmEdit(QWidget* parent) : QLineEdit(parent)
{
    // Digits with one decimal; a sign only where the range allows negative values.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,5}(\\.\\d?)?")), this));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void CMmEdit::SetRange(int minimum, int maximum)
{
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
}

void CMmEdit::SetValue(int value) { setText(FormatMm(std::clamp(value, minimum_, maximum_))); }

int CMmEdit::GetValue() const
{
    int value = minimum_;
    if (!ParseMm(text(), &value)) return minimum_;
    return std::clamp(value, minimum_, maximum_);
}

bool CMmEdit::ParseMm(const QString& text, int* value)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(-?)(\\d{1,5})(?:\\.(\\d?))?\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return false;
    int tenths = m.captured(2).toInt() * 10 + (m.captured(3).isEmpty() ? 0 : m.captured(3).toInt());
    if (!m.captured(1).isEmpty()) tenths = -tenths;
    *value = tenths;
    return true;
}

QString CMmEdit::FormatMm(int value)
{
    const int magnitude = value < 0 ? -value : value;
    return QStringLiteral("%1%2.%3").arg(value < 0 ? QStringLiteral("-") : QString()).arg(magnitude / 10).arg(magnitude % 10);
}
