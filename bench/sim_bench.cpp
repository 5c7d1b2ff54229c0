// Cost of the simulation's step: the start-up scene, and bodies large enough
// that memory layout matters. Reported per spring, so sizes compare directly.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>

#include "sim/world.h"

namespace {

// Construction writes progress lines; keep them out of the report.
template <class T, class... Args>
T* quietly(Args... args) {
    std::fflush(stderr);
    int saved = dup(2);
    std::FILE* null = std::fopen("/dev/null", "w");
    dup2(fileno(null), 2);
    T* made = new T(args...);
    dup2(saved, 2);
    close(saved);
    std::fclose(null);
    return made;
}

void perSpring(benchmark::State& state, const SoftBody& body) {
    double springs = double(body.springs.size());
    state.SetItemsProcessed(state.iterations() * int64_t(springs));
    state.counters["springs"] = springs;
    // Seconds per spring and step: the figure to compare across body sizes.
    state.counters["per_spring"] = benchmark::Counter(
        springs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_WorldStep(benchmark::State& state) {
    static World* world = quietly<World>();
    for (auto _ : state) {
        world->step();
        benchmark::ClobberMemory();
    }
    perSpring(state, *world);
}
BENCHMARK(BM_WorldStep);

void BM_BodyStep(benchmark::State& state) {
    int cells = int(state.range(0));
    SoftBody* body = quietly<SoftBody>(cells, cells, cells, 0.5, 2000.0, 0.02, 0.55);
    body->enableGravity();
    for (auto _ : state) {
        body->computeSpringForces();
        body->step(0.005);
        benchmark::ClobberMemory();
    }
    perSpring(state, *body);
    delete body;  // the container only; its nodes and springs stay for the process
}
BENCHMARK(BM_BodyStep)->Arg(3)->Arg(10)->Arg(30);

}  // namespace
