#include "DoxControlClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

#include <cstring>
#include <cwchar>
#include <tinyxml2.h>

#include "ClipboardFormat.h"
#include "DoxControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "GrabCanvas.h"
#include "Prompter.h"

const char kControlClipboardMime[] = "application/x-dox-control-clipboard";

namespace
{
const char kRoot[] = "dox:clipbord";
const char kControl[] = "dox:control";

class QtControlClipboard : public ControlClipboard
{
public:
    bool SetData(const QByteArray& data) override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return false;
        auto* mime = new QMimeData;
        mime->setData(QString::fromLatin1(kControlClipboardMime), data);
        clipboard->setMimeData(mime);
        return true;
    }
    bool HasData() override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
        return mime && mime->hasFormat(QString::fromLatin1(kControlClipboardMime));
    }
    bool GetData(QByteArray& data) override
    {
        if (!HasData())
            return false;
        data = QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(kControlClipboardMime));
        return true;
    }
};

ControlClipboard* current = nullptr;

bool FormatRegistered()
{
    return plat::RegisterClipboardFormat(L"DoxControlClipboardForamt") != 0;
}
} // namespace

ControlClipboard& SystemControlClipboard()
{
    static QtControlClipboard clipboard;
    return clipboard;
}

ControlClipboard* SetControlClipboard(ControlClipboard* clipboard)
{
    ControlClipboard* previous = current;
    current = clipboard;
    return previous;
}

ControlClipboard& CurrentControlClipboard()
{
    return current ? *current : SystemControlClipboard();
}

bool CanPasteControls()
{
    return FormatRegistered() && CurrentControlClipboard().HasData();
}

bool BuildControlClipboardText(GrabCanvas& canvas, QByteArray& text)
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = document.NewElement(kRoot);
    document.InsertEndChild(document.NewDeclaration("xml version=\"1.0\" encoding=\"UTF-8\""));
    document.InsertEndChild(root);
    if (!canvas.SaveSelectionXml(root))
        return false;
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    const int size = printer.CStrSize() - 1; // without the closing NUL
    if (size <= 0)
        return false;
    text = QByteArray(printer.CStr(), size);
    return true;
}

void CopyControls(DoxPage& page, GrabCanvas& canvas)
{
    page.ResetPasteOffset();
    if (!FormatRegistered())
        return;
    QByteArray text;
    if (BuildControlClipboardText(canvas, text))
        CurrentControlClipboard().SetData(text);
}

int PasteControls(DoxPage& page, GrabCanvas& canvas)
{
    QByteArray data;
    if (!CanPasteControls() || !page.GetCurrentLayer() || !CurrentControlClipboard().GetData(data))
        return 0;
    return PasteControlsFrom(page, canvas, data);
}

int PasteControlsFrom(DoxPage& page, GrabCanvas& canvas, const QByteArray& data)
{
    DoxLayer* layer = page.GetCurrentLayer();
    if (!layer)
        return 0;
    tinyxml2::XMLDocument document;
    // Exactly the data's length: a block without a closing NUL is never read past.
    if (document.Parse(data.constData(), static_cast<size_t>(data.size())) != tinyxml2::XML_SUCCESS)
        return 0;
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root || std::strcmp(root->Name(), kRoot) != 0)
        return 0;
    size_t held = 0;
    for (int i = 0; i < page.GetLayerCount(); ++i)
        held += page.GetLayer(i) ? page.GetLayer(i)->Controls().size() : 0;
    size_t pasted = 0;
    for (const tinyxml2::XMLElement* element = root->FirstChildElement(kControl); element;
         element = element->NextSiblingElement(kControl))
        ++pasted;
    if (held + pasted > static_cast<size_t>(kMaxPageControls)) {
        wchar_t text[256];
        std::swprintf(text, 256, L"粘贴失败：一页最多容纳 %d 个控件，这一页已有 %zu 个，要粘贴的有 %zu 个。",
                      kMaxPageControls, held, pasted);
        dox::platform::CurrentPrompter().MessageBox(dynamic_cast<QWidget*>(&canvas), text,
                                                    QGuiApplication::applicationDisplayName().toStdWString(),
                                                    dox::platform::kMbOk | dox::platform::kMbIconWarning);
        return 0;
    }
    const int dx = layer->pasteX;
    const int dy = layer->pasteY;
    const GrabCanvas::SelectionMarks before = canvas.SaveSelectionMarks();
    int created = 0;
    // The design window hears of the new selection once, not once per control.
    canvas.BeginSelectionBatch();
    for (const tinyxml2::XMLElement* element = root->FirstChildElement(kControl); element;
         element = element->NextSiblingElement(kControl)) {
        // Exactly the pasted controls end up selected.
        if (created == 0 && !canvas.InTabOrderMode())
            canvas.DropSelection();
        DoxControl* control = layer->LoadControl(element, 1, 1);
        if (!control)
            continue;
        ++created;
        page.SetModified();
        static_cast<GrabObjectCore*>(control)->OffsetBy(dx, dy);
    }
    canvas.EndSelectionBatch();
    layer->pasteX += DoxPage::kPasteStep;
    layer->pasteY += DoxPage::kPasteStep;
    // Nothing could be made: what was selected stays selected.
    if (created == 0)
        canvas.RestoreSelectionMarks(before);
    canvas.Host()->Invalidate(nullptr, false);
    return created;
}
