#include "render/framepattern.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(FramePattern, FieldsAreFilledLikePrintf) {
    EXPECT_EQ(FramePattern("frames/wobble.%04d.rib").at(7), "frames/wobble.0007.rib");
    EXPECT_EQ(FramePattern("w%d.tif").at(12345), "w12345.tif");
    EXPECT_EQ(FramePattern("w%3d").at(5), "w  5");
    EXPECT_EQ(FramePattern("w%02d").at(123), "w123");  // a width is a minimum
    EXPECT_EQ(FramePattern("100%%-%d%%").at(4), "100%-4%");
    EXPECT_TRUE(FramePattern("a%dz").hasField());

    FramePattern plain("100%% wobble.rib");
    EXPECT_FALSE(plain.hasField());
    EXPECT_EQ(plain.at(3), "100% wobble.rib");
    EXPECT_FALSE(FramePattern("-").hasField());
}

TEST(FramePattern, AnythingButOneDecimalFieldIsRefused) {
    // Each of these would make printf read arguments that are not there.
    for (const char* bad : {"%s", "x%n", "%x.rib", "%5.2d", "%-4d", "%ld", "%", "a%04", "%d%d",
                            "%04d/%d", "%999999999999d", "%33d"}) {
        EXPECT_THROW(FramePattern{bad}, std::invalid_argument) << bad;
    }
    EXPECT_NO_THROW(FramePattern("%32d"));
}
