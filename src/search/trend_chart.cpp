#include "search/trend_chart.h"

#include <algorithm>

#include "search/criteria.h"
#include "search/draw_table.h"
#include "search/omission_stats.h"
#include "store/draw_record.h"
#include "store/engine.h"

namespace quarvel::search {

namespace {

const std::array<std::string, TrendChart::kStatRows> kStatCaptions = {
    "出现次数", "平均遗漏", "最大遗漏", "最后遗漏", "欲出几率"};

}  // namespace

std::vector<int> trendValues(int type, int sxBase, int dsBase, std::vector<std::string>& captions) {
    std::vector<int> values;
    captions.clear();
    auto add = [&](int v, std::string caption) {
        values.push_back(v);
        captions.push_back(std::move(caption));
    };
    switch (type) {
        case 1:
            for (int k = 0; k < 12; ++k)
                add(sxBase + k, store::kZodiacNames[static_cast<std::size_t>(k)]);
            break;
        case 2:
            for (int v = 0; v <= 3; ++v) add(v, std::to_string(v));
            break;
        case 3:
            for (int v = 0; v <= 9; ++v) add(v, std::to_string(v));
            break;
        case 4:
            for (int v = 1; v <= 11; ++v) add(v, std::to_string(v));
            break;
        case 5:
            for (int v = dsBase; v <= dsBase + 9; ++v) add(v, std::to_string(v));
            break;
        default:
            for (int v = 1; v <= 30; ++v) add(v, twoDigits(v));
            break;
    }
    return values;
}

TrendChart::TrendChart(const std::vector<TrendDraw>& history, const TrendInput& in) {
    const std::vector<int> values = trendValues(in.type, in.sxBase, in.dsBase, captions_);
    const std::size_t cols = values.size();
    const int low = values.front();
    const int high = values.back();
    // Column of a value; the columns of every type are consecutive values.
    auto columnOf = [&](int v) { return v < low || v > high ? -1 : v - low; };

    std::vector<int> lastSeen(cols, 0);     // IDX of the latest showing so far, 0 for none
    std::vector<int> hits(cols, 0);         // showings in the range
    std::vector<int> longest(cols, -1);     // largest omission at a showing in the range
    std::vector<int> lastUpToEnd(cols, 0);  // latest showing up to the range's last draw
    std::vector<int> count(cols), regular(cols);
    int rangeDraws = 0;
    int lastIdx = 0;  // IDX of the last draw up to the range's end (0 for none)
    const int positions = in.countSpecial ? 8 : 7;

    for (const TrendDraw& d : history) {
        std::fill(count.begin(), count.end(), 0);
        std::fill(regular.begin(), regular.end(), 0);
        for (int p = 0; p < positions; ++p) {
            const int c = columnOf(d.values[static_cast<std::size_t>(p)]);
            if (c < 0) continue;
            ++count[static_cast<std::size_t>(c)];
            if (p < 7) ++regular[static_cast<std::size_t>(c)];
        }
        const bool inRange = d.issue >= in.rangeStart && d.issue <= in.rangeEnd;
        if (inRange) {
            issues_.push_back(d.issue);
            ++rangeDraws;
        }
        for (std::size_t c = 0; c < cols; ++c) {
            const bool shown = count[c] > 0;
            if (inRange) {
                if (shown) {
                    cells_.push_back(
                        {static_cast<std::int16_t>(count[c]),
                         regular[c] > 0 ? TrendMark::Shown : TrendMark::ShownBySpecial});
                    ++hits[c];
                    longest[c] = std::max(longest[c], d.idx - lastSeen[c]);
                } else {
                    // Before the first showing the omission counts from the start of the
                    // history (IDX 0), as the longest omission does.
                    cells_.push_back(
                        {static_cast<std::int16_t>(d.idx - lastSeen[c]), TrendMark::Omission});
                }
            }
            if (shown) lastSeen[c] = d.idx;
        }
        // Issues rise with IDX: the draws up to the range's end come first.
        if (d.issue <= in.rangeEnd) {
            lastUpToEnd = lastSeen;
            lastIdx = d.idx;
        }
    }

    for (auto& row : stats_) row.reserve(cols);
    for (std::size_t c = 0; c < cols; ++c) {
        // As the search's: an empty history gives 1.
        const int last = lastIdx + 1 - lastUpToEnd[c];
        stats_[0].push_back(std::to_string(hits[c]));
        stats_[1].push_back(formatTwoDecimals(averageOmission(rangeDraws, hits[c])));
        stats_[2].push_back(longest[c] < 0 ? "-" : std::to_string(longest[c]));
        stats_[3].push_back(std::to_string(last));
        stats_[4].push_back(formatTwoDecimals(dueRatio(last, rangeDraws, hits[c])));
    }
}

std::vector<std::string> TrendChart::header() const {
    std::vector<std::string> h{"期号"};
    h.insert(h.end(), captions_.begin(), captions_.end());
    return h;
}

std::string TrendChart::cellText(int row, int col) const {
    const Cell& c = cell(row, col);
    if (c.mark == TrendMark::Omission) return std::to_string(c.value);
    std::string text = captions_[static_cast<std::size_t>(col)];
    if (c.value >= 2) text += "×" + std::to_string(c.value);
    return text;
}

TrendMark TrendChart::mark(int row, int col) const { return cell(row, col).mark; }

const std::string& TrendChart::statCaption(int stat) const {
    if (stat >= kStatRows) return hotCaptions_[static_cast<std::size_t>(stat - kStatRows)];
    return kStatCaptions[static_cast<std::size_t>(stat)];
}

const std::string& TrendChart::statText(int stat, int col) const {
    if (stat >= kStatRows)
        return hot_[static_cast<std::size_t>(stat - kStatRows)][static_cast<std::size_t>(col)];
    return stats_[static_cast<std::size_t>(stat)][static_cast<std::size_t>(col)];
}

void TrendChart::setHotRows(std::array<std::string, kHotRows> captions,
                            std::array<std::vector<std::string>, kHotRows> rows) {
    for (auto& row : rows) row.resize(captions_.size());
    hotCaptions_ = std::move(captions);
    hot_ = std::move(rows);
}

store::TextGrid TrendChart::toTextGrid() const {
    store::TextGrid g;
    g.cells.reserve(static_cast<std::size_t>(drawRows() + statRows() + 1));
    g.cells.push_back(header());
    for (int r = 0; r < drawRows(); ++r) {
        std::vector<std::string> line;
        line.reserve(captions_.size() + 1);
        line.push_back(std::to_string(issue(r)));
        for (int c = 0; c < valueColumns(); ++c) line.push_back(cellText(r, c));
        g.cells.push_back(std::move(line));
    }
    for (int s = 0; s < statRows(); ++s) {
        std::vector<std::string> line{statCaption(s)};
        for (int c = 0; c < valueColumns(); ++c) line.push_back(statText(s, c));
        g.cells.push_back(std::move(line));
    }
    g.colWidths.assign(captions_.size() + 1, 600);
    g.colWidths.front() = 1000;
    return g;
}

std::vector<TrendDraw> readTrendHistory(store::Database& db, int type) {
    const char letter = attributeLetter(type);  // the digit sum is stored as its own column
    const DrawTable table(db, std::string(1, letter));
    if (!table.has(letter))
        throw store::DbError(std::string("the history has no attribute column for letter ") +
                             letter);
    std::vector<TrendDraw> history(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        TrendDraw& d = history[i];
        d.idx = table.idx(i);
        d.issue = table.issue(i) == DrawTable::kNull ? 0 : table.issue(i);
        for (int p = 1; p <= 8; ++p) {
            const std::int32_t v = table.column(letter, p)[i];
            d.values[static_cast<std::size_t>(p - 1)] = v == DrawTable::kNull ? 0 : v;
        }
    }
    return history;
}

TrendChart buildTrend(store::Database& db, const TrendInput& in) {
    return TrendChart(readTrendHistory(db, in.type), in);
}

}  // namespace quarvel::search
