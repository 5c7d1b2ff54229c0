// The variable-argument forms: each collects its pairs and calls its vector
// form on the same object.
#include "rib/internal/parampairs.h"
#include "rib/ribwriter.h"

using namespace duzozo;

#define DUZOZO_REQUEST(result, name, parameters, arguments)
#define DUZOZO_PAIRS(result, name, parameters, last, fixed)                             \
    result RibWriter::name parameters {                                                 \
        DUZOZO_COLLECT_PAIRS(pairs, last);                                              \
        return name##V(DUZOZO_UNPAREN fixed, pairs.n, pairs.tokens, pairs.values);     \
    }
#include "rib/requestlist.h"

void RibWriter::Option(RtToken name, ...) {
    DUZOZO_COLLECT_PAIRS(pairs, name);
    OptionV(name, pairs.n, pairs.tokens, pairs.values);
}

void RibWriter::MotionBegin(RtInt n, ...) {
    va_list args;
    va_start(args, n);
    std::vector<RtFloat> times = collectTimes(n, args);
    va_end(args);
    MotionBeginV(n, times.data());
}

void RibWriter::ArchiveRecord(RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ArchiveRecordV(type, format, args);
    va_end(args);
}
