#include "bench/bifurcation_bench.h"

#include "bench/targets.h"
#include "display/bifurcation/bifurcation_painter.h"
#include "display/bifurcation/equilibrium_colours.h"
#include "model/analysis/examples.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstdio>

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
    return true;
}
