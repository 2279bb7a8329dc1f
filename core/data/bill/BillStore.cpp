// Bills as rows of SQL tables: one table per container, named by the page id
// and the container's key, with the fixed columns id, parentId, createtime and
// row and one text column per field. Every value is bound as a parameter and
// every table and column name is quoted as an identifier, so texts and names
// from users and template files never change a statement's meaning.

#include <algorithm>
#include <set>

#include "BillText.h"
#include "Clock.h"
#include "DataCell.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DataPage.h"
#include "DataRow.h"
#include "DataTable.h"
#include "DoxQueryReaders.h"
#include "ModuleError.h"
#include "SqlCommand.h"
#include "SqlConnection.h"
#include "SqlStatement.h"
#include "SqlTransaction.h"

namespace
{

const wchar_t* const kFixedColumns[] = {L"id", L"parentId", L"createtime", L"row"};

std::wstring QuoteName(const std::wstring& name)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : name) {
        if (c == L'"')
            quoted += L'"';
        quoted += c;
    }
    quoted += L'"';
    return quoted;
}

// 1 when the table's column id is its INTEGER PRIMARY KEY, the rowid itself: the only
// primary key column, of type INTEGER, and no index made for it (a key of another type,
// a DESC key or a table without rowid gets one).
const wchar_t* const kIdIsRowKey =
    L"select (select count(*) from pragma_table_info(@tabname) where pk > 0) = 1"
    L" and exists (select 1 from pragma_table_info(@tabname) where pk = 1 and name = 'id' collate nocase"
    L" and upper(type) = 'INTEGER')"
    L" and not exists (select 1 from pragma_index_list(@tabname) where origin = 'pk')";

std::wstring ParamName(size_t index)
{
    return L"@p" + std::to_wstring(index);
}

void ReportCommand(const SqlCommand& command)
{
    SetModuleError(command.ErrorText().empty() ? std::wstring(L"Invalid sql statement.")
                                               : command.ErrorText());
}

void ReportStatement(const SqlStatement* statement)
{
    if (!statement || statement->ErrorText().empty())
        SetModuleError(L"Invalid sql statement.");
    else
        SetModuleError(statement->ErrorText());
}

// Runs a statement that returns no rows; reports and returns false on failure.
bool RunCommand(SqlCommand& command)
{
    if (command.Prepare() && command.Step())
        return true;
    ReportCommand(command);
    return false;
}

// The current UTC time as a FILETIME (100 ns since 1601-01-01).
int64_t NowFileTime()
{
    plat::FileTime now = 0;
    if (!plat::SystemTimeToFileTime(plat::UtcNow(), now))
        return 0;
    return static_cast<int64_t>(now);
}

// Escapes the LIKE wildcards and the escape character itself.
std::wstring LikeContains(const wchar_t* text)
{
    std::wstring pattern = L"%";
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == L'%' || *p == L'_' || *p == L'\\')
            pattern += L'\\';
        pattern += *p;
    }
    pattern += L'%';
    return pattern;
}

} // namespace

std::vector<DataField*> DataContainer::StoredFields() const
{
    StoredList& list = storedList_;
    bool same = list.fields.size() == fields_.size();
    for (size_t i = 0; same && i < fields_.size(); ++i)
        same = list.fields[i] == fields_[i].get() && list.names[i] == fields_[i]->GetName();
    if (same)
        return list.stored;
    list.fields.clear();
    list.names.clear();
    list.stored.clear();
    ++list.version;
    for (const auto& field : fields_) {
        list.fields.push_back(field.get());
        list.names.push_back(field->GetName());
        bool skip = false;
        for (const wchar_t* fixed : kFixedColumns)
            skip = skip || bill::EqualsNoCase(field->GetName(), fixed);
        for (DataField* earlier : list.stored)
            skip = skip || bill::EqualsNoCase(field->GetName(), earlier->GetName());
        if (!skip)
            list.stored.push_back(field.get());
    }
    return list.stored;
}

int DataContainer::PrepareTable(SqlConnection* connection, const wchar_t* pageId)
{
    connection_ = connection;
    prefix_ = pageId ? pageId : L"";
    const std::wstring table = GetTableName();
    const std::vector<DataField*> stored = StoredFields();

    SqlCommand command(connection);
    command.SetSql(
        L"SELECT DISTINCT name from sqlite_master where sql not NULL and type = 'table' and name = @tabname");
    command.AddText(L"@tabname", table.c_str());
    if (!command.Prepare() || !command.Step()) {
        ReportCommand(command);
        return 0;
    }
    const bool exists = command.HasRow() && command.Statement()->ColumnText(0) == table;

    if (exists) {
        // A save reports the row's rowid as the bill's id. Only where id is the table's
        // INTEGER PRIMARY KEY is that the id the bill reads back by: otherwise every
        // new bill would be stored with a NULL id that nothing finds again.
        command.SetSql(kIdIsRowKey);
        command.AddText(L"@tabname", table.c_str());
        if (!command.Prepare() || !command.Step()) {
            ReportCommand(command);
            return 0;
        }
        if (!command.HasRow() || command.Statement()->ColumnInt(0) != 1) {
            SetModuleError(L"票据表“" + table +
                           L"”的列“id”不是它的行号（INTEGER PRIMARY KEY），存入的票据无法按号读回。");
            return 0;
        }
        command.SetSql(L"select name from pragma_table_info(@tabname)");
        command.AddText(L"@tabname", table.c_str());
        SqlStatementRef reader;
        if (!command.ExecuteReader(reader)) {
            ReportCommand(command);
            return 0;
        }
        std::vector<std::wstring> columns;
        int step = 0;
        while ((step = reader->Next()) == 1)
            columns.push_back(reader->ColumnText(0));
        if (step != 2) {
            ReportStatement(reader.get());
            return 0;
        }
        for (DataField* field : stored) {
            bool present = false;
            for (const std::wstring& column : columns)
                present = present || bill::EqualsNoCase(column, field->GetName());
            if (present)
                continue;
            command.SetSql(
                (L"alter table " + QuoteName(table) + L" add " + QuoteName(field->GetName()) + L" text")
                    .c_str());
            if (!RunCommand(command))
                return 0;
        }
        return IndexParentIds(command) ? 1 : 0;
    }

    std::wstring sql =
        L"create table " + QuoteName(table) +
        L" ( id integer primary key autoincrement not null, parentId integer,createtime integer,row "
        L"integer";
    for (DataField* field : stored)
        sql += L"," + QuoteName(field->GetName()) + L" text";
    sql += L" )";
    command.SetSql(sql.c_str());
    if (!RunCommand(command))
        return 0;
    return IndexParentIds(command) ? 1 : 0;
}

bool DataContainer::IndexParentIds(SqlCommand& command)
{
    // The lines of one bill are found by their parentId when a bill is loaded
    // or deleted: without an index each of those reads the whole table.
    if (GetPage() == this)
        return true;
    const std::wstring table = GetTableName();
    command.SetSql((L"create index if not exists " + QuoteName(table + L"_parentId") + L" on " +
                    QuoteName(table) + L" (parentId)")
                       .c_str());
    return RunCommand(command);
}

int DataContainer::SaveRows(int64_t parentId)
{
    const std::wstring table = QuoteName(GetTableName());
    const std::vector<DataField*> stored = StoredFields();
    std::wstring insert = L"insert into " + table + L" ( parentId ,createtime,row";
    std::wstring values = L") values ( @parentId,@createtime,@row";
    std::wstring update = L"update " + table + L" set row = @row";
    for (size_t i = 0; i < stored.size(); ++i) {
        insert += L", " + QuoteName(stored[i]->GetName());
        values += L", " + ParamName(i);
        update += L", " + QuoteName(stored[i]->GetName()) + L" = " + ParamName(i);
    }
    insert += values + L" )";
    update += L" where id = @id";

    const int64_t now = NowFileTime();
    Statements& statements = TableStatements();
    for (const auto& row : rows_) {
        const bool isNew = row->GetRecordId() == -1;
        SqlCommand& command = isNew ? statements.insert : statements.update;
        command.SetSql(isNew ? insert.c_str() : update.c_str());
        if (isNew) {
            command.AddInt64(L"@parentId", parentId);
            command.AddInt64(L"@createtime", now);
        }
        command.AddInt(L"@row", row->GetIndex());
        for (size_t i = 0; i < stored.size(); ++i) {
            DataCell* cell = row->GetCell(stored[i]->GetColumn());
            // A cell without a value stays unbound: the column is NULL.
            if (cell && cell->HasValue())
                command.AddText(ParamName(i).c_str(), cell->DefaultValueText().c_str());
        }
        if (!isNew)
            command.AddInt64(L"@id", row->GetRecordId());
        if (!RunCommand(command))
            return 0;
        if (isNew)
            row->SetRecordId(connection_ ? connection_->LastInsertRowId() : -1);
    }
    return 1;
}

int DataContainer::LoadRows(const std::wstring& where, const wchar_t* parameter, int64_t value)
{
    // The old values go without a word to the fields' observers: each loaded cell
    // tells them once, with its new value, and every other cell once the load is over
    // (also when it fails). Telling them of the emptying too made every control of the
    // page refresh and repaint each of its fields twice a bill.
    std::vector<std::vector<char>> loaded(rows_.size());
    for (size_t r = 0; r < rows_.size(); ++r) {
        rows_[r]->ClearQuietly();
        rows_[r]->SetRecordId(-1);
        loaded[r].assign(rows_[r]->CellCount(), 0);
    }
    struct TellTheRest {
        const std::vector<std::unique_ptr<DataRow>>& rows;
        const std::vector<std::vector<char>>& loaded;
        ~TellTheRest()
        {
            for (size_t r = 0; r < rows.size() && r < loaded.size(); ++r) {
                for (size_t c = 0; c < loaded[r].size(); ++c) {
                    if (loaded[r][c])
                        continue;
                    DataCell* cell = rows[r]->GetCell(static_cast<int32_t>(c));
                    if (DataField* field = cell ? cell->GetField() : nullptr)
                        field->NotifyObservers(rows[r]->GetIndex());
                }
            }
        }
    } tellTheRest{rows_, loaded};
    const std::vector<DataField*> stored = StoredFields();
    std::wstring from = QuoteName(GetTableName()) + where;
    if (loadText_.version != storedList_.version || loadText_.from != from) {
        std::wstring sql = L"select id ,parentId,createtime,row";
        for (DataField* field : stored)
            sql += L", " + QuoteName(field->GetName());
        sql += L" from " + from;
        loadText_ = {storedList_.version, std::move(from), std::move(sql)};
    }

    SqlCommand& command = TableStatements().load;
    command.SetSql(loadText_.sql.c_str());
    if (parameter)
        command.AddInt64(parameter, value);
    SqlStatementRef reader;
    if (!command.ExecuteReader(reader)) {
        ReportCommand(command);
        return 0;
    }
    int step = 0;
    while ((step = reader->Next()) == 1) {
        const int32_t index = reader->ColumnInt(3);
        DataRow* row = GetRow(index);
        if (!row)
            continue;
        for (size_t i = 0; i < stored.size(); ++i) {
            const int32_t column = stored[i]->GetColumn();
            if (DataCell* cell = row->GetCell(column)) {
                const std::wstring text = reader->ColumnText(static_cast<int>(4 + i));
                // A refused value leaves the cell empty and untold: it is told with the rest.
                const bool told = cell->SetText(text.c_str(), nullptr) != 0 || text.empty();
                loaded[static_cast<size_t>(index)][static_cast<size_t>(column)] = told ? 1 : 0;
            }
        }
        row->SetRecordId(reader->ColumnInt64(0));
    }
    if (step != 2) {
        ReportStatement(reader.get());
        return 0;
    }
    return 1;
}

int DataContainer::LoadMainRow(int64_t id)
{
    if (id > 0)
        return LoadRows(L" where id = @id", L"@id", id);
    return LoadRows(L" order by id desc limit 1", nullptr, 0);
}

int DataContainer::LoadChildRows(int64_t parentId)
{
    // Only the rows of one stored bill belong here: without one, the table
    // stays empty.
    if (parentId <= 0) {
        ClearValues();
        return 1;
    }
    return LoadRows(L" where parentId = @parentId", L"@parentId", parentId);
}

int DataContainer::DeleteMainRow(int64_t id)
{
    SqlCommand& command = TableStatements().remove;
    command.SetSql((L"delete from " + QuoteName(GetTableName()) + L" where id = @id").c_str());
    command.AddInt64(L"@id", id);
    return RunCommand(command) ? 1 : 0;
}

int DataContainer::DeleteChildRows(int64_t parentId)
{
    SqlCommand& command = TableStatements().remove;
    command.SetSql((L"delete from " + QuoteName(GetTableName()) + L" where parentId = @parentId").c_str());
    command.AddInt64(L"@parentId", parentId);
    return RunCommand(command) ? 1 : 0;
}

int DataField::QueryInputHistory(const wchar_t* text, SqlCommand& command)
{
    if (!container_ || !container_->GetConnection())
        return 0;
    const std::vector<DataField*> stored = container_->StoredFields();
    if (std::find(stored.begin(), stored.end(), this) == stored.end())
        return 0;
    const std::wstring f = QuoteName(name_);
    const std::wstring t = QuoteName(container_->GetTableName());
    command.SetConnection(container_->GetConnection());
    if (text) {
        command.SetSql((L"select DISTINCT " + f + L" from " + t + L" where " + f +
                        L" like @pattern escape '\\' order by id desc")
                           .c_str());
        command.AddText(L"@pattern", LikeContains(text).c_str());
    } else {
        command.SetSql((L"select DISTINCT " + f + L" from " + t + L" where " + f + L" <> '' and " + f +
                        L" not null  order by id desc")
                           .c_str());
    }
    return 1;
}

// Page level.

int DataPage::PrepareTables(SqlConnection* connection, const wchar_t* pageId)
{
    std::vector<DataContainer*> containers = AllContainers();
    for (DataContainer* container : containers)
        container->DropConnection();
    if (!connection)
        return 1;
    bool prepared = true;
    {
        SqlTransaction transaction(connection);
        if (!transaction.Active()) {
            SetModuleError(transaction.ErrorText());
            prepared = false;
        }
        for (size_t i = 0; prepared && i < containers.size(); ++i)
            prepared = containers[i]->PrepareTable(connection, pageId) != 0;
        if (prepared && !transaction.Commit()) {
            SetModuleError(transaction.ErrorText().empty() ? std::wstring(L"Invalid sql statement.")
                                                           : transaction.ErrorText());
            prepared = false;
        }
    }
    if (!prepared) {
        for (DataContainer* container : containers)
            container->DropConnection();
        return 0;
    }
    return 1;
}

int DataPage::SaveInTransaction(bool asNew)
{
    // The ids the rows had before this attempt: after a rollback the rows must
    // not keep ids that the database will hand out again.
    std::vector<std::pair<DataRow*, int64_t>> before;
    for (DataContainer* container : AllContainers()) {
        for (const auto& row : container->Rows())
            before.emplace_back(row.get(), row->GetRecordId());
    }
    if (asNew)
        ForgetAllRowIds();
    bool saved = false;
    {
        SqlTransaction transaction(GetConnection());
        saved = transaction.Active();
        if (!saved)
            SetModuleError(transaction.ErrorText());
        saved = saved && SaveRows(0) != 0;
        const int64_t parentId = Rows().empty() ? 0 : GetRecordId(0);
        for (size_t i = 0; saved && i < tables_.size(); ++i)
            saved = tables_[i]->SaveRows(parentId) != 0;
        if (saved && !transaction.Commit()) {
            SetModuleError(transaction.ErrorText().empty() ? std::wstring(L"Invalid sql statement.")
                                                           : transaction.ErrorText());
            saved = false;
        }
    }
    if (!saved) {
        for (const auto& [row, id] : before)
            row->SetRecordId(id);
        return 0;
    }
    modified_ = 0;
    return 1;
}

int DataPage::SaveRecord()
{
    if (!GetConnection())
        return 1;
    if (!modified_) {
        // Nothing changed: no error text, so callers can tell this from a failure.
        ClearModuleError();
        return 0;
    }
    if (!HasAnyValue())
        return 1;
    return SaveInTransaction(false);
}

int DataPage::SaveRecordAsNew()
{
    if (!GetConnection() || !HasAnyValue())
        return 1;
    return SaveInTransaction(true);
}

int DataPage::LoadRecord(int64_t id)
{
    if (!GetConnection())
        return 1;
    if (!LoadMainRow(id))
        return 0;
    // The child rows of the bill that was loaded, also when the newest bill was
    // asked for.
    const int64_t parentId = id > 0 ? id : (Rows().empty() ? 0 : GetRecordId(0));
    for (DataTable* table : tables_) {
        if (!table->LoadChildRows(parentId))
            return 0;
    }
    modified_ = 0;
    return 1;
}

int DataPage::DeleteRecord(int64_t id)
{
    if (!GetConnection())
        return 1;
    const int64_t current = Rows().empty() ? 0 : GetRecordId(0);
    {
        SqlTransaction transaction(GetConnection());
        if (!transaction.Active()) {
            SetModuleError(transaction.ErrorText());
            return 0;
        }
        if (!DeleteMainRow(id))
            return 0;
        for (DataTable* table : tables_) {
            if (!table->DeleteChildRows(id))
                return 0;
        }
        if (!transaction.Commit()) {
            SetModuleError(transaction.ErrorText());
            return 0;
        }
    }
    // The page showed the deleted bill: it becomes an empty new bill.
    if (current == id)
        ClearAllValues();
    return 1;
}

int DataPage::QueryRecords(IDoxDataQuerySink* sink, const DataQuery* query)
{
    if (!sink)
        return 1;
    std::wstring sql = L"select ";
    for (DataField* field : StoredFields())
        sql += QuoteName(field->GetName()) + L", ";
    sql += L"id from " + QuoteName(GetTableName());
    SqlCommand command(GetConnection());
    const uint32_t mode = query ? query->mode : 1;
    if (mode == 2) {
        sql += L" order by id desc limit 1";
    } else if (mode == 3) {
        sql += L" where id = @id";
        command.SetSql(sql.c_str());
        command.AddInt64(L"@id", query->recordId);
    } else if (mode == 4) {
        // The condition is an SQL expression the program builds over the columns.
        sql += L" where ";
        sql += query->condition ? query->condition : L"";
    }
    if (mode != 3)
        command.SetSql(sql.c_str());

    SqlStatementRef reader;
    if (!command.ExecuteReader(reader)) {
        ReportCommand(command);
        return 0;
    }
    const int32_t count = reader->ColumnCount() - 1;
    DoxColumnReader columns(reader.get(), count);
    sink->OnColumns(&columns);
    int step = 0;
    DoxRecordReader record(reader.get(), 0, count);
    while ((step = reader->Next()) == 1) {
        record.SetId(reader->ColumnInt64(count));
        if (!sink->OnRecord(&record))
            return 0;
    }
    if (step != 2) {
        ReportStatement(reader.get());
        return 0;
    }
    return 1;
}

const wchar_t* DoxColumnReader::GetName(int32_t index)
{
    text_ = (index >= 0 && index < count_) ? statement_->ColumnName(index) : std::wstring();
    return text_.c_str();
}

const wchar_t* DoxRecordReader::GetText(int32_t index)
{
    if (index >= 0 && index < count_)
        statement_->ColumnText(index, text_);
    else
        text_.clear();
    return text_.c_str();
}

const char* DoxRecordReader::GetUtf8(int32_t index, int32_t* bytes)
{
    if (index >= 0 && index < count_)
        statement_->ColumnUtf8(index, utf8_);
    else
        utf8_.clear();
    if (bytes)
        *bytes = static_cast<int32_t>(utf8_.size());
    return utf8_.c_str();
}
