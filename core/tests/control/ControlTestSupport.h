#pragma once
// A layer stand-in for control tests: a page's data page, a list of controls, a
// modified counter; a DC that records the text boxes it is asked to draw; fake
// editor hosts and runners; a fixture for one control of a kind; saving and
// loading controls through their XML; and pages painted at one pixel per 0.1 mm.

#include <string>
#include <vector>

#include <QImage>

#include "DC.h"
#include "DataPage.h"
#include "DoxControl.h"
#include "DoxControlBase.h"
#include "DoxControlKinds.h"
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
    // Releases the controls loaded onto the layer, the last first.
    void ReleaseAll();

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
    // Every drawn text followed by "|".
    std::wstring Joined() const
    {
        std::wstring all;
        for (const DrawnText& d : drawn)
            all += d.text + L"|";
        return all;
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
    bool ShowsChanges() override { return true; }
    void ValidateFocusRect(const RECT&) override {}
    void DrawFocusFrame(const RECT&, DC*) override {}
    void HideTip() override { tip.clear(); }
    void ShowTip(const std::wstring& text, int, int, int, int) override { tip = text; }
    const CBrush* GetRunBrush(COLORREF) override { return nullptr; }
    void SetRunCursor(DoxRunCursor c) override
    {
        cursor = c;
        ++cursorCalls;
    }

    DoxControlBase* focus = nullptr;
    DoxRunCursor cursor = DoxRunCursor::Arrow;
    int cursorCalls = 0;
    std::wstring tip;
    std::vector<RECT> invalidated;
};

// One control of a kind made on a layer of its own; goes with whatever was
// loaded onto the layer.
template <class Control> struct KindFixture {
    FakeLayer layer;
    Control* control = nullptr;

    KindFixture(int32_t kind, RECT rect)
        : control(static_cast<Control*>(CreateControlByKind(kind, &layer, &rect)))
    {
    }
    ~KindFixture()
    {
        layer.ReleaseAll();
        if (control) {
            control->SetParentLayer(nullptr);
            control->Release();
        }
    }
    KindFixture(const KindFixture&) = delete;
    KindFixture& operator=(const KindFixture&) = delete;
};

// A control of the kind made on the layer and kept in its list, so that
// FakeLayer::ReleaseAll lets it go.
template <class Control> Control* AddControl(FakeLayer& layer, int32_t kind, RECT rect)
{
    DoxControl* control = CreateControlByKind(kind, &layer, &rect);
    if (control)
        layer.controls.push_back(control);
    return static_cast<Control*>(control);
}

// The control saved into a layer element, as text.
std::string SaveControl(DoxControl* control);
// The first control of a saved layer element made again on the layer.
DoxControl* LoadControl(FakeLayer& layer, const std::string& xml);
// The keys of a set's attributes and of an attribute's items, in order.
std::vector<std::string> Keys(DoxAttribSet& set);
std::vector<std::string> ItemKeys(DoxAttribute& attribute);
// A white page at 254 dpi: one pixel is 0.1 mm.
QImage PageImage(int width, int height);
// How many pixels of the rectangle (right and bottom excluded) are dark.
int DarkIn(const QImage& image, int left, int top, int right, int bottom);

} // namespace controltest
