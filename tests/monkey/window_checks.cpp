#include "tests/monkey/window_checks.h"

#include "display/plots/plot_mapping.h"
#include "display/plots/plot_surface.h"
#include "display/toolkit/conversions.h"
#include "interaction/prog.h"
#include "model/failure.h"

#include <QLocale>
#include <QScrollBar>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <utility>

namespace monkey {

namespace {

// The number a text in the default locale shows, read with std::from_chars, which follows no
// locale, so that the check rests neither on the conversion it checks nor on the machine's
// language; infinity for a text beyond the range of a double, zero for one below its least
// subnormal.
std::optional<double> readBack(const QString &text)
{
    if (text.isEmpty() || text != text.trimmed())
        return std::nullopt;
    const std::string spelled = QString(text).replace(QLocale().decimalPoint(), QStringLiteral(".")).toStdString();
    const char *const last = spelled.data() + spelled.size();
    double value = 0;
    const auto [end, error] = std::from_chars(spelled.data(), last, value);
    if (end != last || (error != std::errc() && error != std::errc::result_out_of_range))
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        const std::size_t exponent = spelled.find_first_of("eE");
        const bool tiny = exponent != std::string::npos && spelled[exponent + 1] == '-';
        const double magnitude = tiny ? 0.0 : HUGE_VAL;
        return spelled.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}

bool inside(double x, double y)
{
    return std::fabs(x) < Model::kBound && std::fabs(y) < Model::kBound;
}

// The pixels that the dots of the valid samples cover in one plot, worked out from the
// mappings: a dot of one logical pixel, or of 3 by 3 pixels centred on its pixel for the
// sample under the cursor, clipped to the drawing area.
std::set<std::pair<int, int>> expectedDots(const Model &m, int cursor, const QSize &area,
                                           const std::function<std::pair<double, double>(int)> &position)
{
    std::set<std::pair<int, int>> pixels;
    for (int k = kFirstSample; k <= kLastSample; ++k) {
        if (!m.ok(k))
            continue;
        const auto [x, y] = position(k);
        if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > FLT_MAX || std::fabs(y) > FLT_MAX)
            continue;  // no single-precision position: not drawn
        const double column = std::floor(double(float(x)) / 15), row = std::floor(double(float(y)) / 15);
        const int size = k == cursor ? 3 : 1;
        const double reach = 1;
        if (column < -reach || row < -reach || column > area.width() + reach || row > area.height() + reach)
            continue;
        const int left = int(column) - (size - 1) / 2, top = int(row) - (size - 1) / 2;
        for (int i = left; i < left + size; ++i)
            for (int j = top; j < top + size; ++j)
                if (i >= 0 && j >= 0 && i < area.width() && j < area.height())
                    pixels.insert({i, j});
    }
    return pixels;
}

} // namespace

std::optional<double> tryNumber(const QString &text)
{
    try {
        return numberFromText(text);
    } catch (const Failure &) {
        return std::nullopt;
    }
}

// Whether a read-out text shows value to within tolerance (plus 15 significant digits).
bool shows(const QString &text, double value, double tolerance)
{
    const std::optional<double> shown = readBack(text);
    if (!shown)
        return false;
    if (std::isinf(*shown))  // 15 digits of the very largest doubles lie beyond the range
        return std::fabs(value) >= 1.797693134862315e308 && std::signbit(*shown) == std::signbit(value);
    return std::fabs(*shown - value) <= tolerance * (1 + 1e-9) + 1e-14 * std::fabs(value);
}

bool sameTrajectory(const Model &a, const Model &b)
{
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (a.ok(k) != b.ok(k) || a.xs(k) != b.xs(k) || a.ys(k) != b.ys(k))
            return false;
    return true;
}

bool sameCoefficients(const Model &a, const Model &b)
{
    return a.A == b.A && a.B == b.B && a.C == b.C && a.D == b.D && a.E == b.E && a.F == b.F;
}

double coefficient(const Model &m, int index)
{
    const double values[] = {m.A, m.B, m.C, m.D, m.E, m.F};
    return values[index];
}

// The stored trajectory keeps the rules of a computation: sample 0 valid; on each side a run
// of valid samples inside the square, then invalid samples of which all but the first hold
// (-1, -1). (The first holds the point that left the square, or a filler that an early end
// of a later computation left in place.)
QString trajectoryFault(const Model &m)
{
    if (!m.ok(0))
        return QStringLiteral("sample 0 is not valid");
    for (int k = kFirstSample; k <= kLastSample; ++k)
        if (!std::isfinite(m.xs(k)) || !std::isfinite(m.ys(k)))
            return QStringLiteral("sample %1 is (%2, %3)").arg(k).arg(m.xs(k)).arg(m.ys(k));
    for (int side : {+1, -1}) {
        bool run = true;
        for (int n = 1; n <= kLastSample; ++n) {
            const int k = side * n;
            const double x = m.xs(k), y = m.ys(k);
            const bool filler = x == Model::kFiller && y == Model::kFiller;
            if (run && m.ok(k)) {
                if (!inside(x, y))
                    return QStringLiteral("valid sample %1 lies outside at (%2, %3)").arg(k).arg(x).arg(y);
            } else if (run) {
                run = false;
                if (inside(x, y) && !filler)
                    return QStringLiteral("first invalid sample %1 lies inside at (%2, %3)").arg(k).arg(x).arg(y);
            } else if (m.ok(k) || !filler) {
                return QStringLiteral("sample %1 after an invalid one is (%2, %3, %4)").arg(k).arg(m.ok(k)).arg(x).arg(y);
            }
        }
    }
    return {};
}

// Each plot shows exactly the dots of the valid samples: every pixel that is not background
// has the text colour and belongs to a dot, and every pixel of a dot is drawn.
QString plotFault(const Prog &window)
{
    const Model &m = window.model;
    const int c = window.HScroll1->value();
    // Where the plots show the plane: the window's view (a key typed in a read-out box may move it).
    const plot_mapping::PlotMapping shown = plot_mapping::mappingFor(const_cast<Prog &>(window).state().view());
    struct View {
        const PlotSurface *plot;
        std::function<std::pair<double, double>(int)> position;
    };
    const View views[] = {
        {window.XYgraf, [&](int k) { return std::pair(shown.phaseX(m.xs(k)), shown.phaseY(m.ys(k))); }},
        {window.Xgraf, [&](int k) { return std::pair(double(2060 + 20 * k), shown.xValueY(m.xs(k))); }},
        {window.Ygraf, [&](int k) { return std::pair(double(2060 + 20 * k), shown.yValueY(m.ys(k))); }},
    };
    for (const View &view : views) {
        const QImage &image = view.plot->image();
        if (image.devicePixelRatio() != 1)
            return QStringLiteral("the plot check counts pixels at scale 1, not %1").arg(image.devicePixelRatio());
        const std::set<std::pair<int, int>> expected = expectedDots(m, c, image.size(), view.position);
        const QRgb background = view.plot->palette().color(QPalette::Base).rgb();
        const QRgb ink = view.plot->palette().color(QPalette::Text).rgb();
        std::set<std::pair<int, int>> drawn;
        for (int j = 0; j < image.height(); ++j) {
            for (int i = 0; i < image.width(); ++i) {
                const QRgb pixel = image.pixel(i, j);
                if (pixel == background)
                    continue;
                if (pixel != ink)
                    return QStringLiteral("%1 has a pixel of colour %2 at (%3, %4)")
                        .arg(view.plot->objectName()).arg(pixel, 8, 16).arg(i).arg(j);
                drawn.insert({i, j});
            }
        }
        if (drawn != expected) {
            std::pair<int, int> first{-1, -1};
            QString which;
            for (const auto &p : expected)
                if (!drawn.count(p)) {
                    first = p;
                    which = QStringLiteral("missing");
                    break;
                }
            if (which.isEmpty())
                for (const auto &p : drawn)
                    if (!expected.count(p)) {
                        first = p;
                        which = QStringLiteral("extra");
                        break;
                    }
            return QStringLiteral("%1 shows %2 dark pixels, the valid samples cover %3; first %4 pixel (%5, %6)")
                .arg(view.plot->objectName()).arg(drawn.size()).arg(expected.size()).arg(which).arg(first.first)
                .arg(first.second);
        }
    }
    return {};
}

} // namespace monkey
