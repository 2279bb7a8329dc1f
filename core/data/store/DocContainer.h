#pragma once
// The element store of a document: an ordered list of its own named elements
// and a list of elements of other stores attached to be written into this one
// (saving under another name or into another kind of store). Two kinds exist:
// the template file (DocTemplate) and the document table of a database
// (DocConnection).

#include <cstdint>
#include <vector>

class DocElement;

// Told each time a store marks itself modified.
class DocContainerSink
{
public:
    virtual void OnModified(int modified) = 0;

protected:
    ~DocContainerSink() = default;
};

// Open modes.
enum DocOpenMode : int {
    kDocOpenRead = 0,      // existing store, read-only
    kDocOpenReadWrite = 1, // existing store, read and write
    kDocOpenCreate = 2,    // a new, empty store (replacing an existing one)
};

class DocContainer
{
public:
    virtual ~DocContainer();
    DocContainer(const DocContainer&) = delete;
    DocContainer& operator=(const DocContainer&) = delete;

    virtual int IsPath(const wchar_t* path) = 0;
    virtual int Open(const wchar_t* path, int mode) = 0;
    virtual int Save() = 0;
    virtual int SaveFrom() = 0;
    virtual void Close() = 0;
    virtual int LoadAll() = 0;
    // Reads an element's bytes into its buffer (which holds its size already).
    virtual int ReadElement(DocElement* element) = 0;
    virtual int WriteElement(DocElement* element) = 0;

    // The element with that id (ignoring case); a writable store makes a new,
    // empty one when there is none. Null for an empty id or a read-only store.
    DocElement* GetElement(const wchar_t* id);
    int HasElement(const wchar_t* id) const;
    int IsIdFree(const wchar_t* id) const;
    // The first element whose id contains the text (case matters).
    DocElement* FindElementLike(const wchar_t* text) const;
    // A new, unloaded element for a directory entry; fails on an empty or taken id.
    DocElement* AddElement(const wchar_t* id);
    void RemoveElement(DocElement* element);
    // Puts an element of another store on the attached list (once only).
    void AttachElement(DocElement* element);
    void AttachAll(DocContainer* source);
    void FreeElements();
    // Empties the attached list; the elements stay with their owners.
    void ForgetAttached();

    // Sets the modified flag and tells the sink.
    void MarkModified();
    bool IsReadOnly() const { return readOnly_ != 0; }
    bool IsModified() const { return modified_ != 0; }
    DocContainerSink* Sink() const { return sink_; }
    void SetSink(DocContainerSink* sink) { sink_ = sink; }

    int ElementCount() const { return ownCount_; }
    int AttachedCount() const { return attachedCount_; }
    // The elements in list order (the order of saving).
    std::vector<DocElement*> Elements() const;
    std::vector<DocElement*> AttachedElements() const;

protected:
    explicit DocContainer(DocContainerSink* sink) : sink_(sink) {}

    int readOnly_ = 0;
    int modified_ = 0;

private:
    friend class DocElement;
    void UnlinkOwn(DocElement* element);
    void UnlinkAttached(DocElement* element);
    void LinkAttached(DocElement* element);
    DocElement* Find(const wchar_t* id) const;

    DocContainerSink* sink_ = nullptr;
    DocElement* ownHead_ = nullptr;
    DocElement* ownTail_ = nullptr;
    int ownCount_ = 0;
    DocElement* attachedHead_ = nullptr;
    DocElement* attachedTail_ = nullptr;
    int attachedCount_ = 0;
};

// CRC-32 as zlib computes it, running from 0.
uint32_t DocCrc32(const void* bytes, uint32_t size);

// Compares ids ignoring the case of ASCII letters.
bool DocIdEquals(const wchar_t* a, const wchar_t* b);
