#include <GL/gl.h>
#include <GL/glu.h>

#include "view/viewer.h"

namespace {

void setLight(GLenum light, const GLfloat position[4], const GLfloat ambient[4],
              const GLfloat diffuse[4], const GLfloat specular[4]) {
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
}

}  // namespace

void initGraphics() {
    // The view volume is fixed for the whole run; reshaping only moves the
    // viewport, so the picture stretches with the window.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-5.0, 5.0, -8.0, 2.0, -10.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(2.0, 3.0, 5.0, 0.0, 4.0, 0.0, 0.0, 1.0, 0.0);

    glFrontFace(GL_CCW);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);

    // Positions are given under the camera transform above, so the lights
    // stay fixed in the scene, in the nodes' coordinates.
    static const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 0.5f};
    static const GLfloat position0[4] = {-3.0f, 1.0f, 2.0f, 1.0f};
    static const GLfloat ambient0[4] = {0.35f, 0.15f, 0.35f, 0.5f};
    static const GLfloat diffuse0[4] = {0.15f, 0.45f, 0.45f, 0.5f};
    setLight(GL_LIGHT0, position0, ambient0, diffuse0, white);
    glEnable(GL_LIGHT0);

    static const GLfloat position1[4] = {1.0f, -1.0f, 3.0f, 1.0f};
    static const GLfloat dim1[4] = {0.01f, 0.01f, 0.01f, 0.5f};
    setLight(GL_LIGHT1, position1, dim1, dim1, white);
    glEnable(GL_LIGHT1);

    // The third light is configured but never enabled: the program has
    // always looked this way, and users know it by that look.
    static const GLfloat position2[4] = {0.0f, 0.0f, -3.0f, 1.0f};
    static const GLfloat dim2[4] = {0.1f, 0.1f, 0.1f, 0.5f};
    setLight(GL_LIGHT2, position2, dim2, dim2, white);

    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMateriali(GL_FRONT, GL_SHININESS, 128);
    glEnable(GL_COLOR_MATERIAL);

    // Additive: overlapping front and back faces add up, as there is no
    // depth test.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}
