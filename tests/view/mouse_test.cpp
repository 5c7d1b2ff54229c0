#include <GL/glut.h>
#include <gtest/gtest.h>

#include <vector>

#include "scene/theworld.h"
#include "view/viewer.h"

// Each release pushes its side of the box wherever the pointer is, releases
// before the next frame add up, and presses, wheel steps, other buttons and
// motion change nothing.
TEST(Mouse, ReleasesQueuePushesOnTheirSideAndNothingElseDoes) {
    struct Event {
        int button, state, x, y;
    };
    struct Row {
        std::vector<Event> events;
        Vector3 push;
        int axis, side;  // the pushed nodes: index `axis` (0: x, 1: y) equals `side`
    };
    const int L = GLUT_LEFT_BUTTON, M = GLUT_MIDDLE_BUTTON, R = GLUT_RIGHT_BUTTON;
    const int UP = GLUT_UP, DOWN = GLUT_DOWN;
    const Row rows[] = {
        {{{L, UP, 3, 290}}, {500, 0, 0}, 0, 0},
        {{{R, UP, 150, 150}}, {-500, 0, 0}, 0, 3},
        {{{M, UP, -20, 5000}}, {0, 500, 0}, 1, 0},
        {{{L, UP, 0, 0}, {L, UP, 299, 299}}, {1000, 0, 0}, 0, 0},
        {{{L, DOWN, 9, 9}, {M, DOWN, 9, 9}, {R, DOWN, 9, 9}, {3, DOWN, 9, 9}, {3, UP, 9, 9},
          {4, DOWN, 9, 9}, {4, UP, 9, 9}, {5, DOWN, 9, 9}, {5, UP, 9, 9}, {7, DOWN, 9, 9},
          {7, UP, 9, 9}},
         {0, 0, 0}, 0, 0},
    };
    for (const Row& row : rows) {
        for (auto& plane : theWorld.nodes)
            for (auto& line : plane)
                for (MassNode* node : line) node->pendingForce = Vector3(0, 0, 0);
        for (const Event& e : row.events) onMouse(e.button, e.state, e.x, e.y);
        if (row.push == Vector3(0, 0, 0)) onMotion(10, 10), onPassiveMotion(200, 20);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k)
                    EXPECT_EQ(theWorld.nodes[i][j][k]->pendingForce,
                              (row.axis == 0 ? i : j) == row.side ? row.push : Vector3(0, 0, 0))
                        << "row " << &row - rows << " node " << i << j << k;
    }
}
