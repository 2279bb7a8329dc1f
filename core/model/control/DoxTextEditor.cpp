#include "DoxTextEditor.h"

#include <utility>

#include "DataField.h"
#include "DoxControl.h"
#include "DoxSingleAttributes.h"

uint32_t DoxEditorStyleFor(const DataField* field)
{
    const uint32_t type = field ? field->GetType() : 0;
    if (type == 2)
        return DoxEditorHost::DateEditor;
    if (type == 3)
        return DoxEditorHost::DateTimeEditor;
    return DoxEditorHost::TextEditor;
}

void FetchEditorText(DoxEditorHost* host, std::wstring& text)
{
    if (!host || !(host->GetStyle() & DoxEditorHost::TextEditor))
        return;
    if (!host->GetText(text))
        text.clear();
}

void OpenTextEditor(DoxEditorHost& host, const DoxFieldPlace& place, const DoxTextEditorSetup& setup,
                    const std::wstring& stored, DoxTipAttribute& tip)
{
    host.Open(setup.font, setup.style, place.x, place.y, place.width, place.height);
    host.SetMultiLine(setup.multiLine);
    host.SetDrawFlags(setup.drawFlags);
    host.SetEditorFont(setup.font);
    host.SetMaxLength(setup.fieldLength == 0 ? -1 : static_cast<int32_t>(setup.fieldLength));
    host.SetText(stored);
    if (tip.HasDisplayText())
        place.control->ShowTipAt(tip.GetDisplayText(), place.x, place.y, place.width, place.height);
}

int FinishTextEditor(const DoxFieldPlace& place, bool stored, const std::wstring& text, std::wstring error)
{
    if (!stored && (!text.empty() || !error.empty())) {
        // The refused entry stays in the editor, and the operator sees why.
        if (error.empty())
            error = L"无效数据";
        place.control->ShowTipAt(error, place.x, place.y, place.width, place.height);
        return 0;
    }
    if (DoxRunnerSite* runner = place.control->GetPageRunner())
        runner->HideTip();
    return 1;
}
