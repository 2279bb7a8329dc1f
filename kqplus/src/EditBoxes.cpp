#include "EditBoxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
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

// Keys that edit or move and never insert, whatever text the platform attaches to
// them (X11 gives Delete the text "\x7f"); Enter, Tab and Esc belong to the dialog.
bool IsEditingKey(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
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

bool CheckedEdit::TakesInsert(const QString& insert, const QString& composed)
{
    for (QChar c : insert) {
        if (!TakesCharacter(c)) {
            RefuseCharacter();
            return false;
        }
    }
    if (!AcceptsText(composed)) {
        ShowRefusal();
        return false;
    }
    return true;
}

void CheckedEdit::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+V and Shift+Insert: the whole would-be text must be accepted.
    if (event->matches(QKeySequence::Paste)) {
        const QString composed = Composed(QApplication::clipboard()->text());
        if (composed.isEmpty() || AcceptsText(composed))
            QLineEdit::keyPressEvent(event);
        else
            ShowRefusal();
        return;
    }
    // Copy, cut, the editing keys and the other shortcuts insert nothing.
    const QString typed = event->text();
    if (IsEditingKey(event) || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) || typed.isEmpty() ||
        !typed.front().isPrint()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (TakesInsert(typed, Composed(typed)))
        QLineEdit::keyPressEvent(event);
}

void CheckedEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() && !TakesInsert(commit, Composed(commit))) {
        // The composition ends without its text.
        QInputMethodEvent nothing;
        QLineEdit::inputMethodEvent(&nothing);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void CheckedEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the primary selection at the caret the press placed.
    QClipboard* clipboard = QApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        const QString insert = clipboard->text(QClipboard::Selection);
        if (!insert.isEmpty() && !TakesInsert(insert, text().insert(cursorPosition(), insert))) {
            event->accept();
            return;
        }
    }
    QLineEdit::mouseReleaseEvent(event);
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
