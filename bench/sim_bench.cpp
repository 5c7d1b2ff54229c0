// Cost of the simulation's step as the program runs it: the start-up scene,
// and bodies large enough that memory layout matters. Reported per spring and
// step in CPU time, so sizes compare directly:
//   build/bench/sim_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only

#include <benchmark/benchmark.h>

#include <map>

#include "bench/quiet.h"
#include "sim/world.h"

namespace {

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

// A world stepping one box of `cells` cells with the start-up box's spacing,
// springs and masses. The planes keep the start-up box's distances to it,
// so that a large box too falls a quarter of a unit onto the floor, well
// clear of the walls, instead of starting through them. Built once per size
// and kept stepping across repetitions; nodes and springs live for the process.
World* boxWorld(int cells) {
    static std::map<int, World*> made;
    World*& world = made[cells];
    if (world != nullptr) return world;
    world = quietly<World>();
    SoftBody* box = quietly<SoftBody>(cells, cells, cells, 0.5, 2000.0, 0.02, 0.55);
    double half = cells * 0.5 / 2.0;
    box->floorY = -half - 0.25;
    box->wallXMin = -half - 3.25;
    box->wallXMax = half + 3.25;
    box->enableGravity();
    world->multiBody = true;
    world->bodies.push_back(box);
    return world;
}

void BM_BodyStep(benchmark::State& state) {
    World* world = boxWorld(int(state.range(0)));
    for (auto _ : state) {
        world->step();
        benchmark::ClobberMemory();
    }
    perSpring(state, *world->bodies[0]);
}
BENCHMARK(BM_BodyStep)->Arg(3)->Arg(10)->Arg(30);

// The same boxes stepped the long way, as a body whose wiring a caller has
// changed is stepped: every spring first, then every node gathering.
void BM_BodyStepGathering(benchmark::State& state) {
    World* world = boxWorld(int(state.range(0)));
    SoftBody* box = world->bodies[0];
    for (auto _ : state) {
        box->computeSpringForces();
        box->step(world->timeStep);
        benchmark::ClobberMemory();
    }
    perSpring(state, *box);
}
BENCHMARK(BM_BodyStepGathering)->Arg(3)->Arg(10)->Arg(30);

}  // namespace
