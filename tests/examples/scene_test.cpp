// The example scene, in text and in binary encoding, byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the scene program with the given arguments and the output file last;
// returns its exit status.
int runScene(const char* option, const std::string& output) {
    pid_t child = fork();
    if (child == 0) {
        if (option) {
            execl(SCENE_PROGRAM, SCENE_PROGRAM, option, output.c_str(),
                  static_cast<char*>(nullptr));
        } else {
            execl(SCENE_PROGRAM, SCENE_PROGRAM, output.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void expectScene(const char* option, const char* expectedName) {
    std::string output = ::testing::TempDir() + "scene_" + expectedName;
    ASSERT_EQ(runScene(option, output), 0);
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
