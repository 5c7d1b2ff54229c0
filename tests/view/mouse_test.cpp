#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "view/viewer.h"

namespace {

void clearPushes() {
    for (auto& plane : theWorld.nodes)
        for (auto& row : plane)
            for (MassNode* node : row) node->pendingForce = Vector3(0.0, 0.0, 0.0);
}

// Every node on the side where index `axis` (0: x, 1: y) equals `side` has
// `push` queued, and no other node has anything.
void expectPushed(Vector3 push, int axis, int side) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) {
                bool onSide = (axis == 0 ? i : j) == side;
                EXPECT_EQ(theWorld.nodes[i][j][k]->pendingForce,
                          onSide ? push : Vector3(0.0, 0.0, 0.0))
                    << i << "," << j << "," << k;
            }
}

}  // namespace

TEST(Mouse, EachReleasePushesItsSideOfTheBoxWhereverThePointerIs) {
    clearPushes();
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 3, 290);
    expectPushed(Vector3(500.0, 0.0, 0.0), 0, 0);

    clearPushes();
    onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 150, 150);
    expectPushed(Vector3(-500.0, 0.0, 0.0), 0, 3);

    clearPushes();
    onMouse(GLUT_MIDDLE_BUTTON, GLUT_UP, -20, 5000);
    expectPushed(Vector3(0.0, 500.0, 0.0), 1, 0);
}

TEST(Mouse, PressesOtherButtonsAndMotionChangeNothing) {
    clearPushes();
    for (int button : {GLUT_LEFT_BUTTON, GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON})
        onMouse(button, GLUT_DOWN, 150, 150);
    for (int button : {3, 4, 5, 7}) {  // wheel steps and extra buttons
        onMouse(button, GLUT_DOWN, 150, 150);
        onMouse(button, GLUT_UP, 150, 150);
    }
    onMotion(10, 10);
    onPassiveMotion(200, 20);
    expectPushed(Vector3(0.0, 0.0, 0.0), 0, 0);
}

TEST(Mouse, ReleasesBeforeTheNextFrameAddUp) {
    clearPushes();
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 299, 299);
    expectPushed(Vector3(1000.0, 0.0, 0.0), 0, 0);
}
