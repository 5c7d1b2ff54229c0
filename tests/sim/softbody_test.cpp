#include "sim/softbody.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "tests/support/capture.h"

static const char* const kProgress =
    "wobble: initialing members...\n"
    "wobble: initialize nodes array with actual nodes...\n"
    "initializing springs...\n"
    "initializing faces...\n"
    "wobble has been created\n";

static SoftBody startUpBody() {
    SoftBody body;
    captureStderr([&] { body = SoftBody(3, 3, 3, 0.5, 2000.0, 0.02, 0.55); });
    return body;
}

TEST(SoftBody, ConstructionWritesTheFiveProgressLines) {
    EXPECT_EQ(captureStderr([] { SoftBody(3, 3, 3, 0.5, 2000.0, 0.02, 0.55); }), kProgress);
    EXPECT_EQ(captureStderr([] { SoftBody(6, 0, 0, 1.0, 40, 0.01, 1.0); }), kProgress);
}

TEST(SoftBody, StartUpLatticeIsCentredAndContiguous) {
    SoftBody body = startUpBody();
    ASSERT_EQ(body.nodes.size(), 4u);
    const double at[] = {-0.75, -0.25, 0.25, 0.75};
    const MassNode* base = body.nodes[0][0][0];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            ASSERT_EQ(body.nodes[i][j].size(), 4u);
            for (int k = 0; k < 4; ++k) {
                const MassNode* n = body.nodes[i][j][k];
                EXPECT_EQ(n, base + (i * 4 + j) * 4 + k);
                EXPECT_EQ(n->position, Vector3(at[i], at[j], at[k]));
                EXPECT_EQ(n->mass, 0.55);
                EXPECT_FALSE(n->fixed);
            }
        }
    }
    EXPECT_FALSE(body.gravityOn);
    EXPECT_EQ(body.floorY, -1.0);
    EXPECT_EQ(body.wallXMin, -4.0);
    EXPECT_EQ(body.wallXMax, 4.0);
}

TEST(SoftBody, StartUpSprings) {
    SoftBody body = startUpBody();
    ASSERT_EQ(body.springs.size(), 468u);
    std::map<double, int> byRest;
    for (std::size_t s = 0; s < body.springs.size(); ++s) {
        const Spring* sp = body.springs[s];
        ++byRest[sp->restLength];
        EXPECT_EQ(sp, body.springs[0] + s);  // one block in creation order
        EXPECT_EQ(sp->stiffness, 2000.0);
        EXPECT_EQ(sp->damping, 0.02);
        // Listed once at each end, with the end's marker at the same position.
        for (int end = 1; end <= 2; ++end) {
            const MassNode* n = end == 1 ? sp->first : sp->second;
            int seen = 0;
            for (std::size_t e = 0; e < n->springs.size(); ++e) {
                if (n->springs[e] == sp) seen += n->springEnds[e] == end ? 1 : 100;
            }
            EXPECT_EQ(seen, 1);
        }
    }
    EXPECT_EQ(byRest[0.5], 144);
    EXPECT_EQ(byRest[std::sqrt((3.0 * 0.5) * 0.5)], 108);
    EXPECT_EQ(byRest[std::sqrt((2.0 * 0.5) * 0.5)], 216);
    auto& n = body.nodes;
    EXPECT_EQ(body.springs[0]->second, n[1][0][0]);
    EXPECT_EQ(body.springs[1]->second, n[0][1][0]);
    EXPECT_EQ(body.springs[2]->second, n[0][0][1]);
    for (int s = 0; s < 3; ++s) EXPECT_EQ(body.springs[s]->first, n[0][0][0]);

    const MassNode* corner = n[0][0][0];
    ASSERT_EQ(corner->springs.size(), 7u);
    for (int e : corner->springEnds) EXPECT_EQ(e, 1);
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
    EXPECT_EQ(b.stiffness, 2000.0);

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
