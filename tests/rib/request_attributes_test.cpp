// Attribute, transformation, shader and light requests.
#include "tests/rib/request_capture.h"

using namespace request_test;

TEST(AttributeRequests, Lines) {
    RtColor color = {1, 0.5f, 0};
    RtColor opacity = {0.25f, 0.25f, 0.25f};
    RtBound bound = {-1, 1, -2, 2, 0, 3.5f};
    RtMatrix identity = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    RtMatrix moved = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1.5f, -2, 3, 1}};
    RtFloat kd = 0.8f;
    RtToken tokens[] = {"Kd"};
    RtPointer values[] = {&kd};
    std::string text = rib([&](RibWriter& w) {
        w.Color(color);
        w.Opacity(opacity);
        w.TextureCoordinates(0, 0, 1, 0, 0, 1, 1, 1);
        w.ShadingRate(0.25f);
        w.ShadingInterpolation("smooth");
        w.Matte(1);
        w.Matte(static_cast<RtBoolean>(0xFFFF));
        w.Bound(bound);
        w.Detail(bound);
        w.DetailRange(0, 0, 10, 20);
        w.GeometricApproximation("flatness", 0.5f);
        w.GeometricRepresentation("points");
        w.Sides(2);
        w.Orientation("lh");
        w.ReverseOrientation();
        w.Identity();
        w.ConcatTransform(identity);
        w.Transform(moved);
        w.Perspective(45);
        w.Translate(1, 2, 3);
        w.Rotate(90, 0, 1, 0);
        w.Scale(2, 2, 0.5f);
        w.Skew(45, 0, 1, 0, 1, 0, 0);
        w.CoordinateSystem("lamp");
        w.CoordSysTransform("world");
        w.TransformBegin();
        w.TransformEnd();
        w.SurfaceV("plastic", 0, nullptr, nullptr);
        w.SurfaceV("matte", 1, tokens, values);
        w.DisplacementV("bumpy", 1, tokens, values);
        w.AtmosphereV("fog", 0, nullptr, nullptr);
        w.InteriorV("water", 0, nullptr, nullptr);
        w.ExteriorV("air", 0, nullptr, nullptr);
        w.ImagerV(nullptr, 1, tokens, values);
        w.AttributeV("identifier", 1, tokens, values);
    });
    EXPECT_EQ(text,
              "Color [1 0.5 0]\n"
              "Opacity [0.25 0.25 0.25]\n"
              "TextureCoordinates [ 0 0 1 0 0 1 1 1 ]\n"
              "ShadingRate 0.25\n"
              "ShadingInterpolation \"smooth\"\n"
              "Matte 1\n"
              "Matte -1\n"
              "Bound [-1 1 -2 2 0 3.5]\n"
              "Detail [-1 1 -2 2 0 3.5]\n"
              "DetailRange 0 0 10 20\n"
              "GeometricApproximation \"flatness\" 0.5\n"
              "GeometricRepresentation \"points\"\n"
              "Sides 2\n"
              "Orientation \"lh\"\n"
              "ReverseOrientation\n"
              "Identity\n"
              "ConcatTransform [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1]\n"
              "Transform [1 0 0 0 0 1 0 0 0 0 1 0 1.5 -2 3 1]\n"
              "Perspective 45\n"
              "Translate 1 2 3 \n"
              "Rotate 90 0 1 0 \n"
              "Scale 2 2 0.5\n"
              "Skew 45   0 1 0   1 0 0\n"
              "CoordinateSystem \"lamp\"\n"
              "CoordSysTransform \"world\"\n"
              "TransformBegin\n"
              "TransformEnd\n"
              "Surface \"plastic\"\n"
              "Surface \"matte\" \"Kd\" [0.8]\n"
              "Displacement \"bumpy\" \"Kd\" [0.8]\n"
              "Atmosphere \"fog\"\n"
              "Interior \"water\"\n"
              "Exterior \"air\"\n"
              "Imager \"\" \"Kd\" [0.8]\n"
              "Attribute \"identifier\" \"Kd\" [0.8]\n");
}

TEST(TransformRequests, TransformPointsWritesNothingAndReturnsNull) {
    RtPoint points[2] = {{1, 2, 3}, {4, 5, 6}};
    RtPoint* result = &points[0];
    EXPECT_EQ(rib([&](RibWriter& w) { result = w.TransformPoints("object", "world", 2, points); }),
              "");
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(points[1][2], 6);
}

TEST(AttributeRequests, BinaryModeEncodesOnlyTheWrittenFloats) {
    RtColor color = {1, 0.5f, 0};
    RtBound bound = {-1, 1, -1, 1, -1, 1};
    std::string text = binaryRib([&](RibWriter& w) {
        w.Translate(1, 2, 3);
        w.Color(color);
        w.Bound(bound);
        w.Scale(2, 2, 2);
        w.Skew(45, 0, 1, 0, 1, 0, 0);
        w.ShadingRate(1);
        w.Sides(1);
        w.Illuminate(1, 1);
    });
    EXPECT_EQ(text, "Translate " + binaryFloat(1) + binaryFloat(2) + binaryFloat(3) + "\n" +
                        "Color " + binaryArray({1, 0.5f, 0}) + "\n" + "Bound " +
                        binaryArray({-1, 1, -1, 1, -1, 1}) + "\n" +
                        "Scale 2 2 2\nSkew 45   0 1 0   1 0 0\nShadingRate 1\nSides 1\n"
                        "Illuminate 1 1\n");
}

TEST(ShaderRequests, UndeclaredTokenIsReportedAndLeftOut) {
    RtFloat v = 1;
    RtToken tokens[] = {"nosuchtoken", "Kd"};
    RtPointer values[] = {&v, &v};
    std::string text;
    std::string err = captureStderr(
        [&] { text = rib([&](RibWriter& w) { w.SurfaceV("plastic", 2, tokens, values); }); });
    EXPECT_EQ(text, "Surface \"plastic\" \"Kd\" [1]\n");
    EXPECT_EQ(err, "ERROR: Invalid token\n    --> undeclared parameter \"nosuchtoken\"\n");
}

TEST(LightRequests, HandlesCountAcrossBothKindsPerWriter) {
    RtFloat intensity = 10;
    RtToken tokens[] = {"intensity"};
    RtPointer values[] = {&intensity};
    std::vector<RtLightHandle> handles;
    std::string text = rib([&](RibWriter& w) {
        handles.push_back(w.LightSourceV("pointlight", 1, tokens, values));
        handles.push_back(w.AreaLightSourceV("distantlight", 0, nullptr, nullptr));
        handles.push_back(w.LightSourceV("spotlight", 0, nullptr, nullptr));
        w.Illuminate(2, 0);
        w.Illuminate(99, 1);  // not tested against the handles given out
    });
    EXPECT_EQ(handles, (std::vector<RtLightHandle>{1, 2, 3}));
    EXPECT_EQ(text,
              "LightSource \"pointlight\" 1 \"intensity\" [10]\n"
              "AreaLightSource \"distantlight\" 2\n"
              "LightSource \"spotlight\" 3\n"
              "Illuminate 2 0\n"
              "Illuminate 99 1\n");
    // A new writer starts again at 1.
    RtLightHandle first = 0;
    rib([&](RibWriter& w) { first = w.AreaLightSourceV("arealight", 0, nullptr, nullptr); });
    EXPECT_EQ(first, 1);
}

// Names in quotes, from every kind of request, in both encodings (where the
// widths of MakeTexture stay text). A null name is never left out: a reader
// would take the next value for it.
TEST(RequestNames, QuotesAndBackslashesAreEscapedAndNullIsEmpty) {
    float one = 1;
    RtToken tokens[] = {"Ka"};
    RtPointer pointers[] = {&one};
    auto requests = [&](RibWriter& w) {
        w.Orientation("a\"b\\c");
        w.CoordinateSystem(nullptr);
        w.SurfaceV("say \"hi\"", 0, nullptr, nullptr);
        w.DisplayV("a\"b\\c", nullptr, "rgb", 0, nullptr, nullptr);
        w.Quantize(nullptr, 1, 0, 1, 0);
        w.MakeTextureV("c:\\pics\\a.tif", nullptr, "periodic", "clamp", RiBoxFilter, 1.5f, 1, 0,
                       nullptr, nullptr);
        w.SolidBegin("say \"x\"");
        w.SurfaceV(nullptr, 1, tokens, pointers);
        w.HiderV(nullptr, 0, nullptr, nullptr);
        w.LightSourceV(nullptr, 1, tokens, pointers);
        w.GeometryV(nullptr, 0, nullptr, nullptr);
        w.ReadArchiveV(nullptr, nullptr, 0, nullptr, nullptr);
        w.DeformationV(nullptr, 0, nullptr, nullptr);
    };
    auto expected = [](const std::string& one) {
        return "Orientation \"a\\\"b\\\\c\"\n"
               "CoordinateSystem \"\"\n"
               "Surface \"say \\\"hi\\\"\"\n"
               "Display \"a\\\"b\\\\c\" \"\" \"rgb\"\n"
               "Quantize \"\" 1 0 1 0\n"
               "MakeTexture \"c:\\\\pics\\\\a.tif\" \"\" \"periodic\" \"clamp\" \"box\" 1.5 1\n"
               "SolidBegin \"say \\\"x\\\"\"\n"
               "Surface \"\" \"Ka\" " +
               one + "\nHider \"\"\nLightSource \"\" 1 \"Ka\" " + one +
               "\nGeometry \"\"\nReadArchive \"\"\nDeformation \"\"\n";
    };
    EXPECT_EQ(rib(requests), expected("[1]"));
    EXPECT_EQ(binaryRib(requests), expected(binaryArray({1})));
}
