#pragma once
// The database the printing program wrote, read through a connection of the test's
// own: what was stored, not what the program shows.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace runnertest
{

class Db
{
public:
    explicit Db(const std::filesystem::path& path)
    {
        sqlite3_open_v2(path.string().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    std::vector<std::vector<std::string>> Rows(const std::string& sql) const
    {
        std::vector<std::vector<std::string>> rows;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return rows;
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const unsigned char* text = sqlite3_column_text(statement, c);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return rows;
    }

    // The table that has all the columns and holds rows.
    std::string TableWith(const std::vector<std::string>& columns) const
    {
        for (const auto& table : Rows("select name from sqlite_master where type = 'table'")) {
            std::set<std::string> has;
            for (const auto& column : Rows("pragma table_info(\"" + table[0] + "\")"))
                has.insert(column[1]);
            bool all = true;
            for (const std::string& column : columns)
                all = all && has.count(column);
            if (all && Rows("select count(*) from \"" + table[0] + "\"")[0][0] != "0")
                return table[0];
        }
        return {};
    }

private:
    sqlite3* db_ = nullptr;
};

} // namespace runnertest
