#pragma once
// The system clipboard as the caret editor uses it: Unicode text only. An interface,
// so that a clipboard that refuses can be put in its place.

#include <string>

class EditClipboard
{
public:
    virtual ~EditClipboard() = default;
    // False when the clipboard could not be set.
    virtual bool SetText(const std::wstring& text) = 0;
    virtual bool HasText() = 0;
    // False when there is no text or the clipboard cannot be read.
    virtual bool GetText(std::wstring& text) = 0;
};

// The application's clipboard.
EditClipboard& SystemEditClipboard();
// Replaces the clipboard the editors use (null: the system one again); returns the
// previous one.
EditClipboard* SetEditClipboard(EditClipboard* clipboard);
EditClipboard& CurrentEditClipboard();
