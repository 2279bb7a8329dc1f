#include "PathText.h"

#include <QString>

#include <system_error>

namespace plat
{

// Qt's UTF-8 and UTF-32 conversions are fixed, whatever the process locale; a byte
// that is not part of well-formed UTF-8 becomes U+FFFD, so a stray name from an old
// disk still shows instead of failing the whole text.

std::filesystem::path PathFromWide(std::wstring_view text)
{
    return std::filesystem::path(
        QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size())).toUtf8().toStdString());
}

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::wstring WideOfPath(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdWString();
}

std::string Utf8OfPath(const std::filesystem::path& path) { return path.native(); }

bool SameFilePath(std::wstring_view a, std::wstring_view b)
{
    std::error_code error;
    const auto ca = std::filesystem::weakly_canonical(PathFromWide(a), error);
    if (error)
        return a == b;
    const auto cb = std::filesystem::weakly_canonical(PathFromWide(b), error);
    if (error)
        return a == b;
    return ca == cb;
}

} // namespace plat
