#include "trace/tracewriter.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBlock = 1 << 20;
// The longest row: five integers, six numbers and their separators.
constexpr std::size_t kRowChars = 5 * 21 + 6 * kDoubleChars + 16;

template <class Int>
char* writeInt(char* out, Int value) {
    return std::to_chars(out, out + 21, value).ptr;
}

// %.17g rounds the exact binary value of a double to 17 significant digits,
// to nearest with ties to even. For the magnitudes the simulation writes that
// rounding is done here in exact integer arithmetic, which is several times
// quicker than the general conversion: |x| = m * 2^q, and the digits are
// m * 5^k * 2^(q + k) for k = 16 - the decimal exponent, rounded once. Gives
// the digits as an integer in [1e16, 1e17) and the decimal exponent of the
// first, or false outside about 1e-11 <= |x| < 1e17 (and for zero,
// subnormals and non-finite values), which the general conversion then takes.
bool seventeenDigits(double x, std::uint64_t* digits, int* exponent) {
    static const std::uint64_t kPow5[28] = {
        1ull, 5ull, 25ull, 125ull, 625ull, 3125ull, 15625ull, 78125ull, 390625ull,
        1953125ull, 9765625ull, 48828125ull, 244140625ull, 1220703125ull, 6103515625ull,
        30517578125ull, 152587890625ull, 762939453125ull, 3814697265625ull,
        19073486328125ull, 95367431640625ull, 476837158203125ull, 2384185791015625ull,
        11920928955078125ull, 59604644775390625ull, 298023223876953125ull,
        1490116119384765625ull, 7450580596923828125ull};
    constexpr std::uint64_t kLow = 10000000000000000ull, kHigh = 10 * kLow;
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    int biased = int(bits >> 52) & 0x7ff;
    if (biased == 0 || biased == 0x7ff) return false;
    std::uint64_t m = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    int q = biased - 1075;
    // floor(log10 |x|) is this or one more, as |x| lies in [2^e, 2^(e+1));
    // should the estimate ever come out one high, the digits fall short of
    // 17 below and the general conversion takes the number.
    int e10 = ((biased - 1023) * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt, ++e10) {
        int k = 16 - e10;
        if (k < 0 || k > 27) return false;
        unsigned __int128 scaled = static_cast<unsigned __int128>(m) * kPow5[k];
        int shift = q + k;
        std::uint64_t n;
        if (shift >= 0) {
            if (shift > 8) return false;
            n = std::uint64_t(scaled << shift);
        } else {
            int drop = -shift;  // below 128: scaled has at least 53 bits
            n = std::uint64_t(scaled >> drop);
            unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << drop) - 1);
            unsigned __int128 half = static_cast<unsigned __int128>(1) << (drop - 1);
            if (rest > half || (rest == half && (n & 1) != 0)) ++n;
        }
        if (n >= kHigh) continue;  // the exponent was one too low
        if (n < kLow) return false;
        *digits = n;
        *exponent = e10;
        return true;
    }
    return false;
}

}  // namespace

char* writeDouble(char* out, double x) {
    std::uint64_t digits;
    int exponent;
    if (!seventeenDigits(x, &digits, &exponent)) {
        // A precision with the general format is defined as printf's %.*g.
        return std::to_chars(out, out + kDoubleChars, x, std::chars_format::general, 17).ptr;
    }
    char text[17];
    std::to_chars(text, text + 17, digits);
    int used = 17;
    while (used > 1 && text[used - 1] == '0') --used;

    if (std::signbit(x)) *out++ = '-';
    if (exponent >= 0) {  // never above 16 here
        int whole = exponent + 1;
        std::memcpy(out, text, std::size_t(whole));
        out += whole;
        if (used > whole) {
            *out++ = '.';
            std::memcpy(out, text + whole, std::size_t(used - whole));
            out += used - whole;
        }
    } else if (exponent >= -4) {
        *out++ = '0';
        *out++ = '.';
        for (int zero = exponent + 1; zero < 0; ++zero) *out++ = '0';
        std::memcpy(out, text, std::size_t(used));
        out += used;
    } else {  // down to -11 here: always two exponent digits
        *out++ = text[0];
        if (used > 1) {
            *out++ = '.';
            std::memcpy(out, text + 1, std::size_t(used - 1));
            out += used - 1;
        }
        *out++ = 'e';
        *out++ = '-';
        *out++ = char('0' + -exponent / 10);
        *out++ = char('0' + -exponent % 10);
    }
    return out;
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
