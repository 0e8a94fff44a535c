// A store that fails under an analysis: every command of search, partial search, groups and
// chance answers with the failure as its outcome (kind Failed, the fault's sentence, SQLite's
// detail) and throws nothing, so that neither the window nor the CLI needs a try block.

#include <gtest/gtest.h>

#include <functional>

#include "chance/as_of.h"
#include "chance/hot_cold.h"
#include "chance/pattern_chance.h"
#include "chance/shape_table.h"
#include "groups/group_command.h"
#include "partial/partial_search.h"
#include "search/reference_draw.h"
#include "search/search_command.h"
#include "search/trend_chart.h"
#include "support/test_support.h"

using namespace quarvel;
namespace qt = quarvel::testing;

namespace {

template <class T>
store::Outcome outcomeOf(const store::Checked<T>& c) {
    return c.outcome;
}

TEST(StoreFailures, EveryAnalysisAnswersWithTheFailure) {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    db.open();
    const auto draws = qt::randomDraws(40, 5);
    qt::addDraws(db, draws);

    search::Criteria c;
    c.selected[0] = true;
    c.values[0] = 7;
    c.rangeStart = std::to_string(draws.front().issue);
    c.rangeEnd = std::to_string(draws.back().issue);
    groups::GroupInput g;
    g.ticked[1] = g.ticked[2] = true;
    g.rangeStart = c.rangeStart;
    g.rangeEnd = c.rangeEnd;
    const chance::AsOfCut cut{draws[30].issue, draws[30].issue, 31};
    chance::BacktestInput backtest;
    backtest.plan = *groups::makePlan(g);
    backtest.testStart = draws[20].issue;
    backtest.testEnd = draws.back().issue;
    const chance::PatternSearch run = [&](const search::Criteria& k) {
        return search::runSearch(db, k);
    };
    const search::TrendInput trend{0, true, draws.front().issue, draws.back().issue, 1, 1};

    const std::pair<const char*, std::function<store::Outcome()>> commands[] = {
        {"search", [&] { return search::runSearch(db, c).outcome; }},
        {"search by statements",
         [&] { return search::runSearch(db, c, search::Evaluation::Statements).outcome; }},
        {"partial", [&] { return partial::runPartialSearch(db, c, false, "1").outcome; }},
        {"reference draw",
         [&] { return outcomeOf(search::findReferenceDraw(db, c.rangeEnd, false, 0, 1)); }},
        {"groups", [&] { return groups::runGroupComputation(db, g).outcome; }},
        {"group curve", [&] { return outcomeOf(groups::groupCurve(db, g, "01 02")); }},
        {"as-of cut", [&] { return outcomeOf(chance::cutAt(db, draws[30].issue)); }},
        {"pattern hits",
         [&] { return outcomeOf(chance::patternHits(db, c, run, chance::searchPattern(c))); }},
        {"group hits", [&] { return outcomeOf(chance::groupPatternHits(db, g, "01 02")); }},
        {"later showing", [&] { return outcomeOf(chance::showingAfterCut(db, c, run, cut)); }},
        {"backtest", [&] { return outcomeOf(chance::backtestOnHistory(db, backtest, cut)); }},
        {"shapes", [&] { return outcomeOf(chance::buildShapeTable(db.db(), 0, 9999999)); }},
        {"trend", [&] {
             return outcomeOf(
                 chance::buildTrendWithHotCold(db.db(), trend, store::ZodiacCodes::startup(1), 30));
         }}};

    // Each command succeeds on the history as it is ...
    for (const auto& [name, command] : commands) EXPECT_TRUE(command().ok()) << name;
    // ... and answers with the failure once the draws cannot be read.
    db.db().executeNative("ALTER TABLE Lishi RENAME TO Gone");
    for (const auto& [name, command] : commands) {
        store::Outcome o;
        EXPECT_NO_THROW(o = command()) << name;
        EXPECT_EQ(o.kind, store::OutcomeKind::Failed) << name;
        EXPECT_NE(o.text().find(store::faultSentence(o.fault)), std::string::npos) << name;
        EXPECT_FALSE(o.detail.empty()) << name;
    }
}

}  // namespace
