#pragma once
// Shared bits of the store tests: the module pool, the last error, paths in a
// scratch folder, an element's bytes, raw template files built byte by byte.

#include "DocElement.h"
#include "DoxCommon.h"
#include "ModuleError.h"
#include "SqlConnectionPool.h"
#include "TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storetest
{

// Each test starts with a fresh pool and an empty last error and ends with the
// pool shut down.
class PoolScope
{
public:
    PoolScope()
    {
        SqlConnectionPool::Init();
        ClearModuleError();
    }
    ~PoolScope() { SqlConnectionPool::Shutdown(); }
};

inline std::wstring LastError()
{
    return GetModuleErrorText();
}

// A file in a scratch folder, as the stores take it (the test paths are plain ASCII).
inline std::wstring Path(const doxtest::TempDir& dir, const std::string& name)
{
    std::string p = (dir / name).string();
    return std::wstring(p.begin(), p.end());
}

// An element's bytes in memory, empty when none are loaded.
inline std::string Bytes(DocElement* e)
{
    const uint8_t* data = e->GetData();
    return data ? std::string(reinterpret_cast<const char*>(data), e->GetSize()) : std::string();
}

inline void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline uint32_t GetU32(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(bytes.at(at + static_cast<size_t>(i)));
    return v;
}

struct RawElement {
    std::string name; // UTF-8, without the two zero bytes
    std::string bytes;
};

// A template file written by hand: header, element bytes in order, directory.
inline std::string BuildTemplate(const std::vector<RawElement>& elements,
                                 uint32_t (*crc)(const void*, uint32_t))
{
    std::string data;
    std::string directory;
    uint32_t offset = 20;
    for (const RawElement& e : elements) {
        std::string record;
        PutU32(record, offset);
        PutU32(record, static_cast<uint32_t>(e.bytes.size()));
        PutU32(record, crc(e.bytes.data(), static_cast<uint32_t>(e.bytes.size())));
        record.push_back(static_cast<char>(e.name.size() + 2));
        record += e.name;
        record.push_back('\0');
        record.push_back('\0');
        directory += record;
        data += e.bytes;
        offset += static_cast<uint32_t>(e.bytes.size());
    }
    std::string file = "DOXDOT!";
    file.push_back('\x01');
    PutU32(file, static_cast<uint32_t>(elements.size()));
    PutU32(file, offset);
    PutU32(file, crc(directory.data(), static_cast<uint32_t>(directory.size())));
    return file + data + directory;
}

} // namespace storetest
