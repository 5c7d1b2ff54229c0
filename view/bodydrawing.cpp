#include <GL/gl.h>

#include "sim/softbody.h"
#include "sim/spring.h"
#include "sim/world.h"
#include "scene/look.h"

namespace {

void vertex(const MassNode* node) {
    glVertex3f(static_cast<GLfloat>(node->position.x), static_cast<GLfloat>(node->position.y),
               static_cast<GLfloat>(node->position.z));
}

void colour(const float rgb[3]) { glColor3f(rgb[0], rgb[1], rgb[2]); }

// One cell in the box's colour, each with its own colour call; the corners
// come in the order a, b, c, d as the caller names them.
void cell(const MassNode* a, const MassNode* b, const MassNode* c, const MassNode* d) {
    colour(look::kBoxColour);
    glBegin(GL_POLYGON);
    vertex(a);
    vertex(b);
    vertex(c);
    vertex(d);
    glEnd();
}

}  // namespace

// Six passes, one per outer face. The high faces count up and the zero faces
// count down with the same corner pattern, so opposite faces do not share a
// winding; with culling off and no normals that does not show.
void SoftBody::drawFaces() {
    const auto& n = nodes;
    const int xHigh = nodesX - 1, yHigh = nodesY - 1, zHigh = nodesZ - 1;
    for (int i = 1; i <= xHigh; ++i)
        for (int j = 1; j <= yHigh; ++j)
            cell(n[i][j][zHigh], n[i][j - 1][zHigh], n[i - 1][j - 1][zHigh], n[i - 1][j][zHigh]);
    for (int i = xHigh; i >= 1; --i)
        for (int j = yHigh; j >= 1; --j)
            cell(n[i][j][0], n[i][j - 1][0], n[i - 1][j - 1][0], n[i - 1][j][0]);

    for (int j = 1; j <= yHigh; ++j)
        for (int k = 1; k <= zHigh; ++k)
            cell(n[xHigh][j][k], n[xHigh][j][k - 1], n[xHigh][j - 1][k - 1], n[xHigh][j - 1][k]);
    for (int j = yHigh; j >= 1; --j)
        for (int k = zHigh; k >= 1; --k)
            cell(n[0][j][k], n[0][j][k - 1], n[0][j - 1][k - 1], n[0][j - 1][k]);

    for (int i = 1; i <= xHigh; ++i)
        for (int k = 1; k <= zHigh; ++k)
            cell(n[i][yHigh][k], n[i][yHigh][k - 1], n[i - 1][yHigh][k - 1], n[i - 1][yHigh][k]);
    for (int i = xHigh; i >= 1; --i)
        for (int k = zHigh; k >= 1; --k)
            cell(n[i][0][k], n[i][0][k - 1], n[i - 1][0][k - 1], n[i - 1][0][k]);
}

void SoftBody::drawSprings() {
    for (Spring* spring : springs) spring->draw();
}

void Spring::draw() {
    glPushMatrix();
    // Each spring restores the matrix, so the tilt does not accumulate.
    const look::Rotation& tilt = look::kSpringTilt;
    glRotatef(tilt.degrees, tilt.x, tilt.y, tilt.z);
    colour(look::kSpringColour);
    glBegin(GL_LINES);
    vertex(first);
    vertex(second);
    glEnd();
    glPopMatrix();
}

void World::draw() {
    if (multiBody) {
        for (SoftBody* body : bodies) body->drawSprings();
    } else {
        drawFaces();
    }
}
