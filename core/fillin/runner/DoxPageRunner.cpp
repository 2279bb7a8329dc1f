#include "DoxPageRunner.h"

#include <algorithm>

#include "DC.h"
#include "DataPage.h"
#include "DoxAttribSet.h"
#include "DoxAttribute.h"
#include "DoxControl.h"

namespace
{
DoxRunnerPageResolver pageResolver = nullptr;

// A field shown for reading only (a formula's result, an amount in capitals) is never
// a stop of the tab walk: a Tab that landed there would swallow the clerk's next value.
DoxControlBase* WalkStop(DoxControl* control, bool forward)
{
    if (!control->IsInput() || !control->IsEditable())
        return nullptr;
    auto* base = static_cast<DoxControlBase*>(control);
    return forward ? base->NextField() : base->PrevField();
}
} // namespace

void SetRunnerPageResolver(DoxRunnerPageResolver resolver)
{
    pageResolver = resolver;
}

DoxPageRunner::DoxPageRunner() = default;

DoxPageRunner::~DoxPageRunner()
{
    DetachPageRunner(this);
}

ICommon* DoxPageRunner::AddRef()
{
    ++refCount_;
    return this;
}

void DoxPageRunner::Release()
{
    if (refCount_ <= 0)
        return;
    if (--refCount_ == 0)
        FinalRelease();
}

IDoxPage* DoxPageRunner::GetPage()
{
    return page_ ? page_->GetInterface() : nullptr;
}

int DoxPageRunner::Attach(IDoxPage* page)
{
    DoxRunnerPage* runnerPage = page && pageResolver ? pageResolver(page) : nullptr;
    return AttachPageRunner(runnerPage, this);
}

void DoxPageRunner::Detach()
{
    DetachPageRunner(this);
}

void DoxPageRunner::Destroy(uint32_t flags)
{
    if (flags & 1)
        delete this;
    else
        this->~DoxPageRunner();
}

int32_t DoxPageRunner::GetRefCount() const
{
    return refCount_;
}

void DoxPageRunner::FinalRelease()
{
    Destroy(1);
}

bool DoxPageRunner::CreateTools(DoxRunnerWindow* window, DoxRunnerEditor* editor, DoxRunnerTip* tip)
{
    window_ = window;
    editor_ = editor;
    tip_ = tip;
    return basePen_.ExtCreatePen(0x2208, 1, 0x00FF0000) && solidPen_.ExtCreatePen(0x12200, 1, 0x0096775C) &&
           focusPen_.ExtCreatePen(0x2208, 1, 0) && focusBrush_.CreateHollowBrush();
}

int AttachPageRunner(DoxRunnerPage* page, DoxPageRunner* runner)
{
    if (!runner || runner->page_ || !page || page->GetRunner())
        return 0;
    runner->page_ = page;
    if (!page->AttachRunner(runner)) {
        runner->page_ = nullptr;
        return 0;
    }
    const SIZE size = page->GetPageSize();
    runner->pageRect_ = RECT{0, 0, size.cx, -size.cy};
    for (DoxControl* control : page->GetRunControls()) {
        if (!control || !control->IsVisible())
            continue;
        control->SetPageRunner(runner);
        for (DoxAttribute* attribute : control->Attributes())
            attribute->Refresh();
        control->BeginRun();
        // Ordered by fill-in order; each control goes before the first one whose order
        // is greater or equal, so of two equal orders the later one in layer order is
        // visited first. Stored templates have always been filled in that sequence.
        const int order = control->GetTabIndex();
        auto at = std::find_if(runner->list_.begin(), runner->list_.end(),
                               [order](DoxControl* c) { return c->GetTabIndex() >= order; });
        runner->list_.insert(at, control);
    }
    runner->current_ = runner->NextField(nullptr);
    if (DataPage* data = page->GetRunDataPage())
        data->NotifyObservers();
    return 1;
}

void DetachPageRunner(DoxPageRunner* runner)
{
    if (!runner || !runner->page_)
        return;
    for (DoxControl* control : runner->list_) {
        control->EndRun();
        control->SetPageRunner(nullptr);
    }
    runner->list_.clear();
    DoxRunnerPage* page = runner->page_;
    runner->page_ = nullptr;
    runner->current_ = nullptr;
    page->DetachRunner(runner);
}

DoxControlBase* DoxPageRunner::NextField(DoxControlBase* from)
{
    if (list_.empty())
        return nullptr;
    size_t start = 0;
    if (from) {
        if (!from->IsWholeControl()) {
            if (DoxControlBase* next = from->NextField())
                return next;
        }
        auto it = std::find(list_.begin(), list_.end(), from->GetControl());
        start = it == list_.end() ? 0 : (static_cast<size_t>(it - list_.begin()) + 1) % list_.size();
    }
    for (size_t n = 0; n < list_.size(); ++n) {
        if (DoxControlBase* field = WalkStop(list_[(start + n) % list_.size()], true))
            return field;
    }
    return nullptr;
}

DoxControlBase* DoxPageRunner::PrevField(DoxControlBase* from)
{
    if (list_.empty())
        return nullptr;
    const size_t count = list_.size();
    size_t start = count - 1;
    if (from) {
        if (!from->IsWholeControl()) {
            if (DoxControlBase* prev = from->PrevField())
                return prev;
        }
        auto it = std::find(list_.begin(), list_.end(), from->GetControl());
        start = it == list_.end() ? count - 1 : (static_cast<size_t>(it - list_.begin()) + count - 1) % count;
    }
    for (size_t n = 0; n < count; ++n) {
        if (DoxControlBase* field = WalkStop(list_[(start + count - n) % count], false))
            return field;
    }
    return nullptr;
}

int DoxPageRunner::FocusNext()
{
    if (!page_ || list_.empty())
        return 0;
    SetFocusControl(NextField(current_));
    return 1;
}

int DoxPageRunner::FocusPrev()
{
    if (!page_ || list_.empty())
        return 0;
    SetFocusControl(PrevField(current_));
    return 1;
}

DoxControlBase* DoxPageRunner::SetFocusControl(DoxControlBase* field)
{
    DoxControlBase* previous = current_;
    if (field != current_ && current_) {
        current_->HideTip();
        if (editor_ && editor_->IsShown()) {
            // A refused entry keeps the editor on its field: the operator sees the
            // reason and corrects it.
            if (!current_->ExchangeEditor(editor_->GetHost(), 1)) {
                editor_->EntryRefused();
                return previous;
            }
            editor_->SetTarget(nullptr, false);
        }
        current_->InvalidateField(0);
    }
    current_ = field;
    if (current_) {
        current_->ReservedField();
        if (editor_) {
            const int open = current_->ExchangeEditor(editor_->GetHost(), 0);
            editor_->SetTarget(open ? current_ : nullptr, open != 0);
        }
        current_->InvalidateField(0);
    }
    return previous;
}

void DoxPageRunner::OpenEdit()
{
    if (!page_ || list_.empty() || !current_ || !editor_)
        return;
    const int open = current_->ExchangeEditor(editor_->GetHost(), 0);
    editor_->SetTarget(open ? current_ : nullptr, open != 0);
    current_->InvalidateField(0);
}

void DoxPageRunner::CloseEdit()
{
    if (!page_ || list_.empty() || !current_ || !editor_)
        return;
    if (editor_->IsShown()) {
        if (!current_->ExchangeEditor(editor_->GetHost(), 1)) {
            editor_->EntryRefused();
            return;
        }
        editor_->SetTarget(nullptr, false);
    }
    current_->InvalidateField(0);
}

void DoxPageRunner::CancelEdit()
{
    if (!page_ || list_.empty() || !current_ || !editor_)
        return;
    if (editor_->IsShown()) {
        current_->ExchangeEditor(editor_->GetHost(), 2);
        editor_->SetTarget(nullptr, false);
    }
    current_->InvalidateField(0);
}

void DoxPageRunner::StartAtFirstField()
{
    if (!page_)
        return;
    if (current_) {
        current_->HideTip();
        if (editor_ && editor_->IsShown()) {
            current_->ExchangeEditor(editor_->GetHost(), 2);
            editor_->SetTarget(nullptr, false);
        }
        current_->InvalidateField(0);
    }
    current_ = NextField(nullptr);
    if (current_)
        current_->InvalidateField(0);
}

int DoxPageRunner::OnClick(DC* dc, uint32_t flags, int x, int y)
{
    if (!page_)
        return 0;
    for (DoxControl* control : list_) {
        if (control->IsInput() && control->OnRunClick(dc, flags, x, y))
            return 1;
    }
    return 0;
}

int DoxPageRunner::OnMouseMove(DC* dc, uint32_t flags, int x, int y)
{
    if (!page_)
        return 0;
    for (DoxControl* control : list_) {
        if (control->IsInput() && control->HitTest(dc, flags, x, y)) {
            control->SetRunCursor();
            return 1;
        }
    }
    return 0;
}

void DoxPageRunner::DrawBasePoint(DC& dc)
{
    if (!page_)
        return;
    // The page keeps the base point in the page's own coordinates (y up, the page
    // reaching down to -height), so the stored point is where the lines cross.
    const POINT stored = page_->GetStoredBasePoint();
    const int bx = stored.x;
    const int by = stored.y;
    const CPen old = dc.SelectObject(basePen_);
    dc.MoveTo(pageRect_.left, by);
    dc.LineTo(pageRect_.right, by);
    dc.MoveTo(bx, pageRect_.top);
    dc.LineTo(bx, pageRect_.bottom);
    dc.SelectObject(old);
}

void DoxPageRunner::Paint(DC& dc)
{
    if (!page_)
        return;
    const int previous = dc.SetMapMode(2);
    DrawBasePoint(dc);
    for (auto it = list_.rbegin(); it != list_.rend(); ++it)
        (*it)->DrawTransparent(dc);
    if (current_)
        current_->DrawFocus(&dc);
    dc.SetMapMode(previous);
}

int DoxPageRunner::Render(CDC* target, int x, int y)
{
    DC* dc = dynamic_cast<DC*>(target);
    if (!dc || !page_)
        return 1;
    dc->SetMapMode(2);
    dc->SetBkMode(TRANSPARENT);
    const POINT stored = page_->GetStoredBasePoint();
    for (DoxControl* control : list_)
        control->DrawContent(*dc, stored.x - x, stored.y + y, true);
    return 1;
}

bool DoxPageRunner::ShowsChanges()
{
    return window_ && window_->ShowsChanges();
}

void DoxPageRunner::InvalidateFocusRect(const RECT& rect, int flag)
{
    if (!window_ || !window_->ShowsChanges())
        return;
    RECT px = window_->ToPixels(rect);
    px.left -= 4;
    px.top -= 4;
    px.right += 4;
    px.bottom += 4;
    window_->InvalidatePixels(px, flag != 0);
}

void DoxPageRunner::ValidateFocusRect(const RECT& rect)
{
    if (!window_)
        return;
    RECT px = window_->ToPixels(rect);
    px.left -= 4;
    px.top -= 4;
    px.right += 4;
    px.bottom += 4;
    window_->ValidatePixels(px);
}

void DoxPageRunner::DrawFocusFrame(const RECT& rect, DC* dc)
{
    if (!dc)
        return;
    const CPen oldPen = dc->SelectObject(focusPen_);
    const CBrush oldBrush = dc->SelectObject(focusBrush_);
    dc->Rectangle(rect);
    dc->SelectObject(oldBrush);
    dc->SelectObject(oldPen);
}

void DoxPageRunner::HideTip()
{
    if (tip_ && tip_->IsShown())
        tip_->Hide();
}

void DoxPageRunner::ShowTip(const std::wstring& text, int x, int y, int width, int height)
{
    if (tip_)
        tip_->Show(text, x, y, width, height);
}

const CBrush* DoxPageRunner::GetRunBrush(COLORREF colour)
{
    if (!runBrush_.IsCreated() || runBrushColour_ != colour) {
        runBrush_.DeleteObject();
        if (colour == 0xFFFFFFFFu)
            runBrush_.CreateHollowBrush();
        else
            runBrush_.CreateSolidBrush(colour);
        runBrushColour_ = colour;
    }
    return &runBrush_;
}

void DoxPageRunner::SetRunCursor(DoxRunCursor cursor)
{
    if (window_)
        window_->SetPointer(cursor);
}
