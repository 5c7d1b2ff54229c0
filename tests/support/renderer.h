// The programs beside the project that some tests use when they are there:
// the RenderMan renderer of the tests labelled "render", another RIB tool.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

inline bool onPath(const std::string& program) {
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// The command that renders the RIB file named as its last word into the
// current folder: $WOBBLE_RENDERER, else aqsis when it is on PATH, else none.
inline std::string renderer() {
    const char* named = std::getenv("WOBBLE_RENDERER");
    if (named && *named) return named;
    return onPath("aqsis") ? "aqsis" : "";
}

#define NEED_RENDERER()     \
    if (renderer().empty()) \
    GTEST_SKIP() << "no renderer: aqsis is not on PATH and WOBBLE_RENDERER names no command"
