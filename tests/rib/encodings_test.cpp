// The complete binary encoding, the precision of text floats, and the
// environment's choice of encoding and compression. The complete encoding is
// checked byte for byte on a few requests, and against the text of the same
// calls through a small decoder of its own here, which knows nothing of the
// library's code.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "rib/internal/errors.h"
#include "tests/rib/request_capture.h"
#include "tests/support/capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/ribcalls.h"

using namespace request_test;

namespace {

constexpr int kComplete = RibWriter::kCompleteBinary;

std::string complete(const std::function<void(RibWriter&)>& requests) {
    return rib(requests, kComplete);
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += char(v);
    return s;
}

// A plain string token of fewer than 16 bytes.
std::string shortString(const std::string& s) {
    return char(0x90 + s.size()) + s;
}

// Tokens as a reader sees them, the same for text and binary: "K name",
// "S text", "[", "]", "# comment", and numbers as "N integer" when they are
// whole 32-bit values (text writes the float 45 as "45") or "F bits".
std::string number(double v) {
    if (v == std::floor(v) && std::fabs(v) <= 2147483647.0) {
        return "N " + std::to_string((long long)v);
    }
    float f = float(v);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return "F " + std::to_string(bits);
}

// Decodes text RIB and the complete encoding. Strict, it also requires
// what the complete encoding promises: nothing but encoded tokens, brackets
// and comment lines; integers in their shortest form with the top bit of
// short ones clear; codes defined once each, in order, in the shortest form.
struct Decoded {
    std::vector<std::string> tokens;
    std::vector<std::string> errors;
};

class Decoder {
  public:
    Decoder(const std::string& bytes, bool strict) : s(bytes), strict(strict) {}

    Decoded run() {
        while (at < s.size()) one();
        return out;
    }

  private:
    unsigned char byte() const { return static_cast<unsigned char>(s[at]); }
    void fail(const std::string& what) {
        out.errors.push_back("offset " + std::to_string(at) + ": " + what);
    }
    bool have(size_t n) {
        if (s.size() - at >= n) return true;
        fail("token runs past the end");
        at = s.size();
        return false;
    }
    uint32_t big(size_t n) {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(s[at++]);
        return v;
    }
    float single() {
        uint32_t bits = big(4);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    void textOnly(const char* what) {
        if (strict) fail(std::string("text ") + what + " in the complete encoding");
    }

    void one() {
        unsigned char c = byte();
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            // The one line break every writer ends with is no separator.
            if (at + 1 < s.size()) textOnly("blank");
            ++at;
        } else if (c == '#') {
            size_t end = std::min(s.find('\n', at), s.size());
            out.tokens.push_back(s.substr(at, end - at));
            // A record that ends in line breaks of its own leaves empty lines.
            for (at = end; at < s.size() && s[at] == '\n';) ++at;
        } else if (c == '[' || c == ']') {
            out.tokens.push_back(std::string(1, char(c)));
            ++at;
        } else if (c == '"') {
            textOnly("string");
            out.tokens.push_back("S " + quoted());
        } else if (std::isdigit(c) || c == '-' || c == '+' || c == '.') {
            textOnly("number");
            textNumber();
        } else if (std::isalpha(c)) {
            textOnly("keyword");
            size_t start = at;
            while (at < s.size() && std::isalnum(byte())) ++at;
            out.tokens.push_back("K " + s.substr(start, at - start));
        } else if (c >= 0x80) {
            ++at;
            encoded(c);
        } else {
            fail("unexpected byte " + std::to_string(c));
            ++at;
        }
    }

    std::string quoted() {
        std::string text;
        for (++at; at < s.size() && s[at] != '"'; ++at) {
            if (s[at] != '\\' || at + 1 >= s.size()) {
                text += s[at];
                continue;
            }
            char e = s[++at];
            const char* escapes = "nrtbf";
            if (const char* p = std::strchr(escapes, e); p && e) {
                text += "\n\r\t\b\f"[p - escapes];
            } else if (e >= '0' && e <= '7') {
                int v = e - '0';
                for (int i = 0; i < 2 && s[at + 1] >= '0' && s[at + 1] <= '7'; ++i)
                    v = v * 8 + (s[++at] - '0');
                text += char(v);
            } else {
                text += e;
            }
        }
        ++at;
        return text;
    }

    void textNumber() {
        const char* begin = s.c_str() + at;
        char* end = nullptr;
        float f = std::strtof(begin, &end);
        std::string text(begin, size_t(end - begin));
        at += text.size();
        if (text.find_first_of(".eEnN") == std::string::npos) {
            out.tokens.push_back(number(double(std::strtoll(text.c_str(), nullptr, 10))));
        } else {
            out.tokens.push_back(number(f));
        }
    }

    // A plain string token, as definitions carry.
    bool plainString(std::string& text) {
        if (!have(1)) return false;
        unsigned char c = byte();
        size_t length;
        if (c >= 0x90 && c <= 0x9F) {
            ++at;
            length = c - 0x90;
        } else if (c >= 0xA0 && c <= 0xA3) {
            ++at;
            if (!have(size_t(c - 0xA0 + 1))) return false;
            length = big(size_t(c - 0xA0 + 1));
        } else {
            fail("definition without its string");
            return false;
        }
        if (!have(length)) return false;
        text = s.substr(at, length);
        at += length;
        return true;
    }

    void encoded(unsigned char c) {
        if (c <= 0x83) {
            size_t width = size_t(c - 0x80) + 1;
            if (!have(width)) return;
            uint32_t raw = big(width);
            if (width < 4 && raw >> (8 * width - 1)) fail("short integer with its top bit set");
            int32_t v = int32_t(raw);
            int shortest = v < 0 ? 4 : v < 0x80 ? 1 : v < 0x8000 ? 2 : v < 0x800000 ? 3 : 4;
            if (strict && size_t(shortest) != width) fail("integer not in its shortest form");
            out.tokens.push_back(number(v));
        } else if (c >= 0x90 && c <= 0xA3) {
            --at;
            std::string text;
            if (plainString(text)) out.tokens.push_back("S " + text);
        } else if (c == 0xA4) {
            if (have(4)) out.tokens.push_back(number(single()));
        } else if (c == 0xA6) {
            if (!have(1)) return;
            auto found = requests.find(big(1));
            if (found == requests.end()) return fail("request code used before its definition");
            out.tokens.push_back("K " + found->second);
        } else if (c >= 0xC8 && c <= 0xCB) {
            size_t countBytes = size_t(c - 0xC8) + 1;
            if (!have(countBytes)) return;
            uint32_t count = big(countBytes);
            if (!have(4ull * count)) return;
            out.tokens.push_back("[");
            for (uint32_t i = 0; i < count; ++i) out.tokens.push_back(number(single()));
            out.tokens.push_back("]");
        } else if (c == 0xCC) {
            if (!have(1)) return;
            uint32_t code = big(1);
            std::string name;
            if (!plainString(name)) return;
            if (code != requests.size()) fail("request code out of order");
            requests[code] = name;
        } else if (c == 0xCD || c == 0xCE) {
            if (!have(c == 0xCD ? 1 : 2)) return;
            uint32_t code = big(c == 0xCD ? 1 : 2);
            std::string text;
            if (!plainString(text)) return;
            if (code != strings.size() || (c == 0xCE) != (code > 0xFF)) {
                fail("string code out of order or not in its shortest form");
            }
            strings[code] = text;
        } else if (c == 0xCF || c == 0xD0) {
            if (!have(c == 0xCF ? 1 : 2)) return;
            uint32_t code = big(c == 0xCF ? 1 : 2);
            auto found = strings.find(code);
            if (found == strings.end()) return fail("string code used before its definition");
            if ((c == 0xD0) != (code > 0xFF)) fail("string reference not in its shortest form");
            out.tokens.push_back("S " + found->second);
        } else {
            fail("byte " + std::to_string(c) + " is no token the writer makes");
        }
    }

    const std::string& s;
    bool strict;
    size_t at = 0;
    std::map<uint32_t, std::string> requests, strings;
    Decoded out;
};

Decoded decode(const std::string& bytes, bool strict) {
    return Decoder(bytes, strict).run();
}

// Writes the calls as text at 9 digits and in the complete encoding, and
// expects the same tokens from both, with every number exact.
void expectSameTokens(const std::function<void(RibWriter&)>& calls, const std::string& what) {
    std::string text = rib([&](RibWriter& w) {
        w.SetPrecision(9);
        calls(w);
    });
    std::string encoded = complete(calls);
    Decoded fromText = decode(text, false);
    Decoded fromEncoded = decode(encoded, true);
    EXPECT_EQ(fromText.errors, std::vector<std::string>()) << what;
    EXPECT_EQ(fromEncoded.errors, std::vector<std::string>()) << what;
    ASSERT_FALSE(fromText.tokens.empty()) << what;
    ASSERT_EQ(fromEncoded.tokens.size(), fromText.tokens.size()) << what;
    for (size_t i = 0; i < fromText.tokens.size(); ++i) {
        ASSERT_EQ(fromEncoded.tokens[i], fromText.tokens[i]) << what << ", token " << i;
    }
}

// Every request the writer writes, with values of every kind.
void everyRequest(RibWriter& w) {
    RtFloat f1 = 0.1f, three[3] = {1.0f / 3, -2.5e-7f, 6.02e23f}, m[16], knots[8], big[32];
    for (int i = 0; i < 16; ++i) m[i] = float(i) / 7;
    for (int i = 0; i < 8; ++i) knots[i] = float(i / 4);
    for (int i = 0; i < 32; ++i) big[i] = float(i) * 0.3f - 4;
    RtString name = "tab\tand \"quote\"", names[2] = {"a.rib", "args"};
    RtInt ids[4] = {-1, 127, 128, 70000}, nv[2] = {3, 4}, verts[7] = {0, 1, 2, 3, 4, 5, 6};
    RtFloat bound[6] = {-1, 1, -1, 1, -1, 1};
    w.ArchiveRecord("structure", "Scene %s", "all");
    w.Declare("ids", "uniform integer[4]");
    w.Format(640, 480, 1.5f);
    w.FrameAspectRatio(4.0f / 3);
    w.ScreenWindow(-4.0f / 3, 4.0f / 3, -1, 1);
    w.CropWindow(0, 0.5f, 0.25f, 1);
    w.Projection("perspective", "fov", &f1, RI_NULL);
    w.Clipping(0.1f, 1e30f);
    w.ClippingPlane(1, 2, 3, 0, 0, 1);
    w.DepthOfField(2.8f, 0.05f, 3);
    w.Shutter(0, 1);
    w.PixelVariance(0.01f);
    w.PixelSamples(2, 2);
    w.PixelFilter(RiGaussianFilter, 2, 2);
    w.Exposure(1, 2.2f);
    w.Quantize("rgba", 255, 0, 65535, 0.5f);
    w.Display("out.tif", "file", "rgba", "string name", &name, RI_NULL);
    w.Hider("hidden", "ids", ids, RI_NULL);
    w.ColorSamples(1, three, three);
    w.RelativeDetail(0.6f);
    w.Option("limits", "uniform float[3] k", three, RI_NULL);
    w.FrameBegin(-7);
    w.WorldBegin();
    w.AttributeBegin();
    w.Color(three);
    w.Opacity(three);
    w.TextureCoordinates(0, 0, 1, 0, 0, 1, 1, 1);
    w.ShadingRate(0.25f);
    w.ShadingInterpolation("smooth");
    w.Matte(1);
    w.Bound(bound);
    w.Detail(bound);
    w.DetailRange(0, 1, 10, 100);
    w.GeometricApproximation("flatness", 0.5f);
    w.GeometricRepresentation("points");
    w.Orientation("rh");
    w.ReverseOrientation();
    w.Sides(2);
    w.Attribute("identifier", "string name", &name, RI_NULL);
    w.Identity();
    w.ConcatTransform(*reinterpret_cast<RtMatrix*>(m));
    w.Transform(*reinterpret_cast<RtMatrix*>(m));
    w.Perspective(45);
    w.Translate(1.0f / 3, -0.0f, 1e-40f);
    w.Rotate(90, 0, 1, 0);
    w.Scale(1, 2, 3);
    w.Skew(45, 0, 1, 0, 1, 0, 0);
    w.CoordinateSystem("mine");
    w.CoordSysTransform("mine");
    w.TransformBegin();
    w.TransformEnd();
    w.Surface("plastic", "Kd", &f1, RI_NULL);
    w.Displacement("bumpy", RI_NULL);
    w.Deformation("twist", RI_NULL);
    w.Atmosphere("fog", RI_NULL);
    w.Interior("water", RI_NULL);
    w.Exterior("air", RI_NULL);
    w.Imager("background", RI_NULL);
    RtLightHandle light = w.LightSource("pointlight", "intensity", &f1, RI_NULL);
    w.AreaLightSource("arealight", RI_NULL);
    w.Illuminate(light, 0);
    w.Sphere(1, -1, 1, 360, RI_NULL);
    w.Cone(1, 0.5f, 360, RI_NULL);
    w.Cylinder(1, -1, 1, 360, RI_NULL);
    w.Disk(0, 1, 360, RI_NULL);
    w.Hyperboloid(three, three, 360, RI_NULL);
    w.Paraboloid(1, 0, 1, 360, RI_NULL);
    w.Torus(1, 0.25f, 0, 360, 360, RI_NULL);
    w.Polygon(3, "P", big, RI_NULL);
    w.GeneralPolygon(2, nv, "P", big, RI_NULL);
    w.PointsPolygons(2, nv, verts, "P", big, RI_NULL);
    RtInt one = 1;
    w.PointsGeneralPolygons(1, &one, &nv[1], verts, "P", big, RI_NULL);
    w.Basis(RiBezierBasis, 3, *reinterpret_cast<RtBasis*>(m), 1);
    w.Patch("bilinear", "P", big, RI_NULL);
    w.PatchMesh("bilinear", 2, "nonperiodic", 2, "periodic", "P", big, RI_NULL);
    w.NuPatch(2, 2, knots, 0.125f, 1.0f / 3, 2, 2, knots, 0, 1, "P", big, RI_NULL);
    RtInt order = 2, count = 2;
    w.TrimCurve(1, &one, &order, knots, knots, big, &count, big, big, big);
    w.Curves("linear", 2, nv, "nonperiodic", "P", big, RI_NULL);
    w.Points(3, "P", big, "constantwidth", &f1, RI_NULL);
    RtToken tags[1] = {"crease"};
    RtInt nargs[2] = {2, 1}, intargs[2] = {0, 1};
    w.SubdivisionMesh("catmull-clark", 2, nv, verts, 1, tags, nargs, intargs, &f1, "P", big,
                      RI_NULL);
    RtInt code[3] = {1003, 0, 0};  // one leaf with 4 floats and a string
    w.Blobby(1, 3, code, 4, big, 1, names, "uniform float w", &f1, RI_NULL);
    w.Procedural(names, bound, RiProcRunProgram, RiProcFree);
    w.Geometry("teapot", RI_NULL);
    w.SolidBegin("union");
    w.SolidEnd();
    RtObjectHandle object = w.ObjectBegin();
    w.ObjectEnd();
    w.ObjectInstance(object);
    w.MotionBegin(2, 0.0, 1.0);
    w.MotionEnd();
    w.AttributeEnd();
    w.WorldEnd();
    w.FrameEnd();
    w.MakeTexture("a.tif", "a.tx", "periodic", "clamp", RiBoxFilter, 2, 3, RI_NULL);
    w.MakeBump("b.tif", "b.bump", "periodic", "clamp", RiTriangleFilter, 1, 1, RI_NULL);
    w.MakeLatLongEnvironment("a.tif", "a.env", RiSincFilter, 2, 3, RI_NULL);
    w.MakeCubeFaceEnvironment("px", "nx", "py", "ny", "pz", "nz", "c.env", 90,
                              RiCatmullRomFilter, 2, 3, RI_NULL);
    w.MakeShadow("d.zfile", "s.shd", RI_NULL);
    w.ArchiveRecord("comment", "two\nlines");
    w.ReadArchive("shapes.rib", nullptr, RI_NULL);
    w.ErrorHandler(RiErrorIgnore);
}

}  // namespace

TEST(CompleteEncoding, RequestsAndStringsAreDefinedOnFirstUseThenReferred) {
    RtFloat half = 0.5f;
    RtString origin = "ul";
    EXPECT_EQ(complete([&](RibWriter& w) {
                  w.Surface("plastic", RI_NULL);
                  w.Surface("plastic", "Kd", &half, RI_NULL);
                  w.Display("plastic", "Kd", "Kd", "string origin", &origin, RI_NULL);
                  w.WorldBegin();
              }),
              bytes({0xCC, 0}) + shortString("Surface") + bytes({0xA6, 0, 0xCD, 0}) +
                  shortString("plastic") + bytes({0xCF, 0}) +
                  bytes({0xA6, 0, 0xCF, 0, 0xCD, 1}) + shortString("Kd") +
                  bytes({0xCF, 1}) + binaryArray({0.5f}) +
                  bytes({0xCC, 1}) + shortString("Display") +
                  bytes({0xA6, 1, 0xCF, 0, 0xCF, 1, 0xCF, 1, 0xCD, 2}) +
                  shortString("string origin") + bytes({0xCF, 2}) + "[" +
                  bytes({0xCD, 3}) + shortString("ul") + bytes({0xCF, 3}) + "]" +
                  bytes({0xCC, 2}) + shortString("WorldBegin") + bytes({0xA6, 2}));
}

TEST(CompleteEncoding, IntegersFloatsAndArrays) {
    std::string integers = complete([](RibWriter& w) {
        for (long v : {0L, 127L, 128L, 32767L, 32768L, 8388607L, 8388608L, 2147483647L, -1L,
                       -2147483647L - 1}) {
            w.WriteInt(v);
        }
    });
    EXPECT_EQ(integers, bytes({0x80, 0, 0x80, 0x7F, 0x81, 0, 0x80, 0x81, 0x7F, 0xFF, 0x82, 0,
                               0x80, 0, 0x82, 0x7F, 0xFF, 0xFF, 0x83, 0, 0x80, 0, 0, 0x83, 0x7F,
                               0xFF, 0xFF, 0xFF, 0x83, 0xFF, 0xFF, 0xFF, 0xFF, 0x83, 0x80, 0, 0,
                               0}));

    // Every single float is IEEE, whichever way the text writes it; integer
    // arrays are bracketed integer tokens, float arrays one token.
    RtFloat knots[4] = {0, 0, 1, 1}, P[12] = {};
    RtInt nverts[1] = {4}, verts[4] = {0, 1, 2, 3}, id = 300;
    std::string request = complete([&](RibWriter& w) {
        w.Sphere(1, -1, 0.5f, 360, RI_NULL);
        w.NuPatchV(2, 2, knots, 0, 1, 2, 2, knots, 0.25f, 1, 0, nullptr, nullptr);
        w.PointsPolygons(1, nverts, verts, "P", P, "constant integer id", &id, RI_NULL);
    });
    std::string expected = bytes({0xCC, 0}) + shortString("Sphere") + bytes({0xA6, 0}) +
                           binaryFloat(1) + binaryFloat(-1) + binaryFloat(0.5f) +
                           binaryFloat(360) + bytes({0xCC, 1}) + shortString("NuPatch") +
                           bytes({0xA6, 1, 0x80, 2, 0x80, 2}) + binaryArray({0, 0, 1, 1}) +
                           binaryFloat(0) + binaryFloat(1) + bytes({0x80, 2, 0x80, 2}) +
                           binaryArray({0, 0, 1, 1}) + binaryFloat(0.25f) + binaryFloat(1) +
                           bytes({0xCC, 2}) + shortString("PointsPolygons") +
                           bytes({0xA6, 2, '[', 0x80, 4, ']', '[', 0x80, 0, 0x80, 1, 0x80, 2,
                                  0x80, 3, ']', 0xCD, 0}) +
                           shortString("P") + bytes({0xCF, 0}) +
                           binaryArray({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
                           bytes({0xCD, 1, 0xA0, 19}) + "constant integer id" +
                           bytes({0xCF, 1, '[', 0x81, 1, 0x2C, ']'});
    EXPECT_EQ(request, expected);
}

TEST(CompleteEncoding, CodesRunOutIntoPlainTokens) {
    // 65536 string codes, one byte for the first 256; after them plain
    // strings, while the codes already given stay in use.
    std::vector<std::string> texts;
    for (int i = 0; i <= 65536; ++i) texts.push_back("s" + std::to_string(i));
    for (int again : {0, 256, 65535, 65536}) texts.push_back("s" + std::to_string(again));
    std::string written = complete([&](RibWriter& w) {
        for (const std::string& t : texts) w.WriteQuoted(t.c_str());
    });
    Decoded d = decode(written, true);
    EXPECT_EQ(d.errors, std::vector<std::string>());
    ASSERT_EQ(d.tokens.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(d.tokens[i], "S " + texts[i]);
    EXPECT_NE(written.find(bytes({0xCD, 0xFF}) + shortString("s255") + bytes({0xCF, 0xFF})),
              std::string::npos);
    EXPECT_NE(written.find(bytes({0xCE, 1, 0}) + shortString("s256") + bytes({0xD0, 1, 0})),
              std::string::npos);
    std::string tail = shortString("s65536") + bytes({0xCF, 0, 0xD0, 1, 0, 0xD0, 0xFF, 0xFF}) +
                       shortString("s65536");
    ASSERT_GT(written.size(), tail.size());
    EXPECT_EQ(written.substr(written.size() - tail.size()), tail);

    // Beyond 256 request names (only a subclass has that many) the rest are
    // written as text, which readers of the encoding accept.
    std::string requests = complete([](RibWriter& w) {
        for (int i = 0; i < 300; ++i) w.WriteRequest(("R" + std::to_string(i)).c_str());
        w.WriteRequest("R0");
        w.WriteRequest("R299");
    });
    Decoded r = decode(requests, false);
    EXPECT_EQ(r.errors, std::vector<std::string>());
    ASSERT_EQ(r.tokens.size(), 302u);
    EXPECT_EQ(r.tokens[299], "K R299");
    EXPECT_EQ(r.tokens[300], "K R0");
    EXPECT_EQ(r.tokens[301], "K R299");
}

TEST(CompleteEncoding, HasTheTokensOfTheTextForEveryRequest) {
    expectSameTokens(everyRequest, "every request");
    // Long strings take the longer length forms.
    std::string longName(70000, 'n');
    expectSameTokens([&](RibWriter& w) { w.Surface(longName.c_str(), RI_NULL); }, "long");
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::vector<uint8_t> data = ribcheck::seededBytes(seed, 3000);
        expectSameTokens(
            [&](RibWriter& w) {
                ribcheck::ByteSource source(data.data(), data.size());
                ribcheck::makeCalls(source, w, 200);
            },
            "seed " + std::to_string(seed));
    }
}

TEST(CompleteEncoding, EachWriterHasItsOwnCodes) {
    std::string alone = complete([](RibWriter& w) { w.Surface("plastic", RI_NULL); });
    std::string first = tempPath("codes"), second = tempPath("codes");
    int mode = kComplete;
    RibWriter* a = new RibWriter(first.c_str(), "binary", &mode, RI_NULL);
    RibWriter* b = new RibWriter(second.c_str(), "binary", &mode, RI_NULL);
    a->Surface("plastic", RI_NULL);
    b->Surface("plastic", RI_NULL);
    delete a;
    delete b;
    EXPECT_EQ(readFile(first), kHeader + alone + "\n");
    EXPECT_EQ(readFile(second), kHeader + alone + "\n");
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(EncodingOptions, SelectTheCompleteEncoding) {
    const char *complete = "complete", *binary = "binary", *other = "Complete";
    int two = 2;
    auto encoding = [](RibWriter* w) {
        int b = w->binaryOutput;
        delete w;
        return b;
    };
    std::string path = tempPath("options");
    const char* p = path.c_str();
    EXPECT_EQ(encoding(new RibWriter(p, "format", &complete, RI_NULL)), kComplete);
    EXPECT_EQ(encoding(new RibWriter(p, "binary", &two, RI_NULL)), kComplete);
    EXPECT_EQ(encoding(new RibWriter(p, "format", &binary, RI_NULL)), 1);
    EXPECT_EQ(encoding(new RibWriter(p, "format", &other, RI_NULL)), 0);

    // A running writer switches from the next request on; the codes it
    // defined stay defined.
    RtColor red = {1, 0, 0};
    RtInt zero = 0;
    RtToken binaryToken[] = {"binary"};
    RtPointer twoValue[] = {&two}, zeroValue[] = {&zero};
    EXPECT_EQ(rib([&](RibWriter& w) {
                  w.Color(red);
                  w.OptionV("rib", 1, binaryToken, twoValue);
                  w.Color(red);
                  w.OptionV("rib", 1, binaryToken, zeroValue);
                  w.Color(red);
                  w.OptionV("rib", 1, binaryToken, twoValue);
                  w.Color(red);
              }),
              "Color [1 0 0]\n" + bytes({0xCC, 0}) + shortString("Color") + bytes({0xA6, 0}) +
                  binaryArray({1, 0, 0}) + "Color [1 0 0]\n" + bytes({0xA6, 0}) +
                  binaryArray({1, 0, 0}));

    auto r = runInChild([&] {
        RiOption("rib", "format", &complete, RI_NULL);
        RibWriter* w = RiBegin(p);
        std::printf("%d %d\n", ribBinaryFormat, w->binaryOutput);
        RiEnd();
    });
    EXPECT_EQ(r.out, "2 2\n");
    std::remove(p);
}

TEST(Precision, NineDigitsReadBackExactlyEverywhere) {
    // Random bit patterns, and the numbers six digits get wrong.
    std::mt19937 random(16);
    std::vector<float> values = {-1.0f / 3, 0.1f, 16777217.0f, 1e-45f, 3.4028235e38f, 1e-7f};
    while (values.size() < 3000) {
        uint32_t bits = random();
        float f;
        std::memcpy(&f, &bits, 4);
        if (std::isfinite(f)) values.push_back(f);
    }
    std::vector<float> expected;
    std::string text = rib([&](RibWriter& w) {
        w.SetPrecision(9);
        for (size_t i = 0; i + 3 < values.size(); i += 4) {
            const float* v = &values[i];
            w.Translate(v[0], v[1], v[2]);        // "%g " singles
            w.Sphere(v[0], v[1], v[2], v[3], RI_NULL);  // the fixed numbers
            w.Color(const_cast<float*>(v));      // an array
            RtFloat knots[4] = {v[0], v[1], v[2], v[3]};
            w.NuPatchV(2, 2, knots, v[1], v[2], 2, 2, knots, v[3], v[0], 0, nullptr, nullptr);
            for (float x : {v[0], v[1], v[2], v[0], v[1], v[2], v[3], v[0], v[1], v[2], 2.0f,
                            2.0f, v[0], v[1], v[2], v[3], v[1], v[2], 2.0f, 2.0f, v[0], v[1],
                            v[2], v[3], v[3], v[0]}) {
                expected.push_back(x);
            }
        }
    });
    std::vector<float> read;
    for (size_t at = 0; at < text.size();) {
        char c = text[at];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            char* end = nullptr;
            read.push_back(std::strtof(text.c_str() + at, &end));
            at = size_t(end - text.c_str());
        } else {
            ++at;
        }
    }
    ASSERT_EQ(read.size(), expected.size());
    for (size_t i = 0; i < read.size(); ++i) {
        ASSERT_EQ(std::memcmp(&read[i], &expected[i], 4), 0)
            << i << ": wrote " << expected[i] << ", read " << read[i];
    }
}

TEST(Precision, ChosenByOptionAndOutOfRangeReportedAndIgnored) {
    RtFloat third = 1.0f / 3, knots[2] = {third, third};
    int three = 3, ten = 10, zero = 0;
    std::string path = tempPath("precision");
    std::string err = captureStderr([&] {
        RibWriter* w = new RibWriter(path.c_str(), "precision", &three, RI_NULL);
        EXPECT_EQ(w->Precision(), 3);
        w->NuPatchV(1, 1, knots, 0, third, 1, 1, knots, 0, 1, 0, nullptr, nullptr);
        RtToken token[] = {"precision"};
        RtPointer bad[] = {&ten};
        w->OptionV("rib", 1, token, bad);
        EXPECT_EQ(w->lastError, RIE_RANGE);
        w->Sphere(third, 1, 1, 360, RI_NULL);
        delete w;
        // Six decimals would have written 0.333000 and 0.000000.
        EXPECT_EQ(readFile(path), kHeader +
                                      "NuPatch 1 1 [0.333 0.333] 0 0.333 1 1 [0.333 0.333] 0 1 \n"
                                      "Sphere 0.333 1 1 360\n\n");
        w = new RibWriter(path.c_str(), "precision", &zero, RI_NULL);
        EXPECT_EQ(w->Precision(), 6);
        EXPECT_EQ(w->lastError, RIE_RANGE);
        delete w;
    });
    EXPECT_EQ(err,
              "ERROR: Parameter out of range\n    --> \"precision\" of 10: 1 to 9 significant "
              "digits\n"
              "ERROR: Parameter out of range\n    --> \"precision\" of 0: 1 to 9 significant "
              "digits\n");

    auto r = runInChild([&] {
        RtToken token[] = {"precision"};
        RtPointer nine[] = {&three};
        three = 9;
        RiOptionV("rib", 1, token, nine);
        RiBegin(path.c_str());
        RiSphere(third, 1, 1, 360, RI_NULL);
        RiEnd();
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFile(path), kHeader + "Sphere 0.333333343 1 1 360\n\n");
    std::remove(path.c_str());
}

TEST(Environment, ChoosesWhatTheProgramDidNot) {
    std::string path = tempPath("environment");
    const char* p = path.c_str();
    // Prints the encoding of the writer RiBegin makes, then whether its
    // file is gzip.
    auto begin = [&](const char* format, const char* compression,
                     const std::function<void()>& program) {
        auto r = runInChild([&] {
            if (format) setenv("RIFORMAT", format, 1);
            if (compression) setenv("RICOMPRESSION", compression, 1);
            program();
            RibWriter* w = RiBegin(p);
            std::printf("%d", w->binaryOutput);
            RiEnd();
            std::string written = readFile(p);
            std::printf(" %d", written.compare(0, 2, "\x1f\x8b") == 0);
            RibWriter* own = createRibWriter(p);  // never the environment's
            std::printf(" %d", own->binaryOutput);
            delete own;
            std::printf(" %d\n", readFile(p).compare(0, 2, "\x1f\x8b") == 0);
        });
        EXPECT_EQ(r.err, "");
        return r.out;
    };
    const char *ascii = "ascii", *none = "none";
    int zero = 0;
    EXPECT_EQ(begin("binary", "gzip", [] {}), "2 1 0 0\n");
    EXPECT_EQ(begin("ascii", nullptr, [] {}), "0 0 0 0\n");
    EXPECT_EQ(begin("Binary", "GZIP", [] {}), "0 0 0 0\n");  // other values are ignored
    EXPECT_EQ(begin("binary", "gzip", [&] { RiOption("rib", "format", &ascii, RI_NULL); }),
              "0 1 0 0\n");
    EXPECT_EQ(begin("binary", "gzip", [&] { RiOption("rib", "binary", &zero, RI_NULL); }),
              "0 1 0 0\n");
    EXPECT_EQ(begin("binary", "gzip", [&] { RiOption("rib", "compression", &none, RI_NULL); }),
              "2 0 0 0\n");
    EXPECT_EQ(begin("binary", "gzip", [&] { RiOption("rib", "gzip", &zero, RI_NULL); }),
              "2 0 0 0\n");
    EXPECT_EQ(begin("ascii", nullptr, [] { ribBinaryFormat = 1; }), "1 0 0 0\n");
    std::remove(p);
}
