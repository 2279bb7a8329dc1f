#include "DoxCore.h"

#include "CoreStartup.h"
#include "ModuleError.h"

#include <new>

namespace
{

constexpr int kCoreVersion = 500;

DoxCore* singleton = nullptr;

// Operations whose services are not part of this library yet report so.
template <class T> T* NotAvailable(const wchar_t* text)
{
    ClearModuleError();
    SetModuleError(text);
    return nullptr;
}

const wchar_t kNoDocuments[] = L"当前版本尚不支持模板文档。";
const wchar_t kNoDesignWindow[] = L"当前版本尚不支持设计窗口。";
const wchar_t kNoPageWindow[] = L"当前版本尚不支持填单窗口。";
const wchar_t kNoPreview[] = L"当前版本尚不支持模板预览。";
const wchar_t kNoIcon[] = L"当前版本尚不支持模板图标。";

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
    return CoreStartup();
}

void DoxCore::FinalRelease()
{
    CoreShutdown();
    if (singleton == this)
        singleton = nullptr;
    delete this;
}

IDoxDocument* DoxCore::CreateTemplate(const wchar_t*, const wchar_t*, int32_t, int32_t)
{
    return NotAvailable<IDoxDocument>(kNoDocuments);
}

IDoxDocument* DoxCore::OpenTemplate(const wchar_t*)
{
    return NotAvailable<IDoxDocument>(kNoDocuments);
}

IDoxDocument* DoxCore::CreateConnection(const wchar_t*, const wchar_t*, int32_t, int32_t)
{
    return NotAvailable<IDoxDocument>(kNoDocuments);
}

IDoxDocument* DoxCore::CreateConnectionFromTemplate(const wchar_t*, const wchar_t*)
{
    return NotAvailable<IDoxDocument>(kNoDocuments);
}

IDoxDocument* DoxCore::OpenComplex(const wchar_t*, const wchar_t*)
{
    return NotAvailable<IDoxDocument>(kNoDocuments);
}

IDoxDesignWindow* DoxCore::CreateDesignWindow(IDoxPage*, uint32_t, const QRect*, QWidget*, uint32_t)
{
    return NotAvailable<IDoxDesignWindow>(kNoDesignWindow);
}

IDoxPageWindow* DoxCore::CreatePageWindow(IDoxPage*, uint32_t, const QRect*, QWidget*, uint32_t)
{
    return NotAvailable<IDoxPageWindow>(kNoPageWindow);
}

IDoxErrorSink* DoxCore::SetErrorSink(IDoxErrorSink* sink)
{
    return SetModuleErrorSink(sink);
}

const wchar_t* DoxCore::GetLastErrorText()
{
    return GetModuleErrorText();
}

IDoxImageData* DoxCore::GetTemplatePreview(const wchar_t*)
{
    return NotAvailable<IDoxImageData>(kNoPreview);
}

IDoxImageData* DoxCore::GetTemplateIcon(const wchar_t*)
{
    return NotAvailable<IDoxImageData>(kNoIcon);
}
