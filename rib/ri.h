// The RenderMan Interface as seen by callers: value types, standard tokens,
// the plain Ri... functions that forward to the current renderer and, for
// C++, the abstract request interface. Usable from C99 and from C++.
#ifndef DUZOZO_RIB_RI_H
#define DUZOZO_RIB_RI_H

#ifdef __cplusplus
#include <atomic>
#include <thread>
#include <cstdarg>
#include <cstdint>
#else
#include <stdarg.h>
#include <stdint.h>
#endif

typedef int32_t RtInt;
typedef float RtFloat;
typedef int16_t RtBoolean;
typedef const char* RtToken;
typedef const char* RtString;
typedef void* RtPointer;
typedef void RtVoid;
typedef RtFloat RtPoint[3];
typedef RtFloat RtColor[3];
typedef RtFloat RtHpoint[4];
typedef RtFloat RtBound[6];
typedef RtFloat RtMatrix[4][4];
typedef RtFloat RtBasis[4][4];
typedef RtInt RtLightHandle;
typedef RtInt RtObjectHandle;

#ifdef __cplusplus
class RenderInterface;
class RibWriter;
// A renderer that RiContext can make current again.
typedef RenderInterface* RtContextHandle;
extern "C" {
#else
typedef RtPointer RtContextHandle;
#endif

typedef RtFloat (*RtFilterFunc)(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
typedef void (*RtErrorHandler)(RtInt code, RtInt severity, const char* message);
typedef void (*RtProcSubdivFunc)(RtPointer data, RtFloat detail);
typedef void (*RtProcFreeFunc)(RtPointer data);
typedef void (*RtArchiveCallback)(RtToken type, const char* format, ...);

#define RI_FALSE 0
#define RI_TRUE 1
#define RI_INFINITY 1.0e38
#define RI_EPSILON 1.0e-10

// Ends every variable-argument parameter list. It must be a pointer: a plain
// 0 passed through "..." is an int and would be read back as garbage.
#ifdef __cplusplus
#define RI_NULL (static_cast<RtToken>(nullptr))
#else
#define RI_NULL ((RtToken)0)
#endif

// The steps between patches of the standard bases.
#define RI_BEZIERSTEP ((RtInt)3)
#define RI_BSPLINESTEP ((RtInt)1)
#define RI_CATMULLROMSTEP ((RtInt)1)
#define RI_HERMITESTEP ((RtInt)2)
#define RI_POWERSTEP ((RtInt)4)

// Error codes.
#define RIE_NOERROR ((RtInt)0)
#define RIE_NOMEM ((RtInt)1)
#define RIE_SYSTEM ((RtInt)2)
#define RIE_NOFILE ((RtInt)3)
#define RIE_BADFILE ((RtInt)4)
#define RIE_VERSION ((RtInt)5)
#define RIE_DISKFULL ((RtInt)6)
#define RIE_INCAPABLE ((RtInt)11)
#define RIE_UNIMPLEMENT ((RtInt)12)
#define RIE_LIMIT ((RtInt)13)
#define RIE_BUG ((RtInt)14)
#define RIE_NOTSTARTED ((RtInt)23)
#define RIE_NESTING ((RtInt)24)
#define RIE_NOTOPTIONS ((RtInt)25)
#define RIE_NOTATTRIBS ((RtInt)26)
#define RIE_NOTPRIMS ((RtInt)27)
#define RIE_ILLSTATE ((RtInt)28)
#define RIE_BADMOTION ((RtInt)29)
#define RIE_BADSOLID ((RtInt)30)
#define RIE_BADTOKEN ((RtInt)41)
#define RIE_RANGE ((RtInt)42)
#define RIE_CONSISTENCY ((RtInt)43)
#define RIE_BADHANDLE ((RtInt)44)
#define RIE_NOSHADER ((RtInt)45)
#define RIE_MISSINGDATA ((RtInt)46)
#define RIE_SYNTAX ((RtInt)47)
#define RIE_MATH ((RtInt)61)

// Error severities.
#define RIE_INFO ((RtInt)0)
#define RIE_WARNING ((RtInt)1)
#define RIE_ERROR ((RtInt)2)
#define RIE_SEVERE ((RtInt)3)

// The standard token names; each holds its own text for the life of the
// process, the same pointer that the library's interned copy of that text is.
#define DUZOZO_TOKEN(variable, name, declaration) extern RtToken variable;
#define DUZOZO_DECLARED(name, declaration)
#define DUZOZO_NAME(variable, name) extern RtToken variable;
#include "rib/standardtokens.h"

// Standard pixel filters; requests recognise them by address.
RtFloat RiGaussianFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiBoxFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiTriangleFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiCatmullRomFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);
RtFloat RiSincFilter(RtFloat x, RtFloat y, RtFloat xwidth, RtFloat ywidth);

// Standard basis matrices; Basis recognises them by address.
extern RtBasis RiBezierBasis;
extern RtBasis RiBSplineBasis;
extern RtBasis RiCatmullRomBasis;
extern RtBasis RiHermiteBasis;
extern RtBasis RiPowerBasis;

// Procedural markers; Procedural recognises them by address. They do nothing.
void RiProcDelayedReadArchive(RtPointer data, RtFloat detail);
void RiProcRunProgram(RtPointer data, RtFloat detail);
void RiProcDynamicLoad(RtPointer data, RtFloat detail);
// The customary free function of a procedural whose data came from malloc.
void RiProcFree(RtPointer data);

// The code of the last error the library reported on the calling thread, 0
// until there is one. Each thread has its own.
extern __thread RtInt RiLastError;

// The standard error routines (tables and reporter state in rib/errors.h).
void RiErrorIgnore(RtInt code, RtInt severity, const char* message);
void RiErrorPrint(RtInt code, RtInt severity, const char* message);
void RiErrorAbort(RtInt code, RtInt severity, const char* message);

// Set by the "rib" option; RiBegin hands both to each new writer. Like the
// current renderer, they belong to the calling thread.
extern __thread int ribBinaryFormat;
extern __thread int ribGzipCompression;
// Applies a "rib" (or "RIB") option to the calling thread's settings.
void applyRibOptions(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);

// RiBegin creates a writer for the target (a file name, "rendrib", "rgl",
// "prman", "|command", or null for standard output) and makes it the current
// renderer of the calling thread; createRibWriter creates one with no options
// and leaves the current renderer alone. C sees the writer as an opaque
// context handle. A target that cannot be opened is reported (RIE_NOFILE)
// and the writer returned discards its requests.
#ifdef __cplusplus
RibWriter* RiBegin(RtToken name);
RibWriter* createRibWriter(RtToken name);
#else
RtContextHandle RiBegin(RtToken name);
RtContextHandle createRibWriter(RtToken name);
#endif
// Ends the current renderer's output (a final line break; a file or pipe is
// closed, its command waited for), destroys it and leaves none current.
RtVoid RiEnd(void);
// The calling thread's current renderer, and making a renderer current; a
// program can drive several writers through the plain functions by switching
// between them. Each thread has its own current renderer: these calls never
// change another thread's. A handle that is not a live renderer is reported
// (RIE_BADHANDLE) and changes nothing.
RtContextHandle RiGetContext(void);
RtVoid RiContext(RtContextHandle handle);

// The plain functions. Each performs its request on the current renderer,
// or, when there is none, reports "RiBegin not called" as a severe error
// with its own name, which the default routine, RiErrorPrint, ends the
// process for.
#define DUZOZO_REQUEST(result, name, parameters, arguments) result Ri##name parameters;
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) result Ri##name parameters;
#include "rib/requestlist.h"
// A "rib" (or "RIB") option sets the thread's settings instead and needs no
// renderer, so it can come before RiBegin.
RtVoid RiOption(RtToken name, ...);
RtVoid RiOptionV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]);
// The n times follow as doubles (floats widen when passed through "...").
RtVoid RiMotionBegin(RtInt n, ...);
RtVoid RiArchiveRecord(RtToken type, const char* format, ...);
RtVoid RiArchiveRecordV(RtToken type, const char* format, va_list args);
// Makes handler the routine that receives the library's reports on the
// calling thread (a null handler restores RiErrorPrint) and, when there is a
// current renderer, writes the ErrorHandler request for the renderer that
// reads the stream. Needs no renderer, so a program can choose how errors are
// handled before RiBegin.
RtVoid RiErrorHandler(RtErrorHandler handler);

#ifdef __cplusplus
}  // extern "C"

// One operation per request, in the order of the interface's table of
// operations. Every renderer is a live context from its construction to its
// destruction, so RiContext can tell a live handle from a dead one.
class RenderInterface {
  public:
    RenderInterface();
    RenderInterface(const RenderInterface&);
    RenderInterface& operator=(const RenderInterface&) { return *this; }
    // Destroying a renderer leaves it current on no thread, so a later plain
    // call is reported instead of reaching a dead object.
    virtual ~RenderInterface();

#define DUZOZO_REQUEST(result, name, parameters, arguments) virtual result name parameters = 0;
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) virtual result name parameters = 0;
#define DUZOZO_SPECIAL(result, name, parameters) virtual result name parameters = 0;
// Not pure, so that an implementation written before them still compiles;
// one that does not override them reports each call as an unimplemented
// feature (a warning) and goes on.
#define DUZOZO_REQUEST_LATER(result, name, parameters, arguments) virtual result name parameters;
#define DUZOZO_PAIRS_LATER(result, name, parameters, last, fixed) virtual result name parameters;
#include "rib/requestlist.h"
};

namespace duzozo {

// The calling thread's current renderer. It reads and assigns like the
// pointer it holds; a renderer destroyed on any thread is taken out of every
// thread's slot.
class CurrentRenderer {
  public:
    CurrentRenderer();
    ~CurrentRenderer();
    CurrentRenderer(const CurrentRenderer&) = delete;
    CurrentRenderer& operator=(const CurrentRenderer&) = delete;

    operator RenderInterface*() const { return renderer.load(std::memory_order_relaxed); }
    RenderInterface* operator->() const { return renderer.load(std::memory_order_relaxed); }
    CurrentRenderer& operator=(RenderInterface* r);

    // Atomic because a renderer destroyed on another thread clears it.
    std::atomic<RenderInterface*> renderer{nullptr};
    // Set when another thread destroyed the renderer that was current here.
    std::atomic<bool> ended{false};
    const std::thread::id owner = std::this_thread::get_id();
};

}  // namespace duzozo

// Null until RiBegin; the plain functions forward to it.
extern thread_local duzozo::CurrentRenderer currentRenderer;

#endif  // __cplusplus

#endif  // DUZOZO_RIB_RI_H
