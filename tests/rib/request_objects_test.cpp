// Solid and object blocks, motion blocks and texture making.
#include "tests/rib/request_capture.h"

using namespace request_test;

TEST(ObjectRequests, HandlesAndBlocks) {
    std::vector<RtObjectHandle> handles;
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
    });
    EXPECT_EQ(handles, (std::vector<RtObjectHandle>{1, 2}));
    EXPECT_EQ(text,
              "ObjectInstance 7\n"
              "SolidEnd\n"
              "ObjectBegin 1\n"
              "SolidBegin \"union\"\n"
              "SolidEnd\n"
              "ObjectEnd\n"
              "ObjectBegin 2\n"
              "ObjectEnd\n"
              "ObjectInstance 2\n"
              "ObjectInstance 1\n");
}

TEST(MotionRequests, TimesFollowTheEncoding) {
    RtFloat times[] = {0, 0.5f};
    EXPECT_EQ(rib([&](RibWriter& w) {
                  w.MotionBeginV(2, times);
                  w.MotionEnd();
                  w.MotionBeginV(0, nullptr);
                  w.MotionEnd();
              }),
              "MotionBegin [0 0.5]\nMotionEnd\nMotionBegin []\nMotionEnd\n");
    EXPECT_EQ(binaryRib([&](RibWriter& w) {
                  w.MotionBeginV(2, times);
                  w.MotionEnd();
              }),
              "MotionBegin " + binaryArray({0, 0.5f}) + "\nMotionEnd\n");
}

TEST(TextureRequests, LinesAndParameterLists) {
    RtFloat bias = 0.25f;
    RtString resize = "up";
    RtToken tokens[] = {"bias0", "resize"};
    RtPointer values[] = {&bias, &resize};
    std::string text = rib([&](RibWriter& w) {
        w.MakeShadowV("depth.z", "shadow.tx", 0, nullptr, nullptr);
        w.MakeShadowV("depth.z", "shadow.tx", 2, tokens, values);
        w.MakeTextureV("a", "b", "periodic", "periodic", RiSincFilter, 3, 3, 1, tokens, values);
        w.MakeLatLongEnvironmentV("a", "b", RiTriangleFilter, 2, 2, 1, tokens + 1, values + 1);
        w.MakeCubeFaceEnvironmentV("1", "2", "3", "4", "5", "6", "t", 95.5f, RiGaussianFilter, 2, 2,
                                   1, tokens, values);
    });
    EXPECT_EQ(text,
              "MakeShadow \"depth.z\" \"shadow.tx\"\n"
              "MakeShadow \"depth.z\" \"shadow.tx\" \"bias0\" [0.25] \"resize\" [\"up\"]\n"
              "MakeTexture \"a\" \"b\" \"periodic\" \"periodic\" \"sinc\" 3 3 \"bias0\" [0.25]\n"
              "MakeLatLongEnvironment \"a\" \"b\" \"triangle\" 2 2 \"resize\" [\"up\"]\n"
              "MakeCubeFaceEnvironment \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"t\" 95.5 "
              "\"gaussian\" 2 2 \"bias0\" [0.25]\n");
}
