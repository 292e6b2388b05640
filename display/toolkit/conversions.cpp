#include "display/toolkit/conversions.h"

#include "model/failure.h"

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

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

// "2,9e-14" as "2,9·10⁻¹⁴", as a reader writes a power of ten; other texts as they are.
QString withPowerOfTen(const QString &text)
{
    const qsizetype e = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    if (e < 0)
        return text;
    bool ok = false;
    const int exponent = text.mid(e + 1).toInt(&ok);
    if (!ok)
        return text;
    static constexpr char16_t kSuperscripts[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    QString power = exponent < 0 ? QStringLiteral("⁻") : QString();
    for (const QChar digit : QString::number(std::abs(exponent)))
        power += QChar(kSuperscripts[digit.unicode() - u'0']);
    return text.left(e) + QStringLiteral("·10") + power;
}

QString shortTextOf(double value)
{
    return withPowerOfTen(shortestText(value, 6));
}

QString readableTextOf(double value)
{
    return withPowerOfTen(textOf(value));
}

QString exactTextOf(double value)
{
    return shortestText(value, QLocale::FloatingPointShortest);
}

QString listSeparator()
{
    return QLocale().decimalPoint() == QLatin1String(",") ? QStringLiteral("; ") : QStringLiteral(", ");
}

QString pointText(double x, double y, QString (*number)(double))
{
    return u'(' + number(x) + listSeparator() + number(y) + u')';
}

QString withPointsInLocale(const QString &text)
{
    static const QRegularExpression point(QStringLiteral(R"(\((-?\d+(?:\.\d+)?), (-?\d+(?:\.\d+)?)\))"));
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &m : point.globalMatch(text)) {
        result += QStringView(text).mid(done, m.capturedStart() - done);
        result += pointText(m.captured(1).toDouble(), m.captured(2).toDouble());
        done = m.capturedEnd();
    }
    result += QStringView(text).mid(done);
    return result;
}

QString textWithin(double value, double tolerance)
{
    // 17 significant digits give back every double exactly.
    for (int digits = 1; digits < 17; ++digits) {
        const QString text = shortestText(value, digits);
        if (std::fabs(userLocale().toDouble(text) - value) <= tolerance)
            return text;
    }
    return shortestText(value, 17);
}

double Round(double value, int digits)
{
    // From 2^52 on every double is a whole number. Beyond 330 decimals nothing is left to round.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0 || digits < 0 || digits > 330)
        return value;
    // to_chars rounds the exact binary value to the requested decimals, an exact tie to the
    // even digit; reading the decimal back gives the double nearest to it. Scaling by a power
    // of ten in double instead would round twice and miss the last place of large values.
    std::array<char, 400> digitsText{};
    const auto written = std::to_chars(digitsText.data(), digitsText.data() + digitsText.size(), value,
                                       std::chars_format::fixed, digits);
    if (written.ec != std::errc())
        return value;
    double rounded = value;
    std::from_chars(digitsText.data(), written.ptr, rounded);
    return rounded;
}

QColor RGB(int red, int green, int blue)
{
    return QColor(red, green, blue);
}
