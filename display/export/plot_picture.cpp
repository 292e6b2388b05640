#include "display/export/plot_picture.h"

#include "display/controls/layout.h"
#include "display/export/painted_picture.h"
#include "display/export/painter_canvas.h"
#include "display/plots/twips.h"

#include <QPainter>
#include <QPalette>

#include <cstring>

namespace plot_picture {

namespace {

// The plots' border on screen is a sunken panel this wide; the drawing area lies inside it.
constexpr int kFrameWidth = 2;

const char *nameOf(PlotKind plot)
{
    switch (plot) {
    case PlotKind::PhasePlane: return "XYgraf";
    case PlotKind::XAgainstTime: return "Xgraf";
    case PlotKind::YAgainstTime: return "Ygraf";
    }
    return "";
}

// A plot's rectangle in the window, border included, in logical pixels.
QRect windowRect(const char *name)
{
    for (const layout::Control &control : layout::kControls)
        if (std::strcmp(control.name, name) == 0)
            return rectFromTwips(control.left, control.top, control.width, control.height);
    return {};
}

constexpr PlotKind kPlots[] = {PlotKind::PhasePlane, PlotKind::XAgainstTime, PlotKind::YAgainstTime};

// The picture starts at the top-left corner of the plots' union in the window.
QRect plotsInWindow()
{
    QRect all;
    for (PlotKind plot : kPlots)
        all = all.united(windowRect(nameOf(plot)));
    return all;
}

QRect frameInPicture(PlotKind plot)
{
    return windowRect(nameOf(plot)).translated(-plotsInWindow().topLeft());
}

} // namespace

Colours coloursOf(const QPalette &palette)
{
    return {palette.color(QPalette::Window), palette.color(QPalette::Dark), palette.color(QPalette::Base),
            palette.color(QPalette::Text), palette.color(QPalette::WindowText)};
}

QSize size()
{
    return plotsInWindow().size();
}

QRect drawingArea(PlotKind plot)
{
    return frameInPicture(plot).adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}

// Paints the picture over the window colour, with its top-left corner at the painter's origin.
void paintPlots(QPainter &painter, const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours,
                const OverPainter &over)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colours.border, 1));
    painter.setBrush(Qt::NoBrush);
    for (PlotKind plot : kPlots)
        painter.drawRect(QRectF(frameInPicture(plot)).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();

    auto canvasFor = [&](PlotKind plot) {
        PainterCanvas::UnderlayPainter under;
        if (underlay)
            under = [&underlay, plot](QPainter &p, const QSizeF &area) { underlay(plot, p, area); };
        return PainterCanvas(painter, drawingArea(plot), colours.base, colours.text, std::move(under));
    };
    PainterCanvas phasePlane = canvasFor(PlotKind::PhasePlane);
    PainterCanvas xPlot = canvasFor(PlotKind::XAgainstTime);
    PainterCanvas yPlot = canvasFor(PlotKind::YAgainstTime);
    if (scene.current)
        drawPlots(scene, phasePlane, xPlot, yPlot);
    else
        for (PlotCanvas *canvas : {&phasePlane, &xPlot, &yPlot})
            canvas->Cls();

    // The axis lines, which on screen lie over the plots as shapes of their own.
    for (const layout::Line &line : layout::kLines)
        for (PlotKind plot : kPlots)
            if (std::strcmp(line.plot, nameOf(plot)) == 0) {
                PainterCanvas canvas(painter, drawingArea(plot), colours.base, colours.axes);
                const QLineF shown = layout::lineIn(line, scene.mapping);
                canvas.line(float(shown.x1()), float(shown.y1()), float(shown.x2()), float(shown.y2()));
            }

    if (!over)
        return;
    for (PlotKind plot : kPlots) {
        const QRect area = drawingArea(plot);
        painter.save();
        painter.translate(area.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), area.size()), Qt::IntersectClip);
        over(plot, painter, QSizeF(area.size()));
        painter.restore();
    }
}

QImage image(const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours, qreal ratio,
             const OverPainter &over)
{
    return imageOf(size(), ratio, colours.window,
                   [&](QPainter &painter) { paintPlots(painter, scene, underlay, colours, over); });
}

QByteArray svg(const PlotScene &scene, const UnderlayPainter &underlay, const Colours &colours,
               const OverPainter &over)
{
    return svgOf(size(), QStringLiteral("Sistema de Lotka-Volterra"), colours.window,
                 [&](QPainter &painter) { paintPlots(painter, scene, underlay, colours, over); });
}

} // namespace plot_picture
