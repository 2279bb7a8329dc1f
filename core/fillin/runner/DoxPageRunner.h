#pragma once
// The fill-in run time of one page: the visible controls in fill-in order, the
// current field, the editor that opens over it, and the painting and printing of
// the fields. A runner without a window (pictures, printing) paints and renders
// fully; the calls that need a window do nothing.

#include <vector>

#include "DoxControlBase.h"
#include "DoxRunnerPage.h"
#include "GdiObjects.h"
#include "IDoxPageRunner.h"

class DC;

class DoxPageRunner : public IDoxPageRunner, public DoxRunnerSite
{
public:
    DoxPageRunner();
    virtual ~DoxPageRunner();
    DoxPageRunner(const DoxPageRunner&) = delete;
    DoxPageRunner& operator=(const DoxPageRunner&) = delete;

    // IDoxPageRunner
    ICommon* AddRef() override;
    void Release() override;
    IDoxPage* GetPage() override;
    int Attach(IDoxPage* page) override;
    void Detach() override;
    void Destroy(uint32_t flags) override;
    int32_t GetRefCount() const override;
    void FinalRelease() override;
    int Render(CDC* dc, int x, int y) override;

    // The window parts may each be null.
    bool CreateTools(DoxRunnerWindow* window, DoxRunnerEditor* editor, DoxRunnerTip* tip);

    void Paint(DC& dc);
    void DrawBasePoint(DC& dc);
    DoxControlBase* NextField(DoxControlBase* from);
    DoxControlBase* PrevField(DoxControlBase* from);
    int FocusNext();
    int FocusPrev();
    void OpenEdit();
    // Commits the open editor and closes it; a refused entry keeps it open with the
    // reason shown, so the host can tell (the editor is still shown).
    void CloseEdit();
    // Drops the open editor's entry and closes it.
    void CancelEdit();
    // A new or newly loaded bill starts where the page did when it was attached: the
    // first field of the fill-in order is current, with no editor open. An open editor
    // holds the last bill's entry; it goes unstored.
    void StartAtFirstField();
    // Point in 0.1 mm, y up.
    int OnClick(DC* dc, uint32_t flags, int x, int y);
    int OnMouseMove(DC* dc, uint32_t flags, int x, int y);

    // DoxRunnerSite
    DoxControlBase* SetFocusControl(DoxControlBase* field) override;
    void InvalidateFocusRect(const RECT& rect, int flag) override;
    bool ShowsChanges() override;
    void ValidateFocusRect(const RECT& rect) override;
    void DrawFocusFrame(const RECT& rect, DC* dc) override;
    void HideTip() override;
    void ShowTip(const std::wstring& text, int x, int y, int width, int height) override;
    const CBrush* GetRunBrush(COLORREF colour) override;
    void SetRunCursor(DoxRunCursor cursor) override;

    DoxRunnerPage* GetRunnerPage() const { return page_; }
    const std::vector<DoxControl*>& TabList() const { return list_; }
    DoxControlBase* GetCurrentField() const { return current_; }

private:
    friend int AttachPageRunner(DoxRunnerPage* page, DoxPageRunner* runner);
    friend void DetachPageRunner(DoxPageRunner* runner);

    int32_t refCount_ = 1;
    DoxRunnerWindow* window_ = nullptr;
    DoxRunnerEditor* editor_ = nullptr;
    DoxRunnerTip* tip_ = nullptr;
    DoxRunnerPage* page_ = nullptr;
    RECT pageRect_{};
    CPen basePen_;
    CPen solidPen_;
    CPen focusPen_;
    CBrush focusBrush_;
    CBrush runBrush_;
    COLORREF runBrushColour_ = 0;
    std::vector<DoxControl*> list_;
    DoxControlBase* current_ = nullptr;
};

// 0 when the runner has a page, the page is null or has a runner, or refuses.
int AttachPageRunner(DoxRunnerPage* page, DoxPageRunner* runner);
void DetachPageRunner(DoxPageRunner* runner);
