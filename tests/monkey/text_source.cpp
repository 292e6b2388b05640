#include "tests/monkey/text_source.h"

#include <QRandomGenerator>

#include <iterator>

namespace monkey {

namespace {

QString pick(QRandomGenerator &random, const char *const *texts, int count)
{
    return QString::fromUtf8(texts[random.bounded(count)]);
}

} // namespace

QString TextSource::any()
{
    switch (random_.bounded(12)) {
    case 0: return huge();
    case 1: return tiny();
    case 2: return negativeZero();
    case 3: return garbage();
    case 4: return QString();
    case 5: return QStringLiteral("  ") + moderate(20) + QStringLiteral(" ");
    case 6: return wrongSeparator();
    default: return moderate(25);
    }
}

QString TextSource::span()
{
    if (random_.bounded(3) == 0)
        return any();
    return decimal(random_.bounded(1, 800) / 100.0);
}

QString TextSource::coefficient()
{
    if (random_.bounded(4) == 0)
        return any();
    return decimal((random_.bounded(2001) - 1000) / 200.0);
}

QString TextSource::coordinate()
{
    if (random_.bounded(3) == 0)
        return any();
    return decimal((random_.bounded(2401) - 200) / 200.0);
}

QString TextSource::decimal(double value)
{
    QString text = QString::number(value, 'g', 12);
    return text.replace(u'.', decimal_);
}

// Any number of digits, sometimes with an exponent.
QString TextSource::moderate(double size)
{
    const double value = (random_.generateDouble() * 2 - 1) * size;
    QString text = QString::number(value, 'g', 1 + random_.bounded(17));
    if (random_.bounded(4) == 0)
        text += QStringLiteral("e") + QString::number(random_.bounded(-3, 4));
    return text.replace(u'.', decimal_);
}

// Around the largest double and the largest float; sometimes with 400 more digits.
QString TextSource::huge()
{
    static const char *const texts[] = {"1e308", "-1e308", "1.7976931348623157e308", "1.7976931348623159e308",
                                        "1e309", "9e307", "-1e300", "1e200", "1e38", "3.5e38", "1e154"};
    QString text = pick(random_, texts, int(std::size(texts))).replace(u'.', decimal_);
    if (random_.bounded(5) == 0)
        text += QString(400, u'9');
    return text;
}

// Subnormal numbers, numbers that underflow to zero, and small ones.
QString TextSource::tiny()
{
    static const char *const texts[] = {"5e-324", "4.9e-324", "2.4e-324", "1e-320", "1e-310", "1e-400",
                                        "-1e-300", "2.2250738585072014e-308", "1e-45", "1e-3"};
    return pick(random_, texts, int(std::size(texts))).replace(u'.', decimal_);
}

QString TextSource::negativeZero()
{
    static const char *const texts[] = {"-0", "-0.0", "-0e5", "-.0", "+0", "0.000"};
    return pick(random_, texts, int(std::size(texts))).replace(u'.', decimal_);
}

// A number with the other locale's decimal separator.
QString TextSource::wrongSeparator()
{
    QString text = moderate(10);
    return text.replace(decimal_, decimal_ == u'.' ? u',' : u'.');
}

QString TextSource::garbage()
{
    static const char *const texts[] = {"inf", "-inf", "nan", "NaN", "Infinity", "1e", "--1", "1-", "0x10",
                                        "1,000.5", "1.000,5", "e5", ".", ",", "+", "1 2", "abc", "½",
                                        "\u22122", "\u00a05\u00a0", "\U0001F600", "1e99999", "١٢"};
    if (random_.bounded(2) == 0)
        return pick(random_, texts, int(std::size(texts)));
    QString text;
    const int length = random_.bounded(1, 12);
    for (int i = 0; i < length; ++i)
        text += QChar(char16_t(random_.bounded(0x20, 0x7f)));
    return text;
}

} // namespace monkey
