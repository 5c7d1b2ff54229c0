#include "rib/internal/errors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

__thread RtInt RiLastError = 0;

namespace duzozo {

ErrorReporterState errorReporter;
std::mutex errorReporterLock;
thread_local RtErrorHandler currentErrorHandler = RiErrorPrint;

void reportError(RtInt code, RtInt severity, const char* message, bool exiting) {
    RiLastError = code;
    RtErrorHandler handler = currentErrorHandler ? currentErrorHandler : RiErrorPrint;
    if (exiting && handler == RiErrorAbort) handler = RiErrorPrint;
    handler(code, severity, message);
}

namespace {

struct CodeText {
    int code;
    const char* text;
};

// Numbering of the RenderMan Interface; codes not listed have no text.
const CodeText kCodeTexts[] = {
    {1, "Memory allocation error"},
    {2, "System error"},
    {3, "File not found"},
    {4, "Bad file"},
    {11, "Optional RI feature not implemented"},
    {12, "Unimplemented feature"},
    {13, "Program limit"},
    {14, "Probable bug in renderer"},
    {23, "RiBegin not called"},
    {24, "Nesting error"},
    {25, "Invalid state for declaring options"},
    {26, "Invalid state for declaring attributes"},
    {27, "Invalid state for declaring primitives"},
    {28, "Invalid state"},
    {29, "Bad Motion block"},
    {30, "Bad Solid block"},
    {41, "Invalid token"},
    {42, "Parameter out of range"},
    {43, "Parameters inconsistent"},
    {44, "Bad handle"},
    {45, "Cannot load requested shader"},
    {46, "Required parameters not provided"},
    {47, "Syntax error"},
    {61, "Math error"},
};

const char* const kSeverityNames[] = {"INFO", "WARNING", "ERROR", "SEVERE ERROR"};

// Messages this long or longer are printed but never remembered, so they are
// never taken for repeats.
constexpr size_t kRememberedMessageLimit = 1023;

}  // namespace

const char* errorCodeText(int code) {
    for (const CodeText& entry : kCodeTexts) {
        if (entry.code == code) return entry.text;
    }
    return nullptr;
}

const char* errorSeverityName(int severity) {
    if (severity < 0 || severity > 3) return nullptr;
    return kSeverityNames[severity];
}

}  // namespace duzozo

using namespace duzozo;

void RiErrorIgnore(RtInt code, RtInt, const char*) {
    std::lock_guard<std::mutex> hold(errorReporterLock);
    errorReporter.lastErrorCode = code;
}

void RiErrorPrint(RtInt code, RtInt severity, const char* message) {
    // One report at a time, whole, whatever thread makes it; the lock is let
    // go before a severe error ends the process, whose exit may report more.
    std::unique_lock<std::mutex> hold(errorReporterLock);
    ErrorReporterState& s = errorReporter;
    const char* text = message ? message : "";
    bool namedBadToken = code == RIE_BADTOKEN && message;
    if (s.anyPrinted && code == s.lastErrorCode && code != 0 && !namedBadToken &&
        std::strcmp(text, s.lastErrorMessage) == 0) {
        ++s.repeatCount;
        return;
    }
    if (s.repeatCount > 0) {
        std::fprintf(stderr, "    (last message repeated %d times)\n", s.repeatCount);
        s.repeatCount = 0;
    }
    const char* name = errorSeverityName(severity);
    std::fprintf(stderr, "%s: ", name ? name : "");
    if (const char* codeText = errorCodeText(code)) {
        std::fputs(codeText, stderr);
    } else if (code != 0) {
        std::fprintf(stderr, "code %d", code);
    }
    s.lastErrorMessage[0] = '\0';
    if (message) {
        std::fprintf(stderr, "\n    --> %s", message);
        size_t length = std::strlen(message);
        if (length < kRememberedMessageLimit) std::memcpy(s.lastErrorMessage, message, length + 1);
    }
    std::fputc('\n', stderr);
    std::fflush(stderr);
    if (severity >= RIE_SEVERE) {
        hold.unlock();
        std::exit(-1);
    }
    s.lastErrorCode = code;
    s.anyPrinted = true;
}

void RiErrorAbort(RtInt code, RtInt severity, const char* message) {
    RiErrorPrint(code, severity, message);
    if (severity >= RIE_ERROR) std::exit(-1);
}
