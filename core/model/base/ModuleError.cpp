#include "ModuleError.h"

#include "CharBuffer.h"
#include "DoxCommon.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <vector>

namespace
{

std::wstring& LastError()
{
    static std::wstring text;
    return text;
}

IDoxErrorSink*& Sink()
{
    static IDoxErrorSink* sink = nullptr;
    return sink;
}

void Notify()
{
    if (IDoxErrorSink* sink = Sink())
        sink->OnError(LastError().c_str());
}

} // namespace

void SetModuleError(const wchar_t* text)
{
    LastError() = text ? text : L"";
    Notify();
}

void SetModuleError(const std::wstring& text)
{
    LastError() = text;
    Notify();
}

void SetModuleErrorFormat(const wchar_t* format, ...)
{
    if (!format) {
        SetModuleError(nullptr);
        return;
    }
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
            break;
        if (buffer.size() >= (1u << 20)) { // a malformed format never fits
            buffer[0] = L'\0';
            break;
        }
        buffer.resize(buffer.size() * 4);
    }
    SetModuleError(buffer.data());
}

void SetModuleErrorFromSystem(int error)
{
    char buffer[256];
    // GNU strerror_r: thread-safe, returns the text (in buffer or a static string).
    const char* message = strerror_r(error, buffer, sizeof buffer);
    std::wstring text;
    Utf8ToWide(text, message);
    SetModuleError(text);
}

void SetModuleErrorFromSystem()
{
    SetModuleErrorFromSystem(errno);
}

void ClearModuleError()
{
    LastError().clear();
}

const wchar_t* GetModuleErrorText()
{
    return LastError().c_str();
}

IDoxErrorSink* SetModuleErrorSink(IDoxErrorSink* sink)
{
    Sink() = sink;
    return sink;
}

IDoxErrorSink* GetModuleErrorSink()
{
    return Sink();
}
