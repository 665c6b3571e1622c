#include "Units.h"

#include <gtest/gtest.h>

namespace {

// The window's layout at 144 dpi lands on halves, which go to the even pixel.
TEST(TwipsToPixels, HalvesGoToTheEvenPixel) {
    struct Case { int twips; int dpi; int pixels; };
    for (const Case c : {Case{6540, 96, 436}, Case{6405, 144, 640}, Case{2145, 144, 214}, Case{705, 144, 70},
                         Case{2865, 144, 286}, Case{45, 144, 4}, Case{15, 144, 2}, Case{-15, 144, -2}}) {
        EXPECT_EQ(win::TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

}  // namespace
