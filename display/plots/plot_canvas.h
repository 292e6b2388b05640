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

// How wide a line is drawn. Where a logical pixel is one device pixel, as in the designed
// start-up picture, both draw the same pixels, but for a line whose ends lie in one pixel: of
// that the hairline inks the next pixel down and to the right (the painter's stroke of a line of
// no length), the other the pixel itself. They part where a logical pixel is larger:
// - Hairline: one device pixel at every scale. The joins of a trajectory's points on the plots,
//   and every line of an exported picture, the axis lines included: an SVG's line stays thin
//   at every zoom.
// - LogicalPixel: one logical pixel, so thicker on a screen of higher pixel ratio, with square
//   ends: the axis lines laid over the plots on the screen (LineShape). Along a row or a column
//   it is filled as the rectangle of the pixels from one end to the other, which costs a
//   fraction of a stroke; the time cursor's every step repaints the axes.
enum class LineWidth { Hairline, LogicalPixel };

// The shapes of a line and of a mark, for every canvas that draws with a painter, in logical
// pixels; positions are twips. A line runs through the centres of the pixels that hold its ends,
// so that a point plotted on it lands in the same pixels.
void paintLine(QPainter &painter, const QColor &colour, float x1, float y1, float x2, float y2,
               LineWidth width = LineWidth::Hairline);
void paintMark(QPainter &painter, const QColor &colour, PlotCanvas::Mark kind, float x, float y);
