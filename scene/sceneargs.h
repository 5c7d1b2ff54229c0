#pragma once

// The options every headless tool that replays a scene shares: which scene,
// how many frames, which frames to keep, and the pushes along the way.
// A tool hands each argument to parseSceneOption first and treats the ones
// it does not take as its own.

#include <stdexcept>
#include <string>
#include <vector>

#include "sim/world.h"

struct ScenePoke {
    long frame;  // the push comes after this frame is written, before the next step
    int kind;    // 0, 1 or 2: the side pushed by SoftBody::poke
};

struct SceneArgs {
    long frames = 400;
    long every = 1;
    std::vector<ScenePoke> pokes;
    bool ropes = false;
};

// A bad argument. what() is one line naming the problem, without the
// program's name or usage, so each tool can frame it the same way.
struct SceneArgsError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The usage text of the shared options, to append to a tool's own.
extern const char* const kSceneUsage;

// One entry of a tool's --help: the option as typed, and what it does; a
// '\n' in `text` continues the entry on a line of its own.
struct OptionHelp {
    const char* option;
    const char* text;
};

// The entries of the shared options, in the order their usage names them.
extern const std::vector<OptionHelp> kSceneOptions;

// The entries as help lines, every text starting two blanks after the
// longest option, so that a tool's own options line up with the shared ones.
std::string optionHelp(const std::vector<OptionHelp>& entries);

// Prints USAGE, INTRO and the help lines of the shared options followed by
// `own` on standard output, and exits: 0, or 1 when it cannot be written.
[[noreturn]] void sceneHelp(const std::string& usage, const char* intro,
                            const std::vector<OptionHelp>& own = {});

// If argv[a] is one of the shared options, takes it (and its value) into
// `args` and returns how many arguments it used; returns 0 for anything else.
// Throws SceneArgsError for a shared option with a missing or bad value.
int parseSceneOption(int argc, char** argv, int a, SceneArgs& args);

// Checks what only the whole command line shows. Throws SceneArgsError.
void checkSceneArgs(const SceneArgs& args);

// `text` with every control character turned into '?', so that whatever
// the user typed stays on one line of a message.
std::string oneLine(std::string text);

// Writes "PROGRAM: PROBLEM; USAGE" on one line of standard error and exits
// with status 2. Control characters from the user's text become '?'.
[[noreturn]] void sceneUsageError(const char* program, const std::string& problem,
                                  const char* usage);

// Builds the scene the options name into a freshly constructed world.
void setUpScene(World& world, const SceneArgs& args);

// Frames 0 to args.frames: `keep`(frame, world) on every args.every-th frame,
// then the pushes queued for that frame, then one step (none after the last).
template <class Keep>
void runScene(World& world, const SceneArgs& args, Keep keep) {
    for (long frame = 0; frame <= args.frames; ++frame) {
        if (frame % args.every == 0) keep(frame, static_cast<const World&>(world));
        for (const ScenePoke& poke : args.pokes) {
            if (poke.frame == frame) world.poke(poke.kind);
        }
        if (frame < args.frames) world.step();
    }
}
