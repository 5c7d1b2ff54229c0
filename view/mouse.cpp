#include <GL/glut.h>

#include "scene/theworld.h"
#include "view/viewer.h"

// Only releases count: a click pushes exactly as hard as a long drag, and a
// press that is never released does nothing.
void onMouse(int button, int state, int, int) {
    if (state != GLUT_UP) return;
    switch (button) {
        case GLUT_LEFT_BUTTON:
            theWorld.poke(0);
            break;
        case GLUT_RIGHT_BUTTON:
            theWorld.poke(1);
            break;
        case GLUT_MIDDLE_BUTTON:
            theWorld.poke(2);
            break;
        default:
            break;
    }
}

void onMotion(int, int) {}

void onPassiveMotion(int, int) {}
