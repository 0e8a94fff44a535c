#include "chance/backtest.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "chance/statistics.h"
#include "groups/group_values.h"

namespace quarvel::chance {

ChanceRules groupRules(const groups::GroupPlan& plan) {
    return {plan.type, false, plan.countSpecial, plan.coding.zodiac, plan.coding.dsBase};
}

GroupHitTable collectGroupHits(store::HistoryDb& db, const groups::GroupPlan& plan) {
    GroupHitTable table;
    table.rules = groupRules(plan);
    groups::forEachGroupHits(
        db, plan,
        [&](std::span<const int> positions, const std::string& label,
            const std::vector<int>& hits) {
            table.labels.push_back(label);
            table.hits.push_back(hits);
            std::vector<int> values;
            for (int at : positions)
                values.push_back(groups::boxValue(
                    plan.type, plan.boxes[static_cast<std::size_t>(at)], plan.coding));
            table.values.push_back(std::move(values));
            return true;
        });
    return table;
}

std::optional<double> rankingFigure(const search::OmissionStats& s, int column) {
    switch (column) {
        case 1:
            return s.minimum;
        case 2:
            return s.maximum;
        case 3:
            return s.last;
        case 4:
            return static_cast<double>(static_cast<float>(s.ratio()));
        case 5:
            return s.hits;
        case 6:
            return s.averageOmission();
        case 7:
            return s.dueRatio();
        default:
            return s.longestRun;
    }
}

std::optional<double> BacktestResult::z() const {
    if (variance <= 0.0) return std::nullopt;
    return (observed - expected) / std::sqrt(variance);
}

std::optional<double> BacktestResult::pValue() const {
    const auto score = z();
    if (!score) return std::nullopt;
    return twoSidedNormalP(*score);
}

namespace {

// For every draw of the line (by position), the groups that show in it.
std::vector<std::vector<int>> groupsByDraw(const GroupHitTable& hits, const IssueLine& line) {
    std::vector<std::vector<int>> byDraw(line.size());
    for (std::size_t g = 0; g < hits.size(); ++g) {
        for (int idx : hits.hits[g]) {
            const auto at = std::lower_bound(line.idx.begin(), line.idx.end(), idx);
            if (at != line.idx.end() && *at == idx)
                byDraw[static_cast<std::size_t>(at - line.idx.begin())].push_back(
                    static_cast<int>(g));
        }
    }
    return byDraw;
}

}  // namespace

BacktestResult backtest(const GroupHitTable& hits, const IssueLine& line, const BacktestInput& in) {
    BacktestResult result;
    result.labels = hits.labels;
    const int groupCount = static_cast<int>(hits.size());
    const int picks = std::clamp(in.pick, 0, groupCount);
    const std::vector<std::vector<int>> byDraw = groupsByDraw(hits, line);
    // The first draw of the groups' range [S, ...].
    const std::size_t first = static_cast<std::size_t>(
        std::lower_bound(line.issue.begin(), line.issue.end(), in.plan.rangeStart) -
        line.issue.begin());

    std::vector<search::OmissionStats> running(hits.size());  // hits of draws first .. counted - 1
    std::size_t counted = first;
    std::vector<std::optional<double>> figure(hits.size());
    std::vector<int> order(hits.size());
    std::vector<char> shows(hits.size(), 0);
    GroupChances chances(hits.rules, hits.values);
    // Descending (or ascending) by figure, "-" after every number, ties in enumeration order.
    const auto before = [&](int a, int b) {
        const auto& fa = figure[static_cast<std::size_t>(a)];
        const auto& fb = figure[static_cast<std::size_t>(b)];
        if (fa.has_value() != fb.has_value()) return fa.has_value();
        if (fa && *fa != *fb) return in.ascending ? *fa < *fb : *fa > *fb;
        return a < b;
    };

    for (std::size_t r = 1; r < line.size(); ++r) {
        if (line.issue[r] < in.testStart || line.issue[r] > in.testEnd) continue;
        // The figures as of the draw before t.
        for (; counted < r; ++counted)
            for (int g : byDraw[counted])
                running[static_cast<std::size_t>(g)].addHit(line.idx[counted]);
        const int drawsInRange = r > first ? static_cast<int>(r - first) : 0;
        for (std::size_t g = 0; g < hits.size(); ++g) {
            search::OmissionStats s = running[g];
            s.finish(line.idx[r - 1], drawsInRange);
            figure[g] = rankingFigure(s, in.column);
        }
        std::iota(order.begin(), order.end(), 0);
        std::partial_sort(order.begin(), order.begin() + picks, order.end(), before);

        BacktestRow row;
        row.issue = line.issue[r];
        row.shown = static_cast<int>(byDraw[r].size());
        for (int g : byDraw[r]) shows[static_cast<std::size_t>(g)] = 1;
        for (int i = 0; i < picks; ++i) {
            const int g = order[static_cast<std::size_t>(i)];
            row.picked.push_back(g);
            row.figures.push_back(figure[static_cast<std::size_t>(g)]);
            if (shows[static_cast<std::size_t>(g)]) ++row.hits;
        }
        for (int g : byDraw[r]) shows[static_cast<std::size_t>(g)] = 0;
        if (groupCount > 0)
            row.randomExpected = picks * static_cast<double>(row.shown) / groupCount;
        chances.setDraw(row.issue);
        const bool counted = hits.values.size() == hits.size();  // the groups' values known
        for (std::size_t i = 0; counted && i < row.picked.size(); ++i) {
            const int g = row.picked[i];
            const double qg = chances.single(g);
            row.expected += qg;
            row.variance += qg * (1.0 - qg);
            for (std::size_t j = i + 1; j < row.picked.size(); ++j) {
                const int h = row.picked[j];
                row.variance += 2.0 * (chances.both(g, h) - qg * chances.single(h));
            }
        }
        result.observed += row.hits;
        result.expected += row.expected;
        result.variance += row.variance;
        result.randomExpected += row.randomExpected;
        result.rows.push_back(std::move(row));
    }
    return result;
}

store::TextGrid backtestGrid(const BacktestResult& result) {
    store::TextGrid g;
    g.cells.reserve(result.rows.size() + 2);
    g.cells.push_back({"期号", "选中", "命中", "理论期望", "随机选取期望", "累计命中", "累计期望"});
    int observed = 0;
    double expected = 0.0;
    for (const BacktestRow& row : result.rows) {
        std::string picked;
        for (int gi : row.picked) {
            if (!picked.empty()) picked += ", ";
            picked += result.labels[static_cast<std::size_t>(gi)];
        }
        observed += row.hits;
        expected += row.expected;
        g.cells.push_back({std::to_string(row.issue), picked, std::to_string(row.hits),
                           fixedText(row.expected, 3), fixedText(row.randomExpected, 3),
                           std::to_string(observed), fixedText(expected, 3)});
    }
    g.cells.push_back({"合计", std::to_string(result.observed), fixedText(result.expected, 3),
                       fixedText(result.randomExpected, 3),
                       fixedText(std::sqrt(result.variance), 3), fixedText(result.z(), 2),
                       fixedText(result.pValue(), 4)});
    g.colWidths = {1000, 4000, 700, 1000, 1200, 1000, 1000};
    return g;
}

std::string backtestVerdict(const BacktestResult& result, int tries) {
    std::string text = "选中组合命中 " + std::to_string(result.observed) + " 次，理论期望 " +
                       fixedText(result.expected, 1) + " 次（随机选取期望 " +
                       fixedText(result.randomExpected, 1) + " 次）";
    const auto z = result.z();
    if (!z) return text + "：方差为 0，无从与随机比较";
    const double p = *result.pValue();
    text = plainChanceSentence(p) + "。" + text + "，z = " + fixedText(*z, 2) + "；" +
           triesText(p, tries);
    if (!significantAfterTries(p, tries)) return text + "：与随机无显著差别";
    return text + (*z > 0 ? "：显著多于随机" : "：显著少于随机");
}

}  // namespace quarvel::chance
