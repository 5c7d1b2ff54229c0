// Writes that fail are reported once per writer through the current error
// handler, and a renderer command that fails is reported when its pipe
// closes. Each case runs in a child process so that its standard streams,
// its exit and its signals are real.
#include <signal.h>

#include "rib/internal/errors.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace request_test;

namespace {

const std::string kSystemError = "ERROR: System error\n    --> ";

// A writer the process still holds when it exits.
RibWriter* heldAtExit = nullptr;

// Enough requests to pass through every buffer several times.
void writeMuch(RibWriter* w) {
    for (int i = 0; i < 100000; ++i) w->WorldBegin();
}

}  // namespace

// A standard output without a reader must neither kill the process nor go
// unreported.
TEST(WriteFailures, EachTargetReportsItsFailureOnceAndSetsTheLastError) {
    // failsWriting: the failure shows while writing (else only at close), so
    // the writer's own last error holds it before the writer ends.
    const struct {
        const char* target;
        void (*prepare)();
        std::string err;
        bool failsWriting = false;
    } rows[] = {
        {"/dev/full", [] {}, "/dev/full: No space left on device\n", true},
        {nullptr,
         [] {
             int ends[2];
             if (pipe(ends) != 0) std::exit(20);
             close(ends[0]);
             dup2(ends[1], STDOUT_FILENO);
             close(ends[1]);
         },
         "standard output: Broken pipe\n", true},
        {nullptr, [] { close(STDOUT_FILENO); }, "standard output: Bad file descriptor\n", true},
        {"|true", [] {}, "true: Broken pipe\n", true},
        {"|cat > /dev/null; exit 3", [] {}, "cat > /dev/null; exit 3: exited with status 3\n"},
        {"|cat > /dev/null; kill -9 $$", [] {},
         "cat > /dev/null; kill -9 $$: killed by signal 9\n"},
        {"|cat > /dev/null", [] {}, ""},
    };
    for (const auto& row : rows) {
        auto r = runInChild([&] {
            RiLastError = 0;  // not what an earlier test left
            // Counted here, since the printing routine folds repeats away.
            static int reports = 0;
            RiErrorHandler([](RtInt code, RtInt severity, const char* message) {
                ++reports;
                RiErrorPrint(code, severity, message);
            });
            row.prepare();
            RibWriter* w = createRibWriter(row.target);
            writeMuch(w);
            int own = w->lastError;
            delete w;
            std::fprintf(stderr, "last error %d, writer's %d, %d reports\n", int(RiLastError),
                         own, reports);
        });
        EXPECT_TRUE(r.exited) << "killed by signal " << r.signal;
        EXPECT_EQ(r.status, 0);
        std::string counts = row.err.empty() ? "last error 0, writer's 0, 0 reports\n"
                             : row.failsWriting ? "last error 2, writer's 2, 1 reports\n"
                                                : "last error 2, writer's 0, 1 reports\n";
        EXPECT_EQ(r.err, (row.err.empty() ? "" : kSystemError + row.err) + counts) << row.err;
    }
    // A command that cannot start exits 127 from the shell; its pipe may
    // also break first.
    auto r = runInChild([] { delete createRibWriter("|no_such_command_for_duzozo_tests"); });
    EXPECT_NE(r.err.find("no_such_command_for_duzozo_tests: exited with status 127\n"),
              std::string::npos)
        << r.err;
}

// One writer's failure neither silences another's nor touches the bytes of
// one whose writes succeed.
TEST(WriteFailures, EachWriterReportsItsOwnTarget) {
    auto r = runInChild([] {
        std::string fine = tempPath("fine");
        std::vector<RibWriter*> writers = {createRibWriter("/dev/full"), createRibWriter("|true"),
                                           createRibWriter(fine.c_str())};
        for (RibWriter* w : writers) writeMuch(w);
        for (RibWriter* w : writers) delete w;
        std::printf("%zu bytes\n", readFile(fine).size());
        std::remove(fine.c_str());
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.err, kSystemError + "/dev/full: No space left on device\n" + kSystemError +
                         "true: Broken pipe\n");
    EXPECT_EQ(r.out, std::to_string(kHeader.size() + 100000 * 11 + 1) + " bytes\n");
}

// RiErrorHandler chooses the routine, before RiBegin as well as after it; a
// failure found only as the process exits is reported without a second exit.
TEST(WriteFailures, ReportsGoToTheRoutineRiErrorHandlerChose) {
    auto r = runInChild([] {
        RiErrorHandler(RiErrorIgnore);
        RibWriter* w = createRibWriter("/dev/full");
        writeMuch(w);
        delete w;
        std::printf("last error %d\n", int(RiLastError));
        std::fflush(stdout);
        RibWriter* aborting = RiBegin("/dev/full");
        RiErrorHandler(RiErrorAbort);
        writeMuch(aborting);
        std::printf("not reached\n");
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "last error 2\n");
    EXPECT_EQ(r.err, kSystemError + "/dev/full: No space left on device\n");

    r = runInChild([] {
        heldAtExit = createRibWriter("/dev/full");
        duzozo::currentErrorHandler = RiErrorAbort;
        heldAtExit->WorldBegin();  // still buffered when exit flushes it
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, kSystemError + "/dev/full: No space left on device\n");
}
