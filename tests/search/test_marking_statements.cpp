// Statement texts of condition marking, the occurrence counters and the marking sequences.

#include <gtest/gtest.h>

#include "search/marking.h"

using namespace quarvel::search;

namespace {

Criteria pick(int type, std::vector<std::pair<int, int>> posValue, bool fixed = false,
              bool countSpecial = true) {
    Criteria c;
    c.type = type;
    c.fixed = fixed;
    c.countSpecial = countSpecial;
    for (auto [p, v] : posValue) {
        c.selected[p - 1] = true;
        c.values[p - 1] = v;
        c.texts[p - 1] = "t" + std::to_string(v);
    }
    return c;
}

}  // namespace

TEST(MarkingStatements, EveryFormReadsAsTheSystemWritesIt) {
    EXPECT_EQ(sql::reset(), "UPDATE [Lishi] SET [intTh]=0");
    EXPECT_EQ(sql::trim("txtHisLstSx"),
              "UPDATE [Lishi] SET [txtHisP6]= LEFT([txtHisLstSx],LEN([txtHisLstSx])-4)");
    EXPECT_EQ(sql::copy("txtHisLst"), "UPDATE [Lishi] SET [txtHisP6]= [txtHisLst]");
    EXPECT_EQ(sql::freeOnColumn("txtHisLst", "*05*"),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisLst] LIKE \"*05*\"");
    EXPECT_EQ(sql::freeOnScratch("*2X03*"),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisP6] LIKE \"*2X03*\"");
    EXPECT_EQ(sql::fixedDigitSum(3, 7),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L3E] + [L3F]) = 7");
    EXPECT_EQ(sql::fixedParity(2, 1),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ([L2A] MOD 2) = 1");
    EXPECT_EQ(sql::fixedPlain(8, 'F', 4),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [L8F] = 4");
    EXPECT_EQ(sql::clearUnion(), "UPDATE [Lishi] SET [bolOk]= FALSE");
    EXPECT_EQ(sql::addToUnion(3), "UPDATE [Lishi] SET [bolOk]= TRUE WHERE [intTh] = 3");
}

TEST(MarkingStatements, PatternsByType) {
    EXPECT_EQ(freePattern(0, 5, 0), "*05*");
    EXPECT_EQ(freePattern(1, 5, 1), "*1X05*");
    EXPECT_EQ(freePattern(1, 3, 2), "*2X03*");
    EXPECT_EQ(freePattern(2, 2, 1), "*1X2*");
    EXPECT_EQ(freePattern(3, 7, 2), "*2X7*");
    EXPECT_EQ(freePattern(4, 11, 1), "*1X11*");
    EXPECT_EQ(freePattern(5, 3, 1), "*1X3 *");
    EXPECT_EQ(freePattern(5, 10, 1), "*1X10 *");
    // Segment 1 keeps its closing space, or it would also match the token of segment 10.
    EXPECT_EQ(freePattern(5, 1, 2), "*2X1 *");
    EXPECT_EQ(freePattern(6, 7, 0), "*07*");
    EXPECT_EQ(freePattern(7, 1, 0), "*01*");
}

TEST(MarkingStatements, FixedConditionFollowsTheLetter) {
    EXPECT_EQ(fixedCondition(4, 3, 7), sql::fixedDigitSum(3, 7));
    EXPECT_EQ(fixedCondition(7, 5, 0), sql::fixedParity(5, 0));
    EXPECT_EQ(fixedCondition(0, 1, 12), sql::fixedPlain(1, 'A', 12));
    EXPECT_EQ(fixedCondition(1, 2, 4), sql::fixedPlain(2, 'B', 4));
    EXPECT_EQ(fixedCondition(5, 8, 10), sql::fixedPlain(8, 'H', 10));
    EXPECT_EQ(fixedCondition(6, 4, 9), sql::fixedPlain(4, 'C', 9));
}

TEST(OccurrenceCounters, CountWithinTheirRangeAndRefuseOthers) {
    OccurrenceCounters head(2, 1, 1);
    ASSERT_TRUE(head.counted());
    EXPECT_EQ(head.increment(0), 1);
    EXPECT_EQ(head.increment(4), 1);  // head counters cover 0..4
    EXPECT_EQ(head.increment(0), 2);
    EXPECT_EQ(head.increment(5), std::nullopt);
    EXPECT_EQ(head.increment(-1), std::nullopt);
    EXPECT_EQ(head.increment(2147483647), std::nullopt);
    EXPECT_EQ(head.count(0), 2);
    head.clear();
    EXPECT_EQ(head.count(0), 0);

    OccurrenceCounters zodiac0(1, 0, 1);
    EXPECT_EQ(zodiac0.increment(0), 1);
    EXPECT_EQ(zodiac0.increment(11), 1);
    EXPECT_EQ(zodiac0.increment(12), std::nullopt);
    OccurrenceCounters zodiac1(1, 1, 1);
    EXPECT_EQ(zodiac1.increment(0), std::nullopt);
    EXPECT_EQ(zodiac1.increment(12), 1);

    OccurrenceCounters segment0(5, 1, 0);
    EXPECT_EQ(segment0.increment(0), 1);
    EXPECT_EQ(segment0.increment(10), std::nullopt);

    EXPECT_FALSE(OccurrenceCounters(0, 1, 1).counted());
    EXPECT_EQ(OccurrenceCounters(0, 1, 1).increment(5), std::nullopt);
}

TEST(MarkSingle, FreeWithTheSpecialNumberMatchesTheWholeColumn) {
    auto c = pick(1, {{2, 5}, {6, 5}, {8, 3}});
    const auto set = markSingle(c);
    EXPECT_EQ(set.required, 3);
    EXPECT_EQ(set.label, "t5 t5 t3 ");
    const std::vector<std::string> want = {
        sql::reset(),
        sql::freeOnColumn("txtHisLstSx", "*1X05*"),
        sql::freeOnColumn("txtHisLstSx", "*2X05*"),
        sql::freeOnColumn("txtHisLstSx", "*1X03*"),
    };
    EXPECT_EQ(set.statements, want);
}

TEST(MarkSingle, FreeWithoutTheSpecialNumberTrimsOnceAndMatchesTheScratchCopy) {
    auto c = pick(3, {{8, 7}, {1, 7}}, false, false);
    const auto set = markSingle(c);
    const std::vector<std::string> want = {
        sql::reset(),
        sql::trim("txtHisLstWei"),
        sql::freeOnScratch("*1X7*"),
        sql::freeOnScratch("*2X7*"),
    };
    EXPECT_EQ(set.statements, want);
    EXPECT_EQ(set.required, 2);
    // no position: the trim still runs, N is 0
    const auto none = markSingle(pick(3, {}, false, false));
    EXPECT_EQ(none.statements, (std::vector<std::string>{sql::reset(), sql::trim("txtHisLstWei")}));
    EXPECT_EQ(none.required, 0);
    EXPECT_EQ(none.label, "");
}

TEST(MarkSingle, ValueItsCountersCannotHoldIsSkippedButStillRequired) {
    auto c = pick(2, {{1, 1}, {2, 9}, {3, -3}});  // heads count 0..4
    const auto set = markSingle(c);
    EXPECT_EQ(set.required, 3);
    EXPECT_EQ(set.statements,
              (std::vector<std::string>{sql::reset(), sql::freeOnColumn("txtHisLstTou", "*1X1*")}));
}

TEST(MarkSingle, FixedUsesTwoDigitLabelsAndOneConditionPerPosition) {
    auto c = pick(4, {{1, 11}, {2, 11}, {7, 3}}, true);
    c.texts[0] = "ignored";
    const auto set = markSingle(c);
    EXPECT_EQ(set.label, "11 11 03 ");
    EXPECT_EQ(set.required, 3);
    const std::vector<std::string> want = {sql::reset(), sql::fixedDigitSum(1, 11),
                                           sql::fixedDigitSum(2, 11), sql::fixedDigitSum(7, 3)};
    EXPECT_EQ(set.statements, want);
    EXPECT_EQ(markSingle(pick(0, {{1, -5}}, true)).label, "-05 ");
}

TEST(MarkUnion, SequenceFillsTheScratchOnceAndFlagsEachSet) {
    auto c = pick(1, {{1, 5}, {2, 5}, {3, 7}});
    const auto free = markUnion(c, {{1, 2}, {1, 3}}, Counting::WholeSet);
    const std::vector<std::string> want = {
        sql::clearUnion(),
        sql::copy("txtHisLstSx"),
        sql::reset(),
        sql::freeOnScratch("*2X05*"),
        sql::freeOnScratch("*2X05*"),
        sql::addToUnion(2),
        sql::reset(),
        sql::freeOnScratch("*1X05*"),
        sql::freeOnScratch("*1X07*"),
        sql::addToUnion(2),
    };
    EXPECT_EQ(free.statements, want);

    c.countSpecial = false;
    EXPECT_EQ(markUnion(c, {{3}}, Counting::WholeSet).statements[1], sql::trim("txtHisLstSx"));

    c.fixed = true;
    const auto fixed = markUnion(c, {{1, 3}}, Counting::WholeSet);
    EXPECT_EQ(fixed.statements,
              (std::vector<std::string>{sql::clearUnion(), sql::reset(), sql::fixedPlain(1, 'B', 5),
                                        sql::fixedPlain(3, 'B', 7), sql::addToUnion(2)}));
}

TEST(CriteriaHelpers, TwoDigits) {
    EXPECT_EQ(twoDigits(5), "05");
    EXPECT_EQ(twoDigits(0), "00");
    EXPECT_EQ(twoDigits(30), "30");
    EXPECT_EQ(twoDigits(123), "123");
    EXPECT_EQ(twoDigits(-5), "-05");
}
