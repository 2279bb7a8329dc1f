#pragma once
// One named, typed column of a data container (the page's main table or a child
// table). The field owns its two function lists and the list of bound observers.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "DataObserver.h"

namespace tinyxml2
{
class XMLElement;
}

class DataCell;
class DataContainer;
class DataFunctionExecute;
class DataFunctionFilter;
class SqlCommand;

class DataField
{
public:
    DataField(DataContainer* container, std::wstring name, int32_t refCount);
    ~DataField();
    DataField(const DataField&) = delete;
    DataField& operator=(const DataField&) = delete;

    const std::wstring& GetName() const { return name_; }
    void SetName(std::wstring name) { name_ = std::move(name); }
    uint32_t GetType() const { return type_; }
    void SetType(uint32_t type) { type_ = type; }
    DataContainer* GetContainer() const { return container_; }
    int32_t GetColumn() const { return column_; }
    void SetColumn(int32_t column) { column_ = column; }
    int32_t GetRefCount() const { return refCount_; }
    void AddRef() { ++refCount_; }
    // Count - 1; at 0 the container removes and destroys the field.
    void Release();
    // Used by the container when it unlinks a field it still hands to a caller.
    void DropRef() { --refCount_; }

    // Container name, ".", field name; the container part is left out when the
    // container has no name.
    const std::wstring& GetQualifiedName();

    // Tests a typed text against the field's filter. Without a filter every text
    // passes. accepted receives the text the filter left (it may round).
    int TestText(const wchar_t* text, int32_t row, std::wstring* message, std::wstring* accepted);

    void AddObserver(int32_t row, DataObserver* observer);
    void RemoveObserver(DataObserver* observer);
    void ClearObservers();
    size_t ObserverCount() const { return observerCount_; }
    void NotifyObservers(int32_t row);

    DataFilter* GetFilter() const { return filter_; }
    void SetFilter(DataFilter* filter) { filter_ = filter; }

    DataCell* GetCell(int32_t row) const;

    DataFunctionExecute& Execute() { return *execute_; }
    DataFunctionFilter& Filter() { return *filterList_; }

    // The format a value of the field is written with when it is stored, listed and
    // given back to the editor: entry 0 of the type's category, except for a number
    // field whose filter rounds every entry to a step below one (ROUND with 0.01):
    // its values keep the step's decimals, so that an amount reads 1007.30.
    uint32_t StoredFormatId() const;

    int WriteXml(tinyxml2::XMLElement* element);
    int ReadXml(tinyxml2::XMLElement* element);

    // Prepares the input-history statement of this field for the caller to run:
    // the distinct earlier entries that contain text (all non-empty ones for
    // null), newest first. 0 when the container has no database.
    int QueryInputHistory(const wchar_t* text, SqlCommand& command);

private:
    struct ObserverEntry {
        uint64_t order; // observers are told in the order they were added
        DataObserver* observer;
    };

    // A table whose cells share one field gives it an observer per cell: the
    // observers are kept by row (-1: every row) and their rows by observer, so
    // adding, removing and telling them never walks every cell of the table.
    std::unordered_map<int32_t, std::vector<ObserverEntry>> observersByRow_;
    std::unordered_map<DataObserver*, std::vector<int32_t>> rowsByObserver_;
    size_t observerCount_ = 0;
    uint64_t nextObserverOrder_ = 0;
    DataFilter* filter_ = nullptr;
    uint32_t type_ = 0;
    std::wstring name_;
    std::wstring qualifiedName_;
    DataContainer* container_;
    int32_t column_ = -1;
    int32_t refCount_;
    std::unique_ptr<DataFunctionExecute> execute_;
    std::unique_ptr<DataFunctionFilter> filterList_;
};
