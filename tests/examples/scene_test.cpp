// The example scene, in text and in binary encoding, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/childprocess.h"

TEST(ExampleScene, WritesTheCheckedInFiles) {
    const char* const cases[][2] = {{"", "scene.rib"}, {"--binary", "scene.binrib"}};
    for (const auto& [option, name] : cases) {
        SCOPED_TRACE(name);
        std::string output = ::testing::TempDir() + "scene_" + name;
        std::vector<std::string> args{output};
        if (*option) args.insert(args.begin(), option);
        ASSERT_EQ(runChild(SCENE_PROGRAM, args).status, 0);
        std::string actual = readFile(output);
        std::remove(output.c_str());
        std::string expected = readFile(std::string(SCENE_EXPECTED_DIR) + "/" + name);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(actual == expected) << "output differs from " << name;
    }
}

TEST(ExampleScene, RefusesWrongArguments) {
    EXPECT_EQ(runChild(SCENE_PROGRAM, {"--ascii", "x.rib"}).status, 2);
}
