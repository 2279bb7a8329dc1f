#pragma once
// The store over one template file: a 20-byte header (magic "DOXDOT!", version
// byte, element count, directory offset, directory CRC-32), the element bytes
// back to back, then a directory of one record per element (offset, size,
// CRC-32, name length, UTF-8 name with two zero bytes). All integers are
// little-endian. A save writes a complete new file beside the old one and
// replaces it only when everything was written; creating a store over an existing
// file leaves that file whole until the first save replaces it.

#include "DocContainer.h"

#include <string>

class DocTemplate final : public DocContainer
{
public:
    // A file holds at most this many elements, and a name with its two zero
    // bytes at most kMaxNameBytes bytes.
    static constexpr int kMaxElements = 31;
    static constexpr int kMaxNameBytes = 255;
    static constexpr int kHeaderSize = 20;

    explicit DocTemplate(DocContainerSink* sink = nullptr) : DocContainer(sink) {}
    ~DocTemplate() override;

    int IsPath(const wchar_t* path) override;
    int Open(const wchar_t* path, int mode) override;
    int Save() override;
    int SaveFrom() override;
    void Close() override;
    int LoadAll() override;
    int ReadElement(DocElement* element) override;
    // Appends the bytes at the end of the open file and records their location.
    int WriteElement(DocElement* element) override;

    const std::wstring& Path() const { return path_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Opened for writing, but the file may not be replaced: edits are kept in memory
    // and a save in place is refused.
    bool IsUnwritable() const { return unwritable_; }
    // Closes a store opened to create a file that was never saved: a file that
    // this store made is removed again, an existing one stays as it was.
    void Abandon();

private:
    int OpenFile(const std::wstring& path, int mode);
    int ReadDirectory();
    // Writes the elements into a new file beside the open one and puts it in its
    // place; the elements learn their new locations only when that succeeded.
    int WriteFile(bool attached);
    void CloseFile();
    // Removes the temporary files that saves of this file left behind when they
    // were killed half-way (a running save keeps its own locked).
    void RemoveStaleTemporaries() const;
    // The name prefix of this file's temporary files: short, so that a file name
    // near the length limit can still be saved, and the same for every save of it.
    std::string TemporaryPrefix() const;

    std::wstring path_;
    std::string filePath_; // canonical, UTF-8: where saves put the new file
    int fd_ = -1;
    bool created_ = false; // the file did not exist before this store opened it
    bool unwritable_ = false;
};
