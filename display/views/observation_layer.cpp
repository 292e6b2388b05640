#include "display/views/observation_layer.h"

#include "display/toolkit/conversions.h"
#include "state/built_in_data.h"

#include <QLocale>

#include <cmath>

namespace {

// The built-in pelts are counted in thousands.
constexpr int kPeltsExponent = 3;
// Powers of ten written out in full, digits grouped by threes with a blank, up to a million,
// and down to a millionth.
constexpr int kWrittenOut = 6;

QString superscript(int n)
{
    static const QChar digits[] = {u'⁰', u'¹', u'²', u'³', u'⁴', u'⁵', u'⁶', u'⁷', u'⁸', u'⁹'};
    QString text = n < 0 ? QStringLiteral("⁻") : QString();
    for (const QChar c : QString::number(std::abs(n)))
        text += digits[c.digitValue()];
    return text;
}

QString powerOfTen(int exponent)
{
    if (exponent >= 0 && exponent <= kWrittenOut) {
        QString digits = QStringLiteral("1") + QString(exponent, QChar(u'0'));
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
            digits.insert(at, QChar(u' '));
        return digits;
    }
    if (exponent < 0 && exponent >= -kWrittenOut)
        return QStringLiteral("0") + QLocale().decimalPoint() + QString(-exponent - 1, QChar(u'0'))
             + QStringLiteral("1");
    return QStringLiteral("10") + superscript(exponent);
}

bool countsYears(const std::string &timeName)
{
    const QString name = QString::fromStdString(timeName).trimmed().toLower();
    return name == QStringLiteral("año") || name == QStringLiteral("años") || name == QStringLiteral("ano")
        || name == QStringLiteral("year") || name == QStringLiteral("years");
}

} // namespace

QString observationUnitText(const ExplorerState::ShownObservations &shown)
{
    const int exponent = shown.scaled.unit.exponent;
    if (built_in_data::isPelts(shown.observed))
        return QStringLiteral("unidades de %1 pieles").arg(powerOfTen(exponent + kPeltsExponent));
    return QStringLiteral("unidades de %1").arg(powerOfTen(exponent));
}

QString observationTimeTitle(const ExplorerState::ShownObservations &shown)
{
    const double offset = shown.scaled.timeOffset;
    if (offset == 0)
        return QStringLiteral("t");
    const QString from = textOf(offset);
    return countsYears(shown.observed.timeName) ? QStringLiteral("años desde %1").arg(from)
                                                : QStringLiteral("t desde %1").arg(from);
}
