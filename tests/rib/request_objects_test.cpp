// Solid and object blocks, motion blocks and texture making.
#include "tests/rib/request_capture.h"

using namespace request_test;

TEST(ObjectRequests, HandlesBlocksMotionAndTextures) {
    std::vector<RtObjectHandle> handles;
    RtFloat times[] = {0, 0.5f};
    RtFloat bias = 0.25f;
    RtString resize = "up";
    RtToken tokens[] = {"bias0", "resize"};
    RtPointer values[] = {&bias, &resize};
    std::string text = rib([&](RibWriter& w) {
        w.ObjectInstance(7);  // handles are not tested
        w.SolidEnd();         // nor are blocks paired
        handles.push_back(w.ObjectBegin());
        w.SolidBegin("union");
        w.SolidEnd();
        w.ObjectEnd();
        handles.push_back(w.ObjectBegin());
        w.ObjectEnd();
        w.ObjectInstance(2);
        w.ObjectInstance(1);
        w.MotionBeginV(2, times);
        w.MotionEnd();
        w.MotionBeginV(0, nullptr);
        w.MotionEnd();
        w.MakeShadowV("depth.z", "shadow.tx", 0, nullptr, nullptr);
        w.MakeShadowV("depth.z", "shadow.tx", 2, tokens, values);
        w.MakeTextureV("a", "b", "periodic", "periodic", RiSincFilter, 3, 3, 1, tokens, values);
        w.MakeLatLongEnvironmentV("a", "b", RiTriangleFilter, 2, 2, 1, tokens + 1, values + 1);
        w.MakeCubeFaceEnvironmentV("1", "2", "3", "4", "5", "6", "t", 95.5f, RiGaussianFilter, 2, 2,
                                   1, tokens, values);
    });
    EXPECT_EQ(handles, (std::vector<RtObjectHandle>{1, 2}));
    EXPECT_EQ(text, R"(ObjectInstance 7
SolidEnd
ObjectBegin 1
SolidBegin "union"
SolidEnd
ObjectEnd
ObjectBegin 2
ObjectEnd
ObjectInstance 2
ObjectInstance 1
MotionBegin [0 0.5]
MotionEnd
MotionBegin []
MotionEnd
MakeShadow "depth.z" "shadow.tx"
MakeShadow "depth.z" "shadow.tx" "bias0" [0.25] "resize" ["up"]
MakeTexture "a" "b" "periodic" "periodic" "sinc" 3 3 "bias0" [0.25]
MakeLatLongEnvironment "a" "b" "triangle" 2 2 "resize" ["up"]
MakeCubeFaceEnvironment "1" "2" "3" "4" "5" "6" "t" 95.5 "gaussian" 2 2 "bias0" [0.25]
)");
    EXPECT_EQ(binaryRib([&](RibWriter& w) { w.MotionBeginV(2, times); }),
              "MotionBegin " + binaryArray({0, 0.5f}) + "\n");
}
