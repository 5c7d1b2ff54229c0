#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <utility>

#include "tests/support/capture.h"
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

// Every node the lattice holds, whether or not the counts still reach it;
// forces too where both bodies were stepped.
static void expectSame(SoftBody& a, SoftBody& b, const std::string& what, bool forces = true) {
    for (std::size_t i = 0; i < a.nodes.size(); ++i)
        for (std::size_t j = 0; j < a.nodes[i].size(); ++j)
            for (std::size_t k = 0; k < a.nodes[i][j].size(); ++k) {
                const MassNode &n = *a.nodes[i][j][k], &m = *b.nodes[i][j][k];
                ASSERT_TRUE(n.position == m.position && n.velocity == m.velocity &&
                            (!forces || (n.force == m.force && n.contactForce == m.contactForce)))
                    << what << " node " << i << j << k;
            }
    for (std::size_t s = 0; forces && s < a.springs.size(); ++s) {
        ASSERT_TRUE(a.springs[s]->forceOnFirst == b.springs[s]->forceOnFirst &&
                    a.springs[s]->forceOnSecond == b.springs[s]->forceOnSecond)
            << what << " spring " << s;
    }
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

TEST(Step, RestStaysAtRestAndFixedNeverMoves) {
    World still = quietWorld();
    still.gravityOn = false;
    World unstepped = quietWorld();
    for (int frame = 0; frame < 50; ++frame) still.step();
    expectSame(still, unstepped, "at rest", false);

    World pinned = quietWorld();
    forEachNode(pinned, [](int, int, int, MassNode& n) { n.fix(); });
    pinned.poke(2);
    for (int frame = 0; frame < 50; ++frame) pinned.step();
    expectSame(pinned, unstepped, "pinned", false);
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

// That a push lasts one step alone is held by the bit-for-bit test above.
TEST(Step, PokesAddUpOnTheirSideAndUnknownSidesAreIgnored) {
    World w = quietWorld();
    const double p = (0.5 - 0.5 * 0.5) * 2000.0;
    for (int side : {0, 0, 1, 2, 3, -1}) w.poke(side);
    forEachNode(w, [&](int i, int j, int, MassNode& n) {
        EXPECT_EQ(n.pendingForce, Vector3(i == 0 ? 2 * p : i == 3 ? -p : 0, j == 0 ? p : 0, 0));
    });
}

// The program's step against the same frames taken the long way: every
// spring first, then every node gathering from its own list.
static void stepTheLongWay(World& w) {
    if (!w.multiBody) {
        w.computeSpringForces();
        w.SoftBody::step(w.timeStep);
        return;
    }
    for (SoftBody* body : w.bodies) {
        body->computeSpringForces();
        body->step(w.timeStep);
    }
}

// Callers may rearrange a body through its public fields. Whatever they do,
// World::step must give what the springs-then-gather step gives, including
// where a node's list no longer follows the order the springs were made in.
TEST(Step, RearrangedBodiesStepAsTheirSpringListsSay) {
    using Change = void (*)(SoftBody&);
    static std::deque<MassNode> nodeCopies;
    static std::deque<Spring> springTwins;
    const std::pair<const char*, Change> changes[] = {
        {"as built", [](SoftBody&) {}},
        {"two list entries swapped",
         [](SoftBody& b) {
             // Both first ends: the lists of ends stay as they were.
             MassNode* n = b.nodes[1][1][1];
             ASSERT_EQ(n->springEnds[3], n->springEnds[5]);
             std::swap(n->springs[3], n->springs[5]);
         }},
        {"one list reversed",
         [](SoftBody& b) {
             MassNode* n = b.nodes[2][0][1];
             std::reverse(n->springs.begin(), n->springs.end());
             std::reverse(n->springEnds.begin(), n->springEnds.end());
         }},
        {"an end marker flipped", [](SoftBody& b) { b.nodes[1][2][3]->springEnds[2] ^= 3; }},
        {"springs walked backwards (no change to what any node adds)",
         [](SoftBody& b) { std::reverse(b.springs.begin(), b.springs.end()); }},
        {"a spring dropped from one end's list",
         [](SoftBody& b) {
             b.nodes[0][0][0]->springs.pop_back();
             b.nodes[0][0][0]->springEnds.pop_back();
         }},
        {"a spring's first end repointed, no list told",
         [](SoftBody& b) { b.springs[300]->first = b.nodes[0][3][0]; }},
        {"a node replaced by a copy of itself",
         [](SoftBody& b) { b.nodes[1][2][1] = &nodeCopies.emplace_back(*b.nodes[1][2][1]); }},
        {"the body's spring list emptied", [](SoftBody& b) { b.springs.clear(); }},
        {"one plane fewer stepped", [](SoftBody& b) { b.nodesX = 3; }},
        {"an earlier node lists a later node's spring end",
         [](SoftBody& b) {
             b.nodes[0][0][0]->springs.push_back(b.springs.back());
             b.nodes[0][0][0]->springEnds.push_back(1);
         }},
        {"a spring replaced by a twin outside the body's block",
         [](SoftBody& b) { b.springs[1] = &springTwins.emplace_back(*b.springs[1]); }},
    };
    World unchanged = quietWorld();
    for (int frame = 0; frame < 300; ++frame) {
        if (pushedAt(frame + 100)) unchanged.poke(0);
        unchanged.step();
    }
    for (const auto& [what, change] : changes) {
        World fast = quietWorld(), slow = quietWorld();
        for (int frame = 0; frame < 300; ++frame) {
            // A few frames in, so that the change comes after steps of the
            // body as built.
            if (frame == 20) change(fast), change(slow);
            if (pushedAt(frame + 100)) fast.poke(0), slow.poke(0);
            fast.step();
            stepTheLongWay(slow);
            expectSame(fast, slow, what);
        }
        // A change is felt, so the comparison above can tell a step that
        // ignored it; the order of the body's own list alone is not.
        bool same = true;
        forEachNode(fast, [&](int i, int j, int k, MassNode& n) {
            same = same && n.position == unchanged.nodes[i][j][k]->position;
        });
        std::string name = what;
        EXPECT_EQ(same, name == "as built" || name.find("no change") != std::string::npos) << what;
    }
}

TEST(Step, EachOfManyBodiesStepsAsAlone) {
    World fast = quietWorld(), slow = quietWorld();
    captureStderr([&] { fast.setUpRopes(), slow.setUpRopes(); });
    // A spring appears in the lists of a chain it does not belong to.
    for (World* w : {&fast, &slow}) {
        MassNode* n = w->bodies[4]->nodes[3][0][0];
        n->springs.push_back(w->bodies[5]->springs[2]);
        n->springEnds.push_back(1);
    }
    for (int frame = 0; frame < 200; ++frame) {
        fast.step();
        stepTheLongWay(slow);
    }
    for (std::size_t b = 0; b < fast.bodies.size(); ++b)
        expectSame(*fast.bodies[b], *slow.bodies[b], "chain " + std::to_string(b));
}
