// Fuzzes the conversions between numbers and text in the decimal-point (C) and the
// decimal-comma (es_ES) locale.
//
// Input: byte 0 chooses the locale (even: C, odd: es_ES); the remaining bytes are the text
// that is converted to a number (as UTF-8). When there are at least 8 of them, their first 8
// bytes are also taken as a double and their first 4 as a float, whose texts are checked.
//
// Properties:
// - numberFromText never crashes; it accepts a text only when the text is a decimal number
//   (blanks around it allowed) and then gives the correctly rounded finite double, the same
//   as std::from_chars; it accepts every plain decimal number whose value is finite, except
//   one that underflows to zero.
// - textOf(v), for every finite v, is a well-formed text that converts back: converting the
//   result to text again gives the same text, the value moves by less than one unit of the
//   15th digit, and a v that 15 digits can hold comes back exactly. (Not every double comes
//   back exactly: 15 digits cannot tell all doubles apart. And the very largest doubles show
//   as 1.79769313486232e+308, which lies beyond the range and is rejected.)
// - textOfSingle(f) likewise for floats with 7 digits, through float(numberFromText(...)).
//   Here too only a float that 7 digits can hold comes back exactly: 1000.0001f shows as
//   "1000" (a float needs up to 9 digits).
// - Both locales write the same digits; only the decimal separator and the letter of the
//   exponent differ.
#include "display/toolkit/conversions.h"
#include "model/failure.h"
#include "tests/fuzz/fuzz_check.h"

#include <QLocale>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

struct LocaleRules {
    QLocale locale;
    QChar decimal;   // the decimal separator
    QChar group;     // the group separator, which texts never show and never accept
};

LocaleRules useLocale(bool comma)
{
    const QLocale locale = comma ? QLocale(QLocale::Spanish, QLocale::Spain) : QLocale::c();
    QLocale::setDefault(locale);
    return {locale, comma ? QChar(u',') : QChar(u'.'), comma ? QChar(u'.') : QChar(u',')};
}

std::optional<double> tryNumberFromText(const QString &text)
{
    try {
        return numberFromText(text);
    } catch (const Failure &failure) {
        FUZZ_CHECK(failure.kind() == Failure::Kind::TypeMismatch, "a text fails only as a type mismatch");
        return std::nullopt;
    }
}

// The text in the C library's spelling ('.' as decimal point, '-' as minus), or nothing when
// it holds a character that has no place in a decimal number.
std::optional<std::string> toCSpelling(const QString &trimmed, const LocaleRules &rules)
{
    std::string spelled;
    for (const QChar c : trimmed) {
        if (c == rules.decimal)
            spelled += '.';
        else if (c == QChar(0x2212))  // the typographic minus sign
            spelled += '-';
        else if (c == rules.group || c.unicode() > 0x7f)
            return std::nullopt;
        else
            spelled += char(c.unicode());
    }
    return spelled;
}

// The parts of a text in the C library's spelling of a decimal number.
struct DecimalShape {
    bool complete = false;   // the whole text is sign, mantissa and exponent
    int wholeDigits = 0, fractionDigits = 0, exponentDigits = 0;
    bool point = false;
};

DecimalShape shapeOf(const std::string &text)
{
    DecimalShape shape;
    std::size_t i = 0;
    auto digits = [&] {
        int count = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
            ++count;
        }
        return count;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    shape.wholeDigits = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        shape.point = true;
        shape.fractionDigits = digits();
    }
    if (shape.wholeDigits + shape.fractionDigits == 0)
        return shape;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        shape.exponentDigits = digits();
        if (shape.exponentDigits == 0)
            return shape;
    }
    shape.complete = i == text.size();
    return shape;
}

// Decimal numbers in any form a person may type: "1.", ".5", "+1e5".
bool isAnyDecimal(const std::string &text)
{
    return shapeOf(text).complete;
}

// The plainest decimal numbers, which must be accepted: digits on both sides of the point,
// and no absurdly long parts.
bool isPlainDecimal(const std::string &text)
{
    const DecimalShape shape = shapeOf(text);
    return shape.complete && shape.wholeDigits >= 1 && shape.wholeDigits <= 40
           && (!shape.point || (shape.fractionDigits >= 1 && shape.fractionDigits <= 40))
           && shape.exponentDigits <= 3;
}

// The power of ten of the leading non-zero digit of a decimal number in the C library's
// spelling; the exponent saturates far beyond the range of any double.
long long leadingPower(std::string_view text)
{
    std::size_t i = text.starts_with('+') || text.starts_with('-') ? 1 : 0;
    long long wholeDigits = 0, digits = 0, firstNonZero = -1;
    bool point = false;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        if (firstNonZero < 0 && text[i] != '0')
            firstNonZero = digits;
        wholeDigits += point ? 0 : 1;
        ++digits;
    }
    long long exponent = 0;
    const bool negativeExponent = i + 1 < text.size() && text[i + 1] == '-';
    for (++i; i < text.size(); ++i)
        if (text[i] >= '0' && text[i] <= '9')
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1'000'000'000LL);
    return wholeDigits - 1 - firstNonZero + (negativeExponent ? -exponent : exponent);
}

// The double nearest to a decimal number in the C library's spelling, read with
// std::from_chars, which follows no locale (strtod follows the C library's).
struct Nearest {
    double value = 0;         // infinity beyond the range of a double, zero below its least subnormal
    bool outOfRange = false;
};

Nearest nearestDouble(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (text.starts_with('+'))
        text.remove_prefix(1);  // from_chars takes no plus sign
    Nearest nearest;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), nearest.value);
    if (error == std::errc::result_out_of_range) {
        const double magnitude = leadingPower(text) > 0 ? HUGE_VAL : 0.0;
        nearest = {negative ? -magnitude : magnitude, true};
    }
    return nearest;
}

// Whether a value comes back unchanged from its text of the given significant digits.
template <typename Number>
bool survivesDigits(Number value, int digits)
{
    char text[64];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    Number back{};
    const std::from_chars_result read = std::from_chars(text, written.ptr, back);
    return written.ec == std::errc() && read.ec == std::errc() && back == value;
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void checkParsing(const QString &text, const LocaleRules &rules)
{
    const std::optional<double> value = tryNumberFromText(text);
    const std::optional<std::string> spelled = toCSpelling(text.trimmed(), rules);

    if (value) {
        FUZZ_CHECK(std::isfinite(*value), "accepted value %g", *value);
        FUZZ_CHECK(spelled && isAnyDecimal(*spelled), "accepted a text that is no number: \"%s\"",
                   qPrintable(text));
        const double expected = nearestDouble(*spelled).value;
        FUZZ_CHECK(sameDouble(*value, expected), "\"%s\" gave %.17g, the nearest double is %.17g",
                   qPrintable(text), *value, expected);
        return;
    }

    if (spelled && isPlainDecimal(*spelled)) {
        const Nearest nearest = nearestDouble(*spelled);
        const double expected = nearest.value;
        const bool underflowsToZero = nearest.outOfRange && expected == 0;
        FUZZ_CHECK(!std::isfinite(expected) || underflowsToZero, "rejected the number \"%s\" (%.17g)",
                   qPrintable(text), expected);
    }
}

// What every number text looks like, whatever the value: for one of up to the given number
// of significant digits.
void checkForm(const QString &text, double value, int digits, const LocaleRules &rules)
{
    FUZZ_CHECK(!text.isEmpty() && text == text.trimmed(), "text \"%s\" of %.17g", qPrintable(text), value);
    FUZZ_CHECK(!text.contains(rules.group), "group separator in \"%s\"", qPrintable(text));
    if (value == 0) {
        FUZZ_CHECK(text == QStringLiteral("0"), "zero written as \"%s\"", qPrintable(text));
        return;
    }
    FUZZ_CHECK((value < 0) == text.startsWith(u'-'), "sign of \"%s\" for %.17g", qPrintable(text), value);

    const qsizetype exponentAt = text.indexOf(u'e', 0, Qt::CaseInsensitive);
    const QString mantissa = exponentAt < 0 ? text : text.left(exponentAt);
    if (mantissa.contains(rules.decimal))
        FUZZ_CHECK(!mantissa.endsWith(u'0') && !mantissa.endsWith(rules.decimal),
                   "\"%s\" is not the shortest form", qPrintable(text));

    if (std::fabs(value) < std::pow(10.0, digits) && value == std::trunc(value)) {
        static const QRegularExpression plainInteger(QStringLiteral("^-?[1-9][0-9]*$"));
        FUZZ_CHECK(plainInteger.match(text).hasMatch(), "whole number %.17g written as \"%s\"", value,
                   qPrintable(text));
    }
}

QString textIn(bool comma, double value)
{
    useLocale(comma);
    return textOf(value);
}

// A number text with the locale's own characters replaced, for comparing locales.
QString sameDigits(QString text)
{
    return text.replace(u',', u'.').replace(u'E', u'e');
}

void checkDoubleText(double value, const LocaleRules &rules)
{
    if (!std::isfinite(value))
        return;
    const QString text = textOf(value);
    checkForm(text, value, 15, rules);

    // The few largest doubles round to 1.79769313486232e+308 at 15 digits, a number beyond the
    // range of a double, which can only be rejected.
    if (std::isinf(nearestDouble(toCSpelling(text, rules).value_or("")).value)) {
        FUZZ_CHECK(!tryNumberFromText(text), "\"%s\" lies beyond the range of a double", qPrintable(text));
        return;
    }

    const std::optional<double> back = tryNumberFromText(text);
    FUZZ_CHECK(back, "textOf(%.17g) = \"%s\" is not accepted back", value, qPrintable(text));
    FUZZ_CHECK(textOf(*back) == text, "textOf(%.17g) = \"%s\", read back %.17g gives \"%s\"", value,
               qPrintable(text), *back, qPrintable(textOf(*back)));
    FUZZ_CHECK(std::fabs(*back - value) <= 1e-14 * std::fabs(value), "textOf(%.17g) = \"%s\" reads back as %.17g",
               value, qPrintable(text), *back);

    if (survivesDigits(value, 15))
        FUZZ_CHECK(*back == value, "%.17g has 15 digits but \"%s\" reads back as %.17g", value,
                   qPrintable(text), *back);

    const QString c = textIn(false, value);
    const QString comma = textIn(true, value);
    QLocale::setDefault(rules.locale);
    FUZZ_CHECK(sameDigits(c) == sameDigits(comma), "%.17g is \"%s\" with a decimal point, \"%s\" with a comma",
               value, qPrintable(c), qPrintable(comma));
}

void checkSingleText(float value, const LocaleRules &rules)
{
    if (!std::isfinite(value))
        return;
    const QString text = textOfSingle(value);
    checkForm(text, value, 7, rules);

    const std::optional<double> back = tryNumberFromText(text);
    FUZZ_CHECK(back, "textOfSingle(%.9g) = \"%s\" is not accepted back", value, qPrintable(text));
    FUZZ_CHECK(std::fabs(*back) <= FLT_MAX, "textOfSingle(%.9g) = \"%s\" lies beyond a float", value,
               qPrintable(text));
    // Unlike 15 digits for a double, 7 digits do not survive a trip through a float (only 6
    // always do): 1.00000006e+28f shows as "1e+28", whose nearest float is 9.99999944e+27. So
    // the text need not come back; the value stays within half a unit of the 7th digit.
    const float single = static_cast<float>(*back);
    FUZZ_CHECK(std::fabs(*back - value) <= 1e-6 * std::fabs(value), "textOfSingle(%.9g) = \"%s\" reads back as %.17g",
               value, qPrintable(text), *back);

    if (survivesDigits(value, 7))
        FUZZ_CHECK(single == value, "%.9g has 7 digits but \"%s\" reads back as %.9g", value, qPrintable(text),
                   single);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const LocaleRules rules = useLocale(data[0] % 2 == 1);
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const std::size_t restSize = size - 1;

    const QString text = QString::fromUtf8(rest, qsizetype(restSize));
    checkParsing(text, rules);

    if (const std::optional<double> value = tryNumberFromText(text)) {
        checkDoubleText(*value, rules);
        if (std::fabs(*value) <= FLT_MAX)
            checkSingleText(static_cast<float>(*value), rules);
    }
    if (restSize >= sizeof(double)) {
        double bits;
        std::memcpy(&bits, rest, sizeof bits);
        checkDoubleText(bits, rules);
        float singleBits;
        std::memcpy(&singleBits, rest, sizeof singleBits);
        checkSingleText(singleBits, rules);
    }
    return 0;
}
