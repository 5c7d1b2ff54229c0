#include "rib/ribfilter.h"

#include <vector>

#include "rib/internal/parampairs.h"

namespace duzozo {

#define DUZOZO_REQUEST(result, name, parameters, arguments)
#define DUZOZO_PAIRS(result, name, parameters, last, fixed)                         \
    result RibFilter::name parameters {                                             \
        DUZOZO_COLLECT_PAIRS(pairs, last);                                          \
        return name##V(DUZOZO_UNPAREN fixed, pairs.n, pairs.tokens, pairs.values); \
    }
#include "rib/requestlist.h"

void RibFilter::Option(RtToken name, ...) {
    DUZOZO_COLLECT_PAIRS(pairs, name);
    OptionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibFilter::OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    next->OptionV(name, n, tokens, values);
}

void RibFilter::MotionBegin(RtInt n, ...) {
    va_list args;
    va_start(args, n);
    std::vector<RtFloat> times = collectTimes(n, args);
    va_end(args);
    MotionBeginV(n, times.data());
}

void RibFilter::ArchiveRecord(RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ArchiveRecordV(type, format, args);
    va_end(args);
}

void RibFilter::ArchiveRecordV(RtToken type, const char* format, va_list args) {
    next->ArchiveRecordV(type, format, args);
}

void RibFilter::ErrorHandler(RtErrorHandler handler) {
    next->ErrorHandler(handler);
}

// The sink: every request, whatever its shape, does nothing and gives back
// what a renderer with nothing to give would.
namespace {
template <class T>
T nothing() {
    return T();
}
}  // namespace

_Pragma("GCC diagnostic push")
_Pragma("GCC diagnostic ignored \"-Wunused-parameter\"")
#define DUZOZO_REQUEST(result, name, parameters, arguments) \
    result RibSink::name parameters {                       \
        return nothing<result>();                           \
    }
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) \
    result RibSink::name parameters {                       \
        return nothing<result>();                           \
    }
#define DUZOZO_SPECIAL(result, name, parameters) \
    result RibSink::name parameters {}
#include "rib/requestlist.h"
_Pragma("GCC diagnostic pop")

}  // namespace duzozo
