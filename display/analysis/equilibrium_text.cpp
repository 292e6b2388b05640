#include "display/analysis/equilibrium_text.h"

#include "model/analysis/type_names.h"

#include "display/toolkit/conversions.h"

#include <QStringList>

#include <cmath>

QString typeText(EquilibriumType type)
{
    // The window says why a type is undetermined or left open; everywhere else the short name
    // serves.
    if (type == EquilibriumType::Undetermined)
        return QStringLiteral("indeterminado (números demasiado grandes)");
    if (type == EquilibriumType::NonHyperbolic)
        return QStringLiteral("no hiperbólico (la linealización no decide)");
    return QString::fromUtf8(typeName(type));
}

QString eigenvaluesText(const Equilibrium &equilibrium, NumberText number)
{
    if (equilibrium.shape != Equilibrium::Shape::Point || !equilibrium.linearisation.eigenvalues.representable)
        return QStringLiteral("—");
    const Eigenvalues &e = equilibrium.linearisation.eigenvalues;
    if (e.isComplex())
        return QStringLiteral("%1 ± %2i").arg(number(e.first), number(e.imaginary));
    return number(e.first) + listSeparator() + number(e.second);
}

QString lineText(const StraightLine &line, NumberText number)
{
    QString text;
    auto addTerm = [&text, number](double coefficient, const QString &variable) {
        if (coefficient == 0)
            return;
        const bool negative = coefficient < 0;
        const double size = std::fabs(coefficient);
        const QString factor = !variable.isEmpty() && size == 1 ? QString() : number(size);
        const QString separator = factor.isEmpty() || variable.isEmpty() ? QString() : QStringLiteral(" ");
        if (text.isEmpty())
            text = (negative ? QStringLiteral("-") : QString()) + factor + separator + variable;
        else
            text += (negative ? QStringLiteral(" - ") : QStringLiteral(" + ")) + factor + separator + variable;
    };
    addTerm(line.a, {});
    addTerm(line.b, QStringLiteral("x"));
    addTerm(line.c, QStringLiteral("y"));
    return (text.isEmpty() ? QStringLiteral("0") : text) + QStringLiteral(" = 0");
}

QString placeText(const Equilibrium &equilibrium, NumberText number)
{
    switch (equilibrium.shape) {
    case Equilibrium::Shape::Point:
        return pointText(equilibrium.x, equilibrium.y, number);
    case Equilibrium::Shape::Line:
        return lineText(equilibrium.line, number);
    case Equilibrium::Shape::Plane:
        return QStringLiteral("todo el plano");
    }
    return {};
}

QString tooltipText(const Equilibrium &equilibrium)
{
    QStringList lines{placeText(equilibrium)};
    if (equilibrium.shape == Equilibrium::Shape::Point)
        lines << QStringLiteral("Autovalores: ") + eigenvaluesText(equilibrium);
    lines << typeText(equilibrium.type());
    return lines.join(QLatin1Char('\n'));
}
