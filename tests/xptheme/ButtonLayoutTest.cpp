#include "ButtonLayout.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace mdXpThemeSupport;
using testing_support::ToString;

TEST(ChooseButtonLook, FirstMatchingRowOfTheStateTableDecides) {
    struct Case {
        const char* name;
        ButtonCondition condition;
        PushButtonState state;
        PictureChoice picture;
    };
    //                  enabled hot    held   chosen focused default
    const Case cases[] = {
        {"disabled beats everything", {false, true, true, true, true, true}, kDisabled, PictureChoice::Disabled},
        {"hot and held is pressed", {true, true, true, false, false, false}, kPressed, PictureChoice::Down},
        {"hot and down shows the down picture", {true, true, false, true, false, false}, kHot, PictureChoice::Down},
        {"hot and up", {true, true, false, false, true, true}, kHot, PictureChoice::Normal},
        {"held without down picture choice", {true, false, true, false, false, false}, kPressed, PictureChoice::Down},
        {"down two-state button", {true, false, false, true, true, true}, kPressed, PictureChoice::Down},
        {"focused, not default", {true, false, false, false, true, false}, kDefaulted, PictureChoice::Normal},
        {"default without focus", {true, false, false, false, false, true}, kDefaulted, PictureChoice::Normal},
        {"nothing", {true, false, false, false, false, false}, kNormal, PictureChoice::Normal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ButtonLook look = ChooseButtonLook(c.condition);
        EXPECT_EQ(look.state, c.state);
        EXPECT_EQ(look.picture, c.picture);
    }
}

TEST(HasDefaultLook, ActiveControlWithADefaultTakesTheLookAwayOnlyWhileTheFocusIsElsewhere) {
    EXPECT_TRUE(HasDefaultLook(true, true, true));     // focused: the active control is not asked
    EXPECT_FALSE(HasDefaultLook(true, false, true));   // another button, or itself on an inactive form
    EXPECT_TRUE(HasDefaultLook(true, false, false));   // a text box is active: the look stays
    EXPECT_FALSE(HasDefaultLook(false, false, false));
}

TEST(CaptionRect, CaptionAloneSitsAboutTheMiddleAndAboveAPictureAtTheBottom) {
    const RECT content{4, 4, 71, 45};
    // One line 13 pixels high, measured from content.top: bottom 17.
    EXPECT_EQ(ToString(*CaptionRect(content, 17, false)), ToString(RECT{4, 16, 71, 33}));
    EXPECT_EQ(ToString(*CaptionRect(content, 17, true)), ToString(RECT{4, 29, 71, 45}));
    EXPECT_FALSE(CaptionRect(RECT{0, 0, 10, INT32_MAX}, INT32_MIN + 1, true).has_value());
}

TEST(PictureOrigin, CentresWithHalvesGoingToTheEvenNeighbour) {
    // The picture area above a caption whose top is 29.
    EXPECT_EQ(PictureOrigin(RECT{4, 4, 71, 29}, 16, 16)->y, 8);  // 8.5
    EXPECT_EQ(PictureOrigin(RECT{4, 4, 71, 29}, 16, 16)->x, 30);  // 29.5
    EXPECT_EQ(PictureOrigin(RECT{3, 4, 70, 29}, 16, 16)->x, 28);  // 28.5
}

TEST(HiMetricToPixels, UsesTheScreensTwipsPerPixelForBothDirections) {
    EXPECT_EQ(*HiMetricToPixels(423, 15.0f), 16);   // a 16-pixel picture at 96 dpi
    EXPECT_EQ(*HiMetricToPixels(423, 12.0f), 20);   // the same at 120 dpi
    EXPECT_FALSE(HiMetricToPixels(1e12, 15.0f).has_value());
}

}  // namespace
