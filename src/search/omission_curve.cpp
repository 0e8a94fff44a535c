#include "search/omission_curve.h"

namespace quarvel::search {

std::string OmissionCurve::title() const {
    const auto more = moreFigureTexts(stats);
    return label + "  最小遗漏 " + std::to_string(stats.minimum) + "  最大遗漏 " +
           std::to_string(stats.maximum) + "  最后遗漏 " + std::to_string(stats.last) +
           "  大后比 " + formatRatio(stats.ratio()) + "  出现次数 " + more[0] + "  平均遗漏 " +
           more[1] + "  欲出几率 " + more[2] + "  最大连出 " + more[3];
}

OmissionCurve curveOfHitGrid(const std::string& label, const store::TextGrid& hits,
                             const OmissionStats& stats) {
    OmissionCurve curve{label, {}, {}, stats};
    for (int r = 1; r < hits.rows(); ++r) {
        if (hits.cells[static_cast<std::size_t>(r)].size() < 10) continue;
        curve.issues.push_back(hits.at(r, 0));
        curve.gaps.push_back(std::stoi(hits.at(r, 9)));
    }
    return curve;
}

OmissionCurve curveOfHits(const std::string& label, const std::vector<Hit>& hits, int drawsInRange,
                          int newestIdx) {
    OmissionCurve curve{label, {}, {}, {}};
    for (const Hit& h : hits) {
        curve.issues.push_back(std::to_string(h.issue));
        curve.gaps.push_back(curve.stats.addHit(h.idx));
    }
    curve.stats.finish(newestIdx, drawsInRange);
    return curve;
}

}  // namespace quarvel::search
