// Generated call sequences read back by an independent reader: the text and
// binary forms of every request agree, and every parameter carries the
// number of values a renderer takes for it.
#include <gtest/gtest.h>

#include "tests/support/ribcalls.h"
#include "tests/support/ribreader.h"

using namespace ribcheck;

// The checks below are only worth something if the reader rejects what a
// renderer would reject.
TEST(RibReader, RejectsWhatARendererWould) {
    const std::pair<const char*, const char*> rejected[] = {
        {"Sphere 1 -1 1 360 \"P\" [1 2 3]\n", "needs 12"},
        {"Surface \"Ka\" [1]\n", "where a parameter name belongs"},
        {"Polygon \"mystery\" [1]\n", "undeclared"},
        {"AttributeEnd\n", "without its begin"},
        {"Color [1 2]\n", "needs 3"}};
    for (const auto& row : rejected) {
        std::vector<std::string> errors = read(row.first).errors;
        ASSERT_EQ(errors.size(), 1u) << row.first;
        EXPECT_NE(errors[0].find(row.second), std::string::npos) << errors[0];
    }
    EXPECT_TRUE(read("Declare \"k\" \"uniform float [3]\"\nSphere 1 -1 1 360 \"k\" [1 2 3]\n")
                    .errors.empty());
    Document binary = read(std::string("Color \xC8\x03", 8) + std::string(12, '\0') + "\n");
    EXPECT_TRUE(binary.errors.empty());
    ASSERT_EQ(binary.requests.size(), 1u);
    EXPECT_EQ(binary.requests[0].args[0].size(), 3u);
}

TEST(RibReader, CountsFollowTheAttributeState) {
    // Basis steps are attributes; colour samples are options, saved by frames.
    const char* rib =
        "AttributeBegin\nBasis \"bezier\" 1 \"bezier\" 1\nAttributeEnd\n"
        "Curves \"cubic\" [7] \"nonperiodic\" \"width\" [1 2 3]\n"
        "FrameBegin 1\nColorSamples [1 1 1] [1 1 1]\nColor [0.5]\nFrameEnd\nColor [1 1 1]\n";
    EXPECT_TRUE(read(rib).errors.empty());
}

TEST(GeneratedCalls, TextAndBinaryAgreeAndCountsHold) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::vector<uint8_t> bytes = seededBytes(seed, 3000);
        std::string problems = checkCalls(bytes.data(), bytes.size());
        EXPECT_EQ(problems, "") << "seed " << seed;
        if (!problems.empty()) break;
    }
}
