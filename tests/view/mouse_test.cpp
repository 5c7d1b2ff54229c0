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

// Number of nodes whose queued push is exactly `push`; every other node must
// have none.
int nodesPushedBy(Vector3 push) {
    int pushed = 0;
    for (auto& plane : theWorld.nodes)
        for (auto& row : plane)
            for (MassNode* node : row) {
                if (node->pendingForce == push) {
                    ++pushed;
                } else {
                    EXPECT_EQ(node->pendingForce, Vector3(0.0, 0.0, 0.0));
                }
            }
    return pushed;
}

bool pushedSide(Vector3 push, int i, int j) {
    bool all = true;
    for (int a = 0; a < 4; ++a)
        for (int k = 0; k < 4; ++k) {
            const MassNode* node = i >= 0 ? theWorld.nodes[i][a][k] : theWorld.nodes[a][j][k];
            all = all && node->pendingForce == push;
        }
    return all;
}

}  // namespace

TEST(Mouse, EachReleasePushesItsSideOfTheBox) {
    clearPushes();
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 3, 290);
    EXPECT_EQ(nodesPushedBy(Vector3(500.0, 0.0, 0.0)), 16);
    EXPECT_TRUE(pushedSide(Vector3(500.0, 0.0, 0.0), 0, -1));

    clearPushes();
    onMouse(GLUT_RIGHT_BUTTON, GLUT_UP, 150, 150);
    EXPECT_EQ(nodesPushedBy(Vector3(-500.0, 0.0, 0.0)), 16);
    EXPECT_TRUE(pushedSide(Vector3(-500.0, 0.0, 0.0), 3, -1));

    clearPushes();
    onMouse(GLUT_MIDDLE_BUTTON, GLUT_UP, -20, 5000);
    EXPECT_EQ(nodesPushedBy(Vector3(0.0, 500.0, 0.0)), 16);
    EXPECT_TRUE(pushedSide(Vector3(0.0, 500.0, 0.0), -1, 0));
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
    EXPECT_EQ(nodesPushedBy(Vector3(0.0, 0.0, 0.0)), 64);
}

TEST(Mouse, ReleasesBeforeTheNextFrameAddUp) {
    clearPushes();
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    onMouse(GLUT_LEFT_BUTTON, GLUT_UP, 299, 299);
    EXPECT_EQ(nodesPushedBy(Vector3(1000.0, 0.0, 0.0)), 16);
    EXPECT_TRUE(pushedSide(Vector3(1000.0, 0.0, 0.0), 0, -1));
}
