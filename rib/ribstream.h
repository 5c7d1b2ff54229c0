// The one buffered output of a RIB writer: a file, a pipe into a child
// process, or standard output, plain or gzip-compressed.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace duzozo {

class RibStream {
  public:
    // Each returns null when the target cannot be opened.
    static RibStream* openFile(const char* path);
    // Runs the command through /bin/sh -c with a pipe to its standard input.
    static RibStream* openPipe(const char* command);
    // Goes through stdout's own stdio buffer, so that the caller's printf
    // output and the RIB text stay in the order they were made.
    static RibStream* openStandardOutput();

    // From here on everything written goes out as one gzip stream. Called
    // before the first write; false (and the stream stays plain) when zlib
    // cannot set up its state.
    bool compress();

    // Flushes, then closes the file or pipe (waiting for the child); standard
    // output is flushed and left open.
    ~RibStream();
    RibStream(const RibStream&) = delete;
    RibStream& operator=(const RibStream&) = delete;

    void write(const void* data, size_t n) {
        // Standard output has no buffer, and not even nothing may be copied
        // into a null one.
        if (n == 0) return;
        if (n <= capacity - used) {
            std::memcpy(buffer + used, data, n);
            used += n;
        } else {
            writeSlow(data, n);
        }
    }
    void put(char c) {
        if (used < capacity) {
            buffer[used++] = c;
        } else {
            writeSlow(&c, 1);
        }
    }
    // Room for n bytes straight in the buffer, for a writer that formats in
    // place: write up to n bytes there, then commit the end. Null when the
    // stream has no buffer this large (plain standard output has none).
    char* room(size_t n) {
        if (n <= capacity - used) return buffer + used;
        if (n > capacity) return nullptr;
        drain(Ending::none);
        return buffer + used;
    }
    void commit(const char* end) { used = size_t(end - buffer); }

    // Hands everything written so far to the reader; a compressed stream
    // makes it decompressible up to here without ending the gzip stream.
    void flush();

    // Flushes every live stream made by this process; registered with atexit
    // when the first stream opens, so that buffered RIB survives any exit().
    // A compressed stream is ended there, so that it is a whole gzip file
    // even when its writer is never destroyed.
    static void flushAll();

    // Where a failure's code is also kept (the writer's own last error).
    int* errorSink = nullptr;

  private:
    struct Deflater;
    enum class Ending { none, sync, finish };

    RibStream() = default;
    static RibStream* make(int fd, const char* label, bool buffered);
    void allocateBuffer();
    void writeSlow(const void* data, size_t n);
    // Empties the buffer into the target, through the compressor if any.
    void drain(Ending ending);
    void send(const char* data, size_t n, Ending ending);
    void deflateOut(const char* data, size_t n, Ending ending);
    void writeOut(const char* data, size_t n);
    void writeStandardOutput(const void* data, size_t n);
    // Runs a stdio call that may write standard output, with SIGPIPE held
    // off; a false result is the stream's failure.
    template <class Call>
    void stdioCall(Call call);
    void closeTarget();
    // The first failed write of the stream is reported, naming the target
    // and the system's reason; what follows is dropped.
    void failed(int error);
    void report(const std::string& what);
    void linkLive();
    void unlinkLive();

    static constexpr size_t kBufferSize = 64 * 1024;

    char* buffer = nullptr;
    size_t capacity = 0;  // 0 for plain standard output: every write goes to stdio
    size_t used = 0;
    int fd = -1;
    pid_t child = -1;
    pid_t owner = -1;  // a forked copy must not flush its parent's data again
    bool toStdout = false;
    bool broken = false;  // a write failed; later data is dropped
    std::string label;    // the file, the command, or "standard output"
    Deflater* deflater = nullptr;
    RibStream* nextLive = nullptr;
    RibStream* prevLive = nullptr;
};

}  // namespace duzozo
