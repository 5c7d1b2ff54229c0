// The error reporter's layouts, repeat suppression and exits. Its state is
// process-wide, so every case runs in a child process of its own.
#include "rib/errors.h"

#include <string>

#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace duzozo;

TEST(ErrorReporter, ReportLayouts) {
    auto r = runInChild([] {
        RiErrorPrint(5, RIE_WARNING, nullptr);
        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(0, RIE_INFO, nullptr);
        RiErrorPrint(61, RIE_INFO, "sqrt");
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "WARNING: code 5\n"
              "ERROR: Invalid token\n    --> Kq\n"
              "INFO: \n"
              "INFO: Math error\n    --> sqrt\n");
}

TEST(ErrorReporter, RepeatsAreCountedUntilTheNextPrintedReport) {
    auto r = runInChild([] {
        RiErrorPrint(42, RIE_WARNING, "Sphere");  // the first report is never a repeat
        RiErrorPrint(42, RIE_WARNING, "Sphere");
        RiErrorPrint(42, RIE_WARNING, "Sphere");
        RiErrorPrint(42, RIE_WARNING, "Cone");
        RiErrorPrint(43, RIE_WARNING, "Cone");
        RiErrorPrint(43, RIE_WARNING, "Cone");  // pending at exit: never announced
    });
    EXPECT_EQ(r.err,
              "WARNING: Parameter out of range\n    --> Sphere\n"
              "    (last message repeated 2 times)\n"
              "WARNING: Parameter out of range\n    --> Cone\n"
              "WARNING: Parameters inconsistent\n    --> Cone\n");
}

TEST(ErrorReporter, NamedInvalidTokensAndCodeZeroAreNeverSuppressed) {
    auto r = runInChild([] {
        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(0, RIE_INFO, "x");
        RiErrorPrint(0, RIE_INFO, "x");
        RiErrorPrint(41, RIE_ERROR, nullptr);
        RiErrorPrint(41, RIE_ERROR, nullptr);  // no token named: an ordinary repeat
        RiErrorPrint(6, RIE_WARNING, nullptr);
    });
    EXPECT_EQ(r.err,
              "ERROR: Invalid token\n    --> Kq\n"
              "ERROR: Invalid token\n    --> Kq\n"
              "INFO: \n    --> x\n"
              "INFO: \n    --> x\n"
              "ERROR: Invalid token\n"
              "    (last message repeated 1 times)\n"
              "WARNING: code 6\n");
}

TEST(ErrorReporter, LongMessagesArePrintedWholeAndNeverTakenForRepeats) {
    std::string shortest(1022, 'a');  // still remembered
    std::string longer(1023, 'b');    // too long to remember
    auto r = runInChild([&] {
        RiErrorPrint(12, RIE_WARNING, shortest.c_str());
        RiErrorPrint(12, RIE_WARNING, shortest.c_str());
        RiErrorPrint(12, RIE_WARNING, longer.c_str());
        RiErrorPrint(12, RIE_WARNING, longer.c_str());
    });
    std::string lead = "WARNING: Unimplemented feature\n    --> ";
    EXPECT_EQ(r.err, lead + shortest + "\n" + "    (last message repeated 1 times)\n" + lead +
                         longer + "\n" + lead + longer + "\n");
}

TEST(ErrorReporter, IgnoreSetsTheCodeThatTheRepeatTestCompares) {
    auto r = runInChild([] {
        RiErrorPrint(44, RIE_ERROR, "7");
        RiErrorIgnore(45, RIE_ERROR, "other");
        RiErrorPrint(45, RIE_ERROR, "7");  // same code now, same message: suppressed
        RiErrorPrint(46, RIE_ERROR, "x");
    });
    EXPECT_EQ(r.err,
              "ERROR: Bad handle\n    --> 7\n"
              "    (last message repeated 1 times)\n"
              "ERROR: Required parameters not provided\n    --> x\n");

    auto quiet = runInChild([] { RiErrorIgnore(1, RIE_SEVERE, "gone"); });
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

TEST(ErrorReporter, SevereErrorsAndAbortEndTheProcessWithStatusMinusOne) {
    auto severe = runInChild([] {
        RiErrorPrint(23, RIE_SEVERE, "RiFormat");
        std::fputs("still running\n", stderr);
    });
    EXPECT_TRUE(severe.exited);
    EXPECT_EQ(severe.status, 255);
    EXPECT_EQ(severe.err, "SEVERE ERROR: RiBegin not called\n    --> RiFormat\n");

    auto warning = runInChild([] {
        RiErrorAbort(13, RIE_WARNING, nullptr);
        std::fputs("returned\n", stderr);
    });
    EXPECT_EQ(warning.status, 0);
    EXPECT_EQ(warning.err, "WARNING: Program limit\nreturned\n");

    auto error = runInChild([] {
        RiErrorAbort(24, RIE_ERROR, "AttributeEnd");
        std::fputs("returned\n", stderr);
    });
    EXPECT_EQ(error.status, 255);
    EXPECT_EQ(error.err, "ERROR: Nesting error\n    --> AttributeEnd\n");
}

// Codes and severities past the ends of the tables have no text.
TEST(ErrorReporter, TablesEndWhereTheyEnd) {
    EXPECT_EQ(errorCodeText(62), nullptr);
    EXPECT_EQ(errorSeverityName(4), nullptr);
}
