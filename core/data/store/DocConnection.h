#pragma once
// The store whose elements are rows of the table "doxdoctbl" in an SQLite
// database (the bill database): id (the element's location), docid, docsize,
// doccrc32 and docdata. A save replaces every row in one transaction.

#include "DocContainer.h"
#include "SqlConnection.h"

#include <cstdint>
#include <vector>

class DocConnection final : public DocContainer
{
public:
    explicit DocConnection(DocContainerSink* sink = nullptr) : DocContainer(sink) {}
    ~DocConnection() override;

    int IsPath(const wchar_t* path) override;
    int Open(const wchar_t* path, int mode) override;
    int Save() override;
    int SaveFrom() override;
    void Close() override;
    int LoadAll() override;
    int ReadElement(DocElement* element) override;
    int WriteElement(DocElement* element) override;

    // The connection the bill tables of the same database share.
    SqlConnection* Connection() { return &connection_; }

private:
    struct Placed {
        DocElement* element;
        uint32_t location, crc, size;
    };

    int EnsureTable();
    int ListElements();
    // Inserts one row for the element; the row id and CRC come back through
    // placed, the element itself is left as it is.
    int InsertRow(DocElement* element, Placed& placed);
    // Replaces every row by the given elements in one transaction; the elements
    // learn their new rows only once the transaction is committed.
    int WriteAll(const std::vector<DocElement*>& elements);

    SqlConnection connection_;
};
