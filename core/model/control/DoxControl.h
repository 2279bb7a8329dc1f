#pragma once
// A control on a layer of a template page. One object, four faces: the counted
// object the layer holds and the page runner draws, the design object the design
// window moves and saves, the attribute set the property grid and the template XML
// see, and the input field of the fill-in window.

#include <cstdint>
#include <optional>
#include <string>

#include "DataObserver.h"
#include "DoxAttribSet.h"
#include "DoxBasicAttribute.h"
#include "DoxCommon.h"
#include "DoxControlBase.h"
#include "GrabObjectCore.h"

class DataContainer;
class DataPage;
class DoxControlLayer;
class DoxDataAttribute;
class DoxFormatAttribute;
class DoxFormulaAttribute;

// Kinds of control; the numbers travel with every control.
enum DoxControlKind : int32_t {
    DoxKindEdit = 0,
    DoxKindRichEdit = 1,
    DoxKindLabel = 2,
    DoxKindRichLabel = 3,
    DoxKindCheck = 4,
    DoxKindTable = 5,
    DoxKindFrame = 6,
    DoxKindLine = 7,
    DoxKindNone = 8,
};

// A rectangle as drawn with the runner's rendering shift: dx and dy come off
// every edge.
inline RECT DoxShiftedRect(RECT rect, int dx, int dy)
{
    rect.left -= dx;
    rect.right -= dx;
    rect.top -= dy;
    rect.bottom -= dy;
    return rect;
}

// What of the DC's surface can show anything, in its logical units and normalised;
// false when the DC does not know (one without a surface), which then draws all.
bool DoxVisibleBox(DC& dc, RECT* box);
// Whether a rectangle (edges in any order) meets a normalised box.
bool DoxMeetsBox(const RECT& rect, const RECT& box);

// Column and row sets of the split kinds.
class DoxControlSplitSet
{
public:
    virtual ~DoxControlSplitSet() = default;
    // even: spread the grids evenly; otherwise keep their sizes and let the last
    // grid take what is left.
    virtual void Relayout(bool even) = 0;
    // The smallest width (columns) or height (rows) the set fits in.
    virtual int GetMinSize() const = 0;
    virtual int HitSplitter(DC* dc, int x, int y) = 0;
    virtual int FindSplitter(GrabPane** line, DC* dc, int x, int y) = 0;
    virtual int TestSplitter(DC* dc, int x, int y) = 0;
};

// The design face's release: clears the design link, then gives up the reference.
class DoxControlGrabFace : public GrabObjectCore
{
public:
    void Release() override;

protected:
    virtual void ReleaseReference() = 0;
};

class DoxControl : public InterfaceImpl<ICommon>,
                   public DoxControlGrabFace,
                   public DoxAttribSet,
                   public DoxControlBase
{
public:
    DoxControl();
    ~DoxControl() override;

    using InterfaceImpl<ICommon>::Release;
    using DoxAttribSet::SaveXml;
    using GrabObjectCore::DrawDesign;
    using GrabObjectCore::SaveXml;

    // Primary face.
    void FinalRelease() override;
    virtual DataPage* GetPageData();
    virtual DataContainer* GetDataContext();
    void GetRect(RECT* rect) override;
    virtual bool Init(bool isNew);
    virtual bool BeginRun();
    virtual void EndRun();
    // Content in design mode.
    virtual void DrawDesign(DC& dc);
    virtual void DrawDesignBackground(DC& dc);
    virtual void DrawBackground(DC& dc);
    // dx, dy shift the drawing; output: the runner renders for printing or a picture.
    virtual void DrawContent(DC& dc, int dx, int dy, bool output);
    virtual bool OnRunClick(DC* dc, uint32_t flags, int x, int y);
    virtual bool HitTest(DC* dc, uint32_t flags, int x, int y);
    // Asks the page runner for the fill-in pointer, when the control has one.
    virtual void SetRunCursor();
    virtual bool IsEditable();
    virtual bool IsInput();
    virtual bool IsVisible();
    virtual uint8_t GetTransparency();

    // Design face.
    void* CastTo(int kind) override;
    void GetMinSize(SIZE* size) override;
    void SetRect(const RECT& rect) override;
    void Relayout() override;
    void DrawDesign(DC* dc) override;
    int HitSplitter(DC* dc, int x, int y) override;
    int FindSplitter(GrabPane** line, DC* dc, int x, int y) override;
    int TestSplitter(DC* dc, int x, int y) override;
    int IsMoveLocked() override;
    int IsSizeLocked() override;
    int IsSelectLocked() override;
    int IsLayerShown() override;
    int IsLayerCurrent() override;
    GrabLayer* GetLayer() override;
    int SaveXml(tinyxml2::XMLElement* parent) override;
    GrabObjectCore* Duplicate(int a, int b) override;
    void SetTabIndex(int index) override;
    int GetTabIndex() override;
    void RelayoutAndRedraw() override;
    int HasSplit() override;

    // Attribute-set face.
    void Destroy(uint32_t flags) override;
    const char* GetXmlTag() const override;
    bool AcceptChange(bool changing) override;

    // Field face.
    void InvalidateField(int flag) override;
    void ValidateField() override;
    void DrawFocus(DC* dc) override;
    int IsWholeControl() override;
    DoxControl* GetControl() override;
    DoxControlBase* NextField() override;
    DoxControlBase* PrevField() override;
    DataField* GetBinding() override;
    void ReservedField() override;
    void HideTip() override;
    int ExchangeEditor(DoxEditorHost* host, int direction) override;
    void GetFieldRect(POINT* position, SIZE* size) override;

    // Fill-in drawing: background (blended by the transparency), then content.
    void DrawTransparent(DC& dc);
    const CBrush* GetRunBrush(COLORREF colour);
    void ShowTip(const std::wstring& text);
    void ShowTipAt(const std::wstring& text, int x, int y, int width, int height);

    // Stores kind, names, layer and rectangle right after construction.
    void InitControlBase(int32_t kindId, const wchar_t* displayName, const char* typeName,
                         DoxControlLayer* layer, const RECT* rect);

    int32_t GetKindId() const { return kindId_; }
    DoxControlLayer* GetParentLayer() const { return layer_; }
    void SetParentLayer(DoxControlLayer* layer);
    DoxRunnerSite* GetPageRunner() const { return runner_; }
    void SetPageRunner(DoxRunnerSite* runner) { runner_ = runner; }
    DoxBasicAttribute& Basic() { return basic_; }
    DoxControlSplitSet* GetColSet() const { return colSet_; }
    DoxControlSplitSet* GetRowSet() const { return rowSet_; }

protected:
    void SetColSet(DoxControlSplitSet* set) { colSet_ = set; }
    void SetRowSet(DoxControlSplitSet* set) { rowSet_ = set; }
    void ReleaseReference() override;
    // Draws the background with the transparency blend, then the content.
    template <class Background> void DrawBlended(DC& dc, Background background);
    // The pointer the control shows while fill-in runs (none outside it): kinds set
    // it in BeginRun and forget it in EndRun; SetRunCursor asks the runner for it.
    void SetFillInCursor(std::optional<DoxRunCursor> cursor) { fillInCursor_ = cursor; }
    // The background of the kinds with a "bgcolor" and a "border": the control's
    // rectangle filled with the colour (hollow for 0xFFFFFFFF), outlined only when
    // border is on. Design draws with a brush of its own, fill-in mode with the
    // runner's cached brush when there is a runner.
    void DrawDesignFill(DC& dc, uint32_t colour, bool border);
    void DrawRunFill(DC& dc, uint32_t colour, bool border);

private:
    int32_t kindId_ = DoxKindNone;
    DoxControlLayer* layer_ = nullptr;
    DoxRunnerSite* runner_ = nullptr;
    DoxControlSplitSet* colSet_ = nullptr;
    DoxControlSplitSet* rowSet_ = nullptr;
    DoxBasicAttribute basic_;
    std::optional<DoxRunCursor> fillInCursor_;
};

// Base of the kinds bound to a data field (check, edit, rich edit).
class DoxControlEx : public DoxControl, public DataObserver
{
public:
    DoxControlEx();
    ~DoxControlEx() override;

    bool Init(bool isNew) override;
    bool BeginRun() override;
    void EndRun() override;
    bool IsInput() override;
    DoxControlBase* NextField() override;
    DoxControlBase* PrevField() override;
    DataField* GetBinding() override;
    int Update(int32_t row) override;

    void AddDataSink(DoxAttribute* attribute);
    void AddFormulaSink(DoxFormulaAttribute* attribute);
    // The bound cell's text in the first row; false when unbound or no row.
    bool GetBoundText(std::wstring& text);
    // commit: stores text into the bound cell; else fills text for display.
    int ApplyText(std::wstring& text, bool commit, std::wstring& error, DoxFormatAttribute* format);

    DoxDataAttribute& DataAttribute() { return *data_; }
    DoxFormulaAttribute* GetFormulaAttribute() const { return formula_; }

private:
    DoxDataAttribute* data_;
    DoxFormulaAttribute* formula_ = nullptr;
};
