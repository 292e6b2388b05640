#pragma once

#include <QColor>

// What drawing a trajectory needs of its destination: the kept image of a plot on the screen,
// or a painter on a picture or a file. Positions are twips of the plot's drawing area; one
// routine (trajectory_plot.h) decides what goes where and in which order, for every destination.
class PlotCanvas {
public:
    enum class Mark { Maximum, Minimum };

    virtual ~PlotCanvas() = default;

    // Clears to what lies under every point: the base colour, or the kept underlay.
    virtual void Cls() = 0;
    // A dot of DrawWidth logical pixels, a square centred on the pixel that holds (x, y).
    virtual void PSet(float x, float y) = 0;
    virtual void setDrawWidth(int width) = 0;
    // The colour of what follows; an invalid colour stands for the designed ink.
    virtual void setInk(const QColor &colour) = 0;
    // The colour under every point where nothing else lies.
    virtual QColor baseColour() const = 0;
    // A thin straight line between two positions.
    virtual void line(float x1, float y1, float x2, float y2) = 0;
    // A small mark of a maximum (a triangle pointing up) or a minimum (pointing down).
    virtual void mark(Mark kind, float x, float y) = 0;
};

class QPainter;

// The shapes of a line and of a mark, for every canvas that draws with a painter, in logical
// pixels; positions are twips.
void paintLine(QPainter &painter, const QColor &colour, float x1, float y1, float x2, float y2);
void paintMark(QPainter &painter, const QColor &colour, PlotCanvas::Mark kind, float x, float y);
