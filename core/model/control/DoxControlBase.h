#pragma once
// The fill-in side of a control: one input field, the services of the page runner
// that controls call, and the popup editor host they trade text with. The runner
// and the editor host are implemented by the fill-in code; every call a control
// makes through them is skipped when the control has no runner.

#include <string>

#include "GdiTypes.h"

class CBrush;
class CFont;
class DC;
class DataField;
class DoxControl;
class DoxControlBase;

// The popup host of the fill-in window that carries the editors.
class DoxEditorHost
{
public:
    // Style words of the open editor.
    static constexpr uint32_t TextEditor = 0x10000000;
    static constexpr uint32_t DateEditor = 0x10000001;
    static constexpr uint32_t DateTimeEditor = 0x10000003;
    static constexpr uint32_t CheckEditor = 0x20000000;

    virtual uint32_t GetStyle() const = 0;
    // Places the editor of the style over the rectangle (0.1 mm, y up).
    virtual void Open(const CFont* font, uint32_t style, int x, int y, int width, int height) = 0;
    virtual void SetEditorFont(const CFont* font) = 0;
    virtual void SetText(const std::wstring& text) = 0;
    // False when the editor holds no text.
    virtual bool GetText(std::wstring& text) const = 0;
    virtual void SetMultiLine(bool multiLine) = 0;
    // Text-drawing flags as for DrawText.
    virtual void SetDrawFlags(uint32_t flags) = 0;
    // -1: no limit.
    virtual void SetMaxLength(int32_t length) = 0;
    virtual void SetChecked(bool checked) = 0;
    virtual bool GetChecked() const = 0;

protected:
    ~DoxEditorHost() = default;
};

// The mouse pointers a field asks for while the mouse is over it.
enum class DoxRunCursor { Arrow, IBeam };

// What a control asks of the page runner that holds it.
class DoxRunnerSite
{
public:
    // Makes field the current input field; returns the previous one.
    virtual DoxControlBase* SetFocusControl(DoxControlBase* field) = 0;
    virtual void InvalidateFocusRect(const RECT& rect, int flag) = 0;
    // Whether an invalidated area would be painted now (see DoxRunnerWindow).
    virtual bool ShowsChanges() = 0;
    virtual void ValidateFocusRect(const RECT& rect) = 0;
    virtual void DrawFocusFrame(const RECT& rect, DC* dc) = 0;
    virtual void HideTip() = 0;
    // A balloon next to the rectangle (0.1 mm, y up, top-left corner and size).
    virtual void ShowTip(const std::wstring& text, int x, int y, int width, int height) = 0;
    // The runner's cached solid brush of the colour (hollow for 0xFFFFFFFF).
    virtual const CBrush* GetRunBrush(COLORREF colour) = 0;
    // Shows the pointer in the fill-in window.
    virtual void SetRunCursor(DoxRunCursor cursor) = 0;

protected:
    ~DoxRunnerSite() = default;
};

// One input field in fill-in mode: a whole control or one cell of a split control.
class DoxControlBase
{
public:
    virtual void InvalidateField(int flag) = 0;
    virtual void ValidateField() = 0;
    virtual void DrawFocus(DC* dc) = 0;
    virtual int IsWholeControl() = 0;
    virtual DoxControl* GetControl() = 0;
    virtual DoxControlBase* NextField() = 0;
    virtual DoxControlBase* PrevField() = 0;
    virtual DataField* GetBinding() = 0;
    virtual void ReservedField() = 0;
    virtual void HideTip() = 0;
    // direction 0 fills the editor from the field; 1 stores the editor's text into
    // the field. False: nothing to edit (or the entry was refused).
    virtual int ExchangeEditor(DoxEditorHost* host, int direction) = 0;
    virtual void GetFieldRect(POINT* position, SIZE* size) = 0;

protected:
    ~DoxControlBase() = default;
};
