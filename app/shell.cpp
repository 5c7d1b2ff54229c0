#include "app/shell.h"

#include <GL/glut.h>

void onDisplay() {
    // The window has no depth buffer: only colour to clear.
    glClear(GL_COLOR_BUFFER_BIT);
    theWorld.step();
    theWorld.draw();
    glutSwapBuffers();
    // Wait for the frame before the next idle callback can ask for another.
    glFinish();
}

// Only the viewport follows the window: the view volume stays as
// initGraphics set it and is stretched to the new shape.
void onReshape(int width, int height) {
    glViewport(0, 0, width, height);
}

void onKeyboard(unsigned char, int, int) {}

void onIdle() {
    glutPostRedisplay();
}
