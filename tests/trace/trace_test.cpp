#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/sim/reference.h"
#include "tests/support/childprocess.h"

namespace {

using Outcome = ChildOutcome;

// Runs wobble-trace as a child process; its stdout goes to `stdoutPath`.
Outcome trace(std::vector<std::string> args, std::string stdoutPath = "") {
    return runChild(WOBBLE_TRACE, std::move(args), stdoutPath);
}

const std::string kHeader = "frame,body,i,j,k,x,y,z,vx,vy,vz\n";
const std::string kProgress =
    "wobble: initialing members...\n"
    "wobble: initialize nodes array with actual nodes...\n"
    "initializing springs...\n"
    "initializing faces...\n"
    "wobble has been created\n";

// The rows of one frame of the start-up box, formatted from the reference.
std::string referenceRows(int frame, const reference::Box& box) {
    std::string rows;
    char line[512];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) {
                const reference::Node& n = box.nodes[box.at(i, j, k)];
                std::snprintf(line, sizeof line,
                              "%d,0,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", frame, i, j, k,
                              n.p[0], n.p[1], n.p[2], n.v[0], n.v[1], n.v[2]);
                rows += line;
            }
    return rows;
}

// The whole trace of the start-up box from the reference: every `every`th
// frame, with two pokes of the low-x side queued after frame `poked`.
std::string referenceTrace(int frames, int every, int poked) {
    reference::Box box(3, 0.5, 2000.0, 0.02, 0.55);
    std::vector<int> lowX;
    for (int id = 0; id < 16; ++id) lowX.push_back(id);
    const double twice[3] = {2 * ((0.5 - 0.5 * 0.5) * 2000.0), 0, 0};
    std::string expected = kHeader + referenceRows(0, box);
    for (int frame = 1; frame <= frames; ++frame) {
        reference::step(box, 0.005, frame == poked + 1 ? lowX : std::vector<int>{}, twice);
        if (frame % every == 0) expected += referenceRows(frame, box);
    }
    return expected;
}

}  // namespace

TEST(Trace, RunsAreTheReferenceMotionAndReproducible) {
    Outcome first = trace({});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err, kProgress);
    EXPECT_TRUE(first.out == referenceTrace(400, 1, -1));
    EXPECT_TRUE(trace({}).out == first.out);

    // Every kth frame, and pokes after their frame (one after the last is never felt).
    Outcome run =
        trace({"--frames", "5", "--every", "2", "--poke", "1:0", "--poke", "1:0", "--poke", "9:1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out == referenceTrace(5, 2, 1));
}

TEST(Trace, RopesWriteEveryChainWithItsIndex) {
    Outcome run = trace({"--ropes", "--frames", "1"});
    EXPECT_EQ(run.status, 0);
    std::string progress;
    for (int b = 0; b < 21; ++b) progress += kProgress;
    EXPECT_EQ(run.err, progress);
    std::istringstream rows(run.out);
    std::string line;
    std::getline(rows, line);
    int count = 0;
    for (; std::getline(rows, line); ++count) {
        int frame, body, i, j, k;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%d,%d,%d,%d", &frame, &body, &i, &j, &k), 5);
        EXPECT_EQ(frame * 140 + body * 7 + i, count) << line;
    }
    EXPECT_EQ(count, 2 * 20 * 7);
}

TEST(Trace, HelpAndBadArguments) {
    Outcome help = trace({"--frames", "3", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: wobble-trace [--frames N]", 0), 0u) << help.out;

    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},        {"--frames"},      {"--frames", "x"}, {"--frames", "-1"},
        {"--frames", "3x"}, {"--every", "0"},  {"--poke", "3"},   {"--poke", "a:1"},
        {"--poke", "-1:0"}, {"--poke", "2:"},  {"--ropes", "1"},  {"--every", "99999999999"},
        {"--frames", " 3"}, {"--every", "+2"}, {"--bad\noption"}, {"--poke", "1:3"},
        {"--poke", "1:-1"}, {"--poke", "1:01x"}, {"--frames", "2147483648"},
        {"--ropes", "--poke", "0:0"}, {"--poke", "0:2", "--ropes"}};
    for (const auto& args : bad) {
        Outcome run = trace(args);
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_EQ(run.err.rfind("wobble-trace: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: wobble-trace"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}

// Whether the write fails with a full block mid-run or only at the last flush.
TEST(Trace, FailedWriteIsReportedWithItsReason) {
    for (const char* frames : {"400", "0"}) {
        Outcome run = trace({"--frames", frames}, "/dev/full");
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, kProgress + "wobble-trace: cannot write the trace: " +
                               std::strerror(ENOSPC) + "\n");
    }
}
