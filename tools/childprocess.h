#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Another program, started with its standard output and standard error caught
// in pipes (or left to ours).
struct ChildProcess {
    pid_t pid = -1;
    int outFd = -1;
    int errFd = -1;
    std::string out;
    std::string err;
    int status = 0;  // as waitpid reports it, once stopped
};

// Starts argv[0] with the given arguments. With `capture` its standard output
// and standard error go to pipes, read by stopChild.
ChildProcess startChild(const std::vector<std::string>& argv, bool capture);

// True while the child has not exited (reaps it if it has).
bool childRunning(ChildProcess& child);

// Ends the child with SIGTERM if it still runs, waits for it, and reads
// whatever it wrote into `out` and `err`.
void stopChild(ChildProcess& child);
