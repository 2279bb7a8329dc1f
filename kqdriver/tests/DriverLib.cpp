#include "DriverLib.h"

#include "TestSupport.h"

#include <dlfcn.h>
#include <iconv.h>

namespace kqtest
{

namespace
{

template <class F> void Bind(void* handle, const char* name, F& function, std::string& error)
{
    function = reinterpret_cast<F>(::dlsym(handle, name));
    if (!function)
        error += std::string("missing ") + name + "; ";
}

} // namespace

std::filesystem::path DriverLib::DefaultFile()
{
    return doxtest::BinDir() / "libMarvConnKQCalcFunc.so";
}

DriverLib::DriverLib()
{
    Load(DefaultFile());
}

DriverLib::DriverLib(const std::filesystem::path& file)
{
    Load(file);
}

DriverLib::~DriverLib()
{
    if (handle_)
        ::dlclose(handle_);
}

void DriverLib::Load(const std::filesystem::path& file)
{
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = ::dlerror();
        error_ = why ? why : "dlopen failed";
        return;
    }
    Bind(handle_, "GetDllVersion", GetDllVersion, error_);
    Bind(handle_, "GetErrorCode", GetErrorCode, error_);
    Bind(handle_, "GetErrorCodeText", GetErrorCodeText, error_);
    Bind(handle_, "GetHelpDescr", GetHelpDescr, error_);
    Bind(handle_, "GetIsTrace", GetIsTrace, error_);
    Bind(handle_, "ReadKQSN", ReadKQSN, error_);
    Bind(handle_, "MarvConnKQCalcFunc", MarvConnKQCalcFunc, error_);
}

std::string GbkToUtf8(const std::string& gbk)
{
    iconv_t cd = ::iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<iconv unavailable>";
    std::string out(gbk.size() * 3 + 8, '\0');
    char* in = const_cast<char*>(gbk.data());
    size_t inLeft = gbk.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t r = ::iconv(cd, &in, &inLeft, &dst, &dstLeft);
    ::iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        return "<not GBK>";
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace kqtest
