#include "rib/internal/ribinput.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace duzozo {
namespace {

// Decompresses the gzip members that make up `data`, appending to `out`.
// Zero bytes after the last member are padding (as tape blocks leave) and
// are accepted; anything else after it is an error, not silently dropped.
bool gunzip(const unsigned char* data, std::size_t size, std::string& out, std::string& error) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) {
        error = "cannot start gzip decompression";
        return false;
    }
    std::size_t used = out.size();
    // The trailer of the last member holds its size modulo 2^32: when that
    // is plausible (deflate cannot pass about 1032 to 1) it is the first
    // guess, else four times the input; the room grows by half from there.
    std::size_t hint = 4 * size;
    if (size >= 18) {
        const unsigned char* t = data + size - 4;
        std::size_t last = std::size_t(t[0]) | std::size_t(t[1]) << 8 | std::size_t(t[2]) << 16 |
                           std::size_t(t[3]) << 24;
        if (last >= size / 2 && last / 1032 <= size) hint = last;
    }
    std::size_t room = used + std::max<std::size_t>(hint, 65536);
    std::size_t consumed = 0;
    bool ok = true;
    while (true) {
        if (out.size() - used < 16384) {
            room = std::max(room, out.size() + out.size() / 2 + 65536);
            out.resize(room);
        }
        std::size_t inChunk = std::min<std::size_t>(size - consumed, UINT_MAX);
        std::size_t outChunk = std::min<std::size_t>(out.size() - used, UINT_MAX);
        z.next_in = const_cast<unsigned char*>(data + consumed);
        z.avail_in = uInt(inChunk);
        z.next_out = reinterpret_cast<unsigned char*>(&out[used]);
        z.avail_out = uInt(outChunk);
        int rc = inflate(&z, Z_NO_FLUSH);
        bool progress = z.avail_in != inChunk || z.avail_out != outChunk;
        consumed += inChunk - z.avail_in;
        used += outChunk - z.avail_out;
        if (rc == Z_STREAM_END) {
            std::size_t left = size - consumed;
            if (left == 0) break;
            if (isGzipData(reinterpret_cast<const char*>(data + consumed), left)) {
                inflateReset(&z);
                continue;
            }
            if (std::all_of(data + consumed, data + size, [](unsigned char c) { return c == 0; }))
                break;
            error = "data that is not gzip after the end of the compressed stream, at byte " +
                    std::to_string(consumed);
            ok = false;
            break;
        }
        if (rc == Z_OK && progress) continue;
        if (rc == Z_OK || rc == Z_BUF_ERROR) {  // wants more input, and there is none
            error = "compressed data ends early (truncated gzip file)";
        } else if (rc == Z_MEM_ERROR) {
            error = "out of memory decompressing gzip data";
        } else {
            error = std::string("corrupt gzip data") + (z.msg ? std::string(": ") + z.msg : "") +
                    " at byte " + std::to_string(consumed);
        }
        ok = false;
        break;
    }
    inflateEnd(&z);
    out.resize(used);
    return ok;
}

std::string describeErrno(int code) {
    return std::strerror(code != 0 ? code : EIO);
}

}  // namespace

bool isGzipData(const char* data, std::size_t size) {
    return size >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
           static_cast<unsigned char>(data[1]) == 0x8b;
}

bool decodeRibBuffer(const char* data, std::size_t size, std::string& bytes, std::string& error) {
    bytes.clear();
    error.clear();
    if (!isGzipData(data, size)) {
        bytes.assign(data, size);
        return true;
    }
    return gunzip(reinterpret_cast<const unsigned char*>(data), size, bytes, error);
}

bool loadRibInput(const std::string& path, std::string& bytes, std::string& error) {
    bytes.clear();
    error.clear();
    bool standardInput = path == "-";
    std::string name = standardInput ? "standard input" : path;
    std::FILE* in = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) {
        error = name + ": " + describeErrno(errno);
        return false;
    }
    std::string raw;
    // Read straight into the string; a regular file's size is known, so it
    // takes one allocation and one read (the extra byte sees the end).
    std::size_t chunk = 1 << 20;
    struct stat info;
    if (fstat(fileno(in), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        chunk = std::size_t(info.st_size) + 1;
    std::size_t used = 0;
    errno = 0;
    while (true) {
        raw.resize(used + chunk);
        std::size_t got = std::fread(&raw[used], 1, chunk, in);
        used += got;
        if (got < chunk) break;
        chunk = std::max<std::size_t>(chunk, used / 2);
    }
    raw.resize(used);
    bool failed = std::ferror(in) != 0;
    int code = errno;
    if (!standardInput) std::fclose(in);
    if (failed) {
        error = name + ": " + describeErrno(code);
        bytes = std::move(raw);
        return false;
    }
    if (!isGzipData(raw.data(), raw.size())) {
        bytes = std::move(raw);
        return true;
    }
    if (!gunzip(reinterpret_cast<const unsigned char*>(raw.data()), raw.size(), bytes, error)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}

}  // namespace duzozo
