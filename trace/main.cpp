// wobble-trace: steps the start-up world without a window and writes every
// node's position and velocity as CSV, for plotting and for comparing runs.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/world.h"
#include "trace/sceneargs.h"

namespace {

const std::string kUsage = std::string("usage: wobble-trace ") + kSceneUsage + " [--help]";

const char* const kHelp =
    "Steps the start-up scene without a window and writes every node's position\n"
    "and velocity as CSV on standard output.\n"
    "  --frames N     frames to step after frame 0 (default 400)\n"
    "  --every K      write every K-th frame only (default 1)\n"
    "  --poke F:KIND  after frame F, push the box: 0 low-x side, 1 high-x side,\n"
    "                 2 bottom; may be repeated\n"
    "  --ropes        the twenty hanging chains instead of the box (no --poke)\n";

SceneArgs parseArgs(int argc, char** argv) {
    SceneArgs args;
    try {
        for (int a = 1; a < argc; ++a) {
            if (std::strcmp(argv[a], "--help") == 0) {
                std::printf("%s\n%s", kUsage.c_str(), kHelp);
                std::exit(std::fflush(stdout) == 0 ? 0 : 1);
            }
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

void writeBody(std::FILE* out, long frame, int index, const SoftBody& body) {
    for (int i = 0; i < body.nodesX; ++i) {
        for (int j = 0; j < body.nodesY; ++j) {
            for (int k = 0; k < body.nodesZ; ++k) {
                const MassNode* n = body.nodes[i][j][k];
                std::fprintf(out, "%ld,%d,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", frame,
                             index, i, j, k, n->position.x, n->position.y, n->position.z,
                             n->velocity.x, n->velocity.y, n->velocity.z);
            }
        }
    }
}

void writeFrame(std::FILE* out, long frame, const World& world) {
    if (!world.multiBody) {
        writeBody(out, frame, 0, world);
        return;
    }
    for (std::size_t b = 0; b < world.bodies.size(); ++b) {
        writeBody(out, frame, int(b), *world.bodies[b]);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments are checked before the world is built, so a bad call writes
    // nothing but its one usage line.
    SceneArgs args = parseArgs(argc, argv);

    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    World world;
    setUpScene(world, args);

    std::fputs("frame,body,i,j,k,x,y,z,vx,vy,vz\n", stdout);
    runScene(world, args, [](long frame, const World& w) { writeFrame(stdout, frame, w); });

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "wobble-trace: cannot write the trace: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
