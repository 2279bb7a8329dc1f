#include "EditGlyphs.h"

#include <algorithm>
#include <cwctype>

namespace
{
constexpr int kVkEnd = 35;
constexpr int kVkHome = 36;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;

bool IsBreak(wchar_t ch)
{
    return ch == L'\r' || ch == L'\n';
}
} // namespace

std::wstring EditGlyphs::Text() const
{
    std::wstring text;
    text.reserve(glyphs_.size());
    for (const EditGlyph& g : glyphs_)
        text.push_back(g.ch);
    return text;
}

std::wstring EditGlyphs::SelectedText() const
{
    std::wstring text;
    for (int i = selStart_; i < selEnd_; ++i)
        text.push_back(glyphs_[static_cast<size_t>(i)].ch);
    return text;
}

POINT EditGlyphs::CaretPoint() const
{
    const POINT start{box_.left + offsetX_, box_.top + offsetY_};
    if (glyphs_.empty())
        return start;
    if (caret_ < Count()) {
        const EditGlyph& g = glyphs_[static_cast<size_t>(caret_)];
        return POINT{g.x, g.y};
    }
    const EditGlyph& last = glyphs_.back();
    if (last.ch == L'\n')
        return POINT{start.x, last.y + lineHeight_};
    return POINT{last.x + last.width, last.y};
}

void EditGlyphs::Clear()
{
    glyphs_.clear();
    caret_ = selStart_ = selEnd_ = anchor_ = 0;
}

std::wstring EditGlyphs::Normalise(const std::wstring& text) const
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        if (!multiLine_) {
            if (!IsBreak(ch))
                out.push_back(ch);
            continue;
        }
        if (ch == L'\r') {
            out += L"\r\n";
            if (i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else if (ch == L'\n') {
            out += L"\r\n";
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

size_t EditGlyphs::Layout(std::vector<EditGlyph>& glyphs) const
{
    const int startX = box_.left + offsetX_;
    int x = startX;
    int y = box_.top + offsetY_;
    const int bottomLimit = box_.bottom + lineHeight_ / 3;
    size_t placed = 0;
    for (EditGlyph& g : glyphs) {
        SIZE size{0, lineHeight_};
        if (measure_)
            size = measure_(g.ch);
        if (g.ch < 32 || g.ch == 127)
            size.cx = 0;
        g.width = size.cx;
        g.height = size.cy > 0 ? size.cy : lineHeight_;
        if (g.ch == L'\n') {
            // A line break ends its line; the next glyph starts the new one.
            g.x = x;
            g.y = y;
            if (y + 2 * lineHeight_ > bottomLimit)
                break;
            y += lineHeight_;
            x = startX;
            ++placed;
            continue;
        }
        if (x + g.width > box_.right && g.ch != L'\r') {
            if (!multiLine_ || y + 2 * lineHeight_ > bottomLimit)
                break;
            y += lineHeight_;
            x = startX;
        }
        g.x = x;
        g.y = y;
        x += g.width;
        ++placed;
    }
    return placed;
}

void EditGlyphs::Relayout()
{
    Layout(glyphs_);
}

void EditGlyphs::SetSelection(int start, int end)
{
    selStart_ = std::min(start, end);
    selEnd_ = std::max(start, end);
    for (int i = 0; i < Count(); ++i)
        glyphs_[static_cast<size_t>(i)].selected = i >= selStart_ && i < selEnd_;
}

void EditGlyphs::EraseRange(int start, int end)
{
    glyphs_.erase(glyphs_.begin() + start, glyphs_.begin() + end);
    Layout(glyphs_);
    caret_ = anchor_ = start;
    SetSelection(start, start);
}

bool EditGlyphs::Insert(const std::wstring& input, bool cut)
{
    if (input.empty())
        return false;
    // Worked on a copy: typing that does not fit leaves text and selection alone.
    std::vector<EditGlyph> copy = glyphs_;
    int at = caret_;
    if (selStart_ < selEnd_) {
        copy.erase(copy.begin() + selStart_, copy.begin() + selEnd_);
        at = selStart_;
    }
    std::wstring text = input;
    if (maxLength_ != 0xFFFFFFFFu) {
        const size_t room = copy.size() >= maxLength_ ? 0 : maxLength_ - copy.size();
        if (text.size() > room) {
            if (!cut)
                return false;
            text.resize(room);
        }
    }
    std::vector<EditGlyph> inserted(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        inserted[i].ch = text[i];
    copy.insert(copy.begin() + at, inserted.begin(), inserted.end());
    const size_t placed = Layout(copy);
    if (placed < copy.size()) {
        if (!cut)
            return false;
        copy.resize(placed);
        // A CR whose LF did not fit would leave half a line break.
        if (!copy.empty() && copy.back().ch == L'\r' && multiLine_)
            copy.pop_back();
    }
    const bool changed = copy.size() != glyphs_.size() || text.size() > 0 || selStart_ < selEnd_;
    glyphs_ = std::move(copy);
    caret_ = std::min(at + static_cast<int>(text.size()), Count());
    anchor_ = caret_;
    SetSelection(caret_, caret_);
    return changed;
}

bool EditGlyphs::DeleteSelection()
{
    if (selStart_ >= selEnd_) {
        anchor_ = caret_;
        SetSelection(caret_, caret_);
        return false;
    }
    EraseRange(selStart_, selEnd_);
    return true;
}

bool EditGlyphs::DeleteForward()
{
    if (HasSelection())
        return DeleteSelection();
    if (caret_ >= Count())
        return false;
    int end = caret_ + 1;
    if (glyphs_[static_cast<size_t>(caret_)].ch == L'\r' && end < Count() &&
        glyphs_[static_cast<size_t>(end)].ch == L'\n')
        ++end;
    EraseRange(caret_, end);
    return true;
}

bool EditGlyphs::DeleteBack()
{
    if (HasSelection())
        return DeleteSelection();
    if (caret_ <= 0)
        return false;
    int start = caret_ - 1;
    if (glyphs_[static_cast<size_t>(start)].ch == L'\n' && start > 0 &&
        glyphs_[static_cast<size_t>(start - 1)].ch == L'\r')
        --start;
    EraseRange(start, caret_);
    return true;
}

void EditGlyphs::SelectAll()
{
    caret_ = Count();
    anchor_ = 0;
    SetSelection(0, caret_);
}

void EditGlyphs::MoveCaret(int index, bool extend)
{
    index = std::clamp(index, 0, Count());
    caret_ = index;
    if (!extend)
        anchor_ = index;
    SetSelection(anchor_, caret_);
}

int EditGlyphs::HitTest(POINT point) const
{
    const int left = box_.left + offsetX_;
    const int top = box_.top + offsetY_;
    point.x = std::clamp(point.x, left, std::max(left, static_cast<int>(box_.right) - 1));
    point.y = std::clamp(point.y, top, std::max(top, static_cast<int>(box_.bottom) - 1));
    int lastOnLine = -1;
    for (int i = 0; i < Count(); ++i) {
        const EditGlyph& g = glyphs_[static_cast<size_t>(i)];
        if (point.y < g.y || point.y >= g.y + lineHeight_)
            continue;
        if (IsBreak(g.ch))
            return i;
        if (point.x < g.x + g.width / 2)
            return i;
        lastOnLine = i;
    }
    return lastOnLine >= 0 ? lastOnLine + 1 : Count();
}

void EditGlyphs::SelectWord()
{
    int start = 0;
    for (int i = std::min(caret_, Count() - 1); i >= 0; --i) {
        if (std::iswspace(static_cast<wint_t>(glyphs_[static_cast<size_t>(i)].ch))) {
            start = i;
            break;
        }
    }
    int end = Count();
    for (int i = caret_ + 1; i < Count(); ++i) {
        if (std::iswspace(static_cast<wint_t>(glyphs_[static_cast<size_t>(i)].ch))) {
            end = i;
            break;
        }
    }
    anchor_ = start;
    caret_ = end;
    SetSelection(start, end);
}

int EditGlyphs::LineStart(int index) const
{
    const int y = CaretPoint().y;
    (void)index;
    for (int i = 0; i < Count(); ++i) {
        if (glyphs_[static_cast<size_t>(i)].y == y)
            return i;
    }
    return Count();
}

int EditGlyphs::LineEnd(int index) const
{
    const int y = CaretPoint().y;
    int end = index;
    for (int i = 0; i < Count(); ++i) {
        const EditGlyph& g = glyphs_[static_cast<size_t>(i)];
        if (g.y != y)
            continue;
        if (IsBreak(g.ch))
            return i;
        end = i + 1;
    }
    return end;
}

bool EditGlyphs::MoveByKey(int key, bool extend)
{
    int index = caret_;
    switch (key) {
    case kVkLeft:
        if (index > 0) {
            --index;
            if (index > 0 && glyphs_[static_cast<size_t>(index)].ch == L'\n' &&
                glyphs_[static_cast<size_t>(index - 1)].ch == L'\r')
                --index;
        }
        break;
    case kVkRight:
        if (index < Count()) {
            ++index;
            if (index < Count() && glyphs_[static_cast<size_t>(index)].ch == L'\n' &&
                glyphs_[static_cast<size_t>(index - 1)].ch == L'\r')
                ++index;
        }
        break;
    case kVkHome:
        index = multiLine_ ? LineStart(index) : 0;
        break;
    case kVkEnd:
        index = multiLine_ ? LineEnd(index) : Count();
        break;
    case kVkUp:
    case kVkDown: {
        if (!multiLine_)
            return false;
        const POINT at = CaretPoint();
        const int y = at.y + lineHeight_ / 2 + (key == kVkUp ? -lineHeight_ : lineHeight_);
        if (y < box_.top + offsetY_)
            break;
        index = HitTest(POINT{at.x, y});
        break;
    }
    default:
        return false;
    }
    MoveCaret(index, extend);
    return true;
}
