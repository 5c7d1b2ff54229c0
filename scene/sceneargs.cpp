#include "scene/sceneargs.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const kSceneUsage = "[--frames N] [--every K] [--poke F:KIND]... [--ropes]";

const std::vector<OptionHelp> kSceneOptions = {
    {"--frames N", "frames to step after frame 0 (default 400)"},
    {"--every K", "write every K-th frame only (default 1)"},
    {"--poke F:KIND",
     "after frame F, push the box: 0 low-x side, 1 high-x side,\n2 bottom; may be repeated"},
    {"--ropes", "the twenty hanging chains instead of the box (no --poke)"},
};

std::string optionHelp(const std::vector<OptionHelp>& entries) {
    std::size_t width = 0;
    for (const OptionHelp& e : entries) width = std::max(width, std::strlen(e.option));
    std::string lines;
    for (const OptionHelp& e : entries) {
        std::string option = e.option;
        lines += "  " + option + std::string(width + 2 - option.size(), ' ');
        for (const char* c = e.text; *c; ++c) {
            lines += *c;
            if (*c == '\n') lines += std::string(width + 4, ' ');
        }
        lines += '\n';
    }
    return lines;
}

void sceneHelp(const std::string& usage, const char* intro, const std::vector<OptionHelp>& own) {
    std::vector<OptionHelp> entries = kSceneOptions;
    entries.insert(entries.end(), own.begin(), own.end());
    std::printf("%s\n%s%s", usage.c_str(), intro, optionHelp(entries).c_str());
    std::exit(std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1);
}

namespace {

// A whole decimal integer in [min, max]: an optional minus sign and digits,
// nothing else (strtol alone would also take spaces and a plus sign).
bool parseInt(const std::string& text, long min, long max, long* out) {
    std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (start == text.size()) return false;
    for (std::size_t c = start; c < text.size(); ++c) {
        if (text[c] < '0' || text[c] > '9') return false;
    }
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || value < min || value > max) return false;
    *out = value;
    return true;
}

}  // namespace

int parseSceneOption(int argc, char** argv, int a, SceneArgs& args) {
    std::string arg = argv[a];
    if (arg == "--ropes") {
        args.ropes = true;
        return 1;
    }
    if (arg != "--frames" && arg != "--every" && arg != "--poke") return 0;
    if (a + 1 >= argc) throw SceneArgsError(arg + " needs a value");
    std::string value = argv[a + 1];
    if (arg == "--frames") {
        if (!parseInt(value, 0, INT_MAX, &args.frames)) {
            throw SceneArgsError("--frames needs a count of 0 or more, not '" + value + "'");
        }
    } else if (arg == "--every") {
        if (!parseInt(value, 1, INT_MAX, &args.every)) {
            throw SceneArgsError("--every needs a count of 1 or more, not '" + value + "'");
        }
    } else {
        std::size_t colon = value.find(':');
        long frame = 0, kind = 0;
        if (colon == std::string::npos || !parseInt(value.substr(0, colon), 0, INT_MAX, &frame) ||
            !parseInt(value.substr(colon + 1), 0, 2, &kind)) {
            throw SceneArgsError(
                "--poke needs FRAME:KIND with a frame of 0 or more and a kind of 0, 1 or 2, not '" +
                value + "'");
        }
        args.pokes.push_back({frame, int(kind)});
    }
    return 2;
}

void checkSceneArgs(const SceneArgs& args) {
    // A push acts on the start-up box, which the chains' scene never steps.
    if (args.ropes && !args.pokes.empty()) {
        throw SceneArgsError("--poke pushes the box, which --ropes does not show");
    }
}

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    return text;
}

void sceneUsageError(const char* program, const std::string& problem, const char* usage) {
    std::fprintf(stderr, "%s: %s; %s\n", program, oneLine(problem).c_str(), usage);
    std::exit(2);
}

void setUpScene(World& world, const SceneArgs& args) {
    if (args.ropes) world.setUpRopes();
}
