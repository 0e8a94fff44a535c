// The four further figures of the partial search, worked out from its hit grid and by counting
// the draws of the range, on random histories.

#include <gtest/gtest.h>

#include "partial/partial_search.h"
#include "store/history_db.h"
#include "support/figures_reference.h"

using namespace quarvel;
namespace qt = quarvel::testing;

TEST(PartialFigures, FromTheHitGrid) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws = qt::randomDraws(200, 41);
    qt::addDraws(db, draws);
    struct Case {
        int type;
        std::array<int, 8> values;
        bool fixed;
        const char* k;
    };
    // Two numbers of eight; one head of eight (heads 0..3 cover every number: every draw hits);
    // a fixed pair; a head no number has (no hit).
    const Case cases[] = {{0, {3, 7, 11, 15, 19, 23, 27, 30}, false, "2"},
                          {2, {0, 1, 2, 3, 0, 1, 2, 3}, false, "1"},
                          {0, {1, 2, 3, 4, 5, 6, 7, 8}, true, "1"},
                          {2, {9, 9, 9, 9, 9, 9, 9, 9}, false, "1"}};
    for (auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 199}, {60, 130}}) {
        for (const auto& k : cases) {
            search::Criteria c;
            c.type = k.type;
            c.values = k.values;
            c.fixed = k.fixed;
            c.rangeStart = std::to_string(draws[from].issue);
            c.rangeEnd = std::to_string(draws[to].issue);
            const auto r = partial::runPartialSearch(db, c, false, k.k);
            ASSERT_TRUE(r.ok()) << r.outcome.text();
            qt::expectFiguresOfHitGrid(r.hits, r.summary, draws, draws[from].issue,
                                       draws[to].issue);
        }
    }
}
