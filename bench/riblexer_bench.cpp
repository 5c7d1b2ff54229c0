// Lexing the benchmarks' scene held in memory: as text, and in the complete
// binary encoding made by the tests' independent encoder. Bytes per second
// are of the input.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/scenegen.h"
#include "rib/internal/riblexer.h"
#include "tests/support/ribencoder.h"
#include "tests/support/ribreader.h"

namespace {

const std::string& textScene() {
    static const std::string scene = duzozo::bench::generateScene(30);
    return scene;
}

const std::string& binaryScene() {
    static const std::string scene = ribcheck::encodeComplete(ribcheck::read(textScene()));
    return scene;
}

// Every token taken, and every float array decoded, as a reader would.
void lexAll(benchmark::State& state, const std::string& input) {
    std::vector<float> values;
    for (auto _ : state) {
        duzozo::RibLexer lexer(input.data(), input.size(), "scene");
        duzozo::RibToken t;
        float sum = 0;
        while (lexer.next(t)) {
            if (t.kind == duzozo::RibToken::FloatArray) {
                values.resize(t.count);
                t.floats(values.data());
                sum += values.empty() ? 0 : values[0];
            } else {
                sum += t.number;
            }
        }
        benchmark::DoNotOptimize(sum);
        if (lexer.errorCount() != 0) state.SkipWithError("the scene does not lex cleanly");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input.size()));
    state.counters["MB"] = double(input.size()) / 1e6;
}

void LexText(benchmark::State& state) {
    lexAll(state, textScene());
}
void LexBinary(benchmark::State& state) {
    lexAll(state, binaryScene());
}

}  // namespace

BENCHMARK(LexText)->Unit(benchmark::kMillisecond);
BENCHMARK(LexBinary)->Unit(benchmark::kMillisecond);
