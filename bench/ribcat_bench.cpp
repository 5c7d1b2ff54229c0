// Reading and converting the generated 30 MB scene: the reader's throughput
// on text and on the complete binary encoding (into a sink, so that only
// reading counts), and ribcat's conversions beside another RIB converter's
// (miqser, when it is on PATH) at the same nine digits, each run as the
// program a user runs, from its start to its exit.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/scenegen.h"
#include "rib/ribfilter.h"
#include "rib/ribreader.h"
#include "rib/ribwriter.h"

namespace {

std::string folder() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/ribcat_bench_" + std::to_string(getpid());
}

struct Files {
    std::string dir = folder();
    std::string text = dir + "/scene.rib";
    std::string complete = dir + "/scene.ribb";
    std::string out = dir + "/out";
    size_t textBytes = 0, completeBytes = 0;
    Files() {
        std::string made = "mkdir -p '" + dir + "'";
        if (std::system(made.c_str()) != 0) return;
        std::string scene = duzozo::bench::generateScene(30);
        std::ofstream(text, std::ios::binary) << scene;
        textBytes = scene.size();
        // The complete encoding of the same scene, by the library itself.
        int encoding = RibWriter::kCompleteBinary;
        {
            RibWriter writer(complete.c_str(), "binary", &encoding, RI_NULL);
            duzozo::RibReader(writer).readFile(text);
        }
        std::ifstream in(complete, std::ios::binary);
        completeBytes = std::string(std::istreambuf_iterator<char>(in), {}).size();
    }
    ~Files() {
        std::string gone = "rm -rf '" + dir + "'";
        if (std::system(gone.c_str()) != 0) std::fputs("could not remove the scene\n", stderr);
    }
};

const Files& files() {
    static Files f;
    return f;
}

void readInto(benchmark::State& state, const std::string& path, size_t bytes) {
    for (auto _ : state) {
        duzozo::RibSink sink;
        duzozo::RibReader reader(sink);
        if (!reader.readFile(path)) state.SkipWithError("the scene did not read cleanly");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void ReadText(benchmark::State& state) {
    readInto(state, files().text, files().textBytes);
}
void ReadCompleteBinary(benchmark::State& state) {
    readInto(state, files().complete, files().completeBytes);
}

// Runs a command through the shell, timing it whole.
void command(benchmark::State& state, const std::string& line) {
    for (auto _ : state) {
        if (std::system(line.c_str()) != 0) state.SkipWithError(("failed: " + line).c_str());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files().textBytes));
}

bool haveMiqser() {
    return std::system("command -v miqser >/dev/null 2>&1") == 0;
}

void RibcatTextToComplete(benchmark::State& state) {
    const Files& f = files();
    command(state, RIBCAT " --binary --precision 9 -o '" + f.out + "' '" + f.text + "'");
}
void RibcatTextToText(benchmark::State& state) {
    const Files& f = files();
    command(state, RIBCAT " --ascii --precision 9 -o '" + f.out + "' '" + f.text + "'");
}
void MiqserTextToBinary(benchmark::State& state) {
    if (!haveMiqser()) return state.SkipWithError("miqser is not on PATH");
    const Files& f = files();
    command(state, "miqser -b -o '" + f.out + "' '" + f.text + "'");
}
void MiqserTextToText(benchmark::State& state) {
    if (!haveMiqser()) return state.SkipWithError("miqser is not on PATH");
    const Files& f = files();
    command(state, "miqser -o '" + f.out + "' '" + f.text + "'");
}

}  // namespace

BENCHMARK(ReadText)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCompleteBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(RibcatTextToComplete)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MiqserTextToBinary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RibcatTextToText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MiqserTextToText)->Unit(benchmark::kMillisecond)->UseRealTime();
