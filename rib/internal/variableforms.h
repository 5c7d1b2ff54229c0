// The variable-argument forms of a renderer class, each collecting its
// arguments and calling the class's own vector form. Include once in a .cpp
// with DUZOZO_FORMS_CLASS naming the class; no include guard.
#include <vector>

#include "rib/internal/parampairs.h"

#define DUZOZO_REQUEST(result, name, parameters, arguments)
#define DUZOZO_PAIRS(result, name, parameters, last, fixed)                         \
    result DUZOZO_FORMS_CLASS::name parameters {                                    \
        DUZOZO_COLLECT_PAIRS(pairs, last);                                          \
        return name##V(DUZOZO_UNPAREN fixed, pairs.n, pairs.tokens, pairs.values); \
    }
#include "rib/requestlist.h"

void DUZOZO_FORMS_CLASS::Option(RtToken name, ...) {
    DUZOZO_COLLECT_PAIRS(pairs, name);
    OptionV(name, pairs.n, pairs.tokens, pairs.values);
}

void DUZOZO_FORMS_CLASS::MotionBegin(RtInt n, ...) {
    va_list args;
    va_start(args, n);
    std::vector<RtFloat> times = duzozo::collectTimes(n, args);
    va_end(args);
    MotionBeginV(n, times.data());
}

void DUZOZO_FORMS_CLASS::ArchiveRecord(RtToken type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ArchiveRecordV(type, format, args);
    va_end(args);
}

#undef DUZOZO_FORMS_CLASS
