#pragma once
// The driver as its callers see it: libMarvConnKQCalcFunc.so loaded with dlopen
// and its seven functions bound by name.

#include <filesystem>
#include <string>

namespace kqtest
{

class DriverLib
{
public:
    // The library in the application directory (bin/).
    DriverLib();
    // A library file elsewhere: a copy gets its own globals (and its own trace switch).
    explicit DriverLib(const std::filesystem::path& file);
    ~DriverLib();
    DriverLib(const DriverLib&) = delete;
    DriverLib& operator=(const DriverLib&) = delete;

    // Empty when loaded and every function was found.
    const std::string& Error() const { return error_; }

    const char* (*GetDllVersion)() = nullptr;
    int (*GetErrorCode)() = nullptr;
    const char* (*GetErrorCodeText)() = nullptr;
    const char* (*GetHelpDescr)() = nullptr;
    int (*GetIsTrace)() = nullptr;
    int (*ReadKQSN)(int, char*, int) = nullptr;
    int (*MarvConnKQCalcFunc)(int, char*, const char*, char*) = nullptr;

    static std::filesystem::path DefaultFile();

private:
    void Load(const std::filesystem::path& file);

    void* handle_ = nullptr;
    std::string error_;
};

// GBK bytes to UTF-8, through iconv, for comparing texts.
std::string GbkToUtf8(const std::string& gbk);

} // namespace kqtest
