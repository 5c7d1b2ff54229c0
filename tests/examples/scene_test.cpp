// The example scene, in text and in binary encoding, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/childprocess.h"

namespace {

// Runs the scene program with the given arguments and the output file last;
// returns its exit status.
int runScene(const char* option, const std::string& output) {
    std::vector<std::string> args;
    if (option) args.push_back(option);
    args.push_back(output);
    return runChild(SCENE_PROGRAM, args).status;
}

void expectScene(const char* option, const char* expectedName) {
    std::string output = ::testing::TempDir() + "scene_" + expectedName;
    ASSERT_EQ(runScene(option, output), 0);
    EXPECT_TRUE(std::ifstream(output).good()) << output;
    std::string actual = readFile(output);
    std::string expected = readFile(std::string(SCENE_EXPECTED_DIR) + "/" + expectedName);
    std::remove(output.c_str());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_TRUE(actual == expected) << "output differs from " << expectedName;
}

}  // namespace

TEST(ExampleScene, TextMatchesTheCheckedInFile) {
    expectScene(nullptr, "scene.rib");
}

TEST(ExampleScene, BinaryMatchesTheCheckedInFile) {
    expectScene("--binary", "scene.binrib");
}

TEST(ExampleScene, RefusesWrongArguments) {
    EXPECT_EQ(runScene("--ascii", "x.rib"), 2);
}
