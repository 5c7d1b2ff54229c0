// Option and camera requests and the standard pixel filters.
#include <cmath>

#include "tests/rib/request_capture.h"

using namespace request_test;

namespace {

RtFloat ownFilter(RtFloat, RtFloat, RtFloat, RtFloat) {
    return 1;
}

}  // namespace

TEST(OptionRequests, Lines) {
    RtFloat fov = 45;
    RtToken fovToken[] = {"fov"};
    RtPointer fovValue[] = {&fov};
    RtString origin = "ul";
    RtToken stringToken[] = {"string origin"};
    RtPointer stringValue[] = {&origin};
    RtFloat nRGB[] = {1, 0, 0, 0, 1, 0};
    RtFloat RGBn[] = {0.5f, 0.5f, 0, 0, 0.5f, 0.5f};
    std::string text = rib([&](RibWriter& w) {
        w.Format(640, 480, 1);
        w.Format(0, 0, 0);
        w.FrameAspectRatio(1.5f);
        w.ScreenWindow(-1.333333f, 1.333333f, -1, 1);
        w.CropWindow(0, 0.5f, 0.25f, 1);
        w.Clipping(0.1f, 10000);
        w.DepthOfField(2.8f, 0.05f, 3);
        w.Shutter(0, 1);
        w.PixelVariance(0.01f);
        w.PixelSamples(2, 2);
        w.Exposure(1, 2.2f);
        w.Quantize("rgba", 255, 0, 255, 0.5f);
        w.RelativeDetail(0.6f);
        w.ProjectionV("perspective", 1, fovToken, fovValue);
        w.HiderV("hidden", 0, nullptr, nullptr);
        w.DisplayV("framebuffer", "framebuffer", "rgb", 0, nullptr, nullptr);
        w.DisplayV("out.tif", "file", "rgba", 1, stringToken, stringValue);
        w.OptionV("limits", 1, fovToken, fovValue);
        w.ColorSamples(2, nRGB, RGBn);
        // Filters are named by identity: the caller's own has no name.
        w.PixelFilter(RiGaussianFilter, 2, 2);
        w.PixelFilter(RiBoxFilter, 1, 1);
        w.PixelFilter(RiTriangleFilter, 2, 2);
        w.PixelFilter(RiCatmullRomFilter, 4, 4);
        w.PixelFilter(RiSincFilter, 4, 3.5f);
        w.PixelFilter(ownFilter, 1.5f, 1.5f);
    });
    EXPECT_EQ(text, R"(Format 640 480 1
Format 0 0 0
FrameAspectRatio 1.5
ScreenWindow -1.33333 1.33333 -1 1
CropWindow 0 0.5 0.25 1
Clipping 0.1 10000
DepthOfField 2.8 0.05 3
Shutter 0 1
PixelVariance 0.01
PixelSamples 2 2
Exposure 1 2.2
Quantize "rgba" 255 0 255 0.5
RelativeDetail 0.6
Projection "perspective" "fov" [45]
Hider "hidden"
Display "framebuffer" "framebuffer" "rgb"
Display "out.tif" "file" "rgba" "string origin" ["ul"]
Option "limits" "fov" [45]
ColorSamples [1 0 0 0 1 0] [0.5 0.5 0 0 0.5 0.5]
PixelFilter "gaussian" 2 2
PixelFilter "box" 1 1
PixelFilter "triangle" 2 2
PixelFilter "catmull-rom" 4 4
PixelFilter "sinc" 4 3.5
PixelFilter "" 1.5 1.5
)");
}

TEST(OptionRequests, FixedNumbersStayTextInBinaryMode) {
    RtFloat nRGB[] = {1, 0, 0}, RGBn[] = {0.5f, 0.5f, 0};
    std::string text = binaryRib([&](RibWriter& w) {
        w.Format(640, 480, 1);
        w.ScreenWindow(-1, 1, -0.75f, 0.75f);
        w.PixelFilter(RiBoxFilter, 1, 1);
        w.ColorSamples(1, nRGB, RGBn);
    });
    EXPECT_EQ(text,
              "Format 640 480 1\nScreenWindow -1 1 -0.75 0.75\nPixelFilter \"box\" 1 1\n"
              "ColorSamples " +
                  binaryArray({1, 0, 0}) + " " + binaryArray({0.5f, 0.5f, 0}) + "\n");
}

TEST(OptionRequests, RibOptionSwitchesTheWriterToBinary) {
    RtInt one = 1, zero = 0;
    RtString binary = "binary";
    RtToken binaryToken[] = {"binary"};
    RtPointer oneValue[] = {&one};
    RtPointer zeroValue[] = {&zero};
    RtToken formatToken[] = {"format"};
    RtPointer formatValue[] = {&binary};
    RtColor red = {1, 0, 0};
    std::string text = rib([&](RibWriter& w) {
        w.OptionV("rib", 1, formatToken, formatValue);  // only "binary" counts
        w.Color(red);
        w.OptionV("RIB", 1, binaryToken, oneValue);
        w.Color(red);
        w.OptionV("rib", 1, binaryToken, zeroValue);
        w.Color(red);
        w.OptionV("Rib", 1, binaryToken, oneValue);  // not the writer's own option
    });
    EXPECT_EQ(text, "Color [1 0 0]\nColor " + binaryArray({1, 0, 0}) +
                        "\nColor [1 0 0]\nOption \"Rib\" \"binary\" [1 ]\n");
}

TEST(PixelFilters, Weights) {
    // Gaussian: 1 at the centre, e^-2 at half the width.
    EXPECT_FLOAT_EQ(RiGaussianFilter(0, 0, 2, 2), 1);
    EXPECT_FLOAT_EQ(RiGaussianFilter(1, 0, 2, 2), std::exp(-2.0f));
    EXPECT_FLOAT_EQ(RiGaussianFilter(1, 1, 2, 2), std::exp(-4.0f));

    // Box: strictly inside half the width in both directions.
    EXPECT_EQ(RiBoxFilter(0.49f, -0.49f, 1, 1), 1);
    EXPECT_EQ(RiBoxFilter(0.5f, 0, 1, 1), 0);
    EXPECT_EQ(RiBoxFilter(0, -0.5f, 1, 1), 0);

    // Triangle: the smaller of the two tents, never negative.
    EXPECT_FLOAT_EQ(RiTriangleFilter(0, 0, 2, 2), 1);
    EXPECT_FLOAT_EQ(RiTriangleFilter(0.5f, 0.25f, 2, 2), 0.5f);
    EXPECT_EQ(RiTriangleFilter(3, 0, 2, 2), 0);

    // Catmull-Rom: 2 at the centre, 0 at radius 1 and beyond radius 2.
    EXPECT_FLOAT_EQ(RiCatmullRomFilter(0, 0, 4, 4), 2);
    EXPECT_FLOAT_EQ(RiCatmullRomFilter(0.5f, 0, 4, 4), 1.125f);
    EXPECT_NEAR(RiCatmullRomFilter(0, 1, 4, 4), 0, 1e-6);
    EXPECT_FLOAT_EQ(RiCatmullRomFilter(1.5f, 0, 4, 4), -0.125f);
    EXPECT_EQ(RiCatmullRomFilter(2, 0.1f, 4, 4), 0);

    // Sinc: 1 at the centre, sin(pi r) / (pi r) out to radius 2.
    EXPECT_EQ(RiSincFilter(0, 0.00005f, 4, 4), 1);
    EXPECT_FLOAT_EQ(RiSincFilter(0.5f, 0, 4, 4), static_cast<float>(2 / M_PI));
    EXPECT_NEAR(RiSincFilter(0, 1, 4, 4), 0, 1e-6);
    EXPECT_EQ(RiSincFilter(2.1f, 0, 4, 4), 0);
}
