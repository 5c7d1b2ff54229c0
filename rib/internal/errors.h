// RenderMan error reporting: the texts of the RIE_ codes and severities of
// rib/ri.h, and the reporter state that the standard error routines share
// across every writer.
#pragma once

#include <mutex>

#include "rib/ri.h"

namespace duzozo {

// The text of a code, or null for a code without one.
const char* errorCodeText(int code);
// The printed name of a severity 0 to 3, or null for any other.
const char* errorSeverityName(int severity);

// Reporter state, one copy for the whole process, shared by every thread
// under errorReporterLock.
struct ErrorReporterState {
    int lastErrorCode = 0;
    char lastErrorMessage[1023] = {};  // at most 1022 characters and the terminator
    int repeatCount = 0;
    bool anyPrinted = false;
};
extern ErrorReporterState errorReporter;
extern std::mutex errorReporterLock;

// The routine that receives the library's reports on this thread;
// RiErrorHandler sets it. A writer's ErrorHandler request only names a
// routine for the renderer that reads the stream.
extern thread_local RtErrorHandler currentErrorHandler;

// Sets RiLastError and hands the report to the current handler. While the
// process is exiting a handler must not end it again, so RiErrorAbort only
// prints then.
void reportError(RtInt code, RtInt severity, const char* message, bool exiting = false);

}  // namespace duzozo
