// The database store: the exact table, rows as the sqlite3 tool sees them,
// damaged rows, and saves that fail half-way without losing anything.

#include "DocConnection.h"
#include "DocElement.h"
#include "DocTemplate.h"
#include "SqlCommand.h"
#include "StoreTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace storetest;
using doxtest::TempDir;

namespace
{

// Output of the sqlite3 command-line tool on a database file.
std::string Sqlite3(const std::filesystem::path& db, const std::string& sql)
{
    std::string command = "sqlite3 '" + db.string() + "' \"" + sql + "\" 2>&1";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

bool Exec(DocConnection& store, const wchar_t* sql)
{
    SqlCommand command(store.Connection(), sql);
    return command.Prepare() && command.Step();
}

} // namespace

TEST(StoreDatabase, RowsAsTheToolSeesThem)
{
    PoolScope scope;
    TempDir dir;
    {
        DocConnection store;
        ASSERT_EQ(store.Open(Path(dir, "doxcore.db").c_str(), kDocOpenCreate), 1);
        EXPECT_EQ(store.ElementCount(), 0);
        ASSERT_EQ(store.GetElement(L"doc_dxtemplate")->SetData("<x/>", 4), 1);
        ASSERT_EQ(store.GetElement(L"crc_all_ones")->SetData("\xff\xff\xff\xff", 4), 1);
        ASSERT_EQ(store.GetElement(L"empty")->SetData(nullptr, 0), 1);
        ASSERT_EQ(store.Save(), 1);
    }
    std::filesystem::path db = dir / "doxcore.db";
    EXPECT_EQ(Sqlite3(db, ".schema doxdoctbl"),
              "CREATE TABLE doxdoctbl (id integer primary key autoincrement,docid text,docsize integer,"
              "doccrc32 integer,docdata blob);\n");
    // The element of size 0 gets no row; CRC 0xFFFFFFFF is stored as -1.
    char crc[16];
    std::snprintf(crc, sizeof crc, "%d", static_cast<int32_t>(DocCrc32("<x/>", 4)));
    EXPECT_EQ(Sqlite3(db, "select id,docid,docsize,doccrc32,hex(docdata) from doxdoctbl order by id"),
              "1|doc_dxtemplate|4|" + std::string(crc) + "|3C782F3E\n2|crc_all_ones|4|-1|FFFFFFFF\n");
    EXPECT_EQ(Sqlite3(db, "pragma encoding"), "UTF-16le\n");

    DocConnection again;
    ASSERT_EQ(again.Open(Path(dir, "doxcore.db").c_str(), kDocOpenReadWrite), 1);
    EXPECT_EQ(again.ElementCount(), 2);
    EXPECT_EQ(again.HasElement(L"empty"), 0);
    EXPECT_EQ(Bytes(again.GetElement(L"crc_all_ones")), "\xff\xff\xff\xff");
    EXPECT_EQ(Bytes(again.GetElement(L"doc_dxtemplate")), "<x/>");
    EXPECT_EQ(again.GetElement(L"doc_dxtemplate")->Location(), 1u);
}

TEST(StoreDatabase, OpeningMakesTheTableAndModeTwoEmpties)
{
    PoolScope scope;
    TempDir dir;
    std::filesystem::path db = dir / "old.db";
    Sqlite3(db, "create table other(x); insert into other values(1)");
    {
        DocConnection store;
        ASSERT_EQ(store.Open(Path(dir, "old.db").c_str(), kDocOpenReadWrite), 1);
        EXPECT_EQ(store.ElementCount(), 0);
        EXPECT_FALSE(store.IsReadOnly());
        store.GetElement(L"e")->SetData("x", 1);
        ASSERT_EQ(store.Save(), 1);
    }
    EXPECT_EQ(Sqlite3(db, "select count(*) from other; select count(*) from doxdoctbl"), "1\n1\n");
    {
        DocConnection store;
        ASSERT_EQ(store.Open(Path(dir, "old.db").c_str(), kDocOpenCreate), 1);
        EXPECT_EQ(store.ElementCount(), 0);
    }
    EXPECT_EQ(Sqlite3(db, "select name from sqlite_master"), "doxdoctbl\nsqlite_sequence\n");

    DocConnection store;
    EXPECT_EQ(store.Open(L"", kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"文件名不能为空");
    EXPECT_EQ(store.Open(Path(dir, "no/such/folder.db").c_str(), kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"连接数据库失败。");
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"无效的数据库连接。");

    // A file that is no database: SQLite's own message.
    ASSERT_TRUE(doxtest::WriteFileBytes(dir / "text.db", std::string(4096, 'x')));
    EXPECT_EQ(store.Open(Path(dir, "text.db").c_str(), kDocOpenReadWrite), 0);
    EXPECT_EQ(LastError(), L"file is not a database");
    EXPECT_EQ(doxtest::ReadFileBytes(dir / "text.db"), std::string(4096, 'x'));
}

TEST(StoreDatabase, DamagedRows)
{
    PoolScope scope;
    TempDir dir;
    std::filesystem::path db = dir / "d.db";
    {
        DocConnection store;
        ASSERT_EQ(store.Open(Path(dir, "d.db").c_str(), kDocOpenCreate), 1);
        store.GetElement(L"a")->SetData("abcd", 4);
        store.GetElement(L"b")->SetData("efgh", 4);
        ASSERT_EQ(store.Save(), 1);
    }
    Sqlite3(db, "update doxdoctbl set docdata = x'61626364FF' where docid = 'a';"
                "update doxdoctbl set docdata = x'45666768' where docid = 'b'");
    {
        DocConnection store;
        ASSERT_EQ(store.Open(Path(dir, "d.db").c_str(), kDocOpenRead), 1);
        EXPECT_EQ(store.GetElement(L"a")->GetData(), nullptr);
        EXPECT_EQ(LastError(), L"文档元素Size错误。");
        EXPECT_EQ(store.GetElement(L"b")->GetData(), nullptr);
        EXPECT_EQ(LastError(), L"文档元素校验错误。");
        EXPECT_EQ(store.LoadAll(), 0);
    }
    Sqlite3(db, "insert into doxdoctbl(docid,docsize,doccrc32,docdata) values('A',0,0,null)");
    DocConnection store;
    EXPECT_EQ(store.Open(Path(dir, "d.db").c_str(), kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"无效的文档元素ID或者文档元素已经存在。[A]");
}

TEST(StoreDatabase, FailedSaveKeepsEveryElement)
{
    PoolScope scope;
    TempDir dir;
    DocConnection store;
    ASSERT_EQ(store.Open(Path(dir, "f.db").c_str(), kDocOpenCreate), 1);
    store.GetElement(L"first")->SetData("11", 2);
    store.GetElement(L"second")->SetData("22", 2);
    ASSERT_EQ(store.Save(), 1);
    const uint32_t firstRow = store.GetElement(L"first")->Location();
    const uint32_t secondRow = store.GetElement(L"second")->Location();
    store.GetElement(L"second")->SetData("changed", 7);
    store.GetElement(L"third")->SetData("33", 2);
    // The insert of "third" is refused half-way through the save.
    ASSERT_TRUE(Exec(store, L"create trigger refuse before insert on doxdoctbl when new.docid = 'third' "
                            L"begin select raise(abort, 'refused by test'); end"));
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"refused by test");
    // The rows were rolled back, and the elements still point at them.
    EXPECT_EQ(Sqlite3(dir / "f.db", "select id, docid from doxdoctbl order by id"),
              std::to_string(firstRow) + "|first\n" + std::to_string(secondRow) + "|second\n");
    DocElement* first = store.GetElement(L"first");
    EXPECT_EQ(first->Location(), firstRow);
    first->ReleaseData();
    EXPECT_EQ(Bytes(first), "11");
    EXPECT_EQ(Bytes(store.GetElement(L"second")), "changed");
    EXPECT_TRUE(store.GetElement(L"second")->IsDirty());

    ASSERT_TRUE(Exec(store, L"drop trigger refuse"));
    ASSERT_EQ(store.Save(), 1);
    store.Close();
    DocConnection again;
    ASSERT_EQ(again.Open(Path(dir, "f.db").c_str(), kDocOpenRead), 1);
    EXPECT_EQ(again.ElementCount(), 3);
    EXPECT_EQ(Bytes(again.GetElement(L"first")), "11");
    EXPECT_EQ(Bytes(again.GetElement(L"second")), "changed");
    EXPECT_EQ(Bytes(again.GetElement(L"third")), "33");
}

TEST(StoreDatabase, TemplateIntoDatabaseAndBack)
{
    PoolScope scope;
    TempDir dir;
    DocTemplate file;
    ASSERT_EQ(file.Open(Path(dir, "t.dxt").c_str(), kDocOpenCreate), 1);
    file.GetElement(L"doc_dxtemplate")->SetData("<t/>", 4);
    file.GetElement(L"bkpic")->SetData("PIC", 3);
    ASSERT_EQ(file.Save(), 1);

    DocConnection db;
    ASSERT_EQ(db.Open(Path(dir, "c.db").c_str(), kDocOpenCreate), 1);
    db.AttachAll(&file);
    ASSERT_EQ(db.SaveFrom(), 1);
    EXPECT_EQ(Sqlite3(dir / "c.db", "select docid, hex(docdata) from doxdoctbl order by id"),
              "doc_dxtemplate|3C742F3E\nbkpic|504943\n");

    // And from the database store into a new template file.
    DocConnection source;
    ASSERT_EQ(source.Open(Path(dir, "c.db").c_str(), kDocOpenRead), 1);
    DocTemplate out;
    ASSERT_EQ(out.Open(Path(dir, "out.dxt").c_str(), kDocOpenCreate), 1);
    out.AttachAll(&source);
    ASSERT_EQ(out.SaveFrom(), 1);
    out.Close();
    file.Close();
    EXPECT_EQ(doxtest::ReadFileBytes(dir / "out.dxt"), doxtest::ReadFileBytes(dir / "t.dxt"));
}
