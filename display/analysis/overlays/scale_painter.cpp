#include "display/analysis/overlays/scale_painter.h"

#include "display/analysis/overlays/axis_titles.h"
#include "display/analysis/overlays/overlay_style.h"
#include "display/plots/plot_mapping.h"
#include "display/plots/tick_step.h"
#include "display/plots/twips.h"
#include "display/toolkit/conversions.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using namespace overlay_style;

// The least room between two time labels, and between a label and its neighbour's text.
constexpr double kMinimumTimeSpacing = 28;
constexpr double kLabelGap = 6;
// The least room between a number and the border.
constexpr double kBorderMargin = 1;

QPointF cellCentre(double xTwips, double yTwips)
{
    return pixelCellOf(xTwips, yTwips) + QPointF(0.5, 0.5);
}

// The small grey style of the scales; gives the metrics of its font.
QFontMetricsF useScaleStyle(QPainter &painter, int fontPixels)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(fontPixels);
    painter.setFont(font);
    painter.setPen(QPen(kScale, 1));
    painter.setRenderHint(QPainter::Antialiasing, false);
    return painter.fontMetrics();
}

// The numbers of an axis whose ticks are `step` apart share one count of decimals, the step's
// ("2,942080" beside "2,942081", "0,5" beside "1,0"); beyond what fixed digits read well, each is
// as short as it reads, a power of ten as a reader writes it ("1·10³⁰⁰").
class AxisNumbers {
public:
    explicit AxisNumbers(double step)
        : decimals_(step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)))
    {
    }

    QString operator()(double value) const
    {
        if (value == 0)
            return QStringLiteral("0");
        if (decimals_ > kMostDecimals || !(std::fabs(value) < kLargestFixed) || !(std::fabs(value) >= kSmallestFixed))
            return readableTextOf(value);
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'f', decimals_);
    }

private:
    static constexpr int kMostDecimals = 12;
    static constexpr double kLargestFixed = 1e12;
    static constexpr double kSmallestFixed = 1e-12;
    int decimals_;
};

// Writes the numbers of a scale, each placed by its digits' box. A box may move inwards by up
// to half its size to stay inside the drawing area; one that still does not fit, or that
// would touch a number already written or cross an axis line, is left out.
class LabelWriter {
public:
    LabelWriter(QPainter &painter, const QSizeF &area, std::vector<QRectF> axisLines, int fontPixels)
        : painter_(painter), area_(area), metrics_(useScaleStyle(painter, fontPixels)), axisLines_(std::move(axisLines))
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

    // Centred on x, its bottom at `bottom`.
    void above(double x, double bottom, const QString &text)
    {
        write(x - width(text) / 2, bottom - metrics_.capHeight(), text);
    }

    // Its left edge at `left`, centred on y.
    void rightOf(double left, double y, const QString &text) { write(left, y - metrics_.capHeight() / 2, text); }

    // Its top right corner at `corner`.
    void belowLeftOf(QPointF corner, const QString &text) { write(corner.x() - width(text), corner.y(), text); }

    std::vector<QRectF> written() const { return written_; }

private:
    void write(double left, double top, const QString &text)
    {
        const double w = width(text);
        const double h = metrics_.capHeight();
        const auto moved = [](double start, double size, double room) {
            const double inside = std::clamp(start, kBorderMargin, std::max(kBorderMargin, room - kBorderMargin - size));
            return std::fabs(inside - start) <= size / 2 + 1 ? inside : start;
        };
        const QRectF box(moved(left, w, area_.width()), moved(top, h, area_.height()), w, h);
        const QRectF room(QPointF(0, 0), area_);
        if (!room.adjusted(kBorderMargin, kBorderMargin, -kBorderMargin, -kBorderMargin).contains(box))
            return;
        // Numbers side by side keep a gap of their height, so that none run together; stacked
        // ones half of it, which reads as separate lines and keeps a unit's ticks numbered.
        const QRectF spaced = box.adjusted(-h, -h / 2, h, h / 2);
        for (const QRectF &other : written_)
            if (spaced.intersects(other))
                return;
        for (const QRectF &line : axisLines_)
            if (box.intersects(line))
                return;
        painter_.drawText(QPointF(box.left(), box.bottom()), text);
        written_.push_back(box);
    }

    QPainter &painter_;
    QSizeF area_;
    QFontMetricsF metrics_;
    std::vector<QRectF> axisLines_;
    std::vector<QRectF> written_;
};

// The pixels of the two axis lines through the cell centre `origin`, and of the axis titles,
// which the numbers keep clear of.
std::vector<QRectF> obstacles(QPointF origin, const QSizeF &area, std::vector<QRectF> titles)
{
    titles.push_back(QRectF(0, origin.y() - 0.5, area.width(), 1));
    titles.push_back(QRectF(origin.x() - 0.5, 0, 1, area.height()));
    return titles;
}

// Where the scales of two axis lines crossing at `exact` are drawn: on the lines, or, for a
// line out of view, along the nearest edge, with the ticks and numbers on the inner side.
struct ScaleOrigin {
    QPointF at;
    bool horizontalBelow = false, horizontalAbove = false;   // the horizontal line out of view
    bool verticalLeft = false, verticalRight = false;        // the vertical line out of view

    ScaleOrigin(QPointF exact, const QSizeF &area)
    {
        const auto inside = [](double v, double size) { return std::clamp(v, 0.5, std::max(0.5, size - 0.5)); };
        at = {inside(exact.x(), area.width()), inside(exact.y(), area.height())};
        horizontalBelow = at.y() < exact.y();
        horizontalAbove = at.y() > exact.y();
        verticalLeft = at.x() > exact.x();
        verticalRight = at.x() < exact.x();
    }
    bool inView() const { return !horizontalBelow && !horizontalAbove && !verticalLeft && !verticalRight; }

    // A tick of the horizontal line at x, upwards, with its number below the line. A line out
    // of view has no ticks: its numbers stand along the nearest edge.
    void horizontalTick(QPainter &painter, LabelWriter &labels, double x, const QString &text) const
    {
        if (horizontalAbove)
            labels.below(x, at.y() + 2, text);
        else if (horizontalBelow)
            labels.above(x, at.y() - 2, text);
        else {
            painter.drawLine(QPointF(x, at.y() - 0.5 - kTickLength), QPointF(x, at.y() - 0.5));
            labels.below(x, at.y() + 2, text);
        }
    }

    // The same for the vertical line at y: the tick rightwards, the number left of the line.
    void verticalTick(QPainter &painter, LabelWriter &labels, double y, const QString &text) const
    {
        if (verticalLeft)
            labels.rightOf(at.x() + 2, y, text);
        else if (verticalRight)
            labels.leftOf(at.x() - 2, y, text);
        else {
            painter.drawLine(QPointF(at.x() + 0.5, y), QPointF(at.x() + 0.5 + kTickLength, y));
            labels.leftOf(at.x() - 2, y, text);
        }
    }
};

// The round step between ticks of an axis drawn at `twipsPerUnit`: one unit at the designed
// scale, and never closer together than that on screen.
double unitStep(double twipsPerUnit, double designedTwipsPerUnit)
{
    return roundStepAtLeast(designedTwipsPerUnit / twipsPerUnit);
}

// The multiples of a step within a range, counted by an integer: first × step and the count - 1
// after it. None when there are too many to draw, or when they are beyond the whole numbers
// that adding one can count.
struct TickSpan {
    double first = 0;
    int count = 0;

    bool holds(double i) const { return count > 0 && i >= first && i - first < count; }
    double last() const { return first + (count - 1); }
};

constexpr int kMostTicks = 1001;
constexpr double kLargestCounted = 0x1p53;

TickSpan ticksWithin(double low, double high, double step)
{
    if (!(step > 0))
        return {};
    const double first = std::ceil(std::min(low, high) / step);
    const double last = std::floor(std::max(low, high) / step);
    if (!(std::fabs(first) <= kLargestCounted && std::fabs(last) <= kLargestCounted) || !(last - first < kMostTicks))
        return {};
    return {first, last < first ? 0 : static_cast<int>(last - first) + 1};
}

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

double timeTickStep(double dt, double minimumPixels)
{
    const double pixelsPerSample = 20 / kTwipsPerPixel;
    return roundStepAtLeast(minimumPixels / pixelsPerSample * dt);
}

std::vector<QRectF> paintPhaseScales(QPainter &painter, const QSizeF &area, const plot_mapping::PlotMapping &m,
                                     int fontStep)
{
    painter.save();
    // Ticks inside the quadrant, numbers outside it, below the x axis and left of the y axis;
    // the origin's 0 first.
    const ScaleOrigin place(cellCentre(m.phaseX(0), m.phaseY(0)), area);
    const QPointF origin = place.at;
    LabelWriter labels(painter, area, obstacles(origin, area, axisTitleRects(m, PlotKind::PhasePlane, area, QStringLiteral("t"), fontStep)),
                       kScaleFontPixels + fontStep * kFontStepPixels);
    if (place.inView())
        labels.belowLeftOf(origin + QPointF(-2, 2), textOf(0));
    const double step = unitStep(m.phaseStep, plot_mapping::kPhaseTwipsPerUnit);
    const AxisNumbers labelOf(step);
    const TickSpan xs = ticksWithin(m.phaseUnitsX(0), m.phaseUnitsX(area.width() * kTwipsPerPixel), step);
    const TickSpan ys = ticksWithin(m.phaseUnitsY(area.height() * kTwipsPerPixel), m.phaseUnitsY(0), step);
    const auto tick = [&](double i) {
        if (i == 0)
            return;   // the origin has its 0 already
        const double value = tickValue(i, step);
        if (xs.holds(i))
            place.horizontalTick(painter, labels, cellCentre(m.phaseX(value), 0).x(), labelOf(value));
        if (ys.holds(i))
            place.verticalTick(painter, labels, cellCentre(0, m.phaseY(value)).y(), labelOf(value));
    };
    // Both axes' ticks in ascending order, the lower span first, then what the higher one has
    // beyond it, and never the indices between two spans far apart.
    const bool xFirst = ys.count == 0 || (xs.count > 0 && xs.first <= ys.first);
    const TickSpan &lower = xFirst ? xs : ys;
    const TickSpan &higher = xFirst ? ys : xs;
    for (int n = 0; n < lower.count; ++n)
        tick(lower.first + n);
    for (int n = 0; n < higher.count; ++n)
        if (lower.count == 0 || higher.first + n > lower.last())
            tick(higher.first + n);
    painter.restore();
    return labels.written();
}

std::vector<QRectF> paintTimeScales(QPainter &painter, const QSizeF &area, double dt, const plot_mapping::ValueAxis &values,
                                    const plot_mapping::TimeAxis &times, int fontStep, const QString &timeTitle)
{
    const auto timeX = [&times](double k) { return times.x(k); };
    painter.save();
    const ScaleOrigin place(cellCentre(timeX(0), values.y(0)), area);
    const QPointF origin = place.at;
    plot_mapping::PlotMapping titled;
    titled.xValues = values;
    titled.yValues = values;
    titled.times = times;
    std::vector<QRectF> titles = axisTitleRects(titled, PlotKind::XAgainstTime, area, timeTitle, fontStep);
    for (const QRectF &rect : axisTitleRects(titled, PlotKind::YAgainstTime, area, timeTitle, fontStep))
        titles.push_back(rect);
    LabelWriter labels(painter, area, obstacles(origin, area, std::move(titles)),
                       kScaleFontPixels + fontStep * kFontStepPixels);
    if (place.inView())
        labels.belowLeftOf(origin + QPointF(-2, 2), textOf(0));

    const double valueStep = unitStep(values.step, plot_mapping::kValueTwipsPerUnit);
    const AxisNumbers valueLabel(valueStep);
    const TickSpan valueTicks = ticksWithin(values.valueAt(area.height() * kTwipsPerPixel), values.valueAt(0), valueStep);
    for (int n = 0; n < valueTicks.count; ++n) {
        const double i = valueTicks.first + n;
        if (i == 0)
            continue;
        const double value = tickValue(i, valueStep);
        const double y = cellCentre(timeX(0), values.y(value)).y();
        painter.drawLine(QPointF(origin.x() - 0.5 - kTickLength, y), QPointF(origin.x() - 0.5, y));
        labels.leftOf(origin.x() - 2 - kTickLength, y, valueLabel(value));
    }

    // The round step whose widest label still leaves a gap to the next one.
    const double firstSample = times.sampleAt(0);
    const double lastSample = times.sampleAt(area.width() * kTwipsPerPixel);
    // Grown plots have more pixels per sample: the spacing asked for is that many samples fewer.
    double step = timeTickStep(dt, kMinimumTimeSpacing * plot_mapping::kTimeTwipsPerSample / times.step);
    TickSpan timeTicks;
    for (int attempt = 0; attempt < 8 && step > 0; ++attempt) {
        timeTicks = ticksWithin(firstSample * dt, lastSample * dt, step);
        if (timeTicks.count == 0) {
            step = 0;
            break;
        }
        double widest = 0;
        for (int n = 0; n < timeTicks.count; ++n)
            widest = std::max(widest, labels.width(AxisNumbers(step)(tickValue(timeTicks.first + n, step))));
        if (step / dt * times.step / kTwipsPerPixel >= widest + kLabelGap)
            break;
        step = roundStepAtLeast(step * 1.5);
    }
    const AxisNumbers timeLabel(step > 0 ? step : 1);
    for (int n = 0; step > 0 && n < timeTicks.count; ++n) {
        const double i = timeTicks.first + n;
        const double t = tickValue(i, step);
        const double x = cellCentre(timeX(t / dt), 0).x();
        if (i == 0 || !std::isfinite(t) || !std::isfinite(x))
            continue;   // the origin has its 0 already
        place.horizontalTick(painter, labels, x, timeLabel(t));
    }
    painter.restore();
    return labels.written();
}
