#pragma once
// Backups are Microsoft Cabinet archives (MSZIP), written and read through libgcab.
// Entry names are stored in the coding of CabinetName.h; every failure leaves a code
// whose English text GetLastErrorText gives. No call throws.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Cabinet
{

// The last failure of an archive object: the library's code (writing 0-8, reading
// 0-11), the wrapper's own code (1000 and up) and the system's error number.
class CabError
{
public:
    explicit CabError(bool writing) : writing_(writing) {}
    void Clear()
    {
        library_ = own_ = system_ = 0;
        text_.clear();
    }
    // A failure the caller explains in its own words.
    void SetText(std::wstring text)
    {
        Clear();
        text_ = std::move(text);
    }
    void SetLibrary(int code, int systemError = 0) { Clear(); library_ = code; system_ = systemError; }
    void SetOwn(int code, int systemError = 0) { Clear(); own_ = code; system_ = systemError; }
    int LibraryCode() const { return library_; }
    int OwnCode() const { return own_; }
    std::wstring Text() const;

private:
    bool writing_;
    int library_ = 0;
    int own_ = 0;
    int system_ = 0;
    std::wstring text_;
};

// Writing codes of the library.
enum : int {
    kFciOpenSource = 1,
    kFciReadSource = 2,
    kFciAllocFail = 3,
    kFciTempFile = 4,
    kFciCabFile = 6,
    kFciUserAbort = 7,
    kFciMciFail = 8,
};
// Reading codes of the library.
enum : int {
    kFdiCabinetNotFound = 1,
    kFdiNotACabinet = 2,
    kFdiUnknownVersion = 3,
    kFdiCorruptCabinet = 4,
    kFdiBadCompression = 6,
    kFdiMdiFail = 7,
    kFdiTargetFile = 8,
    kFdiUserAbort = 11,
};

class CCompress
{
public:
    CCompress();
    ~CCompress();
    CCompress(const CCompress&) = delete;
    CCompress& operator=(const CCompress&) = delete;

    // Prepares an archive at path (its folders are made). Nothing is written to the
    // path before Finish, so a run that fails never touches an older archive there.
    int Create(const std::wstring& archivePath);
    // Takes the file's bytes, time and attributes now, stored as entryName ('\'
    // separates folders).
    int AddFile(const std::wstring& filePath, const std::wstring& entryName);
    // Writes the archive to a temporary file beside the path and renames it over the
    // path; the temporary files of backups into that folder that were killed go
    // first. An object destroyed without Finish writes nothing.
    int Finish();
    std::wstring GetLastErrorText() const { return error_.Text(); }

    // Asked by Finish before it writes, flushes, renames and syncs the folder; false
    // before the rename stops it as "Client requested abort" (tests cut a backup off
    // with it).
    void SetStepHook(std::function<bool()> hook) { hook_ = std::move(hook); }

private:
    bool Step() const { return !hook_ || hook_(); }

    struct State;
    std::unique_ptr<State> state_;
    CabError error_{true};
    std::function<bool()> hook_;
};

class CExtract
{
public:
    // One entry as stored: its decoded name split at '\'.
    using Entry = std::vector<std::wstring>;

    CExtract();
    ~CExtract();
    CExtract(const CExtract&) = delete;
    CExtract& operator=(const CExtract&) = delete;

    int Load();
    // One entry extracted into the staging folder, before anything in the target changed.
    struct Staged {
        Entry parts;
        std::string path; // UTF-8
    };

    // Extracts every entry into targetDirectory. The archive must be a regular file.
    // All names are decoded and checked before anything is written: a malformed name,
    // an empty, "." or ".." part, a part holding '/', a repeated entry or one the
    // filter refuses makes the whole archive "Corrupt cabinet"; the entry check then
    // sees each entry with its size. The files are extracted into a staging folder
    // inside the target, shown to the staged check, then put in place (CabinetSwap.h):
    // an existing file is replaced, never written through, no folder or file that is
    // a symbolic link is followed, and files in sub-folders go before those directly
    // in the target. On any failure the target is as it was, and a run that was
    // killed is finished or undone by the next one.
    int ExtractAll(const std::wstring& archivePath, const std::wstring& targetDirectory);
    std::wstring GetLastErrorText() const { return error_.Text(); }

    // Which entries a caller accepts (default: all).
    void SetEntryFilter(std::function<bool(const Entry&)> filter) { filter_ = std::move(filter); }
    // Each entry with the size it declares, before anything is written; a text
    // refuses the archive for that reason.
    void SetEntryCheck(std::function<std::wstring(const Entry&, uint64_t size)> check)
    {
        entryCheck_ = std::move(check);
    }
    // The extracted files, before the target changes; a text refuses the archive for
    // that reason. The check may name files of the target (relative, '/'-separated)
    // to be removed together with the swap.
    void SetStagedCheck(std::function<std::wstring(const std::vector<Staged>&, std::vector<std::string>* drops)> check)
    {
        stagedCheck_ = std::move(check);
    }
    // Asked before each file is extracted and before each change of the target;
    // false stops the run as "User aborted" (tests cut a restore off with it).
    void SetStepHook(std::function<bool()> hook) { hook_ = std::move(hook); }

private:
    bool loaded_ = false;
    CabError error_{false};
    std::function<bool(const Entry&)> filter_;
    std::function<std::wstring(const Entry&, uint64_t)> entryCheck_;
    std::function<std::wstring(const std::vector<Staged>&, std::vector<std::string>*)> stagedCheck_;
    std::function<bool()> hook_;
};

// Paths and entry names are at most this many bytes once coded.
constexpr size_t kMaxCodedPath = 254;

} // namespace Cabinet
