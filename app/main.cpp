#include <GL/glut.h>

#include <iostream>

#include "app/shell.h"
#include "view/viewer.h"

namespace {
// theWorld shares this world's nodes and springs after the assignment, so it
// must never be destroyed; holding it here keeps it reachable to the end.
World* createdWorld = nullptr;
}  // namespace

int main(int argc, char** argv) {
    std::cerr << "about to create the world...\n";
    createdWorld = new World();
    theWorld = *createdWorld;
    std::cerr << "world has been created...\n";

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE);
    glutCreateWindow("Wobble Madness");
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutMouseFunc(onMouse);
    glutKeyboardFunc(onKeyboard);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutIdleFunc(onIdle);
    initGraphics();
    glutMainLoop();
    return 0;
}
