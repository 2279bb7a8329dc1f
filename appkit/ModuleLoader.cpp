#include "ModuleLoader.h"

#include "IDoxCore.h"
#include "IDoxPlusIn.h"
#include "Library.h"

#include <QString>

#include <cstdint>

namespace
{

std::string Utf8(const std::wstring& text) { return QString::fromStdWString(text).toStdString(); }

// Each library's export is called through its own function type.
template <class Fn>
bool LoadModule(DoxModuleRecord& record, const std::wstring& fileName, const std::wstring& directory, int version,
                intptr_t argument)
{
    if (!record.module) {
        std::string folder = Utf8(directory);
        if (folder.empty()) folder = plat::ApplicationDirectory();
        record.module = plat::LoadLibraryFrom(folder, Utf8(fileName));
        if (!record.module) return false;
    }
    auto create = reinterpret_cast<Fn>(plat::GetLibraryExport(record.module, "CreateModule"));
    if (!create) return false;
    IModuleCommon* object = nullptr;
    try {
        object = create(version, argument);
    } catch (...) {
        object = nullptr;
    }
    record.object = object;
    return object != nullptr;
}

} // namespace

bool LoadCoreModule(DoxModuleRecord& record, const std::wstring& fileName, const std::wstring& directory)
{
    return LoadModule<DoxCreateModuleFn>(record, fileName, directory, 500, 0);
}

bool LoadPlusModule(DoxModuleRecord& record, const std::wstring& directory, IDoxHost* host)
{
    return LoadModule<DoxPlusInCreateModuleFn>(record, L"DoxKQPlus.dll", directory, 200,
                                               reinterpret_cast<intptr_t>(host));
}

int UnloadModule(DoxModuleRecord& record)
{
    if (record.object) {
        record.object->Release();
        record.object = nullptr;
    }
    if (!record.module) return 0;
    plat::FreeLibrary(record.module);
    record.module = nullptr;
    return 1;
}
