#include "Library.h"
#include "PathText.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

namespace plat
{

namespace
{

thread_local std::string lastError;

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    if (text.size() < tail.size())
        return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i])
            return false;
    }
    return true;
}

} // namespace

std::string ApplicationDirectory()
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string ModuleDirectory(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname || !*info.dli_fname)
        return std::string();
    std::error_code ec;
    auto file = std::filesystem::canonical(PathFromUtf8(info.dli_fname), ec);
    return ec ? PathFromUtf8(info.dli_fname).parent_path().string() : file.parent_path().string();
}

std::string LibraryFileName(const std::string& name)
{
    std::string base = PathFromUtf8(name).filename().string();
    if (EndsWithNoCase(base, ".so") && base.rfind("lib", 0) == 0)
        return base;
    if (EndsWithNoCase(base, ".dll"))
        base.resize(base.size() - 4);
    return "lib" + base + ".so";
}

LibraryHandle LoadLibraryFrom(const std::string& folder, const std::string& name)
{
    std::string file = (PathFromUtf8(folder) / LibraryFileName(name)).string();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        lastError = error ? error : file;
    }
    return handle;
}

LibraryHandle LoadLibraryByName(const std::string& name)
{
    return LoadLibraryFrom(ApplicationDirectory(), name);
}

void* GetLibraryExport(LibraryHandle library, const char* name)
{
    if (!library || !name)
        return nullptr;
    dlerror();
    void* symbol = dlsym(library, name);
    if (!symbol) {
        const char* error = dlerror();
        lastError = error ? error : name;
    }
    return symbol;
}

void FreeLibrary(LibraryHandle library)
{
    if (library)
        dlclose(library);
}

std::string LastLibraryError()
{
    return lastError;
}

} // namespace plat
