// The C binding: every plain function against its member and every variable
// form against its vector form, the context functions, RiEnd, and the
// requests added to the interface later.
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "rib/ri.h"
#include "rib/ribreader.h"
#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/ribreader.h"

using request_test::binaryArray;
using request_test::rib;

namespace {

RtFloat kd = 0.5f;
RtToken tokens[] = {"constantwidth"};  // one value for every primitive
RtPointer values[] = {&kd};
RtPoint p1 = {0, 0, 1}, p2 = {1, 1, 1};
RtPoint points[] = {{1, 2, 3}, {4, 5, 6}};
RtColor rgb = {1, 0.5f, 0.25f};
RtBound box = {-1, 1, -2, 2, -3, 3};
RtMatrix m = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
RtInt nv[] = {4}, vi[] = {0, 1, 2, 3}, loops[] = {1}, code[] = {1000, 0}, ntag[] = {0, 0};
RtFloat knots[] = {0, 0, 0, 0, 1, 1, 1, 1}, flt[] = {1}, times[] = {0, 1};
RtFloat nRGB[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
RtInt order[] = {2}, nknots[] = {2};
RtFloat trimKnots[] = {0, 0, 1, 1}, tmin[] = {0}, tmax[] = {1}, u[] = {0, 1}, v[] = {0, 1},
        w[] = {1, 1};
RtToken tags[] = {"hole"};
RtString strs[] = {"s"};

// A request's result, written into the stream as a comment so that the
// comparison covers it.
void note(RenderInterface& r, RtInt result) {
    r.ArchiveRecord("comment", "result %d", result);
}
void note(RenderInterface& r, RtToken result) {
    r.ArchiveRecord("comment", "result %s", result);
}
void note(RenderInterface& r, RtPoint* result) {
    r.ArchiveRecord("comment", "result %s", result == points ? "points" : result ? "?" : "null");
}

void memberRecordV(RenderInterface& r, RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    r.ArchiveRecordV(type, format, args);
    va_end(args);
}
void plainRecordV(RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    RiArchiveRecordV(type, format, args);
    va_end(args);
}

struct Request {
    const char* name;
    std::function<void(RenderInterface&)> member;
    std::function<void()> plain;
};

// The member call and the plain call, with the same arguments.
#define SAME(name, args) \
    Request { #name, [](RenderInterface& r) { r.name args; }, [] { Ri##name args; } }
#define SAME_RESULT(name, args)                                      \
    Request {                                                        \
        #name, [](RenderInterface& r) { note(r, r.name args); },     \
            [] { note(*currentRenderer, Ri##name args); }            \
    }

// A variable form and its vector form with the same arguments and pair; the
// two must write the same.
#define FORMS(name, ...)                                     \
    SAME(name, (__VA_ARGS__ "constantwidth", &kd, RI_NULL)), \
        SAME(name##V, (__VA_ARGS__ 1, tokens, values))
#define FORMS_RESULT(name, ...)                                     \
    SAME_RESULT(name, (__VA_ARGS__ "constantwidth", &kd, RI_NULL)), \
        SAME_RESULT(name##V, (__VA_ARGS__ 1, tokens, values))

const std::vector<Request> requests = {
    SAME(FrameBegin, (7)),
    SAME(FrameEnd, ()),
    SAME(WorldBegin, ()),
    SAME(WorldEnd, ()),
    SAME(Format, (640, 480, 1.5f)),
    SAME(FrameAspectRatio, (1.25f)),
    SAME(ScreenWindow, (-1, 1, -0.75f, 0.75f)),
    SAME(CropWindow, (0, 0.5f, 0.25f, 1)),
    FORMS(Projection, "perspective", ),
    SAME(Clipping, (0.1f, 1000)),
    SAME(ClippingPlane, (0, 0, 1, 0, 0, -1)),
    SAME(DepthOfField, (8, 1, 2)),
    SAME(Shutter, (0, 1)),
    SAME(PixelVariance, (0.01f)),
    SAME(PixelSamples, (2, 3)),
    SAME(PixelFilter, (RiCatmullRomFilter, 4, 4)),
    SAME(Exposure, (1, 2.2f)),
    SAME(Quantize, ("rgba", 255, 0, 255, 0.5f)),
    FORMS(Display, "out.tif", "file", "rgba", ),
    FORMS(Hider, "hidden", ),
    SAME(ColorSamples, (3, nRGB, nRGB)),
    SAME(RelativeDetail, (0.5f)),
    FORMS(Option, "limits", ),
    SAME(AttributeBegin, ()),
    SAME(AttributeEnd, ()),
    SAME(Color, (rgb)),
    SAME(Opacity, (rgb)),
    SAME(TextureCoordinates, (0, 0, 1, 0, 0, 1, 1, 1)),
    SAME(ShadingRate, (0.25f)),
    SAME(ShadingInterpolation, ("smooth")),
    SAME(Matte, (1)),
    SAME(Bound, (box)),
    SAME(Detail, (box)),
    SAME(DetailRange, (0, 1, 10, 20)),
    SAME(GeometricApproximation, ("flatness", 0.5f)),
    SAME(GeometricRepresentation, ("lines")),
    SAME(Sides, (2)),
    SAME(Orientation, ("rh")),
    SAME(ReverseOrientation, ()),
    FORMS(Attribute, "identifier", ),
    SAME(Identity, ()),
    SAME(ConcatTransform, (m)),
    SAME(Transform, (m)),
    SAME(Perspective, (45)),
    SAME(Translate, (1, 2, 3)),
    SAME(Rotate, (90, 0, 1, 0)),
    SAME(Scale, (1, 2, 3)),
    SAME(Skew, (45, 0, 1, 0, 1, 0, 0)),
    FORMS(Deformation, "twist", ),
    SAME(CoordinateSystem, ("lamp")),
    SAME(CoordSysTransform, ("lamp")),
    SAME_RESULT(TransformPoints, ("world", "camera", 2, points)),
    SAME(TransformBegin, ()),
    SAME(TransformEnd, ()),
    SAME(MotionBegin, (2, 0.0, 1.0)),
    SAME(MotionBeginV, (2, times)),
    SAME(MotionEnd, ()),
    FORMS(Surface, "plastic", ),
    FORMS(Displacement, "bumpy", ),
    FORMS(Atmosphere, "fog", ),
    FORMS(Interior, "water", ),
    FORMS(Exterior, "air", ),
    FORMS(Imager, "background", ),
    FORMS_RESULT(LightSource, "spotlight", ),
    FORMS_RESULT(AreaLightSource, "arealight", ),
    SAME(Illuminate, (3, 0)),
    FORMS(Cone, 1, 2, 360, ),
    FORMS(Cylinder, 1, -1, 1, 360, ),
    FORMS(Disk, 0, 1, 360, ),
    FORMS(Hyperboloid, p1, p2, 360, ),
    FORMS(Paraboloid, 1, 0, 2, 360, ),
    FORMS(Sphere, 1, -1, 1, 360, ),
    FORMS(Torus, 2, 0.5f, 0, 360, 360, ),
    FORMS(Polygon, 4, ),
    FORMS(GeneralPolygon, 1, nv, ),
    FORMS(PointsPolygons, 1, nv, vi, ),
    FORMS(PointsGeneralPolygons, 1, loops, nv, vi, ),
    SAME(Basis, (RiBezierBasis, RI_BEZIERSTEP, RiHermiteBasis, RI_HERMITESTEP)),
    FORMS(Patch, "bilinear", ),
    FORMS(PatchMesh, "bicubic", 4, "nonperiodic", 4, "periodic", ),
    SAME(TrimCurve, (1, loops, order, trimKnots, tmin, tmax, nknots, u, v, w)),
    FORMS(NuPatch, 4, 4, knots, 0, 1, 4, 4, knots, 0, 1, ),
    FORMS(Curves, "linear", 1, nv, "nonperiodic", ),
    FORMS(Points, 3, ),
    FORMS(SubdivisionMesh, "catmull-clark", 1, nv, vi, 1, tags, ntag, nullptr, nullptr, ),
    FORMS(Blobby, 1, 2, code, 1, flt, 0, strs, ),
    SAME(Procedural, (nullptr, box, RiProcDelayedReadArchive, nullptr)),
    FORMS(Geometry, "teapot", ),
    SAME(SolidBegin, ("union")),
    SAME(SolidEnd, ()),
    SAME_RESULT(ObjectBegin, ()),
    SAME(ObjectEnd, ()),
    SAME(ObjectInstance, (5)),
    FORMS(MakeTexture, "a.tif", "a.tx", "periodic", "clamp", RiBoxFilter, 2, 3, ),
    FORMS(MakeBump, "b.tif", "b.bump", "periodic", "clamp", RiTriangleFilter, 1, 1, ),
    FORMS(MakeLatLongEnvironment, "a.tif", "a.env", RiSincFilter, 2, 3, ),
    FORMS(MakeCubeFaceEnvironment, "px", "nx", "py", "ny", "pz", "nz", "c.env", 90,
          RiGaussianFilter, 2, 3, ),
    FORMS(MakeShadow, "d.zfile", "s.shd", ),
    SAME_RESULT(Declare, ("roughness2", "uniform float")),
    SAME(ArchiveRecord, ("comment", "%s and %g", "list", 2.5)),
    Request{"ArchiveRecordV",
            [](RenderInterface& r) { memberRecordV(r, "comment", "%s and %g", "list", 2.5); },
            [] { plainRecordV("comment", "%s and %g", "list", 2.5); }},
    FORMS(ReadArchive, "a.rib", nullptr, ),
    SAME(ErrorHandler, (RiErrorPrint)),  // the routine every test process reports through
};

}  // namespace

// Also every variable form against its vector form, listed next to it.
TEST(PlainFunctions, EachWritesWhatItsMemberWritesInEveryEncoding) {
    for (int binary : {0, 1, 2}) {
        std::string previousName, previous;
        for (const Request& request : requests) {
            std::string member = rib([&](RibWriter& w) { request.member(w); }, binary);
            std::string plain = rib(
                [&](RibWriter& w) {
                    RiContext(&w);
                    request.plain();
                    RiContext(nullptr);
                },
                binary);
            EXPECT_FALSE(member.empty()) << request.name;
            EXPECT_EQ(plain, member) << request.name << " binary " << binary;
            if (request.name == previousName + "V") {
                EXPECT_EQ(member, previous) << request.name;
            }
            previousName = request.name;
            previous = member;
        }
    }
}

// The complete encoding of every request reads as its text at 9 digits.
TEST(CompleteEncoding, EveryRequestReadsAsItsText) {
    for (const Request& request : requests) {
        std::string text = rib([&](RibWriter& w) {
            w.SetPrecision(9);
            request.member(w);
        });
        std::string encoded = rib([&](RibWriter& w) { request.member(w); },
                                  RibWriter::kCompleteBinary);
        EXPECT_EQ(ribcheck::compareComplete(text, encoded), "") << request.name;
    }
}

// A request added to the list of plain functions cannot go untested above.
TEST(PlainFunctions, TheComparisonCoversEveryListedFunction) {
    std::set<std::string> compared;
    for (const Request& request : requests) compared.insert(request.name);
    std::vector<std::string> listed = {
#define DUZOZO_REQUEST(result, name, parameters, arguments) #name,
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) #name,
#include "rib/requestlist.h"
#undef DUZOZO_REQUEST
#undef DUZOZO_PAIRS
    };
    for (const std::string& name : listed) EXPECT_EQ(compared.count(name), 1u) << name;
    // Option(V), MotionBegin, ArchiveRecord(V), ErrorHandler
    EXPECT_EQ(compared.size(), listed.size() + 6);
    EXPECT_EQ(requests.size(), compared.size());
}

// One of each shape of plain function: generated plain and pair forms, the
// written-out ones, and one with a result.
TEST(PlainFunctions, WithoutARendererEachReportsItsNameAndEndsTheProcess) {
    std::vector<std::pair<std::string, std::function<void()>>> calls = {
        {"RiEnd", [] { RiEnd(); }},
        {"RiFormat", [] { RiFormat(640, 480, 1.0f); }},
        {"RiProjection", [] { RiProjection("perspective", RI_NULL); }},
        {"RiDisplayV", [] { RiDisplayV("out.tif", "file", "rgb", 1, tokens, values); }},
        {"RiOption", [] { RiOption("Rib", "format", &kd, RI_NULL); }},
        {"RiOptionV", [] { RiOptionV("ribs", 1, tokens, values); }},
        {"RiMotionBegin", [] { RiMotionBegin(2, 0.0, 1.0); }},
        {"RiArchiveRecord", [] { RiArchiveRecord("comment", "x"); }},
        {"RiLightSource", [] { std::printf("%d\n", RiLightSource("spotlight", RI_NULL)); }},
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

// The example every reader tries first: deleting the writer that RiBegin made
// and calling on. The call is reported instead of reaching the freed writer.
TEST(CurrentRenderer, ADestroyedWriterIsNoLongerCurrent) {
    std::string path = tempPath("deleted");
    auto r = runInChild([&] {
        RibWriter* ri = RiBegin(path.c_str());
        std::string otherPath = tempPath("other");
        delete createRibWriter(otherPath.c_str());  // not current: the current one stays
        std::remove(otherPath.c_str());
        std::printf("%d\n", RiGetContext() == ri);
        delete ri;
        std::printf("%d\n", RiGetContext() == nullptr);
        std::fflush(stdout);
        RiFormat(640, 480, 1.0f);
        std::printf("returned\n");
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "1\n1\n");
    EXPECT_EQ(r.err, "SEVERE ERROR: RiBegin not called\n    --> RiFormat\n");
    std::remove(path.c_str());
}

TEST(CurrentRenderer, RiContextDrivesTwoWritersInTurn) {
    std::string first = tempPath("first"), second = tempPath("second");
    RtContextHandle a = RiBegin(first.c_str());
    EXPECT_EQ(RiGetContext(), a);
    RtContextHandle b = RiBegin(second.c_str());
    EXPECT_EQ(RiGetContext(), b);
    RiFrameBegin(2);
    RiContext(a);
    RiFrameBegin(1);
    RiSphere(1, -1, 1, 360, RI_NULL);
    RiContext(b);
    RiCone(1, 1, 360, RI_NULL);
    RiEnd();
    EXPECT_EQ(RiGetContext(), nullptr);
    RiContext(a);
    RiFrameEnd();
    RiEnd();
    EXPECT_EQ(readFile(first),
              request_test::kHeader + "FrameBegin 1\nSphere 1 -1 1 360\nFrameEnd\n\n");
    EXPECT_EQ(readFile(second), request_test::kHeader + "FrameBegin 2\nCone 1 1 360\n\n");
    std::remove(first.c_str());
    std::remove(second.c_str());
}

// When RiEnd returns, the command at the end of the pipe has read everything
// and exited: its output is complete.
TEST(CurrentRenderer, RiEndClosesThePipeAndWaitsForItsCommand) {
    std::string path = tempPath("piped");
    std::string command = "|sleep 0.2; cat > '" + path + "'";
    RiBegin(command.c_str());
    RiWorldBegin();
    RiWorldEnd();
    RiEnd();
    EXPECT_EQ(readFile(path), request_test::kHeader + "WorldBegin\nWorldEnd\n\n");
    std::remove(path.c_str());
}

// ClippingPlane keeps its numbers text; Deformation is written like
// Displacement, MakeBump like MakeTexture.
TEST(LaterRequests, LinesInBothEncodings) {
    auto requests = [](RibWriter& w) {
        w.ClippingPlane(0, 0, 2.5f, 0, 0, -1);
        w.Deformation("twist", "Kd", &kd, RI_NULL);
        w.DeformationV("bend", 0, nullptr, nullptr);
        w.MakeBump("b.tif", "b.bump", "periodic", "clamp", RiCatmullRomFilter, 2, 4, "Kd", &kd,
                   RI_NULL);
    };
    auto expected = [](const std::string& half) {
        return "ClippingPlane 0 0 2.5 0 0 -1\nDeformation \"twist\" \"Kd\" " + half +
               "\nDeformation \"bend\"\nMakeBump \"b.tif\" \"b.bump\" \"periodic\" \"clamp\" "
               "\"catmull-rom\" 2 4 \"Kd\" " +
               half + "\n";
    };
    EXPECT_EQ(rib(requests), expected("[0.5]"));
    EXPECT_EQ(rib(requests, true), expected(binaryArray({0.5f})));
}

// An implementation of the interface that predates the later requests: the
// variable forms still reach its vector forms, and what it lacks is reported
// as a warning, not silently dropped.
TEST(LaterRequests, AnImplementationWithoutThemReportsEachAndGoesOn) {
    EXPECT_EQ(rib([](RibWriter& w) {
                  w.RenderInterface::Deformation("twist", "Kd", &kd, RI_NULL);
                  w.RenderInterface::MakeBump("b.tif", "b.bump", "black", "black", RiBoxFilter, 1,
                                              1, RI_NULL);
              }),
              "Deformation \"twist\" \"Kd\" [0.5]\n"
              "MakeBump \"b.tif\" \"b.bump\" \"black\" \"black\" \"box\" 1 1\n");
    auto r = runInChild([] {
        RibWriter* w = createRibWriter(tempPath("older").c_str());
        w->RenderInterface::ClippingPlane(0, 0, 0, 0, 0, 1);
        w->RenderInterface::DeformationV("twist", 0, nullptr, nullptr);
        w->RenderInterface::MakeBumpV("b.tif", "b.bump", "black", "black", RiBoxFilter, 1, 1, 0,
                                      nullptr, nullptr);
        std::remove(w->targetName);
        delete w;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "WARNING: Unimplemented feature\n    --> ClippingPlane\n"
              "WARNING: Unimplemented feature\n    --> DeformationV\n"
              "WARNING: Unimplemented feature\n    --> MakeBumpV\n");
}

// Every request, read back by the library's reader and written again, gives
// the very bytes it was written as, in every encoding.
TEST(ReadBack, EveryRequestComesBackInEveryEncoding) {
    RiErrorHandler(RiErrorIgnore);
    for (int binary : {0, 1, 2}) {
        for (const Request& request : requests) {
            std::string written = rib([&](RibWriter& w) { request.member(w); }, binary);
            std::string whole = request_test::kHeader + written;
            std::string again = rib(
                [&](RibWriter& w) {
                    duzozo::RibReader reader(w);
                    reader.readBuffer(whole.data(), whole.size());
                    reader.finish();
                    // A block's begin alone, or its end alone, is one nesting
                    // problem; nothing else read back is any.
                    const std::string& name = request.name;
                    bool block = name.find("Begin") != std::string::npos ||
                                 (name.size() > 3 && name.compare(name.size() - 3, 3, "End") == 0);
                    EXPECT_EQ(reader.problems(), block ? 1 : 0) << name << " binary " << binary;
                },
                binary);
            EXPECT_EQ(again, written) << request.name << " binary " << binary;
        }
    }
    RiErrorHandler(RiErrorPrint);
}
