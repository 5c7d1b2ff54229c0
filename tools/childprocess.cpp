#include "tools/childprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::string readToEnd(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fd);
    return text;
}

}  // namespace

ChildProcess startChild(const std::vector<std::string>& argv, bool capture) {
    ChildProcess child;
    int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1};
    if (capture && pipe2(outPipe, O_CLOEXEC) != 0) return child;
    if (capture && pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return child;
    }

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    child.pid = fork();
    if (child.pid == 0) {
        if (capture) {
            dup2(outPipe[1], STDOUT_FILENO);
            dup2(errPipe[1], STDERR_FILENO);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    if (capture) {
        close(outPipe[1]);
        close(errPipe[1]);
        if (child.pid > 0) {
            child.outFd = outPipe[0];
            child.errFd = errPipe[0];
        } else {
            close(outPipe[0]);
            close(errPipe[0]);
        }
    }
    return child;
}

bool childRunning(ChildProcess& child) {
    if (child.pid <= 0) return false;
    pid_t done = waitpid(child.pid, &child.status, WNOHANG);
    if (done == child.pid) {
        child.pid = -1;
        return false;
    }
    return true;
}

void stopChild(ChildProcess& child) {
    if (childRunning(child)) {
        kill(child.pid, SIGTERM);
        while (waitpid(child.pid, &child.status, 0) < 0 && errno == EINTR) {
        }
        child.pid = -1;
    }
    if (child.outFd >= 0) child.out = readToEnd(child.outFd);
    if (child.errFd >= 0) child.err = readToEnd(child.errFd);
    child.outFd = child.errFd = -1;
}
