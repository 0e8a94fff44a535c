#pragma once
// The omission scan: reads the marked draws of an issue range in IDX order, lays them out in the
// hit grid (MSFlexGrid2) with the gap before each, and fills the summary grid (MSFlexGrid3)
// with the smallest, largest and last omission, their ratio and the four further figures.

#include <cstdint>
#include <string>
#include <vector>

#include "search/draw_table.h"
#include "search/omission_stats.h"
#include "store/engine.h"
#include "store/text_grid.h"

namespace quarvel::store {
class Database;
class HistoryDb;
}  // namespace quarvel::store

namespace quarvel::search {

// Hits of one condition set: [intTh] equal to the required count.
std::string singleSetSelection(std::int32_t start, std::int32_t end, int required);
// Hits of a union of sets: [bolOk] true.
std::string unionSelection(std::int32_t start, std::int32_t end);

struct ScanResult {
    store::TextGrid hits;
    OmissionStats stats;
    std::vector<int> hitIdx;  // IDX of every hit, ascending
};

// N of the statistics: the stored draws whose issue lies in [start, end].
int countDrawsInRange(store::Database& db, std::int32_t start, std::int32_t end);

// Scans the hit rows (indexes into `rows`, in IDX order): one grid row per hit with the issue,
// the eight attributes of the search type (zodiac names for the zodiac type; read from the
// columns L<p><letter>, empty when `rows` lacks them), the gap and the row number. The last
// omission is measured to `newestIdx`, the IDX of the newest stored draw; drawsInRange is N.
ScanResult scanRows(const store::Snapshot& rows, const std::vector<std::size_t>& hits, int type,
                    int sxBase, int newestIdx, int drawsInRange);
// The same for the hit rows of a draw table.
ScanResult scanTable(const DrawTable& table, const RowSet& hits, int type, int sxBase,
                     int newestIdx, int drawsInRange);
// A position's attribute as the hit grid shows it: the zodiac name of a code (zodiac type),
// the parity of the number (type 7), the value otherwise.
std::string attributeText(int type, int sxBase, int value);
// Runs the selection and scans all its rows. A selection the engine refuses gives the header
// row only.
ScanResult scanHits(store::HistoryDb& db, const std::string& selection, int type, int sxBase,
                    int drawsInRange);

// The hit grid with its header row only (期号, 平1位 … 平7位, 特位, 遗漏次数, 序号).
store::TextGrid emptyHitGrid();
// The header of a result row: 号码（分组）, 最小遗漏, 最大遗漏, 最后遗漏, 大后比, 出现次数,
// 平均遗漏, 欲出几率, 最大连出; the group listing uses it too.
std::vector<std::string> summaryHeader();
// The two-row summary grid: the header, then label, minimum, maximum, last omission, ratio and
// the four further figures.
store::TextGrid summaryGrid(const std::string& label, const OmissionStats& stats);

}  // namespace quarvel::search
