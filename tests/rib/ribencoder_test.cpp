// The independent encoder of the complete binary form: its bytes for a
// small document, and documents read from text that come back token for
// token through the lexer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/scenegen.h"
#include "rib/internal/riblexer.h"
#include "tests/support/ribencoder.h"
#include "tests/support/ribreader.h"

namespace {

// The tokens with numbers as float values and binary float arrays spelled
// out as brackets, so that text and binary compare; `integers` marks the
// numbers that came as integer tokens.
struct Flat {
    std::vector<std::string> items;
    std::vector<bool> integers;
    std::vector<std::string> errors;
};

Flat flatten(const std::string& bytes) {
    Flat f;
    duzozo::RibLexer lexer(bytes.data(), bytes.size(), "rib",
                           [&](const duzozo::RibLexError& e) { f.errors.push_back(e.message); });
    auto add = [&](std::string item, bool integer) {
        f.items.push_back(std::move(item));
        f.integers.push_back(integer);
    };
    auto numberItem = [](float v) {
        char text[32];
        std::snprintf(text, sizeof text, "V:%.9g", double(v));
        return std::string(text);
    };
    duzozo::RibToken t;
    std::vector<float> values;
    while (lexer.next(t)) {
        switch (t.kind) {
            case duzozo::RibToken::Name: add("N:" + std::string(t.text), false); break;
            case duzozo::RibToken::String: add("S:" + std::string(t.text), false); break;
            case duzozo::RibToken::Comment: add("#" + std::string(t.text), false); break;
            case duzozo::RibToken::ArrayBegin: add("[", false); break;
            case duzozo::RibToken::ArrayEnd: add("]", false); break;
            case duzozo::RibToken::Integer:
            case duzozo::RibToken::Float:
                add(numberItem(t.asFloat()), t.kind == duzozo::RibToken::Integer);
                break;
            case duzozo::RibToken::FloatArray:
                values.resize(t.count);
                t.floats(values.data());
                add("[", false);
                for (float v : values) add(numberItem(v), false);
                add("]", false);
                break;
            case duzozo::RibToken::End: break;
        }
    }
    return f;
}

// The first place where the two differ, or "".
std::string firstDifference(const Flat& text, const Flat& binary) {
    size_t n = std::min(text.items.size(), binary.items.size());
    for (size_t i = 0; i < n; ++i) {
        if (text.items[i] != binary.items[i])
            return "item " + std::to_string(i) + ": " + text.items[i] + " / " + binary.items[i];
        // An integer of the binary form is one that the text wrote as one.
        if (binary.integers[i] && !text.integers[i])
            return "item " + std::to_string(i) + ": " + text.items[i] + " became an integer";
    }
    if (text.items.size() != binary.items.size())
        return "lengths " + std::to_string(text.items.size()) + " and " +
               std::to_string(binary.items.size());
    return "";
}

size_t occurrences(const std::string& haystack, const std::string& needle) {
    size_t count = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        ++count;
    return count;
}

TEST(RibEncoder, BytesOfASmallDocument) {
    std::string text = "Surface \"plastic\" \"Ks\" [0.5]\nSurface \"plastic\"\nFrameBegin -2\n";
    static const char kExpected[] =
        "\314\000\227Surface\246\000\315\000\227plastic\317\000\222Ks\310\001\077\000\000\000"
        "\246\000\317\000"
        "\314\001\232FrameBegin\246\001\203\377\377\377\376";
    EXPECT_EQ(ribcheck::encodeComplete(ribcheck::read(text)),
              std::string(kExpected, sizeof kExpected - 1));
}

TEST(RibEncoder, DocumentsComeBackTokenForToken) {
    std::string text =
        "##RenderMan RIB-Structure 1.0\n"
        "version 3.03\n"
        "# a plain comment\n"
        "Declare \"count\" \"uniform integer\"\n"
        "FrameBegin 7\n"
        "Format 640 480 1\n"
        "Display \"" + std::string(300, 'd') + ".tif\" \"file\" \"rgba\"\n"
        "Surface \"a\\\"quoted\\\\name\" \"count\" [3] \"int[2] other\" [-4 5] \"float Kd\" [0.25]\n"
        "Attribute \"user\" \"string[2] names\" [\"a string longer than fifteen\" \"\"]\n"
        "SubdivisionMesh \"loop\" [3] [0 1 2] [] [] [] [] \"P\" [0 0 0 1 0 0 0 1 0]\n"
        "Color [-1e-07 3.40282347e+38 0.333333343]\n";
    // More repeated strings than a one-byte code can name.
    for (int i = 0; i < 300; ++i)
        text += "Attribute \"identifier\" \"name\" [\"object" + std::to_string(i) + "\"]\n"
                "ObjectInstance " + std::to_string(i) + "\nAttribute \"identifier\" \"name\" [\"object" +
                std::to_string(i) + "\"]\n";
    text += "FrameEnd\n";

    ribcheck::Document doc = ribcheck::read(text);
    ASSERT_TRUE(doc.errors.empty()) << doc.errors[0];
    std::string binary = ribcheck::encodeComplete(doc);
    Flat fromText = flatten(text), fromBinary = flatten(binary);
    ASSERT_TRUE(fromText.errors.empty()) << fromText.errors[0];
    ASSERT_TRUE(fromBinary.errors.empty()) << fromBinary.errors[0];
    EXPECT_EQ(firstDifference(fromText, fromBinary), "");
    // Each request name and each repeated string is spelled out once.
    EXPECT_EQ(occurrences(binary, "Attribute"), 1u);
    EXPECT_EQ(occurrences(binary, "identifier"), 1u);
    EXPECT_EQ(occurrences(binary, "object299"), 1u);
    EXPECT_NE(binary.find("\316\001"), std::string::npos) << "no two-byte string code";

    // Without the table of integer arguments, numbers are all floats.
    ribcheck::EncodeOptions floats;
    floats.integerArgument = nullptr;
    Flat allFloats = flatten(ribcheck::encodeComplete(doc, floats));
    EXPECT_EQ(allFloats.items, fromText.items);
    size_t integers = 0;
    for (size_t i = 0; i < allFloats.integers.size(); ++i) integers += allFloats.integers[i];
    EXPECT_EQ(integers, 3u);  // the values of the parameters declared integer
}

TEST(RibEncoder, GeneratedSceneComesBackTokenForToken) {
    std::string text = duzozo::bench::generateScene(0.4, 3);
    ribcheck::Document doc = ribcheck::read(text);
    ASSERT_TRUE(doc.errors.empty()) << doc.errors[0];
    std::string binary = ribcheck::encodeComplete(doc);
    Flat fromText = flatten(text), fromBinary = flatten(binary);
    EXPECT_TRUE(fromBinary.errors.empty());
    EXPECT_EQ(firstDifference(fromText, fromBinary), "");
    EXPECT_LT(binary.size(), text.size() * 3 / 4);
    EXPECT_EQ(occurrences(binary, "PointsPolygons"), 1u);
    size_t integers = 0;
    for (size_t i = 0; i < fromBinary.integers.size(); ++i) integers += fromBinary.integers[i];
    EXPECT_GT(integers, 10000u);  // mesh indices and counts
}

}  // namespace
