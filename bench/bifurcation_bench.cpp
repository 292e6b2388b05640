#include "bench/bifurcation_bench.h"

#include "bench/targets.h"
#include "display/bifurcation/bifurcation_painter.h"
#include "display/bifurcation/equilibrium_colours.h"
#include "display/regime/regime_map.h"
#include "model/analysis/examples.h"
#include "model/analysis/regime.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <vector>

namespace {

// The logistic prey with D over its default range: three curves in each panel, two marks.
BifurcationScene logisticPreyScene()
{
    BifurcationScene scene;
    scene.system = exampleSystems()[1].coefficients;
    scene.coefficient = 3;
    scene.from = scene.current() - 2;
    scene.to = scene.current() + 2;
    return scene;
}

// Computes the diagram at every pixel across and paints all of it.
void redraw(QImage &image, const BifurcationScene &scene)
{
    QPainter painter(&image);
    paintBifurcation(painter, image.rect(), scene);
}

bool drewTheInterior(const QImage &image)
{
    const QRgb interior = equilibriumColour(EquilibriumRole::Interior).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == interior;
    return count > image.width();   // both panels hold long pieces of its curve
}

void fullRedraw(benchmark::State &state, const BifurcationScene &scene)
{
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        redraw(image, scene);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}

// The map of competition over (C, E) in [-3, 1] squared, one core: the regime at every pixel's
// centre and the exact boundaries along every row and column.
void regimeMap(benchmark::State &state)
{
    constexpr int kSide = 400;
    const Coefficients k{1, -1, 0, 1, 0, -1};
    const auto value = [](int pixel) { return -3 + 4 * (pixel + 0.5) / kSide; };
    std::vector<Regime> regimes(kSide * kSide);
    for (auto _ : state) {
        std::size_t boundaries = 0;
        for (int row = 0; row < kSide; ++row) {
            Coefficients at = k;
            at.E = value(row);
            for (int column = 0; column < kSide; ++column) {
                at.C = value(column);
                regimes[row * kSide + column] = regimeOf(at);
            }
            boundaries += regimeBoundaries(at, 2, -3, 1).size();
            Coefficients across = k;
            across.C = value(row);
            boundaries += regimeBoundaries(across, 4, -3, 1).size();
        }
        benchmark::DoNotOptimize(regimes.data());
        benchmark::DoNotOptimize(boundaries);
    }
}

// The same map as the window makes it: the picture with its colours and boundary dots.
void regimePictureRedraw(benchmark::State &state)
{
    RegimeMapScene scene;
    scene.system = {1, -1, 0, 1, 0, -1};
    scene.fromH = scene.fromV = -3;
    scene.toH = scene.toV = 1;
    for (auto _ : state) {
        const RegimePicture picture = regimePicture(scene, QSize(400, 400));
        benchmark::DoNotOptimize(picture.image.constBits());
    }
}

// The same map along α₁₂ and α₂₁ of the competition form over [0, 4] squared: each pixel's
// coefficients from the form, the boundaries located by halving between pixels.
void regimePictureAlongParameters(benchmark::State &state)
{
    RegimeMapScene scene;
    scene.ecology = EcologicalParameters{EcologicalForm::Competition, {1, 1, 2, 1, 1, 2, 0, 0}};
    scene.system = coefficientsOf(*scene.ecology);
    scene.horizontalParameter = 2;
    scene.verticalParameter = 5;
    scene.fromH = scene.fromV = 0;
    scene.toH = scene.toV = 4;
    for (auto _ : state) {
        const RegimePicture picture = regimePicture(scene, QSize(400, 400));
        benchmark::DoNotOptimize(picture.image.constBits());
    }
}

} // namespace

bool registerBifurcationBenchmarks()
{
    const BifurcationScene scene = logisticPreyScene();
    QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
    redraw(image, scene);
    if (!drewTheInterior(image)) {
        std::fprintf(stderr, "lv-bench: the bifurcation diagram did not draw the interior equilibrium's curve\n");
        return false;
    }
    benchmark::RegisterBenchmark(bench_name::bifurcationRedraw, &fullRedraw, scene)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(bench_name::regimeMap, &regimeMap)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("regime_picture/400_square", &regimePictureRedraw)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark("regime_picture/400_square_parameters", &regimePictureAlongParameters)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    return true;
}
