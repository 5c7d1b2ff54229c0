// Writing a large polygon mesh: the library against a plain writer of the
// same bytes that makes one fprintf call per value, and the library's
// complete binary encoding, which has no such plain writer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rib/ribwriter.h"

namespace {

// 400 by 250 vertices: 100,000 vertices, 99,351 quads.
constexpr int kColumns = 400;
constexpr int kRows = 250;

struct Mesh {
    std::vector<RtInt> nvertices;
    std::vector<RtInt> vertices;
    std::vector<RtFloat> P, N, st;
    int vertexCount = kColumns * kRows;
};

Mesh makeMesh() {
    Mesh m;
    for (int j = 0; j < kRows; ++j) {
        for (int i = 0; i < kColumns; ++i) {
            float x = i * 0.0125f - 2.5f, z = j * 0.0173f - 2.1f;
            float y = 0.25f * std::sin(3 * x) * std::cos(2 * z);
            m.P.insert(m.P.end(), {x, y, z});
            float nx = -0.75f * std::cos(3 * x) * std::cos(2 * z);
            float nz = 0.5f * std::sin(3 * x) * std::sin(2 * z);
            float length = std::sqrt(nx * nx + 1 + nz * nz);
            m.N.insert(m.N.end(), {nx / length, 1 / length, nz / length});
            m.st.insert(m.st.end(), {i / float(kColumns - 1), j / float(kRows - 1)});
        }
    }
    for (int j = 0; j + 1 < kRows; ++j) {
        for (int i = 0; i + 1 < kColumns; ++i) {
            int a = j * kColumns + i;
            m.nvertices.push_back(4);
            m.vertices.insert(m.vertices.end(), {a, a + 1, a + kColumns + 1, a + kColumns});
        }
    }
    return m;
}

std::string outputPath() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/rib_bench_" + std::to_string(getpid()) +
           ".rib";
}

// encoding is the writer's binaryOutput.
void writeWithLibrary(const Mesh& m, const std::string& path, int encoding) {
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = encoding;
    RtToken tokens[] = {"P", "N", "st"};
    RtPointer values[] = {const_cast<RtFloat*>(m.P.data()), const_cast<RtFloat*>(m.N.data()),
                          const_cast<RtFloat*>(m.st.data())};
    w->PointsPolygonsV(RtInt(m.nvertices.size()), const_cast<RtInt*>(m.nvertices.data()),
                       const_cast<RtInt*>(m.vertices.data()), 3, tokens, values);
    delete w;
}

// The baseline: the obvious writer, one formatted call per value.
void baselineFloats(FILE* f, const std::vector<RtFloat>& v, bool binary) {
    size_t n = v.size();
    if (!binary) {
        std::fprintf(f, "[");
        for (size_t i = 0; i < n; ++i) std::fprintf(f, i + 1 < n ? "%g " : "%g", v[i]);
        std::fprintf(f, "]");
        return;
    }
    if (n < 256) {
        std::fprintf(f, "%c%c", 0xC8, int(n));
    } else if (n < 65536) {
        std::fprintf(f, "%c%c%c", 0xC9, int(n >> 8), int(n & 0xFF));
    } else {
        std::fprintf(f, "%c%c%c%c", 0xCA, int(n >> 16), int((n >> 8) & 0xFF), int(n & 0xFF));
    }
    for (float x : v) {
        uint32_t b;
        std::memcpy(&b, &x, 4);
        std::fprintf(f, "%c%c%c%c", int(b >> 24), int((b >> 16) & 0xFF), int((b >> 8) & 0xFF),
                     int(b & 0xFF));
    }
}

void writeBaseline(const Mesh& m, const std::string& path, int encoding) {
    bool binary = encoding != 0;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fprintf(f, "##RenderMan RIB-Structure 1.0\nversion 3.03\n");
    std::fprintf(f, "PointsPolygons[");
    for (RtInt v : m.nvertices) std::fprintf(f, "%d ", v);
    std::fprintf(f, "] [");
    for (RtInt v : m.vertices) std::fprintf(f, "%d ", v);
    std::fprintf(f, "]  \"P\" ");
    baselineFloats(f, m.P, binary);
    std::fprintf(f, " \"N\" ");
    baselineFloats(f, m.N, binary);
    std::fprintf(f, " \"st\" ");
    baselineFloats(f, m.st, binary);
    std::fprintf(f, "\n\n");
    std::fclose(f);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Setup {
    Mesh mesh = makeMesh();
    std::string path = outputPath();
    size_t bytes[3] = {};  // of each encoding
    std::string error;

    Setup() {
        for (int encoding : {0, 1}) {
            writeWithLibrary(mesh, path, encoding);
            std::string library = readFile(path);
            writeBaseline(mesh, path, encoding);
            std::string baseline = readFile(path);
            if (library != baseline || library.empty()) {
                error = encoding ? "binary output differs from the baseline"
                                 : "text output differs from the baseline";
            }
            bytes[encoding] = library.size();
        }
        writeWithLibrary(mesh, path, RibWriter::kCompleteBinary);
        bytes[RibWriter::kCompleteBinary] = readFile(path).size();
        // No integer token of this mesh is longer than the integer's text, and
        // the floats take as many bytes as in today's binary.
        if (bytes[2] == 0 || bytes[2] >= bytes[1]) error = "complete binary output is not smaller";
        std::remove(path.c_str());
    }
};

const Setup& setup() {
    static Setup s;
    return s;
}

template <void (*Write)(const Mesh&, const std::string&, int)>
void run(benchmark::State& state, int encoding) {
    const Setup& s = setup();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    for (auto _ : state) Write(s.mesh, s.path, encoding);
    std::remove(s.path.c_str());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(s.bytes[encoding]));
    state.SetItemsProcessed(int64_t(state.iterations()) * s.mesh.vertexCount);
    state.counters["vertices"] = s.mesh.vertexCount;
}

void TextLibrary(benchmark::State& state) {
    run<writeWithLibrary>(state, 0);
}
void TextBaseline(benchmark::State& state) {
    run<writeBaseline>(state, 0);
}
void BinaryLibrary(benchmark::State& state) {
    run<writeWithLibrary>(state, 1);
}
void BinaryBaseline(benchmark::State& state) {
    run<writeBaseline>(state, 1);
}
void CompleteBinary(benchmark::State& state) {
    run<writeWithLibrary>(state, RibWriter::kCompleteBinary);
}

}  // namespace

// items_per_second is vertices per second.
BENCHMARK(TextLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(TextBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryLibrary)->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(CompleteBinary)->Unit(benchmark::kMillisecond);
