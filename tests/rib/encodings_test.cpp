// The complete binary encoding, byte for byte and read back beside the text
// at nine digits; the precision of text floats; and the options and the
// environment that choose the encoding and the compression.
#include <cstdlib>
#include <string>
#include <vector>

#include "rib/internal/errors.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/ribcalls.h"
#include "tests/support/ribreader.h"

using namespace request_test;
using namespace std::string_literals;

namespace {

constexpr int kComplete = RibWriter::kCompleteBinary;
using Calls = std::function<void(RibWriter&)>;

}  // namespace

// Octal, as the encoding's codes are usually given.
TEST(CompleteEncoding, Bytes) {
    RtFloat half = 0.5f, knots[4] = {0, 0, 1, 1}, P[12] = {};
    RtString origin = "ul";
    RtInt nverts[1] = {4}, verts[4] = {0, 1, 2, 3}, id = 300, two = 2, zero = 0;
    RtColor red = {1, 0, 0};
    RtToken binary[] = {"binary"};
    RtPointer toComplete[] = {&two}, toText[] = {&zero};
    const struct {
        const char* what;
        int encoding;
        Calls calls;
        std::string bytes;
    } rows[] = {
        {"request names and strings defined on first use, then referred to", kComplete,
         [&](RibWriter& w) {
             w.Surface("plastic", RI_NULL);
             w.Surface("plastic", "Kd", &half, RI_NULL);
             w.Display("plastic", "Kd", "Kd", "string origin", &origin, RI_NULL);
             w.WorldBegin();
         },
         "\314\000\227Surface\246\000\315\000\227plastic\317\000"
         "\246\000\317\000\315\001\222Kd\317\001"s +
             binaryArray({0.5f}) +
             "\314\001\227Display\246\001\317\000\317\001\317\001"
             "\315\002\235string origin\317\002[\315\003\222ul\317\003]"
             "\314\002\232WorldBegin\246\002"s},
        // Negative integers take four bytes, as readers take shorter ones
        // as unsigned.
        {"integers in their shortest form", kComplete,
         [](RibWriter& w) {
             for (long v : {0L, 127L, 128L, 32767L, 32768L, 8388607L, 8388608L, 2147483647L, -1L,
                            -2147483647L - 1})
                 w.WriteInt(v);
         },
         "\200\000\200\177\201\000\200\201\177\377\202\000\200\000\202\177\377\377"
         "\203\000\200\000\000\203\177\377\377\377\203\377\377\377\377\203\200\000\000\000"s},
        // Whichever way the text writes a float, it is an IEEE single here.
        {"floats single, float arrays whole, integer arrays bracketed", kComplete,
         [&](RibWriter& w) {
             w.Sphere(1, -1, 0.5f, 360, RI_NULL);
             w.NuPatchV(2, 2, knots, 0, 1, 2, 2, knots, 0.25f, 1, 0, nullptr, nullptr);
             w.PointsPolygons(1, nverts, verts, "P", P, "constant integer id", &id, RI_NULL);
         },
         "\314\000\226Sphere\246\000"s + binaryFloat(1) + binaryFloat(-1) + binaryFloat(0.5f) +
             binaryFloat(360) + "\314\001\227NuPatch\246\001\200\002\200\002"s +
             binaryArray({0, 0, 1, 1}) + binaryFloat(0) + binaryFloat(1) + "\200\002\200\002"s +
             binaryArray({0, 0, 1, 1}) + binaryFloat(0.25f) + binaryFloat(1) +
             "\314\002\236PointsPolygons\246\002[\200\004][\200\000\200\001\200\002\200\003]"
             "\315\000\221P\317\000"s +
             binaryArray({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +
             "\315\001\240\023constant integer id\317\001[\201\001\054]"s},
        {"the option switches a running writer at the next request; its codes stay defined",
         RibWriter::kText,
         [&](RibWriter& w) {
             for (RtPointer* next : {toComplete, toText, toComplete}) {
                 w.Color(red);
                 w.OptionV("rib", 1, binary, next);
             }
             w.Color(red);
         },
         "Color [1 0 0]\n\314\000\225Color\246\000"s + binaryArray({1, 0, 0}) +
             "Color [1 0 0]\n\246\000"s + binaryArray({1, 0, 0})},
    };
    for (const auto& row : rows) EXPECT_EQ(rib(row.calls, row.encoding), row.bytes) << row.what;
}

// 65536 string codes, one byte for the first 256; after them plain strings,
// while the codes already given stay in use. Beyond 256 request names (only
// a subclass has that many) the rest are written as text, which readers of
// the encoding accept.
TEST(CompleteEncoding, CodesRunOutIntoPlainTokens) {
    std::vector<std::string> texts;
    for (int i = 0; i <= 65536; ++i) texts.push_back("s" + std::to_string(i));
    for (int again : {0, 256, 65535, 65536}) texts.push_back("s" + std::to_string(again));
    std::string written = rib(
        [&](RibWriter& w) {
            w.WriteRequest("ShadingInterpolation");
            w.WriteChar('[');
            for (const std::string& t : texts) w.WriteQuoted(t.c_str());
            w.WriteChar(']');
        },
        kComplete);
    ribcheck::Document strings = ribcheck::read(written);
    EXPECT_EQ(strings.errors, std::vector<std::string>());
    ASSERT_EQ(strings.requests.size(), 1u);
    EXPECT_TRUE(strings.requests[0].args[0].strings == texts);
    EXPECT_NE(written.find("\315\377\224s255\317\377"s), std::string::npos);
    EXPECT_NE(written.find("\316\001\000\224s256\320\001\000"s), std::string::npos);
    std::string tail = "\226s65536\317\000\320\001\000\320\377\377\226s65536]"s;
    ASSERT_GT(written.size(), tail.size());
    EXPECT_EQ(written.substr(written.size() - tail.size()), tail);

    std::vector<std::string> names, read;
    for (int i = 0; i < 300; ++i) names.push_back("R" + std::to_string(i));
    names.insert(names.end(), {"R0", "R299"});
    std::string requests = rib(
        [&](RibWriter& w) {
            for (const std::string& name : names) w.WriteRequest(name.c_str());
        },
        kComplete);
    for (const ribcheck::Request& r : ribcheck::read(requests).requests) read.push_back(r.name);
    EXPECT_EQ(read, names);
}

// Every request kind is compared in the binding's tests; here long strings,
// the floats six digits get wrong, and generated call sequences.
TEST(CompleteEncoding, ReadsAsTheTextAtNineDigits) {
    auto expectSame = [](const Calls& calls, const std::string& what) {
        std::string text = rib([&](RibWriter& w) {
            w.SetPrecision(9);
            calls(w);
        });
        EXPECT_EQ(ribcheck::compareComplete(text, rib(calls, kComplete)), "") << what;
    };
    std::string longName(70000, 'n');
    expectSame([&](RibWriter& w) { w.Surface(longName.c_str(), RI_NULL); }, "long");
    float odd[] = {-1.0f / 3, 0.1f, 16777217.0f, 1e-45f, 3.4028235e38f, 1e-7f, 2.5f};
    expectSame(
        [&](RibWriter& w) {
            for (float* v = odd; v + 3 < std::end(odd); ++v) {
                w.Translate(v[0], v[1], v[2]);              // "%g" singles
                w.Sphere(v[0], v[1], v[2], v[3], RI_NULL);  // the fixed numbers
                w.Color(v);                                 // an array
                w.NuPatchV(2, 2, v, v[1], v[2], 2, 2, v, v[3], v[0], 0, nullptr, nullptr);
            }
        },
        "odd floats");
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::vector<uint8_t> data = ribcheck::seededBytes(seed, 3000);
        expectSame(
            [&](RibWriter& w) {
                ribcheck::ByteSource source(data.data(), data.size());
                ribcheck::makeCalls(source, w, 200);
            },
            "seed " + std::to_string(seed));
    }
}

TEST(Precision, ChosenByOptionAndOutOfRangeReportedAndIgnored) {
    RtFloat third = 1.0f / 3, knots[2] = {third, third};
    int three = 3, ten = 10, zero = 0, nine = 9;
    RtToken precision[] = {"precision"};
    RtPointer tooMany[] = {&ten}, exact[] = {&nine};
    std::string path = tempPath("precision");
    std::string err = captureStderr([&] {
        RibWriter* w = new RibWriter(path.c_str(), "precision", &three, RI_NULL);
        w->NuPatchV(1, 1, knots, 0, third, 1, 1, knots, 0, 1, 0, nullptr, nullptr);
        w->OptionV("rib", 1, precision, tooMany);
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
    std::string range = "ERROR: Parameter out of range\n    --> \"precision\" of ";
    EXPECT_EQ(err, range + "10: 1 to 9 significant digits\n" + range +
                       "0: 1 to 9 significant digits\n");

    auto r = runInChild([&] {
        RiOptionV("rib", 1, precision, exact);
        RiBegin(path.c_str());
        RiSphere(third, 1, 1, 360, RI_NULL);
        RiEnd();
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readFile(path), kHeader + "Sphere 0.333333343 1 1 360\n\n");
    std::remove(path.c_str());
}

// What RiBegin's writer takes from RiOption and from RIFORMAT and
// RICOMPRESSION; a writer made otherwise never looks at the environment.
TEST(EncodingOptions, RiBeginTakesTheEnvironmentsWhereTheProgramChoseNone) {
    std::string path = tempPath("environment");
    const char* p = path.c_str();
    const char *other = "Complete", *none = "none", *binary = "binary", *complete = "complete",
               *gzip = "gzip";
    int zero = 0;
    const struct {
        const char* format;
        const char* compression;
        std::function<void()> program;
        const char* out;  // the encoding of RiBegin's writer, and its compression
    } rows[] = {
        {"binary", "gzip", [] {}, "2 gzip"},
        {"ascii", nullptr, [] {}, "0 plain"},
        {"Binary", "GZIP", [] {}, "0 plain"},  // other values are ignored
        // Names are taken as written: any other is text.
        {"binary", "gzip", [&] { RiOption("rib", "format", &other, RI_NULL); }, "0 gzip"},
        {"binary", "gzip", [&] { RiOption("rib", "binary", &zero, RI_NULL); }, "0 gzip"},
        {"binary", "gzip", [&] { RiOption("rib", "compression", &none, RI_NULL); }, "2 plain"},
        {"binary", "gzip", [&] { RiOption("rib", "gzip", &zero, RI_NULL); }, "2 plain"},
        {"ascii", nullptr, [] { ribBinaryFormat = 1; }, "1 plain"},
        {nullptr, nullptr, [&] { RiOption("rib", "format", &complete, RI_NULL); }, "2 plain"},
        {nullptr, nullptr,
         [&] { RiOption("rib", "format", &binary, "compression", &gzip, RI_NULL); }, "1 gzip"},
        // Anything but "gzip" turns compression off.
        {nullptr, "gzip",
         [&] { RiOption("rib", "compression", &gzip, "compression", &binary, RI_NULL); },
         "0 plain"},
    };
    for (const auto& row : rows) {
        auto r = runInChild([&] {
            if (row.format) setenv("RIFORMAT", row.format, 1);
            if (row.compression) setenv("RICOMPRESSION", row.compression, 1);
            row.program();
            auto written = [&](RibWriter* w) {
                int encoding = w->binaryOutput;
                delete w;
                bool gzip = readFile(p).compare(0, 2, "\x1f\x8b") == 0;
                return std::to_string(encoding) + (gzip ? " gzip" : " plain");
            };
            std::string begun = written(RiBegin(p));
            std::printf("%s, %s\n", begun.c_str(), written(createRibWriter(p)).c_str());
        });
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, row.out + std::string(", 0 plain\n")) << row.format << row.compression;
    }
    std::remove(p);
}
