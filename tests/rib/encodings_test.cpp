// The complete binary encoding, the precision of text floats, and the
// environment's choice of encoding and compression. The complete encoding is
// checked byte for byte on a few requests, and against the text of the same
// calls through a small decoder of the tests' own.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "rib/internal/errors.h"
#include "tests/rib/request_capture.h"
#include "tests/support/capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/ribcalls.h"
#include "tests/support/ribtokens.h"

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

using ribtokens::Decoded;
using ribtokens::decode;

// Writes the calls as text at 9 digits and in the complete encoding, and
// expects the same tokens from both, with every number exact.
void expectSameTokens(const std::function<void(RibWriter&)>& calls, const std::string& what) {
    std::string text = rib([&](RibWriter& w) {
        w.SetPrecision(9);
        calls(w);
    });
    EXPECT_EQ(ribtokens::compare(text, complete(calls)), "") << what;
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

// Every request kind is compared in the binding's tests; here long strings
// and generated call sequences, with values of every kind.
TEST(CompleteEncoding, HasTheTokensOfTheText) {
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
