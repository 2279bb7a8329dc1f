#pragma once
// Copy, cut and paste of controls between pages and templates: the selected
// controls' template XML under the root "dox:clipbord" on the system clipboard, in
// the private format (MIME type application/x-dox-control-clipboard). The user's
// clipboard is replaced in one step, and only once the data is complete; paste
// reads exactly the data's length.

#include <QByteArray>

class DoxPage;
class GrabCanvas;

extern const char kControlClipboardMime[];

// The clipboard as copy and paste use it. An interface, so that a clipboard that
// refuses can be put in its place.
class ControlClipboard
{
public:
    virtual ~ControlClipboard() = default;
    // Replaces the whole clipboard with the data; false when it could not.
    virtual bool SetData(const QByteArray& data) = 0;
    virtual bool HasData() = 0;
    // False when there is no control data or it cannot be read.
    virtual bool GetData(QByteArray& data) = 0;
};

ControlClipboard& SystemControlClipboard();
// Replaces the clipboard copy and paste use (null: the system one again); returns
// the previous one.
ControlClipboard* SetControlClipboard(ControlClipboard* clipboard);
ControlClipboard& CurrentControlClipboard();

// True when the private format is registered and the clipboard holds it.
bool CanPasteControls();
// The selection as clipboard text; false (and nothing written) when nothing is
// selected or a control cannot be written.
bool BuildControlClipboardText(GrabCanvas& canvas, QByteArray& text);
// Resets the page's paste offsets and puts the selection on the clipboard; a failure
// leaves the clipboard as it was.
void CopyControls(DoxPage& page, GrabCanvas& canvas);
// The most controls one page holds, over all its layers. A paste that would take a
// page beyond it is refused as a whole, with a message that says so.
constexpr int kMaxPageControls = 10000;

// Pastes the clipboard's controls into the page's current layer at that layer's
// paste offset, which then grows by 10. Returns the number of controls made.
int PasteControls(DoxPage& page, GrabCanvas& canvas);
// The same from given data (exactly its length is read).
int PasteControlsFrom(DoxPage& page, GrabCanvas& canvas, const QByteArray& data);
