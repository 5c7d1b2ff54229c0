// Collects the (token, value) pairs of a variable-argument request.
#pragma once

#include <cstdarg>

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

}  // namespace duzozo
