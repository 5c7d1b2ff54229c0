// How wobble2rib ends when its output fails, and what it says on standard
// error: one line per failure, exit status 1, and progress only on a terminal.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/render/ribframes.h"

namespace {

using namespace ribframes;

// wobble2rib's own lines on standard error. The only others allowed are the
// progress lines every world writes as it is built.
std::vector<std::string> ownLines(const std::string& err) {
    static const std::set<std::string> worldLines = {
        "wobble: initialing members...", "wobble: initialize nodes array with actual nodes...",
        "initializing springs...", "initializing faces...", "wobble has been created"};
    std::vector<std::string> own;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("wobble2rib: ", 0) == 0) {
            own.push_back(line);
        } else {
            EXPECT_TRUE(worldLines.count(line)) << "unexpected line: " << line;
        }
    }
    return own;
}

struct Outcome {
    std::string start, end;  // of one line
};

struct Case {
    const char* what;
    std::vector<std::string> args;
    std::string stdoutPath;
    std::vector<Outcome> lines;  // none: the run succeeds
};

}  // namespace

// A full device, a file that cannot be opened, a renderer command that fails
// or is killed, for the whole stream or for one per-frame target among good
// ones: each failure is one line naming the target and why, and the run ends
// with status 1 after writing every frame it could. A pipe's reader that
// quits early may also break the pipe; that joins its line, not a line of
// its own.
TEST(Wobble2ribFailures, EveryFailureIsOneLineAndStatusOne) {
    TempDir dir("wobble2rib-failures");
    const std::string d = dir.path;
    std::filesystem::create_directory(d + "/full");
    std::filesystem::create_symlink("/dev/full", d + "/full/w.0010.rib");
    std::filesystem::create_directories(d + "/folder/w.0010.rib");
    const std::string frames[] = {"--frames", "20", "--every", "10"};
    auto with = [&](std::vector<std::string> own) {
        own.insert(own.begin(), std::begin(frames), std::end(frames));
        return own;
    };
    const Case cases[] = {
        {"standard output full",
         {"--frames", "400"},
         "/dev/full",
         {{"wobble2rib: cannot write the RIB to standard output: No space left on device", ""}}},
        {"file on a full device",
         with({"-o", "/dev/full"}),
         "",
         {{"wobble2rib: cannot write '/dev/full': No space left on device", ""}}},
        {"one frame's file on a full device",
         with({"-o", d + "/full/w.%04d.rib"}),
         "",
         {{"wobble2rib: cannot write '" + d + "/full/w.0010.rib': No space left on device", ""}}},
        {"one frame's file cannot be opened",
         with({"-o", d + "/folder/w.%04d.rib"}),
         "",
         {{"wobble2rib: cannot write '" + d + "/folder/w.0010.rib': Is a directory", ""}}},
        {"renderer fails after reading",
         with({"-o", "|cat >/dev/null; exit 3"}),
         "",
         {{"wobble2rib: the command 'cat >/dev/null; exit 3' failed: exited with status 3", ""}}},
        {"renderer fails without reading",
         {"--frames", "400", "-o", "|exit 3"},
         "",
         {{"wobble2rib: the command 'exit 3' failed: ", "exited with status 3"}}},
        {"renderer killed",
         with({"-o", "|kill -9 $$"}),
         "",
         {{"wobble2rib: the command 'kill -9 $$' failed: ", "killed by signal 9"}}},
        {"one frame's renderer fails", with({"-o", "|test %d != 10 && cat >/dev/null"}), "",
         {{"wobble2rib: the command 'test 10 != 10 && cat >/dev/null' failed: ",
           "exited with status 1"}}},
        {"nothing fails", with({"-o", d + "/good.%d.rib"}), "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChildOutcome run = wobble2rib(c.args, c.stdoutPath);
        EXPECT_EQ(run.status, c.lines.empty() ? 0 : 1) << run.err;
        EXPECT_EQ(run.out, "");
        std::vector<std::string> own = ownLines(run.err);
        ASSERT_EQ(own.size(), c.lines.size()) << run.err;
        for (std::size_t n = 0; n < own.size(); ++n) {
            const Outcome& want = c.lines[n];
            EXPECT_EQ(own[n].rfind(want.start, 0), 0u) << own[n];
            if (want.end.empty()) {
                EXPECT_EQ(own[n], want.start);
            } else {
                EXPECT_EQ(own[n].size() - std::min(own[n].size(), want.end.size()),
                          own[n].rfind(want.end))
                    << own[n];
            }
        }
    }
    // The frames around a failed one are still written whole.
    for (std::string path : {"/full/w.0000.rib", "/full/w.0020.rib", "/folder/w.0000.rib",
                             "/folder/w.0020.rib", "/good.0.rib", "/good.20.rib"}) {
        EXPECT_EQ(ribframes::frames(readFile(d + path)).size(), 1u) << path;
    }
}

namespace {

// Runs wobble2rib with standard error on a terminal; what the terminal got.
std::string onTerminal(const std::vector<std::string>& args, int* status) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        ADD_FAILURE() << "no terminal: " << std::strerror(errno);
        return "";
    }
    ChildOutcome run = runInChild([&] {
        close(master);
        if (dup2(slave, 2) < 0) _exit(120);
        close(slave);
        std::vector<char*> argv{const_cast<char*>(WOBBLE2RIB)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    });
    close(slave);
    *status = run.status;
    std::string seen;
    char buffer[4096];
    // The terminal keeps what the child wrote; at its end a read fails.
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, n);
    close(master);
    return seen;
}

}  // namespace

// Frame k of n, rewritten in place on one line, ended when the run ends; a
// failure's line first wipes the progress line, which then comes back.
TEST(Wobble2ribFailures, ProgressOnATerminalIsOneLineThatUpdates) {
    TempDir dir("wobble2rib-progress");
    int status = -1;
    std::string seen =
        onTerminal({"--frames", "20", "--every", "10", "-o", dir.path + "/a.rib"}, &status);
    EXPECT_EQ(status, 0);
    const std::string progress =
        "wobble has been created\r\n"  // the terminal ends lines with \r\n
        "\rwobble2rib: frame 0 of 20\rwobble2rib: frame 10 of 20\rwobble2rib: frame 20 of 20\r\n";
    EXPECT_EQ(seen.size() - std::min(seen.size(), progress.size()), seen.rfind(progress)) << seen;

    std::filesystem::create_directories(dir.path + "/w.10.rib");
    seen = onTerminal({"--frames", "20", "--every", "10", "-o", dir.path + "/w.%d.rib"}, &status);
    EXPECT_EQ(status, 1);
    const std::string wiped = "\rwobble2rib: frame 10 of 20\r" +
                              std::string(std::strlen("wobble2rib: frame 10 of 20"), ' ') +
                              "\rwobble2rib: cannot write '" + dir.path +
                              "/w.10.rib': Is a directory\r\n"
                              "\rwobble2rib: frame 20 of 20\r\n";
    EXPECT_NE(seen.find(wiped), std::string::npos) << seen;
}
