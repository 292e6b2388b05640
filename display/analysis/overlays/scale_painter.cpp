#include "scale_painter.h"

#include "conversions.h"
#include "overlay_style.h"
#include "plot_mapping.h"
#include "twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using namespace overlay_style;

// The least room between two time labels, and between a label and its neighbour's text.
constexpr double kMinimumTimeSpacing = 28;
constexpr double kLabelGap = 6;

QPointF cellCentre(double xTwips, double yTwips)
{
    return pixelCellOf(xTwips, yTwips) + QPointF(0.5, 0.5);
}

// The small grey style of the scales; gives the metrics of its font.
QFontMetricsF useScaleStyle(QPainter &painter)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(kScaleFontPixels);
    painter.setFont(font);
    painter.setPen(QPen(kScale, 1));
    painter.setRenderHint(QPainter::Antialiasing, false);
    return painter.fontMetrics();
}

// Writes the numbers of a scale, each placed by its digits' box and kept inside the drawing
// area, so that the numbers at the ends of an axis are not cut off.
class LabelWriter {
public:
    LabelWriter(QPainter &painter, const QSizeF &area)
        : painter_(painter), area_(area), metrics_(useScaleStyle(painter))
    {
    }

    double width(const QString &text) const { return metrics_.horizontalAdvance(text); }

    // Centred on x, its top at `top`.
    void below(double x, double top, const QString &text) { write(x - width(text) / 2, top, text); }

    // Its right edge at `right`, centred on y.
    void leftOf(double right, double y, const QString &text)
    {
        write(right - width(text), y - metrics_.capHeight() / 2, text);
    }

    // Its top right corner at `corner`.
    void belowLeftOf(QPointF corner, const QString &text) { write(corner.x() - width(text), corner.y(), text); }

private:
    void write(double left, double top, const QString &text)
    {
        const double w = width(text);
        const double h = metrics_.capHeight();
        left = std::clamp(left, 0.0, std::max(0.0, area_.width() - w));
        top = std::clamp(top, 0.5, std::max(0.5, area_.height() - h - 0.5));
        painter_.drawText(QPointF(left, top + h), text);
    }

    QPainter &painter_;
    QSizeF area_;
    QFontMetricsF metrics_;
};

// The tick value i × step, computed so that it reads as the round number it is.
double tickValue(double i, double step)
{
    const double exponent = std::floor(std::log10(step));
    if (exponent >= 0)
        return i * step;
    const double scale = std::pow(10.0, -exponent);
    return i * std::round(step * scale) / scale;
}

} // namespace

double roundStepAtLeast(double minimum)
{
    if (!(minimum > 0) || !std::isfinite(minimum))
        return 0;
    const double exponent = std::floor(std::log10(minimum));
    for (double e = exponent - 1; e <= exponent + 1; ++e) {
        for (double factor : {1.0, 2.0, 5.0}) {
            // A negative power of ten divides, so that 0.02 is the double nearest 0.02.
            const double step = e >= 0 ? factor * std::pow(10.0, e) : factor / std::pow(10.0, -e);
            if (step >= minimum)
                return std::isfinite(step) ? step : 0;
        }
    }
    return 0;
}

double timeTickStep(double dt, double minimumPixels)
{
    const double pixelsPerSample = 20 / kTwipsPerPixel;
    return roundStepAtLeast(minimumPixels / pixelsPerSample * dt);
}

void paintPhaseScales(QPainter &painter, const QSizeF &area)
{
    using namespace plot_mapping;
    painter.save();
    LabelWriter labels(painter, area);
    // Ticks inside the quadrant, numbers outside it, below the x axis and left of the y axis.
    const QPointF origin = cellCentre(phaseX(0), phaseY(0));
    for (int unit = 1; unit <= 10; ++unit) {
        const QPointF onX = cellCentre(phaseX(unit), phaseY(0));
        painter.drawLine(QPointF(onX.x(), origin.y() - 0.5 - kTickLength), QPointF(onX.x(), origin.y() - 0.5));
        labels.below(onX.x(), origin.y() + 2, textOf(unit));
        const QPointF onY = cellCentre(phaseX(0), phaseY(unit));
        painter.drawLine(QPointF(origin.x() + 0.5, onY.y()), QPointF(origin.x() + 0.5 + kTickLength, onY.y()));
        labels.leftOf(origin.x() - 2, onY.y(), textOf(unit));
    }
    labels.belowLeftOf(origin + QPointF(-2, 2), textOf(0));
    painter.restore();
}

void paintTimeScales(QPainter &painter, const QSizeF &area, double dt)
{
    using namespace plot_mapping;
    painter.save();
    LabelWriter labels(painter, area);
    const QPointF origin = cellCentre(timeX(0), valueY(0));

    for (int unit = 1; unit <= 10; ++unit) {
        const double y = cellCentre(timeX(0), valueY(unit)).y();
        painter.drawLine(QPointF(origin.x() - 0.5 - kTickLength, y), QPointF(origin.x() - 0.5, y));
        labels.leftOf(origin.x() - 2 - kTickLength, y, textOf(unit));
    }
    labels.belowLeftOf(origin + QPointF(-2, 2), textOf(0));

    // The round step whose widest label still leaves a gap to the next one.
    const double firstSample = -timeX(0) / 20.0;
    const double lastSample = (area.width() * kTwipsPerPixel - timeX(0)) / 20.0;
    double step = timeTickStep(dt, kMinimumTimeSpacing);
    double first = 0, last = -1;
    for (int attempt = 0; attempt < 8 && step > 0; ++attempt) {
        first = std::ceil(firstSample * dt / step);
        last = std::floor(lastSample * dt / step);
        if (!std::isfinite(first) || !std::isfinite(last) || last - first > 1000) {
            step = 0;
            break;
        }
        double widest = 0;
        for (double i = first; i <= last; ++i)
            widest = std::max(widest, labels.width(textOf(tickValue(i, step))));
        if (step / dt * 20 / kTwipsPerPixel >= widest + kLabelGap)
            break;
        step = roundStepAtLeast(step * 1.5);
    }
    for (double i = first; step > 0 && i <= last; ++i) {
        const double t = tickValue(i, step);
        const double x = cellCentre(timeX(0) + 20 * (t / dt), 0).x();
        if (i == 0 || !std::isfinite(t) || !std::isfinite(x))
            continue;   // the origin has its 0 already
        painter.drawLine(QPointF(x, origin.y() - 0.5 - kTickLength), QPointF(x, origin.y() - 0.5));
        labels.below(x, origin.y() + 2, textOf(t));
    }
    painter.restore();
}
