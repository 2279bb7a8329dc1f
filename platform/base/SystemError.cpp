#include "SystemError.h"

#include <QString>

#include <cstring>

namespace plat
{

std::wstring SystemErrorText(int error)
{
    char buffer[256];
    // The GNU strerror_r returns the text, which may or may not be in buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : "").toStdWString();
}

} // namespace plat
