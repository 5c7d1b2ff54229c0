// The variable-argument forms and the "rib" options of the plain functions.
#include "rib/ri.h"

#include <string>

#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using request_test::rib;

namespace {

RtFloat kd = 0.5f;

#define PAIR "Kd", &kd,
#define PAIRS10 PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR
#define PAIRS100 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10
#define TIMES10 0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0
#define TIMES50 TIMES10, TIMES10, TIMES10, TIMES10, TIMES10

std::string repeated(const std::string& text, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += text;
    return s;
}

}  // namespace

TEST(VariableForms, PairsAreCollectedUpToFiveHundredAndTwelve) {
    EXPECT_EQ(rib([](RibWriter& w) {
                  w.Surface("plastic",
                            PAIRS100 PAIRS100 PAIRS100 PAIRS100 PAIRS100 PAIRS100 RI_NULL);
                  w.Geometry("teapot", RI_NULL);
              }),
              "Surface \"plastic\"" + repeated(" \"Kd\" [0.5]", 512) + "\nGeometry \"teapot\"\n");
}

TEST(VariableForms, MotionBeginConvertsAnyNumberOfTimes) {
    EXPECT_EQ(rib([](RibWriter& w) {
                  w.MotionBegin(2, 0.0, 1.0);
                  w.MotionBegin(3, 0.1f, 0.5f, 1e-3);  // floats widen through "..."
                  w.MotionBegin(150, TIMES50, TIMES50, TIMES50);
                  w.MotionBegin(0);
                  w.MotionBegin(-4);
              }),
              "MotionBegin [0 1]\nMotionBegin [0.1 0.5 0.001]\nMotionBegin [" +
                  repeated("0 1 2 3 4 5 6 7 8 9 ", 14) + "0 1 2 3 4 5 6 7 8 9]\n" +
                  "MotionBegin []\n");
}

TEST(PlainFunctions, RibOptionsNeedNoRendererAndReachLaterWriters) {
    std::string path = tempPath("ribopt");
    auto r = runInChild([&] {
        const char* binary = "binary";
        const char* ascii = "ascii";
        const char* gzip = "gzip";
        int zero = 0;
        RiOption("rib", "format", &binary, RI_NULL);
        std::printf("%d %d\n", ribBinaryFormat, ribGzipCompression);
        RibWriter* first = RiBegin(path.c_str());
        std::printf("%d %d\n", first->binaryOutput, currentRenderer == first);
        RiOption("RIB", "format", &ascii, "compression", &gzip, "ignored", &zero, RI_NULL);
        std::printf("%d %d %d\n", ribBinaryFormat, ribGzipCompression, first->binaryOutput);
        RtToken tokens[] = {"format", "binary"};
        RtPointer values[] = {&binary, &zero};
        RiOptionV("rib", 2, tokens, values);  // later pairs win
        std::printf("%d\n", ribBinaryFormat);
        RibWriter* second = RiBegin(path.c_str());
        std::printf("%d %d\n", second->binaryOutput, currentRenderer == second);
        delete first;
        applyRibOptions("Rib", 1, tokens, values);  // not a rib option
        std::printf("%d\n", ribBinaryFormat);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "1 0\n1 1\n0 1 1\n0\n0 1\n0\n");
    std::remove(path.c_str());
}
