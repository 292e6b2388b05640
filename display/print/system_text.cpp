#include "display/print/system_text.h"

#include "display/toolkit/conversions.h"

#include <cmath>

namespace {

// The bracket of one equation, "4 - 0,5 x - y": the constant first, then the terms in x and y,
// each sign standing apart as in the window's other equations.
QString bracket(double constant, double inX, double inY)
{
    QString text;
    const auto add = [&text](double coefficient, const QString &variable) {
        if (coefficient == 0)
            return;
        const double size = std::fabs(coefficient);
        const QString factor = !variable.isEmpty() && size == 1 ? QString() : exactTextOf(size);
        const QString product = factor.isEmpty() || variable.isEmpty() ? factor + variable : factor + u' ' + variable;
        if (text.isEmpty())
            text = (coefficient < 0 ? QStringLiteral("-") : QString()) + product;
        else
            text += (coefficient < 0 ? QStringLiteral(" - ") : QStringLiteral(" + ")) + product;
    };
    add(constant, {});
    add(inX, QStringLiteral("x"));
    add(inY, QStringLiteral("y"));
    return text;
}

QString equation(const QString &variable, double constant, double inX, double inY)
{
    const QString inside = bracket(constant, inX, inY);
    if (inside.isEmpty())
        return QStringLiteral("%1' = 0").arg(variable);
    return QStringLiteral("%1' = %1 (%2)").arg(variable, inside);
}

} // namespace

QStringList equationLines(const Coefficients &k)
{
    return {equation(QStringLiteral("x"), k.A, k.B, k.C), equation(QStringLiteral("y"), k.D, k.E, k.F)};
}

QString coefficientLine(const Coefficients &k)
{
    const double values[] = {k.A, k.B, k.C, k.D, k.E, k.F};
    QStringList parts;
    for (int i = 0; i < 6; ++i)
        parts << QStringLiteral("%1 = %2").arg(QChar(u'A' + i), exactTextOf(values[i]));
    return parts.join(listSeparator());
}

QString startLine(const AnalysedSystem &system, double x0, double y0)
{
    return QStringLiteral("Punto inicial: %1    Intervalo de tiempo: %2 (dt = %3)")
        .arg(pointText(x0, y0, exactTextOf), exactTextOf(100 * system.dt), exactTextOf(system.dt));
}

QStringList systemLines(const AnalysedSystem &system, double x0, double y0)
{
    return equationLines(system.coefficients) << coefficientLine(system.coefficients) << startLine(system, x0, y0);
}
