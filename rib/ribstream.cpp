#include "rib/ribstream.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <stdio_ext.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cstdio>
#include <cstdlib>

#include "rib/internal/errors.h"

extern char** environ;

namespace duzozo {

namespace {

// Every open stream, for the flush at exit. Writers open and close streams on
// any thread, so the list is only touched under its lock.
std::mutex liveStreamsLock;
RibStream* liveStreams = nullptr;
bool flushAtExitRegistered = false;
std::atomic<bool> exiting{false};

// Blocks SIGPIPE for the life of one write, so that a reader that went away
// shows up as EPIPE instead of killing the caller. A SIGPIPE raised by our
// own write is consumed before the old mask comes back; the caller's own
// disposition and any SIGPIPE it already had pending are left alone.
class SigpipeGuard {
  public:
    SigpipeGuard() {
        sigemptyset(&pipeOnly);
        sigaddset(&pipeOnly, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeOnly, &oldMask);
        sigset_t pending;
        sigpending(&pending);
        alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigpipeGuard() {
        if (raised && !alreadyPending) {
            timespec zero = {0, 0};
            while (sigtimedwait(&pipeOnly, nullptr, &zero) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;
    bool raised = false;

  private:
    sigset_t pipeOnly;
    sigset_t oldMask;
    bool alreadyPending = false;
};

}  // namespace

struct RibStream::Deflater {
    z_stream z{};
    // The last gzip member is complete; data written after that starts a
    // new member, and a gzip reader joins the members into one text.
    bool ended = false;
    unsigned char out[16 * 1024];
};

bool RibStream::compress() {
    if (deflater) return true;
    Deflater* d = new Deflater;
    // 16 + the largest window: the gzip wrapper (header and CRC trailer)
    // rather than the bare zlib one.
    if (deflateInit2(&d->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        delete d;
        return false;
    }
    deflater = d;
    // Compressed standard output collects its text like a file does; the
    // caller's own printf output could not be mixed into it anyway.
    if (!buffer) allocateBuffer();
    return true;
}

void RibStream::flushAll() {
    exiting = true;
    std::lock_guard<std::mutex> hold(liveStreamsLock);
    for (RibStream* s = liveStreams; s; s = s->nextLive) {
        // A forked copy of the process holds its parent's buffered data; that
        // data is the parent's to write.
        if (s->owner != getpid()) continue;
        if (s->deflater) s->drain(Ending::finish);
        s->flush();
        // The child renderer gets its end of file and finishes its input
        // before this process is gone.
        if (s->child > 0) s->closeTarget();
    }
}

void RibStream::linkLive() {
    std::lock_guard<std::mutex> hold(liveStreamsLock);
    if (!flushAtExitRegistered) {
        std::atexit(RibStream::flushAll);
        flushAtExitRegistered = true;
    }
    owner = getpid();
    nextLive = liveStreams;
    if (liveStreams) liveStreams->prevLive = this;
    liveStreams = this;
}

void RibStream::unlinkLive() {
    std::lock_guard<std::mutex> hold(liveStreamsLock);
    if (prevLive) {
        prevLive->nextLive = nextLive;
    } else if (liveStreams == this) {
        liveStreams = nextLive;
    }
    if (nextLive) nextLive->prevLive = prevLive;
    nextLive = prevLive = nullptr;
}

RibStream* RibStream::make(int fd, const char* label, bool buffered) {
    RibStream* s = new RibStream;
    s->fd = fd;
    s->label = label;
    if (buffered) s->allocateBuffer();
    s->linkLive();
    return s;
}

void RibStream::allocateBuffer() {
    buffer = new char[kBufferSize];
    capacity = kBufferSize;
}

RibStream* RibStream::openFile(const char* path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    return make(fd, path, true);
}

RibStream* RibStream::openPipe(const char* command) {
    int ends[2];
    // Close-on-exec keeps this pipe out of every other child the process
    // starts, so that each reader sees its end of file when its writer closes.
    if (pipe2(ends, O_CLOEXEC) < 0) return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    if (ends[0] != STDIN_FILENO) posix_spawn_file_actions_addclose(&actions, ends[0]);
    const char* argv[] = {"sh", "-c", command, nullptr};
    pid_t pid = -1;
    int failed = posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    if (failed) {
        ::close(ends[1]);
        return nullptr;
    }
    RibStream* s = make(ends[1], command, true);
    s->child = pid;
    return s;
}

RibStream* RibStream::openStandardOutput() {
    RibStream* s = make(STDOUT_FILENO, "standard output", false);
    s->toStdout = true;
    return s;
}

RibStream::~RibStream() {
    // Out of the list first, so that an exit on another thread never flushes
    // a stream that is being closed here.
    unlinkLive();
    if (deflater) drain(Ending::finish);
    flush();
    closeTarget();
    if (deflater) deflateEnd(&deflater->z);
    delete deflater;
    delete[] buffer;
}

void RibStream::report(const std::string& what) {
    if (errorSink) *errorSink = RIE_SYSTEM;
    duzozo::reportError(RIE_SYSTEM, RIE_ERROR, (label + ": " + what).c_str(), exiting);
}

void RibStream::failed(int error) {
    if (broken) return;
    broken = true;
    report(std::strerror(error ? error : EIO));
}

template <class Call>
void RibStream::stdioCall(Call call) {
    SigpipeGuard guard;
    errno = 0;
    if (call()) return;
    guard.raised = errno == EPIPE;
    // What stdio still holds has nowhere to go; written at exit it would
    // raise SIGPIPE after all.
    __fpurge(stdout);
    failed(errno);
}

void RibStream::writeStandardOutput(const void* data, size_t n) {
    if (broken) return;
    // Most writes only fill stdio's buffer and cannot fail; only one that
    // makes stdio write needs SIGPIPE held off.
    size_t room = __fbufsize(stdout);
    if (!__flbf(stdout) && room > 0 && __fpending(stdout) + n < room) {
        std::fwrite(data, 1, n, stdout);
        return;
    }
    stdioCall([&] { return std::fwrite(data, 1, n, stdout) == n; });
}

void RibStream::writeSlow(const void* data, size_t n) {
    // Plain standard output has no buffer: everything goes straight through.
    drain(Ending::none);
    if (n >= capacity) {
        send(static_cast<const char*>(data), n, Ending::none);
    } else {
        std::memcpy(buffer, data, n);
        used = n;
    }
}

void RibStream::flush() {
    drain(Ending::sync);
    if (!toStdout || broken) return;
    stdioCall([] { return std::fflush(stdout) == 0; });
}

void RibStream::drain(Ending ending) {
    send(buffer, used, ending);
    used = 0;
}

void RibStream::send(const char* data, size_t n, Ending ending) {
    if (deflater) {
        deflateOut(data, n, ending);
    } else {
        writeOut(data, n);
    }
}

void RibStream::deflateOut(const char* data, size_t n, Ending ending) {
    Deflater& d = *deflater;
    if (d.ended) {
        if (n == 0) return;  // no empty member after the last one
        deflateReset(&d.z);
        d.ended = false;
    }
    // zlib counts its input in unsigned int: very large writes go in slices,
    // and only the last one carries the flush.
    do {
        size_t slice = std::min<size_t>(n, 1u << 30);
        d.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        d.z.avail_in = uInt(slice);
        data += slice;
        n -= slice;
        int mode = n > 0 || ending == Ending::none ? Z_NO_FLUSH
                   : ending == Ending::sync        ? Z_SYNC_FLUSH
                                                   : Z_FINISH;
        // Output space left over means deflate has said all it has to say
        // for this mode; Z_FINISH then has ended the member.
        do {
            d.z.next_out = d.out;
            d.z.avail_out = sizeof d.out;
            if (deflate(&d.z, mode) == Z_STREAM_ERROR) return;
            writeOut(reinterpret_cast<const char*>(d.out), sizeof d.out - d.z.avail_out);
        } while (d.z.avail_out == 0);
        if (mode == Z_FINISH) d.ended = true;
    } while (n > 0);
}

void RibStream::writeOut(const char* data, size_t n) {
    if (n == 0) return;
    if (toStdout) {
        writeStandardOutput(data, n);
        return;
    }
    if (broken || fd < 0) return;
    // Any target may have a reader that can go away: a pipe, or a file name
    // that names a FIFO.
    SigpipeGuard guard;
    while (n > 0) {
        ssize_t written = ::write(fd, data, n);
        if (written < 0) {
            if (errno == EINTR) continue;
            guard.raised = errno == EPIPE;
            failed(errno);
            return;
        }
        data += written;
        n -= size_t(written);
    }
}

void RibStream::closeTarget() {
    if (toStdout || fd < 0) return;
    // A file system may report a failed write only when the file closes.
    if (::close(fd) != 0 && errno != EINTR) failed(errno);
    fd = -1;
    if (child > 0) {
        int status = 0;
        pid_t waited;
        while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
        }
        child = -1;
        // A renderer that could not start, or that failed, has not rendered.
        if (waited > 0 && WIFEXITED(status) && WEXITSTATUS(status) != 0) {
            report("exited with status " + std::to_string(WEXITSTATUS(status)));
        } else if (waited > 0 && WIFSIGNALED(status)) {
            report("killed by signal " + std::to_string(WTERMSIG(status)));
        }
    }
}

}  // namespace duzozo
