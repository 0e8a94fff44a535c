#include "groups/yl_table.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "search/omission_scan.h"

namespace quarvel::groups {

YlAppender::YlAppender(store::Database& db)
    : insert_(db,
              "INSERT INTO YL (content, intMaxYL, intMinYL, intLstYl, sglLlr, intHitCount, "
              "dblAvgYl, dblDueRatio, intMaxRun) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)") {}

void YlAppender::append(const std::string& label, const search::OmissionStats& stats) {
    const float ratio = static_cast<float>(stats.ratio());
    insert_.reset();
    insert_.bindTextView(1, label);
    insert_.bindInt(2, stats.maximum);
    insert_.bindInt(3, stats.minimum);
    insert_.bindInt(4, stats.last);
    insert_.bindDouble(5, static_cast<double>(ratio));
    insert_.bindInt(6, stats.hits);
    insert_.bindDouble(7, stats.averageOmission());
    if (const auto due = stats.dueRatio())
        insert_.bindDouble(8, *due);
    else
        insert_.bindNull(8);
    insert_.bindInt(9, stats.longestRun);
    try {
        insert_.step();
    } catch (...) {
        insert_.reset();
        throw;
    }
}

namespace {

// The YL columns behind grid columns 1..8.
constexpr std::array<const char*, 8> kFigureColumns = {"intMinYL",    "intMaxYL",    "intLstYl",
                                                       "sglLlr",      "intHitCount", "dblAvgYl",
                                                       "dblDueRatio", "intMaxRun"};

// A stored figure of a later column, "" when the row predates it (NULL), "-" for no due ratio.
std::string laterFigure(const store::Value& v, bool twoDecimals, bool dashWhenNull) {
    if (store::isNull(v)) return dashWhenNull ? "-" : "";
    return twoDecimals ? search::formatTwoDecimals(store::toDouble(v)) : store::toText(v);
}

}  // namespace

std::string ylOrderBy(int gridColumn) {
    if (gridColumn < 1 || gridColumn > static_cast<int>(kFigureColumns.size())) return "rowid";
    const std::string column = kFigureColumns[static_cast<std::size_t>(gridColumn - 1)];
    // Ascending, the rows without a figure ("-") after every number.
    return column + " IS NULL, " + column;
}

store::TextGrid ylHeaderGrid() {
    store::TextGrid grid;
    grid.cells.push_back(search::summaryHeader());
    grid.colWidths = {1880, 880, 880, 880, 880, 880, 880, 880, 880};
    return grid;
}

store::TextGrid ylGrid(store::Database& db, const std::string& select) {
    store::TextGrid grid = ylHeaderGrid();
    const store::Snapshot rows = db.snapshot(select);
    const int content = rows.columnIndex("content");
    const int minimum = rows.columnIndex("intMinYL");
    const int maximum = rows.columnIndex("intMaxYL");
    const int last = rows.columnIndex("intLstYl");
    const int ratio = rows.columnIndex("sglLlr");
    const int hits = rows.columnIndex("intHitCount");
    const int average = rows.columnIndex("dblAvgYl");
    const int due = rows.columnIndex("dblDueRatio");
    const int run = rows.columnIndex("intMaxRun");
    // The later figures may be missing from the YL of an older file that could not be brought up
    // to date (a read-only one): they read as absent.
    if (content < 0 || minimum < 0 || maximum < 0 || last < 0 || ratio < 0)
        throw store::DbError("YL lacks one of its columns", store::DbFault::NotADatabase);
    grid.cells.reserve(rows.recordCount() + 1);
    for (std::size_t i = 0; i < rows.recordCount(); ++i) {
        const auto& row = rows.row(i);
        const float r = static_cast<float>(store::toDouble(row[static_cast<std::size_t>(ratio)]));
        static const store::Value absent;
        const auto at = [&row](int col) -> const store::Value& {
            return col < 0 ? absent : row[static_cast<std::size_t>(col)];
        };
        // A row stored before the later columns existed shows them empty; no due ratio is "-"
        // only where the row has the other later figures.
        const bool hasLater = !store::isNull(at(hits));
        // 大后比 as the search grid writes it, from the two omissions; the stored single only
        // where they cannot be read.
        std::string ratioShown = search::formatSingle(r);
        if (!store::isNull(at(maximum)) && !store::isNull(at(last)) && store::toInt(at(last)) != 0)
            ratioShown = search::ratioText(static_cast<int>(store::toInt(at(maximum))),
                                           static_cast<int>(store::toInt(at(last))));
        grid.cells.push_back(
            {store::toText(at(content)), store::toText(at(minimum)), store::toText(at(maximum)),
             store::toText(at(last)), ratioShown, laterFigure(at(hits), false, false),
             laterFigure(at(average), true, false), laterFigure(at(due), true, hasLater),
             laterFigure(at(run), false, false)});
    }
    return grid;
}

store::TextGrid ylGrid(std::vector<ComputedGroup> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const ComputedGroup& a, const ComputedGroup& b) {
        return a.stats.last < b.stats.last;
    });
    store::TextGrid grid = ylHeaderGrid();
    grid.cells.reserve(rows.size() + 1);
    for (auto& row : rows) {
        const search::OmissionStats& s = row.stats;
        const auto more = search::moreFigureTexts(s);
        grid.cells.push_back({std::move(row.label), std::to_string(s.minimum),
                              std::to_string(s.maximum), std::to_string(s.last),
                              search::ratioText(s.maximum, s.last), more[0], more[1], more[2],
                              more[3]});
    }
    return grid;
}

store::TextGrid listYl(store::HistoryDb& db) { return ylGrid(db.db(), kYlListingSql); }

store::TextGrid listYl(store::HistoryDb& db, int gridColumn) {
    bool stored = false;
    const std::string order = ylOrderBy(gridColumn);
    for (const auto& c : db.db().tableColumns("YL"))
        stored = stored || order.rfind(c + " ", 0) == 0;
    return ylGrid(db.db(), "SELECT * FROM YL ORDER BY " + (stored ? order : std::string("rowid")));
}

}  // namespace quarvel::groups
