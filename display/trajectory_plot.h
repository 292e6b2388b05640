#pragma once

class Model;
class PlotSurface;

// Clears the three plots and draws every valid sample of the stored trajectory: in the
// phase plane, then x against time, then y against time. The sample under the time cursor
// is drawn with pen width 3, every other one with pen width 1.
void drawTrajectory(const Model &model, int cursor, PlotSurface &phasePlane, PlotSurface &xPlot,
                    PlotSurface &yPlot);
