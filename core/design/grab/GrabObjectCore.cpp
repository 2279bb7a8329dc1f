#include "GrabObjectCore.h"

#include <algorithm>

#include "GrabCanvas.h"
#include "GrabLayer.h"

GrabObjectCore::~GrabObjectCore() = default;

void GrabObjectCore::Release()
{
    designLink_ = nullptr;
}

void* GrabObjectCore::CastTo(int /*kind*/)
{
    return this;
}

void GrabObjectCore::GetMinSize(SIZE* size)
{
    if (size) {
        size->cx = 0;
        size->cy = 0;
    }
}

void GrabObjectCore::SetRect(const RECT& /*rect*/) {}

void GrabObjectCore::GetRect(RECT* /*rect*/) {}

void GrabObjectCore::GetBoundRect(RECT* rect)
{
    GetRect(rect);
}

void GrabObjectCore::Relayout() {}

void GrabObjectCore::Reserved() {}

void GrabObjectCore::DrawDesign(DC* /*dc*/) {}

int GrabObjectCore::HitSplitter(DC* /*dc*/, int /*x*/, int /*y*/)
{
    return 0;
}

int GrabObjectCore::FindSplitter(GrabPane** /*line*/, DC* /*dc*/, int /*x*/, int /*y*/)
{
    return 0;
}

int GrabObjectCore::TestSplitter(DC* /*dc*/, int /*x*/, int /*y*/)
{
    return 0;
}

int GrabObjectCore::IsMoveLocked()
{
    return 0;
}

int GrabObjectCore::IsSizeLocked()
{
    return 0;
}

int GrabObjectCore::IsSelectLocked()
{
    return 0;
}

int GrabObjectCore::IsLayerShown()
{
    return 1;
}

int GrabObjectCore::IsLayerCurrent()
{
    return 1;
}

GrabLayer* GrabObjectCore::GetLayer()
{
    return nullptr;
}

int GrabObjectCore::SaveXml(tinyxml2::XMLElement* /*parent*/)
{
    return 0;
}

GrabObjectCore* GrabObjectCore::Duplicate(int /*a*/, int /*b*/)
{
    return nullptr;
}

void GrabObjectCore::SetTabIndex(int /*index*/) {}

int GrabObjectCore::GetTabIndex()
{
    return -1;
}

void GrabObjectCore::RelayoutAndRedraw() {}

int GrabObjectCore::HasSplit()
{
    return 0;
}

void GrabObjectCore::OffsetBy(int dx, int dy)
{
    if (!designLink_ || !designLink_->GetCanvas())
        return;
    auto* node = static_cast<GrabNode*>(designLink_);
    RECT r = node->GetRect();
    node->ApplyRect(RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy});
}

GrabLayer::~GrabLayer()
{
    if (canvas)
        canvas->ForgetLayer(this);
}

int GrabLayer::AddObject(GrabWindow* view, GrabObjectCore* object, int created, int second)
{
    if (!view || !object)
        return 1;
    GrabSelection* node = view->CreateSelection(this, object, created, second);
    if (!node)
        return 0;
    object->SetDesignLink(node);
    nodes_.push_back(node);
    return 1;
}

void GrabLayer::RemoveAllObjects()
{
    nodes_.clear();
}

void GrabLayer::ForgetObject(GrabSelection* node)
{
    nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end());
}
