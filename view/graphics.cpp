#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/look.h"
#include "view/viewer.h"

void initGraphics() {
    // The view volume is fixed for the whole run; reshaping only moves the
    // viewport, so the picture stretches with the window.
    const look::ViewVolume& v = look::kVolume;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(v.left, v.right, v.bottom, v.top, v.nearPlane, v.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vector3 &eye = look::kEye, &centre = look::kCentre, &up = look::kUp;
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);

    glFrontFace(GL_CCW);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);

    // Positions are given under the camera transform above, so the lights
    // stay fixed in the scene, in the nodes' coordinates.
    for (int n = 0; n < 3; ++n) {
        const look::Light& light = look::kLights[n];
        const GLenum id = GL_LIGHT0 + n;
        glLightfv(id, GL_POSITION, light.position);
        glLightfv(id, GL_AMBIENT, light.ambient);
        glLightfv(id, GL_DIFFUSE, light.diffuse);
        glLightfv(id, GL_SPECULAR, light.specular);
        if (light.on) glEnable(id);
    }

    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, look::kSpecular);
    glMateriali(GL_FRONT, GL_SHININESS, look::kShininess);
    glEnable(GL_COLOR_MATERIAL);

    // Additive: overlapping front and back faces add up, as there is no
    // depth test.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}
