#include "DoxLayer.h"

#include <algorithm>

#include "DoxControl.h"
#include "DoxControlKinds.h"
#include "DoxDocument.h"
#include "DoxPage.h"

DoxLayer::DoxLayer(DoxPage* page, const wchar_t* name, GrabWindow* view)
    : name_(name ? name : L""), page_(page)
{
    SetView(view);
}

DoxLayer::~DoxLayer()
{
    ClearControls();
}

int DoxLayer::SetName(const wchar_t* name)
{
    std::wstring text = name ? name : L"";
    if (text == name_)
        return 0;
    name_ = text;
    SetModified();
    return 1;
}

DataPage* DoxLayer::GetPageData()
{
    return page_ ? &page_->Data() : nullptr;
}

void DoxLayer::SetModified()
{
    if (page_)
        page_->SetModified();
}

bool DoxLayer::GetPageExtent(int32_t& width, int32_t& height) const
{
    if (!page_)
        return false;
    width = page_->Cx();
    height = page_->Cy();
    return true;
}

void DoxLayer::UnlinkControl(DoxControl* control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void DoxLayer::RemoveControl(DoxControl* control)
{
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end())
        return;
    controls_.erase(it);
    control->SetParentLayer(nullptr);
    control->Release();
}

void DoxLayer::ClearControls()
{
    std::vector<DoxControl*> controls;
    controls.swap(controls_);
    for (DoxControl* control : controls) {
        control->SetParentLayer(nullptr);
        control->Release();
    }
}

DoxControl* DoxLayer::CreateControl(int32_t kindId, const RECT* rect)
{
    DoxControl* control = CreateControlByKind(kindId, this, rect);
    if (!control)
        return nullptr;
    controls_.push_back(control);
    if (GetView() && !AddObject(GetView(), control, 1, 0)) {
        RemoveControl(control);
        return nullptr;
    }
    return control;
}

DoxControl* DoxLayer::LoadControl(const tinyxml2::XMLElement* element, int a, int b)
{
    DoxControl* control = CreateControlFromXml(this, element);
    if (!control)
        return nullptr;
    controls_.push_back(control);
    if (GetView() && !AddObject(GetView(), control, a, b)) {
        RemoveControl(control);
        return nullptr;
    }
    return control;
}
