#pragma once
// The popup text editor of the fields typed as text: the edit and rich edit
// controls and the cells of a table. Opening places the editor over the field
// with the stored text; committing stores the entry and reports a refusal in a
// balloon next to the field.

#include <cstdint>
#include <string>

#include "DoxControlBase.h"

class CFont;
class DataField;
class DoxControl;
class DoxTipAttribute;

// Where a field's editor and balloons go: a rectangle of the control (0.1 mm, y
// up, top-left corner and size). The balloons go through the control's runner.
struct DoxFieldPlace {
    DoxControl* control;
    int x;
    int y;
    int width;
    int height;
};

// How the editor is set up for a field.
struct DoxTextEditorSetup {
    const CFont* font;
    uint32_t style;
    bool multiLine;
    // Text-drawing flags as for DrawText.
    uint32_t drawFlags;
    // The field's length; 0: no limit.
    uint32_t fieldLength;
};

// The editor style for the field's type: date, date and time, else text.
uint32_t DoxEditorStyleFor(const DataField* field);

// Takes the entered text from the host when its open editor is the text editor;
// text is left as it was otherwise.
void FetchEditorText(DoxEditorHost* host, std::wstring& text);

// Opens the editor over the field with the stored text, and the field's tip when
// it has one.
void OpenTextEditor(DoxEditorHost& host, const DoxFieldPlace& place, const DoxTextEditorSetup& setup,
                    const std::wstring& stored, DoxTipAttribute& tip);

// The data layer's answer to an entry: stored, or refused with its message
// (empty when it gave none). An emptied field is cleared, which the data layer
// answers as "no value" without a message; that closes the editor like any
// stored entry. A refusal keeps the entry in the editor and shows the message
// ("无效数据" when there is none) in a balloon: 0. Otherwise the balloon goes: 1.
int FinishTextEditor(const DoxFieldPlace& place, bool stored, const std::wstring& text, std::wstring error);

// Commits the editor's text through store(text, error), which returns whether the
// data layer took it; then as FinishTextEditor.
template <class Store> int CommitTextEditor(DoxEditorHost* host, const DoxFieldPlace& place, Store store)
{
    std::wstring text;
    FetchEditorText(host, text);
    std::wstring error;
    const bool stored = store(text, error);
    return FinishTextEditor(place, stored, text, std::move(error));
}
