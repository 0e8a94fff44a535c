#pragma once
// The table YL of group results: its columns, and the columns added since the first files
// were written, which an older quarvel.mdb gets when it is opened.

#include <string>

namespace quarvel::store {

class Database;

// CREATE TABLE YL with every column: content, intMinYL, intMaxYL, intLstYl, sglLlr, then
// intHitCount (出现次数), dblAvgYl (平均遗漏), dblDueRatio (欲出几率, NULL for "-") and
// intMaxRun (最大连出).
std::string ylSchemaSql();
// Adds to an existing YL the columns it lacks (old rows keep their values, the new columns
// stay NULL); nothing when it has them all. DbError when the table cannot be altered.
void addMissingYlColumns(Database& db);

}  // namespace quarvel::store
