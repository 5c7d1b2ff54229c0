// The writer's life: targets, header, final line break, pipes into child
// processes, exits, flushing at exit, and the requests that need nothing but
// the stream.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "rib/internal/errors.h"
#include "rib/ribwriter.h"
#include "rib/internal/symtab.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace duzozo;

using request_test::kHeader;
using request_test::rib;

namespace {

void writeScript(const std::string& path, const std::string& body) {
    FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(body.c_str(), f);
    std::fclose(f);
    chmod(path.c_str(), 0755);
}

volatile sig_atomic_t sigpipeCount = 0;

}  // namespace

TEST(WriterLifecycle, AFreshWriterOnAFile) {
    std::string path = tempPath("fresh");
    RibWriter* w = createRibWriter(path.c_str());
    EXPECT_EQ(w->isPipe, 0);
    w->Flush();
    EXPECT_EQ(readFile(path), kHeader);  // no Declare lines for the standard tokens
    delete w;
    EXPECT_EQ(readFile(path), kHeader + "\n");
    std::remove(path.c_str());
}

TEST(WriterLifecycle, CreationOptions) {
    const char *ascii = "ascii", *binary = "binary", *gzip = "gzip";
    int zero = 0, one = 1;
    auto encoding = [](RibWriter* w) {
        int b = w->binaryOutput;
        delete w;
        return b;
    };
    std::string path = tempPath("options");
    const char* p = path.c_str();
    EXPECT_EQ(encoding(new RibWriter(p, "format", &ascii, RI_NULL)), 0);
    EXPECT_EQ(encoding(new RibWriter(p, "format", &binary, RI_NULL)), 1);
    EXPECT_EQ(encoding(new RibWriter(p, "format", &binary, "binary", &zero, RI_NULL)), 0);
    EXPECT_EQ(encoding(new RibWriter(p, "binary", &one, "compression", &gzip, "gzip", &one,
                                     "unknown", &zero, RI_NULL)),
              1);
    std::remove(p);
}

TEST(WriterLifecycle, StandardOutputKeepsTheCallersOrderAndStaysOpen) {
    auto r = runInChild([] {
        std::printf("before\n");
        RibWriter* w = createRibWriter(nullptr);
        w->FrameBegin(1);
        std::printf("middle\n");
        w->WorldBegin();
        w->SolidBegin("");  // an empty text is a write of no bytes
        delete w;
        std::printf("after\n");
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "before\n" + kHeader +
                         "FrameBegin 1\nmiddle\nWorldBegin\nSolidBegin \"\"\n\nafter\n");
}

TEST(WriterLifecycle, PipeTargetStartsTheCommandAfterTheBar) {
    std::string capture = tempPath("pipe_capture");
    std::string target = "|cat > '" + capture + "'";
    RibWriter* w = createRibWriter(target.c_str());
    EXPECT_EQ(w->isPipe, 1);
    EXPECT_STREQ(w->targetName, target.c_str() + 1);
    w->FrameBegin(3);
    delete w;  // closes the pipe and waits for cat
    EXPECT_EQ(readFile(capture), kHeader + "FrameBegin 3\n\n");
    std::remove(capture.c_str());
}

TEST(WriterLifecycle, RendererNamesAreStartedAsCommands) {
    std::string folder = tempPath("renderers", true);
    for (const char* name : {"rendrib", "rgl", "prman"}) {
        writeScript(folder + "/" + name,
                    std::string("#!/bin/sh\ncat > \"$CAPTURE_DIR/") + name + ".out\"\n");
    }
    auto r = runInChild([&] {
        setenv("PATH", (folder + ":" + std::getenv("PATH")).c_str(), 1);
        setenv("CAPTURE_DIR", folder.c_str(), 1);
        if (chdir(folder.c_str()) != 0) std::exit(9);
        int frame = 1;
        for (const char* name : {"rendrib", "rgl", "prman", "prman.rib"}) {
            RibWriter* w = createRibWriter(name);
            if (w->isPipe != (frame < 4)) std::exit(10 + frame);
            w->FrameBegin(frame++);
            delete w;
        }
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    int frame = 1;
    for (const char* out : {"rendrib.out", "rgl.out", "prman.out", "prman.rib"}) {
        EXPECT_EQ(readFile(folder + "/" + out),
                  kHeader + "FrameBegin " + std::to_string(frame++) + "\n\n");
    }
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST(WriterLifecycle, AMissingOrVanishedCommandNeverKillsTheCaller) {
    for (const char* target :
         {"|no_such_command_for_duzozo_tests", "|true", "|head -c 10 > /dev/null"}) {
        auto r = runInChild([&] {
            struct sigaction counting = {};
            counting.sa_handler = [](int) { sigpipeCount = sigpipeCount + 1; };
            sigaction(SIGPIPE, &counting, nullptr);
            RibWriter* w = createRibWriter(target);
            for (int i = 0; i < 200000; ++i) w->WorldBegin();  // far more than a pipe holds
            delete w;
            sigset_t pending, mask;
            sigpending(&pending);
            sigprocmask(SIG_SETMASK, nullptr, &mask);
            struct sigaction now = {};
            sigaction(SIGPIPE, nullptr, &now);
            std::printf("alive %d %d %d %d\n", int(sigpipeCount), sigismember(&pending, SIGPIPE),
                        sigismember(&mask, SIGPIPE), now.sa_handler == counting.sa_handler);
        });
        EXPECT_TRUE(r.exited) << target << " killed by signal " << r.signal;
        EXPECT_EQ(r.status, 0) << target;
        // Our own broken pipe is neither delivered to the caller's handler nor
        // left pending, and the caller's mask and handler are as they were.
        EXPECT_EQ(r.out, "alive 0 0 0 1\n") << target;
    }
}

// A typo in a file name must not cost the caller its work: the failure is
// reported, and the writer discards its requests without further messages.
TEST(WriterLifecycle, ABadFileNameIsReportedAndTheProgramGoesOn) {
    auto r = runInChild([] {
        RibWriter* w = createRibWriter("/no/such/folder/for/duzozo/scene.rib");
        std::printf("returned %d %d %d\n", w->isOpen(), w->lastError, RiLastError);
        RtFloat half = 0.5f;
        RtToken tokens[] = {"undeclared"};
        RtPointer values[] = {&half};
        w->SurfaceV("plastic", 1, tokens, values);
        w->ColorSamples(0, nullptr, nullptr);
        delete w;
        RiErrorHandler(RiErrorAbort);
        createRibWriter("/no/such/folder/for/duzozo/scene.rib");
        std::printf("not reached\n");
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 255);  // the abort handler's own rule ends it
    // The second report repeats the first, so only the first is printed.
    EXPECT_EQ(r.err, "ERROR: File not found\n    --> Error making RIB file: bad filename\n");
    EXPECT_EQ(r.out, "returned 0 3 3\n");
}

TEST(WriterLifecycle, APipeThatCannotBeOpenedNamesTheCommand) {
    auto r = runInChild([] {
        delete createRibWriter("/dev/null");  // sanitizers settle what they need first
        // No descriptor left for the pipe; the soft limit is lifted again at
        // exit so that the rest of the process can shut down normally.
        static rlimit original;
        getrlimit(RLIMIT_NOFILE, &original);
        std::atexit([] { setrlimit(RLIMIT_NOFILE, &original); });
        int lowestFree = dup(0);
        close(lowestFree);
        rlimit limit = {rlim_t(lowestFree), original.rlim_max};
        setrlimit(RLIMIT_NOFILE, &limit);
        RibWriter* w = createRibWriter("|cat");
        std::printf("returned %d %d\n", w->isOpen(), RiLastError);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "ERROR: File not found\n    --> Error opening pipe to cat\n");
    EXPECT_EQ(r.out, "returned 0 3\n");
}

TEST(WriterLifecycle, NothingRequestedIsLostWhenTheProcessExits) {
    std::string path = tempPath("exit_flush");
    std::string capture = tempPath("exit_pipe");
    std::string pipeTarget = "|cat > '" + capture + "'";

    auto ownExit = runInChild([&] {
        RibWriter* w = createRibWriter(path.c_str());
        RibWriter* p = createRibWriter(pipeTarget.c_str());
        w->FrameBegin(7);
        p->FrameBegin(8);
        std::exit(3);
    });
    EXPECT_EQ(ownExit.status, 3);
    EXPECT_EQ(readFile(path), kHeader + "FrameBegin 7\n");
    EXPECT_EQ(readFile(capture), kHeader + "FrameBegin 8\n");

    auto severe = runInChild([&] {
        RiBegin(path.c_str());
        currentRenderer->WorldBegin();
        RiErrorPrint(1, RIE_SEVERE, nullptr);
    });
    EXPECT_EQ(severe.status, 255);
    EXPECT_EQ(readFile(path), kHeader + "WorldBegin\n");

    auto badTarget = runInChild([&] {
        RibWriter* w = createRibWriter(path.c_str());
        w->FrameEnd();
        createRibWriter("/no/such/folder/x.rib");
        std::exit(1);
    });
    EXPECT_EQ(badTarget.status, 1);
    EXPECT_EQ(readFile(path), kHeader + "FrameEnd\n");
    std::remove(path.c_str());
    std::remove(capture.c_str());
}

TEST(WriterLifecycle, AForkedChildDoesNotWriteItsParentsBufferAgain) {
    std::string path = tempPath("fork");
    RibWriter* w = createRibWriter(path.c_str());
    w->FrameBegin(1);
    auto r = runInChild([] {});
    EXPECT_EQ(r.status, 0);
    delete w;
    EXPECT_EQ(readFile(path), kHeader + "FrameBegin 1\n\n");
    std::remove(path.c_str());
}

TEST(StreamRequests, OnlyWorldEndFlushes) {
    std::string path = tempPath("worldend");
    RibWriter* w = createRibWriter(path.c_str());
    w->WorldBegin();
    w->FrameEnd();
    EXPECT_EQ(readFile(path), "");
    w->WorldEnd();
    EXPECT_EQ(readFile(path), kHeader + "WorldBegin\nFrameEnd\nWorldEnd\n");
    delete w;
    std::remove(path.c_str());
}

TEST(StreamRequests, BlocksRecordsArchivesAndErrorHandlers) {
    std::string longText(20000, 'r');
    RtFloat half = 0.5f;
    EXPECT_EQ(rib([&](RibWriter& w) {
                  w.FrameBegin(-1);
                  w.WorldBegin();
                  w.AttributeBegin();
                  w.AttributeEnd();
                  w.WorldEnd();
                  w.FrameEnd();
                  w.ArchiveRecord("comment", "%d items of %s", 3, "cloth");
                  w.ArchiveRecord("structure", "Scene %s", "box");
                  w.ArchiveRecord("verbatim", "Sides 2\n");
                  w.ArchiveRecord("verbatim", "%s", "a \"quoted\" \\ text");
                  w.ArchiveRecord("other", "dropped");
                  w.ArchiveRecord(nullptr, "dropped");
                  w.ArchiveRecord("comment", "%s", longText.c_str());
                  w.ArchiveRecord("structure", "cut%chere", 0);
                  w.ReadArchive("shapes.rib", nullptr, "Kd", &half, RI_NULL);
                  w.ReadArchiveV("more \"shapes\".rib", nullptr, 0, nullptr, nullptr);
                  w.ErrorHandler(RiErrorIgnore);
                  w.ErrorHandler(RiErrorPrint);
                  w.ErrorHandler(RiErrorAbort);
                  w.ErrorHandler([](RtInt, RtInt, const char*) {});
              }),
              "FrameBegin -1\nWorldBegin\nAttributeBegin\nAttributeEnd\nWorldEnd\nFrameEnd\n"
              "# 3 items of cloth\n##Scene box\nSides 2\na \"quoted\" \\ text# " +
                  longText +
                  "\n##cut\n"
                  "ReadArchive \"shapes.rib\" \"Kd\" [0.5]\n"
                  "ReadArchive \"more \\\"shapes\\\".rib\"\n"
                  "ErrorHandler \"ignore\"\nErrorHandler \"print\"\nErrorHandler \"abort\"\n");
}
