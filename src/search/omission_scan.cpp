#include "search/omission_scan.h"

#include <array>
#include <span>

#include "search/criteria.h"
#include "store/draw_record.h"
#include "store/history_db.h"

namespace quarvel::search {

namespace {

std::string rangeSelection(std::int32_t start, std::int32_t end, const std::string& condition) {
    return "SELECT * FROM [lishi] WHERE [SQQH] >= " + std::to_string(start) +
           " AND  [SQQH] <= " + std::to_string(end) + " AND " + condition + " ORDER BY [IDX]";
}

// Column indexes of the eight position attributes of a type in a snapshot (-1 when missing,
// as for type 6 whose letter has no column); parity (type 7) is derived from the number.
struct CellReader {
    int type;
    int sxBase;
    std::array<int, kPositions> primary{};

    CellReader(const store::Snapshot& s, int t, int sx) : type(t), sxBase(sx) {
        const char letter = attributeLetter(t);
        for (int p = 1; p <= kPositions; ++p) {
            const std::string base = "L" + std::to_string(p);
            const auto i = static_cast<std::size_t>(p - 1);
            primary[i] = s.columnIndex(base + (letter == 'D' ? 'A' : letter));
        }
    }

    std::string cell(const std::vector<store::Value>& row, int p) const {
        const int col = primary[static_cast<std::size_t>(p - 1)];
        if (col < 0 || store::isNull(row[static_cast<std::size_t>(col)])) return {};
        return attributeText(type, sxBase,
                             static_cast<int>(store::toInt(row[static_cast<std::size_t>(col)])));
    }
};

// The column the hit grid shows for a type: the number for parity, else the type's letter.
char gridLetter(int type) {
    const char letter = attributeLetter(type);
    return letter == 'D' ? 'A' : letter;
}

}  // namespace

std::string attributeText(int type, int sxBase, int value) {
    if (type == 1) return store::zodiacName(value, sxBase);
    if (attributeLetter(type) == 'D') return std::to_string(((value % 2) + 2) % 2);
    return std::to_string(value);
}

std::string singleSetSelection(std::int32_t start, std::int32_t end, int required) {
    return rangeSelection(start, end, "[intTh] = " + std::to_string(required));
}

std::string unionSelection(std::int32_t start, std::int32_t end) {
    return rangeSelection(start, end, "[bolOk]= TRUE");
}

store::TextGrid emptyHitGrid() {
    store::TextGrid g;
    std::vector<std::string> header{"期号"};
    for (int p = 1; p <= 7; ++p) header.push_back("平" + std::to_string(p) + "位");
    header.insert(header.end(), {"特位", "遗漏次数", "序号"});
    g.cells.push_back(std::move(header));
    g.colWidths = {1000, 800, 800, 800, 800, 800, 800, 800, 800, 800, 680};
    return g;
}

int countDrawsInRange(store::Database& db, std::int32_t start, std::int32_t end) {
    store::Snapshot s =
        db.snapshot("SELECT count(*) AS n FROM [Lishi] WHERE [SQQH] >= " + std::to_string(start) +
                    " AND [SQQH] <= " + std::to_string(end));
    s.moveFirst();
    return s.onRow() ? static_cast<int>(s.intField("n")) : 0;
}

ScanResult scanRows(const store::Snapshot& rows, const std::vector<std::size_t>& hits, int type,
                    int sxBase, int newestIdx, int drawsInRange) {
    ScanResult r;
    r.hits = emptyHitGrid();
    const CellReader reader(rows, type, sxBase);
    const int sqqhCol = rows.columnIndex("SQQH");
    const int idxCol = rows.columnIndex("IDX");
    r.hits.cells.reserve(hits.size() + 1);
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const auto& row = rows.row(hits[i]);
        std::vector<std::string> line;
        line.reserve(11);
        line.push_back(sqqhCol < 0 ? std::string()
                                   : store::toText(row[static_cast<std::size_t>(sqqhCol)]));
        for (int p = 1; p <= kPositions; ++p) line.push_back(reader.cell(row, p));
        const int idx =
            idxCol < 0 ? 0 : static_cast<int>(store::toInt(row[static_cast<std::size_t>(idxCol)]));
        r.hitIdx.push_back(idx);
        line.push_back(std::to_string(r.stats.addHit(idx)));
        line.push_back(std::to_string(i + 1));
        r.hits.cells.push_back(std::move(line));
    }
    r.stats.finish(newestIdx, drawsInRange);
    return r;
}

ScanResult scanTable(const DrawTable& table, const RowSet& hits, int type, int sxBase,
                     int newestIdx, int drawsInRange) {
    ScanResult r;
    r.hits = emptyHitGrid();
    const char letter = gridLetter(type);
    std::array<std::span<const std::int32_t>, kPositions> columns;
    for (int p = 1; p <= kPositions; ++p)
        columns[static_cast<std::size_t>(p - 1)] = table.column(letter, p);
    r.hits.cells.reserve(hits.count() + 1);
    std::size_t n = 0;
    hits.forEach([&](std::size_t row) {
        std::vector<std::string> line;
        line.reserve(11);
        const std::int32_t issue = table.issue(row);
        line.push_back(issue == DrawTable::kNull ? std::string() : std::to_string(issue));
        for (const auto& col : columns)
            line.push_back(col.empty() || col[row] == DrawTable::kNull
                               ? std::string()
                               : attributeText(type, sxBase, col[row]));
        r.hitIdx.push_back(table.idx(row));
        line.push_back(std::to_string(r.stats.addHit(table.idx(row))));
        line.push_back(std::to_string(++n));
        r.hits.cells.push_back(std::move(line));
    });
    r.stats.finish(newestIdx, drawsInRange);
    return r;
}

ScanResult scanHits(store::HistoryDb& db, const std::string& selection, int type, int sxBase,
                    int drawsInRange) {
    store::Snapshot rows;
    try {
        rows = db.db().snapshot(selection);
    } catch (const store::DbError&) {
        // the selection failed: no hit is read, the statistics keep their starting values
    }
    std::vector<std::size_t> all(rows.recordCount());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return scanRows(rows, all, type, sxBase, db.newestIdx(), drawsInRange);
}

std::vector<std::string> summaryHeader() {
    std::vector<std::string> header{"号码（分组）", "最小遗漏", "最大遗漏", "最后遗漏", "大后比"};
    header.insert(header.end(), kMoreFigureHeaders.begin(), kMoreFigureHeaders.end());
    return header;
}

store::TextGrid summaryGrid(const std::string& label, const OmissionStats& stats) {
    store::TextGrid g;
    g.cells.push_back(summaryHeader());
    std::vector<std::string> row{label, std::to_string(stats.minimum),
                                 std::to_string(stats.maximum), std::to_string(stats.last),
                                 formatRatio(stats.ratio())};
    for (auto& text : moreFigureTexts(stats)) row.push_back(std::move(text));
    g.cells.push_back(std::move(row));
    g.colWidths = {2400, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000};
    return g;
}

}  // namespace quarvel::search
