#include "SerialPortNames.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string_view>
#include <system_error>
#include <tuple>

extern char** environ;

namespace plat
{

namespace
{

constexpr const char* kDeviceGroups[] = {"ttyS", "ttyUSB", "ttyACM"};
constexpr std::string_view kPortVariable = "DOX_COM";

// Digits only, no sign, no leading '+'; -1 for anything else or an overflow.
long ParseNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9)
        return -1;
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string Variable(int number)
{
    return std::string(kPortVariable) + std::to_string(number);
}

int ReadSetting(const char* name, int fallback, int minimum)
{
    const char* text = std::getenv(name);
    if (!text)
        return fallback;
    long value = ParseNumber(text);
    if (value < minimum || value > INT_MAX)
        return fallback;
    return static_cast<int>(value);
}

} // namespace

std::vector<std::string> ListSerialDevices(const std::string& devDir)
{
    // group index, number, name
    std::vector<std::tuple<int, long, std::string>> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(devDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        for (int group = 0; group < 3; ++group) {
            std::string_view prefix = kDeviceGroups[group];
            if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
                long number = ParseNumber(std::string_view(name).substr(prefix.size()));
                if (number >= 0)
                    found.emplace_back(group, number, name);
                break;
            }
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (const auto& entry : found)
        paths.push_back((std::filesystem::path(devDir) / std::get<2>(entry)).string());
    return paths;
}

std::string SerialPortPath(int number)
{
    if (number < 1)
        return {};
    if (const char* path = std::getenv(Variable(number).c_str()); path && *path)
        return path;
    std::vector<std::string> devices = ListSerialDevices();
    if (static_cast<size_t>(number) > devices.size())
        return {};
    return devices[static_cast<size_t>(number) - 1];
}

std::string SerialPortPathForName(const std::string& name)
{
    if (name.size() < 4 || std::toupper(static_cast<unsigned char>(name[0])) != 'C' ||
        std::toupper(static_cast<unsigned char>(name[1])) != 'O' ||
        std::toupper(static_cast<unsigned char>(name[2])) != 'M')
        return {};
    long number = ParseNumber(std::string_view(name).substr(3));
    if (number < 1 || number > INT_MAX)
        return {};
    return SerialPortPath(static_cast<int>(number));
}

std::vector<SerialPortEntry> EnumerateSerialPorts()
{
    std::map<int, std::string> ports;
    std::vector<std::string> devices = ListSerialDevices();
    for (size_t i = 0; i < devices.size() && i < static_cast<size_t>(INT_MAX); ++i)
        ports[static_cast<int>(i + 1)] = devices[i];
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text = *entry;
        size_t equals = text.find('=');
        if (equals == std::string_view::npos || text.compare(0, kPortVariable.size(), kPortVariable) != 0)
            continue;
        long number = ParseNumber(text.substr(kPortVariable.size(), equals - kPortVariable.size()));
        std::string_view path = text.substr(equals + 1);
        if (number < 1 || number > INT_MAX || path.empty())
            continue;
        ports[static_cast<int>(number)] = std::string(path);
    }
    std::vector<SerialPortEntry> list;
    for (auto& [number, path] : ports)
        list.push_back({"COM" + std::to_string(number), number, path});
    return list;
}

SerialPollSettings CurrentSerialPollSettings()
{
    SerialPollSettings settings;
    settings.pollCount = ReadSetting("DOX_SERIAL_POLL_COUNT", settings.pollCount, 0);
    settings.pollSleepMs = ReadSetting("DOX_SERIAL_POLL_MS", settings.pollSleepMs, 1);
    return settings;
}

} // namespace plat
