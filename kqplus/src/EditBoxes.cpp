#include "EditBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPalette>
#include <QToolTip>

#include <cwchar>

namespace kqplus
{

namespace
{

const wchar_t kDigitTitle[] = L"不能接受的字符";
const wchar_t kDigitsOnly[] = L"您只能在这里输入数字。";
const wchar_t kMoneyTitle[] = L"不能接受的货币格式";
const wchar_t kTwoDecimals[] = L"在此只能输入2位小数的数值。";
const wchar_t kTypeNumber[] = L"请在此输入数字";

bool IsPlainKey(const QString& text)
{
    // Navigation and editing keys carry no character; Enter, Tab and Esc belong
    // to the dialog.
    return text.isEmpty() || text == QLatin1String("\r") || text == QLatin1String("\n") ||
           text == QLatin1String("\t") || text == QLatin1String("\x1b");
}

} // namespace

std::optional<std::wstring> DigitRefusal(const std::wstring& text, bool ranged, int minimum, int maximum)
{
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::wstring(kDigitsOnly);
        if (value <= 1000000000LL)
            value = value * 10 + (c - L'0');
    }
    if (ranged && !text.empty() && (value < minimum || value > maximum)) {
        wchar_t message[64];
        std::swprintf(message, sizeof message / sizeof message[0], L"您只能在这里输入%d到%d的数值。", minimum,
                      maximum);
        return std::wstring(message);
    }
    return std::nullopt;
}

CheckedEdit::CheckedEdit(QWidget* parent) : QLineEdit(parent)
{
    // Drops would bypass the checks.
    setAcceptDrops(false);
}

QString CheckedEdit::Composed(const QString& insert) const
{
    QString t = text();
    if (hasSelectedText())
        return t.replace(selectionStart(), selectedText().size(), insert);
    return t.insert(cursorPosition(), insert);
}

void CheckedEdit::ShowBalloon(const std::wstring& title, const std::wstring& text)
{
    balloonTitle_ = title;
    const QString html = QStringLiteral("<b>%1</b><br>%2")
                             .arg(QString::fromStdWString(title).toHtmlEscaped(),
                                  QString::fromStdWString(text).toHtmlEscaped());
    QToolTip::showText(mapToGlobal(QPoint(width() / 2, height())), html, this);
}

void CheckedEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy) || event->key() == Qt::Key_Backspace) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        const QString composed = Composed(QApplication::clipboard()->text());
        if (composed.isEmpty() || AcceptsText(composed))
            QLineEdit::keyPressEvent(event);
        else
            ShowRefusal();
        return;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || (IsPlainKey(typed) && !(event->modifiers() & Qt::ControlModifier))) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (!TakesCharacter(typed.front())) {
        RefuseCharacter();
        return;
    }
    if (AcceptsText(Composed(typed)))
        QLineEdit::keyPressEvent(event);
    else
        ShowRefusal();
}

// ---- digits

CDigitEdit::CDigitEdit(QWidget* parent, int limit) : CheckedEdit(parent)
{
    setMaxLength(limit);
    setContextMenuPolicy(Qt::NoContextMenu);
    setInputMethodHints(Qt::ImhDigitsOnly);
}

void CDigitEdit::SetRange(int minimum, int maximum)
{
    ranged_ = true;
    minimum_ = minimum;
    maximum_ = maximum;
}

bool CDigitEdit::Accepts(const QString& text)
{
    std::optional<std::wstring> refusal = DigitRefusal(text.toStdWString(), ranged_, minimum_, maximum_);
    if (refusal) {
        message_ = *refusal;
        return false;
    }
    return true;
}

bool CDigitEdit::SetCheckedText(const QString& text)
{
    if (text.size() > maxLength() || !Accepts(text))
        return false;
    setText(text);
    return true;
}

bool CDigitEdit::TakesCharacter(QChar c) const
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

void CDigitEdit::ShowRefusal()
{
    ShowBalloon(kDigitTitle, message_);
}

void CDigitEdit::RefuseCharacter()
{
    message_ = kDigitsOnly;
    ShowRefusal();
}

// ---- amounts

QString NormalisedAmountText(const QString& text)
{
    const QString none = QString::fromWCharArray(kNoAmountText);
    if (text.isEmpty())
        return none;
    if (text == none)
        return text;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text + QStringLiteral(".00");
    const qsizetype decimals = text.size() - point - 1;
    if (decimals == 0)
        return text + QStringLiteral("00");
    if (decimals == 1)
        return text + QStringLiteral("0");
    return text;
}

CMoneyEdit::CMoneyEdit(QWidget* parent) : CheckedEdit(parent)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QLineEdit::textChanged, this, [this] { UpdateColour(); });
    UpdateColour();
}

AmountParse CMoneyEdit::Parse(const QString& text)
{
    AmountParse parse = ParseAmountText(text.toStdWString(), check_);
    message_ = parse.message;
    return parse;
}

bool CMoneyEdit::IsNoAmount() const
{
    return text() == QString::fromWCharArray(kNoAmountText);
}

bool CMoneyEdit::SetCheckedText(const QString& text)
{
    if (text.isEmpty() || text == QString::fromWCharArray(kNoAmountText)) {
        setText(QString::fromWCharArray(kNoAmountText));
        return true;
    }
    if (!Parse(text).valid)
        return false;
    setText(text);
    return true;
}

bool CMoneyEdit::Value(int64_t& fen)
{
    if (IsNoAmount()) {
        fen = kNoAmount;
        return true;
    }
    AmountParse parse = Parse(text());
    fen = parse.valid ? parse.fen : 0;
    return parse.valid;
}

bool CMoneyEdit::SetValue(int64_t fen)
{
    if (fen == kNoAmount) {
        setText(QString::fromWCharArray(kNoAmountText));
        return true;
    }
    if (fen < 0 || fen > kMaxFen)
        return false;
    setText(QString::fromStdWString(FormatFen(fen)));
    return true;
}

bool CMoneyEdit::TakesCharacter(QChar c) const
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.');
}

void CMoneyEdit::ShowRefusal()
{
    ShowBalloon(kMoneyTitle, message_.empty() ? std::wstring(kTwoDecimals) : message_);
}

void CMoneyEdit::RefuseCharacter()
{
    message_ = kTypeNumber;
    ShowRefusal();
}

void CMoneyEdit::focusInEvent(QFocusEvent* event)
{
    if (IsNoAmount())
        clear();
    QLineEdit::focusInEvent(event);
}

void CMoneyEdit::focusOutEvent(QFocusEvent* event)
{
    const QString normal = NormalisedAmountText(text());
    if (normal != text())
        setText(normal);
    QLineEdit::focusOutEvent(event);
}

void CMoneyEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        activateWindow();
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CMoneyEdit::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

void CMoneyEdit::UpdateColour()
{
    QPalette p = palette();
    p.setColor(QPalette::Text, IsNoAmount() ? QColor(128, 128, 128) : QColor(0, 0, 0));
    setPalette(p);
}

} // namespace kqplus
