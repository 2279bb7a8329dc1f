#pragma once
// The text model of the caret editor: one glyph per character (a wchar_t is one
// code point here, so a character outside the basic plane is one glyph and one
// Backspace), each placed in the editor's box; the caret and the selection are
// glyph indexes. The box and the maximum length are the rule: input that does not
// fit is refused whole, unless the caller allows cutting (a stored value shown in
// the box). Measuring is handed in, so the model is tested without a window.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "GdiTypes.h"

// One laid-out character. Full-size fields: a large font's glyph is wider than
// 255 and taller than 127 pixels.
struct EditGlyph {
    int32_t x = 0;
    int32_t y = 0;
    wchar_t ch = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool selected = false;
};

class EditGlyphs
{
public:
    // The pixel size of one character in the editor's font.
    using Measure = std::function<SIZE(wchar_t)>;

    void SetMeasure(Measure measure) { measure_ = std::move(measure); }
    // The box in client pixels and the offset of the first line inside it.
    void SetBox(const RECT& box) { box_ = box; }
    const RECT& Box() const { return box_; }
    void SetTextOffset(int x, int y)
    {
        offsetX_ = x;
        offsetY_ = y;
    }
    int TextOffsetY() const { return offsetY_; }
    void SetLineHeight(int height) { lineHeight_ = height > 0 ? height : 1; }
    int LineHeight() const { return lineHeight_; }
    void SetMultiLine(bool multiLine) { multiLine_ = multiLine; }
    bool IsMultiLine() const { return multiLine_; }
    // Glyph count limit; 0xFFFFFFFF: none.
    void SetMaxLength(uint32_t length) { maxLength_ = length; }
    uint32_t MaxLength() const { return maxLength_; }

    const std::vector<EditGlyph>& Glyphs() const { return glyphs_; }
    std::wstring Text() const;
    std::wstring SelectedText() const;
    int Count() const { return static_cast<int>(glyphs_.size()); }
    int Caret() const { return caret_; }
    int SelStart() const { return selStart_; }
    int SelEnd() const { return selEnd_; }
    bool HasSelection() const { return selStart_ < selEnd_; }
    // The caret's top-left in client pixels.
    POINT CaretPoint() const;

    // Empties the text; caret and selection at the start.
    void Clear();
    // The single-line form drops CR and LF; the multi-line form turns every lone CR
    // and lone LF into CR LF.
    std::wstring Normalise(const std::wstring& text) const;
    // Inserts at the caret in place of the selection. With cut, what does not fit
    // (the box or the maximum length) is dropped from the end; without it, text
    // that does not fit changes nothing. True when the text changed, so false for
    // a non-empty text means it was refused.
    bool Insert(const std::wstring& text, bool cut);
    // Deletes the selection, or collapses it at the caret; true when text went.
    bool DeleteSelection();
    // Delete: the selection, else the glyph after the caret (a CR LF as one).
    bool DeleteForward();
    // Backspace: the selection, else the glyph before the caret (a CR LF as one).
    bool DeleteBack();
    void SelectAll();
    // Caret to index; with extend the selection runs from its anchor to it.
    void MoveCaret(int index, bool extend);
    // The caret index for a point in client pixels.
    int HitTest(POINT point) const;
    // The word around the caret, white space as its edges.
    void SelectWord();
    // Caret moves of the keys: Left, Right, Home, End, Up, Down (VK numbers).
    // False for Up and Down in a single-line box.
    bool MoveByKey(int key, bool extend);
    // Lays the glyphs out again (after a font or box change); glyphs that no
    // longer fit keep their last place.
    void Relayout();

private:
    // Places glyphs from the box's start; returns how many found a place.
    size_t Layout(std::vector<EditGlyph>& glyphs) const;
    void SetSelection(int start, int end);
    void EraseRange(int start, int end);
    int LineStart(int index) const;
    int LineEnd(int index) const;

    Measure measure_;
    RECT box_{0, 0, 0, 0};
    int offsetX_ = 0;
    int offsetY_ = 0;
    int lineHeight_ = 10;
    bool multiLine_ = false;
    uint32_t maxLength_ = 0xFFFFFFFFu;
    std::vector<EditGlyph> glyphs_;
    int caret_ = 0;
    int selStart_ = 0;
    int selEnd_ = 0;
    int anchor_ = 0;
};
