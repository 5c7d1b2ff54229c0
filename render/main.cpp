// wobble2rib: steps the start-up scene without a window, frame for frame as
// wobble-trace does, and writes it as a RIB animation for a RenderMan
// renderer: to standard output, a file, a renderer's pipe, or one file per
// frame for a render farm.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "rib/ri.h"
#include "scene/sceneargs.h"
#include "render/framepattern.h"
#include "render/framewriter.h"

namespace {

const std::string kUsage = std::string("usage: wobble2rib ") + kSceneUsage +
                           " [--binary] [--gzip] [--size WxH] [--motion-blur] [--image PATTERN]"
                           " [-o TARGET] [--help]";

const char* const kIntro =
    "Steps the start-up scene without a window and writes it as a RIB animation:\n"
    "one frame for frame 0 and every K-th frame up to N, numbered as in wobble-trace.\n";

const std::vector<OptionHelp> kOwnOptions = {
    {"--binary", "binary-encoded numbers"},
    {"--gzip", "gzip-compressed output"},
    {"--size WxH", "picture size in pixels (default 300x300)"},
    {"--motion-blur", "give each frame's shapes at the start and end of its step"},
    {"--image PATTERN", "picture written by each frame (default wobble.%04d.tif)"},
    {"-o TARGET",
     "- for standard output (default), a file, or |command;\n"
     "a %d field (frames/wobble.%04d.rib) writes one file per frame"},
};

// Picture sizes past this are surely typing errors.
constexpr long kMaxSide = 65536;

struct Options {
    SceneArgs scene;
    FrameOptions frame;
    bool binary = false;
    bool gzip = false;
    FramePattern target{"-"};
};

bool parseSide(const std::string& text, long* side) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    *side = std::strtol(text.c_str(), nullptr, 10);
    return *side >= 1 && *side <= kMaxSide;
}

void parseSize(const std::string& text, FrameOptions& frame) {
    std::size_t x = text.find('x');
    long width = 0, height = 0;
    if (x == std::string::npos || !parseSide(text.substr(0, x), &width) ||
        !parseSide(text.substr(x + 1), &height)) {
        throw SceneArgsError("--size needs WIDTHxHEIGHT in pixels, each 1 to " +
                             std::to_string(kMaxSide) + ", not '" + text + "'");
    }
    frame.width = int(width);
    frame.height = int(height);
}

FramePattern parsePattern(const std::string& option, const std::string& text) {
    if (text.empty()) throw SceneArgsError(option + " needs a name, not ''");
    try {
        return FramePattern(text);
    } catch (const std::invalid_argument& e) {
        throw SceneArgsError(option + ": " + e.what());
    }
}

Options parseArgs(int argc, char** argv) {
    Options options;
    try {
        for (int a = 1; a < argc; ++a) {
            std::string arg = argv[a];
            if (arg == "--help") sceneHelp(kUsage, kIntro, kOwnOptions);
            if (arg == "--binary" || arg == "--gzip" || arg == "--motion-blur") {
                (arg == "--binary" ? options.binary
                 : arg == "--gzip" ? options.gzip
                                   : options.frame.motionBlur) = true;
                continue;
            }
            if (arg == "--size" || arg == "--image" || arg == "-o") {
                if (a + 1 >= argc) throw SceneArgsError(arg + " needs a value");
                std::string value = argv[++a];
                if (arg == "--size") {
                    parseSize(value, options.frame);
                } else if (arg == "--image") {
                    options.frame.image = parsePattern(arg, value);
                } else {
                    options.target = parsePattern(arg, value);
                }
                continue;
            }
            int used = parseSceneOption(argc, argv, a, options.scene);
            if (used == 0) throw SceneArgsError("unknown option '" + arg + "'");
            a += used - 1;
        }
        checkSceneArgs(options.scene);
        if (options.target.at(0) == "|") throw SceneArgsError("-o '|' names no command");
    } catch (const SceneArgsError& e) {
        sceneUsageError("wobble2rib", e.what(), kUsage.c_str());
    }
    return options;
}

// The library would start these names as renderer commands; here a name
// without a bar is always a file.
std::string fileTarget(const std::string& name) {
    if (name == "rendrib" || name == "rgl" || name == "prman") return "./" + name;
    return name;
}

// The library's report of a file it cannot create says neither which file
// nor why; trying first gives the user the name and the reason.
// A missing folder is made, so "-o frames/wobble.%04d.rib" needs no mkdir
// first; where it cannot be made, opening the file says why. Returns "" or
// the one line that tells why the target cannot be written.
std::string unwritable(const std::string& target) {
    if (target == "-" || target[0] == '|') return "";
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::path(target).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return "wobble2rib: cannot write '" + oneLine(target) + "': " + std::strerror(errno);
    }
    ::close(fd);
    return "";
}

// The frame being written, on one line of the terminal that each frame
// rewrites. Where standard error is a file or a pipe it stays silent, so
// logs hold only what went wrong.
class Progress {
  public:
    Progress(long frames, bool shown) : frames(frames), shown(shown) {}
    void frame(long frame) {
        if (!shown) return;
        width = std::fprintf(stderr, "\rwobble2rib: frame %ld of %ld", frame, frames) - 1;
    }
    // Makes room for a line of its own; the next frame draws the line again.
    void clear() {
        if (shown && width > 0) std::fprintf(stderr, "\r%*s\r", width, "");
        width = 0;
    }
    void finish() {
        if (shown && width > 0) std::fputc('\n', stderr);
        width = 0;
    }

  private:
    long frames;
    bool shown;
    int width = 0;
};

// What the library reports about the target being written: a write that
// failed, or a renderer command that failed or was killed. wobble2rib's own
// requests are well formed, so every report is a failure of the output.
struct Failures {
    std::string target;  // as given to RiBegin: "-", a file, or "|command"
    std::vector<std::string> reasons;
    bool any = false;
} failures;

void collect(RtInt, RtInt, const char* message) {
    std::string text = message ? message : "";
    // The library names its target first; the line names it once, its own way.
    const std::string& t = failures.target;
    std::string label = t == "-" ? "standard output" : t[0] == '|' ? t.substr(1) : t;
    if (text.compare(0, label.size() + 2, label + ": ") == 0) text.erase(0, label.size() + 2);
    failures.reasons.push_back(text);
}

void startTarget(const std::string& target) {
    failures.target = target;
    failures.reasons.clear();
    RiBegin(target == "-" ? RI_NULL : target.c_str());
}

// Ends the target and tells in one line what went wrong with it, if anything.
void finishTarget(Progress& progress) {
    RiEnd();
    const std::string& t = failures.target;
    // The library has flushed standard output; a failure it could not see
    // (the stream was already in error) still shows in stdio's error flag.
    errno = 0;
    if (t == "-" && failures.reasons.empty() && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        failures.reasons.push_back(std::strerror(errno != 0 ? errno : EIO));
    }
    if (failures.reasons.empty()) return;
    std::string why;
    for (const std::string& reason : failures.reasons) why += (why.empty() ? "" : "; ") + reason;
    std::string line = t == "-"      ? "cannot write the RIB to standard output: " + why
                       : t[0] == '|' ? "the command '" + t.substr(1) + "' failed: " + why
                                     : "cannot write '" + t + "': " + why;
    progress.clear();
    std::fprintf(stderr, "wobble2rib: %s\n", oneLine(line).c_str());
    failures.any = true;
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments and the first target are checked before the world is built,
    // so a bad call writes nothing but its one line.
    Options options = parseArgs(argc, argv);
    const FramePattern& target = options.target;
    std::string problem = unwritable(fileTarget(target.at(0)));
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }

    const char* format = options.binary ? "binary" : "ascii";
    const char* compression = options.gzip ? "gzip" : "none";
    RiOption("rib", "format", &format, "compression", &compression, RI_NULL);
    RiErrorHandler(collect);

    World world;
    setUpScene(world, options.scene);
    FrameWriter writer(world, options.frame);
    // RIB text on the same terminal would tear the progress line apart.
    Progress progress(options.scene.frames,
                      isatty(STDERR_FILENO) && !(target.at(0) == "-" && isatty(STDOUT_FILENO)));

    const bool perFrame = target.hasField();
    if (!perFrame) startTarget(fileTarget(target.at(0)));
    // Every frame passes through here, so that a motion-blurred frame knows
    // where its step began; only every K-th is written. A frame that fails
    // is told and the others are still written, but the run has failed.
    SceneArgs everyFrame = options.scene;
    everyFrame.every = 1;
    runScene(world, everyFrame, [&](long frame, const World&) {
        if (frame % options.scene.every == 0) {
            progress.frame(frame);
            std::string name = fileTarget(target.at(frame));
            problem = perFrame && frame > 0 ? unwritable(name) : "";
            if (!problem.empty()) {
                progress.clear();
                std::fprintf(stderr, "%s\n", problem.c_str());
                failures.any = true;
            } else {
                if (perFrame) startTarget(name);
                writer.write(frame);
                if (perFrame) finishTarget(progress);
            }
        }
        writer.beforeStep();
    });
    if (!perFrame) finishTarget(progress);
    progress.finish();
    return failures.any ? 1 : 0;
}
