#include "sim/world.h"

#include <gtest/gtest.h>

#include "tests/support/capture.h"

static std::string repeat(const std::string& text, int times) {
    std::string all;
    for (int n = 0; n < times; ++n) all += text;
    return all;
}

static const std::string kProgress =
    "wobble: initialing members...\n"
    "wobble: initialize nodes array with actual nodes...\n"
    "initializing springs...\n"
    "initializing faces...\n"
    "wobble has been created\n";

TEST(World, StepIsStepByTimeStepAndCopiesShareNodes) {
    World a, b;
    captureStderr([&] { a = World(), b = World(); });
    World copy;
    copy = a;
    EXPECT_EQ(copy.nodes[0][0][0], a.nodes[0][0][0]);
    for (int n = 0; n < 10; ++n) copy.step();  // moves a's nodes too
    for (int n = 0; n < 10; ++n) b.stepBy(0.005);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(a.nodes[i][3][k]->position, b.nodes[i][3][k]->position);
    EXPECT_NE(a.nodes[0][0][0]->position.y, -0.75);
}

TEST(World, RopesAppendTwentyChainsAndLeaveTheOwnBodyAlone) {
    World w;
    std::string lines = captureStderr([&] {
        w = World();
        w.setUpRopes();
    });
    EXPECT_EQ(lines, repeat(kProgress, 21));
    EXPECT_TRUE(w.multiBody);
    ASSERT_EQ(w.bodies.size(), 20u);
    for (int r = 0; r < 20; ++r) {
        SoftBody& rope = *w.bodies[r];
        EXPECT_EQ(rope.stiffness, 40.0 + r);
        EXPECT_EQ(rope.nodesX * rope.nodesY * rope.nodesZ, 7);
        EXPECT_EQ(rope.springs.size(), 6u);
        EXPECT_TRUE(rope.gravityOn);
        EXPECT_TRUE(rope.nodes[0][0][0]->fixed);
        EXPECT_FALSE(rope.nodes[6][0][0]->fixed);
    }
    w.poke(2);
    for (int n = 0; n < 20; ++n) w.step();
    MassNode& own = *w.nodes[0][0][0];
    EXPECT_EQ(own.position, Vector3(-0.75, -0.75, -0.75));
    EXPECT_EQ(own.pendingForce, Vector3(0, 500, 0));
    EXPECT_EQ(w.bodies[0]->nodes[0][0][0]->position, Vector3(-3, 0, 0));
    EXPECT_LT(w.bodies[0]->nodes[6][0][0]->position.y, 0.0);

    EXPECT_EQ(captureStderr([&] { w.setUpRopes(); }), repeat(kProgress, 20));
    EXPECT_EQ(w.bodies.size(), 40u);
    EXPECT_EQ(w.bodies[39]->stiffness, 59.0);
}
