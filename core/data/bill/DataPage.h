#pragma once
// The bill data of one template page: the main table ("主表") with the page's
// own fields, its child tables, the map of qualified field names, and the record
// operations that keep bills as rows of SQL tables.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "DataContainer.h"
#include "DataTestResult.h"
#include "IDoxDataQuerySink.h"

class DataTable;
class IDoxValue;

class DataPage : public DataContainer
{
public:
    DataPage();
    ~DataPage() override;

    const std::wstring& GetName() const override;
    const std::wstring& GetKey() const override;
    void SetRows(int32_t) override {}
    int32_t GetRows() const override { return 1; }
    void Release() override {}
    DataContainer* AddRef() override { return this; }
    DataPage* GetPage() override { return this; }
    void SetModified() override { modified_ = 1; }

    // Tables (names compare ignoring ASCII letter case).
    DataTable* AddTable(const wchar_t* name);
    DataTable* FindTable(const wchar_t* name);
    DataTable* LookupTable(const wchar_t* name) const;
    int IsTableNameFree(const wchar_t* name) const;
    std::wstring MakeTableName() const;
    void RemoveAllTables();
    const std::vector<DataTable*>& Tables() const { return tables_; }
    // Called by a table whose last reference went.
    void UnlinkTable(DataTable* table);
    // A field going away, or taking a new name: the lookup map and the field list
    // must not keep it under its old name (or at all, once it is destroyed).
    // ForgetField tells whether the map held the field.
    bool ForgetField(DataField* field);
    void RekeyField(DataField* field);
    int32_t GetNextTableNumber() const { return nextTableNumber_; }

    // Preparation for records.
    int PrepareStore(SqlConnection* connection, const wchar_t* pageId);
    int LayOutAllRows();
    int PrepareTables(SqlConnection* connection, const wchar_t* pageId);
    void BuildFieldMap();
    void ClearFieldMap() { fieldMap_.clear(); }
    void CheckFunctions();
    void ClearRows();
    // The page becomes an empty new bill. Every cell is emptied before any observer
    // hears of it: a function then computes from the empty bill, not from the rows of
    // the last one that are still waiting their turn.
    int ResetRecordIds();
    // Empties every row of the page and its tables, then tells the observers.
    void ClearAllValues();
    void ForgetAllRowIds();
    int HasAnyValue() const;
    int NotifyObservers();
    int IsStoreReady() const { return storeReady_; }
    int IsModified() const { return modified_; }
    void ClearModified() { modified_ = 0; }

    // Page-level field operations over qualified names.
    const std::vector<DataField*>& GetFieldList(DataContainer* container);
    DataField* FindFieldByKey(const wchar_t* qualifiedName) const;
    DataField* FindFieldByQualifiedName(const wchar_t* name) const;
    int SetFieldText(const wchar_t* qualifiedName, int32_t row, const wchar_t* text);
    int TestFieldText(const wchar_t* qualifiedName, int32_t row, const wchar_t* text, std::wstring* message);
    IDoxValue* GetFieldValue(const wchar_t* qualifiedName, int32_t row) const;
    DataTestResult& TestResult() { return testResult_; }

    // Records.
    int SaveRecord();
    int SaveRecordAsNew();
    int LoadRecord(int64_t id);
    int DeleteRecord(int64_t id);
    int QueryRecords(IDoxDataQuerySink* sink, const DataQuery* query);

    // XML.
    int WriteXml(tinyxml2::XMLElement* element);
    int ReadXml(tinyxml2::XMLElement* element);
    int WriteTables(tinyxml2::XMLElement* element);
    int ReadTables(tinyxml2::XMLElement* element);

private:
    std::vector<DataTable*> tables_;
    std::vector<DataField*> fieldList_;
    std::unordered_map<std::wstring, DataField*> fieldMap_;
    int32_t nextTableNumber_ = 0;
    int32_t storeReady_ = 0;
    int32_t modified_ = 0;
    DataTestResult testResult_;

    std::vector<DataContainer*> AllContainers();
    int SaveInTransaction(bool asNew);
};
