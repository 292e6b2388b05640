// Fuzzes the reading of scenario files.
//
// Input: the bytes of a file.
//
// Properties:
// - scenarioFromJson never crashes; it either refuses the bytes with a message that names the
//   file, or gives a scenario whose every number is finite and within its range.
// - An accepted scenario, written and read again, is accepted and writes the very same bytes:
//   the shortest decimals tell every double apart (the sign of a zero included), so nothing of it
//   changed on the way.
// - The diagram's range rounds to few ticks within it, in ascending order, each with a number of
//   its own, at every width of the diagram; the scales of the scenario's view are drawn, each
//   number inside the plot. Both end in bounded time (libFuzzer's -timeout catches a hang).
#include "display/analysis/overlays/scale_painter.h"
#include "display/bifurcation/diagram_ticks.h"
#include "display/plots/plot_mapping.h"
#include "state/scenario.h"
#include "tests/fuzz/fuzz_check.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <variant>

namespace {

bool finite(const Coefficients &k)
{
    return std::isfinite(k.A) && std::isfinite(k.B) && std::isfinite(k.C) && std::isfinite(k.D)
           && std::isfinite(k.E) && std::isfinite(k.F);
}

void checkRanges(const Scenario &s)
{
    FUZZ_CHECK(finite(s.coefficients) && std::isfinite(s.x0) && std::isfinite(s.y0), "a number that is not finite");
    FUZZ_CHECK(std::isfinite(s.span) && s.span / 100 > 0, "span %g", s.span);
    FUZZ_CHECK(s.cursor >= kFirstSample && s.cursor <= kLastSample, "cursor %d", s.cursor);
    FUZZ_CHECK(plane_view::clamped(s.view) == s.view, "view (%g, %g, %g) beyond the limits", s.view.left,
               s.view.bottom, s.view.side);
    FUZZ_CHECK(s.diagram.coefficient >= 0 && s.diagram.coefficient <= 5 && s.diagram.from < s.diagram.to
                   && std::isfinite(s.diagram.from) && std::isfinite(s.diagram.to),
               "diagram %d over [%g, %g]", s.diagram.coefficient, s.diagram.from, s.diagram.to);
    FUZZ_CHECK(s.kept.size() <= ExplorerState::kMaxKept, "%zu kept", s.kept.size());
    FUZZ_CHECK(s.kept.empty() || s.options[std::size_t(ExplorerState::Option::KeepTrajectories)],
               "kept trajectories without the option");
    for (const Scenario::TrajectoryInputs &t : s.kept)
        FUZZ_CHECK(finite(t.coefficients) && std::isfinite(t.x0) && std::isfinite(t.y0) && t.span / 100 > 0,
                   "a kept trajectory's inputs");
}

// The ticks a diagram from 160 to 1000 pixels wide puts under the range (one per 80 pixels).
void checkDiagramTicks(const Scenario::Diagram &d)
{
    for (int maxCount : {2, 5, 9, 12}) {
        const Ticks ticks = roundTicks(d.from, d.to, maxCount);
        FUZZ_CHECK(ticks.values.size() <= std::size_t(3 * maxCount + 2), "%zu ticks for %d over [%g, %g]",
                   ticks.values.size(), maxCount, d.from, d.to);
        QString previous;
        for (std::size_t i = 0; i < ticks.values.size(); ++i) {
            const double value = ticks.values[i];
            FUZZ_CHECK(value >= d.from && value <= d.to && (i == 0 || value > ticks.values[i - 1]),
                       "tick %.17g over [%.17g, %.17g]", value, d.from, d.to);
            const QString text = tickText(value, ticks);
            FUZZ_CHECK(text != previous, "two ticks read \"%s\" over [%.17g, %.17g]", qPrintable(text), d.from, d.to);
            previous = text;
        }
    }
}

// The scales of the phase plane and of both time plots at the view, in pictures of the designed size.
void checkScales(const Scenario &s)
{
    const plot_mapping::PlotMapping m = plot_mapping::mappingFor(s.view);
    const double side = plot_mapping::kPhaseSideTwips / 15.0;
    QImage image(int(side), int(side), QImage::Format_RGB32);
    const QRectF inside(QPointF(0, 0), QSizeF(image.size()));
    QPainter painter(&image);
    const auto checkBoxes = [&](const std::vector<QRectF> &boxes) {
        for (const QRectF &box : boxes)
            FUZZ_CHECK(inside.contains(box), "a number of a scale outside the plot, view (%.17g, %.17g, %.17g)",
                       s.view.left, s.view.bottom, s.view.side);
    };
    checkBoxes(paintPhaseScales(painter, image.size(), m));
    for (const plot_mapping::ValueAxis &values : {m.xValues, m.yValues})
        checkBoxes(paintTimeScales(painter, image.size(), s.span / 100, values, m.times));
}

} // namespace

// The scales need a font, and so an application, on the offscreen platform.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static std::unique_ptr<QGuiApplication> application(new QGuiApplication(*argc, *argv));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString name = QStringLiteral("escena.lvesc");
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto read = scenarioFromJson(bytes, name);
    if (const QString *message = std::get_if<QString>(&read)) {
        FUZZ_CHECK(message->startsWith(QStringLiteral("No se puede abrir el escenario «escena.lvesc»: ")),
                   "message \"%s\"", qPrintable(*message));
        return 0;
    }
    const Scenario &s = std::get<Scenario>(read);
    checkRanges(s);
    checkDiagramTicks(s.diagram);
    checkScales(s);
    const QByteArray written = scenarioToJson(s);
    const auto again = scenarioFromJson(written, name);
    FUZZ_CHECK(std::holds_alternative<Scenario>(again), "written back, refused: %s",
               qPrintable(std::get<QString>(again)));
    const QByteArray rewritten = scenarioToJson(std::get<Scenario>(again));
    FUZZ_CHECK(rewritten == written, "written back, changed:\n%s\n---\n%s", written.constData(), rewritten.constData());
    return 0;
}
