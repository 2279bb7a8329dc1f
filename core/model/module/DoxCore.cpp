#include "DoxCore.h"

#include "CoreStartup.h"
#include "DoxControlKinds.h"
#include "DoxDocPictures.h"
#include "DoxDesignWindow.h"
#include "DoxDocument.h"
#include "DoxPage.h"
#include "DoxPageWindow.h"
#include "ModuleError.h"

#include <new>
#include <vector>

namespace
{

constexpr int kCoreVersion = 500;

DoxCore* singleton = nullptr;

} // namespace

DoxCore* DoxCore::Instance()
{
    return singleton;
}

IDoxCore* CreateDoxCore(int version, intptr_t arg)
{
    // Every holder owns a reference: a second caller's Release must not destroy
    // the object under the first.
    if (singleton) {
        singleton->AddRef();
        return singleton;
    }
    if (version != kCoreVersion)
        return nullptr;
    auto* core = new (std::nothrow) DoxCore;
    if (!core)
        return nullptr;
    singleton = core;
    if (!core->Init(arg)) {
        core->Release(); // runs the whole shut-down once
        singleton = nullptr;
        return nullptr;
    }
    return core;
}

DOX_EXPORT IDoxCore* CreateModule(int version, intptr_t arg)
{
    return CreateDoxCore(version, arg);
}

int DoxCore::Init(intptr_t)
{
    if (!CoreStartup())
        return 0;
    // Templates hold controls: their kinds must be known before the first one
    // is read, and the page runner must find the pages behind IDoxPage.
    RegisterControlKinds();
    RegisterDocPageResolver();
    return 1;
}

void DoxCore::FinalRelease()
{
    CoreShutdown();
    if (singleton == this)
        singleton = nullptr;
    delete this;
}

IDoxDocument* DoxCore::CreateTemplate(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy)
{
    return DocCreateTemplate(path, pageName, cx, cy);
}

IDoxDocument* DoxCore::OpenTemplate(const wchar_t* path)
{
    return DocOpenTemplate(path);
}

IDoxDocument* DoxCore::CreateConnection(const wchar_t* path, const wchar_t* pageName, int32_t cx, int32_t cy)
{
    return DocCreateConnection(path, pageName, cx, cy);
}

IDoxDocument* DoxCore::CreateConnectionFromTemplate(const wchar_t* dbPath, const wchar_t* templatePath)
{
    return DocCreateConnectionFromTemplate(dbPath, templatePath);
}

IDoxDocument* DoxCore::OpenComplex(const wchar_t* dbPath, const wchar_t* templatePath)
{
    return DocOpenComplex(dbPath, templatePath);
}

IDoxDesignWindow* DoxCore::CreateDesignWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                              uint32_t childId)
{
    return CreateDoxDesignWindow(page, style, rect, parent, childId);
}

IDoxPageWindow* DoxCore::CreatePageWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                          uint32_t childId)
{
    return CreateDoxPageWindow(page, style, rect, parent, childId);
}

IDoxErrorSink* DoxCore::SetErrorSink(IDoxErrorSink* sink)
{
    return SetModuleErrorSink(sink);
}

const wchar_t* DoxCore::GetLastErrorText()
{
    return GetModuleErrorText();
}

IDoxImageData* DoxCore::GetTemplatePreview(const wchar_t* path)
{
    ClearModuleError();
    std::vector<uint8_t> bytes;
    if (!RenderTemplatePreview(path, bytes) || !imageData_.Assign(bytes.data(), static_cast<uint32_t>(bytes.size())))
        return nullptr;
    return &imageData_;
}

IDoxImageData* DoxCore::GetTemplateIcon(const wchar_t* path)
{
    ClearModuleError();
    std::vector<uint8_t> bytes;
    if (!ReadTemplateIcon(path, bytes) || !imageData_.Assign(bytes.data(), static_cast<uint32_t>(bytes.size())))
        return nullptr;
    return &imageData_;
}
