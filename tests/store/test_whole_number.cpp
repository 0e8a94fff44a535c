// The one whole-number reader: what every command accepts and refuses.
#include <gtest/gtest.h>

#include "store/whole_number.h"

namespace quarvel::store {
namespace {

TEST(WholeNumber, BlanksAroundAndOneSignAreAccepted) {
    EXPECT_EQ(readWholeNumber("2013001"), 2013001);
    EXPECT_EQ(readWholeNumber(" \t+2 \t"), 2);
    EXPECT_EQ(readWholeNumber("-7"), -7);
    EXPECT_EQ(readWholeNumber("007"), 7);
    EXPECT_EQ(readWholeNumber("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(readWholeNumber("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(readWholeNumber32("2147483647"), INT32_MAX);
    EXPECT_EQ(readWholeNumber32("-2147483648"), INT32_MIN);
}

TEST(WholeNumber, EverythingElseIsRefused) {
    for (const char* bad :
         {"", " ", "+", "-", "+-3", "--3", "2 013", "1.5", "1e3", "0x10", "12a", "a12", "二",
          "2013001\r\n", "9223372036854775808", "-9223372036854775809"})
        EXPECT_EQ(readWholeNumber(bad), std::nullopt) << '"' << bad << '"';
    EXPECT_EQ(readWholeNumber32("2147483648"), std::nullopt);
    EXPECT_EQ(readWholeNumber32("-2147483649"), std::nullopt);
}

}  // namespace
}  // namespace quarvel::store
