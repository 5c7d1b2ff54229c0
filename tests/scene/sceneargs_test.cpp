#include "scene/sceneargs.h"

#include <gtest/gtest.h>

// Parsing is checked through the tools themselves; this is the layout that
// lets each tool's own options line up with the shared ones.
TEST(SceneArgs, HelpTextsStartTwoBlanksAfterTheLongestOption) {
    EXPECT_EQ(optionHelp({{"-a", "one"}, {"--long X", "two\nthree"}}),
              "  -a        one\n"
              "  --long X  two\n"
              "            three\n");
}
