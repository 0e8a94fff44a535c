#pragma once
// Translation of the system's statement texts (Access dialect) into SQLite's dialect:
// double-quoted literals become single-quoted, a LIKE with a literal pattern becomes GLOB with
// `*` as the only wildcard, MOD becomes %, LEFT(x,n) becomes substr(x,1,n), LEN becomes
// length, brackets stay, and ORDER BY gets the rowid as tie-breaker (insertion order).

#include <string>

namespace quarvel::store {

std::string translateSql(const std::string& systemSql);

}  // namespace quarvel::store
