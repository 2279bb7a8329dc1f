#pragma once
// A layer stand-in for control tests: a page's data page, a list of controls, a
// modified counter; and a DC that records the text boxes it is asked to draw.

#include <string>
#include <vector>

#include "DC.h"
#include "DataPage.h"
#include "DoxControl.h"
#include "DoxControlBase.h"
#include "DoxControlLayer.h"

namespace controltest
{

class FakeLayer : public DoxControlLayer
{
public:
    bool GetPageExtent(int32_t& width, int32_t& height) const override
    {
        width = 2100;
        height = 2970;
        return true;
    }
    bool IsLocked() const override { return locked; }
    int GetState() const override { return state; }
    DataPage* GetPageData() override { return &page; }
    void SetModified() override { ++modified; }
    void UnlinkControl(DoxControl* control) override
    {
        ++unlinked;
        std::erase(controls, control);
    }
    DoxControl* LoadControl(const tinyxml2::XMLElement* element, int a, int b) override;

    DataPage page;
    std::vector<DoxControl*> controls;
    bool locked = false;
    int state = 1;
    int modified = 0;
    int unlinked = 0;
};

struct DrawnText {
    std::wstring text;
    RECT rect;
};

// Records DrawText calls instead of painting.
class RecordingDC : public DCX
{
public:
    int DrawText(const wchar_t* text, int count, RECT* rect, UINT /*format*/) override
    {
        DrawnText d;
        d.text = count < 0 ? std::wstring(text) : std::wstring(text, static_cast<size_t>(count));
        d.rect = *rect;
        drawn.push_back(d);
        return 1;
    }
    std::vector<DrawnText> drawn;
};

// A popup host that keeps what the control gives it.
class FakeEditorHost : public DoxEditorHost
{
public:
    uint32_t GetStyle() const override { return style; }
    void Open(const CFont*, uint32_t s, int, int, int, int) override
    {
        style = s;
        ++opened;
    }
    void SetEditorFont(const CFont*) override {}
    void SetText(const std::wstring& t) override { text = t; }
    bool GetText(std::wstring& t) const override
    {
        t = text;
        return true;
    }
    void SetMultiLine(bool m) override { multiLine = m; }
    void SetDrawFlags(uint32_t f) override { flags = f; }
    void SetMaxLength(int32_t l) override { maxLength = l; }
    void SetChecked(bool) override {}
    bool GetChecked() const override { return false; }

    uint32_t style = 0;
    int opened = 0;
    std::wstring text;
    bool multiLine = false;
    uint32_t flags = 0;
    int32_t maxLength = 0;
};

// A runner stand-in that records tips and the focus.
class FakeRunner : public DoxRunnerSite
{
public:
    DoxControlBase* SetFocusControl(DoxControlBase* field) override
    {
        DoxControlBase* old = focus;
        focus = field;
        return old;
    }
    void InvalidateFocusRect(const RECT& rect, int) override { invalidated.push_back(rect); }
    void ValidateFocusRect(const RECT&) override {}
    void DrawFocusFrame(const RECT&, DC*) override {}
    void HideTip() override { tip.clear(); }
    void ShowTip(const std::wstring& text, int, int, int, int) override { tip = text; }
    const CBrush* GetRunBrush(COLORREF) override { return nullptr; }

    DoxControlBase* focus = nullptr;
    std::wstring tip;
    std::vector<RECT> invalidated;
};

} // namespace controltest
