// The statement translation must accept any text and hand SQLite something it can judge.
#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "store/sql_translate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string sql = quarvel::store::translateSql(text);
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        sqlite3_open(":memory:", &d);
        sqlite3_exec(d,
                     "CREATE TABLE Lishi (SQQH INTEGER, IDX SMALLINT, txtHisLst TEXT, txtHisP6 "
                     "TEXT, intTh SMALLINT, bolOk BOOLEAN)",
                     nullptr, nullptr, nullptr);
        return d;
    }();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
    sqlite3_finalize(st);
    return 0;
}
