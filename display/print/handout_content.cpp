#include "display/print/handout_content.h"

#include "display/analysis/equilibrium_text.h"
#include "display/analysis/integral_section.h"
#include "display/analysis/turning_point_table.h"
#include "display/print/system_text.h"
#include "display/toolkit/conversions.h"
#include "model/analysis/regime.h"
#include "model/ecology/outcome.h"

namespace {

constexpr std::size_t kQuestions = 4;

std::string numberText(double value)
{
    return textOf(value).toStdString();
}

// The stable point of the closed quadrant that the regime names, as the table writes it.
QString attractorOf(const AnalysedSystem &system, Regime regime)
{
    for (const Equilibrium &e : system.equilibria) {
        if (e.shape != Equilibrium::Shape::Point || !isStable(e.type()) || e.x < 0 || e.y < 0)
            continue;
        const bool onX = e.y == 0 && e.x > 0, onY = e.x == 0 && e.y > 0, inside = e.x > 0 && e.y > 0;
        if ((regime == Regime::XWins && onX) || (regime == Regime::YWins && onY)
            || (regime == Regime::Coexistence && inside) || (regime == Regime::Extinction && e.x == 0 && e.y == 0))
            return placeText(e, shortTextOf);
    }
    return {};
}

// Which species lasts, where one stable equilibrium decides it for every start.
std::optional<HandoutQuestion> survival(const AnalysedSystem &system)
{
    const Regime regime = regimeOf(system.coefficients);
    const QString point = attractorOf(system, regime);
    if (point.isEmpty())
        return std::nullopt;
    QString who;
    switch (regime) {
    case Regime::XWins: who = QStringLiteral("Solo la especie x"); break;
    case Regime::YWins: who = QStringLiteral("Solo la especie y"); break;
    case Regime::Coexistence: who = QStringLiteral("Las dos especies (coexistencia)"); break;
    case Regime::Extinction: who = QStringLiteral("Ninguna: las dos se extinguen"); break;
    default: return std::nullopt;
    }
    return HandoutQuestion{QStringLiteral("¿Qué especie sobrevive a largo plazo?"),
                           QStringLiteral("%1: el único equilibrio que atrae es %2.").arg(who, point)};
}

std::optional<HandoutQuestion> period(const PeriodClaim &claim)
{
    if (!claim.shown)
        return std::nullopt;
    const bool closed = claim.shown->first == Oscillation::Kind::Closed;
    return HandoutQuestion{closed ? QStringLiteral("¿Cuál es el periodo de las oscilaciones?")
                                  : QStringLiteral("¿Cuál es el pseudoperiodo de las oscilaciones?"),
                           claim.text + QStringLiteral(" (tiempo medio entre máximos consecutivos de x)")};
}

std::optional<HandoutQuestion> integral(const IntegralClaim &claim)
{
    if (claim.firstIntegral)
        return HandoutQuestion{QStringLiteral("¿Qué cantidad se conserva a lo largo de cada órbita?"),
                               QStringLiteral("H(x, y) = %1").arg(claim.function)};
    if (claim.globallyStable)
        return HandoutQuestion{QStringLiteral("¿A qué punto tienden todas las soluciones con x > 0 e y > 0?"),
                               claim.text};
    return std::nullopt;
}

QString equilibriaAnswer(const AnalysedSystem &system)
{
    QStringList each;
    for (const Equilibrium &e : system.equilibria)
        each << placeText(e, shortTextOf) + QStringLiteral(": ") + typeText(e.type());
    return each.join(QStringLiteral("; "));
}

// Where x peaks along the trajectory on screen.
std::optional<HandoutQuestion> peaks(const std::vector<TurningPoint> &points, const Trajectory &t)
{
    QStringList times;
    for (const TurningPoint &p : points)
        if (p.variable == TurningPoint::Variable::X && p.kind == TurningPoint::Kind::Maximum)
            times << shortTextOf(static_cast<double>(p.sample) * t.dt);
    if (times.isEmpty())
        return std::nullopt;
    return HandoutQuestion{QStringLiteral("¿En qué instantes alcanza x un máximo en el intervalo calculado?"),
                           QStringLiteral("En t = %1 (muestras más cercanas).").arg(times.join(listSeparator()))};
}

// The values at the last sample computed, which always has an answer (sample 0 at least).
HandoutQuestion lastValues(const Trajectory &t)
{
    int k = kLastSample;
    while (k > 0 && !t.ok(k))
        --k;
    const QString time = shortTextOf(static_cast<double>(k) * t.dt);
    return {QStringLiteral("¿Cuánto valen x e y en t = %1?").arg(time),
            QStringLiteral("(x, y) = %1").arg(pointText(t.xs(k), t.ys(k), shortTextOf))};
}

} // namespace

HandoutContent handoutContent(const AnalysedSystem &system, const Trajectory &trajectory,
                              const std::vector<TurningPoint> &turningPoints,
                              const std::optional<EcologicalParameters> &ecology)
{
    HandoutContent c;
    c.system = systemLines(system, trajectory.xs(0), trajectory.ys(0));
    for (const Equilibrium &e : system.equilibria)
        c.equilibria.push_back({placeText(e, shortTextOf), eigenvaluesText(e, shortTextOf), typeText(e.type())});

    const PeriodClaim periodSaid = periodClaim(turningPoints, trajectory);
    const IntegralClaim integralSaid = integralClaim(trajectory);
    c.claims << periodSaid.text << integralSaid.text;
    if (integralSaid.firstIntegral)
        c.claims << integralSaid.drift;
    QString outcome;
    if (ecology && fitsItsForm(*ecology))
        outcome = QString::fromStdString(outcomeSentence(*ecology, numberText));
    if (!outcome.isEmpty())
        c.claims << QStringLiteral("%1: %2").arg(QString::fromUtf8(formName(ecology->form)), outcome);

    // The questions in this order, each only where the system shows its answer.
    std::vector<std::optional<HandoutQuestion>> candidates{survival(system), period(periodSaid), integral(integralSaid)};
    if (!outcome.isEmpty())
        candidates.push_back(HandoutQuestion{
            QStringLiteral("¿Qué predice el modelo de %1 para estas dos especies?").arg(QString::fromUtf8(formName(ecology->form)).toLower()),
            outcome});
    if (!system.equilibria.empty())
        candidates.push_back(HandoutQuestion{QStringLiteral("¿Cuáles son los puntos de equilibrio y de qué tipo es cada uno?"),
                                             equilibriaAnswer(system)});
    candidates.push_back(peaks(turningPoints, trajectory));
    candidates.push_back(lastValues(trajectory));
    for (const std::optional<HandoutQuestion> &q : candidates)
        if (q && c.questions.size() < kQuestions)
            c.questions.push_back(*q);
    return c;
}
