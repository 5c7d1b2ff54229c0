// The C binding: every plain function against its member, the context
// functions, RiEnd, and the requests added to the interface later.
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "rib/ri.h"
#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

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

const std::vector<Request> requests = {
    SAME(FrameBegin, (7)),
    SAME(FrameEnd, ()),
    SAME(WorldBegin, ()),
    SAME(WorldEnd, ()),
    SAME(Format, (640, 480, 1.5f)),
    SAME(FrameAspectRatio, (1.25f)),
    SAME(ScreenWindow, (-1, 1, -0.75f, 0.75f)),
    SAME(CropWindow, (0, 0.5f, 0.25f, 1)),
    SAME(Projection, ("perspective", "fov", &kd, RI_NULL)),
    SAME(ProjectionV, ("orthographic", 1, tokens, values)),
    SAME(Clipping, (0.1f, 1000)),
    SAME(ClippingPlane, (0, 0, 1, 0, 0, -1)),
    SAME(DepthOfField, (8, 1, 2)),
    SAME(Shutter, (0, 1)),
    SAME(PixelVariance, (0.01f)),
    SAME(PixelSamples, (2, 3)),
    SAME(PixelFilter, (RiCatmullRomFilter, 4, 4)),
    SAME(Exposure, (1, 2.2f)),
    SAME(Quantize, ("rgba", 255, 0, 255, 0.5f)),
    SAME(Display, ("out.tif", "file", "rgba", "constantwidth", &kd, RI_NULL)),
    SAME(DisplayV, ("out.tif", "framebuffer", "rgb", 1, tokens, values)),
    SAME(Hider, ("hidden", "constantwidth", &kd, RI_NULL)),
    SAME(HiderV, ("paint", 1, tokens, values)),
    SAME(ColorSamples, (3, nRGB, nRGB)),
    SAME(RelativeDetail, (0.5f)),
    SAME(Option, ("limits", "constantwidth", &kd, RI_NULL)),
    SAME(OptionV, ("searchpath", 1, tokens, values)),
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
    SAME(Attribute, ("identifier", "constantwidth", &kd, RI_NULL)),
    SAME(AttributeV, ("displacementbound", 1, tokens, values)),
    SAME(Identity, ()),
    SAME(ConcatTransform, (m)),
    SAME(Transform, (m)),
    SAME(Perspective, (45)),
    SAME(Translate, (1, 2, 3)),
    SAME(Rotate, (90, 0, 1, 0)),
    SAME(Scale, (1, 2, 3)),
    SAME(Skew, (45, 0, 1, 0, 1, 0, 0)),
    SAME(Deformation, ("twist", "constantwidth", &kd, RI_NULL)),
    SAME(DeformationV, ("bend", 1, tokens, values)),
    SAME(CoordinateSystem, ("lamp")),
    SAME(CoordSysTransform, ("lamp")),
    SAME_RESULT(TransformPoints, ("world", "camera", 2, points)),
    SAME(TransformBegin, ()),
    SAME(TransformEnd, ()),
    SAME(MotionBegin, (2, 0.0, 1.0)),
    SAME(MotionBeginV, (2, times)),
    SAME(MotionEnd, ()),
    SAME(Surface, ("plastic", "constantwidth", &kd, RI_NULL)),
    SAME(SurfaceV, ("matte", 1, tokens, values)),
    SAME(Displacement, ("bumpy", "constantwidth", &kd, RI_NULL)),
    SAME(DisplacementV, ("dented", 1, tokens, values)),
    SAME(Atmosphere, ("fog", "constantwidth", &kd, RI_NULL)),
    SAME(AtmosphereV, ("depthcue", 1, tokens, values)),
    SAME(Interior, ("water", "constantwidth", &kd, RI_NULL)),
    SAME(InteriorV, ("glass", 1, tokens, values)),
    SAME(Exterior, ("air", "constantwidth", &kd, RI_NULL)),
    SAME(ExteriorV, ("smoke", 1, tokens, values)),
    SAME(Imager, ("background", "constantwidth", &kd, RI_NULL)),
    SAME(ImagerV, ("vignette", 1, tokens, values)),
    SAME_RESULT(LightSource, ("spotlight", "constantwidth", &kd, RI_NULL)),
    SAME_RESULT(LightSourceV, ("pointlight", 1, tokens, values)),
    SAME_RESULT(AreaLightSource, ("arealight", "constantwidth", &kd, RI_NULL)),
    SAME_RESULT(AreaLightSourceV, ("arealight", 1, tokens, values)),
    SAME(Illuminate, (3, 0)),
    SAME(Cone, (1, 2, 360, "constantwidth", &kd, RI_NULL)),
    SAME(ConeV, (1, 2, 180, 1, tokens, values)),
    SAME(Cylinder, (1, -1, 1, 360, "constantwidth", &kd, RI_NULL)),
    SAME(CylinderV, (1, -1, 1, 180, 1, tokens, values)),
    SAME(Disk, (0, 1, 360, "constantwidth", &kd, RI_NULL)),
    SAME(DiskV, (0, 1, 180, 1, tokens, values)),
    SAME(Hyperboloid, (p1, p2, 360, "constantwidth", &kd, RI_NULL)),
    SAME(HyperboloidV, (p1, p2, 180, 1, tokens, values)),
    SAME(Paraboloid, (1, 0, 2, 360, "constantwidth", &kd, RI_NULL)),
    SAME(ParaboloidV, (1, 0, 2, 180, 1, tokens, values)),
    SAME(Sphere, (1, -1, 1, 360, "constantwidth", &kd, RI_NULL)),
    SAME(SphereV, (1, -1, 1, 180, 1, tokens, values)),
    SAME(Torus, (2, 0.5f, 0, 360, 360, "constantwidth", &kd, RI_NULL)),
    SAME(TorusV, (2, 0.5f, 0, 360, 180, 1, tokens, values)),
    SAME(Polygon, (4, "constantwidth", &kd, RI_NULL)),
    SAME(PolygonV, (3, 1, tokens, values)),
    SAME(GeneralPolygon, (1, nv, "constantwidth", &kd, RI_NULL)),
    SAME(GeneralPolygonV, (1, nv, 1, tokens, values)),
    SAME(PointsPolygons, (1, nv, vi, "constantwidth", &kd, RI_NULL)),
    SAME(PointsPolygonsV, (1, nv, vi, 1, tokens, values)),
    SAME(PointsGeneralPolygons, (1, loops, nv, vi, "constantwidth", &kd, RI_NULL)),
    SAME(PointsGeneralPolygonsV, (1, loops, nv, vi, 1, tokens, values)),
    SAME(Basis, (RiBezierBasis, RI_BEZIERSTEP, RiHermiteBasis, RI_HERMITESTEP)),
    SAME(Patch, ("bilinear", "constantwidth", &kd, RI_NULL)),
    SAME(PatchV, ("bicubic", 1, tokens, values)),
    SAME(PatchMesh, ("bicubic", 4, "nonperiodic", 4, "periodic", "constantwidth", &kd, RI_NULL)),
    SAME(PatchMeshV, ("bilinear", 2, "periodic", 2, "nonperiodic", 1, tokens, values)),
    SAME(TrimCurve, (1, loops, order, trimKnots, tmin, tmax, nknots, u, v, w)),
    SAME(NuPatch, (4, 4, knots, 0, 1, 4, 4, knots, 0, 1, "constantwidth", &kd, RI_NULL)),
    SAME(NuPatchV, (4, 4, knots, 0, 1, 4, 4, knots, 0, 1, 1, tokens, values)),
    SAME(Curves, ("linear", 1, nv, "nonperiodic", "constantwidth", &kd, RI_NULL)),
    SAME(CurvesV, ("cubic", 1, nv, "nonperiodic", 1, tokens, values)),
    SAME(Points, (3, "constantwidth", &kd, RI_NULL)),
    SAME(PointsV, (2, 1, tokens, values)),
    SAME(SubdivisionMesh, ("catmull-clark", 1, nv, vi, 1, tags, ntag, nullptr, nullptr,
                           "constantwidth", &kd, RI_NULL)),
    SAME(SubdivisionMeshV,
         ("catmull-clark", 1, nv, vi, 1, tags, ntag, nullptr, nullptr, 1, tokens, values)),
    SAME(Blobby, (1, 2, code, 1, flt, 0, strs, "constantwidth", &kd, RI_NULL)),
    SAME(BlobbyV, (1, 2, code, 1, flt, 0, strs, 1, tokens, values)),
    SAME(Procedural, (nullptr, box, RiProcDelayedReadArchive, nullptr)),
    SAME(Geometry, ("teapot", "constantwidth", &kd, RI_NULL)),
    SAME(GeometryV, ("bunny", 1, tokens, values)),
    SAME(SolidBegin, ("union")),
    SAME(SolidEnd, ()),
    SAME_RESULT(ObjectBegin, ()),
    SAME(ObjectEnd, ()),
    SAME(ObjectInstance, (5)),
    SAME(MakeTexture, ("a.tif", "a.tx", "periodic", "clamp", RiBoxFilter, 2, 3, "constantwidth",
                       &kd, RI_NULL)),
    SAME(MakeTextureV, ("a.tif", "a.tx", "black", "clamp", RiBoxFilter, 2, 3, 1, tokens, values)),
    SAME(MakeBump, ("b.tif", "b.bump", "periodic", "clamp", RiTriangleFilter, 1, 1,
                    "constantwidth", &kd, RI_NULL)),
    SAME(MakeBumpV, ("b.tif", "b.bump", "black", "clamp", RiSincFilter, 1, 1, 1, tokens, values)),
    SAME(MakeLatLongEnvironment,
         ("a.tif", "a.env", RiSincFilter, 2, 3, "constantwidth", &kd, RI_NULL)),
    SAME(MakeLatLongEnvironmentV, ("a.tif", "a.env", RiSincFilter, 2, 3, 1, tokens, values)),
    SAME(MakeCubeFaceEnvironment, ("px", "nx", "py", "ny", "pz", "nz", "c.env", 90,
                                   RiGaussianFilter, 2, 3, "constantwidth", &kd, RI_NULL)),
    SAME(MakeCubeFaceEnvironmentV, ("px", "nx", "py", "ny", "pz", "nz", "c.env", 95,
                                    RiGaussianFilter, 2, 3, 1, tokens, values)),
    SAME(MakeShadow, ("d.zfile", "s.shd", "constantwidth", &kd, RI_NULL)),
    SAME(MakeShadowV, ("d.zfile", "t.shd", 1, tokens, values)),
    SAME_RESULT(Declare, ("roughness2", "uniform float")),
    SAME(ArchiveRecord, ("structure", "Scene %s %d", "a", 1)),
    Request{"ArchiveRecordV",
            [](RenderInterface& r) { memberRecordV(r, "comment", "%s and %g", "list", 2.5); },
            [] { plainRecordV("comment", "%s and %g", "list", 2.5); }},
    SAME(ReadArchive, ("a.rib", nullptr, "constantwidth", &kd, RI_NULL)),
    SAME(ReadArchiveV, ("b.rib", nullptr, 1, tokens, values)),
    SAME(ErrorHandler, (RiErrorPrint)),  // the routine every test process reports through
};

// Each request on a fresh writer of that encoding; everything the writer's
// file holds once it is ended.
std::string memberOutput(const Request& request, int binary) {
    std::string path = tempPath("member");
    RibWriter* writer = createRibWriter(path.c_str());
    writer->binaryOutput = binary;
    request.member(*writer);
    delete writer;
    std::string all = readFile(path);
    std::remove(path.c_str());
    return all;
}

std::string plainOutput(const Request& request, int binary) {
    std::string path = tempPath("plain");
    RibWriter* writer = createRibWriter(path.c_str());
    writer->binaryOutput = binary;
    RiContext(writer);
    request.plain();
    RiEnd();
    EXPECT_EQ(RiGetContext(), nullptr) << request.name;
    std::string all = readFile(path);
    std::remove(path.c_str());
    return all;
}

}  // namespace

TEST(PlainFunctions, EachWritesWhatItsMemberWritesInBothEncodings) {
    for (int binary : {0, 1}) {
        for (const Request& request : requests) {
            std::string member = memberOutput(request, binary);
            EXPECT_GT(member.size(), request_test::kHeader.size() + 1) << request.name;
            EXPECT_EQ(plainOutput(request, binary), member) << request.name << " binary " << binary;
        }
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

TEST(PlainFunctions, WithoutARendererTheNewOnesReportTheirNames) {
    for (const char* name : {"RiEnd", "RiSphere", "RiClippingPlane", "RiMotionBegin",
                             "RiArchiveRecord", "RiLightSource"}) {
        auto r = runInChild([&] {
            std::string n = name;
            if (n == "RiEnd") RiEnd();
            if (n == "RiSphere") RiSphere(1, -1, 1, 360, RI_NULL);
            if (n == "RiClippingPlane") RiClippingPlane(0, 0, 0, 0, 0, 1);
            if (n == "RiMotionBegin") RiMotionBegin(2, 0.0, 1.0);
            if (n == "RiArchiveRecord") RiArchiveRecord("comment", "x");
            if (n == "RiLightSource") std::printf("%d\n", RiLightSource("spotlight", RI_NULL));
            std::printf("returned\n");
        });
        EXPECT_EQ(r.status, 255) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_EQ(r.err, std::string("SEVERE ERROR: RiBegin not called\n    --> ") + name + "\n");
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

TEST(LaterRequests, ClippingPlaneKeepsItsNumbersTextInBothEncodings) {
    auto request = [](RibWriter& w) { w.ClippingPlane(0, 0, 2.5f, 0, 0, -1); };
    EXPECT_EQ(rib(request), "ClippingPlane 0 0 2.5 0 0 -1\n");
    EXPECT_EQ(rib(request, true), "ClippingPlane 0 0 2.5 0 0 -1\n");
}

TEST(LaterRequests, DeformationIsWrittenLikeDisplacement) {
    auto request = [](RibWriter& w) { w.Deformation("twist", "Kd", &kd, RI_NULL); };
    EXPECT_EQ(rib(request), "Deformation \"twist\" \"Kd\" [0.5]\n");
    EXPECT_EQ(rib(request, true), "Deformation \"twist\" \"Kd\" " + binaryArray({0.5f}) + "\n");
    EXPECT_EQ(rib([](RibWriter& w) { w.DeformationV("bend", 0, nullptr, nullptr); }),
              "Deformation \"bend\"\n");
}

TEST(LaterRequests, MakeBumpHasTheLayoutOfMakeTexture) {
    auto request = [](RibWriter& w) {
        w.MakeBump("b.tif", "b.bump", "periodic", "clamp", RiCatmullRomFilter, 2, 4, "Kd", &kd,
                   RI_NULL);
    };
    EXPECT_EQ(rib(request),
              "MakeBump \"b.tif\" \"b.bump\" \"periodic\" \"clamp\" \"catmull-rom\" 2 4 \"Kd\" "
              "[0.5]\n");
    EXPECT_EQ(rib(request, true),
              "MakeBump \"b.tif\" \"b.bump\" \"periodic\" \"clamp\" \"catmull-rom\" 2 4 \"Kd\" " +
                  binaryArray({0.5f}) + "\n");
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
