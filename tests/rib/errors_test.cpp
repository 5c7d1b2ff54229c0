// The error reporter's layouts, repeat suppression and exits. Its state is
// process-wide, so every case runs in a child process of its own.
#include "rib/internal/errors.h"

#include <string>

#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace duzozo;

// Each group starts with a report unlike the last of the group before, so the
// repeat state one group leaves never suppresses the next one's first line.
TEST(ErrorReporter, LayoutsRepeatsAndWhatIsNeverSuppressed) {
    std::string shortest(1022, 'a');  // still remembered
    std::string longer(1023, 'b');    // too long to remember
    auto r = runInChild([&] {
        RiErrorPrint(5, RIE_WARNING, nullptr);
        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(0, RIE_INFO, nullptr);
        RiErrorPrint(61, RIE_INFO, "sqrt");

        RiErrorPrint(42, RIE_WARNING, "Sphere");
        RiErrorPrint(42, RIE_WARNING, "Sphere");
        RiErrorPrint(42, RIE_WARNING, "Sphere");
        RiErrorPrint(42, RIE_WARNING, "Cone");
        RiErrorPrint(43, RIE_WARNING, "Cone");
        RiErrorPrint(43, RIE_WARNING, "Cone");  // counted, announced by the next report

        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(41, RIE_ERROR, "Kq");
        RiErrorPrint(0, RIE_INFO, "x");
        RiErrorPrint(0, RIE_INFO, "x");
        RiErrorPrint(41, RIE_ERROR, nullptr);
        RiErrorPrint(41, RIE_ERROR, nullptr);  // no token named: an ordinary repeat
        RiErrorPrint(6, RIE_WARNING, nullptr);

        RiErrorPrint(12, RIE_WARNING, shortest.c_str());
        RiErrorPrint(12, RIE_WARNING, shortest.c_str());
        RiErrorPrint(12, RIE_WARNING, longer.c_str());
        RiErrorPrint(12, RIE_WARNING, longer.c_str());

        RiErrorPrint(44, RIE_ERROR, "7");
        RiErrorIgnore(45, RIE_ERROR, "other");
        RiErrorPrint(45, RIE_ERROR, "7");  // same code now, same message: suppressed
        RiErrorPrint(46, RIE_ERROR, "x");
        RiErrorPrint(46, RIE_ERROR, "x");  // pending at exit: never announced
    });
    std::string lead = "WARNING: Unimplemented feature\n    --> ";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "WARNING: code 5\n"
              "ERROR: Invalid token\n    --> Kq\n"
              "INFO: \n"
              "INFO: Math error\n    --> sqrt\n"

              "WARNING: Parameter out of range\n    --> Sphere\n"
              "    (last message repeated 2 times)\n"
              "WARNING: Parameter out of range\n    --> Cone\n"
              "WARNING: Parameters inconsistent\n    --> Cone\n"
              "    (last message repeated 1 times)\n"

              "ERROR: Invalid token\n    --> Kq\n"
              "ERROR: Invalid token\n    --> Kq\n"
              "INFO: \n    --> x\n"
              "INFO: \n    --> x\n"
              "ERROR: Invalid token\n"
              "    (last message repeated 1 times)\n"
              "WARNING: code 6\n" +
                  lead + shortest + "\n    (last message repeated 1 times)\n" + lead + longer +
                  "\n" + lead + longer + "\n" +
                  "ERROR: Bad handle\n    --> 7\n"
                  "    (last message repeated 1 times)\n"
                  "ERROR: Required parameters not provided\n    --> x\n");
}

TEST(ErrorReporter, SevereErrorsAndAbortEndTheProcessWithStatusMinusOne) {
    struct Row {
        void (*report)();
        int status;
        std::string err;
    };
    const Row rows[] = {
        {[] { RiErrorPrint(23, RIE_SEVERE, "RiFormat"); }, 255,
         "SEVERE ERROR: RiBegin not called\n    --> RiFormat\n"},
        {[] { RiErrorAbort(13, RIE_WARNING, nullptr); }, 0, "WARNING: Program limit\nreturned\n"},
        {[] { RiErrorAbort(24, RIE_ERROR, "AttributeEnd"); }, 255,
         "ERROR: Nesting error\n    --> AttributeEnd\n"},
        {[] { RiErrorIgnore(1, RIE_SEVERE, "gone"); }, 0, "returned\n"},
    };
    for (const Row& row : rows) {
        auto r = runInChild([&] {
            row.report();
            std::fputs("returned\n", stderr);
        });
        EXPECT_EQ(r.status, row.status) << row.err;
        EXPECT_EQ(r.err, row.err);
    }
}

// Codes and severities past the ends of the tables have no text.
TEST(ErrorReporter, TablesEndWhereTheyEnd) {
    EXPECT_EQ(errorCodeText(62), nullptr);
    EXPECT_EQ(errorSeverityName(4), nullptr);
}
