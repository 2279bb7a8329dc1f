#include "DoxControlKinds.h"

#include <cstring>
#include <new>
#include <tinyxml2.h>

#include "DoxAttribKinds.h"
#include "DoxCheckControl.h"
#include "DoxControl.h"
#include "DoxControlLayer.h"
#include "DoxEditControl.h"
#include "DoxFrameControl.h"
#include "DoxLabelControl.h"
#include "DoxLineControl.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "DoxTableControl.h"

namespace
{
DoxControlKindRecord* registryHead = nullptr;

// The create function of every kind: the control with its kind, names, layer and
// rectangle; null when memory runs out.
template <class Control>
DoxControl* CreateKind(int32_t kindId, const wchar_t* displayName, const char* typeName,
                       DoxControlLayer* layer, const RECT* rect)
{
    auto* control = new (std::nothrow) Control;
    if (!control)
        return nullptr;
    control->InitControlBase(kindId, displayName, typeName, layer, rect);
    return control;
}

// One record per kind.
DoxControlKindRecord checkRecord{nullptr, DoxKindCheck, L"勾选控件", "checkcontrol",
                                 &CreateKind<DoxCheckControl>};
DoxControlKindRecord editRecord{nullptr, DoxKindEdit, L"文本控件", "editcontrol",
                                &CreateKind<DoxEditControl>};
DoxControlKindRecord richEditRecord{nullptr, DoxKindRichEdit, L"富文本控件", "richeditcontrol",
                                    &CreateKind<DoxRichEditControl>};
DoxControlKindRecord labelRecord{nullptr, DoxKindLabel, L"标签控件", "labelcontrol",
                                 &CreateKind<DoxLabelControl>};
DoxControlKindRecord richLabelRecord{nullptr, DoxKindRichLabel, L"富标签控件", "richlabelcontrol",
                                     &CreateKind<DoxRichLabelControl>};
DoxControlKindRecord lineRecord{nullptr, DoxKindLine, L"直线控件", "linecontrol",
                                &CreateKind<DoxLineControl>};
DoxControlKindRecord tableRecord{nullptr, DoxKindTable, L"表格控件", "tablecontrol",
                                 &CreateKind<DoxTableControl>};
DoxControlKindRecord frameRecord{nullptr, DoxKindFrame, L"边框控件", "framecontrol",
                                 &CreateKind<DoxFrameControl>};

// Gives up a half-made control without touching its layer.
void Discard(DoxControl* control)
{
    control->SetParentLayer(nullptr);
    static_cast<ICommon*>(control)->Release();
}
} // namespace

void RegisterControlKind(DoxControlKindRecord* record)
{
    record->next = registryHead;
    registryHead = record;
}

const DoxControlKindRecord* GetControlKinds()
{
    return registryHead;
}

DoxControl* CreateControlByKind(int32_t kindId, DoxControlLayer* layer, const RECT* rect)
{
    for (const DoxControlKindRecord* record = registryHead; record; record = record->next) {
        if (record->kindId != kindId)
            continue;
        DoxControl* control =
            record->create(record->kindId, record->displayName, record->typeName, layer, rect);
        if (!control)
            return nullptr;
        if (!control->Init(true)) {
            Discard(control);
            return nullptr;
        }
        return control;
    }
    return nullptr;
}

DoxControl* CreateControlFromXml(DoxControlLayer* layer, const tinyxml2::XMLElement* element)
{
    if (!element)
        return nullptr;
    const char* id = element->Attribute("id");
    if (!id)
        id = "";
    for (const DoxControlKindRecord* record = registryHead; record; record = record->next) {
        if (std::strcmp(record->typeName, id) != 0)
            continue;
        const RECT zero{};
        DoxControl* control =
            record->create(record->kindId, record->displayName, record->typeName, layer, &zero);
        if (!control)
            return nullptr;
        if (!control->LoadXml(element) || !control->Init(false)) {
            Discard(control);
            return nullptr;
        }
        return control;
    }
    return nullptr;
}

void RegisterControlKinds()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    // Attribute ids first: every control's attributes read theirs.
    RegisterAttribKinds();
    // Kinds in their fixed order: check, edit, rich edit, label, rich label, line,
    // table, frame; the registry reads them back from the last.
    RegisterControlKind(&checkRecord);
    RegisterControlKind(&editRecord);
    RegisterControlKind(&richEditRecord);
    RegisterControlKind(&labelRecord);
    RegisterControlKind(&richLabelRecord);
    RegisterControlKind(&lineRecord);
    RegisterControlKind(&tableRecord);
    RegisterControlKind(&frameRecord);
}
