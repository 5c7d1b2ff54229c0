#include "trace/sceneargs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Feeds every argument to parseSceneOption as a tool would and returns the
// ones it left for the caller.
std::vector<std::string> parse(std::vector<std::string> words, SceneArgs& args) {
    std::vector<char*> argv{const_cast<char*>("tool")};
    for (std::string& w : words) argv.push_back(w.data());
    std::vector<std::string> left;
    for (int a = 1; a < int(argv.size()); ++a) {
        int used = parseSceneOption(int(argv.size()), argv.data(), a, args);
        if (used == 0) left.push_back(argv[a]);
        a += used > 0 ? used - 1 : 0;
    }
    return left;
}

}  // namespace

TEST(SceneArgs, TakesTheSharedOptionsAndLeavesTheRest) {
    SceneArgs args;
    EXPECT_EQ(args.frames, 400);
    EXPECT_EQ(args.every, 1);
    auto left = parse({"--out", "f.rib", "--frames", "7", "--poke", "3:2", "--every", "2", "--poke",
                       "0:0", "--binary"},
                      args);
    EXPECT_EQ(left, (std::vector<std::string>{"--out", "f.rib", "--binary"}));
    EXPECT_EQ(args.frames, 7);
    EXPECT_EQ(args.every, 2);
    ASSERT_EQ(args.pokes.size(), 2u);
    EXPECT_EQ(args.pokes[0].frame, 3);
    EXPECT_EQ(args.pokes[0].kind, 2);
    EXPECT_EQ(args.pokes[1].frame, 0);
    EXPECT_FALSE(args.ropes);
    EXPECT_NO_THROW(checkSceneArgs(args));

    SceneArgs ropes;
    EXPECT_TRUE(parse({"--ropes"}, ropes).empty());
    EXPECT_TRUE(ropes.ropes);
    EXPECT_NO_THROW(checkSceneArgs(ropes));
    ropes.pokes.push_back({1, 0});
    EXPECT_THROW(checkSceneArgs(ropes), SceneArgsError);
}

TEST(SceneArgs, BadValuesThrowOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {"--poke", "1:3"}, {"--poke", "1:-1"}, {"--poke", "1:01x"}, {"--every"},
        {"--frames", "2147483648"}};
    for (const auto& words : bad) {
        SceneArgs args;
        try {
            parse(words, args);
            ADD_FAILURE() << words[0] << " accepted";
        } catch (const SceneArgsError& e) {
            EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
            EXPECT_EQ(std::string(e.what()).rfind(words[0], 0), 0u) << e.what();
        }
    }
}

TEST(SceneArgs, HelpTextsStartTwoBlanksAfterTheLongestOption) {
    EXPECT_EQ(optionHelp({{"-a", "one"}, {"--long X", "two\nthree"}}),
              "  -a        one\n"
              "  --long X  two\n"
              "            three\n");
    std::string shared = optionHelp(kSceneOptions);
    EXPECT_EQ(shared.rfind("  --frames N     frames to step", 0), 0u) << shared;
    EXPECT_NE(shared.find("\n                 2 bottom; may be repeated\n"), std::string::npos)
        << shared;
}
