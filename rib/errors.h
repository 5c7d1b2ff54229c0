// RenderMan error reporting: code and severity texts, and the reporter state
// that the standard error routines share across every writer.
#pragma once

#include "rib/ri.h"

namespace duzozo {

// Severities.
constexpr int kRieInfo = 0;
constexpr int kRieWarning = 1;
constexpr int kRieError = 2;
constexpr int kRieSevere = 3;

// The codes the library itself reports.
constexpr int kRieNotStarted = 23;  // "RiBegin not called"
constexpr int kRieBadToken = 41;    // "Invalid token"

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
