#include "bench/targets.h"

#include <charconv>
#include <cstdio>
#include <system_error>

#include <unistd.h>

MedianCollector::MedianCollector()
    : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
{
}

void MedianCollector::ReportRuns(const std::vector<Run> &reports)
{
    for (const Run &run : reports) {
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" || run.error_occurred)
            continue;
        const double toNanoseconds = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        medians_[run.run_name.function_name] = {run.GetAdjustedRealTime() * toNanoseconds,
                                                run.GetAdjustedCPUTime() * toNanoseconds};
    }
    ConsoleReporter::ReportRuns(reports);
}

Median MedianCollector::median(const std::string &name) const
{
    const auto found = medians_.find(name);
    return found == medians_.end() ? Median{} : found->second;
}

namespace {

void printRow(const char *figure, const char *real, const char *cpu, const char *target,
              const char *verdict)
{
    std::printf("| %-57s | %11s | %11s | %10s | %-6s |\n", figure, real, cpu, target, verdict);
}

void printRule()
{
    std::printf("|%s|%s|%s|%s|%s|\n", std::string(59, '-').c_str(), std::string(13, '-').c_str(),
                std::string(13, '-').c_str(), std::string(12, '-').c_str(),
                std::string(8, '-').c_str());
}

// A figure with a decimal point and the given decimals. QApplication sets the C library's
// locale from the environment, so printf would write a decimal comma on a Spanish machine;
// std::to_chars follows no locale.
std::string decimals(double value, int count)
{
    char text[400];  // room for the largest double in full
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, count);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string("?");
}

std::string milliseconds(double nanoseconds)
{
    return decimals(nanoseconds / 1e6, 3) + " ms";
}

std::string ratio(double value)
{
    return decimals(value, 3);
}

// A time figure, checked on its real time against an upper bound when one is given: one it may
// reach, or with `strict`, one it must stay below.
void printTime(const char *figure, const Median &median, double targetMs, bool strict = false)
{
    if (!median.ran()) {
        printRow(figure, "not run", "", "", "");
        return;
    }
    std::string target;
    const char *verdict = "";
    if (targetMs > 0) {
        target = (strict ? "< " : "<= ") + decimals(targetMs, 2) + " ms";
        const double real = median.real / 1e6;
        verdict = (strict ? real < targetMs : real <= targetMs) ? "met" : "MISSED";
    }
    printRow(figure, milliseconds(median.real).c_str(), milliseconds(median.cpu).c_str(),
             target.c_str(), verdict);
}

} // namespace

void printTargetTable(const MedianCollector &medians, double basinAgreement)
{
    using namespace bench_name;
    std::printf("\nMedians per call (verdicts on the real time):\n\n");
    printRow("Figure", "Real", "CPU", "Target", "");
    printRule();

    const Median model = medians.median(calcula);
    const Median bare = medians.median(bareLoop);
    printTime("calcula, (5, 5), all samples valid", model, 0);
    printTime("bare RK4 loop, same samples", bare, 0);
    if (model.ran() && bare.ran()) {
        const double real = model.real / bare.real;
        printRow("ratio calcula / bare loop", ratio(real).c_str(), ratio(model.cpu / bare.cpu).c_str(),
                 "<= 1.50", real <= 1.5 ? "met" : "MISSED");
    } else {
        printRow("ratio calcula / bare loop", "not run", "", "<= 1.50", "");
    }
    printTime("pintura + repaint of the three plots", medians.median(pintura), 0.83);
    printTime("time-cursor step, every option off", medians.median(cursorStep), 0.40);
    printTime("phase-plane press, cursor at 0", medians.median(press), 2);
    printTime("phase-plane press, cursor elsewhere", medians.median(pressCursorMoved), 2);
    printTime("bifurcation diagram, 800 px, redraw", medians.median(bifurcationRedraw), 5);
    printTime("regime map, 400 x 400: regimes and boundaries", medians.median(regimeMap), 16);
    printTime("all overlays on: phase-plane press", medians.median(overlayPress), 2);
    printTime("  the same after a coefficient change", medians.median(overlayPressNewCoefficients), 2);
    printTime("all overlays on: time-cursor step", medians.median(overlayCursorStep), 0.83);
    printTime("  painting the phase-plane overlays", medians.median(overlayPaint), 0);
    printTime("50 kept, marks, overlays: cursor step", medians.median(keptCursorStep), 0.83);
    printTime("all overlays on: one drag step", medians.median(dragStep), 2);
    printTime("50 kept, overlays, legend: wheel notch", medians.median(wheelNotch), 4);
    printTime("a wheel notch at a deep corner view with every overlay on", medians.median(wheelNotchDeepCorner), 4);
    printTime("50 kept, every overlay: a frame of play", medians.median(playFrame), 0.83);
    printTime("50 kept, overlays: resize to 1.5 times", medians.median(resizeStep), 8);
    printTime("50 kept, overlays: resize to twice", medians.median(resizeStepToTwice), 8);
    printTime("50 kept, overlays, twice: cursor step", medians.median(magnifiedCursorStep), 0.83);
    printTime("all overlays on: slider step", medians.median(sliderStep), 2);
    printTime("  the same, bifurcation diagram open", medians.median(sliderStepWithDiagram), 0);
    printTime("  the same, map of regimes open (GUI thread)", medians.median(sliderStepWithRegimeMap), 2);
    printTime("all overlays on: ecological slider step", medians.median(ecologicalSliderStep), 2);
    printTime("separatrices of one saddle", medians.median(separatricesOneSaddle), 5);
    printTime("separatrices on: time-cursor step", medians.median(separatrixCursorStep), 0.83);
    printTime("  the same with the legend on", medians.median(separatrixLegendCursorStep), 0);
    const Median basins = medians.median(basinFullMap);
    const Median naive = medians.median(basinNaiveMap);
    printTime("basins, exclusion, 287 px: whole map", basins, 150);
    printTime("  the first coarse map", medians.median(basinCoarseMap), 20);
    printTime("  naive map, no early stop", naive, 0);
    if (basins.ran() && naive.ran()) {
        const double real = naive.real / basins.real;
        // Both run on the thread pool: the CPU time of the benchmark's own thread says nothing.
        printRow("  ratio naive / ours", ratio(real).c_str(), "", ">= 20", real >= 20 ? "met" : "MISSED");
    } else {
        printRow("  ratio naive / ours", "not run", "", ">= 20", "");
    }
    if (basinAgreement >= 0)
        printRow("  pixels where the two agree", (decimals(basinAgreement, 3) + " %").c_str(), "", ">= 99.5 %",
                 basinAgreement >= 99.5 ? "met" : "MISSED");
    else
        printRow("  pixels where the two agree", "not run", "", ">= 99.5 %", "");
    printTime("basins on: time-cursor step", medians.median(basinCursorStep), 0.83);
    printTime("basins, 1600 x 1000: longest GUI wait", medians.median(basinLongestWait), 20);
    printTime("  closing the window mid-computation", medians.median(basinClose), 200, true);
    printTime("fit of the pelts, classic form, from the growth estimate", medians.median(dataFitHudsonBay), 50);
    printTime("Ajustar: press to the progress label's first paint", medians.median(fitProgressFirstPaint), 16);
    std::printf("\nStart-up time and peak memory: scripts/measure-startup\n");
}
