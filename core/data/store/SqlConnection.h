#pragma once
// A handle on the pooled connection of one database path. Embedded in the
// database document store and lent by address to the bill tables.

#include <cstdint>
#include <string>

struct sqlite3;
class SqlPoolConnection;

class SqlConnection
{
public:
    SqlConnection() = default;
    // Gives its pooled connection back.
    virtual ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // Takes the pool's connection for the path (giving back any earlier one
    // first); 1 when one was obtained.
    virtual int Open(const wchar_t* path);

    // Gives the pooled connection back; the pool closes the database when this
    // was its last user.
    void Close();

    bool IsOpen() const { return entry_ != nullptr; }
    SqlPoolConnection* Entry() const { return entry_; }
    // Null when not open or after the pool was shut down.
    sqlite3* Handle() const;
    // The canonical path of the open database; empty when not open.
    std::wstring Path() const;
    // Whether a path names the open database (canonical paths, compared exactly).
    bool IsPath(const wchar_t* path) const;
    // The row id of the last insert on this database; 0 when not open.
    int64_t LastInsertRowId() const;

private:
    SqlPoolConnection* entry_ = nullptr;
};
