// The request interface: variable-argument forms, the current renderer and
// the plain option functions.
#include "rib/ri.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using request_test::rib;

namespace {

// Records what reaches some of the vector forms.
struct SpyWriter : RibWriter {
    SpyWriter() : RibWriter(tempPath("spy").c_str(), RI_NULL) {}
    ~SpyWriter() override { std::remove(targetName); }

    void SurfaceV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override {
        record("SurfaceV", name, n, tokens, values);
    }
    void GeometryV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override {
        record("GeometryV", type, n, tokens, values);
    }
    void OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override {
        record("OptionV", name, n, tokens, values);
    }
    void ProjectionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) override {
        record("ProjectionV", name, n, tokens, values);
    }
    void HiderV(RtToken type, RtInt n, RtToken tokens[], RtPointer values[]) override {
        record("HiderV", type, n, tokens, values);
    }
    void DisplayV(RtString name, RtToken type, RtToken, RtInt n, RtToken tokens[],
                  RtPointer values[]) override {
        record("DisplayV", name, n, tokens, values);
        last.fixed += std::string(" ") + type;
    }
    void Format(RtInt x, RtInt y, RtFloat aspect) override {
        start("Format", std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(aspect));
    }
    void MotionBeginV(RtInt n, RtFloat times[]) override {
        start("MotionBeginV", "");
        last.n = n;
        for (RtInt i = 0; i < n; ++i) last.times.push_back(times[i]);
    }

    struct Call {
        std::string operation, fixed;
        RtInt n = -1;
        std::vector<RtToken> tokens;
        std::vector<RtPointer> values;
        std::vector<RtFloat> times;
    };
    void start(const std::string& operation, const std::string& fixed) {
        last = Call();
        last.operation = operation;
        last.fixed = fixed;
    }
    void record(const char* operation, RtToken fixed, RtInt n, RtToken tokens[],
                RtPointer values[]) {
        start(operation, fixed ? fixed : "<null>");
        last.n = n;
        last.tokens.assign(tokens, tokens + n);
        last.values.assign(values, values + n);
    }
    Call last;
};

RtFloat kd = 0.5f;

#define PAIR "Kd", &kd,
#define PAIRS10 PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR PAIR
#define PAIRS100 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10 PAIRS10
#define TIMES10 0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0
#define TIMES50 TIMES10, TIMES10, TIMES10, TIMES10, TIMES10

}  // namespace

TEST(VariableForms, PairsAreCollectedUpToFiveHundredAndTwelve) {
    SpyWriter spy;
    spy.Surface("plastic", PAIRS100 PAIRS100 PAIRS100 PAIRS100 PAIRS100 PAIRS100 RI_NULL);
    EXPECT_EQ(spy.last.operation, "SurfaceV");
    EXPECT_EQ(spy.last.fixed, "plastic");
    ASSERT_EQ(spy.last.n, 512);
    for (int i = 0; i < 512; ++i) {
        ASSERT_STREQ(spy.last.tokens[i], "Kd");
        ASSERT_EQ(spy.last.values[i], &kd);
    }
    spy.Geometry("teapot", RI_NULL);
    EXPECT_EQ(spy.last.operation, "GeometryV");
    EXPECT_EQ(spy.last.fixed, "teapot");
    EXPECT_EQ(spy.last.n, 0);
}

TEST(VariableForms, MotionBeginConvertsAnyNumberOfTimes) {
    SpyWriter spy;
    spy.MotionBegin(2, 0.0, 1.0);
    EXPECT_EQ(spy.last.n, 2);
    EXPECT_EQ(spy.last.times, (std::vector<RtFloat>{0.0f, 1.0f}));
    spy.MotionBegin(3, 0.1f, 0.5f, 1e-3);  // floats widen through "..."
    EXPECT_EQ(spy.last.times, (std::vector<RtFloat>{0.1f, 0.5f, 1e-3f}));
    spy.MotionBegin(150, TIMES50, TIMES50, TIMES50);
    ASSERT_EQ(spy.last.times.size(), 150u);
    EXPECT_EQ(spy.last.times[149], 9.0f);
    EXPECT_EQ(spy.last.times[140], 0.0f);
    spy.MotionBegin(0);
    EXPECT_EQ(spy.last.n, 0);
    spy.MotionBegin(-4);
    EXPECT_EQ(spy.last.n, -4);
}

// Every variable form writes exactly what its vector form writes with the same
// arguments and pairs.
TEST(VariableForms, EveryVariableFormReachesItsVectorForm) {
    RtToken tokens[] = {"constantwidth"};  // one value for every primitive
    RtPointer values[] = {&kd};
    RtPoint p1 = {0, 0, 1}, p2 = {1, 1, 1};
    RtInt nv[] = {4}, vi[] = {0, 1, 2, 3}, loops[] = {1}, code[] = {1000, 0}, ntag[] = {0, 0};
    RtFloat knots[] = {0, 0, 0, 0, 1, 1, 1, 1}, flt[] = {1};
    RtToken tags[] = {"hole"};
    RtString strs[] = {"s"};
    using Call = std::function<void(RibWriter&)>;
    std::vector<std::pair<Call, Call>> forms = {
        {[&](RibWriter& w) { w.Projection("perspective", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ProjectionV("perspective", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Display("f", "file", "rgb", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.DisplayV("f", "file", "rgb", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Hider("hidden", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.HiderV("hidden", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Option("limits", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.OptionV("limits", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Attribute("identifier", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.AttributeV("identifier", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Surface("matte", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.SurfaceV("matte", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Displacement("bumpy", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.DisplacementV("bumpy", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Atmosphere("fog", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.AtmosphereV("fog", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Interior("water", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.InteriorV("water", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Exterior("air", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ExteriorV("air", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Imager("bg", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ImagerV("bg", 1, tokens, values); }},
        {[&](RibWriter& w) { w.WriteInt(w.LightSource("spot", "constantwidth", &kd, RI_NULL)); },
         [&](RibWriter& w) { w.WriteInt(w.LightSourceV("spot", 1, tokens, values)); }},
        {[&](RibWriter& w) {
             w.WriteInt(w.AreaLightSource("area", "constantwidth", &kd, RI_NULL));
         },
         [&](RibWriter& w) { w.WriteInt(w.AreaLightSourceV("area", 1, tokens, values)); }},
        {[&](RibWriter& w) { w.Cone(1, 2, 3, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ConeV(1, 2, 3, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Cylinder(1, 2, 3, 4, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.CylinderV(1, 2, 3, 4, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Disk(1, 2, 3, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.DiskV(1, 2, 3, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Hyperboloid(p1, p2, 360, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.HyperboloidV(p1, p2, 360, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Paraboloid(1, 2, 3, 4, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ParaboloidV(1, 2, 3, 4, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Sphere(1, -1, 1, 360, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.SphereV(1, -1, 1, 360, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Torus(1, 2, 3, 4, 5, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.TorusV(1, 2, 3, 4, 5, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Polygon(4, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.PolygonV(4, 1, tokens, values); }},
        {[&](RibWriter& w) { w.GeneralPolygon(1, nv, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.GeneralPolygonV(1, nv, 1, tokens, values); }},
        {[&](RibWriter& w) { w.PointsPolygons(1, nv, vi, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.PointsPolygonsV(1, nv, vi, 1, tokens, values); }},
        {[&](RibWriter& w) {
             w.PointsGeneralPolygons(1, loops, nv, vi, "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) { w.PointsGeneralPolygonsV(1, loops, nv, vi, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Patch("bilinear", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.PatchV("bilinear", 1, tokens, values); }},
        {[&](RibWriter& w) {
             w.PatchMesh("bicubic", 4, "nonperiodic", 4, "periodic", "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) {
             w.PatchMeshV("bicubic", 4, "nonperiodic", 4, "periodic", 1, tokens, values);
         }},
        {[&](RibWriter& w) {
             w.NuPatch(4, 4, knots, 0, 1, 4, 4, knots, 0, 1, "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) {
             w.NuPatchV(4, 4, knots, 0, 1, 4, 4, knots, 0, 1, 1, tokens, values);
         }},
        {[&](RibWriter& w) {
             w.Curves("linear", 1, nv, "nonperiodic", "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) { w.CurvesV("linear", 1, nv, "nonperiodic", 1, tokens, values); }},
        {[&](RibWriter& w) { w.Points(3, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.PointsV(3, 1, tokens, values); }},
        {[&](RibWriter& w) {
             w.SubdivisionMesh("catmull-clark", 1, nv, vi, 1, tags, ntag, nullptr, nullptr,
                               "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) {
             w.SubdivisionMeshV("catmull-clark", 1, nv, vi, 1, tags, ntag, nullptr, nullptr, 1,
                                tokens, values);
         }},
        {[&](RibWriter& w) {
             w.Blobby(1, 2, code, 1, flt, 0, strs, "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) { w.BlobbyV(1, 2, code, 1, flt, 0, strs, 1, tokens, values); }},
        {[&](RibWriter& w) { w.Geometry("teapot", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.GeometryV("teapot", 1, tokens, values); }},
        {[&](RibWriter& w) {
             w.MakeTexture("a.tif", "a.tx", "periodic", "clamp", RiBoxFilter, 2, 3, "constantwidth",
                           &kd, RI_NULL);
         },
         [&](RibWriter& w) {
             w.MakeTextureV("a.tif", "a.tx", "periodic", "clamp", RiBoxFilter, 2, 3, 1, tokens,
                            values);
         }},
        {[&](RibWriter& w) {
             w.MakeLatLongEnvironment("a.tif", "a.env", RiSincFilter, 2, 3, "constantwidth", &kd,
                                      RI_NULL);
         },
         [&](RibWriter& w) {
             w.MakeLatLongEnvironmentV("a.tif", "a.env", RiSincFilter, 2, 3, 1, tokens, values);
         }},
        {[&](RibWriter& w) {
             w.MakeCubeFaceEnvironment("px", "nx", "py", "ny", "pz", "nz", "c.env", 90,
                                       RiGaussianFilter, 2, 3, "constantwidth", &kd, RI_NULL);
         },
         [&](RibWriter& w) {
             w.MakeCubeFaceEnvironmentV("px", "nx", "py", "ny", "pz", "nz", "c.env", 90,
                                        RiGaussianFilter, 2, 3, 1, tokens, values);
         }},
        {[&](RibWriter& w) { w.MakeShadow("d.zfile", "s.shd", "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.MakeShadowV("d.zfile", "s.shd", 1, tokens, values); }},
        {[&](RibWriter& w) { w.ReadArchive("a.rib", nullptr, "constantwidth", &kd, RI_NULL); },
         [&](RibWriter& w) { w.ReadArchiveV("a.rib", nullptr, 1, tokens, values); }},
    };
    ASSERT_EQ(forms.size(), 37u);
    for (size_t i = 0; i < forms.size(); ++i) {
        std::string variable = rib(forms[i].first);
        EXPECT_EQ(variable, rib(forms[i].second)) << "form " << i;
        EXPECT_FALSE(variable.empty()) << "form " << i;
    }
}

TEST(PlainFunctions, ForwardToTheCurrentRenderer) {
    auto r = runInChild([] {
        SpyWriter spy;
        RenderInterface* created = createRibWriter(spy.targetName);
        if (currentRenderer != nullptr) std::exit(2);  // createRibWriter leaves it alone
        delete created;
        currentRenderer = &spy;
        RiFormat(640, 480, 1.5f);
        std::printf("%s %s\n", spy.last.operation.c_str(), spy.last.fixed.c_str());
        RiProjection("perspective", "fov", &kd, RI_NULL);
        std::printf("%s %s %d\n", spy.last.operation.c_str(), spy.last.fixed.c_str(), spy.last.n);
        RiDisplay("out.tif", "file", "rgba", "Kd", &kd, "Kd", &kd, RI_NULL);
        std::printf("%s %s %d\n", spy.last.operation.c_str(), spy.last.fixed.c_str(), spy.last.n);
        RiHider("hidden", RI_NULL);
        std::printf("%s %s %d\n", spy.last.operation.c_str(), spy.last.fixed.c_str(), spy.last.n);
        RiOption("limits", "Kd", &kd, RI_NULL);
        std::printf("%s %s %d\n", spy.last.operation.c_str(), spy.last.fixed.c_str(), spy.last.n);
        RtToken tokens[] = {"Kd"};
        RtPointer values[] = {&kd};
        RiOptionV("searchpath", 1, tokens, values);
        std::printf("%s %s %d\n", spy.last.operation.c_str(), spy.last.fixed.c_str(), spy.last.n);
        currentRenderer = nullptr;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Format 640 480 1.500000\n"
              "ProjectionV perspective 1\n"
              "DisplayV out.tif file 2\n"
              "HiderV hidden 0\n"
              "OptionV limits 1\n"
              "OptionV searchpath 1\n");
}

TEST(PlainFunctions, WithoutARendererEachReportsItsNameAndEndsTheProcess) {
    RtToken tokens[] = {"Kd"};
    RtPointer values[] = {&kd};
    RtFloat rgb[] = {1, 0, 0};
    std::vector<std::pair<std::string, std::function<void()>>> calls = {
        {"RiFormat", [] { RiFormat(640, 480, 1.0f); }},
        {"RiFrameAspectRatio", [] { RiFrameAspectRatio(1); }},
        {"RiScreenWindow", [] { RiScreenWindow(-1, 1, -1, 1); }},
        {"RiCropWindow", [] { RiCropWindow(0, 1, 0, 1); }},
        {"RiProjection", [] { RiProjection("perspective", RI_NULL); }},
        {"RiProjectionV", [&] { RiProjectionV("perspective", 1, tokens, values); }},
        {"RiClipping", [] { RiClipping(0.1f, 100); }},
        {"RiDepthOfField", [] { RiDepthOfField(8, 1, 2); }},
        {"RiShutter", [] { RiShutter(0, 1); }},
        {"RiPixelVariance", [] { RiPixelVariance(0.1f); }},
        {"RiPixelSamples", [] { RiPixelSamples(2, 2); }},
        {"RiPixelFilter", [] { RiPixelFilter(RiGaussianFilter, 2, 2); }},
        {"RiExposure", [] { RiExposure(1, 2.2f); }},
        {"RiQuantize", [] { RiQuantize("rgba", 255, 0, 255, 0.5f); }},
        {"RiDisplay", [] { RiDisplay("out.tif", "file", "rgb", RI_NULL); }},
        {"RiDisplayV", [&] { RiDisplayV("out.tif", "file", "rgb", 1, tokens, values); }},
        {"RiHider", [] { RiHider("hidden", RI_NULL); }},
        {"RiHiderV", [&] { RiHiderV("hidden", 1, tokens, values); }},
        {"RiColorSamples", [&] { RiColorSamples(3, rgb, rgb); }},
        {"RiRelativeDetail", [] { RiRelativeDetail(1); }},
        {"RiOption", [] { RiOption("Rib", "format", &kd, RI_NULL); }},
        {"RiOptionV", [&] { RiOptionV("ribs", 1, tokens, values); }},
    };
    for (const auto& call : calls) {
        auto r = runInChild([&] {
            call.second();
            std::printf("returned\n");
        });
        EXPECT_EQ(r.status, 255) << call.first;
        EXPECT_EQ(r.out, "") << call.first;
        EXPECT_EQ(r.err, "SEVERE ERROR: RiBegin not called\n    --> " + call.first + "\n");
    }
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
