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

namespace {

const char* const kUsage =
    "usage: wobble-trace [--frames N] [--every K] [--poke F:KIND]... [--ropes]";

struct Poke {
    long frame;
    int kind;
};

struct Options {
    long frames = 400;
    long every = 1;
    std::vector<Poke> pokes;
    bool ropes = false;
};

// A whole decimal integer in [min, INT_MAX]: an optional minus sign and
// digits, nothing else (strtol alone would also take spaces and a plus sign).
bool parseInt(const char* text, long min, long* out) {
    const char* digits = text[0] == '-' ? text + 1 : text;
    if (*digits == '\0') return false;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
    }
    errno = 0;
    long value = std::strtol(text, nullptr, 10);
    if (errno != 0 || value < min || value > INT_MAX) return false;
    *out = value;
    return true;
}

[[noreturn]] void usageError(std::string problem) {
    // The message quotes the user's argument; keep it on one line.
    for (char& c : problem) {
        if (c == '\n' || c == '\r') c = '?';
    }
    std::fprintf(stderr, "wobble-trace: %s; %s\n", problem.c_str(), kUsage);
    std::exit(2);
}

Options parseArgs(int argc, char** argv) {
    Options options;
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        if (arg == "--ropes") {
            options.ropes = true;
            continue;
        }
        if (arg != "--frames" && arg != "--every" && arg != "--poke") {
            usageError("unknown option '" + arg + "'");
        }
        if (a + 1 >= argc) usageError(arg + " needs a value");
        const char* value = argv[++a];
        if (arg == "--frames") {
            if (!parseInt(value, 0, &options.frames)) {
                usageError("--frames needs a count of 0 or more, not '" + std::string(value) + "'");
            }
        } else if (arg == "--every") {
            if (!parseInt(value, 1, &options.every)) {
                usageError("--every needs a count of 1 or more, not '" + std::string(value) + "'");
            }
        } else {
            std::string text = value;
            std::size_t colon = text.find(':');
            long frame = 0, kind = 0;
            if (colon == std::string::npos || !parseInt(text.substr(0, colon).c_str(), 0, &frame) ||
                !parseInt(text.substr(colon + 1).c_str(), INT_MIN, &kind)) {
                usageError("--poke needs FRAME:KIND with a frame of 0 or more, not '" + text + "'");
            }
            options.pokes.push_back({frame, int(kind)});
        }
    }
    return options;
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
    Options options = parseArgs(argc, argv);

    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    World world;
    if (options.ropes) world.setUpRopes();

    std::fputs("frame,body,i,j,k,x,y,z,vx,vy,vz\n", stdout);
    for (long frame = 0; frame <= options.frames; ++frame) {
        if (frame % options.every == 0) writeFrame(stdout, frame, world);
        for (const Poke& poke : options.pokes) {
            if (poke.frame == frame) world.poke(poke.kind);
        }
        if (frame < options.frames) world.step();
    }

    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "wobble-trace: cannot write the trace: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}
