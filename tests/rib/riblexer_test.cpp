// The RIB lexer: text tokens, every binary form, and malformed input that
// is reported and stepped over.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/scenegen.h"
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

std::string number(double v, int precision = 9) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", precision, v);
    return text;
}

std::string describe(const RibToken& t) {
    switch (t.kind) {
        case RibToken::Name: return "N:" + std::string(t.text);
        case RibToken::String: return "S:" + std::string(t.text);
        case RibToken::Comment: return "#:" + std::string(t.text);
        case RibToken::Integer: return "I:" + std::to_string(t.integer);
        case RibToken::Float: return "F:" + number(t.number);
        case RibToken::ArrayBegin: return "[";
        case RibToken::ArrayEnd: return "]";
        case RibToken::FloatArray: {  // the first values and the last
            std::vector<float> v(t.count);
            t.floats(v.data());
            std::string out = "A" + std::to_string(t.count) + ":";
            for (size_t i = 0; i < v.size() && i < 3; ++i) out += (i ? "," : "") + number(v[i]);
            return out + (v.size() > 3 ? ".." + number(v.back()) : "");
        }
        case RibToken::End: return "END";
    }
    return "?";
}

// Each joined into one line: the tokens; their places as line:offset, b
// for an encoded token; and the errors with their places.
struct Lexed {
    std::string tokens, places, errors;
    std::vector<RibToken> raw;
    size_t reported = 0;
};

void join(std::string& list, const std::string& item, const char* between) {
    list += (list.empty() ? "" : between) + item;
}

Lexed lex(std::string_view input) {
    Lexed out;
    RibLexer lexer(input.data(), input.size(), "in", [&](const duzozo::RibLexError& e) {
        std::string offset = e.binary ? "" : "@" + std::to_string(e.offset);  // else in where()
        join(out.errors, lexer.where(e) + offset + " " + e.message, " | ");
        ++out.reported;
    });
    RibToken t;
    while (lexer.next(t)) {
        join(out.tokens, describe(t), " ");
        join(out.places,
             std::to_string(t.line) + ":" + std::to_string(t.offset) + (t.binary ? "b" : ""), " ");
        EXPECT_TRUE(t.kind != RibToken::Integer || t.asFloat() == float(t.integer));
        out.raw.push_back(t);
        if (out.raw.size() > input.size() + 2) {  // every token uses up a byte
            ADD_FAILURE() << "the lexer does not come to an end";
            break;
        }
    }
    EXPECT_EQ(t.kind, RibToken::End);
    EXPECT_EQ(lexer.errorCount(), out.reported);
    RibLexer quiet(input.data(), input.size(), "in");  // counts its faults without a handler
    while (quiet.next(t)) {
    }
    EXPECT_EQ(quiet.errorCount(), out.reported);
    return out;
}

struct Case {
    std::string input, tokens;
    std::string errors = {}, places = {};  // places unchecked when empty
};

void expect(const Case& c) {
    Lexed l = lex(c.input);
    EXPECT_EQ(l.tokens, c.tokens) << testing::PrintToString(c.input);
    EXPECT_EQ(l.places, c.places.empty() ? l.places : c.places) << c.tokens;
    EXPECT_EQ(l.errors, c.errors) << testing::PrintToString(c.input);
}

TEST(RibLexer, TextTokens) {
    const Case cases[] = {
        {"##RIB 1.0\nversion 3.03 # c\r\n  Surface \"a b\" [0.5 +1]\n",
         "#:#RIB 1.0 N:version F:3.02999997 #: c N:Surface S:a b [ F:0.5 I:1 ]",
         "", "1:0 2:10 2:18 2:23 3:30 3:38 3:44 3:45 3:49 3:51"},
        {"2147483647 -2147483648 2147483648 12345678901234567890 1e3 7. -.25 .5e1 "
         "1.17549435e-38 1.4e-45 inf -inf nan",
         "I:2147483647 I:-2147483648 F:2.14748365e+09 F:1.23456794e+19 F:1000 F:7 F:-0.25 F:5 "
         "F:1.17549435e-38 F:1.40129846e-45 F:inf F:-inf F:nan"},
        // Escapes, a line continued inside a string, and newlines kept in
        // strings without and with escapes.
        {"\"tab\\there\\n\\r\\b\\f \\\\ \\\" \\101\\60\\0101\\7\\q\"\n"
         "\"long \\\nline\" \"two\nlines\" \"\\\"3\n\" Sphere",
         "S:" + std::string("tab\there\n\r\b\f \\ \" A0\0101\7q", 23) +
             " S:long line S:two\nlines S:\"3\n N:Sphere",
         "", "1:0 2:43 3:57 4:69 5:76"},
    };
    for (const Case& c : cases) expect(c);
    // "-0" is the integer 0, and keeps its sign as a float.
    EXPECT_TRUE(std::signbit(lex("-0").raw.at(0).asFloat()));
}

// Text floats of any length of digits come out as the standard library's
// exact reading gives them, halfway cases included; so every float written
// with nine digits comes back bit for bit.
TEST(RibLexer, TextFloatsReadAsTheExactConversion) {
    std::vector<std::string> texts = {
        "16777217.0", "16777217e0", "-33554434.0", "33554438e0", "1.00000006", "1.000000059604645",
        "3.4028235e38", "1.1754942e-38", "0.5000000298023223876953125", "9007199254740993e-22",
        "12345678901234567890e-10", "0.000000000000000000001"};
    std::mt19937 random(3);
    for (int i = 0; i < 30000; ++i) {
        uint32_t b = random();
        float f;
        std::memcpy(&f, &b, 4);
        if (!std::isfinite(f)) continue;
        // As a float whatever its digits, at any precision; nineteen digits
        // of the point halfway to the next float, which a reading through a
        // double's rounding puts on the wrong side; random digits and powers,
        // where the quick reading does most.
        double halfway = (double(f) + std::nextafter(f, 2 * f)) / 2;
        for (std::string text : {number(f, 1 + int(random() % 17)), number(halfway, 19)})
            texts.push_back(text + (text.find_first_of(".e") == std::string::npos ? ".0" : ""));
        std::string digits =
            std::to_string(random() % 1000000000u) + std::to_string(random() % 1000);
        texts.push_back(digits.substr(0, 1 + random() % digits.size()) + "e" +
                        std::to_string(int(random() % 56) - 30));
    }
    std::string input;
    for (const std::string& t : texts) input += t + " ";
    Lexed l = lex(input);
    ASSERT_EQ(l.raw.size(), texts.size()) << l.errors;
    for (size_t i = 0, wrong = 0; i < texts.size() && wrong < 5; ++i) {
        float expected = std::strtof(texts[i].c_str(), nullptr), got = l.raw[i].asFloat();
        if (std::memcmp(&got, &expected, 4) != 0 && ++wrong)
            ADD_FAILURE() << texts[i] << ": " << number(got) << ", exactly " << number(expected);
    }
}

TEST(RibLexer, BinaryForms) {
    auto array = [](int code, int countBytes, uint32_t count) {
        std::string out = bytes({code}) + bigEndian(count, countBytes);
        for (uint32_t i = 0; i < count; ++i) out += floatBits(float(i) * 0.5f - 1);
        return out;
    };
    std::string medium(300, 'm'), large(70000, 'L'), odd("q\"\\\xff\n", 5);
    const Case cases[] = {
        // Integers: the forms shorter than four bytes are unsigned, as
        // producers write them; four bytes are signed.
        {bytes({0x80, 0x7f, 0x80, 0xff, 0x81, 0x80, 0x00, 0x82, 0xff, 0xff, 0xfe, 0x83, 0x7f,
                0xff, 0xff, 0xff, 0x83, 0x80, 0x00, 0x00, 0x00}) + "\nA",
         "I:127 I:255 I:32768 I:16777214 I:2147483647 I:-2147483648 N:A",
         "", "1:0b 1:2b 1:4b 1:7b 1:11b 1:16b 2:22"},
        // Fixed point: d fraction bytes of w + 1; then IEEE single and double.
        {bytes({0x84, 0x80, 0x85, 0x01, 0x80, 0x87, 0xff, 0xff, 0xfe, 0x40, 0x89, 0xff, 0x00,
                0x8b, 0x00, 0x03, 0x40, 0x00, 0x8a, 0x01, 0x00, 0x00, 0x8c, 0x01, 0x8f, 0xff,
                0x80, 0x00, 0x00, 0xa4}) +
             floatBits(-0.33333334f) + bytes({0xa5}) + bigEndian(0x3fb999999999999a, 8),
         "F:0.5 F:1.5 F:-1.75 F:0.99609375 F:3.25 F:1 F:5.96046448e-08 F:-0.5 F:-0.333333343 "
         "F:0.100000001"},
        // Strings of every length form.
        {bytes({0x90, 0x95}) + odd + bytes({0x9f}) + "fifteen bytes!!" + bytes({0xa0, 200}) +
             std::string(200, 's') + bytes({0xa1}) + bigEndian(300, 2) + medium + bytes({0xa2}) +
             bigEndian(70000, 3) + large + bytes({0xa3}) + bigEndian(3, 4) + "end",
         "S: S:" + odd + " S:fifteen bytes!! S:" + std::string(200, 's') + " S:" + medium +
             " S:" + large + " S:end"},
        // Requests defined by binary and by text strings; strings under one-
        // and two-byte codes, redefined, and defined as another code's text.
        // Definitions yield no token.
        {bytes({0xcc, 0x00, 0x9a}) + "WorldBegin" + bytes({0xcc, 0xff}) + " \"AttributeBegin\"" +
             bytes({0xa6, 0x00, 0xa6, 0xff, 0xcd, 0x07, 0x97}) + "plastic" +
             bytes({0xce, 0x01, 0x02, 0xa0, 20}) + std::string(20, 'x') +
             bytes({0xcf, 0x07, 0xd0, 0x01, 0x02, 0xcf, 0x07, 0xcd, 0x07, 0x93}) + "new" +
             bytes({0xcf, 0x07, 0xce, 0x10, 0x00, 0xcf, 0x07, 0xd0, 0x10, 0x00, 0xcc, 0x02, 0x96}) +
             "Sphere" + bytes({0xa6, 0x02}) + " 1 -1",
         "N:WorldBegin N:AttributeBegin S:plastic S:" + std::string(20, 'x') +
             " S:plastic S:new S:new N:Sphere I:1 I:-1"},
        // Float arrays with every width of count.
        {array(0xc8, 1, 3) + array(0xc9, 2, 300) + array(0xca, 3, 70000) + array(0xcb, 4, 2) +
             array(0xc8, 1, 0) + "]",
         "A3:-1,-0.5,0 A300:-1,-0.5,0..148.5 A70000:-1,-0.5,0..34998.5 A2:-1,-0.5 A0: ]"},
    };
    for (const Case& c : cases) expect(c);
}

// Each fault is reported at its place, and the tokens after it come.
TEST(RibLexer, FaultsReportedAndSteppedOver) {
    const std::string past = " runs past the end of the input";
    const Case cases[] = {  // input, the tokens, the errors
        {"Sphere 1 @@{ 2", "N:Sphere I:1 I:2", "in:1@9 unexpected character '@'"},
        {"A\n" + bytes({0x01, 0x02}) + " B", "N:A N:B", "in:2@2 unexpected byte 01 in text"},
        {"Color - . +-1 2", "N:Color I:2",
         "in:1@6 bad number \"-\" | in:1@8 bad number \".\" | in:1@10 bad number \"+-1\""},
        {"Scale 3.5e38 1", "N:Scale F:inf I:1",
         "in:1@6 number \"3.5e38\" is too large for a float"},
        {"Scale -1e400 1e-400", "N:Scale F:-inf F:0",
         "in:1@6 number \"-1e400\" is too large for a float"},
        {"Surface \"abc\n", "N:Surface S:abc\n", "in:1@8 string without its closing quote"},
        {bytes({0xa7, 0xc7, 0xd1, 0xfe, 0xff}) + "A", "N:A",
         "in: byte 0 reserved binary code 0247 | in: byte 1 reserved binary code 0307 | "
         "in: byte 2 reserved binary code 0321 | in: byte 3 reserved binary code 0376 | "
         "in: byte 4 reserved binary code 0377"},
        {"A" + bytes({0xa6, 0x09}) + "B", "N:A N:B", "in: byte 1 undefined request code 9"},
        {bytes({0xcf, 0x07}) + "B" + bytes({0xd0, 0x01, 0x00}), "N:B",
         "in: byte 0 undefined string code 7 | in: byte 3 undefined string code 256"},
        {bytes({0xcd, 0x01, 0x81, 0x00, 0x05}), "I:5",
         "in: byte 0 string definition 1 without its string"},
        {bytes({0xcc, 0x01}) + "[", "[", "in: byte 0 request definition 1 without its name"},
        {"A " + bytes({0x83, 0x00, 0x01}), "N:A", "in: byte 2 binary number" + past},
        {"A " + bytes({0xa4, 0x00}), "N:A", "in: byte 2 binary float" + past},
        {bytes({0xa5, 0, 0, 0, 0, 0, 0, 0}), "", "in: byte 0 binary double" + past},
        {bytes({0x95}) + "abc", "", "in: byte 0 binary string" + past},
        {bytes({0xa3, 0xff, 0xff, 0xff, 0xff}) + "abc", "",
         "in: byte 0 binary string" + past},
        {bytes({0xa1, 0x00}), "", "in: byte 0 binary string" + past},
        {bytes({0xcb, 0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0}), "",
         "in: byte 0 binary float array of 4294967295 values" + past},
        {bytes({0xc8, 0x02}) + floatBits(1), "",
         "in: byte 0 binary float array of 2 values" + past},
        {bytes({0xc9, 0x01}), "", "in: byte 0 binary float array" + past},
        {bytes({0xce, 0x01}), "", "in: byte 0 string definition" + past},
        {bytes({0xa6}), "", "in: byte 0 encoded request" + past},
        {bytes({0xcc}), "", "in: byte 0 request definition" + past},
    };
    for (const Case& c : cases) expect(c);
}

// Whatever the bytes, the lexer ends, within the input, without crashing
// (the sanitizer build sees any read past the end): every cut of a stream
// with all the forms, and random damage to it.
TEST(RibLexer, AnyCutOrDamageEndsCleanly) {
    std::string whole = "##RIB\nFrameBegin 1 \"a\\\"b\" [1 2.5] # c\n" +
                        bytes({0xcc, 0x01, 0x96}) + "Sphere" + bytes({0xa6, 0x01, 0x83}) +
                        bigEndian(7, 4) + bytes({0xcd, 0x00, 0x93}) + "abc" +
                        bytes({0xcf, 0x00, 0x8d, 1, 2, 0xa4}) + floatBits(2) +
                        bytes({0xa5, 1, 2, 3, 4, 5, 6, 7, 8, 0xc9, 0, 2}) + floatBits(1) +
                        floatBits(3) + bytes({0xa1, 0, 4}) + "wxyz" + " 1e5 -7\n";
    ASSERT_EQ(lex(whole).errors, "");
    // Each copied to a buffer of exactly its size for the sanitizer to guard.
    for (size_t size = 0; size <= whole.size(); ++size) {
        std::vector<char> cut(whole.begin(), whole.begin() + long(size));
        for (const RibToken& t : lex({cut.data(), size}).raw) EXPECT_LT(t.offset, size);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::vector<char> damaged(whole.begin(), whole.end());
        for (int k = 0; k < 3; ++k) damaged[random() % damaged.size()] = char(random());
        lex({damaged.data(), damaged.size()});
    }
}

// The benchmarks' scene is sound RIB, the same on every run, and part of it
// keeps more digits than six, so that it times the reading of long floats.
TEST(RibLexer, BenchmarkSceneIsCleanRib) {
    std::string scene = duzozo::bench::generateScene(0.6);
    EXPECT_EQ(scene, duzozo::bench::generateScene(0.6));
    ribcheck::Document doc = ribcheck::read(scene);  // strict about counts too
    EXPECT_TRUE(doc.errors.empty()) << doc.errors.at(0);
    Lexed l = lex(scene);
    EXPECT_EQ(l.errors, "");
    size_t nineDigits = 0;
    for (const RibToken& t : l.raw)
        nineDigits += t.kind == RibToken::Float && std::stof(number(t.number, 6)) != t.number;
    EXPECT_GT(nineDigits, 1000u);
}

}  // namespace
