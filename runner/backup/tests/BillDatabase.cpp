#include "BillDatabase.h"

#include <sqlite3.h>

namespace backuptest
{

std::string Bills(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        out = std::string("unreadable: ") + sqlite3_errmsg(db);
        sqlite3_close(db);
        return out;
    }
    for (const char* sql : {"PRAGMA integrity_check", "SELECT payee FROM bills ORDER BY id"}) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) out += std::string("error: ") + sqlite3_errmsg(db);
        while (statement && sqlite3_step(statement) == SQLITE_ROW)
            out += std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) + ";";
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return out;
}

std::string TemplateBytes(const std::string& body)
{
    return std::string("DOXDOT!\x01", 8) + std::string(12, '\0') + body;
}

} // namespace backuptest
