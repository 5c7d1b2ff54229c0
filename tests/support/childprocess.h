#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A program run for real as a child process, with what it wrote to its
// standard streams and how it ended.
struct ChildOutcome {
    int status = -1;  // exit status, or -1 when it died of a signal
    std::string out, err;
};

inline std::string slurpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs `program` with `args`. Its standard output goes to `stdoutPath` when
// one is given (and is then not read back), else it is captured.
inline ChildOutcome runChild(const std::string& program, std::vector<std::string> args,
                             const std::string& stdoutPath = "") {
    char dir[] = "/tmp/wobble-child-XXXXXX";
    std::string base = mkdtemp(dir);
    std::string outPath = stdoutPath.empty() ? base + "/out" : stdoutPath;
    std::string errPath = base + "/err";
    pid_t pid = fork();
    if (pid == 0) {
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ChildOutcome run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (stdoutPath.empty()) {
        run.out = slurpFile(outPath);
        std::remove(outPath.c_str());  // only our own file, never the caller's
    }
    run.err = slurpFile(errPath);
    std::remove(errPath.c_str());
    rmdir(base.c_str());
    return run;
}
