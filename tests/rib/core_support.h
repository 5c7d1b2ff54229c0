// Helpers of the library-core tests: temporary files and folders, running a
// piece of code in a child process with its status and output captured.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "rib/ribwriter.h"

namespace core_test {

inline std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string makeTemp(const char* stem, bool folder = false) {
    std::string pattern = ::testing::TempDir() + stem + "_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (folder) return mkdtemp(name.data());
    int fd = mkstemp(name.data());
    if (fd >= 0) close(fd);
    return name.data();
}

struct ChildOutcome {
    bool exited = false;
    int status = -1;  // exit status, or the signal number when killed
    std::string out;
    std::string err;
};

// Runs body in a forked child with standard output and error going to files.
// A body that returns ends the child with status 0 through exit(), so that
// the library's exit-time flushing is part of what the test sees.
inline ChildOutcome runInChild(const std::function<void()>& body) {
    std::string outPath = makeTemp("child_out");
    std::string errPath = makeTemp("child_err");
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen(outPath.c_str(), "wb", stdout)) _exit(120);
        if (!std::freopen(errPath.c_str(), "wb", stderr)) _exit(121);
        body();
        std::exit(0);
    }
    ChildOutcome outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    outcome.out = readWhole(outPath);
    outcome.err = readWhole(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return outcome;
}

inline const std::string kRibHeader = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";

// What the requests write on a fresh file writer, between the header and the
// final line break.
inline std::string writtenBy(const std::function<void(RibWriter&)>& requests, int binary = 0) {
    std::string path = makeTemp("writer");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = binary;
    requests(*w);
    delete w;
    std::string all = readWhole(path);
    std::remove(path.c_str());
    EXPECT_EQ(all.substr(0, kRibHeader.size()), kRibHeader);
    if (all.size() <= kRibHeader.size()) return "";
    EXPECT_EQ(all.back(), '\n');
    return all.substr(kRibHeader.size(), all.size() - kRibHeader.size() - 1);
}

}  // namespace core_test
