#pragma once
// An ordered list of fields with a vector of rows: the page's main table or one
// of its child tables. Each container keeps the rows of one SQL table.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SqlCommand.h"

namespace tinyxml2
{
class XMLElement;
}

class DataField;
class DataPage;
class DataRow;
class SqlConnection;

class DataContainer
{
public:
    // A container never has more rows than this.
    static constexpr uint32_t kMaxRows = 1024;

    DataContainer();
    virtual ~DataContainer();
    DataContainer(const DataContainer&) = delete;
    DataContainer& operator=(const DataContainer&) = delete;

    virtual const std::wstring& GetName() const = 0;
    virtual const std::wstring& GetKey() const = 0;
    virtual void SetRows(int32_t rows) = 0;
    virtual int32_t GetRows() const = 0;
    virtual void Release() = 0;
    virtual DataContainer* AddRef() = 0;
    virtual DataPage* GetPage() = 0;
    virtual void SetModified() = 0;

    // Fields (names compare ignoring ASCII letter case).
    DataField* AddField(const wchar_t* name);
    DataField* FindField(const wchar_t* name);
    DataField* LookupField(const wchar_t* name) const;
    void RemoveField(DataField* field);
    DataField* RenameField(const wchar_t* newName, DataField* field);
    std::wstring MakeFieldName() const;
    // Appends a field read from XML (reference count 0).
    DataField* AppendField();
    const std::vector<std::unique_ptr<DataField>>& Fields() const { return fields_; }

    int SetCellText(int32_t row, DataField* field, const wchar_t* text, std::wstring* message);
    int FormatCell(int32_t row, DataField* field, uint32_t formatId, std::wstring& out,
                   const wchar_t* parameter);
    int GetCellText(int32_t row, DataField* field, std::wstring& out);

    // Rows.
    int LayOutRows();
    void DestroyRows();
    // Empties every row and tells the fields' observers once all rows are empty, so
    // that a function reading this container sees none of the old values.
    void ClearValues();
    // Empties every row and forgets its record id without telling anybody.
    void ClearValuesQuietly();
    void ClearObservers();
    void ResetFunctions();
    void ForgetRowIds();
    int IsEmpty() const;
    int64_t GetRecordId(int32_t row) const;
    void NotifyRows();
    const std::vector<std::unique_ptr<DataRow>>& Rows() const { return rows_; }
    DataRow* GetRow(int32_t row) const;

    // XML.
    int WriteFields(tinyxml2::XMLElement* element);
    int ReadFields(tinyxml2::XMLElement* element);

    // Database.
    SqlConnection* GetConnection() const { return connection_; }
    void DropConnection();
    std::wstring GetTableName() const { return prefix_ + GetKey(); }
    int PrepareTable(SqlConnection* connection, const wchar_t* pageId);
    int SaveRows(int64_t parentId);
    int LoadMainRow(int64_t id);
    int LoadChildRows(int64_t parentId);
    int DeleteMainRow(int64_t id);
    int DeleteChildRows(int64_t parentId);
    // The fields that have a column of their own: the first field of each name
    // (ignoring letter case) that is not one of the fixed columns.
    std::vector<DataField*> StoredFields() const;

private:
    std::vector<std::unique_ptr<DataField>> fields_;
    std::vector<std::unique_ptr<DataRow>> rows_;
    SqlConnection* connection_ = nullptr;
    std::wstring prefix_;
    // The statements of the table, each compiled once and run again for every bill
    // while its text stays the same (it changes with the fields).
    struct Statements {
        SqlCommand insert;
        SqlCommand update;
        SqlCommand load;
        SqlCommand remove;
    };
    std::unique_ptr<Statements> statements_;
    Statements& TableStatements();
    // The stored fields as last worked out, beside the fields and the names they were
    // worked out from: a bill is loaded and saved far more often than a field changes.
    struct StoredList {
        std::vector<const DataField*> fields;
        std::vector<std::wstring> names;
        std::vector<DataField*> stored;
        // Counts the times the list was worked out: a field renamed keeps its place.
        uint64_t version = 0;
    };
    mutable StoredList storedList_;
    // The text of the last load statement and what it was made from.
    struct LoadText {
        uint64_t version = 0;
        std::wstring from;
        std::wstring sql;
    };
    LoadText loadText_;

    int LoadRows(const std::wstring& sql, const wchar_t* parameter, int64_t value);
    bool IndexParentIds(SqlCommand& command);
};
