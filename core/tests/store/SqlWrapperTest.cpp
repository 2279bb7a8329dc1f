// The pooled SQLite wrapper: sharing of connections, statements, parameters,
// errors, transactions and the shut-down of the pool.

#include "SqlCommand.h"
#include "SqlConnection.h"
#include "SqlTransaction.h"
#include "StoreTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <thread>

using namespace storetest;
using doxtest::TempDir;

namespace
{

bool Exec(SqlConnection& c, const wchar_t* sql)
{
    SqlCommand command(&c, sql);
    return command.Prepare() && command.Step();
}

int64_t CountRows(SqlConnection& c, const wchar_t* table)
{
    SqlCommand command(&c, (std::wstring(L"select count(*) from ") + table).c_str());
    EXPECT_EQ(command.Prepare(), 1);
    EXPECT_EQ(command.Step(), 1);
    return command.Statement()->ColumnInt64(0);
}

} // namespace

TEST(StoreSql, ConnectionsAreSharedByCanonicalPath)
{
    PoolScope scope;
    TempDir dir;
    SqlConnectionPool* pool = SqlConnectionPool::Get();
    SqlConnection a, b, c, d;
    ASSERT_EQ(a.Open(Path(dir, "db.sqlite").c_str()), 1);
    std::filesystem::create_directory(dir / "sub");
    ASSERT_EQ(b.Open(Path(dir, "sub/../db.sqlite").c_str()), 1);
    ASSERT_EQ(c.Open(Path(dir, "DB.sqlite").c_str()), 1); // another file on Linux
    EXPECT_EQ(a.Entry(), b.Entry());
    EXPECT_EQ(a.Entry()->RefCount(), 2);
    EXPECT_NE(a.Entry(), c.Entry());
    EXPECT_EQ(pool->ConnectionCount(), 2);
    EXPECT_TRUE(a.IsPath(Path(dir, "./db.sqlite").c_str()));
    EXPECT_FALSE(a.IsPath(Path(dir, "DB.sqlite").c_str()));
    EXPECT_EQ(d.Open(L""), 0);
    EXPECT_EQ(d.Open(nullptr), 0);

    ASSERT_TRUE(Exec(a, L"create table t(x)"));
    b.Close(); // a still holds it: the database stays open
    EXPECT_EQ(a.Entry()->RefCount(), 1);
    EXPECT_TRUE(Exec(a, L"insert into t values(1)"));
    c.Close();
    EXPECT_EQ(pool->ConnectionCount(), 1);
}

TEST(StoreSql, NewDatabasesKeepTextInUtf16)
{
    PoolScope scope;
    TempDir dir;
    SqlConnection c;
    ASSERT_EQ(c.Open(Path(dir, "enc.db").c_str()), 1);
    ASSERT_TRUE(Exec(c, L"create table t(x)"));
    SqlCommand pragma(&c, L"PRAGMA encoding");
    ASSERT_EQ(pragma.Prepare(), 1);
    ASSERT_EQ(pragma.Step(), 1);
    EXPECT_EQ(pragma.Statement()->ColumnText(0), L"UTF-16le");
}

TEST(StoreSql, ParametersBindByName)
{
    PoolScope scope;
    TempDir dir;
    SqlConnection c;
    ASSERT_EQ(c.Open(Path(dir, "p.db").c_str()), 1);
    ASSERT_TRUE(Exec(c, L"create table t(i integer, s text, b blob)"));
    struct Case {
        const char* what;
        int32_t asInt;
        int64_t expected;
    } cases[] = {{"minus one", -1, -1},
                 {"all bits", static_cast<int32_t>(0xFFFFFFFFu), -1},
                 {"highest bit", static_cast<int32_t>(0x80000000u), -2147483648LL},
                 {"positive", 7, 7}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SqlCommand insert(&c, L"insert into t(i,s,b) values(@i,@s,@b)");
        insert.AddInt(L"@i", k.asInt);
        insert.AddText(L"@s", L"票据 'quoted'");
        insert.AddBlob(L"@b", "\x00\x01", 2);
        ASSERT_EQ(insert.Prepare(), 1);
        ASSERT_EQ(insert.Step(), 1);
        SqlCommand read(&c, L"select i, s, b from t where rowid = @r");
        read.AddInt64(L"@r", c.LastInsertRowId());
        SqlStatementRef rows;
        ASSERT_NE(read.ExecuteReader(rows), nullptr);
        ASSERT_EQ(rows->Next(), 1);
        EXPECT_EQ(rows->ColumnInt64(0), k.expected);
        EXPECT_EQ(rows->ColumnText(1), L"票据 'quoted'");
        ASSERT_EQ(rows->ColumnBytes(2), 2);
        EXPECT_EQ(std::string(static_cast<const char*>(rows->ColumnBlob(2)), 2), std::string("\x00\x01", 2));
        EXPECT_EQ(rows->Next(), 2); // past the last row: done, not an error
    }
    // Null texts and blobs bind SQL null.
    SqlCommand nulls(&c, L"insert into t(i,s,b) values(0,@s,@b)");
    nulls.AddText(L"@s", nullptr);
    nulls.AddBlob(L"@b", "", 0);
    ASSERT_EQ(nulls.Prepare(), 1);
    ASSERT_EQ(nulls.Step(), 1);
    SqlCommand check(&c, L"select count(*) from t where s is null and b is null");
    ASSERT_EQ(check.Prepare(), 1);
    ASSERT_EQ(check.Step(), 1);
    EXPECT_EQ(check.Statement()->ColumnInt(0), 1);
}

TEST(StoreSql, ErrorsAreTexts)
{
    PoolScope scope;
    TempDir dir;
    SqlConnection c;
    ASSERT_EQ(c.Open(Path(dir, "e.db").c_str()), 1);
    SqlConnection closed;
    struct Case {
        const char* what;
        SqlConnection* connection;
        const wchar_t* sql;
        const wchar_t* param; // a text parameter to add, or null
        std::wstring error;
    } cases[] = {
        {"no connection", nullptr, L"select 1", nullptr, L"Invalid sqlite connection."},
        {"connection not open", &closed, L"select 1", nullptr, L"Memory out."},
        {"empty text", &c, L"", nullptr, L"SQL statement is null."},
        {"only blanks", &c, L"   ", nullptr, L"SQL statement is null."},
        {"only empty statements", &c, L" ; ;", nullptr, L"SQL statement is null."},
        {"unknown parameter", &c, L"select @a", L"@b", L"no parameter with the given name is found."},
        {"bad SQL", &c, L"selec 1", nullptr, L"near \"selec\": syntax error"},
        {"missing table", &c, L"select * from nowhere", nullptr, L"no such table: nowhere"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SqlCommand command(k.connection, k.sql);
        if (k.param)
            command.AddText(k.param, L"v");
        EXPECT_EQ(command.Prepare(), 0);
        EXPECT_EQ(command.ErrorText(), k.error);
        EXPECT_TRUE(!command.Statement() || !command.Statement()->Handle());
    }
    // Empty statements before a real one are skipped.
    SqlCommand skip(&c, L" ; select 42");
    ASSERT_EQ(skip.Prepare(), 1);
    ASSERT_EQ(skip.Step(), 1);
    EXPECT_TRUE(skip.HasRow());
    EXPECT_EQ(skip.Statement()->ColumnInt(0), 42);

    // A failed step finalizes the statement and copies SQLite's message.
    ASSERT_TRUE(Exec(c, L"create table u(x unique)"));
    ASSERT_TRUE(Exec(c, L"insert into u values(1)"));
    SqlCommand dup(&c, L"insert into u values(1)");
    ASSERT_EQ(dup.Prepare(), 1);
    EXPECT_EQ(dup.Step(), 0);
    EXPECT_EQ(dup.ErrorText(), L"UNIQUE constraint failed: u.x");
    EXPECT_EQ(dup.Statement()->Handle(), nullptr);
    EXPECT_EQ(dup.Step(), 0);
    // The same command runs another statement after SetSql.
    dup.SetSql(L"select count(*) from u");
    ASSERT_EQ(dup.Prepare(), 1);
    ASSERT_EQ(dup.Step(), 1);
    EXPECT_EQ(dup.Statement()->ColumnInt(0), 1);
}

TEST(StoreSql, TransactionScopes)
{
    PoolScope scope;
    TempDir dir;
    SqlConnection c;
    ASSERT_EQ(c.Open(Path(dir, "t.db").c_str()), 1);
    ASSERT_TRUE(Exec(c, L"create table t(x)"));
    {
        SqlTransaction t(&c);
        ASSERT_TRUE(Exec(c, L"insert into t values(1)"));
        EXPECT_TRUE(t.Commit());
    } // the closing rollback after a commit changes nothing
    EXPECT_EQ(CountRows(c, L"t"), 1);
    {
        SqlTransaction t(&c);
        ASSERT_TRUE(Exec(c, L"insert into t values(2)"));
    } // left without a commit: rolled back
    EXPECT_EQ(CountRows(c, L"t"), 1);
    // Another user of the same file shares the transaction.
    SqlConnection other;
    ASSERT_EQ(other.Open(Path(dir, "t.db").c_str()), 1);
    {
        SqlTransaction t(&c);
        ASSERT_TRUE(Exec(other, L"insert into t values(3)"));
        t.Rollback();
    }
    EXPECT_EQ(CountRows(c, L"t"), 1);
    // A commit with no transaction open is reported, not taken for success.
    SqlTransaction late(&c);
    late.Rollback();
    EXPECT_FALSE(late.Commit());
    EXPECT_EQ(late.ErrorText(), L"cannot commit - no transaction is active");
}

TEST(StoreSql, ShutdownWithHoldersLeftIsSafe)
{
    TempDir dir;
    SqlConnectionPool::Init();
    auto* c = new SqlConnection;
    ASSERT_EQ(c->Open(Path(dir, "s.db").c_str()), 1);
    auto* command = new SqlCommand(c, L"select 1");
    ASSERT_EQ(command->Prepare(), 1);
    SqlStatementRef reader;
    ASSERT_NE(command->ExecuteReader(reader), nullptr);
    EXPECT_EQ(SqlConnectionPool::Get()->StatementCount(), 1);
    SqlConnectionPool::Shutdown();
    EXPECT_FALSE(SqlConnectionPool::IsInitialised());
    // The holders outlive the pool: their entries have no database any more.
    EXPECT_EQ(c->Handle(), nullptr);
    EXPECT_EQ(reader->Next(), 0);
    EXPECT_EQ(command->Prepare(), 0);
    delete command;
    reader.Reset();
    delete c;

    // The pool can be prepared again and works as before.
    SqlConnectionPool::Init();
    SqlConnection again;
    EXPECT_EQ(again.Open(Path(dir, "s.db").c_str()), 1);
    EXPECT_TRUE(Exec(again, L"select 1"));
    again.Close();
    SqlConnectionPool::Shutdown();
    SqlConnection none;
    EXPECT_EQ(none.Open(Path(dir, "s.db").c_str()), 0); // no pool: no connection
}

TEST(StoreSqlDeathTest, AConnectionUsedByAThreadThatDidNotOpenItStops)
{
#ifdef NDEBUG
    GTEST_SKIP() << "the thread is checked in debug builds";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PoolScope scope;
    TempDir dir;
    SqlConnection c;
    ASSERT_EQ(c.Open(Path(dir, "owner.db").c_str()), 1);
    ASSERT_TRUE(Exec(c, L"create table t(x)"));
    SqlCommand read(&c, L"select count(*) from t");
    ASSERT_EQ(read.Prepare(), 1);
    // The connection, a command on it and a statement prepared on it, each used from
    // another thread.
    const std::function<void()> uses[] = {
        [&] { Exec(c, L"insert into t values(1)"); },
        [&] { read.Step(); },
        [&] { read.Statement()->ColumnInt64(0); },
    };
    for (const auto& use : uses)
        EXPECT_DEATH(std::thread(use).join(), "did not open it");
    // The thread that opened it goes on using it.
    EXPECT_TRUE(Exec(c, L"insert into t values(2)"));
    EXPECT_EQ(CountRows(c, L"t"), 1);
#endif
}
