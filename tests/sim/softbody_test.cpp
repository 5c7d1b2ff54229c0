#include "sim/softbody.h"

#include <gtest/gtest.h>

#include "tests/support/capture.h"

static SoftBody startUpBody() {
    SoftBody body;
    captureStderr([&] { body = SoftBody(3, 3, 3, 0.5, 2000.0, 0.02, 0.55); });
    return body;
}

TEST(SoftBody, ChainAndDegenerateCounts) {
    SoftBody chain;
    captureStderr([&] { chain = SoftBody(6, 0, 0, 1.0, 40, 0.01, 1.0); });
    ASSERT_EQ(chain.nodesX, 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(chain.nodes[i][0][0]->position, Vector3(i - 3, 0, 0));
    ASSERT_EQ(chain.springs.size(), 6u);
    for (const Spring* s : chain.springs) EXPECT_EQ(s->restLength, 1.0);

    SoftBody empty;
    captureStderr([&] { empty = SoftBody(-2, 3, 3, 0.5, 10, 0, 1); });
    EXPECT_TRUE(empty.nodes.empty());
    EXPECT_TRUE(empty.springs.empty());
    empty.poke(0);  // no side to push, and nothing to crash on
    empty.poke(1);
    empty.step(0.005);
}

TEST(SoftBody, CopiesShareNodesAndSelfAssignmentKeepsAll) {
    SoftBody a = startUpBody();
    SoftBody b;
    b = a;
    b.nodes[2][1][3]->position.x = 9.0;
    EXPECT_EQ(a.nodes[2][1][3]->position.x, 9.0);
    EXPECT_EQ(b.springs, a.springs);

    SoftBody& alias = a;
    a = alias;
    EXPECT_EQ(a.springs.size(), 468u);
    EXPECT_EQ(a.nodes[3][3][3], b.nodes[3][3][3]);
}

TEST(SoftBody, Listings) {
    SoftBody pair;
    captureStderr([&] { pair = SoftBody(1, 0, 0, 0.5, 1, 0, 1); });
    // A flat axis starts at -(0 * spacing) / 2.0, a negative zero.
    EXPECT_EQ(captureStderr([&] { pair.printNodes(); }), "(-0.25,-0,-0)(0.25,-0,-0)");
    EXPECT_EQ(captureStderr([&] { pair.printSprings(); }),
              "1 springs: [(-0.25,-0,-0)(0.25,-0,-0)]");
}
