#pragma once
// Stands in for the C library's fsync, fdatasync, syncfs and rename in the test
// program (the archive code is linked into it), to see which files and folders are
// put on the disk before and after they are renamed, and to make a flush fail as a
// failing disk would.

#include <string>
#include <sys/types.h>
#include <vector>

namespace flushspy
{

struct Event {
    enum Kind { Flush, FolderFlush, FileSystemFlush, Rename } kind;
    dev_t device = 0;
    ino_t inode = 0;      // of the file flushed, or of the file renamed
    std::string path;     // the flushed file's path, or where the rename puts it
};

// Recording starts empty; Stop hands out what was recorded, in order.
void Start();
std::vector<Event> Stop();

// Flushes of files and folders whose path holds this text fail with EIO (empty: none).
void FailFlushesOf(const std::string& fragment);

} // namespace flushspy
