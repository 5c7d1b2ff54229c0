// One float to text: formatFloat beside the two general conversions it
// stands in for, over the values a scene holds.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "rib/internal/floatformat.h"

namespace {

// Coordinates, normals and texture coordinates of a mesh: mostly below a
// few hundred in magnitude, a few small ones near zero.
const std::vector<float>& values() {
    static const std::vector<float> v = [] {
        std::vector<float> out;
        std::mt19937 random(7);
        std::uniform_real_distribution<float> coordinate(-250.0f, 250.0f), unit(-1.0f, 1.0f);
        for (int i = 0; i < 1 << 16; ++i) {
            out.push_back(i % 3 == 0 ? coordinate(random) : unit(random));
            if (i % 97 == 0) out.back() *= 1e-6f;
        }
        return out;
    }();
    return v;
}

template <class Format>
void run(benchmark::State& state, Format format) {
    const std::vector<float>& v = values();
    char text[64];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (float x : v) {
            char* end = format(text, x);
            bytes += std::size_t(end - text);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(v.size()));
    state.SetBytesProcessed(int64_t(bytes));
}

void FormatFloat6(benchmark::State& state) {
    run(state, [](char* out, float x) { return duzozo::formatFloat(out, x, 6); });
}
void FormatFloat9(benchmark::State& state) {
    run(state, [](char* out, float x) { return duzozo::formatFloat(out, x, 9); });
}
void ToChars6(benchmark::State& state) {
    run(state, [](char* out, float x) {
        return std::to_chars(out, out + 64, double(x), std::chars_format::general, 6).ptr;
    });
}
void ToChars9(benchmark::State& state) {
    run(state, [](char* out, float x) {
        return std::to_chars(out, out + 64, double(x), std::chars_format::general, 9).ptr;
    });
}
void Snprintf6(benchmark::State& state) {
    run(state, [](char* out, float x) { return out + std::snprintf(out, 64, "%g", double(x)); });
}

}  // namespace

// items_per_second is values per second.
BENCHMARK(FormatFloat6);
BENCHMARK(FormatFloat9);
BENCHMARK(ToChars6);
BENCHMARK(ToChars9);
BENCHMARK(Snprintf6);
