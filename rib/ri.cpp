// The current renderer, the plain functions that forward to it, and what the
// request interface itself provides.
#include "rib/ri.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "rib/internal/errors.h"
#include "rib/internal/parampairs.h"
#include "rib/ribwriter.h"

using namespace duzozo;

thread_local duzozo::CurrentRenderer currentRenderer;
__thread int ribBinaryFormat = 0;
__thread int ribGzipCompression = 0;

namespace {

// The rest of the calling thread's "rib" options: the precision, and whether
// the program chose an encoding or a compression at all (the environment
// chooses only where it did not).
struct ThreadRibChoices {
    int precision = 6;
    bool formatChosen = false;
    bool compressionChosen = false;
};
thread_local ThreadRibChoices ribChoices;

bool environmentIs(const char* variable, const char* value) {
    const char* set = std::getenv(variable);
    return set && std::strcmp(set, value) == 0;
}

}  // namespace

namespace duzozo {

bool RibSettings::apply(RtInt n, const RtToken tokens[], const RtPointer values[]) {
    bool usable = true;
    for (RtInt i = 0; i < n; ++i) {
        if (!tokens[i] || !values[i]) continue;
        if (std::strcmp(tokens[i], "format") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            binary = !text                              ? RibWriter::kText
                     : std::strcmp(text, "binary") == 0   ? RibWriter::kBinaryFloats
                     : std::strcmp(text, "complete") == 0 ? RibWriter::kCompleteBinary
                                                          : RibWriter::kText;
            formatGiven = true;
        } else if (std::strcmp(tokens[i], "binary") == 0) {
            binary = *static_cast<const int*>(values[i]);
            formatGiven = true;
        } else if (std::strcmp(tokens[i], "compression") == 0) {
            const char* text = *static_cast<const char* const*>(values[i]);
            gzip = text && std::strcmp(text, "gzip") == 0;
            compressionGiven = true;
        } else if (std::strcmp(tokens[i], "gzip") == 0) {
            gzip = *static_cast<const int*>(values[i]);
            compressionGiven = true;
        } else if (std::strcmp(tokens[i], "precision") == 0) {
            int digits = *static_cast<const int*>(values[i]);
            if (digits >= 1 && digits <= 9) {
                precision = digits;
                continue;
            }
            usable = false;
            std::string message = "\"precision\" of " + std::to_string(digits) +
                                  ": 1 to 9 significant digits";
            reportError(RIE_RANGE, RIE_ERROR, message.c_str());
        }
    }
    return usable;
}

}  // namespace duzozo

namespace {

// The renderers alive now, and every thread's current-renderer slot: a
// renderer destroyed on one thread must leave no other thread pointing at
// it. Never destroyed, so that threads and static objects ending at exit
// still find it.
struct Contexts {
    std::mutex lock;
    std::unordered_set<const RenderInterface*> live;
    std::vector<CurrentRenderer*> slots;
};

Contexts& contexts() {
    static Contexts* all = new Contexts;
    return *all;
}

bool isLive(const RenderInterface* renderer) {
    Contexts& c = contexts();
    std::lock_guard<std::mutex> hold(c.lock);
    return c.live.count(renderer) != 0;
}

// Reports a request made with no current renderer: one never begun ends the
// process at this severity; one ended by another thread is a bad handle.
bool haveRenderer(const char* function) {
    if (currentRenderer) return true;
    if (currentRenderer.ended.load(std::memory_order_relaxed)) {
        reportError(RIE_BADHANDLE, RIE_ERROR, function);
    } else {
        reportError(RIE_NOTSTARTED, RIE_SEVERE, function);
    }
    return false;
}

// What a plain function would return had it a renderer: nothing, 0 or null.
template <class T>
T noResult() {
    return T();
}

void reportUnimplemented(const char* request) {
    reportError(RIE_UNIMPLEMENT, RIE_WARNING, request);
}

}  // namespace

namespace duzozo {

CurrentRenderer::CurrentRenderer() {
    Contexts& c = contexts();
    std::lock_guard<std::mutex> hold(c.lock);
    c.slots.push_back(this);
}

CurrentRenderer::~CurrentRenderer() {
    Contexts& c = contexts();
    std::lock_guard<std::mutex> hold(c.lock);
    c.slots.erase(std::remove(c.slots.begin(), c.slots.end(), this), c.slots.end());
}

CurrentRenderer& CurrentRenderer::operator=(RenderInterface* r) {
    renderer.store(r, std::memory_order_relaxed);
    ended.store(false, std::memory_order_relaxed);
    return *this;
}

}  // namespace duzozo

RenderInterface::RenderInterface() {
    Contexts& c = contexts();
    std::lock_guard<std::mutex> hold(c.lock);
    c.live.insert(this);
}

RenderInterface::RenderInterface(const RenderInterface&) : RenderInterface() {}

RenderInterface::~RenderInterface() {
    Contexts& c = contexts();
    std::lock_guard<std::mutex> hold(c.lock);
    c.live.erase(this);
    for (CurrentRenderer* slot : c.slots) {
        if (slot->renderer.load(std::memory_order_relaxed) != this) continue;
        slot->renderer.store(nullptr, std::memory_order_relaxed);
        // Destroyed here, the renderer simply is no longer current; destroyed
        // by another thread, that thread's later calls name a dead handle.
        slot->ended.store(slot->owner != std::this_thread::get_id(), std::memory_order_relaxed);
    }
}

// The later requests, for an implementation that does not override them:
// each variable-argument form goes to its vector form, and the rest report
// RIE_UNIMPLEMENT as a warning, so that an older renderer class still works.
_Pragma("GCC diagnostic push")
_Pragma("GCC diagnostic ignored \"-Wunused-parameter\"")
#define DUZOZO_REQUEST(result, name, parameters, arguments)
#define DUZOZO_PAIRS(result, name, parameters, last, fixed)
#define DUZOZO_REQUEST_LATER(result, name, parameters, arguments) \
    result RenderInterface::name parameters {                     \
        reportUnimplemented(#name);                               \
        return noResult<result>();                                \
    }
#define DUZOZO_PAIRS_LATER(result, name, parameters, last, fixed)                      \
    result RenderInterface::name parameters {                                          \
        DUZOZO_COLLECT_PAIRS(pairs, last);                                             \
        return name##V(DUZOZO_UNPAREN fixed, pairs.n, pairs.tokens, pairs.values);     \
    }
#include "rib/requestlist.h"
_Pragma("GCC diagnostic pop")

void RiProcFree(RtPointer data) {
    std::free(data);
}

RibWriter* RiBegin(RtToken name) {
    // RenderMan programs leave the choice to the user through RIFORMAT and
    // RICOMPRESSION when they make none themselves; a program that set
    // ribBinaryFormat or ribGzipCompression itself has made one.
    int binary = ribBinaryFormat;
    int gzip = ribGzipCompression;
    if (!ribChoices.formatChosen && binary == 0 && environmentIs("RIFORMAT", "binary")) {
        binary = RibWriter::kCompleteBinary;
    }
    if (!ribChoices.compressionChosen && gzip == 0 && environmentIs("RICOMPRESSION", "gzip")) {
        gzip = 1;
    }
    RibWriter* writer = new (std::nothrow) RibWriter(name, "binary", &binary, "gzip", &gzip,
                                                     "precision", &ribChoices.precision, RI_NULL);
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
    // No renderer at all is a choice; a dead or made-up one is refused.
    if (handle && !isLive(handle)) {
        reportError(RIE_BADHANDLE, RIE_ERROR, "RiContext");
        return;
    }
    currentRenderer = handle;
}

void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {
    if (!isRibOption(name)) return;
    RibSettings settings;
    settings.binary = ribBinaryFormat;
    settings.gzip = ribGzipCompression;
    settings.precision = ribChoices.precision;
    settings.apply(n, tokens, values);
    ribBinaryFormat = settings.binary;
    ribGzipCompression = settings.gzip;
    ribChoices.precision = settings.precision;
    ribChoices.formatChosen = ribChoices.formatChosen || settings.formatGiven;
    ribChoices.compressionChosen = ribChoices.compressionChosen || settings.compressionGiven;
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
