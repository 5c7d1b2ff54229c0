// Geometry requests: fixed arguments, arrays, and the vertex, varying and
// uniform counts that size each parameter.
#include "tests/rib/request_capture.h"

using namespace request_test;

namespace {

// One float parameter per storage class; the length of each written array
// shows the count that the request worked out for that class.
struct Probe {
    std::vector<float> values = counting(64);
    RtToken tokens[3] = {"vertex float a", "varying float b", "uniform float c"};
    RtPointer pointers[3] = {values.data(), values.data(), values.data()};

    static std::string expect(int vertex, int varying, int uniform) {
        return " \"vertex float a\" " + countingText(vertex) + " \"varying float b\" " +
               countingText(varying) + " \"uniform float c\" " + countingText(uniform) + "\n";
    }
};

}  // namespace

TEST(QuadricRequests, LinesAndCounts) {
    RtPoint p1 = {0, 0, -1}, p2 = {1, 1, 1};
    RtFloat points[6] = {1, 2, 3, 4, 5, 6};
    RtToken pToken[] = {"P"};
    RtPointer pValue[] = {points};
    Probe probe;
    std::string text = rib([&](RibWriter& w) {
        w.SphereV(1, -1, 1, 360, 0, nullptr, nullptr);
        w.ConeV(2, 0.5f, 360, 0, nullptr, nullptr);
        w.CylinderV(1, -1, 1, 180, 0, nullptr, nullptr);
        w.DiskV(0, 1, 360, 0, nullptr, nullptr);
        w.HyperboloidV(p1, p2, 270, 0, nullptr, nullptr);
        w.ParaboloidV(1, 0, 2, 360, 0, nullptr, nullptr);
        w.TorusV(1, 0.25f, 0, 360, 360, 3, probe.tokens, probe.pointers);
        w.PointsV(5, 3, probe.tokens, probe.pointers);
        // Geometry has no counts of its own: values are sized by declaration alone.
        w.GeometryV("teapot", 0, nullptr, nullptr);
        w.GeometryV("teapot", 1, pToken, pValue);
    });
    EXPECT_EQ(text,
              "Sphere 1 -1 1 360\n"
              "Cone 2 0.5 360\n"
              "Cylinder 1 -1 1 180\n"
              "Disk 0 1 360\n"
              "Hyperboloid 0 0 -1 1 1 1 270\n"
              "Paraboloid 1 0 2 360\n"
              "Torus 1 0.25 0 360 360" +
                  Probe::expect(4, 4, 1) + "Points " + Probe::expect(5, 5, 1) +
                  "Geometry \"teapot\"\nGeometry \"teapot\" \"P\" [1 2 3]\n");
}

TEST(PolygonRequests, ArraysAndCounts) {
    RtFloat points[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    RtToken pToken[] = {"P"};
    RtPointer pValue[] = {points};
    RtInt loops[] = {4, 3}, nvertices[] = {3, 3}, vertices[] = {0, 1, 2, 2, 1, 3};
    RtInt nloops[] = {2, 1}, generalNvertices[] = {3, 3, 4};
    RtInt generalVertices[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 1};
    RtInt two[] = {2}, negative[] = {-5, -1};  // no reader takes negative indices
    Probe probe;
    std::string text;
    std::string err = captureStderr([&] { text = rib([&](RibWriter& w) {
        w.PolygonV(4, 1, pToken, pValue);
        w.PolygonV(3, 3, probe.tokens, probe.pointers);
        w.GeneralPolygonV(2, loops, 3, probe.tokens, probe.pointers);
        w.PointsPolygonsV(2, nvertices, vertices, 3, probe.tokens, probe.pointers);
        w.PointsGeneralPolygonsV(2, nloops, generalNvertices, generalVertices, 3, probe.tokens,
                                 probe.pointers);
        w.PointsPolygonsV(1, two, negative, 3, probe.tokens, probe.pointers);
        w.PolygonV(-3, 3, probe.tokens, probe.pointers);
    }); });
    EXPECT_EQ(err,
              "ERROR: Parameter out of range\n    --> PointsPolygons: vertices[0] of -5\n"
              "ERROR: Parameter out of range\n    --> Polygon: nvertices of -3\n");
    EXPECT_EQ(text,
              "Polygon \"P\" [0 0 0 1 0 0 1 1 0 0 1 0]\n"
              "Polygon" +
                  Probe::expect(3, 3, 1) + "GeneralPolygon[4 3 ] " + Probe::expect(7, 7, 1) +
                  "PointsPolygons[3 3 ] [0 1 2 2 1 3 ] " + Probe::expect(4, 4, 2) +
                  "PointsGeneralPolygons[2 1 ] [3 3 4 ] [0 1 2 3 4 5 6 7 8 1 ] " +
                  Probe::expect(9, 9, 2));
}

TEST(BasisRequest, PredefinedByAddressOthersByValue) {
    // Copies are written by value, so every entry of each standard matrix shows.
    const RtBasis* standard[] = {&RiBezierBasis, &RiBSplineBasis, &RiCatmullRomBasis,
                                 &RiHermiteBasis, &RiPowerBasis};
    RtBasis copy;
    std::string text = rib([&](RibWriter& w) {
        w.Basis(RiBezierBasis, 3, RiBezierBasis, 3);
        w.Basis(RiBSplineBasis, 1, RiCatmullRomBasis, 1);
        w.Basis(RiHermiteBasis, 2, RiPowerBasis, 4);
        for (const RtBasis* b : standard) {
            std::memcpy(copy, *b, sizeof copy);
            w.Basis(copy, 3, RiPowerBasis, 4);
        }
        EXPECT_EQ(w.uStep, 3);
        EXPECT_EQ(w.vStep, 4);
    });
    EXPECT_EQ(text,
              "Basis \"bezier\" 3 \"bezier\" 3\n"
              "Basis \"b-spline\" 1 \"catmull-rom\" 1\n"
              "Basis \"hermite\" 2 \"power\" 4\n"
              "Basis [-1 3 -3 1 3 -6 3 0 -3 3 0 0 1 0 0 0] 3 \"power\" 4\n"
              "Basis [-0.166667 0.5 -0.5 0.166667 0.5 -1 0.5 0 -0.5 0 0.5 0 "
              "0.166667 0.666667 0.166667 0] 3 \"power\" 4\n"
              "Basis [-0.5 1.5 -1.5 0.5 1 -2.5 2 -0.5 -0.5 0 0.5 0 0 1 0 0] 3 \"power\" 4\n"
              "Basis [2 1 -2 1 -3 -2 3 -1 0 1 0 0 1 0 0 0] 3 \"power\" 4\n"
              "Basis [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] 3 \"power\" 4\n");
    std::memcpy(copy, RiBezierBasis, sizeof copy);
    EXPECT_EQ(binaryRib([&](RibWriter& w) { w.Basis(copy, 3, RiHermiteBasis, 2); }),
              "Basis " + binaryArray({-1, 3, -3, 1, 3, -6, 3, 0, -3, 3, 0, 0, 1, 0, 0, 0}) +
                  " 3 \"hermite\" 2\n");
}

TEST(PatchRequests, PatchAndPatchMeshCounts) {
    Probe probe;
    std::string text = rib([&](RibWriter& w) {
        w.PatchV("bilinear", 3, probe.tokens, probe.pointers);
        w.PatchV("bicubic", 3, probe.tokens, probe.pointers);
        w.PatchV("anything", 3, probe.tokens, probe.pointers);  // counted as bicubic
        w.PatchMeshV("bicubic", 4, "nonperiodic", 4, "nonperiodic", 3, probe.tokens,
                     probe.pointers);
        w.PatchMeshV("bilinear", 3, "periodic", 2, "nonperiodic", 3, probe.tokens, probe.pointers);
        w.PatchMeshV("bicubic", 6, "periodic", 7, "clamp", 3, probe.tokens, probe.pointers);
        // -1 patches both ways are no patches, not one.
        w.PatchMeshV("bilinear", 0, "nonperiodic", 0, "nonperiodic", 3, probe.tokens,
                     probe.pointers);
        w.Basis(RiBSplineBasis, 1, RiBSplineBasis, 2);
        w.PatchMeshV("bicubic", 7, "nonperiodic", 6, "nonperiodic", 3, probe.tokens,
                     probe.pointers);
    });
    EXPECT_EQ(
        text,
        "Patch \"bilinear\"" + Probe::expect(4, 4, 1) + "Patch \"bicubic\"" +
            Probe::expect(16, 4, 1) + "Patch \"anything\"" + Probe::expect(16, 4, 1) +
            "PatchMesh \"bicubic\" 4 \"nonperiodic\" 4 \"nonperiodic\"" + Probe::expect(16, 4, 1) +
            "PatchMesh \"bilinear\" 3 \"periodic\" 2 \"nonperiodic\"" + Probe::expect(6, 6, 3) +
            "PatchMesh \"bicubic\" 6 \"periodic\" 7 \"clamp\"" + Probe::expect(42, 2 * 3, 2 * 2) +
            "PatchMesh \"bilinear\" 0 \"nonperiodic\" 0 \"nonperiodic\"" + Probe::expect(0, 0, 0) +
            "Basis \"b-spline\" 1 \"b-spline\" 2\n"
            "PatchMesh \"bicubic\" 7 \"nonperiodic\" 6 \"nonperiodic\"" +
            Probe::expect(42, 5 * 3, 4 * 2));
}

TEST(PatchRequests, UnknownPatchMeshTypeEndsItsLine) {
    Probe probe;
    std::string text;
    std::string err = captureStderr([&] {
        text = rib([&](RibWriter& w) {
            w.PatchMeshV("biquadratic", 4, "nonperiodic", 4, "nonperiodic", 3, probe.tokens,
                         probe.pointers);
            w.Sides(1);
        });
    });
    EXPECT_EQ(text, "PatchMesh \"biquadratic\" 4 \"nonperiodic\" 4 \"nonperiodic\"\nSides 1\n");
    EXPECT_EQ(err, "ERROR: Invalid token\n    --> unknown patch type biquadratic\n");
}

TEST(GeometryRequests, HugeCountsNeverOverflow) {
    // Counts whose products or sums leave the range of a 32-bit int: with no
    // parameters nothing is read, so only the arithmetic could go wrong. The
    // negative ones are impossible input, reported and left out.
    const RtInt big = 0x7fffffff;
    RtInt curveVertices[] = {big, big};
    RtInt one[] = {1};
    RtInt vertices[] = {big};
    std::string text;
    std::string err = captureStderr([&] { text = rib([&](RibWriter& w) {
        w.PatchMeshV("bilinear", 100000, "nonperiodic", 100000, "periodic", 0, nullptr, nullptr);
        w.PatchMeshV("bilinear", -big - 1, "nonperiodic", 2, "nonperiodic", 0, nullptr, nullptr);
        w.PatchMeshV("bicubic", big, "nonperiodic", -big - 1, "nonperiodic", 0, nullptr, nullptr);
        w.NuPatchV(0, -big - 1, nullptr, 0, 1, big, -big, nullptr, 0, 1, 0, nullptr, nullptr);
        w.CurvesV("cubic", 2, curveVertices, "nonperiodic", 0, nullptr, nullptr);
        w.CurvesV("linear", 2, curveVertices, "nonperiodic", 0, nullptr, nullptr);
        w.GeneralPolygonV(2, curveVertices, 0, nullptr, nullptr);
        w.PointsPolygonsV(1, one, vertices, 0, nullptr, nullptr);
    }); });
    EXPECT_EQ(err,
              "ERROR: Parameter out of range\n    --> PatchMesh: nu of -2147483648\n"
              "ERROR: Parameter out of range\n    --> PatchMesh: nv of -2147483648\n"
              "ERROR: Parameter out of range\n    --> NuPatch: uorder of -2147483648\n");
    EXPECT_EQ(text,
              "PatchMesh \"bilinear\" 100000 \"nonperiodic\" 100000 \"periodic\"\n"
              "Curves \"cubic\"[2147483647 2147483647 ] \"nonperiodic\" \n"
              "Curves \"linear\"[2147483647 2147483647 ] \"nonperiodic\" \n"
              "GeneralPolygon[2147483647 2147483647 ] \n"
              "PointsPolygons[1 ] [2147483647 ] \n");
}

TEST(PatchRequests, BasisStepOfZeroNeverDivides) {
    Probe probe;
    RtInt curveVertices[] = {4};
    std::string text;
    std::string err = captureStderr([&] {
        text = rib([&](RibWriter& w) {
            w.Basis(RiBezierBasis, 0, RiBezierBasis, -3);
            w.PatchMeshV("bicubic", 4, "nonperiodic", 4, "nonperiodic", 3, probe.tokens,
                         probe.pointers);
            w.CurvesV("cubic", 1, curveVertices, "nonperiodic", 3, probe.tokens, probe.pointers);
            // The steps play no part in bilinear meshes and linear curves.
            w.PatchMeshV("bilinear", 2, "nonperiodic", 2, "nonperiodic", 3, probe.tokens,
                         probe.pointers);
            w.CurvesV("linear", 1, curveVertices, "nonperiodic", 3, probe.tokens, probe.pointers);
        });
    });
    EXPECT_EQ(text,
              "Basis \"bezier\" 0 \"bezier\" -3\n"
              "PatchMesh \"bicubic\" 4 \"nonperiodic\" 4 \"nonperiodic\"\n"
              "Curves \"cubic\"[4 ] \"nonperiodic\" \n"
              "PatchMesh \"bilinear\" 2 \"nonperiodic\" 2 \"nonperiodic\"" +
                  Probe::expect(4, 4, 1) + "Curves \"linear\"[4 ] \"nonperiodic\" " +
                  Probe::expect(4, 4, 1));
    EXPECT_EQ(err,
              "ERROR: Parameter out of range\n"
              "    --> PatchMesh needs a positive u basis step, not 0\n"
              "ERROR: Parameter out of range\n"
              "    --> Curves needs a positive v basis step, not -3\n");
}

TEST(NuPatchRequests, KnotsBoundsTrimLoopsAndCounts) {
    RtFloat uknot[] = {0, 0, 0, 0, 1, 1, 1, 1};
    RtFloat vknot[] = {0, 0, 0.5f, 1, 1};
    // Trim loops: one curve of order 3 with 3 points, then two of order 2 with 2 points.
    RtInt ncurves[] = {1, 2}, order[] = {3, 2, 2}, n[] = {3, 2, 2};
    RtFloat knot[] = {0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1};
    RtFloat min[] = {0, 0, 0}, max[] = {1, 1, 1}, weight[] = {1, 1, 1, 1, 1, 1, 1};
    RtFloat u[] = {0, 0.5f, 1, 0, 1, 1, 0}, v[] = {0, 1, 0, 0, 0, 1, 1};
    Probe probe;
    std::string text = rib([&](RibWriter& w) {
        w.NuPatchV(4, 4, uknot, 0, 1, 3, 2, vknot, 0.25f, 1, 3, probe.tokens, probe.pointers);
        // Fewer control points than the order in both directions: no spans,
        // however the negative span counts would multiply.
        w.NuPatchV(1, 4, uknot, 0, 1, 1, 4, uknot, 0, 1, 3, probe.tokens, probe.pointers);
        w.TrimCurve(2, ncurves, order, knot, min, max, n, u, v, weight);
    });
    EXPECT_EQ(text,
              "NuPatch 4 4 [0 0 0 0 1 1 1 1] 0.000000 1.000000 3 2 [0 0 0.5 1 1] "
              "0.250000 1.000000 " +
                  Probe::expect(12, 2 * 3, 1 * 2) +
                  "NuPatch 1 4 [0 0 0 0 1] 0.000000 1.000000 1 4 [0 0 0 0 1] "
                  "0.000000 1.000000 " +
                  Probe::expect(1, 0, 0) +
                  "TrimCurve [1 2 ][3 2 2 ][0 0 0 1 1 1 0 0 1 1 0 0 1 1] [0 0 0] [1 1 1] [3 2 2 ]"
                  "[0 0.5 1 0 1 1 0] [0 1 0 0 0 1 1] [1 1 1 1 1 1 1]\n");
    std::string binary = binaryRib([&](RibWriter& w) {
        w.NuPatchV(4, 4, uknot, 0, 1, 3, 2, vknot, 0.25f, 1, 0, nullptr, nullptr);
    });
    EXPECT_EQ(binary, "NuPatch 4 4 " + binaryArray({0, 0, 0, 0, 1, 1, 1, 1}) +
                          " 0.000000 1.000000 3 2 " + binaryArray({0, 0, 0.5f, 1, 1}) +
                          " 0.250000 1.000000 \n");
}

TEST(CurvesRequest, Counts) {
    RtInt two[] = {4, 7}, periodic[] = {6}, linear[] = {3, 4};
    Probe probe;
    std::string text = rib([&](RibWriter& w) {
        w.CurvesV("cubic", 2, two, "nonperiodic", 3, probe.tokens, probe.pointers);
        w.CurvesV("cubic", 1, periodic, "periodic", 3, probe.tokens, probe.pointers);
        w.CurvesV("linear", 2, linear, "periodic", 3, probe.tokens, probe.pointers);
        w.CurvesV("linear", 2, linear, "nonperiodic", 3, probe.tokens, probe.pointers);
    });
    EXPECT_EQ(text, "Curves \"cubic\"[4 7 ] \"nonperiodic\" " + Probe::expect(11, 5, 2) +
                        "Curves \"cubic\"[6 ] \"periodic\" " + Probe::expect(6, 2, 1) +
                        "Curves \"linear\"[3 4 ] \"periodic\" " + Probe::expect(7, 7, 2) +
                        "Curves \"linear\"[3 4 ] \"nonperiodic\" " + Probe::expect(7, 7, 2));
}

TEST(SubdivisionMeshRequest, TagsAndTheirArguments) {
    RtInt nvertices[] = {4, 4}, vertices[] = {0, 1, 4, 3, 1, 2, 5, 4}, noArgs[] = {0, 0};
    RtInt nargs[] = {2, 1, 1, 1, 1, 0}, intargs[] = {1, 4, 0, 1};
    RtToken oneTag[] = {"interpolateboundary"}, tags[] = {"crease", "corner", "hole"};
    RtFloat floatargs[] = {2.5f, 10};
    Probe probe;
    std::string text = rib([&](RibWriter& w) {
        w.SubdivisionMeshV("catmull-clark", 2, nvertices, vertices, 0, nullptr, nullptr, nullptr,
                           nullptr, 0, nullptr, nullptr);
        w.SubdivisionMeshV("catmull-clark", 2, nvertices, vertices, 1, oneTag, noArgs, nullptr,
                           nullptr, 3, probe.tokens, probe.pointers);
        w.SubdivisionMeshV("catmull-clark", 2, nvertices, vertices, 3, tags, nargs, intargs,
                           floatargs, 0, nullptr, nullptr);
    });
    EXPECT_EQ(text,
              "SubdivisionMesh \"catmull-clark\" [4 4 ] [0 1 4 3 1 2 5 4 ] \n"
              "SubdivisionMesh \"catmull-clark\" [4 4 ] [0 1 4 3 1 2 5 4 ] "
              "[\"interpolateboundary\" ][0 0 ][][]" +
                  Probe::expect(6, 6, 2) +
                  "SubdivisionMesh \"catmull-clark\" [4 4 ] [0 1 4 3 1 2 5 4 ] "
                  "[\"crease\" \"corner\" \"hole\" ][2 1 1 1 1 0 ][1 4 0 1 ][2.5 10]\n");
}

TEST(BlobbyRequest, MismatchesAreReportedAndTheCallersCountsWritten) {
    RtInt code[] = {1001, 0};
    std::vector<float> flt = counting(16);
    RtString str[] = {"x"};
    std::string text;
    std::string err = captureStderr([&] {
        text = rib([&](RibWriter& w) {
            w.BlobbyV(1, 2, code, 16, flt.data(), 0, nullptr, 0, nullptr, nullptr);  // all match
            w.BlobbyV(1, 2, code, 15, flt.data(), 0, nullptr, 0, nullptr, nullptr);
            w.BlobbyV(2, 2, code, 16, flt.data(), 1, str, 0, nullptr, nullptr);
        });
    });
    EXPECT_EQ(err,
              "WARNING: Parameters inconsistent\n    --> RiBlobby nflt [15] != float count [16]\n"
              "WARNING: Parameters inconsistent\n    --> RiBlobby nleaf [2] != leaf count [1]\n"
              "WARNING: Parameters inconsistent\n    --> RiBlobby nstr [1] != string count [0]\n");
    EXPECT_EQ(text, "Blobby 1 [1001 0 ] " + countingText(16) + " []\nBlobby 1 [1001 0 ] " +
                        countingText(15) + " []\nBlobby 2 [1001 0 ] " + countingText(16) +
                        " [\"x\" ]\n");
}

TEST(BlobbyRequest, WalkSkipsOperandsOfEveryOpcode) {
    // constant, segment, repelling plane, then add / subtract / negate over them
    // and an unknown opcode: 3 leaves, 1 + 23 + 4 floats, 1 string.
    RtInt code[] = {1000, 0, 1002, 1, 1003, 0, 24, 0, 3, 0, 1, 2, 4, 3, 1, 6, 4, 42};
    std::vector<float> flt = counting(28);
    RtString str[] = {"ground"};
    Probe probe;
    std::string text;
    std::string err = captureStderr([&] {
        text = rib([&](RibWriter& w) {
            w.BlobbyV(3, 18, code, 28, flt.data(), 1, str, 3, probe.tokens, probe.pointers);
        });
    });
    EXPECT_EQ(err, "");
    EXPECT_EQ(text, "Blobby 3 [1000 0 1002 1 1003 0 24 0 3 0 1 2 4 3 1 6 4 42 ] " +
                        countingText(28) + " [\"ground\" ]\n" + Probe::expect(3, 3, 1) + "\n");
}

TEST(BlobbyRequest, MalformedCodeEndsTheWalk) {
    // A negative operand count would step back for ever; a count at the very
    // end has no word after it; the largest count runs past the end.
    RtInt backwards[] = {1000, 0, 0, -5, 1000, 1};
    RtInt cut[] = {1000, 0, 0};
    RtInt huge[] = {1000, 0, 0, 0x7fffffff};
    float flt[2] = {1, 2};
    std::string err = captureStderr([&] {
        rib([&](RibWriter& w) {
            w.BlobbyV(2, 6, backwards, 2, flt, 0, nullptr, 0, nullptr, nullptr);
            w.BlobbyV(1, 3, cut, 1, flt, 0, nullptr, 0, nullptr, nullptr);
            w.BlobbyV(1, 4, huge, 1, flt, 0, nullptr, 0, nullptr, nullptr);
        });
    });
    EXPECT_EQ(err, "");
}

TEST(ProceduralRequest, ThreeKindsAndTheUnknownOne) {
    RtBound bound = {-1, 1, -1, 1, -1, 1};
    RtString archive[] = {"tree.rib"};
    RtString program[] = {"make \"leaf\"", "a\\b"};
    RtString library[] = {"grass.so", nullptr};
    std::string text;
    std::string err = captureStderr([&] {
        text = rib([&](RibWriter& w) {
            w.Procedural(archive, bound, RiProcDelayedReadArchive, nullptr);
            w.Procedural(program, bound, RiProcRunProgram, nullptr);
            w.Procedural(library, bound, RiProcDynamicLoad, nullptr);
            w.Procedural(
                archive, bound, [](RtPointer, RtFloat) {}, nullptr);
        });
    });
    EXPECT_EQ(text,
              "Procedural \"DelayedReadArchive\" [\"tree.rib\"] [-1 1 -1 1 -1 1]\n"
              "Procedural \"RunProgram\" [\"make \\\"leaf\\\"\" \"a\\\\b\"] [-1 1 -1 1 -1 1]\n"
              "Procedural \"DynamicLoad\" [\"grass.so\" \"\"] [-1 1 -1 1 -1 1]\n");
    EXPECT_EQ(err, "ERROR: Unimplemented feature\n    --> procedural type\n");
}

TEST(GeometryRequests, BinaryModeEncodesParameterValuesOnly) {
    RtFloat points[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    RtToken tokens[] = {"P"};
    RtPointer values[] = {points};
    RtBound bound = {0, 1, 0, 1, 0, 1};
    RtString archive[] = {"a.rib"};
    std::string text = binaryRib([&](RibWriter& w) {
        w.SphereV(0.5f, -0.5f, 0.5f, 360, 0, nullptr, nullptr);
        w.PolygonV(4, 1, tokens, values);
        w.Procedural(archive, bound, RiProcDelayedReadArchive, nullptr);
    });
    EXPECT_EQ(text, "Sphere 0.5 -0.5 0.5 360\nPolygon \"P\" " +
                        binaryArray({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}) +
                        "\nProcedural \"DelayedReadArchive\" [\"a.rib\"] " +
                        binaryArray({0, 1, 0, 1, 0, 1}) + "\n");
}
