#include "bench/model_bench.h"

#include "bench/bare_rk4.h"
#include "bench/targets.h"
#include "model/model.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

constexpr double kStart = 5;  // from (5, 5) every one of the 201 samples is valid

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The comparison is only fair if the bare loop does the very same arithmetic.
bool bareLoopMatchesModel()
{
    Model model;
    model.setDefaults();
    model.calcula([] { return kStart; }, [] { return kStart; });
    BareTrajectory bare;
    bareCalcula(model, kStart, kStart, bare);

    for (int k = kFirstSample; k <= kLastSample; ++k) {
        if (!model.ok(k)) {
            std::fprintf(stderr, "lv-bench: sample %d from (5, 5) is not valid\n", k);
            return false;
        }
        if (bare.ok(k) != model.ok(k) || !sameBits(bare.xs(k), model.xs(k))
            || !sameBits(bare.ys(k), model.ys(k))) {
            std::fprintf(stderr,
                         "lv-bench: the bare loop differs from calcula at sample %d: "
                         "(%.17g, %.17g) instead of (%.17g, %.17g)\n",
                         k, bare.xs(k), bare.ys(k), model.xs(k), model.ys(k));
            return false;
        }
    }
    return true;
}

void runCalcula(benchmark::State &state)
{
    Model model;
    model.setDefaults();
    const Model::Reader start = [] { return kStart; };
    for (auto _ : state) {
        model.calcula(start, start);
        benchmark::DoNotOptimize(&model);
        benchmark::ClobberMemory();
    }
}

void runBareLoop(benchmark::State &state)
{
    Model model;
    model.setDefaults();
    BareTrajectory trajectory;
    for (auto _ : state) {
        bareCalcula(model, kStart, kStart, trajectory);
        benchmark::DoNotOptimize(&trajectory);
        benchmark::ClobberMemory();
    }
}

} // namespace

bool registerModelBenchmarks()
{
    if (!bareLoopMatchesModel())
        return false;
    for (auto [name, run] : {std::pair{bench_name::calcula, &runCalcula},
                             std::pair{bench_name::bareLoop, &runBareLoop}}) {
        benchmark::RegisterBenchmark(name, run)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime()
            ->Repetitions(10)
            ->ReportAggregatesOnly(true);
    }
    return true;
}
