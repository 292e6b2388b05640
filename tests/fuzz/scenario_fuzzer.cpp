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
#include "state/scenario.h"
#include "tests/fuzz/fuzz_check.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
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

} // namespace

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
    const QByteArray written = scenarioToJson(s);
    const auto again = scenarioFromJson(written, name);
    FUZZ_CHECK(std::holds_alternative<Scenario>(again), "written back, refused: %s",
               qPrintable(std::get<QString>(again)));
    const QByteArray rewritten = scenarioToJson(std::get<Scenario>(again));
    FUZZ_CHECK(rewritten == written, "written back, changed:\n%s\n---\n%s", written.constData(), rewritten.constData());
    return 0;
}
