// The partial search: combinations, its union marking on real histories, label and refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "partial/partial_search.h"
#include "search/omission_scan.h"
#include "store/history_db.h"
#include "support/test_support.h"

using namespace quarvel;
namespace qt = quarvel::testing;
using search::Criteria;

namespace {

std::vector<std::string> issues(const search::SearchResult& r) {
    std::vector<std::string> out;
    for (int row = 1; row < r.hits.rows(); ++row) out.push_back(r.hits.at(row, 0));
    return out;
}

Criteria withValues(int type, const std::array<int, 8>& values, bool fixed, bool special = true) {
    Criteria c;
    c.type = type;
    c.fixed = fixed;
    c.countSpecial = special;
    c.values = values;
    for (int i = 0; i < 8; ++i) c.texts[i] = search::twoDigits(values[i]);
    return c;
}

class PartialSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        db.open();
        draws = qt::randomDraws(300, 7);
        qt::addDraws(db, draws);
    }
    Criteria ranged(Criteria c) {
        c.rangeStart = std::to_string(draws.front().issue);
        c.rangeEnd = std::to_string(draws.back().issue);
        return c;
    }
    std::vector<std::string> expected(const std::function<bool(const qt::Draw&)>& hit) {
        std::vector<std::string> out;
        for (const auto& d : draws)
            if (hit(d)) out.push_back(std::to_string(d.issue));
        return out;
    }

    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    std::vector<qt::Draw> draws;
};

}  // namespace

TEST(Combinations, LexicographicAndCountedAsTheTableSays) {
    EXPECT_EQ(partial::combinations(4, 2),
              (std::vector<std::vector<int>>{{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}));
    const int p7[] = {7, 21, 35, 35, 21, 7};
    const int p8[] = {8, 28, 56, 70, 56, 28};
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(partial::combinations(7, k).size(), static_cast<std::size_t>(p7[k - 1])) << k;
        EXPECT_EQ(partial::combinations(8, k).size(), static_cast<std::size_t>(p8[k - 1])) << k;
    }
    EXPECT_EQ(partial::combinations(8, 1).front(), std::vector<int>{1});
    EXPECT_EQ(partial::combinations(8, 1).back(), std::vector<int>{8});
    EXPECT_TRUE(partial::combinations(7, 0).empty());
    EXPECT_TRUE(partial::combinations(7, 8).empty());
}

TEST(PartialStatements, LabelSectionAndWholeCombinationCounts) {
    auto c = withValues(0, {5, 12, 18, 22, 27, 29, 30, 1}, false);
    EXPECT_EQ(partial::partialLabel(c, "2"), "05 12 18 22 27 29 30 01 (2)");

    auto z = withValues(1, {5, 5, 7, 1, 2, 3, 4, 6}, false);
    const auto set = partial::markPartial(z, true, 6);
    // first combination 1..6 holds zodiac 05 twice: both members ask for the second occurrence
    ASSERT_GE(set.statements.size(), 5u);
    EXPECT_EQ(set.statements[0], search::sql::clearUnion());
    EXPECT_EQ(set.statements[1], search::sql::copy("txtHisLstSx"));
    EXPECT_EQ(set.statements[2], search::sql::reset());
    EXPECT_EQ(set.statements[3], search::sql::freeOnScratch("*2X05*"));
    EXPECT_EQ(set.statements[4], search::sql::freeOnScratch("*2X05*"));
    EXPECT_EQ(set.statements[9], search::sql::addToUnion(6));
    EXPECT_EQ(set.statements.size(), 2u + 7u * (6u + 2u));
}

TEST_F(PartialSearch, OneOfEightFixedPositions) {
    const auto values = draws[40].numbers;
    const auto r = partial::runPartialSearch(db, ranged(withValues(0, values, true)), false, "1");
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(issues(r), expected([&](const qt::Draw& d) {
                  for (int i = 0; i < 8; ++i)
                      if (d.numbers[i] == values[i]) return true;
                  return false;
              }));
    // 平码 leaves the special position out, and the label still lists all eight boxes
    const auto pm = partial::runPartialSearch(db, ranged(withValues(0, values, true)), true, "1");
    EXPECT_EQ(issues(pm), expected([&](const qt::Draw& d) {
                  for (int i = 0; i < 7; ++i)
                      if (d.numbers[i] == values[i]) return true;
                  return false;
              }));
    EXPECT_EQ(pm.summary.at(1, 0), partial::partialLabel(withValues(0, values, true), "1"));
}

TEST_F(PartialSearch, AnyTwoFreeNumbers) {
    const auto values = draws[10].numbers;
    for (bool special : {true, false}) {
        const auto r = partial::runPartialSearch(db, ranged(withValues(0, values, false, special)),
                                                 false, "2");
        const int counted = special ? 8 : 7;
        EXPECT_EQ(issues(r), expected([&](const qt::Draw& d) {
                      int found = 0;
                      for (int v : values)
                          found += std::count(d.numbers.begin(), d.numbers.begin() + counted, v);
                      return found >= 2;
                  }))
            << special;
    }
}

TEST_F(PartialSearch, AllSevenEqualsTheFullSearch) {
    for (int type : {0, 1, 3, 5}) {
        for (bool fixed : {true, false}) {
            // the pattern of a stored draw, so that there is at least one hit
            Criteria c;
            c.type = type;
            c.fixed = fixed;
            c.countSpecial = false;
            auto row = db.db().snapshot("SELECT * FROM Lishi WHERE IDX = 123");
            row.moveFirst();
            const char letter = search::attributeLetter(type);
            for (int p = 1; p <= 8; ++p) {
                c.values[p - 1] = static_cast<int>(row.intField("L" + std::to_string(p) + letter));
                c.texts[p - 1] = std::to_string(c.values[p - 1]);
            }
            // The command stops at k = 6; the union marking itself takes the one combination 1..7.
            const auto set = partial::markPartial(c, true, 7);
            ASSERT_EQ(search::runMarking(db.db(), set.statements).failed, 0);
            search::SearchResult part;
            auto scan = search::scanHits(
                db, search::unionSelection(draws.front().issue, draws.back().issue), type, 1,
                static_cast<int>(draws.size()));
            part.hits = scan.hits;
            part.stats = scan.stats;
            for (int p = 0; p < 7; ++p) c.selected[p] = true;
            c.selected[7] = false;
            const auto full = search::runSearch(db, ranged(c));
            EXPECT_FALSE(issues(full).empty());
            EXPECT_EQ(issues(part), issues(full)) << type << fixed;
            EXPECT_EQ(part.stats.minimum, full.stats.minimum);
            EXPECT_EQ(part.stats.last, full.stats.last);
        }
    }
}

TEST_F(PartialSearch, PositionFlagsPlayNoPart) {
    auto c = ranged(withValues(0, draws[5].numbers, true));
    const auto a = partial::runPartialSearch(db, c, false, "2");
    c.selected = {true, false, true, false, false, false, false, true};
    EXPECT_EQ(issues(partial::runPartialSearch(db, c, false, "2")), issues(a));
}

TEST_F(PartialSearch, EmptyUnionAndRefusedSection) {
    auto c = ranged(withValues(0, {31, 31, 31, 31, 31, 31, 31, 31}, true));
    const auto r = partial::runPartialSearch(db, c, false, "1");
    EXPECT_EQ(r.hits.rows(), 1);
    EXPECT_EQ(
        r.summary.cells[1],
        (std::vector<std::string>{"31 31 31 31 31 31 31 31 (1)", "32767", "32767", "301",
                                  search::formatRatio(32767.0 / 301), "0", "301.00", "1.00", "0"}));

    db.db().executeNative("UPDATE Lishi SET bolOk = 1");
    for (const char* k : {"0", "7", "x"}) {
        const auto refused = partial::runPartialSearch(db, c, false, k);
        EXPECT_FALSE(refused.ok()) << k;
    }
    c.rangeEnd = "end";
    EXPECT_FALSE(partial::runPartialSearch(db, c, false, "2").ok());
    auto s = db.db().snapshot("SELECT count(*) AS n FROM Lishi WHERE bolOk = 1");
    s.moveFirst();
    EXPECT_EQ(s.intField("n"), 300);
}

// The section range is one rule: readSection takes the whole numbers kMinSection..kMaxSection
// as every box reads whole numbers, and the partial search refuses the others in its words.
TEST_F(PartialSearch, SectionRangeIsOneRule) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"1", 1},   {"6", 6}, {" 3 ", 3},  {"+2", 2},   {"0", {}},           {"7", {}},
        {"-1", {}}, {"", {}}, {"two", {}}, {"2.0", {}}, {"99999999999", {}}, {"2 2", {}}};
    const auto c = ranged(withValues(0, draws[0].numbers, true));
    for (const auto& [text, k] : cases) {
        EXPECT_EQ(partial::readSection(text).value, k) << text;
        const auto r = partial::runPartialSearch(db, c, false, text);
        EXPECT_EQ(r.ok(), k.has_value()) << text;
        if (k) continue;
        EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused) << text;
        EXPECT_EQ(r.outcome.text(), "分部位数必须是 " + std::to_string(partial::kMinSection) +
                                        " 到 " + std::to_string(partial::kMaxSection) +
                                        " 的整数: \"" + text + "\"");
    }
}
