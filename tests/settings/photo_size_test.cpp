// The video preview height per aspect ratio.
#include "settings/photo_size.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct RatioCase {
    std::string width;
    int32_t height4to3, height3to2, height16to9;
};

TEST(PreviewHeight, FollowsTheWidthByEachRatioCutTowardZero) {
    const RatioCase cases[] = {
        {"320", 240, 212, 180},        // 约3：2 is 85/128: 212.5, not 213.3
        {"560", 420, 371, 315},        // 371.875
        {"640", 480, 425, 360},
        {"100.9", 75, 67, 56},         // 75.675, 67.003..., 56.756...
        {"-100", -75, -66, -56},       // cut toward zero, not down
        {"", 0, 0, 0},                 // no number reads as 0
        {"320abc", 240, 212, 180},     // the leading number counts
        {" 320", 240, 212, 180},
        {"\xA3\xB3\xA3\xB2\xA3\xB0", 240, 212, 180},  // full-width 320
    };
    for (const RatioCase& c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(settings::previewHeightFor(c.width, settings::kRatio4to3), c.height4to3);
        EXPECT_EQ(settings::previewHeightFor(c.width, settings::kRatio3to2), c.height3to2);
        EXPECT_EQ(settings::previewHeightFor(c.width, settings::kRatio16to9), c.height16to9);
    }
}

TEST(PreviewHeight, HeightsBeyondThe32BitRangeSaturate) {
    EXPECT_EQ(settings::previewHeightFor("9999999999", settings::kRatio4to3), INT32_MAX);
    EXPECT_EQ(settings::previewHeightFor("-9999999999", settings::kRatio4to3), INT32_MIN);
    EXPECT_EQ(settings::previewHeightFor("1e400", settings::kRatio16to9), 0);  // not finite
}

}  // namespace
