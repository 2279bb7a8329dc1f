#pragma once
// The registry of control kinds and the two factories that make controls from a
// kind id (a control drawn new) or a "dox:control" element (loading, paste,
// duplicate).

#include <cstdint>

#include "GdiTypes.h"

class DoxControl;
class DoxControlLayer;

namespace tinyxml2
{
class XMLElement;
}

using DoxControlCreateFn = DoxControl* (*)(int32_t kindId, const wchar_t* displayName, const char* typeName,
                                          DoxControlLayer* layer, const RECT* rect);

struct DoxControlKindRecord {
    DoxControlKindRecord* next;
    int32_t kindId;
    const wchar_t* displayName;
    const char* typeName;
    DoxControlCreateFn create;
};

// Makes the record the registry's new head.
void RegisterControlKind(DoxControlKindRecord* record);
// The head of the registry (the last kind registered); null before start-up.
const DoxControlKindRecord* GetControlKinds();

// Null for an unknown kind, or when the control cannot be made or initialised.
DoxControl* CreateControlByKind(int32_t kindId, DoxControlLayer* layer, const RECT* rect);
// The element's "id" names the kind exactly; null when it names none, or when the
// attributes cannot be loaded or the control cannot be initialised.
DoxControl* CreateControlFromXml(DoxControlLayer* layer, const tinyxml2::XMLElement* element);

// The load-time sequence of the control model, run once by the core's start-up
// before anything else makes controls: the attribute kind ids, then the kinds in
// their fixed order. Later calls change nothing.
void RegisterControlKinds();
