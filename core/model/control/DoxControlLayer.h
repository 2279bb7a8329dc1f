#pragma once
// What a control needs of the layer that holds it. The document model's layer
// implements it.

#include "DoxBasicAttribute.h"
#include "GrabLayer.h"

class DataPage;
class DoxControl;

namespace tinyxml2
{
class XMLElement;
}

class DoxControlLayer : public GrabLayer, public DoxPageExtent
{
public:
    // The layer's lock flag.
    virtual bool IsLocked() const = 0;
    // 0 hidden, 1 shown, 2 current.
    virtual int GetState() const = 0;
    // The data page of the page that holds the layer; null on no page.
    virtual DataPage* GetPageData() = 0;
    // Marks the document that holds the layer's page modified.
    virtual void SetModified() = 0;
    // Takes the control out of the layer's list, without releasing it.
    virtual void UnlinkControl(DoxControl* control) = 0;
    // Creates a control from its element, appends it and lets the design window
    // attach it with (a, b); null when it fails.
    virtual DoxControl* LoadControl(const tinyxml2::XMLElement* element, int a, int b) = 0;
};
