// RenderMan error reporting: the texts of the RIE_ codes and severities of
// rib/ri.h, and the reporter state that the standard error routines share
// across every writer.
#pragma once

#include "rib/ri.h"

namespace duzozo {

// The text of a code, or null for a code without one.
const char* errorCodeText(int code);
// The printed name of a severity 0 to 3, or null for any other.
const char* errorSeverityName(int severity);

// Reporter state, one copy for the whole process.
struct ErrorReporterState {
    int lastErrorCode = 0;
    char lastErrorMessage[1023] = {};  // at most 1022 characters and the terminator
    int repeatCount = 0;
    bool anyPrinted = false;
};
extern ErrorReporterState errorReporter;

}  // namespace duzozo
