// Command-line front of the X client, for the Makefile:
//   xwin probe
//       exit status 0 when the display named by DISPLAY can be opened.
//   xwin shot TITLE SECONDS OUT.png PROGRAM [ARGUMENTS...]
//       starts PROGRAM, waits for its top-level window TITLE, lets it run for
//       SECONDS, saves the window as OUT.png and ends the program.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tools/childprocess.h"
#include "tools/xclient.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: xwin probe\n"
                 "       xwin shot TITLE SECONDS OUT.png PROGRAM [ARGUMENTS...]\n");
    return 2;
}

int shot(Display* display, const std::string& title, double seconds, const std::string& path,
         const std::vector<std::string>& program) {
    ChildProcess child = startChild(program, false);
    if (child.pid <= 0) {
        std::fprintf(stderr, "xwin: cannot start %s\n", program[0].c_str());
        return 1;
    }
    Window window = waitForTopLevel(display, title, std::chrono::seconds(60),
                                    [&] { return childRunning(child); });
    if (window) moveTo(display, window, 0, 0);
    if (window) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    bool saved = window && childRunning(child) && savePng(grab(display, window), path);
    stopChild(child);
    if (!saved) {
        std::fprintf(stderr, "xwin: no picture of the window \"%s\" was saved\n", title.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    if (command != "probe" && !(command == "shot" && argc >= 6)) return usage();

    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    int status = 0;
    if (command == "shot") {
        std::vector<std::string> program(argv + 5, argv + argc);
        status = shot(display, argv[2], std::atof(argv[3]), argv[4], program);
    }
    XCloseDisplay(display);
    return status;
}
