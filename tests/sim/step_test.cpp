#include <gtest/gtest.h>

#include "capture.h"
#include "reference.h"
#include "sim/world.h"

static World quietWorld() {
    World w;
    captureStderr([&] { w = World(); });
    return w;
}

template <class F>
static void forEachNode(SoftBody& body, F f) {
    for (int i = 0; i < body.nodesX; ++i)
        for (int j = 0; j < body.nodesY; ++j)
            for (int k = 0; k < body.nodesZ; ++k) f(i, j, k, *body.nodes[i][j][k]);
}

static void expectSameState(SoftBody& a, SoftBody& b) {
    forEachNode(a, [&](int i, int j, int k, MassNode& n) {
        const MassNode& m = *b.nodes[i][j][k];
        ASSERT_TRUE(n.position == m.position && n.velocity == m.velocity) << i << j << k;
    });
}

// Pushes the low-x side every frame for a while, so the box lands, slides
// along the floor and reaches the right wall: every contact path is taken.
static bool pushedAt(int frame) {
    return frame >= 150 && frame < 400;
}

TEST(Step, MatchesAnIndependentScalarImplementationBitForBit) {
    World world = quietWorld();
    reference::Box ref(3, 0.5, 2000.0, 0.02, 0.55);
    std::vector<int> lowX;
    for (int id = 0; id < 16; ++id) lowX.push_back(id);
    const double push[3] = {(0.5 - 0.5 * 0.5) * 2000.0, 0, 0};
    bool floor = false, wall = false;
    for (int frame = 0; frame < 900; ++frame) {
        if (pushedAt(frame)) world.poke(0);
        world.step();
        reference::step(ref, 0.005, pushedAt(frame) ? lowX : std::vector<int>{}, push);
        forEachNode(world, [&](int i, int j, int k, MassNode& n) {
            const reference::Node& r = ref.nodes[ref.at(i, j, k)];
            ASSERT_TRUE(n.position == Vector3(r.p[0], r.p[1], r.p[2]) &&
                        n.velocity == Vector3(r.v[0], r.v[1], r.v[2]))
                << "frame " << frame << " node " << i << j << k;
            floor = floor || n.position.y <= -1.0;
            wall = wall || n.position.x >= 4.0;
        });
    }
    EXPECT_TRUE(floor);
    EXPECT_TRUE(wall);
}

TEST(Step, VisitingOrderDoesNotMatter) {
    World a = quietWorld(), b = quietWorld();
    for (int frame = 0; frame < 600; ++frame) {
        if (pushedAt(frame)) a.poke(0), b.poke(0);
        a.step();
        b.computeSpringForces();
        for (int i = b.nodesX - 1; i >= 0; --i)
            for (int k = b.nodesZ - 1; k >= 0; --k)
                for (int j = 0; j < b.nodesY; ++j) {
                    MassNode* n = b.nodes[i][j][k];
                    n->clearForce();
                    n->applyGravity();
                    n->gatherSpringForces();
                    n->applyPendingForce();
                    if (n->position.y <= -1.0) n->collide(Vector3(0, 1, 0));
                    if (n->position.x <= -4.0) n->collide(Vector3(1, 0, 0));
                    if (n->position.x >= 4.0) n->collide(Vector3(-1, 0, 0));
                    n->integrate(0.005);
                }
    }
    expectSameState(a, b);
}

TEST(Step, RestStaysAtRestAndFixedNeverMoves) {
    World still = quietWorld();
    still.gravityOn = false;
    World unstepped = quietWorld();
    for (int frame = 0; frame < 50; ++frame) still.step();
    expectSameState(still, unstepped);

    World pinned = quietWorld();
    forEachNode(pinned, [](int, int, int, MassNode& n) { n.fix(); });
    pinned.poke(2);
    for (int frame = 0; frame < 50; ++frame) pinned.step();
    expectSameState(pinned, unstepped);
}

TEST(Step, ContactStartsAtThePlaneItself) {
    SoftBody body;
    captureStderr([&] { body = SoftBody(0, 0, 0, 1.0, 0, 0, 1.0); });
    MassNode& n = *body.nodes[0][0][0];
    const Vector3 at[] = {{0, -1.0, 0}, {4.0, 0, 0}, {-4.0, 0, 0}, {0, -0.999, 0}};
    const Vector3 in[] = {{0, -1, 0}, {1, 0, 0}, {-1, 0, 0}, {0, -1, 0}};
    const Vector3 out[] = {{0, 1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}};
    for (int c = 0; c < 4; ++c) {
        n.position = at[c];
        n.velocity = in[c];
        body.step(0.005);
        EXPECT_EQ(n.velocity, out[c]) << c;
    }
}

TEST(Step, PokeQueuesOneStepOfPushOnOneSide) {
    World w = quietWorld();
    const double p = (0.5 - 0.5 * 0.5) * 2000.0;
    w.poke(0);
    w.poke(0);
    w.poke(3);
    w.poke(-1);
    forEachNode(w, [&](int i, int, int, MassNode& n) {
        EXPECT_EQ(n.pendingForce, Vector3(i == 0 ? 2 * p : 0, 0, 0));
    });
    w.step();
    forEachNode(w,
                [&](int, int, int, MassNode& n) { EXPECT_EQ(n.pendingForce, Vector3(0, 0, 0)); });
    w.poke(1);
    w.poke(2);
    forEachNode(w, [&](int i, int j, int, MassNode& n) {
        EXPECT_EQ(n.pendingForce, Vector3(i == 3 ? -p : 0, j == 0 ? p : 0, 0));
    });
}
