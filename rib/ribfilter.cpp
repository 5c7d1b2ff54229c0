#include "rib/ribfilter.h"

#define DUZOZO_FORMS_CLASS duzozo::RibFilter
#include "rib/internal/variableforms.h"

namespace duzozo {

void RibFilter::OptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    next->OptionV(name, n, tokens, values);
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
