// Several writers in one program: what one is told never shows in another's
// stream, the C binding's handles are checked, and impossible input is
// reported instead of written.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using request_test::kHeader;
using Calls = std::vector<std::function<void(RibWriter&)>>;

namespace {

// Room for the most values a request here takes: "P" of the 7 by 4 mesh.
RtFloat gValues[84] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

void surface(RibWriter& w, RtToken token) {
    RtToken tokens[] = {token};
    RtPointer values[] = {gValues};
    w.SurfaceV("s", 1, tokens, values);
}

void patch(RibWriter& w) {
    RtToken tokens[] = {"P", "Cs"};
    RtPointer values[] = {gValues, gValues};
    w.PatchMeshV("bicubic", 7, "nonperiodic", 4, "nonperiodic", 2, tokens, values);
}

// Each writer's own requests: declarations that clash with the other's,
// colour samples and basis steps that change its value counts.
Calls firstCalls() {
    return {
        [](RibWriter& w) { w.Declare("Kd", "color"); },
        [](RibWriter& w) { surface(w, "Kd"); },
        [](RibWriter& w) {
            RtFloat nRGB[6] = {1, 0, 0, 0, 1, 0};
            w.ColorSamples(2, nRGB, nRGB);
        },
        [](RibWriter& w) { surface(w, "Kd"); },
        [](RibWriter& w) { w.Basis(RiBezierBasis, 3, RiBSplineBasis, 1); },
        [](RibWriter& w) { patch(w); },
        [](RibWriter& w) { w.Declare("k", "float"); },
        [](RibWriter& w) { surface(w, "k"); },
    };
}

Calls secondCalls() {
    return {
        [](RibWriter& w) { surface(w, "Kd"); },
        [](RibWriter& w) { w.Declare("k", "color"); },
        [](RibWriter& w) { w.Basis(RiCatmullRomBasis, 1, RiBezierBasis, 3); },
        [](RibWriter& w) { surface(w, "k"); },
        [](RibWriter& w) { patch(w); },
        [](RibWriter& w) { w.Declare("Kd", "uniform float[2]"); },
        [](RibWriter& w) { surface(w, "Kd"); },
        [](RibWriter& w) { surface(w, "k"); },
    };
}

std::string alone(const Calls& calls) {
    return request_test::rib([&](RibWriter& w) {
        for (const auto& call : calls) call(w);
    });
}

}  // namespace

TEST(WritersTogether, InterleavedWritersEachWriteWhatTheyWriteAlone) {
    std::string firstAlone = alone(firstCalls()), secondAlone = alone(secondCalls());
    // Made before and after the other writer exists, and with a third one
    // created and destroyed in between, which once re-declared the standard
    // names under the first writer's feet.
    std::string firstPath = tempPath("together_a"), secondPath = tempPath("together_b");
    Calls first = firstCalls(), second = secondCalls();
    RibWriter* a = createRibWriter(firstPath.c_str());
    first[0](*a);
    RibWriter* b = createRibWriter(secondPath.c_str());
    delete createRibWriter(tempPath("together_c").c_str());
    for (size_t i = 0; i < first.size(); ++i) {
        if (i > 0) first[i](*a);
        second[i](*b);
    }
    delete a;
    delete b;
    EXPECT_EQ(readFile(firstPath), kHeader + firstAlone + "\n");
    EXPECT_EQ(readFile(secondPath), kHeader + secondAlone + "\n");
    // And what they write alone is what each was told, nothing more.
    std::string firstStart = "Declare \"Kd\" \"color\"\nSurface \"s\" \"Kd\" [1 2 3]\n";
    std::string secondStart = "Surface \"s\" \"Kd\" [1]\n";
    EXPECT_EQ(firstAlone.substr(0, firstStart.size()), firstStart);
    EXPECT_EQ(secondAlone.substr(0, secondStart.size()), secondStart);
    std::remove(firstPath.c_str());
    std::remove(secondPath.c_str());
}

// Through the C binding: context B's declaration once made context A read
// three floats from a one-float array.
TEST(WritersTogether, ContextsThroughTheBindingKeepTheirOwnDeclarations) {
    std::string firstPath = tempPath("binding_a"), secondPath = tempPath("binding_b");
    RtFloat one = 0.5f;
    RtContextHandle a = RiBegin(firstPath.c_str());
    RiDeclare("k", "float");
    RtContextHandle b = RiBegin(secondPath.c_str());
    RiDeclare("k", "color");
    RiContext(a);
    RiSurface("s", "k", &one, RI_NULL);
    RiEnd();
    RiContext(b);
    RtFloat three[3] = {1, 2, 3};
    RiSurface("s", "k", three, RI_NULL);
    RiEnd();
    EXPECT_EQ(readFile(firstPath),
              kHeader + "Declare \"k\" \"float\"\nSurface \"s\" \"k\" [0.5]\n\n");
    EXPECT_EQ(readFile(secondPath),
              kHeader + "Declare \"k\" \"color\"\nSurface \"s\" \"k\" [1 2 3]\n\n");
    std::remove(firstPath.c_str());
    std::remove(secondPath.c_str());
}

TEST(WritersTogether, DeadHandlesAreReportedAndChangeNothing) {
    auto r = runInChild([] {
        RtContextHandle a = RiBegin("/dev/null");
        RtContextHandle b = RiBegin("/dev/null");
        RiContext(a);
        RiEnd();
        std::printf("after end: %d\n", RiGetContext() == nullptr);
        RiContext(b);
        RiContext(a);  // ended: refused, b stays current
        std::printf("dead refused: %d %d\n", RiGetContext() == b, RiLastError);
        RenderInterface* made_up = reinterpret_cast<RenderInterface*>(&a);
        RiContext(made_up);
        std::printf("made-up refused: %d\n", RiGetContext() == b);
        RiContext(nullptr);  // no renderer at all is a choice
        std::printf("none: %d\n", RiGetContext() == nullptr);
        RiContext(b);
        RiEnd();
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "after end: 1\ndead refused: 1 44\nmade-up refused: 1\nnone: 1\n");
    EXPECT_EQ(r.err, "ERROR: Bad handle\n    --> RiContext\n");
}

TEST(WritersTogether, ProceduralFreeFunctionOfTheBinding) {
    // The customary DelayedReadArchive call compiles and links, and RiProcFree
    // frees what malloc gave.
    char** args = static_cast<char**>(std::malloc(sizeof(char*)));
    args[0] = const_cast<char*>("tree.rib");
    RtBound bound = {-1, 1, -1, 1, -1, 1};
    std::string text = request_test::rib([&](RibWriter& w) {
        RtContextHandle before = RiGetContext();
        RiContext(&w);
        RiProcedural(args, bound, RiProcDelayedReadArchive, RiProcFree);
        RiContext(before);
    });
    EXPECT_EQ(text, "Procedural \"DelayedReadArchive\" [\"tree.rib\"] [-1 1 -1 1 -1 1]\n");
    RiProcFree(args);
    RiProcFree(nullptr);
}

// Impossible input is reported with its code and left out, so that what is
// written stays readable.
TEST(ImpossibleInput, IsReportedAndLeftOut) {
    RtFloat rgb[6] = {1, 0, 0, 0, 1, 0};
    RtFloat v[3] = {1, 2, 3};
    RtToken kd[] = {"Kd"};
    RtPointer kdValue[] = {v};
    RtInt negative[] = {3, -1}, three[] = {3};
    std::vector<RtInt> codes;
    std::string text;
    std::string err = captureStderr([&] {
        text = request_test::rib([&](RibWriter& w) {
            w.ColorSamples(0, rgb, rgb);
            w.ColorSamples(-2, rgb, rgb);
            codes.push_back(w.lastError);
            w.Declare("x", "");
            codes.push_back(w.lastError);
            w.Declare("two words", "float");
            w.Declare("", "float");
            codes.push_back(w.lastError);
            w.Declare("y", "varying");
            w.GeneralPolygonV(2, negative, 0, nullptr, nullptr);
            w.CurvesV("linear", -1, three, "nonperiodic", 0, nullptr, nullptr);
            w.SurfaceV("s", 1, kd, kdValue);  // the colour size is still 3
        });
    });
    EXPECT_EQ(text, "Surface \"s\" \"Kd\" [1]\n");
    EXPECT_EQ(codes, (std::vector<RtInt>{RIE_RANGE, RIE_SYNTAX, RIE_BADTOKEN}));
    EXPECT_EQ(err,
              "ERROR: Parameter out of range\n    --> ColorSamples: n of 0\n"
              "ERROR: Parameter out of range\n    --> ColorSamples: n of -2\n"
              "ERROR: Syntax error\n    --> Declare \"x\": no type in \"\"\n"
              "ERROR: Invalid token\n    --> Declare: not a parameter name: \"two words\"\n"
              "ERROR: Invalid token\n    --> Declare: not a parameter name: \"\"\n"
              "ERROR: Syntax error\n    --> Declare \"y\": no type in \"varying\"\n"
              "ERROR: Parameter out of range\n    --> GeneralPolygon: nvertices[1] of -1\n"
              "ERROR: Parameter out of range\n    --> Curves: ncurves of -1\n");
}
