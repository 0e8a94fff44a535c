#pragma once
// Small helpers shared by the engine's source files: statements with RAII and errors.

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "store/engine.h"

namespace quarvel::store::detail {

class Statement {
  public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const Value& v);
    // Steps once; true when a row is available.
    bool step();
    int columnCount() const;
    std::string columnName(int i) const;
    Value column(int i) const;
    sqlite3_stmt* raw() const { return stmt_; }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

[[noreturn]] void fail(sqlite3* db, const std::string& what);
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace quarvel::store::detail
