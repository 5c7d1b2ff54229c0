#include "tools/xclient.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <png.h>

#include <cstdio>
#include <thread>

bool isReddish(const std::uint8_t* rgb) {
    // The box is red lit by dim lights plus white highlights: red clearly
    // above the other two channels. The background is black.
    int r = rgb[0], g = rgb[1], b = rgb[2];
    return r >= 40 && r >= g + 30 && r >= b + 30;
}

RedRegion findRed(const Picture& picture) {
    RedRegion region;
    region.left = picture.width;
    region.top = picture.height;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (!isReddish(picture.at(x, y))) continue;
            ++region.count;
            if (x < region.left) region.left = x;
            if (x > region.right) region.right = x;
            if (y < region.top) region.top = y;
            if (y > region.bottom) region.bottom = y;
        }
    }
    if (region.count == 0) region = RedRegion();
    return region;
}

namespace {

bool hasName(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    bool same = XFetchName(display, window, &name) && name && title == name;
    if (name) XFree(name);
    return same;
}

// Converts one channel through its mask to 0..255.
std::uint8_t channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long max = mask >> shift;
    unsigned long value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(value * 255 / max);
}

}  // namespace

Window findTopLevel(Display* display, const std::string& title) {
    Window root = DefaultRootWindow(display);
    Window rootOut = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &rootOut, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            if (hasName(display, children[i], title)) found = children[i];
        if (children) XFree(children);
    }
    return found;
}

Window waitForTopLevel(Display* display, const std::string& title,
                       std::chrono::milliseconds timeout, const std::function<bool()>& alive) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (alive() && std::chrono::steady_clock::now() < deadline) {
        Window window = findTopLevel(display, title);
        if (window && isViewable(display, window)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

void windowSize(Display* display, Window window, int* width, int* height) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    *width = attributes.width;
    *height = attributes.height;
}

namespace {

int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Picture grab(Display* display, Window window) {
    Picture picture;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return picture;
    if (attributes.map_state != IsViewable) return picture;
    // The window may go away between the two requests; that is an empty
    // picture, not the end of this client.
    XSync(display, False);
    auto previous = XSetErrorHandler(ignoreError);
    XImage* image =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!image) return picture;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(3 * static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            std::uint8_t* out = &picture.rgb[3 * (y * picture.width + x)];
            out[0] = channel(pixel, image->red_mask);
            out[1] = channel(pixel, image->green_mask);
            out[2] = channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return picture;
}

bool click(Display* display, Window window, int x, int y, unsigned button) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) return false;
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
    return true;
}

void moveTo(Display* display, Window window, int x, int y) {
    XMoveWindow(display, window, x, y);
    XSync(display, False);
}

void resize(Display* display, Window window, int width, int height) {
    XResizeWindow(display, window, width, height);
    XSync(display, False);
}

bool savePng(const Picture& picture, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, file);
        png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < picture.height; ++y)
            png_write_row(png, const_cast<png_bytep>(picture.at(0, y)));
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}
