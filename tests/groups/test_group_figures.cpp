// The group rows on random histories: which draws a box finds is worked out from the numbers
// themselves (a zodiac box finds the zodiac its caption names, segment box k the numbers
// 3k - 2 .. 3k), and the four further figures by counting, for both ways of evaluating; and
// zodiac and segment rows against a search for the same single value, under both bases.

#include <gtest/gtest.h>

#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "search/search_command.h"
#include "store/draw_record.h"
#include "support/figures_reference.h"

using namespace quarvel;
using namespace quarvel::groups;
namespace qt = quarvel::testing;

namespace {

// Whether draw d shows the value of box `box`, read straight from its numbers.
bool shows(const qt::Draw& d, int type, int box, bool special) {
    for (int p = 0; p < (special ? 8 : 7); ++p) {
        const int n = d.numbers[static_cast<std::size_t>(p)];
        const bool hit = type == 0   ? n == box
                         : type == 1 ? store::zodiacIndex(store::zodiacYear(d.issue), n) == box % 12
                         : type == 2 ? n / 10 == box - 1
                         : type == 3 ? n % 10 == box - 1
                         : type == 4 ? n / 10 + n % 10 == box
                                     : (n - 1) / 3 + 1 == box;
        if (hit) return true;
    }
    return false;
}

std::string expectedLabel(int type, int box, int base) {
    if (type == 1) return store::kZodiacNames[static_cast<std::size_t>(box % 12)];
    if (type == 5) return std::to_string(box - 1 + base);
    char buf[8];
    std::snprintf(buf, sizeof buf, type == 2 || type == 3 ? "%d" : "%02d",
                  type == 2 || type == 3 ? box - 1 : box);
    return buf;
}

struct FigureCase {
    int type;
    int base;
    bool special;
    Evaluation how;
};

class GroupFigures : public ::testing::TestWithParam<FigureCase> {};

}  // namespace

TEST_P(GroupFigures, CountedFromTheDraws) {
    const FigureCase c = GetParam();
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws =
        qt::randomDraws(150, static_cast<unsigned>(40 + c.type * 4 + c.base * 2 + c.special));
    qt::addDraws(db, draws, {c.base, c.base});
    const int count = std::min(valueCount(c.type), 6);
    // The whole history, a sub-range, and a single draw (every box it shows hits every draw).
    for (auto [from, to] : {std::pair<std::size_t, std::size_t>{0, 149}, {30, 100}, {77, 77}}) {
        for (int size : {1, 2}) {
            GroupInput in;
            in.type = c.type;
            in.countSpecial = c.special;
            in.sizeText = std::to_string(size);
            for (int b = 1; b <= count; ++b) in.ticked[static_cast<std::size_t>(b)] = true;
            in.rangeStart = std::to_string(draws[from].issue);
            in.rangeEnd = std::to_string(draws[to].issue);
            in.coding = {store::ZodiacCodes::startup(c.base), c.base};
            const GroupResult r = runGroupComputation(db, in, c.how);
            ASSERT_TRUE(r.outcome.ok()) << r.outcome.text();
            const store::TextGrid listing = listYl(db, 0);  // in computation order

            int row = 1;
            for (int a = 1; a <= count; ++a) {
                for (int b = size == 1 ? a : a + 1; b <= (size == 1 ? a : count); ++b, ++row) {
                    std::vector<int> hits;
                    for (std::size_t i = from; i <= to; ++i)
                        if (shows(draws[i], c.type, a, c.special) &&
                            shows(draws[i], c.type, b, c.special))
                            hits.push_back(static_cast<int>(i) + 1);
                    ASSERT_LT(row, listing.rows());
                    const auto& cells = listing.cells[static_cast<std::size_t>(row)];
                    std::string label = expectedLabel(c.type, a, c.base);
                    if (size == 2) label += " " + expectedLabel(c.type, b, c.base);
                    EXPECT_EQ(cells[0], label);
                    EXPECT_EQ(std::vector<std::string>(cells.begin() + 5, cells.end()),
                              qt::expectedFigures(hits, static_cast<int>(to - from + 1), 150))
                        << label << " in draws " << from << ".." << to;
                }
            }
            EXPECT_EQ(row, listing.rows());
        }
    }
}

std::vector<FigureCase> figureCases() {
    std::vector<FigureCase> out;
    for (int type = 0; type <= 5; ++type)
        for (auto how : {Evaluation::InMemory, Evaluation::Statements})
            out.push_back({type, 1, type % 2 == 0, how});
    for (int type : {1, 5})
        for (auto how : {Evaluation::InMemory, Evaluation::Statements})
            out.push_back({type, 0, true, how});
    return out;
}

INSTANTIATE_TEST_SUITE_P(RandomHistories, GroupFigures, ::testing::ValuesIn(figureCases()));

// A group of one zodiac or segment box gives the row of a free search for the code it stands for.
TEST(GroupRowsAndSearch, ZodiacAndSegmentUnderBothBases) {
    for (int base : {0, 1}) {
        qt::TempDir dir;
        store::HistoryDb db(dir.path());
        db.open();
        const auto draws = qt::randomDraws(120, 90 + static_cast<unsigned>(base));
        qt::addDraws(db, draws, {base, base});
        for (int type : {1, 5}) {
            GroupInput in;
            in.type = type;
            in.sizeText = "1";
            for (int b = 1; b <= valueCount(type); ++b)
                in.ticked[static_cast<std::size_t>(b)] = true;
            in.rangeStart = std::to_string(draws[10].issue);
            in.rangeEnd = std::to_string(draws[110].issue);
            in.coding = {store::ZodiacCodes::startup(base), base};
            ASSERT_TRUE(runGroupComputation(db, in).outcome.ok());
            const store::TextGrid listing = listYl(db, 0);
            ASSERT_EQ(listing.rows(), valueCount(type) + 1);
            for (int box = 1; box <= valueCount(type); ++box) {
                search::Criteria c;
                c.type = type;
                c.sxBase = base;
                c.dsBase = base;
                c.rangeStart = in.rangeStart;
                c.rangeEnd = in.rangeEnd;
                c.selected[0] = true;
                c.values[0] = type == 1 ? base + box % 12 : box - 1 + base;
                const auto s = search::runSearch(db, c);
                ASSERT_TRUE(s.ok()) << s.outcome.text();
                const auto& group = listing.cells[static_cast<std::size_t>(box)];
                const auto& single = s.summary.cells[1];
                for (int col : {1, 2, 3, 5, 6, 7, 8})  // the ratio is listed in single precision
                    EXPECT_EQ(group[static_cast<std::size_t>(col)],
                              single[static_cast<std::size_t>(col)])
                        << "type " << type << " base " << base << " box " << box << " column "
                        << col;
                EXPECT_GT(s.stats.hits, 0);
            }
        }
    }
}
