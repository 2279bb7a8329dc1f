#pragma once
// What the page runner needs of a page, and the window-side parts it drives. The
// page model implements DoxRunnerPage; a fill-in window implements the window, the
// editor host and the tip. A runner that only paints or prints has none of the
// three and skips every call to them.

#include <cstdint>
#include <string>
#include <vector>

#include "GdiTypes.h"

class DataPage;
class DoxControl;
class DoxControlBase;
class DoxEditorHost;
class DoxPageRunner;
class IDoxPage;
enum class DoxRunCursor;

class DoxRunnerPage
{
public:
    // The page's size in 0.1 mm.
    virtual SIZE GetPageSize() = 0;
    // The base point as the page keeps it (y negated).
    virtual POINT GetStoredBasePoint() = 0;
    // The controls of the layers drawn that are not hidden, in layer order and list
    // order: the fill-in window, its input and the print all work from these.
    virtual std::vector<DoxControl*> GetRunControls() = 0;
    // Keeps the runner and binds the bill data; false (with the last-error text
    // set) when the page refuses.
    virtual bool AttachRunner(DoxPageRunner* runner) = 0;
    virtual void DetachRunner(DoxPageRunner* runner) = 0;
    virtual DoxPageRunner* GetRunner() = 0;
    virtual DataPage* GetRunDataPage() = 0;
    virtual IDoxPage* GetInterface() = 0;

protected:
    ~DoxRunnerPage() = default;
};

// The page client of a fill-in window: redraws areas given in device pixels.
class DoxRunnerWindow
{
public:
    // now: redraw at once rather than at the next paint.
    virtual void InvalidatePixels(const RECT& rect, bool now) = 0;
    virtual void ValidatePixels(const RECT& rect) = 0;
    // Whether a change would be painted now: false while the window is hidden or its
    // painting is held, and it then paints whole when it shows or resumes, so that
    // the areas of changed fields need not be worked out.
    virtual bool ShowsChanges() = 0;
    // Converts 0.1 mm (y up) to the window's pixels.
    virtual RECT ToPixels(const RECT& rect) = 0;
    // Shows the pointer over the page client.
    virtual void SetPointer(DoxRunCursor cursor) = 0;

protected:
    ~DoxRunnerWindow() = default;
};

// The editor host as the runner drives it (the fields fill and read it).
class DoxRunnerEditor
{
public:
    virtual DoxEditorHost* GetHost() = 0;
    virtual bool IsShown() = 0;
    // Shows the editor for the field when open is true; closes it otherwise.
    virtual void SetTarget(DoxControlBase* field, bool open) = 0;
    // The field refused the editor's text and shows why; the editor stays open.
    virtual void EntryRefused() = 0;

protected:
    ~DoxRunnerEditor() = default;
};

class DoxRunnerTip
{
public:
    virtual bool IsShown() = 0;
    virtual void Hide() = 0;
    virtual void Show(const std::wstring& text, int x, int y, int width, int height) = 0;

protected:
    ~DoxRunnerTip() = default;
};

// How the runner finds the page model behind the page interface; set by the page
// model at start-up. Without it, Attach through the interface refuses.
using DoxRunnerPageResolver = DoxRunnerPage* (*)(IDoxPage* page);
void SetRunnerPageResolver(DoxRunnerPageResolver resolver);
