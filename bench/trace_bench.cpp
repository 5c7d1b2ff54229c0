// wobble-trace's work for `--frames 400`, side by side in one run: the
// start-up scene stepped and written as CSV, once with the tool's writer and
// once through printf as the tool wrote it before. Output goes to /dev/null.
//   build/bench/trace_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only

#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/quiet.h"
#include "sim/world.h"
#include "scene/sceneargs.h"
#include "trace/tracewriter.h"

namespace {

void printfRows(std::FILE* out, long frame, const World& world) {
    for (int i = 0; i < world.nodesX; ++i) {
        for (int j = 0; j < world.nodesY; ++j) {
            for (int k = 0; k < world.nodesZ; ++k) {
                const MassNode* n = world.nodes[i][j][k];
                std::fprintf(out, "%ld,%d,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", frame, 0,
                             i, j, k, n->position.x, n->position.y, n->position.z, n->velocity.x,
                             n->velocity.y, n->velocity.z);
            }
        }
    }
}

void BM_TracePrintf(benchmark::State& state) {
    std::FILE* out = std::fopen("/dev/null", "w");
    static char buffer[1 << 16];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
    SceneArgs args;
    for (auto _ : state) {
        World* world = quietly<World>();
        std::fputs("frame,body,i,j,k,x,y,z,vx,vy,vz\n", out);
        runScene(*world, args, [&](long frame, const World& w) { printfRows(out, frame, w); });
        std::fflush(out);
        delete world;  // the containers; nodes and springs stay for the process
    }
    std::fclose(out);
}
BENCHMARK(BM_TracePrintf)->Unit(benchmark::kMillisecond);

void BM_TraceWriter(benchmark::State& state) {
    std::FILE* out = std::fopen("/dev/null", "w");
    SceneArgs args;
    for (auto _ : state) {
        World* world = quietly<World>();
        TraceWriter trace(out);
        trace.header();
        runScene(*world, args, [&](long frame, const World& w) { trace.frame(frame, w); });
        if (!trace.finish()) state.SkipWithError("write failed");
        delete world;
    }
    std::fclose(out);
}
BENCHMARK(BM_TraceWriter)->Unit(benchmark::kMillisecond);

}  // namespace
