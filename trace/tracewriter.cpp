#include "trace/tracewriter.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kBlock = 1 << 20;
// The longest row: five integers, six numbers and their separators.
constexpr std::size_t kRowChars = 5 * 21 + 6 * kDoubleChars + 16;

template <class Int>
char* writeInt(char* out, Int value) {
    return std::to_chars(out, out + 21, value).ptr;
}

}  // namespace

char* writeDouble(char* out, double x) {
    // A precision with the general format is defined as printf's %.*g.
    return std::to_chars(out, out + kDoubleChars, x, std::chars_format::general, 17).ptr;
}

TraceWriter::TraceWriter(std::FILE* out) : out_(out), block_(kBlock) {}

void TraceWriter::header() {
    static const char kHeader[] = "frame,body,i,j,k,x,y,z,vx,vy,vz\n";
    append(kHeader, sizeof kHeader - 1);
}

void TraceWriter::frame(long frame, const World& world) {
    if (!world.multiBody) {
        body(frame, 0, world);
        return;
    }
    for (std::size_t b = 0; b < world.bodies.size(); ++b) body(frame, int(b), *world.bodies[b]);
}

void TraceWriter::body(long frame, int index, const SoftBody& body) {
    // The row's start, the same for every node of this body and frame.
    char lead[48];
    char* end = writeInt(lead, frame);
    *end++ = ',';
    end = writeInt(end, index);
    *end++ = ',';
    std::size_t leadSize = std::size_t(end - lead);

    for (int i = 0; i < body.nodesX; ++i) {
        for (int j = 0; j < body.nodesY; ++j) {
            for (int k = 0; k < body.nodesZ; ++k) {
                if (block_.size() - used_ < kRowChars) drain();
                const MassNode* n = body.nodes[i][j][k];
                char* row = block_.data() + used_;
                char* p = row;
                std::memcpy(p, lead, leadSize);
                p += leadSize;
                for (int place : {i, j, k}) {
                    p = writeInt(p, place);
                    *p++ = ',';
                }
                for (double value : {n->position.x, n->position.y, n->position.z, n->velocity.x,
                                     n->velocity.y, n->velocity.z}) {
                    p = writeDouble(p, value);
                    *p++ = ',';
                }
                p[-1] = '\n';
                used_ += std::size_t(p - row);
            }
        }
    }
}

void TraceWriter::append(const char* text, std::size_t size) {
    if (block_.size() - used_ < size) drain();
    if (size > block_.size()) block_.resize(size);
    std::memcpy(block_.data() + used_, text, size);
    used_ += size;
}

void TraceWriter::drain() {
    // After a failure the rest is dropped: the trace is incomplete anyway,
    // and the first error is the one to report.
    if (used_ > 0 && error_ == 0) {
        errno = 0;
        if (std::fwrite(block_.data(), 1, used_, out_) != used_) error_ = errno != 0 ? errno : EIO;
    }
    used_ = 0;
}

bool TraceWriter::finish() {
    drain();
    errno = 0;
    if (error_ == 0 && (std::fflush(out_) != 0 || std::ferror(out_))) {
        error_ = errno != 0 ? errno : EIO;
    }
    errno = error_;
    return error_ == 0;
}
