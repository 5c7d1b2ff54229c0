// Writers on many threads at once: each stream is the one its writer writes
// alone, each thread has its own current renderer, and writers opening and
// closing on other threads never disturb one another. Built into its own
// program so that `make test-tsan` can run it under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/support/files.h"
#include "tests/support/ribcalls.h"

namespace {

constexpr int kThreads = 4;
constexpr unsigned kSeedsPerThread = 6;

// Every request kind the call generator makes: declarations, colour samples,
// basis steps, blocks, primitives of every sort, in each encoding.
std::string writeSeed(unsigned seed, const std::string& path) {
    std::vector<uint8_t> bytes = ribcheck::seededBytes(seed, 4000);
    ribcheck::ByteSource source(bytes.data(), bytes.size());
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = int(seed % 3);  // text, binary floats, complete binary
    ribcheck::makeCalls(source, *w, 300);
    delete w;
    std::string written = readFile(path);
    std::remove(path.c_str());
    return written;
}

template <class Body>
void onThreads(Body body) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(body, t);
    for (std::thread& thread : threads) thread.join();
}

}  // namespace

TEST(WriterThreads, EachStreamIsTheOneItsWriterWritesAlone) {
    std::vector<std::string> alone(kThreads * kSeedsPerThread);
    for (unsigned i = 0; i < alone.size(); ++i) alone[i] = writeSeed(i + 1, tempPath("alone"));

    std::vector<std::string> together(alone.size());
    onThreads([&](int t) {
        for (unsigned k = 0; k < kSeedsPerThread; ++k) {
            unsigned i = unsigned(t) * kSeedsPerThread + k;
            together[i] = writeSeed(i + 1, tempPath("together"));
        }
    });
    for (unsigned i = 0; i < alone.size(); ++i) {
        EXPECT_GT(alone[i].size(), 100u) << "seed " << i + 1;
        EXPECT_EQ(together[i], alone[i]) << "seed " << i + 1;
    }
}

TEST(WriterThreads, EachThreadHasItsOwnCurrentRenderer) {
    std::vector<std::string> paths(kThreads), written(kThreads);
    for (std::string& path : paths) path = tempPath("current");
    std::atomic<int> begun{0};
    onThreads([&](int t) {
        RtContextHandle mine = RiBegin(paths[size_t(t)].c_str());
        // Every thread has begun before any makes a request: a shared current
        // renderer would now be the last one begun, for all of them.
        ++begun;
        while (begun.load() < kThreads) std::this_thread::yield();
        for (int frame = 0; frame < 50; ++frame) {
            RiFrameBegin(t * 100 + frame);
            RiDeclare("k", t % 2 ? "color" : "float");
            RtFloat v[3] = {RtFloat(t), 0, 0};
            RiSurface("s", "k", v, RI_NULL);
            RiFrameEnd();
        }
        if (RiGetContext() == mine) RiEnd();
    });
    for (int t = 0; t < kThreads; ++t) {
        std::string expected = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";
        for (int frame = 0; frame < 50; ++frame) {
            expected += "FrameBegin " + std::to_string(t * 100 + frame) + "\n";
            expected += t % 2 ? "Declare \"k\" \"color\"\n" : "Declare \"k\" \"float\"\n";
            expected += "Surface \"s\" \"k\" [" + std::to_string(t) + (t % 2 ? " 0 0" : "") + "]\n";
            expected += "FrameEnd\n";
        }
        EXPECT_EQ(readFile(paths[size_t(t)]), expected + "\n") << "thread " << t;
        std::remove(paths[size_t(t)].c_str());
    }
}

TEST(WriterThreads, WritersOpenAndCloseOnManyThreads) {
    // Streams join and leave the list that the exit-time flush walks; this
    // once freed a stream while another thread was unlinking its neighbour.
    onThreads([&](int) {
        std::string path = tempPath("churn");
        for (int i = 0; i < 200; ++i) {
            RibWriter* w = createRibWriter(path.c_str());
            w->WorldBegin();
            w->Sphere(1, -1, 1, 360, RI_NULL);
            w->WorldEnd();
            delete w;
        }
        std::remove(path.c_str());
    });
    SUCCEED();
}

TEST(WriterThreads, ARendererEndedOnAnotherThreadIsABadHandle) {
    static thread_local std::vector<RtInt> reported;
    RiErrorHandler([](RtInt code, RtInt, const char*) { reported.push_back(code); });
    RtContextHandle mine = RiBegin("/dev/null");
    std::thread other([mine] {
        RiContext(mine);
        RiEnd();
    });
    other.join();
    EXPECT_EQ(RiGetContext(), nullptr);
    RiEnd();          // the handle this thread had is dead: reported, nothing done
    RiWorldBegin();   // and so is any request through it
    RiContext(mine);  // nor can it be made current again
    EXPECT_EQ(reported, (std::vector<RtInt>{RIE_BADHANDLE, RIE_BADHANDLE, RIE_BADHANDLE}));
    EXPECT_EQ(RiLastError, RIE_BADHANDLE);
    RiErrorHandler(RiErrorPrint);
}
