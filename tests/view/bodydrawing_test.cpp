// The drawing's GL calls are caught at link time (--wrap) and written down as
// text, one call a line, so each drawing is compared whole without a display.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "sim/softbody.h"
#include "sim/world.h"

namespace {

std::string calls;

// Floats written with enough digits to tell any two apart.
void record(const char* name, std::initializer_list<float> args = {}) {
    calls += name;
    char number[32];
    for (float a : args) {
        std::snprintf(number, sizeof number, " %.9g", a);
        calls += number;
    }
    calls += '\n';
}

}  // namespace

extern "C" {
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); }
void __wrap_glBegin(GLenum mode) { record("glBegin", {float(mode)}); }
void __wrap_glEnd() { record("glEnd"); }
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); }
void __wrap_glPushMatrix() { record("glPushMatrix"); }
void __wrap_glPopMatrix() { record("glPopMatrix"); }
void __wrap_glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    record("glRotatef", {a, x, y, z});
}
}

namespace {

// The line a node's vertex call would record.
std::string vertex(const MassNode* node) {
    std::string saved;
    std::swap(saved, calls);
    record("glVertex3f", {float(node->position.x), float(node->position.y),
                          float(node->position.z)});
    std::swap(saved, calls);
    return saved;
}

std::size_t count(const std::string& line) {
    std::size_t n = 0;
    for (std::size_t at = calls.find(line); at != std::string::npos; at = calls.find(line, at + 1))
        ++n;
    return n;
}

// Every face in its pass order: the fixed index (axis, value) and the two
// free axes, outer loop first; high faces count up, zero faces count down.
// Each cell is a red polygon through its corners (a, b), (a, b-1),
// (a-1, b-1), (a-1, b).
std::string expectedFaces(const SoftBody& body) {
    struct Pass {
        int fixedAxis, outer, inner;
        bool high;
    };
    const Pass passes[6] = {{2, 0, 1, true},  {2, 0, 1, false}, {0, 1, 2, true},
                            {0, 1, 2, false}, {1, 0, 2, true},  {1, 0, 2, false}};
    const int counts[3] = {body.nodesX, body.nodesY, body.nodesZ};
    std::string text;
    for (const Pass& pass : passes) {
        int na = counts[pass.outer] - 1, nb = counts[pass.inner] - 1;
        for (int ia = 1; ia <= na; ++ia)
            for (int ib = 1; ib <= nb; ++ib) {
                int a = pass.high ? ia : na + 1 - ia, b = pass.high ? ib : nb + 1 - ib;
                text += "glColor3f 1 0 0\nglBegin " + std::to_string(GL_POLYGON) + "\n";
                for (auto [da, db] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}}) {
                    int index[3];
                    index[pass.fixedAxis] = pass.high ? counts[pass.fixedAxis] - 1 : 0;
                    index[pass.outer] = a - da;
                    index[pass.inner] = b - db;
                    text += vertex(body.nodes[index[0]][index[1]][index[2]]);
                }
                text += "glEnd\n";
            }
    }
    return text;
}

void expectFaces(SoftBody& body, std::size_t cells) {
    calls.clear();
    body.drawFaces();
    EXPECT_EQ(calls, expectedFaces(body));
    EXPECT_EQ(count("glEnd\n"), cells);
}

}  // namespace

TEST(DrawFaces, StartUpBodyGivesNineCellsPerFaceInPassOrder) {
    World world;
    for (int n = 0; n < 40; ++n) world.step();  // off the lattice's round numbers
    expectFaces(world, 54);
    // The first and last corners, told apart from the pass table above.
    EXPECT_EQ(calls.find(vertex(world.nodes[1][1][3])), calls.find("glVertex3f"));
    const std::string end = vertex(world.nodes[0][0][1]) + "glEnd\n";
    EXPECT_EQ(calls.substr(calls.size() - end.size()), end);
}

TEST(DrawFaces, UnevenAndDegenerateLattices) {
    SoftBody uneven(2, 1, 3, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(uneven, 2 * (2 * 1 + 1 * 3 + 2 * 3));
    // One node along x: the faces i = 0 and i = nodesX - 1 are the same face,
    // drawn twice.
    SoftBody flat(0, 3, 3, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(flat, 2 * 9);
    SoftBody cube(1, 1, 1, 0.5, 2000.0, 0.02, 0.55);
    expectFaces(cube, 6);
}

std::string expectedSprings(const SoftBody& body) {
    std::string text;
    for (const Spring* s : body.springs)
        text += "glPushMatrix\nglRotatef 15 1 1 0\nglColor3f 1 1 1\nglBegin " +
                std::to_string(GL_LINES) + "\n" + vertex(s->first) + vertex(s->second) +
                "glEnd\nglPopMatrix\n";
    return text;
}

TEST(DrawSprings, EverySpringIsOneWhiteLineTurnedOnItsOwn) {
    World world;
    for (int n = 0; n < 40; ++n) world.step();
    calls.clear();
    world.drawSprings();
    EXPECT_EQ(calls, expectedSprings(world));
    EXPECT_EQ(count("glEnd\n"), world.springs.size());

    SoftBody single(0, 0, 0, 0.5, 2000.0, 0.02, 0.55);
    calls.clear();
    single.drawSprings();
    EXPECT_EQ(calls, "");
}

TEST(WorldDraw, FacesOfItsOwnBodyOrSpringsOfEveryOtherBody) {
    World world;
    calls.clear();
    world.draw();
    EXPECT_EQ(calls, expectedFaces(world));

    // The ropes in order, each spring in its list order; the own body is not drawn.
    world.setUpRopes();
    calls.clear();
    world.draw();
    std::string ropes;
    for (const SoftBody* rope : world.bodies) ropes += expectedSprings(*rope);
    EXPECT_EQ(calls, ropes);
    EXPECT_EQ(count("glEnd\n"), 20u * 6);
}
