#pragma once
// Small helpers every test may use: scratch folders and the application directory.

#include <filesystem>
#include <optional>
#include <string>

namespace doxtest
{

// A fresh, empty folder for one test, removed when the object goes away.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The folder that holds every library and program of the build (bin/).
std::filesystem::path BinDir();

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

// Writes bytes to a file, replacing it; false on failure.
bool WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);

// Sets an environment variable for the object's lifetime and puts the old value
// back afterwards (for example HOME, where the PDF printer writes its files).
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// HOME and the configuration folder (XDG_CONFIG_HOME, ".config") in a folder of the
// test's while the object lives, with the Documents folder the PDF printer writes to.
class ScratchHome
{
public:
    explicit ScratchHome(const std::filesystem::path& folder);

    std::filesystem::path Documents() const { return folder_ / "Documents"; }
    // Whether the Documents folder is there.
    bool Ready() const { return ready_; }

private:
    std::filesystem::path folder_;
    ScopedEnv home_;
    ScopedEnv config_;
    bool ready_;
};

// Takes write permission from a file or folder for the object's lifetime, the way a
// shipped or shared template comes: no write bits, and, where this process may set it
// (root with the capability, on a file system that has it), the immutable flag, which
// refuses writing to root too. Both are undone afterwards, so the scratch folder can go.
class ScopedUnwritable
{
public:
    explicit ScopedUnwritable(const std::filesystem::path& path);
    ~ScopedUnwritable();
    ScopedUnwritable(const ScopedUnwritable&) = delete;
    ScopedUnwritable& operator=(const ScopedUnwritable&) = delete;

    // Whether the system now refuses this process a write (false for root when only
    // the mode bits could be taken).
    bool Refused() const;

private:
    std::filesystem::path path_;
    std::filesystem::perms old_;
    bool immutable_ = false;
};

} // namespace doxtest
