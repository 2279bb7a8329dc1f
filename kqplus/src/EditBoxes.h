#pragma once
// The computation dialog's input boxes: they refuse a wrong character at once and
// say why in a balloon, so a bad text never gets into the box.

#include "AmountText.h"

#include <QLineEdit>
#include <QString>

#include <optional>

namespace kqplus
{

// Why a digit box refuses a text: not only digits ("您只能在这里输入数字。"), or,
// with a range, a number outside it ("您只能在这里输入%d到%d的数值。"); none when
// it is accepted. The empty text is accepted.
std::optional<std::wstring> DigitRefusal(const std::wstring& text, bool ranged, int minimum, int maximum);

// Shared by both boxes: the would-be text and the balloon.
class CheckedEdit : public QLineEdit
{
public:
    explicit CheckedEdit(QWidget* parent);

    // The message and title of the last balloon (empty before the first).
    const std::wstring& Message() const { return message_; }
    const std::wstring& BalloonTitle() const { return balloonTitle_; }

protected:
    // Copy, cut and the editing keys pass; a paste, or a character the box takes,
    // passes only when the text it leaves is accepted; any other character is
    // refused. Text from the input method and the middle button meet the same check.
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The characters the box is made for.
    virtual bool TakesCharacter(QChar c) const = 0;
    // Whether the box accepts a whole text; a refusal leaves its reason in message_.
    virtual bool AcceptsText(const QString& text) = 0;
    // Shows the balloon for the last refusal.
    virtual void ShowRefusal() = 0;
    // A character the box is not made for.
    virtual void RefuseCharacter() = 0;

    // The text with the selection (or the caret) replaced by insert.
    QString Composed(const QString& insert) const;
    // Whether insert may go in, leaving composed; a refusal shows its balloon.
    bool TakesInsert(const QString& insert, const QString& composed);
    void ShowBalloon(const std::wstring& title, const std::wstring& text);

    std::wstring message_;

private:
    std::wstring balloonTitle_;
};

class CDigitEdit : public CheckedEdit
{
public:
    explicit CDigitEdit(QWidget* parent = nullptr, int limit = 32);

    void SetRange(int minimum, int maximum);
    // Sets the text only when the box accepts it (digits, within the range and
    // the limit); false otherwise.
    bool SetCheckedText(const QString& text);
    bool Accepts(const QString& text);

protected:
    bool TakesCharacter(QChar c) const override;
    bool AcceptsText(const QString& text) override { return Accepts(text); }
    void ShowRefusal() override;
    void RefuseCharacter() override;

private:
    bool ranged_ = false;
    int minimum_ = 0;
    int maximum_ = 0;
};

class CMoneyEdit : public CheckedEdit
{
public:
    explicit CMoneyEdit(QWidget* parent = nullptr);

    // The bill's check of an amount text (may be empty).
    void SetCheck(AmountCheck check) { check_ = std::move(check); }

    // "无金额" or an empty text shows "无金额"; a valid amount is set unchanged;
    // anything else is refused (false).
    bool SetCheckedText(const QString& text);
    // -1 without amount; false with no valid amount.
    bool Value(int64_t& fen);
    // -1 shows "无金额"; a negative or too large amount is refused.
    bool SetValue(int64_t fen);
    bool IsNoAmount() const;
    AmountParse Parse(const QString& text);

protected:
    bool TakesCharacter(QChar c) const override;
    bool AcceptsText(const QString& text) override { return Parse(text).valid; }
    void ShowRefusal() override;
    void RefuseCharacter() override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateColour();

    AmountCheck check_;
};

// The text a money box shows after losing the focus: "5." -> "5.00", "5.5" ->
// "5.50", "5" -> "5.00"; "" -> "无金额"; two decimals and "无金额" stay.
QString NormalisedAmountText(const QString& text);

} // namespace kqplus
