#include "bench/data_fit_bench.h"

#include "bench/targets.h"
#include "bench/window_driver.h"
#include "model/data/fit.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

namespace {

struct Prepared {
    Observations series;
    FitParameters start;
    FitOptions options = FitOptions::classicForm();
};

Prepared &prepared()
{
    static Prepared p;
    return p;
}

void hudsonBayClassic(benchmark::State &state)
{
    const Prepared &p = prepared();
    for (auto _ : state) {
        FitResult result = fitObservations(p.series, p.start, p.options);
        benchmark::DoNotOptimize(result.ssr);
    }
}

} // namespace

bool registerDataFitBenchmarks()
{
    std::ifstream file(LV_SOURCE_DIR "/data/pieles_liebre_lince.csv", std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    auto read = readObservations(bytes.str(), "pieles_liebre_lince.csv");
    if (!std::holds_alternative<Observations>(read))
        return benchFailure("the built-in pelts file cannot be read");
    const Observations &raw = std::get<Observations>(read);
    Prepared &p = prepared();
    p.series = inProgramUnits(raw, chosenUnit(raw)).value().series;
    auto estimate = growthEstimate(p.series, {}, p.options.held);
    if (!std::holds_alternative<GrowthEstimate>(estimate))
        return benchFailure("no «Estimar» start for the pelts");
    p.start = std::get<GrowthEstimate>(estimate).start;
    if (fitObservations(p.series, p.start, p.options).status != FitStatus::Converged)
        return benchFailure("the fit of the pelts does not converge");
    benchmark::RegisterBenchmark(bench_name::dataFitHudsonBay, &hudsonBayClassic)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
    return true;
}
