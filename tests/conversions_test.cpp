// Numbers read from and written to text in the user's locale, and rounding.
#include "display/toolkit/conversions.h"
#include "model/failure.h"
#include "tests/scoped_locale.h"

#include <QLocale>
#include <QTest>

#include <QRandomGenerator>

#include <charconv>
#include <cfloat>
#include <cmath>
#include <string>

class ConversionsTest : public QObject {
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void textOfDouble_data();
    void textOfDouble();
    void shortText_data();
    void shortText();
    void pointsInText_data();
    void pointsInText();
    void textOfSingle_data();
    void textOfSingle();
    void roundTrips_data();
    void roundTrips();
    void rounding_data();
    void rounding();
    void roundingIsExact_data();
    void roundingIsExact();
    void roundingSweep();
    void colours();
};

void ConversionsTest::accepted_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("C plain") << "C" << "2.5" << 2.5;
    QTest::newRow("C blanks around") << "C" << "  -7  " << -7.0;
    QTest::newRow("C plus sign") << "C" << "+3" << 3.0;
    QTest::newRow("C exponent") << "C" << "1E5" << 1e5;
    QTest::newRow("C trailing zeros") << "C" << "2.50" << 2.5;
    QTest::newRow("C largest double") << "C" << "1.7976931348623157e308" << DBL_MAX;
    QTest::newRow("C subnormal") << "C" << "5e-324" << DBL_TRUE_MIN;
    QTest::newRow("es comma") << "es_ES" << "2,5" << 2.5;
    QTest::newRow("es exponent") << "es_ES" << "-1,5E-3" << -1.5e-3;
    QTest::newRow("es tab around") << "es_ES" << "\t0,74 " << 0.74;
}

void ConversionsTest::accepted()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(double, value);
    const ScopedLocale scoped{QLocale(locale)};
    QCOMPARE(numberFromText(text), value);
}

// Texts that are no finite number are a type mismatch; none may bring an infinity or a NaN.
void ConversionsTest::rejected_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    for (const char *locale : {"C", "es_ES"}) {
        const QString l = QString::fromLatin1(locale);
        for (const char *text : {"", "   ", "abc", "inf", "-inf", "nan", "NaN", "Infinity", "1e400",
                                 "-1e309", "0x10", "1e", "5 5", "--1", "1,234.5", "٣"})
            QTest::addRow("%s [%s]", locale, text) << l << QString::fromUtf8(text);
    }
    // The other decimal separator is no separator of the locale, nor a group separator.
    QTest::newRow("C comma") << "C" << "2,5";
    QTest::newRow("es dot") << "es_ES" << "1.5";
    QTest::newRow("es dot as thousands") << "es_ES" << "2.500";
}

void ConversionsTest::rejected()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    const ScopedLocale scoped{QLocale(locale)};
    QVERIFY_THROWS_EXCEPTION(Failure, numberFromText(text));
}

void ConversionsTest::textOfDouble_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << "C" << 5.0 << "5";
    QTest::newRow("negative whole") << "C" << -2.0 << "-2";
    QTest::newRow("one third, 15 digits") << "C" << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("2.50") << "C" << 2.50 << "2.5";
    QTest::newRow("37 dt") << "C" << 37 * 0.02 << "0.74";
    QTest::newRow("0.1 + 0.2") << "C" << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative zero") << "C" << -0.0 << "0";
    QTest::newRow("large") << "C" << 1e20 << "1e+20";
    QTest::newRow("small") << "C" << 1e-5 << "1e-05";
    QTest::newRow("largest double") << "C" << DBL_MAX << "1.79769313486232e+308";
    QTest::newRow("es one third") << "es_ES" << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("es 37 dt") << "es_ES" << 37 * 0.02 << "0,74";
    QTest::newRow("es no group separator") << "es_ES" << 123456.5 << "123456,5";
}

void ConversionsTest::textOfDouble()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    const ScopedLocale scoped{QLocale(locale)};
    QCOMPARE(textOf(value), text);
}

// The analysis' texts write a power of ten as a reader does; the read-outs keep textOf's form.
void ConversionsTest::shortText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readable");   // all 15 digits
    QTest::newRow("six digits") << "es_ES" << 2.424425307 << "2,42443" << "2,424425307";
    QTest::newRow("tiny") << "es_ES" << 2.9e-14 << "2,9·10⁻¹⁴" << "2,9·10⁻¹⁴";
    QTest::newRow("huge") << "C" << 1e300 << "1·10³⁰⁰" << "1·10³⁰⁰";
    QTest::newRow("negative, rounded") << "C" << -1.2345678e-7 << "-1.23457·10⁻⁷" << "-1.2345678·10⁻⁷";
    QTest::newRow("1e-5") << "C" << 1e-5 << "1·10⁻⁵" << "1·10⁻⁵";
}

void ConversionsTest::shortText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QFETCH(QString, readable);
    const ScopedLocale scoped{QLocale(locale)};
    QCOMPARE(shortTextOf(value), text);
    QCOMPARE(readableTextOf(value), readable);
}

// Where the decimal separator is a comma, a semicolon parts the coordinates of a point.
void ConversionsTest::pointsInText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("C") << "C" << "silla (2, 3), nodo (4.5, -1)" << "silla (2, 3), nodo (4.5, -1)";
    QTest::newRow("es") << "es_ES" << "silla (2, 3), nodo (4.5, -1)" << "silla (2; 3), nodo (4,5; -1)";
    QTest::newRow("es, no point") << "es_ES" << "(la especie y no sobrevive sin x), pero (B F > C E)"
                                  << "(la especie y no sobrevive sin x), pero (B F > C E)";
}

void ConversionsTest::pointsInText()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    const ScopedLocale scoped{QLocale(locale)};
    QCOMPARE(withPointsInLocale(text), shown);
}

void ConversionsTest::textOfSingle_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("click position") << "C" << 4.9875f << "4.9875";
    QTest::newRow("0.15") << "C" << 0.15f << "0.15";
    QTest::newRow("7 digits") << "C" << 1.0f / 3 << "0.3333333";
    QTest::newRow("es") << "es_ES" << -0.2f << "-0,2";
}

void ConversionsTest::textOfSingle()
{
    QFETCH(QString, locale);
    QFETCH(float, value);
    QFETCH(QString, text);
    const ScopedLocale scoped{QLocale(locale)};
    QCOMPARE(::textOfSingle(value), text);
}

// What the program writes, it reads back as the same number.
void ConversionsTest::roundTrips_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *locale : {"C", "es_ES"})
        QTest::newRow(locale) << QString::fromLatin1(locale);
}

void ConversionsTest::roundTrips()
{
    QFETCH(QString, locale);
    const ScopedLocale scoped{QLocale(locale)};
    // 1.79769313486231e308 is the largest text of 15 digits that still fits in a double.
    for (double v : {0.02, 1.0 / 3, -4.0, 2.989091, 1e300, -1e-300, 1.79769313486231e308, 123456789012345.0}) {
        const double once = numberFromText(textOf(v));
        QCOMPARE(textOf(once), textOf(v));
        QCOMPARE(numberFromText(textOf(once)), once);
        QCOMPARE(numberFromText(exactTextOf(v)), v);
    }
    for (double v : {0.1 + 0.2, DBL_MAX, DBL_TRUE_MIN, -2.424425307e-7})
        QCOMPARE(numberFromText(exactTextOf(v)), v);
    for (float f : {4.9875f, 0.15f, 1.0f / 3, -7.5e-12f, FLT_MAX, 16777217.0f})
        QCOMPARE(static_cast<float>(numberFromText(::textOfSingle(f))), f);
}

void ConversionsTest::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<double>("rounded");
    QTest::newRow("up") << 1.23456 << 3 << 1.235;
    QTest::newRow("down") << 1.23412 << 3 << 1.234;
    QTest::newRow("half to even, down") << 2.5 << 0 << 2.0;
    QTest::newRow("half to even, up") << 3.5 << 0 << 4.0;
    QTest::newRow("negative half") << -2.5 << 0 << -2.0;
    QTest::newRow("half at 3 decimals, up") << 0.0015 << 3 << 0.002;
    QTest::newRow("half at 3 decimals, down") << 0.0625 << 3 << 0.062;
    QTest::newRow("whole") << 5.0 << 3 << 5.0;
    QTest::newRow("huge does not overflow") << 1e308 << 3 << 1e308;
    QTest::newRow("largest double") << DBL_MAX << 3 << DBL_MAX;
    QTest::newRow("no decimals left") << 4503599627370497.0 << 3 << 4503599627370497.0;
    QTest::newRow("tiny") << 1e-300 << 3 << 0.0;
}

void ConversionsTest::rounding()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(double, rounded);
    QCOMPARE(Round(value, digits), rounded);
}

namespace {

__extension__ typedef __int128 Int128;

// The double nearest to value rounded to `digits` decimals, worked out in exact integer
// arithmetic: value = m 2^e, so value 10^d = m 10^d / 2^-e, whose quotient and remainder
// decide the rounding (an exact half to the even quotient). Needs -e <= 100, digits <= 6.
double exactlyRounded(double value, int digits)
{
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto mantissa = static_cast<Int128>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;   // |value| = mantissa / 2^shift
    if (shift <= 0)
        return value;
    Int128 scaled = mantissa;
    for (int i = 0; i < digits; ++i)
        scaled *= 10;
    const Int128 one = Int128(1) << shift;
    Int128 quotient = scaled >> shift;
    const Int128 remainder = scaled - (quotient << shift);
    if (2 * remainder > one || (2 * remainder == one && quotient % 2 == 1))
        ++quotient;
    std::string decimal;
    for (Int128 q = quotient; q > 0 || int(decimal.size()) <= digits; q /= 10)
        decimal.insert(decimal.begin(), char('0' + int(q % 10)));
    decimal.insert(decimal.end() - digits, '.');
    double result = 0;
    std::from_chars(decimal.data(), decimal.data() + decimal.size(), result);
    return value < 0 ? -result : result;
}

} // namespace

// Regression: rounding by scaling in double was wrong in the last place for large values
// (952082886591.9146 gave ...914). Round must round the exact value of the double.
void ConversionsTest::roundingIsExact_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::newRow("large, scaled product rounds up") << 952082886591.9146 << 3;
    QTest::newRow("just below a half") << 1.0005 << 3;
    QTest::newRow("just above a half") << 2.0005 << 3;
    QTest::newRow("exact half, even") << 0.0625 << 3;
    QTest::newRow("exact half, odd") << 0.1875 << 3;
    QTest::newRow("negative near a half") << -1234.5675 << 3;
    QTest::newRow("near 2^52") << 4503599627370495.5 << 0;
    QTest::newRow("tiny") << 0.00049999999999999999 << 3;
    QTest::newRow("six decimals") << 0.1234565 << 6;
}

void ConversionsTest::roundingIsExact()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QCOMPARE(Round(value, digits), exactlyRounded(value, digits));
}

// Seeded random values from 1e-6 to 1e15, where about 1 in 400 used to come out wrong.
void ConversionsTest::roundingSweep()
{
    QRandomGenerator random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, -6.0 + 21.0 * random.generateDouble()) * (random.bounded(2) ? 1 : -1);
        QCOMPARE(Round(v, 3), exactlyRounded(v, 3));
    }
}

void ConversionsTest::colours()
{
    QCOMPARE(RGB(0, 0, 255), QColor(Qt::blue));
    QCOMPARE(RGB(255, 0, 0).rgb(), qRgb(255, 0, 0));
    QCOMPARE(RGB(0, 255, 0).rgb(), qRgb(0, 255, 0));
}

QTEST_GUILESS_MAIN(ConversionsTest)
#include "conversions_test.moc"
