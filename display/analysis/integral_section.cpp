#include "display/analysis/integral_section.h"

#include "display/analysis/equilibrium_text.h"
#include "display/toolkit/conversions.h"
#include "model/analysis/equilibria.h"
#include "model/analysis/first_integral.h"
#include "model/analysis/lyapunov.h"

#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace {

QLabel *wrappedLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A coefficient as a term of a sum: "+ 2 x", "− 0,5 x", nothing for 0.
QString term(double coefficient, const QString &what, bool first)
{
    if (coefficient == 0)
        return {};
    const QString size = coefficient == 1 || coefficient == -1 ? QString() : shortTextOf(std::abs(coefficient)) + u' ';
    // A sign between terms stands apart, as in "x − 4 ln y"; the first term's is its own: "−4 ln x".
    const QString sign = coefficient < 0 ? (first ? QStringLiteral("−") : QStringLiteral("− "))
                                         : first ? QString() : QStringLiteral("+ ");
    return (first ? QString() : QStringLiteral(" ")) + sign + size + what;
}

// The equilibrium inside the open quadrant, when there is one and its linearisation proves it
// unstable.
std::optional<Equilibrium> unstableInteriorPoint(const Coefficients &k)
{
    for (const Equilibrium &e : equilibria(k))
        switch (e.shape == Equilibrium::Shape::Point && e.x > 0 && e.y > 0 ? e.type() : EquilibriumType::Centre) {
        case EquilibriumType::Saddle:
        case EquilibriumType::UnstableNode:
        case EquilibriumType::UnstableDegenerateNode:
        case EquilibriumType::UnstableStarNode:
        case EquilibriumType::UnstableFocus: return e;
        default: break;
        }
    return std::nullopt;
}

} // namespace

IntegralSection::IntegralSection(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("integralYLyapunov"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    formula_ = wrappedLabel(QStringLiteral("integralPrimeraFormula"), this);
    drift_ = wrappedLabel(QStringLiteral("derivaH"), this);
    lyapunov_ = wrappedLabel(QStringLiteral("lyapunov"), this);
    layout->addWidget(formula_);
    layout->addWidget(drift_);
    layout->addWidget(lyapunov_);
}

IntegralClaim integralClaim(const Trajectory &trajectory)
{
    const Coefficients &k = trajectory.coefficients;
    IntegralClaim claim;
    claim.firstIntegral = hasFirstIntegral(k);
    if (claim.firstIntegral) {
        // H = D ln x + E x − A ln y − C y, each term with the coefficient in force.
        QString h = term(k.D, QStringLiteral("ln x"), true);
        h += term(k.E, QStringLiteral("x"), h.isEmpty());
        h += term(-k.A, QStringLiteral("ln y"), h.isEmpty());
        h += term(-k.C, QStringLiteral("y"), h.isEmpty());
        claim.function = h.isEmpty() ? QStringLiteral("0") : h;
        claim.text = QStringLiteral("Integral primera: H(x, y) = %1, constante en cada órbita del primer cuadrante.")
                         .arg(claim.function);
        const std::optional<double> drift = relativeDrift(k, trajectory.xs, trajectory.ys, trajectory.ok);
        claim.drift = QStringLiteral("Deriva relativa de H en la trayectoria: %1 (el mayor |H(t) − H(0)| "
                                     "respecto de |D ln x₀| + |E x₀| + |A ln y₀| + |C y₀| en el punto inicial)")
                          .arg(drift ? QLocale().toString(*drift, 'g', 2) : QStringLiteral("—"));
        claim.driftExact = drift ? exactTextOf(*drift) : QString();
        return claim;
    }
    if (const std::optional<LyapunovFunction> v = gohLyapunovFunction(k)) {
        claim.globallyStable = true;
        claim.point = pointText(v->x, v->y, shortTextOf);
        claim.text = QStringLiteral("%1 es estable globalmente en el primer cuadrante (función de "
                                    "Lyapunov con c₁ = %2 y c₂ = %3)")
                         .arg(claim.point, shortTextOf(v->c1), shortTextOf(v->c2));
    } else if (const std::optional<Equilibrium> p = unstableInteriorPoint(k)) {
        // The criterion cannot decide what the linearisation already settles.
        claim.text = QStringLiteral("%1 es inestable (%2): no hay estabilidad global")
                         .arg(pointText(p->x, p->y, shortTextOf), typeText(p->type()));
    } else {
        claim.text = QStringLiteral("El criterio de la función de Lyapunov (Goh) no decide la estabilidad "
                                    "global de este sistema.");
    }
    return claim;
}

void IntegralSection::showTrajectory(const Trajectory &trajectory)
{
    const IntegralClaim claim = integralClaim(trajectory);
    formula_->setVisible(claim.firstIntegral);
    drift_->setVisible(claim.firstIntegral);
    lyapunov_->setVisible(!claim.firstIntegral);
    if (claim.firstIntegral) {
        formula_->setText(claim.text);
        drift_->setText(claim.drift);
        drift_->setToolTip(claim.driftExact);
    } else {
        lyapunov_->setText(claim.text);
    }
}
