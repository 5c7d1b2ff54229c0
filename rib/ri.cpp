// The current renderer, the plain functions that forward to it, and what the
// request interface itself provides.
#include "rib/ri.h"

#include <cstring>
#include <new>

#include "rib/errors.h"
#include "rib/parampairs.h"
#include "rib/ribwriter.h"

using namespace duzozo;

RenderInterface* currentRenderer = nullptr;
int ribBinaryFormat = 0;
int ribGzipCompression = 0;

namespace duzozo {

void RibSettings::apply(RtInt n, const RtToken tokens[], const RtPointer values[]) {
    for (RtInt i = 0; i < n; ++i) {
        if (!tokens[i] || !values[i]) continue;
        if (std::strcmp(tokens[i], "format") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            binary = text && std::strcmp(text, "binary") == 0;
        } else if (std::strcmp(tokens[i], "binary") == 0) {
            binary = *static_cast<const int*>(values[i]);
        } else if (std::strcmp(tokens[i], "compression") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            gzip = text && std::strcmp(text, "gzip") == 0;
        } else if (std::strcmp(tokens[i], "gzip") == 0) {
            gzip = *static_cast<const int*>(values[i]);
        }
    }
}

}  // namespace duzozo

namespace {

// Reports a request made with no current renderer; at this severity the
// report ends the process.
bool haveRenderer(const char* function) {
    if (currentRenderer) return true;
    RiErrorPrint(RIE_NOTSTARTED, RIE_SEVERE, function);
    return false;
}

// What a plain function would return had it a renderer: nothing, 0 or null.
template <class T>
T noResult() {
    return T();
}

void reportUnimplemented(const char* request) {
    RiErrorPrint(RIE_UNIMPLEMENT, RIE_WARNING, request);
}

}  // namespace

RenderInterface::~RenderInterface() {
    if (currentRenderer == this) currentRenderer = nullptr;
}

void RenderInterface::ClippingPlane(RtFloat, RtFloat, RtFloat, RtFloat, RtFloat, RtFloat) {
    reportUnimplemented("ClippingPlane");
}

void RenderInterface::Deformation(RtToken name, ...) {
    DUZOZO_COLLECT_PAIRS(pairs, name);
    DeformationV(name, pairs.n, pairs.tokens, pairs.values);
}

void RenderInterface::DeformationV(RtToken, RtInt, RtToken[], RtPointer[]) {
    reportUnimplemented("DeformationV");
}

void RenderInterface::MakeBump(RtString picturename, RtString texturename, RtToken swrap,
                               RtToken twrap, RtFilterFunc filter, RtFloat swidth, RtFloat twidth,
                               ...) {
    DUZOZO_COLLECT_PAIRS(pairs, twidth);
    MakeBumpV(picturename, texturename, swrap, twrap, filter, swidth, twidth, pairs.n,
              pairs.tokens, pairs.values);
}

void RenderInterface::MakeBumpV(RtString, RtString, RtToken, RtToken, RtFilterFunc, RtFloat,
                                RtFloat, RtInt, RtToken[], RtPointer[]) {
    reportUnimplemented("MakeBumpV");
}

RibWriter* RiBegin(RtToken name) {
    RibWriter* writer = new (std::nothrow)
        RibWriter(name, "binary", &ribBinaryFormat, "gzip", &ribGzipCompression, RI_NULL);
    currentRenderer = writer;
    return writer;
}

RibWriter* createRibWriter(RtToken name) {
    return new (std::nothrow) RibWriter(name, RI_NULL);
}

RtVoid RiEnd(void) {
    if (!haveRenderer("RiEnd")) return;
    RenderInterface* ending = currentRenderer;
    currentRenderer = nullptr;
    delete ending;
}

RtContextHandle RiGetContext(void) {
    return currentRenderer;
}

RtVoid RiContext(RtContextHandle handle) {
    currentRenderer = handle;
}

void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!isRibOption(name)) return;
    RibSettings settings{ribBinaryFormat, ribGzipCompression};
    settings.apply(n, tokens, values);
    ribBinaryFormat = settings.binary;
    ribGzipCompression = settings.gzip;
}

// The variable-argument plain functions look for a renderer before they read
// their pairs, and hand the pairs to the renderer's vector form.
#define DUZOZO_REQUEST(result, name, parameters, arguments)     \
    result Ri##name parameters {                                \
        if (!haveRenderer("Ri" #name)) return noResult<result>(); \
        return currentRenderer->name arguments;                 \
    }
#define DUZOZO_PAIRS(result, name, parameters, last, fixed)                                    \
    result Ri##name parameters {                                                               \
        if (!haveRenderer("Ri" #name)) return noResult<result>();                              \
        DUZOZO_COLLECT_PAIRS(pairs, last);                                                     \
        return currentRenderer->name##V(DUZOZO_UNPAREN fixed, pairs.n, pairs.tokens,          \
                                        pairs.values);                                         \
    }
#include "rib/requestlist.h"

namespace {

// A "rib" option is read before anything else: it needs no renderer.
void option(const char* function, RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (isRibOption(name)) {
        applyRibOptions(name, n, tokens, values);
    } else if (haveRenderer(function)) {
        currentRenderer->OptionV(name, n, tokens, values);
    }
}

}  // namespace

RtVoid RiOption(RtToken name, ...) {
    DUZOZO_COLLECT_PAIRS(pairs, name);
    option("RiOption", name, pairs.n, pairs.tokens, pairs.values);
}

RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    option("RiOptionV", name, n, tokens, values);
}

RtVoid RiMotionBegin(RtInt n, ...) {
    if (!haveRenderer("RiMotionBegin")) return;
    va_list args;
    va_start(args, n);
    std::vector<RtFloat> times = collectTimes(n, args);
    va_end(args);
    currentRenderer->MotionBeginV(n, times.data());
}

RtVoid RiArchiveRecord(RtToken type, const char* format, ...) {
    if (!haveRenderer("RiArchiveRecord")) return;
    va_list args;
    va_start(args, format);
    currentRenderer->ArchiveRecordV(type, format, args);
    va_end(args);
}

RtVoid RiArchiveRecordV(RtToken type, const char* format, va_list args) {
    if (haveRenderer("RiArchiveRecordV")) currentRenderer->ArchiveRecordV(type, format, args);
}

RtVoid RiErrorHandler(RtErrorHandler handler) {
    currentErrorHandler = handler ? handler : RiErrorPrint;
    if (currentRenderer) currentRenderer->ErrorHandler(handler);
}
