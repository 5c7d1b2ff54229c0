#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A small X client for looking at and acting on another program's window
// from outside, as a user would: find it by title, read its pixels, click in
// it, resize it.

// An RGB picture of a window, row by row from the top, 3 bytes a pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    const std::uint8_t* at(int x, int y) const { return &rgb[3 * (y * width + x)]; }
};

// Bounding box of the pixels that look red; empty when count is 0.
struct RedRegion {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    long count = 0;

    double centreX() const { return 0.5 * (left + right); }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

bool isReddish(const std::uint8_t* rgb);
RedRegion findRed(const Picture& picture);

// A top-level window (a child of the root) whose name is `title`, or 0.
Window findTopLevel(Display* display, const std::string& title);

// Polls until the top-level window `title` is viewable; 0 if `alive` (the
// program that should show it) turns false or `timeout` passes first.
Window waitForTopLevel(Display* display, const std::string& title,
                       std::chrono::milliseconds timeout, const std::function<bool()>& alive);

// Size of the window as the server has it now.
void windowSize(Display* display, Window window, int* width, int* height);

bool isViewable(Display* display, Window window);

// The window's pixels as the server holds them; empty while it is not mapped.
Picture grab(Display* display, Window window);

// Press and release `button` at (x, y) of the window through the XTest
// extension, as the mouse would. False if the server has no XTest.
bool click(Display* display, Window window, int x, int y, unsigned button);

// Without a window manager GLUT's window may hang over the screen's edge, and
// the server only hands out pixels that are on the screen.
void moveTo(Display* display, Window window, int x, int y);

void resize(Display* display, Window window, int width, int height);

// Writes an 8-bit RGB PNG. False, with nothing left behind, on failure.
bool savePng(const Picture& picture, const std::string& path);
