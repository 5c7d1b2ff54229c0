// wobble-trace: steps the start-up world without a window and writes every
// node's position and velocity as CSV, for plotting and for comparing runs.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/world.h"
#include "scene/sceneargs.h"
#include "trace/tracewriter.h"

namespace {

const std::string kUsage = std::string("usage: wobble-trace ") + kSceneUsage + " [--help]";

const char* const kIntro =
    "Steps the start-up scene without a window and writes every node's position\n"
    "and velocity as CSV on standard output.\n";

SceneArgs parseArgs(int argc, char** argv) {
    SceneArgs args;
    try {
        for (int a = 1; a < argc; ++a) {
            if (std::strcmp(argv[a], "--help") == 0) sceneHelp(kUsage, kIntro);
            int used = parseSceneOption(argc, argv, a, args);
            if (used == 0) throw SceneArgsError(std::string("unknown option '") + argv[a] + "'");
            a += used - 1;
        }
        checkSceneArgs(args);
    } catch (const SceneArgsError& e) {
        sceneUsageError("wobble-trace", e.what(), kUsage.c_str());
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments are checked before the world is built, so a bad call writes
    // nothing but its one usage line.
    SceneArgs args = parseArgs(argc, argv);

    World world;
    setUpScene(world, args);

    TraceWriter trace(stdout);
    trace.header();
    runScene(world, args, [&](long frame, const World& w) { trace.frame(frame, w); });

    if (!trace.finish()) {
        std::fprintf(stderr, "wobble-trace: cannot write the trace: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
