#pragma once
// The editor host that the fill-in window lays over its current field. It is no
// window of its own but a painted part of the page client, in one of two modes the
// field chooses: text (the caret editor exactly over the field, a frame, a button
// that drops the field's input history and, for dates, a calendar button) or check
// (a check box over the field). The fields fill it and read it back (the runner's
// editor host), the runner opens and closes it.

#include <QFont>
#include <QPointer>
#include <QRect>
#include <string>

#include "DoxCheckWindow.h"
#include "DoxControlBase.h"
#include "DoxRunnerPage.h"
#include "DoxCalenderWindow.h"
#include "DoxChoiceWindow.h"
#include "XEditWindow.h"

class DoxInputWindow;

// The caret editor of the host: after every typed character and every finished
// composition the history list follows the text; refused input and changes go to
// the host, which shows and hides the field's balloon.
class DoxEditWindow : public XEditWindow
{
public:
    explicit DoxEditWindow(DoxInputWindow* owner) : owner_(owner) {}
    bool OnChar(uint32_t ch, uint32_t repeat, uint32_t keyState) override;
    void OnImeEndComposition() override;

protected:
    void OnRefused(const wchar_t* reason) override;
    void OnTextChanged() override;

private:
    DoxInputWindow* owner_;
};

class DoxInputWindow : public XTopWindowBase, public DoxEditorHost, public DoxRunnerEditor
{
public:
    static constexpr uint32_t kDateBit = 0x1;
    static constexpr uint32_t kTimeBit = 0x2;
    static constexpr int kButtonWidth = 20;

    DoxInputWindow();
    ~DoxInputWindow() override;

    // A root part of the page client with the caret editor and the check box as
    // its children; closed until a field opens it.
    bool Create(QWidget* host);
    // Closes the popups and takes the parts down.
    void TearDown();
    bool IsTopWindow() const override { return true; }

    // DoxEditorHost
    uint32_t GetStyle() const override { return mode_; }
    void Open(const CFont* font, uint32_t style, int x, int y, int width, int height) override;
    void SetEditorFont(const CFont* font) override;
    void SetText(const std::wstring& text) override;
    bool GetText(std::wstring& text) const override;
    void SetMultiLine(bool multiLine) override;
    void SetDrawFlags(uint32_t flags) override;
    void SetMaxLength(int32_t length) override;
    void SetChecked(bool checked) override;
    bool GetChecked() const override;

    // DoxRunnerEditor
    DoxEditorHost* GetHost() override { return this; }
    bool IsShown() override { return IsEnabled(); }
    void SetTarget(DoxControlBase* field, bool open) override;
    void EntryRefused() override { refusalShown_ = true; }

    // Input the editor refused: the reason in the field's balloon.
    void ShowRefusal(const wchar_t* reason);
    // The operator changed the text: a refusal's balloon no longer speaks of it.
    void TextChanged();

    // The part's place: the field inflated by 3 pixels, in client pixels; a text
    // editor adds its buttons on the right and stays inside the client.
    void Layout(int x, int y, int cx, int cy);
    const RECT& Rect() const { return rect_; }
    QRect HistoryButton() const;
    QRect CalendarButton() const;

    XEditWindow& Edit() { return edit_; }
    DoxCheckWindow& Check() { return check_; }
    DoxControlBase* Target() const { return target_; }
    // The popups, made at their first opening and kept.
    DoxChoiceWindow& History();
    DoxCalenderWindow& Calendar();
    // True while a popup of the editor is open (the page keeps the edit).
    bool IsPopupOpen() const;

    void OnPaint(CDC& dc) override;
    // A press that no child took: the history and calendar buttons.
    void DoLButtonDown(uint32_t flags, int x, int y) override;
    void SetCursor() override;
    // Keys, characters and the input method go to the focus part while it is open.
    bool KeyDown(uint32_t key, uint32_t repeat, uint32_t keyState);
    bool KeyUp(uint32_t key, uint32_t repeat, uint32_t keyState);
    bool Char(uint32_t ch, uint32_t repeat, uint32_t keyState);
    void ImeStartComposition();
    void ImeEndComposition();
    void ImeResult(const std::wstring& text);
    QRect CaretRect() const { return edit_.CaretRect(); }
    QFont EditorQFont() const { return edit_.EditorQFont(); }

    // The field's earlier values that contain the text (all of them for null);
    // true when there is at least one.
    bool FillHistory(const wchar_t* text);
    // `typing`: the list opens by itself while the operator types, not asked for.
    void OpenHistory(bool typing = false);
    void OpenCalendar();
    // After typing: the list opens (or follows) while earlier values match the
    // text, and closes without a choice when none does.
    void UpdateHistory();

private:
    bool IsText() const { return (mode_ & TextEditor) == TextEditor; }
    bool IsCheck() const { return (mode_ & CheckEditor) == CheckEditor; }
    QRect ScreenRect(const QRect& rect) const;
    void PaintButton(CDC& dc, const QRect& button, int which);
    // The focus part when it may take keys.
    XWindowBase* KeyPart() const;

    DoxControlBase* target_ = nullptr;
    uint32_t mode_ = 0;
    DoxEditWindow edit_;
    DoxCheckWindow check_;
    // Children of the page client, which deletes them with itself.
    QPointer<DoxChoiceWindow> history_;
    QPointer<DoxCalenderWindow> calendar_;
    CFont font_;
    std::wstring loaded_;
    int pressedButton_ = 0;
    // The field's top-left and size as Open had them (0.1 mm, y up): where its
    // balloons go.
    struct {
        int x, y, width, height;
    } place_{0, 0, 0, 0};
    // The balloon shows why the text in the editor was refused.
    bool refusalShown_ = false;
};
