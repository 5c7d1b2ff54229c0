// The RIB lexer: text tokens, every binary form, and malformed input that
// is reported and stepped over.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "bench/scenegen.h"
#include "rib/internal/floatformat.h"
#include "rib/internal/ribinput.h"
#include "rib/internal/riblexer.h"
#include "tests/support/ribreader.h"

using duzozo::RibLexer;
using duzozo::RibToken;

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list) out += char(b);
    return out;
}

std::string bigEndian(uint64_t v, int n) {
    std::string out;
    for (int i = n - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xff);
    return out;
}

std::string floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bigEndian(bits, 4);
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

// Every token as a short line, and every error with its place.
struct Lexed {
    std::vector<std::string> tokens;
    std::vector<std::string> errors;
    std::vector<RibToken> raw;
    std::vector<std::string> texts;  // a token's text lives only until the next
    std::string joined() const {
        std::string out;
        for (const std::string& t : tokens) out += (out.empty() ? "" : " ") + t;
        return out;
    }
};

std::string describe(const RibToken& t) {
    switch (t.kind) {
        case RibToken::Name: return "N:" + std::string(t.text);
        case RibToken::String: return "S:" + std::string(t.text);
        case RibToken::Comment: return "#:" + std::string(t.text);
        case RibToken::Integer: return "I:" + std::to_string(t.integer);
        case RibToken::Float: return "F:" + number(t.number);
        case RibToken::ArrayBegin: return "[";
        case RibToken::ArrayEnd: return "]";
        case RibToken::FloatArray: {
            std::vector<float> v(t.count);
            t.floats(v.data());
            std::string out = "A" + std::to_string(t.count) + ":";
            for (size_t i = 0; i < v.size() && i < 4; ++i) out += (i ? "," : "") + number(v[i]);
            return out;
        }
        case RibToken::End: return "END";
    }
    return "?";
}

Lexed lex(const std::string& input) {
    Lexed out;
    RibLexer lexer(input.data(), input.size(), "in.rib", [&](const duzozo::RibLexError& e) {
        out.errors.push_back(std::to_string(e.offset) + ":" + std::to_string(e.line) +
                             (e.binary ? "b " : " ") + e.message);
    });
    RibToken t;
    size_t limit = input.size() + 2;  // every token uses up at least one byte
    while (lexer.next(t)) {
        out.tokens.push_back(describe(t));
        out.raw.push_back(t);
        out.texts.emplace_back(t.text);
        if (out.tokens.size() > limit) {
            ADD_FAILURE() << "the lexer does not come to an end";
            break;
        }
    }
    EXPECT_EQ(t.kind, RibToken::End);
    EXPECT_EQ(lexer.errorCount(), out.errors.size());
    return out;
}

std::string errors(const Lexed& l) {
    std::string out;
    for (const std::string& e : l.errors) out += e + "\n";
    return out;
}

TEST(RibLexerText, TokensWithTheirLinesAndOffsets) {
    std::string input =
        "##RenderMan RIB-Structure 1.0\n"
        "version 3.03\n"
        "FrameBegin 1 # the first\r\n"
        "  Translate -1 +2.5 .5e1\n"
        "Surface \"plastic\" \"Ks\" [0.5 1]\n";
    Lexed l = lex(input);
    EXPECT_EQ(l.joined(),
              "#:#RenderMan RIB-Structure 1.0 N:version F:3.02999997 N:FrameBegin I:1 #: the first "
              "N:Translate I:-1 F:2.5 F:5 N:Surface S:plastic S:Ks [ F:0.5 I:1 ]");
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    ASSERT_EQ(l.raw.size(), 17u);
    EXPECT_EQ(l.raw[0].line, 1u);
    EXPECT_EQ(l.raw[1].line, 2u);
    EXPECT_EQ(l.raw[6].line, 4u);
    EXPECT_EQ(l.raw[6].offset, input.find("Translate"));
    EXPECT_EQ(l.raw[10].offset, input.find("Surface"));
    EXPECT_EQ(l.raw[11].offset, input.find("\"plastic\""));
    EXPECT_EQ(l.raw[16].line, 5u);
    EXPECT_FALSE(l.raw[11].binary);
    // Names and strings without escapes are the input's own bytes.
    EXPECT_EQ(l.raw[11].text.data(), input.data() + input.find("plastic"));
}

TEST(RibLexerText, NumbersIntegersAndFloats) {
    Lexed l = lex("2147483647 -2147483648 2147483648 12345678901234567890 1e3 7. -.25 "
                  "1.17549435e-38 1.4e-45 inf -inf nan");
    EXPECT_EQ(l.joined(),
              "I:2147483647 I:-2147483648 F:2.14748365e+09 F:1.23456794e+19 F:1000 F:7 F:-0.25 "
              "F:1.17549435e-38 F:1.40129846e-45 F:inf F:-inf F:nan");
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    // "-0" is an integer, and keeps its sign as a float.
    Lexed zero = lex("-0");
    ASSERT_EQ(zero.raw.size(), 1u);
    EXPECT_EQ(zero.raw[0].kind, RibToken::Integer);
    EXPECT_TRUE(std::signbit(zero.raw[0].asFloat()));
    EXPECT_EQ(lex("17").raw[0].asFloat(), 17.0f);

    // Nine significant digits give back every float, bit for bit.
    std::mt19937 random(5);
    std::string text;
    std::vector<float> written;
    for (int i = 0; i < 20000; ++i) {
        uint32_t b = random();
        float f;
        std::memcpy(&f, &b, 4);
        if (!std::isfinite(f)) continue;
        written.push_back(f);
        char digits[duzozo::kFloatChars];
        text.append(digits, duzozo::formatFloat(digits, f, 9));
        text += ' ';
    }
    Lexed back = lex(text);
    ASSERT_EQ(back.raw.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        float got = back.raw[i].asFloat();
        ASSERT_EQ(std::memcmp(&got, &written[i], 4), 0) << number(written[i]);
    }
}

// Text floats of any length of digits come out as the standard library's
// exact reading gives them, halfway cases included.
TEST(RibLexerText, FloatsReadAsTheExactConversion) {
    std::vector<std::string> texts = {"16777217.0", "16777217e0", "-33554434.0", "33554438e0",
                                      "0.5000000298023223876953125", "1.00000006", "1.000000059604645",
                                      "3.4028235e38", "1.1754942e-38", "9007199254740993e-22",
                                      "12345678901234567890e-10", "0.000000000000000000001"};
    std::mt19937 random(3);
    char text[64];
    for (int i = 0; i < 30000; ++i) {
        uint32_t b = random();
        float f;
        std::memcpy(&f, &b, 4);
        if (!std::isfinite(f)) continue;
        std::snprintf(text, sizeof text, "%.*g", 1 + int(random() % 17), double(f));
        texts.push_back(std::strchr(text, '.') || std::strchr(text, 'e') ? text
                                                                           : std::string(text) + ".0");
        // Random digits and powers, where the quick reading does most.
        std::string digits = std::to_string(random() % 1000000000u) + std::to_string(random() % 1000);
        digits.resize(1 + random() % digits.size());
        texts.push_back(digits + "e" + std::to_string(int(random() % 56) - 30));
    }
    std::string input;
    for (const std::string& t : texts) input += t + " ";
    Lexed l = lex(input);
    ASSERT_EQ(l.raw.size(), texts.size()) << errors(l);
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    int wrong = 0;
    for (size_t i = 0; i < texts.size() && wrong < 5; ++i) {
        float expected = std::strtof(texts[i].c_str(), nullptr);
        float got = l.raw[i].asFloat();
        if (std::memcmp(&got, &expected, 4) != 0) {
            ++wrong;
            ADD_FAILURE() << texts[i] << ": " << number(got) << ", exactly " << number(expected);
        }
    }
}

TEST(RibLexerText, StringEscapesAndContinuedLines) {
    std::string input = "\"tab\\there\\n\\r\\b\\f \\\\ \\\" \\101\\60\\0101\\7\\q\"\n"
                        "\"long \\\nline\" \"two\nlines\" Sphere";
    Lexed l = lex(input);
    ASSERT_EQ(l.raw.size(), 4u) << l.joined();
    EXPECT_EQ(l.texts[0], std::string("tab\there\n\r\b\f \\ \" A0\0101\7q", 23));
    EXPECT_EQ(l.texts[1], "long line");
    EXPECT_EQ(l.texts[2], "two\nlines");
    EXPECT_EQ(l.raw[1].line, 2u);
    EXPECT_EQ(l.raw[2].line, 3u);
    EXPECT_EQ(l.raw[3].line, 4u);
    EXPECT_TRUE(l.errors.empty()) << errors(l);
}

TEST(RibLexerBinary, IntegersAndFixedPointOfEveryWidth) {
    std::string input = bytes({0x80, 0x7f, 0x80, 0xff, 0x81, 0x80, 0x00, 0x82, 0xff, 0xff, 0xfe,
                               0x83, 0x7f, 0xff, 0xff, 0xff, 0x83, 0x80, 0x00, 0x00, 0x00});
    // The forms shorter than four bytes are unsigned, as producers write
    // them; four bytes are signed. Fixed point: d fraction bytes of w + 1.
    input += bytes({0x84, 0x80});                    // d 1, 1 byte: 128 / 256
    input += bytes({0x85, 0x01, 0x80});              // d 1, 2 bytes: 1.5
    input += bytes({0x87, 0xff, 0xff, 0xfe, 0x40});  // d 1, 4 bytes: -1.75
    input += bytes({0x89, 0xff, 0x00});              // d 2, 2 bytes: 255 / 256
    input += bytes({0x8b, 0x00, 0x03, 0x40, 0x00});  // d 2, 4 bytes: 3.25
    input += bytes({0x8a, 0x01, 0x00, 0x00});        // d 2, 3 bytes: 1
    input += bytes({0x8c, 0x01});                    // d 3, 1 byte: 2^-24
    input += bytes({0x8f, 0xff, 0x80, 0x00, 0x00});  // d 3, 4 bytes: -0.5
    input += bytes({0xa4}) + floatBits(-0.33333334f);
    double tenth = 0.1;
    uint64_t bits;
    std::memcpy(&bits, &tenth, 8);
    input += bytes({0xa5}) + bigEndian(bits, 8);
    Lexed l = lex(input);
    EXPECT_EQ(l.joined(),
              "I:127 I:255 I:32768 I:16777214 I:2147483647 I:-2147483648 F:0.5 F:1.5 F:-1.75 "
              "F:0.99609375 F:3.25 F:1 F:5.96046448e-08 F:-0.5 F:-0.333333343 F:0.100000001");
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    EXPECT_TRUE(l.raw[0].binary);
    EXPECT_EQ(l.raw[2].offset, 4u);
    EXPECT_EQ(l.raw[3].asFloat(), 16777214.0f);
}

TEST(RibLexerBinary, StringsOfEveryLengthForm) {
    std::string fifteen = "fifteen bytes!!", medium(300, 'm'), large(70000, 'L');
    std::string odd = std::string("q\"\\\xff\n", 5);
    std::string input = bytes({0x90}) + bytes({0x95}) + odd + bytes({0x9f}) + fifteen +
                        bytes({0xa0, 200}) + std::string(200, 's') + bytes({0xa1}) +
                        bigEndian(300, 2) + medium + bytes({0xa2}) + bigEndian(70000, 3) + large +
                        bytes({0xa3}) + bigEndian(3, 4) + "end";
    Lexed l = lex(input);
    ASSERT_EQ(l.raw.size(), 7u) << l.joined();
    EXPECT_EQ(l.texts[0], "");
    EXPECT_EQ(l.texts[1], odd);
    EXPECT_EQ(l.texts[2], fifteen);
    EXPECT_EQ(l.texts[3], std::string(200, 's'));
    EXPECT_EQ(l.texts[4], medium);
    EXPECT_EQ(l.texts[5], large);
    EXPECT_EQ(l.texts[6], "end");
    for (const RibToken& t : l.raw) EXPECT_EQ(t.kind, RibToken::String);
    EXPECT_TRUE(l.errors.empty()) << errors(l);
}

TEST(RibLexerBinary, DefinedStringsAndEncodedRequests) {
    std::string input =
        // Requests defined, by binary and by text strings, then used.
        bytes({0xcc, 0x00, 0x9a}) + "WorldBegin" + bytes({0xcc, 0xff}) + " \"AttributeBegin\"" +
        bytes({0xa6, 0x00, 0xa6, 0xff}) +
        // Strings under one- and two-byte codes; the definitions yield no token.
        bytes({0xcd, 0x07, 0x97}) + "plastic" + bytes({0xce, 0x01, 0x02, 0xa0, 20}) +
        std::string(20, 'x') + bytes({0xcf, 0x07, 0xd0, 0x01, 0x02, 0xcf, 0x07}) +
        // Redefined; and defined as the text of another code.
        bytes({0xcd, 0x07, 0x93}) + "new" + bytes({0xcf, 0x07}) +
        bytes({0xce, 0x10, 0x00, 0xcf, 0x07, 0xd0, 0x10, 0x00}) +
        // A request used mixed with text.
        bytes({0xcc, 0x02, 0x96}) + "Sphere" + bytes({0xa6, 0x02}) + " 1 -1 1 360\n";
    Lexed l = lex(input);
    EXPECT_EQ(l.joined(), "N:WorldBegin N:AttributeBegin S:plastic S:" + std::string(20, 'x') +
                              " S:plastic S:new S:new N:Sphere I:1 I:-1 I:1 I:360");
    EXPECT_TRUE(l.errors.empty()) << errors(l);
}

TEST(RibLexerBinary, FloatArraysWithEveryCountWidth) {
    auto array = [](int code, int countBytes, uint32_t count) {
        std::string out = bytes({code}) + bigEndian(count, countBytes);
        for (uint32_t i = 0; i < count; ++i) out += floatBits(float(i) * 0.5f - 1);
        return out;
    };
    std::string input = array(0xc8, 1, 3) + array(0xc9, 2, 300) + array(0xca, 3, 70000) +
                        array(0xcb, 4, 2) + array(0xc8, 1, 0) + "]";
    Lexed l = lex(input);
    EXPECT_EQ(l.joined(), "A3:-1,-0.5,0 A300:-1,-0.5,0,0.5 A70000:-1,-0.5,0,0.5 A2:-1,-0.5 A0: ]");
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    std::vector<float> v(l.raw[2].count);
    l.raw[2].floats(v.data());
    EXPECT_EQ(v.back(), 69999 * 0.5f - 1);
    EXPECT_EQ(l.raw[1].bytes, reinterpret_cast<const unsigned char*>(input.data()) + 2 + 12 + 3);
}

// Each fault is reported once, at its place, and the tokens after it come.
TEST(RibLexerFaults, ReportedAndSteppedOver) {
    struct Case {
        std::string input, tokens, error;
    };
    const Case cases[] = {
        {"Sphere 1 @@{ 2", "N:Sphere I:1 I:2", "9:1 unexpected character '@'"},
        {"A\n" + bytes({0x01, 0x02}) + " B", "N:A N:B", "2:2 unexpected byte 01 in text"},
        {"Color - . +-1 2", "N:Color I:2", "6:1 bad number \"-\""},
        {"Scale 3.5e38 1", "N:Scale F:inf I:1", "6:1 number \"3.5e38\" is too large for a float"},
        {"Scale -1e400 1e-400", "N:Scale F:-inf F:0", "6:1 number \"-1e400\" is too large for a float"},
        {"Surface \"abc\n", "N:Surface S:abc\n", "8:1 string without its closing quote"},
        {bytes({0xa7}) + "A", "N:A", "0:1b reserved binary code 0247"},
        {bytes({0xc7, 0xd1, 0xfe, 0xff}) + "A", "N:A", "0:1b reserved binary code 0307"},
        {"A" + bytes({0xa6, 0x09}) + "B", "N:A N:B", "1:1b undefined request code 9"},
        {bytes({0xcf, 0x07}) + "B" + bytes({0xd0, 0x01, 0x00}), "N:B",
         "0:1b undefined string code 7"},
        {bytes({0xcd, 0x01, 0x81, 0x00, 0x05}), "I:5", "0:1b string definition 1 without its string"},
        {bytes({0xcc, 0x01}) + "[", "[", "0:1b request definition 1 without its name"},
        {"A " + bytes({0x83, 0x00, 0x01}), "N:A", "2:1b binary number runs past the end of the input"},
        {"A " + bytes({0xa4, 0x00}), "N:A", "2:1b binary float runs past the end of the input"},
        {bytes({0xa5, 0, 0, 0, 0, 0, 0, 0}), "", "0:1b binary double runs past the end of the input"},
        {bytes({0x95}) + "abc", "", "0:1b binary string runs past the end of the input"},
        {bytes({0xa3, 0xff, 0xff, 0xff, 0xff}) + "abc", "",
         "0:1b binary string runs past the end of the input"},
        {bytes({0xa1, 0x00}), "", "0:1b binary string runs past the end of the input"},
        {bytes({0xcb, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0}), "",
         "0:1b binary float array of 4294967295 values runs past the end of the input"},
        {bytes({0xc8, 0x02}) + floatBits(1), "",
         "0:1b binary float array of 2 values runs past the end of the input"},
        {bytes({0xc9, 0x01}), "", "0:1b binary float array runs past the end of the input"},
        {bytes({0xce, 0x01}), "", "0:1b string definition runs past the end of the input"},
        {bytes({0xa6}), "", "0:1b encoded request runs past the end of the input"},
        {bytes({0xcc}), "", "0:1b request definition runs past the end of the input"},
    };
    for (const Case& c : cases) {
        Lexed l = lex(c.input);
        EXPECT_EQ(l.joined(), c.tokens) << "input " << testing::PrintToString(c.input);
        ASSERT_FALSE(l.errors.empty()) << "input " << testing::PrintToString(c.input);
        EXPECT_EQ(l.errors[0], c.error);
    }
    // Four reserved codes in a row are four faults.
    EXPECT_EQ(lex(bytes({0xc7, 0xd1, 0xfe, 0xff})).errors.size(), 4u);
    EXPECT_EQ(lex("Color - . +-1").errors.size(), 3u);
}

TEST(RibLexerFaults, PlacesInMessages) {
    std::string input = "A\nB\n\"x" + bytes({0xa7});
    RibLexer lexer(input.data(), input.size(), "scene.rib");
    std::vector<std::string> where;
    RibLexer withHandler(input.data(), input.size(), "scene.rib",
                         [&](const duzozo::RibLexError& e) { where.push_back(withHandler.where(e)); });
    RibToken t;
    while (withHandler.next(t)) {
    }
    ASSERT_EQ(where.size(), 1u);
    EXPECT_EQ(where[0], "scene.rib:3");
    std::string binary = "A\nB\n" + bytes({0xa7});
    RibLexer second(binary.data(), binary.size(), "scene.rib",
                    [&](const duzozo::RibLexError& e) { where.push_back(second.where(e)); });
    while (second.next(t)) {
    }
    ASSERT_EQ(where.size(), 2u);
    EXPECT_EQ(where[1], "scene.rib: byte 4");
    // Without a handler the faults are still counted.
    while (lexer.next(t)) {
    }
    EXPECT_EQ(lexer.errorCount(), 1u);
}

// Whatever the bytes, the lexer ends, within the input, without crashing
// (the sanitizer build sees any read past the end): every cut of a stream
// with all the forms, and random damage to it.
TEST(RibLexerFaults, AnyCutOrDamageEndsCleanly) {
    std::string whole = "##RIB\nFrameBegin 1 \"a\\\"b\" [1 2.5] # c\n" +
                        bytes({0xcc, 0x01, 0x96}) + "Sphere" + bytes({0xa6, 0x01, 0x83}) +
                        bigEndian(7, 4) + bytes({0xcd, 0x00, 0x93}) + "abc" +
                        bytes({0xcf, 0x00, 0x8d, 1, 2, 0xa4}) + floatBits(2) +
                        bytes({0xa5, 1, 2, 3, 4, 5, 6, 7, 8, 0xc9, 0, 2}) + floatBits(1) +
                        floatBits(3) + bytes({0xa1, 0, 4}) + "wxyz" + " 1e5 -7\n";
    ASSERT_TRUE(lex(whole).errors.empty()) << errors(lex(whole));
    for (size_t size = 0; size <= whole.size(); ++size) {
        // Copied to a buffer of exactly that size for the sanitizer to guard.
        std::vector<char> cut(whole.begin(), whole.begin() + long(size));
        std::string input(cut.begin(), cut.end());
        Lexed l = lex(input);
        for (const RibToken& t : l.raw) EXPECT_LT(t.offset, size);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::string input = whole;
        for (int k = 0; k < 3; ++k) input[random() % input.size()] = char(random());
        lex(input);
    }
}

TEST(RibLexerInput, GzipDecodedThenLexed) {
    std::string plain = "WorldBegin\n" + bytes({0xc8, 0x01}) + floatBits(0.25f) + " WorldEnd\n";
    z_stream z{};
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string packed(256, '\0');
    z.next_in = reinterpret_cast<Bytef*>(&plain[0]);
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = uInt(packed.size());
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    packed.resize(z.total_out);
    deflateEnd(&z);
    std::string decoded, error;
    ASSERT_TRUE(duzozo::decodeRibBuffer(packed.data(), packed.size(), decoded, error)) << error;
    EXPECT_EQ(lex(decoded).joined(), "N:WorldBegin A1:0.25 N:WorldEnd");
}

// The benchmarks' scene is sound RIB: every count right, nothing the lexer
// or the independent reader objects to.
TEST(RibLexerScene, GeneratedSceneIsCleanRib) {
    std::string scene = duzozo::bench::generateScene(0.6);
    EXPECT_EQ(scene, duzozo::bench::generateScene(0.6));
    ribcheck::Document doc = ribcheck::read(scene);
    std::string problems;
    for (size_t i = 0; i < doc.errors.size() && i < 5; ++i) problems += doc.errors[i] + "\n";
    EXPECT_TRUE(doc.errors.empty()) << problems;
    size_t frames = 0, nineDigits = 0;
    for (const ribcheck::Request& r : doc.requests) frames += r.name == "FrameBegin";
    EXPECT_GE(frames, 2u);
    Lexed l = lex(scene);
    EXPECT_TRUE(l.errors.empty()) << errors(l);
    // Part of it keeps more digits than six: those floats do not survive
    // being cut to six.
    for (const RibToken& t : l.raw) {
        if (t.kind != RibToken::Float) continue;
        char six[duzozo::kFloatChars];
        float back = std::stof(std::string(six, duzozo::formatFloat(six, t.number, 6)));
        nineDigits += back != t.number;
    }
    EXPECT_GT(nineDigits, 1000u);
}

}  // namespace
