#pragma once
// A layer of a page: a named, lockable, hideable list of controls. The layer holds
// one reference on each of its controls.

#include <string>
#include <vector>

#include "DoxControlLayer.h"

class DoxPage;

class DoxLayer final : public DoxControlLayer
{
public:
    DoxLayer(DoxPage* page, const wchar_t* name, GrabWindow* view);
    ~DoxLayer() override;

    const std::wstring& GetName() const { return name_; }
    // 0 when the name is unchanged.
    int SetName(const wchar_t* name);
    void SetNameQuiet(const wchar_t* name) { name_ = name ? name : L""; }
    int GetLock() const { return lock_; }
    void SetLock(int lock) { lock_ = lock ? 1 : 0; }
    void SetStateValue(int state) { state_ = state; }
    DoxPage* GetPage() const { return page_; }

    DoxControl* CreateControl(int32_t kindId, const RECT* rect);
    void AppendControl(DoxControl* control) { controls_.push_back(control); }
    void RemoveControl(DoxControl* control);
    void ClearControls();
    const std::vector<DoxControl*>& Controls() const { return controls_; }

    int pasteX = 0;
    int pasteY = 0;

    // DoxControlLayer
    bool IsLocked() const override { return lock_ != 0; }
    int GetState() const override { return state_; }
    DataPage* GetPageData() override;
    void SetModified() override;
    void UnlinkControl(DoxControl* control) override;
    DoxControl* LoadControl(const tinyxml2::XMLElement* element, int a, int b) override;
    bool GetPageExtent(int32_t& width, int32_t& height) const override;

private:
    std::wstring name_;
    int lock_ = 0;
    int state_ = 0;
    DoxPage* page_;
    std::vector<DoxControl*> controls_;
};
