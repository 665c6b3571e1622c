#include "ProgressDisplay.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressDisplayCaption, CountsDoneOfTotalWithATwoDigitRoundedPercentage) {
    struct Case {
        int value;
        const char* caption;
    };
    const Case cases[] = {
        {1, "1/111 01 %"},     {2, "2/111 02 %"},   {10, "10/111 09 %"},   {11, "11/111 10 %"},
        {55, "55/111 50 %"},   {56, "56/111 50 %"}, {110, "110/111 99 %"}, {111, "111/111 100 %"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressDisplay::Caption(c.value, 111, c.value * 100.0 / 111), c.caption);
    }
    // Halves go to the even neighbour.
    EXPECT_EQ(ProgressDisplay::Caption(1, 8, 12.5), "1/8 12 %");
    EXPECT_EQ(ProgressDisplay::Caption(3, 8, 37.5), "3/8 38 %");
}

}  // namespace
