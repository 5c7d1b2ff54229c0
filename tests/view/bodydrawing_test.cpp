// The drawing's GL calls are caught at link time (--wrap), so the exact call
// sequence is checked without a display; the GL state tests draw for real.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "sim/softbody.h"
#include "sim/world.h"

namespace {

struct Call {
    std::string name;
    std::vector<float> args;
};
std::vector<Call> calls;

void record(const char* name, std::vector<float> args = {}) {
    calls.push_back({name, args});
}

}  // namespace

extern "C" {
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    record("glColor3f", {r, g, b});
}
void __wrap_glBegin(GLenum mode) {
    record("glBegin", {float(mode)});
}
void __wrap_glEnd() {
    record("glEnd");
}
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    record("glVertex3f", {x, y, z});
}
void __wrap_glPushMatrix() {
    record("glPushMatrix");
}
void __wrap_glPopMatrix() {
    record("glPopMatrix");
}
void __wrap_glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", {a, x, y, z});
}
}

namespace {

using Index = std::tuple<int, int, int>;

// Kept in float all the way: GCC 12's SLP vectoriser at -O2 drops a
// double -> float -> double round trip in a braced list.
std::vector<float> vertexOf(const MassNode* node) {
    return {float(node->position.x), float(node->position.y), float(node->position.z)};
}

// Reads the calls as red polygons of four corners and names each corner by
// its lattice index.
std::vector<std::vector<Index>> redCells(const SoftBody& body) {
    std::map<std::vector<float>, Index> where;
    for (int i = 0; i < body.nodesX; ++i)
        for (int j = 0; j < body.nodesY; ++j)
            for (int k = 0; k < body.nodesZ; ++k) where[vertexOf(body.nodes[i][j][k])] = {i, j, k};
    std::vector<std::vector<Index>> cells;
    if (calls.size() % 7 != 0) {
        ADD_FAILURE() << calls.size() << " calls are not whole cells";
        return cells;
    }
    for (size_t c = 0; c < calls.size(); c += 7) {
        EXPECT_EQ(calls[c].name, "glColor3f");
        EXPECT_EQ(calls[c].args, (std::vector<float>{1, 0, 0}));
        EXPECT_EQ(calls[c + 1].name, "glBegin");
        EXPECT_EQ(calls[c + 1].args, std::vector<float>{GL_POLYGON});
        cells.emplace_back();
        for (size_t v = c + 2; v < c + 6; ++v) {
            EXPECT_EQ(calls[v].name, "glVertex3f");
            EXPECT_EQ(where.count(calls[v].args), 1u) << "not at a node";
            cells.back().push_back(where[calls[v].args]);
        }
        EXPECT_EQ(calls[c + 6].name, "glEnd");
    }
    return cells;
}

// Every face in its pass order: the fixed index (axis, value) and the two
// free axes, outer loop first; high faces count up, zero faces count down.
struct Pass {
    int fixedAxis, outer, inner;
    bool high;
};
const Pass passes[6] = {{2, 0, 1, true},  {2, 0, 1, false}, {0, 1, 2, true},
                        {0, 1, 2, false}, {1, 0, 2, true},  {1, 0, 2, false}};

void expectFaces(SoftBody& body) {
    calls.clear();
    body.drawFaces();
    std::vector<std::vector<Index>> cells = redCells(body);
    int counts[3] = {body.nodesX, body.nodesY, body.nodesZ};

    size_t next = 0;
    for (const Pass& pass : passes) {
        int fixed = pass.high ? counts[pass.fixedAxis] - 1 : 0;
        int na = counts[pass.outer] - 1, nb = counts[pass.inner] - 1;
        for (int ia = 1; ia <= na; ++ia) {
            for (int ib = 1; ib <= nb; ++ib, ++next) {
                int a = pass.high ? ia : na + 1 - ia, b = pass.high ? ib : nb + 1 - ib;
                // The corners (a, b), (a, b-1), (a-1, b-1), (a-1, b).
                std::vector<Index> want;
                for (auto [da, db] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}}) {
                    int index[3];
                    index[pass.fixedAxis] = fixed;
                    index[pass.outer] = a - da;
                    index[pass.inner] = b - db;
                    want.emplace_back(index[0], index[1], index[2]);
                }
                ASSERT_LT(next, cells.size());
                EXPECT_EQ(cells[next], want) << "cell " << next;
            }
        }
    }
    EXPECT_EQ(next, cells.size());
}

}  // namespace

TEST(DrawFaces, StartUpBodyGivesNineCellsPerFaceInPassOrder) {
    World world;
    for (int n = 0; n < 40; ++n) world.step();  // off the lattice's round numbers
    expectFaces(world);
    ASSERT_EQ(calls.size(), 54u * 7);
    EXPECT_EQ(calls[2].args, vertexOf(world.nodes[1][1][3]));
    EXPECT_EQ(calls[calls.size() - 2].args, vertexOf(world.nodes[0][0][1]));
}

TEST(DrawFaces, UnevenAndDegenerateLattices) {
    SoftBody uneven(2, 1, 3, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(uneven);
    EXPECT_EQ(calls.size(), 2u * (2 * 1 + 1 * 3 + 2 * 3) * 7);

    // One node along x: the faces i = 0 and i = nodesX - 1 are the same face,
    // drawn twice.
    SoftBody flat(0, 3, 3, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(flat);
    EXPECT_EQ(calls.size(), 2u * 9 * 7);

    SoftBody cube(1, 1, 1, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(cube);
    EXPECT_EQ(calls.size(), 6u * 7);
}

TEST(DrawSprings, EverySpringIsOneWhiteLineTurnedOnItsOwn) {
    World world;
    for (int n = 0; n < 40; ++n) world.step();
    calls.clear();
    world.drawSprings();
    ASSERT_EQ(calls.size(), world.springs.size() * 8);
    for (size_t s = 0; s < world.springs.size(); ++s) {
        const Call* c = &calls[s * 8];
        EXPECT_EQ(c[0].name, "glPushMatrix");
        EXPECT_EQ(c[1].name, "glRotatef");
        EXPECT_EQ(c[1].args, (std::vector<float>{15, 1, 1, 0}));
        EXPECT_EQ(c[2].name, "glColor3f");
        EXPECT_EQ(c[2].args, (std::vector<float>{1, 1, 1}));
        EXPECT_EQ(c[3].name, "glBegin");
        EXPECT_EQ(c[3].args, std::vector<float>{GL_LINES});
        EXPECT_EQ(c[4].args, vertexOf(world.springs[s]->first));
        EXPECT_EQ(c[5].args, vertexOf(world.springs[s]->second));
        EXPECT_EQ(c[6].name, "glEnd");
        EXPECT_EQ(c[7].name, "glPopMatrix");
    }

    SoftBody single(0, 0, 0, 0.5, 2000.0, 0.02, 0.55);
    calls.clear();
    single.drawSprings();
    EXPECT_TRUE(calls.empty());
}

TEST(WorldDraw, FacesOfItsOwnBodyOrSpringsOfEveryOtherBody) {
    World world;
    calls.clear();
    world.draw();
    EXPECT_EQ(calls.size(), 54u * 7);

    world.setUpRopes();
    calls.clear();
    world.draw();
    ASSERT_EQ(calls.size(), 20u * 6 * 8);
    // The ropes in order, each spring in its list order; the own body is not drawn.
    for (size_t r = 0; r < 20; ++r)
        for (size_t s = 0; s < 6; ++s)
            EXPECT_EQ(calls[(r * 6 + s) * 8 + 4].args,
                      vertexOf(world.bodies[r]->springs[s]->first));
}
