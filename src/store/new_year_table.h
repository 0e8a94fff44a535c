#pragma once
// The zodiac new-year table: for a year, the last serial of its draws that still belong to the
// previous zodiac year (the draws before the Spring Festival). The lottery's own calendar gives
// the defaults; the user extends them for later years (settings key NewYearTable), and the table
// in force is the one every zodiac code is built with, in the window and in quarvel-cli alike.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quarvel::store {

inline constexpr int kFirstNewYearYear = 1985;
inline constexpr int kLastNewYearYear = 2096;
inline constexpr int kMaxNewYearSerial = 60;  // no Spring Festival falls later than that

// Year -> last serial of the old zodiac year.
using NewYearTable = std::map<int, int>;

// The lottery's calendar, 2001 through 2026.
const NewYearTable& defaultNewYearTable();
// The table in force: the defaults with the user's entries over them.
NewYearTable newYearTableInForce();
// The threshold of a year in the table in force (0 for a year it does not hold).
int newYearThresholdInForce(int year);
// Puts the user's entries (over the defaults) in force for this process.
void setNewYearEntries(const NewYearTable& userEntries);

// The settings text of entries, "2027=9;2028=14"; parsed back, or nullopt when it is not one
// (a year outside 1985..2096, a serial outside 0..60, anything else in it).
std::string newYearEntriesText(const NewYearTable& entries);
std::optional<NewYearTable> parseNewYearEntries(std::string_view text);
// The entries of a whole table that differ from the defaults: what the settings keep.
NewYearTable newYearEntriesBeyondDefaults(const NewYearTable& whole);

// Why a table typed by the user cannot be kept (Chinese), empty when it can: one "年份 期数"
// pair per line. `out` receives the table.
std::string readNewYearTableInput(std::string_view text, NewYearTable& out);

class Database;

// Stored rows whose zodiac codes follow another new-year table: early-year draws (a serial up
// to kMaxNewYearSerial) whose eight codes are those of the other zodiac year their serial could
// belong to, and not those of the year the table in force gives (codes read with the start-up
// code table of `sxBase`). By year, how many rows. DbError when the rows cannot be read.
std::map<int, std::size_t> rowsBuiltWithOtherNewYear(Database& db, int sxBase);

}  // namespace quarvel::store
