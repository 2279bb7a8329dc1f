#pragma once
// Putting extracted files in place so that a run killed at any moment can be finished
// or undone: before the first change a journal in the target folder lists every step,
// the old files are kept as hard links in the staging folder until the end, and each
// file is replaced by one rename, so a path is never without a file. The next
// extraction into the folder (and the printing program at start) reads the journal:
// when every file was put in place the run is finished, otherwise it is undone.

#include <functional>
#include <string>
#include <vector>

namespace Cabinet
{

// The journal, beside the files it is about, and the prefix of staging folders.
constexpr const char* kSwapJournal = ".cabjournal";
constexpr const char* kStagingPrefix = ".cabstage-";

struct SwapPlan {
    struct Put {
        std::string staged; // name in the staging folder
        std::string path;   // relative to the target, '/'-separated
    };
    std::string target;              // absolute, canonical
    std::string staging;             // the staging folder's name inside target
    std::vector<std::string> folders; // to be made when missing, parents first
    std::vector<Put> puts;           // in this order
    std::vector<std::string> drops;  // files removed after the puts of sub-folders
    size_t lateFrom = 0;             // puts from this index go after the drops
};

// Carries out the plan: every staged file and every folder entry is on the disk
// before the step that relies on it. hook is asked before each flush and each change;
// false undoes what was done and returns -1. 0 on success; otherwise the errno of the failure, everything undone.
// The staging folder is gone afterwards, unless undoing failed: then it stays with
// the journal for the next run to finish the undoing.
int RunSwap(const SwapPlan& plan, const std::function<bool()>& hook);

// Finishes or undoes a run in the target folder that was cut off, and removes
// staging folders that were left before their journal was written. A run of another
// live program (its staging folder locked) is left alone. 0, or the errno of a step
// that could not be done (the journal then stays for the next try).
int RecoverSwap(const std::string& target);

// Staging folders are locked by their run while it lives (flock on the folder).
// Makes and locks a new one in target; its fd, or -1 with errno set.
int MakeStaging(const std::string& target, std::string* name);
// Removes the files directly in a staging folder, then the folder.
void RemoveStagingFolder(const std::string& folder);

// Puts a folder's entries (the names in it, not the files' bytes) on the disk;
// false with errno set when that fails.
bool SyncFolder(const std::string& folder);
// Puts a regular file's bytes on the disk, never following a link; false with
// errno set.
bool FlushFile(const std::string& path);

} // namespace Cabinet
