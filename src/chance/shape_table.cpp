#include "chance/shape_table.h"

#include <algorithm>
#include <cmath>

#include "chance/statistics.h"
#include "search/criteria.h"
#include "search/omission_stats.h"
#include "store/engine.h"

namespace quarvel::chance {

std::vector<ShapeDraw> readShapeDraws(store::Database& db) {
    const store::Snapshot s = db.snapshot(
        "SELECT [IDX], [SQQH], [L1A], [L2A], [L3A], [L4A], [L5A], [L6A], [L7A] FROM [Lishi] ORDER "
        "BY [IDX]");
    std::vector<ShapeDraw> draws;
    draws.reserve(s.recordCount());
    for (std::size_t i = 0; i < s.recordCount(); ++i) {
        const auto& row = s.row(i);
        ShapeDraw d;
        d.idx = static_cast<int>(store::toInt(row[0]));
        d.issue = static_cast<std::int32_t>(store::toInt(row[1]));
        for (std::size_t p = 0; p < 7; ++p)
            d.numbers[p] = static_cast<int>(store::toInt(row[p + 2]));
        draws.push_back(d);
    }
    return draws;
}

ShapeTable::ShapeTable(const std::vector<ShapeDraw>& history, std::int32_t start,
                       std::int32_t end) {
    std::vector<int> idx;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const ShapeDraw& d = history[i];
        if (d.issue < start || d.issue > end) continue;
        rows_.push_back(
            {d.issue, d.numbers, shapeOf(d.numbers, i == 0 ? nullptr : &history[i - 1].numbers)});
        idx.push_back(d.idx);
    }
    summarize(idx);
}

const std::vector<std::string>& ShapeTable::header() {
    static const std::vector<std::string> h = [] {
        std::vector<std::string> v{"期号"};
        for (int p = 1; p <= 7; ++p) v.push_back("平" + std::to_string(p) + "位");
        v.insert(v.end(), kShapeNames.begin(), kShapeNames.end());
        return v;
    }();
    return h;
}

std::string ShapeTable::cellText(int row, int col) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (col == 0) return std::to_string(r.issue);
    if (col <= 7) return search::twoDigits(r.numbers[static_cast<std::size_t>(col - 1)]);
    return shapeText(col - 8, r.shapes[static_cast<std::size_t>(col - 8)]);
}

store::TextGrid ShapeTable::toTextGrid() const {
    store::TextGrid g;
    g.cells.reserve(rows_.size() + 1);
    g.cells.push_back(header());
    for (int r = 0; r < rows(); ++r) {
        std::vector<std::string> line;
        line.reserve(kColumns);
        for (int c = 0; c < kColumns; ++c) line.push_back(cellText(r, c));
        g.cells.push_back(std::move(line));
    }
    g.colWidths.assign(kColumns, 600);
    g.colWidths.front() = 1000;
    return g;
}

void ShapeTable::summarize(const std::vector<int>& idx) {
    const ShapeOdds& odds = shapeOdds();
    const int lastIdx = idx.empty() ? 0 : idx.back();
    summary_.cells.push_back(
        {"形态", "值", "出现次数", "理论次数", "p", "最后遗漏", "最大遗漏", "显著"});
    std::vector<double> rowP;
    for (int kind = 0; kind < kShapeKinds; ++kind) {
        const auto& sets = odds.sets[static_cast<std::size_t>(kind)];
        std::vector<int> count(sets.size(), 0), lastHit(sets.size(), 0), longest(sets.size(), -1);
        int draws = 0;  // the draws that have the shape: all but a first stored draw for 重号
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const int cls = shapeClass(kind, rows_[r].shapes[static_cast<std::size_t>(kind)]);
            if (kind == kRepeat && rows_[r].shapes[kRepeat] < 0) continue;
            ++draws;
            if (cls < 0) continue;
            const auto c = static_cast<std::size_t>(cls);
            ++count[c];
            longest[c] = std::max(longest[c], idx[r] - lastHit[c]);
            lastHit[c] = idx[r];
        }
        std::vector<CountClass> classes;
        for (std::size_t c = 0; c < sets.size(); ++c) {
            if (sets[c] == 0) continue;
            const double p = odds.probability(kind, static_cast<int>(c));
            const double expected = draws * p;
            classes.push_back({static_cast<double>(count[c]), expected, 0.0, 0.0});
            const double pValue = binomialTwoSidedP(count[c], draws, p);
            rowP.push_back(pValue);
            summary_.cells.push_back({kShapeNames[static_cast<std::size_t>(kind)],
                                      classText(kind, static_cast<int>(c)),
                                      std::to_string(count[c]), search::formatTwoDecimals(expected),
                                      draws == 0 ? "-" : fixedText(pValue, 4),
                                      std::to_string(rows_.empty() ? 0 : lastIdx + 1 - lastHit[c]),
                                      longest[c] < 0 ? "-" : std::to_string(longest[c]), ""});
        }
        ShapeVerdict v;
        v.kind = kind;
        const auto pools = pooledClasses(classes);
        if (draws > 0 && pools.size() >= 2) {
            for (const CountClass& pool : pools)
                v.chiSquare += (pool[0] - pool[1]) * (pool[0] - pool[1]) / pool[1];
            v.degrees = static_cast<int>(pools.size()) - 1;
            v.pValue = chiSquareUpperTail(v.chiSquare, v.degrees);
        }
        verdicts_.push_back(v);
    }
    const std::vector<bool> flagged = holmRejected(rowP);
    for (std::size_t r = 0; r < flagged.size(); ++r)
        if (flagged[r]) summary_.cells[r + 1].back() = "是";
    summary_.colWidths = {800, 800, 900, 900, 800, 900, 900, 600};
}

std::string ShapeTable::verdictText() const {
    double least = 1.0;
    for (const ShapeVerdict& v : verdicts_)
        if (v.degrees > 0) least = std::min(least, v.pValue);
    // Nine shapes are judged at once: Holm's correction over their p.
    std::vector<double> p;
    for (const ShapeVerdict& v : verdicts_) p.push_back(v.degrees > 0 ? v.pValue : 1.0);
    const std::vector<bool> flagged = holmRejected(p);
    std::string text = plainChanceSentence(least) + "（九种形态中最不寻常的一种）\n";
    for (std::size_t i = 0; i < verdicts_.size(); ++i) {
        const ShapeVerdict& v = verdicts_[i];
        text += std::string(kShapeNames[static_cast<std::size_t>(v.kind)]) + "\t";
        if (v.degrees == 0) {
            text += "期数不足，无从比较\n";
            continue;
        }
        text += "卡方 " + fixedText(v.chiSquare, 2) + "，自由度 " + std::to_string(v.degrees) +
                "，p = " + fixedText(v.pValue, 4) +
                (flagged[i] ? "：分布与随机有显著差别\n" : "：分布与随机无显著差别\n");
    }
    return text;
}

store::Checked<ShapeTable> buildShapeTable(store::Database& db, std::int32_t start,
                                           std::int32_t end) {
    return store::attempt([&] { return ShapeTable(readShapeDraws(db), start, end); });
}

}  // namespace quarvel::chance
