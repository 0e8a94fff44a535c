#include "store/yl_schema.h"

#include <array>
#include <utility>

#include "store/engine.h"
#include "store/engine_internal.h"

namespace quarvel::store {

namespace {

// The columns after the first five, with their SQLite types, in grid order.
constexpr std::array<std::pair<const char*, const char*>, 4> kLaterColumns = {
    {{"intHitCount", "SMALLINT"},
     {"dblAvgYl", "REAL"},
     {"dblDueRatio", "REAL"},
     {"intMaxRun", "SMALLINT"}}};

}  // namespace

std::string ylSchemaSql() {
    std::string sql =
        "CREATE TABLE YL (RowSeq INTEGER PRIMARY KEY, content TEXT, intMinYL SMALLINT, "
        "intMaxYL SMALLINT, intLstYl SMALLINT, sglLlr REAL";
    for (const auto& [name, type] : kLaterColumns) sql += std::string(", ") + name + " " + type;
    return sql + ")";
}

void addMissingYlColumns(Database& db) {
    const auto existing = db.tableColumns("YL");
    for (const auto& [name, type] : kLaterColumns) {
        bool found = false;
        for (const auto& c : existing) found = found || detail::equalsNoCase(c, name);
        if (!found) db.executeNative(std::string("ALTER TABLE YL ADD COLUMN ") + name + " " + type);
    }
}

}  // namespace quarvel::store
