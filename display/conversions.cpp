#include "conversions.h"

#include "failure.h"

#include <QLocale>

#include <cmath>

namespace {

QLocale userLocale()
{
    QLocale locale;  // the default locale, which is the system's unless a test sets another
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

QString shortestText(double value, int significantDigits)
{
    if (value == 0)
        return QStringLiteral("0");  // also for -0, which is no negative number
    return userLocale().toString(value, 'g', significantDigits);
}

} // namespace

double numberFromText(const QString &text)
{
    bool ok = false;
    const double value = userLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw Failure(Failure::Kind::TypeMismatch, "type mismatch");
    return value;
}

QString textOf(double value)
{
    return shortestText(value, 15);
}

QString textOfSingle(float value)
{
    return shortestText(static_cast<double>(value), 7);
}

double Round(double value, int digits)
{
    // From 2^52 on every double is a whole number, and scaling it could overflow.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0 || digits < 0)
        return value;
    const double scale = std::pow(10.0, digits);
    const double scaled = value * scale;
    if (!std::isfinite(scaled))
        return value;
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole / scale;
}

QColor RGB(int red, int green, int blue)
{
    return QColor(red, green, blue);
}
