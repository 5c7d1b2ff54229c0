// Collects the arguments of the variable-argument requests: (token, value)
// pairs, motion times, and the options of a writer or a "rib" option.
#pragma once

#include <cstdarg>
#include <cstring>
#include <vector>

#include "rib/ri.h"

namespace duzozo {

// Variable-argument forms collect at most this many (token, value) pairs.
constexpr int kMaxParamPairs = 512;

struct ParamPairs {
    // Reads tokens and values until a null token or kMaxParamPairs pairs;
    // pairs beyond that are not read.
    void collect(va_list args) {
        n = 0;
        while (n < kMaxParamPairs) {
            RtToken token = va_arg(args, RtToken);
            if (!token) break;
            tokens[n] = token;
            values[n] = va_arg(args, RtPointer);
            ++n;
        }
    }

    RtInt n = 0;
    RtToken tokens[kMaxParamPairs];
    RtPointer values[kMaxParamPairs];
};

#define DUZOZO_UNPAREN(...) __VA_ARGS__

// Declares `pairs` holding the pairs that follow the parameter `last` of the
// enclosing variable-argument function. The interface puts floats right
// before "..." (Sphere's thetamax): the language leaves va_start after a
// promoted type undefined, but the compilers' va_start only needs to know
// which parameter is last, so their warning about it is silenced here.
#define DUZOZO_COLLECT_PAIRS(pairs, last)                  \
    duzozo::ParamPairs pairs;                              \
    do {                                                   \
        va_list pairArgs_;                                 \
        _Pragma("GCC diagnostic push")                     \
        _Pragma("GCC diagnostic ignored \"-Wvarargs\"")    \
        va_start(pairArgs_, last);                         \
        _Pragma("GCC diagnostic pop")                      \
        pairs.collect(pairArgs_);                          \
        va_end(pairArgs_);                                 \
    } while (0)

// The n times of MotionBegin, read as doubles and narrowed to floats. Any
// number of times; room for at least one so that the array is never null.
inline std::vector<RtFloat> collectTimes(RtInt n, va_list args) {
    std::vector<RtFloat> times(n > 0 ? size_t(n) : 1);
    for (RtInt i = 0; i < n; ++i) times[size_t(i)] = RtFloat(va_arg(args, double));
    return times;
}

// Exactly "rib" or "RIB": the options of the writer itself, not of a renderer.
inline bool isRibOption(RtToken name) {
    return name && (std::strcmp(name, "rib") == 0 || std::strcmp(name, "RIB") == 0);
}

// The settings that a writer's creation options and a "rib" option both
// carry. Tokens and texts compare exactly; a later pair overrides an earlier
// one; unknown tokens are ignored.
struct RibSettings {
    int binary = 0;  // one of RibWriter's encodings
    int gzip = 0;
    int precision = 6;
    // Whether the pairs chose an encoding, or compression, at all.
    bool formatGiven = false;
    bool compressionGiven = false;
    // A precision out of range is reported as RIE_RANGE and leaves the
    // precision as it was; the result is then false. The other pairs apply
    // all the same.
    bool apply(RtInt n, const RtToken tokens[], const RtPointer values[]);
};

}  // namespace duzozo
