#pragma once
// The statement texts of the group computation, in the system's own SQL dialect (the engine
// translates them): the counter reset, the scratch-column fill, one member condition and the
// selection of a group's hits in an issue range.

#include <cstdint>
#include <string>

namespace quarvel::groups {

inline constexpr const char* kResetSql = "UPDATE [Lishi] SET [intTh]=0";

// Fills [txtHisP6] from the attribute column: whole when the special number counts, otherwise
// with the last four characters (the special number's token) cut off.
std::string scratchFillSql(const std::string& column, bool countSpecial);
// Adds 1 to the counter of every row whose scratch copy matches the member pattern.
std::string memberSql(const std::string& pattern);
// The hits of a group of size n in the range [start, end], in IDX order.
std::string hitsSql(std::int32_t start, std::int32_t end, int n);

}  // namespace quarvel::groups
