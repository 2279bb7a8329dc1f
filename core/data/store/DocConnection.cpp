#include "DocConnection.h"
#include "ElementTransfer.h"

#include "CharBuffer.h"
#include "DocElement.h"
#include "ModuleError.h"
#include "SqlCommand.h"
#include "SqlTransaction.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace
{

const wchar_t kMsgNoName[] = L"文件名不能为空";
const wchar_t kMsgConnect[] = L"连接数据库失败。";
const wchar_t kMsgNoConnection[] = L"无效的数据库连接。";
const wchar_t kMsgElementCrc[] = L"文档元素校验错误。";
const wchar_t kMsgElementSize[] = L"文档元素Size错误。";

} // namespace

DocConnection::~DocConnection()
{
    connection_.Close();
    FreeElements();
    ForgetAttached();
}

int DocConnection::IsPath(const wchar_t* path)
{
    return connection_.IsPath(path) ? 1 : 0;
}

int DocConnection::Open(const wchar_t* path, int mode)
{
    if (!path || !*path) {
        SetModuleError(kMsgNoName);
        return 0;
    }
    connection_.Close();
    // The rows are listed anew; elements of an earlier database would clash with
    // them or point at rows of another file.
    FreeElements();
    ForgetAttached();
    if (mode == kDocOpenCreate) {
        std::string file = WideToUtf8(std::wstring(path));
        int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            SetModuleErrorFromSystem();
            return 0;
        }
        ::close(fd);
        // A journal left beside the old database would be played back into the
        // new, empty one.
        ::unlink((file + "-journal").c_str());
        ::unlink((file + "-wal").c_str());
        ::unlink((file + "-shm").c_str());
    }
    readOnly_ = 0;
    if (!connection_.Open(path)) {
        SetModuleError(kMsgConnect);
        return 0;
    }
    if (!EnsureTable())
        return 0;
    return ListElements();
}

int DocConnection::EnsureTable()
{
    SqlCommand query(&connection_,
                     L"SELECT DISTINCT name from sqlite_master where sql not NULL and type = 'table' "
                     L"and name = 'doxdoctbl'");
    if (!query.Prepare() || !query.Step()) {
        SetModuleError(query.ErrorText());
        return 0;
    }
    std::wstring name = query.HasRow() ? query.Statement()->ColumnText(0) : std::wstring();
    if (!name.empty())
        return 1;
    SqlTransaction transaction(&connection_);
    if (!transaction.Active()) {
        SetModuleError(transaction.ErrorText());
        return 0;
    }
    SqlCommand create(&connection_, L"create table doxdoctbl (id integer primary key autoincrement,docid "
                                    L"text,docsize integer,doccrc32 integer,docdata blob)");
    if (!create.Prepare() || !create.Step()) {
        SetModuleError(create.ErrorText());
        return 0;
    }
    if (!transaction.Commit()) {
        SetModuleError(kMsgConnect);
        return 0;
    }
    return 1;
}

int DocConnection::ListElements()
{
    SqlCommand command(&connection_, L"select id,docid,docsize,doccrc32 from doxdoctbl");
    SqlStatementRef rows;
    if (!command.ExecuteReader(rows)) {
        SetModuleError(command.ErrorText());
        return 0;
    }
    for (;;) {
        int step = rows->Next();
        if (step == 2)
            return 1;
        if (step == 0) {
            SetModuleError(rows->ErrorText());
            return 0;
        }
        std::wstring id = rows->ColumnText(1);
        DocElement* element = AddElement(id.c_str());
        if (!element)
            return 0;
        element->SetLocation(this, static_cast<uint32_t>(rows->ColumnInt(0)),
                             static_cast<uint32_t>(rows->ColumnInt(3)),
                             static_cast<uint32_t>(rows->ColumnInt(2)));
    }
}

int DocConnection::ReadElement(DocElement* element)
{
    if (!connection_.IsOpen()) {
        SetModuleError(kMsgNoConnection);
        return 0;
    }
    if (std::optional<int> settled = SettledBeforeTransfer(element))
        return *settled;
    uint32_t size = element->Size();
    SqlCommand command(&connection_, L"select docdata from doxdoctbl where id = @id");
    command.AddInt64(L"@id", element->LocationIn(this));
    const void* data = nullptr;
    int bytes = 0;
    if (!command.ExecuteBlob(&data, &bytes)) {
        SetModuleError(command.ErrorText());
        return 0;
    }
    // A missing row, a null blob or one of another length: the row does not hold
    // this element's bytes.
    if (!data || bytes < 0 || static_cast<uint32_t>(bytes) != size) {
        SetModuleError(kMsgElementSize);
        return 0;
    }
    std::memcpy(element->Buffer(), data, size);
    if (DocCrc32(element->Buffer(), size) != element->Crc()) {
        SetModuleError(kMsgElementCrc);
        return 0;
    }
    return 1;
}

int DocConnection::InsertRow(DocElement* element, Placed& placed)
{
    uint32_t size = element->Size();
    uint32_t crc = DocCrc32(element->Buffer(), size);
    SqlCommand command(&connection_, L"insert into doxdoctbl(docid,docsize,doccrc32,docdata) "
                                     L"values(@docid,@docsize,@doccrc32,@docdata)");
    command.AddText(L"@docid", element->GetId());
    command.AddInt(L"@docsize", static_cast<int32_t>(size));
    command.AddInt(L"@doccrc32", static_cast<int32_t>(crc));
    command.AddBlob(L"@docdata", element->Buffer(), size);
    if (!command.Prepare() || !command.Step()) {
        SetModuleError(command.ErrorText());
        return 0;
    }
    placed = {element, static_cast<uint32_t>(connection_.LastInsertRowId()), crc, size};
    return 1;
}

int DocConnection::WriteElement(DocElement* element)
{
    if (!connection_.IsOpen()) {
        SetModuleError(kMsgNoConnection);
        return 0;
    }
    if (std::optional<int> settled = SettledBeforeTransfer(element))
        return *settled;
    Placed placed{};
    if (!InsertRow(element, placed))
        return 0;
    element->SetLocation(this, placed.location, placed.crc, placed.size);
    return 1;
}

int DocConnection::WriteAll(const std::vector<DocElement*>& elements)
{
    if (!connection_.IsOpen()) {
        SetModuleError(kMsgNoConnection);
        return 0;
    }
    for (DocElement* element : elements) {
        if (!element->IsLoaded() && !element->LoadData())
            return 0;
    }
    std::vector<Placed> placed;
    placed.reserve(elements.size());
    {
        SqlTransaction transaction(&connection_);
        if (!transaction.Active()) {
            SetModuleError(transaction.ErrorText());
            return 0;
        }
        SqlCommand clear(&connection_, L"delete from doxdoctbl");
        if (!clear.Prepare() || !clear.Step()) {
            SetModuleError(clear.ErrorText());
            return 0;
        }
        for (DocElement* element : elements) {
            if (element->Size() == 0)
                continue; // an empty element gets no row
            if (!element->Buffer() || element->Capacity() < element->Size())
                return 0;
            Placed p{};
            if (!InsertRow(element, p))
                return 0;
            placed.push_back(p);
        }
        if (!transaction.Commit()) {
            SetModuleError(transaction.ErrorText());
            return 0;
        }
    }
    // Only now do the rows exist: until the commit the elements keep their old
    // rows (restored by the rollback) and their bytes.
    for (const Placed& p : placed)
        p.element->SetLocation(this, p.location, p.crc, p.size);
    return 1;
}

int DocConnection::Save()
{
    return WriteAll(Elements());
}

int DocConnection::SaveFrom()
{
    return WriteAll(AttachedElements());
}

int DocConnection::LoadAll()
{
    for (DocElement* element : Elements()) {
        if (!element->IsLoaded() && !element->LoadData())
            return 0;
    }
    return 1;
}

void DocConnection::Close()
{
    connection_.Close();
    FreeElements();
    ForgetAttached();
    readOnly_ = 0;
    modified_ = 0;
}
