#pragma once
// Small helpers shared by the engine's source files: statements with RAII and errors.

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "store/engine.h"

namespace quarvel::store::detail {

// The engine's own name for a prepared statement.
using Statement = Prepared;

[[noreturn]] void fail(sqlite3* db, const std::string& what);
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace quarvel::store::detail
