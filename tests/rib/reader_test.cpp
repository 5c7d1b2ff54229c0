// The library's RIB reader: what a writer wrote comes back as the same
// requests, so writing them again gives the same bytes, in text and binary,
// plain or gzip; malformed input is reported with its place and the rest read.
#include "rib/ribreader.h"

#include <zlib.h>

#include <string>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/renderer.h"
#include "tests/support/ribcalls.h"
#include "tests/support/ribencoder.h"
#include "tests/support/ribreader.h"

using request_test::kHeader;

namespace {

// The generated calls of one seed, as a writer in the given encoding writes them.
std::string generated(unsigned seed, int binary, int precision = 6) {
    std::vector<uint8_t> bytes = ribcheck::seededBytes(seed, 3000);
    ribcheck::ByteSource source(bytes.data(), bytes.size());
    std::string path = tempPath("reader_source");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = binary;
    w->SetPrecision(precision);
    ribcheck::makeCalls(source, *w);
    delete w;
    std::string written = readFile(path);
    std::remove(path.c_str());
    return written;
}

// What a writer in the given encoding writes for the requests read from rib.
std::string rewritten(const std::string& rib, int binary, int* problems = nullptr,
                      int precision = 6) {
    std::string path = tempPath("reader_copy");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = binary;
    w->SetPrecision(precision);
    duzozo::RibReader reader(*w);
    reader.readBuffer(rib.data(), rib.size(), "input.rib");
    if (problems) *problems = reader.problems();
    delete w;
    std::string written = readFile(path);
    std::remove(path.c_str());
    return written;
}

std::string gzipped(const std::string& plain) {
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(compressBound(uLong(plain.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Blank lines and the carriage return of a CR LF line end carry nothing a
// reader keeps (a comment record that ends with a line break leaves a blank
// line behind it).
std::string withoutBlankLines(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    for (size_t at; (at = text.find("\n\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace

// The complete encoding of a different producer, the tests' own encoder,
// reads as the text it was made from.
TEST(LibraryReader, AnotherProducersCompleteEncodingReadsAsTheText) {
    std::vector<std::string> texts = {readFile(EXAMPLES "/scene.rib")};
    for (unsigned seed = 1; seed <= 60; ++seed) texts.push_back(generated(seed, 0));
    for (const std::string& text : texts) {
        std::string encoded = ribcheck::encodeComplete(ribcheck::read(text));
        ASSERT_NE(encoded.find('\xcc'), std::string::npos) << "no request was encoded";
        int problems = -1;
        EXPECT_EQ(rewritten(encoded, 0, &problems), rewritten(text, 0));
        EXPECT_EQ(problems, 0);
    }
}

// And so does another RIB tool's, where one is installed.
TEST(LibraryReader, AnotherToolsBinaryOutputReadsAsTheText) {
    if (!onPath("miqser")) GTEST_SKIP() << "no miqser on PATH";
    TempDir dir;
    std::string binary = dir.path + "/scene.ribb";
    ChildOutcome made =
        runChild("/bin/sh", {"-c", "miqser -b \"$0\" > \"$1\"", EXAMPLES "/scene.rib", binary});
    ASSERT_EQ(made.status, 0) << made.err;
    int problems = -1;
    EXPECT_EQ(rewritten(readFile(binary), 0, &problems), rewritten(readFile(EXAMPLES "/scene.rib"), 0));
    EXPECT_EQ(problems, 0);
}

TEST(LibraryReader, EveryGeneratedRequestComesBackByteForByte) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        for (int binary : {0, 1, 2}) {
            std::string original = generated(seed, binary);
            int problems = -1;
            std::string copy = rewritten(original, binary, &problems);
            EXPECT_EQ(problems, 0) << "seed " << seed << " binary " << binary;
            ASSERT_EQ(withoutBlankLines(copy), withoutBlankLines(original))
                << "seed " << seed << " binary " << binary;
        }
        // Every encoding reads into the others: binary to text gives the text.
        for (int binary : {1, 2}) {
            EXPECT_EQ(withoutBlankLines(rewritten(generated(seed, binary), 0)),
                      withoutBlankLines(generated(seed, 0)))
                << "seed " << seed << " binary " << binary;
        }
    }
}

// At nine digits text is a lossless copy: the floats the reader hands over
// are the caller's, so the text written from them is the same text, and the
// complete encoding made from it is the one made from the caller's calls.
TEST(LibraryReader, NineDigitTextCarriesTheCallersFloatsExactly) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::string text = generated(seed, 0, 9);
        EXPECT_EQ(withoutBlankLines(rewritten(text, 0, nullptr, 9)), withoutBlankLines(text))
            << "seed " << seed;
        EXPECT_EQ(withoutBlankLines(rewritten(text, 2)), withoutBlankLines(generated(seed, 2)))
            << "seed " << seed;
    }
}

// The reader of the tests, written apart from the library, finds the same
// requests in the library reader's text as in the text the calls made, from
// every encoding.
TEST(LibraryReader, TheIndependentReaderAgrees) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        ribcheck::Document expected = ribcheck::read(generated(seed, 0));
        for (int binary : {0, 1, 2}) {
            ribcheck::Document got = ribcheck::read(rewritten(generated(seed, binary), 0));
            EXPECT_TRUE(got.errors.empty()) << "seed " << seed << " binary " << binary;
            ASSERT_EQ(got.requests.size(), expected.requests.size()) << "seed " << seed;
            for (size_t i = 0; i < got.requests.size(); ++i) {
                EXPECT_EQ(got.requests[i].name, expected.requests[i].name);
                EXPECT_EQ(got.requests[i].args.size(), expected.requests[i].args.size());
                EXPECT_EQ(got.requests[i].params.size(), expected.requests[i].params.size());
            }
        }
    }
}

TEST(LibraryReader, GzipInputReadsAsThePlainBytes) {
    std::string original = generated(7, 0);
    EXPECT_EQ(withoutBlankLines(rewritten(gzipped(original), 0)), withoutBlankLines(original));
}

TEST(LibraryReader, HandlesCommentsAndHeadersComeBackAsWritten) {
    std::string original = kHeader +
                           "# a comment\n##Scene x\nLightSource \"pointlight\" 1 \"intensity\" [2]\n"
                           "Illuminate 1 0\nObjectBegin 1\nSphere 1 -1 1 360\nObjectEnd\n"
                           "ObjectInstance 1\nBasis \"bezier\" 3 [1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1] 2\n"
                           "ColorSamples [1 0 0 0 1 0] [1 0 0 0 1 0]\nColor [0.5 0.25]\n"
                           "Declare \"k\" \"uniform string[2]\"\nSurface \"s\" \"k\" [\"a\" \"b\\nc\"]\n"
                           "\n";
    EXPECT_EQ(rewritten(original, 0), original);
}

TEST(LibraryReader, MalformedInputIsReportedWithItsPlaceAndTheRestRead) {
    std::string err;
    std::string copy;
    err = captureStderr([&] {
        copy = rewritten(
            "WorldBegin\nSphere 1 -1 1\nBogus 3\nSurface \"s\" \"Kd\" [1 2]\n"
            "Polygon \"P\" [0 0 0 1 0 0 1 1 0] \"nosuch\" [1]\n"
            "Color [1 2\nWorldEnd\n\"stray\"\nAttributeBegin\n",
            0);
    });
    EXPECT_EQ(copy, kHeader +
                        "WorldBegin\nSurface \"s\"\nPolygon \"P\" [0 0 0 1 0 0 1 1 0]\n"
                        "AttributeBegin\n\n");
    EXPECT_EQ(err,
              std::string() +
                  "ERROR: Required parameters not provided\n    --> input.rib:2: Sphere: its numbers "
                  "should be an array of numbers\n"
                  "ERROR: Invalid token\n    --> input.rib:3: unknown request \"Bogus\"\n"
                  "ERROR: Parameters inconsistent\n    --> input.rib:4: Surface: parameter \"Kd\" "
                  "has 2 numbers, needs 1 numbers\n"
                  "ERROR: Invalid token\n    --> input.rib:5: Polygon: undeclared parameter "
                  "\"nosuch\"\n"
                  "ERROR: Syntax error\n    --> input.rib:6: an array without its \"]\"\n"
                  "ERROR: Syntax error\n    --> input.rib:8: WorldEnd: more arguments than it takes\n"
                  "ERROR: Nesting error\n    --> input.rib:1: WorldBegin never ended\n"
                  "ERROR: Nesting error\n    --> input.rib:9: AttributeBegin never ended\n");
}
