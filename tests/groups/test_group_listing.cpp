// The listing after a computation is built from the rows just computed; it must be what
// reading YL back lists, equal last omissions included, for every type and both numberings.

#include <gtest/gtest.h>

#include "group_test_util.h"
#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::groups;
namespace qt = quarvel::testing;

TEST(GroupListing, ComputedListingIsTheStoredOne) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws = qt::randomDraws(160, 3);
    qt::addDraws(db, draws);
    const std::string start = std::to_string(draws[20].issue),
                      end = std::to_string(draws[140].issue);
    for (const auto& in :
         {groups::testing::input(0, "3", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, start, end),
          groups::testing::input(1, "2", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, start, end,
                                 false),
          groups::testing::input(5, "1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, start, end),
          groups::testing::input(2, "2", {1, 2, 3, 4, 5}, end,
                                 start)}) {  // reversed: no hit at all
        const GroupResult r = runGroupComputation(db, in);
        ASSERT_TRUE(r.outcome.ok()) << r.outcome.text();
        EXPECT_GT(r.groups, 0);
        EXPECT_EQ(r.listing.cells, listYl(db).cells) << "type " << in.type;
    }
}
