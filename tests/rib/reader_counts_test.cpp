// Requests as a renderer reads them: value counts per storage class, the
// state that sizes them, comments that stay comments, and streams that carry
// their own declarations.
#include "rib/internal/declarations.h"
#include "tests/rib/request_capture.h"
#include "tests/support/ribreader.h"

using namespace request_test;

// Values whose printed count shows how many the writer took.
static std::vector<float> values = counting(64);

TEST(ReaderCounts, DeclarationsTakeBlanksAndTabsWhereverAReaderDoes) {
    RtToken tokens[] = {"uniform float [3] spaced", "varying\tfloat\ttabbed", "dk3"};
    RtPointer pointers[] = {values.data(), values.data(), values.data()};
    std::string text = rib([&](RibWriter& w) {
        w.Declare("dk3", "uniform\tfloat [3]");
        w.SphereV(1, -1, 1, 360, 3, tokens, pointers);
    });
    EXPECT_EQ(text,
              "Declare \"dk3\" \"uniform\\tfloat [3]\"\n"
              "Sphere 1 -1 1 360 \"uniform float [3] spaced\" [0 1 2] "
              "\"varying\\tfloat\\ttabbed\" [0 1 2 3] \"dk3\" [0 1 2]\n");
    EXPECT_EQ(inlineDeclarationLength("uniform float [3] spaced"), 18);
    EXPECT_EQ(inlineDeclarationLength("vertex\tpoint\tp"), 13);
}

TEST(ReaderCounts, FaceVaryingIsOnePerFaceVertex) {
    RtToken tokens[] = {"facevarying float fv"};
    RtToken declared[] = {"fvn"};
    RtPointer pointers[] = {values.data()};
    RtInt nverts[] = {3, 4};
    RtInt verts[] = {0, 1, 2, 0, 2, 3, 1};
    std::string text = rib([&](RibWriter& w) {
        w.PointsPolygonsV(2, nverts, verts, 1, tokens, pointers);
        w.SubdivisionMeshV("catmull-clark", 2, nverts, verts, 0, nullptr, nullptr, nullptr, nullptr,
                           1, tokens, pointers);
        w.PolygonV(5, 1, tokens, pointers);
        w.SphereV(1, -1, 1, 360, 1, tokens, pointers);  // the varying count
        w.Declare("fvn", "facevarying normal");
        w.PatchV("bilinear", 1, declared, pointers);
    });
    EXPECT_EQ(text, "PointsPolygons[3 4 ] [0 1 2 0 2 3 1 ]  \"facevarying float fv\" " +
                        countingText(7) + "\n" +
                        "SubdivisionMesh \"catmull-clark\" [3 4 ] [0 1 2 0 2 3 1 ]  "
                        "\"facevarying float fv\" " +
                        countingText(7) + "\nPolygon \"facevarying float fv\" " + countingText(5) +
                        "\nSphere 1 -1 1 360 \"facevarying float fv\" " + countingText(4) +
                        "\nDeclare \"fvn\" \"facevarying normal\"\nPatch \"bilinear\" \"fvn\" " +
                        countingText(12) + "\n");
}

TEST(ReaderCounts, ColourSamplesSizeEveryColourUntilTheFrameEnds) {
    RtToken tokens[] = {"Cs", "constant color cc"};
    RtPointer pointers[] = {values.data(), values.data()};
    std::vector<float> one = {0.5f}, matrix = {1, 1, 1};
    std::string text = rib([&](RibWriter& w) {
        w.FrameBegin(1);
        w.ColorSamples(1, matrix.data(), matrix.data());
        w.Color(one.data());
        w.Opacity(one.data());
        w.SurfaceV("s", 1, &tokens[1], pointers);
        w.PolygonV(3, 2, tokens, pointers);
        w.FrameEnd();
        w.Color(values.data());
    });
    EXPECT_EQ(text,
              "FrameBegin 1\nColorSamples [1 1 1] [1 1 1]\nColor [0.5]\nOpacity [0.5]\n"
              "Surface \"s\" \"constant color cc\" [0]\n"
              "Polygon \"Cs\" [0 1 2] \"constant color cc\" [0]\n"
              "FrameEnd\nColor [0 1 2]\n");
}

TEST(ReaderCounts, BasisStepsAreSavedWithTheAttributes) {
    RtToken tokens[] = {"varying float b"};
    RtPointer pointers[] = {values.data()};
    RtInt seven[] = {7};
    // Every block that saves attributes restores the steps at its end.
    std::string expected, text = rib([&](RibWriter&w) {
                              w.AttributeBegin();
                              w.Basis(RiBSplineBasis, 1, RiBSplineBasis, 1);
                              w.AttributeEnd();
                              w.WorldBegin();
                              w.SolidBegin("union");
                              w.Basis(RiBSplineBasis, 1, RiBSplineBasis, 1);
                              w.SolidEnd();
                              w.ObjectBegin();
                              w.Basis(RiBSplineBasis, 1, RiBSplineBasis, 1);
                              w.ObjectEnd();
                              w.CurvesV("cubic", 1, seven, "nonperiodic", 1, tokens, pointers);
                              w.WorldEnd();
                          });
    // With the step 3 of the start, 7 vertices make 2 segments and 3 varying values.
    EXPECT_NE(text.find("Curves \"cubic\"[7 ] \"nonperiodic\"  \"varying float b\" [0 1 2]\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(ribcheck::read(text).errors.empty());
}

TEST(ReaderCounts, RecordLinesAllStayComments) {
    std::string text = rib([&](RibWriter& w) {
        w.ArchiveRecord("comment", "one\nWorldEnd\nthree");
        w.ArchiveRecord("structure", "Scene %s\r\nFrames %d\n", "x", 2);
        w.ArchiveRecord("comment", "old\rmac");
        w.ArchiveRecord("verbatim", "Sides 2\nSides 1\n");
    });
    EXPECT_EQ(text,
              "# one\n# WorldEnd\n# three\n"
              "##Scene x\r\n##Frames 2\n\n"
              "# old\r# mac\n"
              "Sides 2\nSides 1\n");
    ribcheck::Document doc = ribcheck::read(text);
    ASSERT_EQ(doc.requests.size(), 8u);
    EXPECT_EQ(doc.requests[6].name, "Sides");
}

// What one writer is told never reaches another: a token declared through A
// stays undeclared in B, whose stream is the one B writes alone.
TEST(ReaderCounts, EachStreamKnowsOnlyItsOwnDeclarations) {
    float v[3] = {1, 2, 3};
    RtToken tokens[] = {"crossfoo"};
    RtPointer pointers[] = {v};
    std::string first, second;
    std::string secondPath = tempPath("request");
    std::string err = captureStderr([&] {
        first = rib([&](RibWriter& a) {
            a.Declare("crossfoo", "uniform float[3]");
            RibWriter* b = createRibWriter(secondPath.c_str());
            b->SurfaceV("s", 1, tokens, pointers);
            a.SurfaceV("s", 1, tokens, pointers);
            a.Declare("crossfoo", "float");
            b->Declare("crossfoo", "color");
            a.SurfaceV("s", 1, tokens, pointers);
            b->SurfaceV("s", 1, tokens, pointers);
            delete b;
        });
    });
    second = readFile(secondPath);
    std::remove(secondPath.c_str());
    EXPECT_EQ(first,
              "Declare \"crossfoo\" \"uniform float[3]\"\nSurface \"s\" \"crossfoo\" [1 2 3]\n"
              "Declare \"crossfoo\" \"float\"\nSurface \"s\" \"crossfoo\" [1]\n");
    EXPECT_EQ(second, kHeader +
                          "Surface \"s\"\n"
                          "Declare \"crossfoo\" \"color\"\nSurface \"s\" \"crossfoo\" [1 2 3]\n"
                          "\n");
    EXPECT_EQ(err, "ERROR: Invalid token\n    --> undeclared parameter \"crossfoo\"\n");
}
