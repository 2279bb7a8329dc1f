#pragma once
// The work of a backup or a restore of the user's template library ("templates" with
// one level of category folders) and the bill database "doxcore.db", done on the
// progress dialog's worker thread. Nothing here touches a window: progress leaves
// through the callbacks.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class BackupRestore
{
public:
    BackupRestore(std::wstring dataDirectory, std::wstring archivePath);

    // Called on the worker: the number of files, then before each file the number done.
    std::function<void(int total)> onRange;
    std::function<void(int done)> onPosition;
    // Tests: asked before each file of a backup, once its database copy is made and
    // before each step of writing the archive, and before each flush and change of a
    // restore; false cuts the run off (a restore fails as "User aborted").
    std::function<bool()> stepHook;

    // Writes the archive: the accepted templates of "templates", then those of each
    // category folder, then the database when there is one (a copy read through SQLite,
    // so bills still in its write-ahead log are in it; a database that may not be
    // written is read as it is). Every name is checked before anything is written. The
    // archive replaces the file at the path only when everything was written and is
    // on the disk; a failure or a cancel (the flag is looked at after every file)
    // leaves an older archive there as it was. What a killed backup left behind goes
    // with the next one.
    bool RunBackup(const std::atomic<bool>& cancel);
    // Puts the archive's files over the data folder. Only "doxcore.db" and
    // templates\[category\]name.dxt are accepted; any other entry, a member larger
    // than these can be, a template that does not open as one or a database that is
    // damaged or that the core could not read its documents and bills from refuses
    // the whole archive, and on any failure nothing
    // in the data folder changes. The old database is locked for the whole swap (a
    // program that has it open refuses the restore) and its log folded into it; its
    // log, index and journal go when a restored database arrives. A restore that was
    // killed is finished or undone by the next one, or by Recover.
    bool RunRestore();

    // Finishes or undoes a restore into the data folder that was killed part-way.
    // 0, or the errno of a step that could not be done yet.
    static int Recover(const std::wstring& dataDirectory);

    // The largest template and database a backup stores and a restore accepts.
    static constexpr uint64_t kMaxTemplateBytes = uint64_t{64} << 20;
    static constexpr uint64_t kMaxDatabaseBytes = uint64_t{1} << 30;
    // How long a restore waits for another connection to let go of the database.
    static constexpr int kLockWaitMs = 3000;

    // Why the last run failed: the archive's error text or "备份取消".
    const std::wstring& Reason() const { return reason_; }

    // Whether an entry (its name split at '\') may be restored.
    static bool AcceptedEntry(const std::vector<std::wstring>& parts);

private:
    std::wstring dataDirectory_;
    std::wstring archivePath_;
    std::wstring reason_;
};
