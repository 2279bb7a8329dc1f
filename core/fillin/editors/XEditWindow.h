#pragma once
// The caret text editor of the fill-in window: a painted part of the page client
// that lays its text out glyph by glyph inside the field's box, shows a caret,
// keeps a selection, trades Unicode text with the clipboard, takes input-method
// results at the caret and offers a context menu. Input that would not fit the box
// (typed, pasted, composed, picked) is refused whole and reported, so that nothing
// the operator gave is cut without a word; only a stored value set for showing is
// cut to the box.

#include <QFont>
#include <QRect>
#include <string>

#include "DeviceContext.h"
#include "EditGlyphs.h"
#include "XWindowBase.h"

// One entry of the context menu: its text, its command id and whether it is on.
struct EditMenuItem {
    const wchar_t* text;
    int id; // -1: separator
    bool enabled;
};

class XEditWindow : public XWindowBase
{
public:
    XEditWindow();
    ~XEditWindow() override;

    bool OnCreate() override;
    // The box in the host's client pixels.
    void Place(const RECT& rect);
    const RECT& Rect() const { return rect_; }
    bool HasFocus() const { return focused_; }
    // The caret shows while the editor is the focus part.
    void OnSetFocus() override;
    void OnKillFocus() override;
    void OnCancelMode() override;

    void SetFont(const CFont* font) override;
    QFont EditorQFont() const;
    void SetMultiLine(bool multiLine);
    void SetDrawFormat(uint32_t format);
    void SetMaxLength(uint32_t length);
    void SetText(const std::wstring& text);
    void SetText(const QString& text) override { SetText(text.toStdWString()); }
    std::wstring Text() const { return text_.Text(); }
    QString GetText() const override { return QString::fromStdWString(text_.Text()); }
    int GetTextLength() const override { return text_.Count(); }
    // Whether the operator changed the text since the last SetText.
    bool IsModified() const { return modified_; }
    const EditGlyphs& Glyphs() const { return text_; }
    // Caret rectangle in client pixels (the input method's composition window).
    QRect CaretRect() const;

    void OnEraseBackground(CDC& dc) override;
    void OnPaint(CDC& dc) override;

    // Keys and characters as Windows sends them; false: the owner handles it.
    bool OnKeyDown(uint32_t key, uint32_t repeat, uint32_t keyState) override;
    bool OnChar(uint32_t ch, uint32_t repeat, uint32_t keyState) override;
    void OnImeStartComposition() override;
    void OnImeEndComposition() override;
    // A composition's result string, inserted as pasted text.
    void OnImeResult(const std::wstring& text);

    // Mouse in client pixels; the press takes the mouse until the release.
    void DoLButtonDown(uint32_t flags, int x, int y) override;
    void DoMouseMove(uint32_t flags, int x, int y) override;
    void DoLButtonUp(uint32_t flags, int x, int y) override;
    void DoLButtonDblClk(uint32_t flags, int x, int y) override;
    void DoRButtonUp(uint32_t flags, int x, int y) override;
    void SetCursor() override;
    bool HasCapture() const { return top_ && top_->GetCapturePart() == this; }

    // Clipboard and selection commands. Copy is false when the clipboard refused;
    // Cut then keeps the selection.
    bool Copy();
    void Cut();
    void Clear();
    void Paste();
    void SelectAll();
    // Inserts text as the operator's own (a picked history entry, a date).
    void ReplaceAll(const std::wstring& text);

    // The context menu's entries for the current state, and running one of them.
    std::vector<EditMenuItem> MenuItems();
    void RunMenuCommand(int id);

    // Why input was refused: a key or composition, or a paste.
    static const wchar_t* const kTooLongTyped;
    static const wchar_t* const kTooLongPasted;

protected:
    // Input that did not fit was refused, for the reason given.
    virtual void OnRefused(const wchar_t* /*reason*/) {}
    // The operator changed the text.
    virtual void OnTextChanged() {}

private:
    SIZE Measure(wchar_t ch);
    void Changed();
    // Inserts the operator's text whole, or refuses it with the reason.
    bool InsertWhole(const std::wstring& text, const wchar_t* reason);
    void UpdateTextOffset();

    bool focused_ = false;
    bool composing_ = false;
    bool modified_ = false;
    CFont font_;
    CDC measure_;
    CBitmap measureBitmap_;
    EditGlyphs text_;
    uint32_t format_ = 0;
    COLORREF background_ = 0xFFFFFF;
    COLORREF textColour_ = 0;
};
