// The real program, started as a child under the test's X display and looked
// at from outside as a user would see it. Timing is never asserted: every
// wait polls until its condition holds or a generous deadline passes.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "sim/world.h"
#include "tests/support/glcamera.h"
#include "tools/childprocess.h"
#include "tools/xclient.h"

namespace {

using namespace std::chrono_literals;
const auto patience = 90s;  // a loaded 2-core machine, maybe under a sanitizer

// Where the body's nodes land in a window of the given size.
RedRegion onScreen(const SoftBody& body, int width, int height) {
    RedRegion region{width, height, -1, -1, 0};
    for (const auto& plane : body.nodes)
        for (const auto& row : plane)
            for (const MassNode* node : row) {
                double scene[4] = {node->position.x, node->position.y, node->position.z, 1};
                double eye[4], clip[4];
                transform(windowCamera(), scene, eye);
                transform(windowProjection(), eye, clip);
                int x = int(std::floor((clip[0] + 1) / 2 * width));
                int y = int(std::floor((1 - clip[1]) / 2 * height));
                region.left = std::min(region.left, x);
                region.right = std::max(region.right, x);
                region.top = std::min(region.top, y);
                region.bottom = std::max(region.bottom, y);
                ++region.count;
            }
    return region;
}

// The box at rest on the floor, from the simulation run here.
const World& restingWorld() {
    static World world = [] {
        World w;
        for (int n = 0; n < 3000; ++n) w.step();
        return w;
    }();
    return world;
}

bool near(const RedRegion& a, const RedRegion& b, int slack) {
    return std::abs(a.left - b.left) <= slack && std::abs(a.right - b.right) <= slack &&
           std::abs(a.top - b.top) <= slack && std::abs(a.bottom - b.bottom) <= slack;
}

class Wobble : public ::testing::Test {
  protected:
    Display* display = nullptr;
    ChildProcess wobble;
    Window window = 0;

    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display";
        wobble = startChild({WOBBLE_PATH}, true);
        ASSERT_GT(wobble.pid, 0);
        window = waitForTopLevel(display, "Wobble Madness", patience,
                                 [&] { return childRunning(wobble); });
        ASSERT_TRUE(window) << "no window \"Wobble Madness\"";
        moveTo(display, window, 0, 0);
    }

    void TearDown() override {
        stopChild(wobble);
        if (display) XCloseDisplay(display);
    }

    // Polls the picture until `done` holds for it; the last region seen.
    template <class Done>
    RedRegion waitFor(Done done) {
        auto deadline = std::chrono::steady_clock::now() + patience;
        RedRegion region;
        do {
            std::this_thread::sleep_for(100ms);
            region = findRed(grab(display, window));
        } while (!done(region) && std::chrono::steady_clock::now() < deadline);
        return region;
    }

    // Waits until the box has not moved by more than a pixel for a second.
    RedRegion waitUntilStill() {
        RedRegion still;
        int calm = 0;
        return waitFor([&](const RedRegion& now) {
            calm = (now.count && near(now, still, 1)) ? calm + 1 : 0;
            if (calm == 0) still = now;
            return calm >= 10;
        });
    }
};

}  // namespace

TEST_F(Wobble, StartsQuietlyInItsWindowAndTheBoxFallsToRestOnTheFloor) {
    int width = 0, height = 0;
    windowSize(display, window, &width, &height);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 300);

    RedRegion first = waitFor([](const RedRegion& r) { return r.count > 0; });
    EXPECT_GT(first.count, 1000) << "no red box in the window";

    const RedRegion start = onScreen(World(), 300, 300);
    const RedRegion rest = onScreen(restingWorld(), 300, 300);
    ASSERT_GT(rest.bottom, start.bottom + 3) << "the box would not visibly fall";
    // Seen falling first: at a low frame rate the box barely moves in its
    // first second and would pass for still.
    waitFor([&](const RedRegion& r) { return r.bottom > start.bottom + 3; });
    RedRegion later = waitUntilStill();
    EXPECT_TRUE(near(later, rest, 3))
        << "box at " << later.left << "," << later.top << " - " << later.right << ","
        << later.bottom << ", at rest " << rest.left << "," << rest.top << " - " << rest.right
        << "," << rest.bottom;

    stopChild(wobble);
    const char* body =
        "wobble: initialing members...\n"
        "wobble: initialize nodes array with actual nodes...\n"
        "initializing springs...\n"
        "initializing faces...\n"
        "wobble has been created\n";
    EXPECT_EQ(wobble.err, std::string(body) + "about to create the world...\n" + body +
                              "world has been created...\n");
    EXPECT_EQ(wobble.out, "");
}

TEST_F(Wobble, ALeftClickPushesTheBoxTowardsPlusX) {
    waitFor([](const RedRegion& r) { return r.count > 0; });
    ASSERT_TRUE(click(display, window, 150, 150, Button1)) << "no XTest";
    // Scene +x runs to the right on screen with this camera, and falling does
    // not move the box sideways on screen.
    RedRegion unpushed = onScreen(restingWorld(), 300, 300);
    waitFor([&](const RedRegion& r) { return r.centreX() > unpushed.centreX() + 3; });
    RedRegion pushed = waitUntilStill();
    EXPECT_GT(pushed.centreX(), unpushed.centreX() + 3);
}

TEST_F(Wobble, ResizingStretchesThePicture) {
    waitUntilStill();
    resize(display, window, 450, 600);
    RedRegion stretched = onScreen(restingWorld(), 450, 600);
    RedRegion seen = waitFor([&](const RedRegion& r) { return near(r, stretched, 4); });
    EXPECT_TRUE(near(seen, stretched, 4))
        << "box at " << seen.left << "," << seen.top << " - " << seen.right << "," << seen.bottom;
}
