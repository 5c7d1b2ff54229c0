// Code or a program run for real in a child process, with what it wrote to
// its standard streams and how it ended.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/files.h"

struct ChildOutcome {
    bool exited = false;  // false when a signal ended it
    int status = -1;      // exit status, or -1 when a signal ended it
    int signal = 0;       // the signal that ended it, or 0
    std::string out, err;
};

// Runs `body` in a forked child. Its standard output goes to `stdoutPath`
// when one is given (and is then not read back), else it is captured, as its
// standard error always is. A body that returns ends the child through
// exit(), so that exit-time flushing is part of what the test sees.
inline ChildOutcome runInChild(const std::function<void()>& body,
                               const std::string& stdoutPath = "") {
    std::string outPath = stdoutPath.empty() ? tempPath("child_out") : stdoutPath;
    std::string errPath = tempPath("child_err");
    // What the parent still buffers must not be written twice.
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(120);
        close(out);
        close(err);
        body();
        std::exit(0);
    }
    ChildOutcome outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (stdoutPath.empty()) {
        outcome.out = readFile(outPath);
        std::remove(outPath.c_str());  // only our own file, never the caller's
    }
    outcome.err = readFile(errPath);
    std::remove(errPath.c_str());
    return outcome;
}

// Runs `program` with `args`, its standard streams as runInChild has them.
inline ChildOutcome runChild(const std::string& program, std::vector<std::string> args,
                             const std::string& stdoutPath = "") {
    return runInChild(
        [&] {
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        },
        stdoutPath);
}
