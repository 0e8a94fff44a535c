#include <gtest/gtest.h>

#include "store/draw_record.h"

using namespace quarvel::store;

TEST(DrawRecord, WorkedExampleReproducesEveryColumnAndString) {
    const DrawRow r =
        buildDrawRow(2013020, 2013020, {3, 11, 15, 22, 27, 29, 30, 8}, ZodiacCodes::startup(1), 1);
    EXPECT_EQ(r.sqqh, 2013020);
    EXPECT_EQ(r.qqh, 2013021);
    EXPECT_EQ(r.a, (std::array<int, 8>{3, 11, 15, 22, 27, 29, 30, 8}));
    EXPECT_EQ(r.b, (std::array<int, 8>{4, 8, 4, 9, 4, 2, 1, 11}));
    EXPECT_EQ(r.e, (std::array<int, 8>{0, 1, 1, 2, 2, 2, 3, 0}));
    EXPECT_EQ(r.f, (std::array<int, 8>{3, 1, 5, 2, 7, 9, 0, 8}));
    EXPECT_EQ(r.g, (std::array<int, 8>{3, 2, 6, 4, 9, 11, 3, 8}));
    EXPECT_EQ(r.h, (std::array<int, 8>{1, 4, 5, 8, 9, 10, 10, 3}));
    EXPECT_EQ(r.txtHisLst, "03 11 15 22 27 29 30 08 ");
    EXPECT_EQ(r.txtHisLstHm, "1X03 1X11 1X15 1X22 1X27 1X29 1X30 1X08 ");
    EXPECT_EQ(r.txtHisLstSx, "1X04 1X08 2X04 1X09 3X04 1X02 1X01 1X11 ");
    EXPECT_EQ(r.txtHisLstTou, "1X0 1X1 2X1 1X2 2X2 3X2 1X3 2X0 ");
    EXPECT_EQ(r.txtHisLstWei, "1X3 1X1 1X5 1X2 1X7 1X9 1X0 1X8 ");
    EXPECT_EQ(r.txtHisLstHe, "1X03 1X02 1X06 1X04 1X09 1X11 2X03 1X08 ");
    EXPECT_EQ(r.txtHisLstDs, "1X1 1X4 1X5 1X8 1X9 1X10 2X10 1X3 ");
}

TEST(DrawRecord, ZodiacYearShiftsOnlyUpToTheThreshold) {
    EXPECT_EQ(zodiacYear(2013016), 2012);  // serial equal to the 2013 threshold
    EXPECT_EQ(zodiacYear(2013017), 2013);
    EXPECT_EQ(zodiacYear(2020001), 2019);  // the lottery's calendar since 2018: 2020 ends at 9
    EXPECT_EQ(zodiacYear(2027001), 2027);  // no threshold after 2026
    EXPECT_EQ(zodiacYear(2000001), 2000);  // nor before 2001
    EXPECT_EQ(zodiacYear(2001010), 2000);
}

TEST(DrawRecord, ZodiacLookupMatchesTheRotatedBaseLists) {
    EXPECT_EQ(baseNumberList(0), "01、13、25、37、49");
    EXPECT_EQ(baseNumberList(11), "12、24、36、48");
    EXPECT_EQ(std::string(kZodiacNames[zodiacIndex(2012, 1)]), "龙");
    EXPECT_EQ(std::string(kZodiacNames[zodiacIndex(2013, 1)]), "蛇");
    // Brute force against the two-step lookup: search the year's lists for the two-digit text.
    for (int year = 1984; year <= 2040; ++year) {
        for (int n = 0; n <= 60; ++n) {
            char two[8];
            std::snprintf(two, sizeof two, "%02d", n);
            int expected = 11;
            for (int k = 0; k <= 10; ++k) {
                const int m = ((year - 1972 - k) % 12 + 12) % 12;
                if (baseNumberList(m).find(two) != std::string::npos) {
                    expected = k;
                    break;
                }
            }
            ASSERT_EQ(zodiacIndex(year, n), expected) << year << " " << n;
        }
    }
}

TEST(DrawRecord, BaseZeroShiftsZodiacAndSegmentTokens) {
    const DrawRow r =
        buildDrawRow(2013020, 2013020, {1, 13, 25, 2, 3, 4, 5, 30}, ZodiacCodes::startup(0), 0);
    EXPECT_EQ(r.h[7], 9);  // 30 is in segment 9 with base 0
    EXPECT_EQ(r.txtHisLstDs, "1X0 1X4 1X8 2X0 3X0 1X1 2X1 1X9 ");
    for (int code : r.b) {
        EXPECT_GE(code, 0);
        EXPECT_LE(code, 11);
    }
    EXPECT_EQ(r.txtHisLstSx.substr(0, 15), "1X05 2X05 3X05 ");  // 01, 13, 25: 蛇 (index 5) in 2013
}

TEST(DrawRecord, MenuFillingGivesCodesByPlaceInTheCycle) {
    const ZodiacCodes codes = ZodiacCodes::forMenuChoice(0, 2013);
    for (int n : {1, 13, 25}) {
        const DrawRow r = buildDrawRow(2013020, 2013020, {n, 2, 3, 4, 5, 6, 7, 8}, codes, 1);
        EXPECT_EQ(r.b[0], 0);
        EXPECT_EQ(r.txtHisLstSx.substr(0, 5), "1X00 ");
    }
    const DrawRow r = buildDrawRow(2013020, 2013020, {12, 24, 1, 2, 3, 4, 5, 6},
                                   ZodiacCodes::forMenuChoice(1, 2013), 1);
    EXPECT_EQ(r.b[0], 12);
    EXPECT_EQ(r.b[1], 12);
    EXPECT_EQ(r.b[2], 1);
}

TEST(DrawRecord, RepeatedValuesAreCountedInPositionOrder) {
    const DrawRow r =
        buildDrawRow(2013020, 2013020, {3, 13, 5, 6, 7, 8, 9, 10}, ZodiacCodes::startup(1), 1);
    EXPECT_EQ(r.txtHisLstWei.substr(0, 8), "1X3 2X3 ");
    EXPECT_EQ(r.txtHisLstHm.find("2X"), std::string::npos);
}

TEST(DrawRecord, OutOfRangeNumbersNeitherCrashNorOverrunACounter) {
    const DrawRow r =
        buildDrawRow(2013020, 2013020, {0, 99, 50, 0, 99, 31, 49, -3}, ZodiacCodes::startup(1), 1);
    EXPECT_EQ(r.b[0], 12);  // in no list: the last zodiac
    EXPECT_EQ(r.b[1], 12);
    EXPECT_EQ(r.e[1], 9);
    EXPECT_EQ(r.txtHisLst, "00 99 50 00 99 31 49 -3 ");
    EXPECT_EQ(r.txtHisLstHm.substr(0, 20), "1X00 1X99 1X50 2X00 ");
}
