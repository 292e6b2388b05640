#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// The names under which the benchmarks are registered; the summary looks them up.
namespace bench_name {
inline constexpr char calcula[] = "calcula/from_5_5";
inline constexpr char bareLoop[] = "bare_rk4_loop/from_5_5";
inline constexpr char pintura[] = "pintura_and_repaint";
inline constexpr char cursorStep[] = "time_cursor_step";
inline constexpr char press[] = "phase_plane_press/cursor_at_0";
inline constexpr char pressCursorMoved[] = "phase_plane_press/cursor_moved";
inline constexpr char bifurcationRedraw[] = "bifurcation_redraw/800_wide";
inline constexpr char regimeMap[] = "regime_map/400_square";
inline constexpr char overlayPress[] = "overlays_on/phase_plane_press";
inline constexpr char overlayPressNewCoefficients[] = "overlays_on/press_after_coefficient_change";
inline constexpr char overlayCursorStep[] = "overlays_on/time_cursor_step";
inline constexpr char overlayPaint[] = "overlays_on/paint_phase_overlays_only";
inline constexpr char keptCursorStep[] = "kept_50_marks_overlays/time_cursor_step";
inline constexpr char dragStep[] = "overlays_on/drag_step";
inline constexpr char playFrame[] = "kept_50_every_overlay/play_frame";
inline constexpr char wheelNotch[] = "kept_50_marks_overlays_legend/wheel_notch";
inline constexpr char wheelNotchDeepCorner[] = "kept_50_marks_overlays_legend/wheel_notch_deep_corner";
inline constexpr char resizeStep[] = "kept_50_marks_overlays/window_resize_step";
inline constexpr char resizeStepToTwice[] = "kept_50_marks_overlays/window_resize_step_to_twice";
inline constexpr char magnifiedCursorStep[] = "kept_50_marks_overlays/time_cursor_step_magnified_twice";
inline constexpr char undoRedo[] = "kept_50_marks_overlays/undo_and_redo_a_press";
inline constexpr char sliderStep[] = "overlays_on/coefficient_slider_step";
inline constexpr char sliderStepWithDiagram[] = "overlays_on/coefficient_slider_step_with_diagram";
inline constexpr char sliderStepWithRegimeMap[] = "overlays_on/coefficient_slider_step_with_regime_map";
inline constexpr char ecologicalSliderStep[] = "overlays_on/ecological_parameter_slider_step";
inline constexpr char separatricesOneSaddle[] = "separatrices/one_saddle";
inline constexpr char separatrixCursorStep[] = "separatrices_on/time_cursor_step";
inline constexpr char separatrixLegendCursorStep[] = "separatrices_legend_on/time_cursor_step";
inline constexpr char basinFullMap[] = "basins/exclusion_287_to_last_pixel";
inline constexpr char basinCoarseMap[] = "basins/exclusion_287_first_coarse_map";
inline constexpr char basinNaiveMap[] = "basins/exclusion_287_naive";
inline constexpr char basinCursorStep[] = "basins_on/time_cursor_step";
inline constexpr char basinLongestWait[] = "basins_1600x1000/longest_gui_thread_wait";
inline constexpr char basinClose[] = "basins_1600x1000/close_mid_computation";
inline constexpr char dataFitHudsonBay[] = "data_fit/hudson_bay_classic_from_estimate";
inline constexpr char fitProgressFirstPaint[] = "fit_section/press_to_progress_first_paint";
} // namespace bench_name

// The median time per iteration of one benchmark, in nanoseconds: wall-clock time, and the
// time the process spent on a processor (the two part when other work competes for it).
struct Median {
    double real = -1;
    double cpu = -1;
    bool ran() const { return real >= 0; }
};

// Prints every report as the console reporter does, and keeps the medians of each benchmark
// for the summary.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    // Coloured only on a terminal, so that a saved log stays plain text.
    MedianCollector();

    void ReportRuns(const std::vector<Run> &reports) override;

    // The medians of the named benchmark; Median::ran() is false when it did not run.
    Median median(const std::string &name) const;

private:
    std::map<std::string, Median> medians_;
};

// The table of measured medians beside their targets; basinAgreement is the share of pixels, in
// percent, where the naive basin map agrees with ours (negative: not measured).
void printTargetTable(const MedianCollector &medians, double basinAgreement);
