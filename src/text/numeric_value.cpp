#include "text/number_text.h"

#include <charconv>
#include <limits>
#include <string>
#include <system_error>

namespace korvane::text {

namespace {

bool isIgnoredBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The number in its plain ASCII form, ready for std::from_chars.
struct CleanedNumber {
    std::string mantissa;      // optional '-', digits, optional '.' and digits
    bool negative = false;
    bool hasDigits = false;
    long long exponent = 0;    // saturated, far beyond the range of a double
};

constexpr long long exponentLimit = 1'000'000;

CleanedNumber cleanNumber(QStringView text)
{
    enum class Stage { Sign, Mantissa, ExponentSign, ExponentDigits };

    CleanedNumber number;
    Stage stage = Stage::Sign;
    bool seenPoint = false;
    bool pointPending = false;   // a point is written only when a digit follows
    bool exponentNegative = false;
    bool exponentHasDigits = false;
    long long exponent = 0;

    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (isIgnoredBlank(c))
            continue;

        if (stage == Stage::Sign) {
            stage = Stage::Mantissa;
            if (c == u'-' || c == u'+') {
                number.negative = (c == u'-');
                continue;
            }
        }

        if (stage == Stage::Mantissa) {
            if (isDigit(c)) {
                if (pointPending) {
                    if (number.mantissa.empty())
                        number.mantissa += '0';
                    number.mantissa += '.';
                    pointPending = false;
                }
                number.mantissa += char(c);
                number.hasDigits = true;
            } else if (c == u'.' && !seenPoint) {
                seenPoint = true;
                pointPending = true;
            } else if ((c == u'E' || c == u'e') && number.hasDigits) {
                stage = Stage::ExponentSign;
            } else {
                break;
            }
            continue;
        }

        if (stage == Stage::ExponentSign) {
            stage = Stage::ExponentDigits;
            if (c == u'-' || c == u'+') {
                exponentNegative = (c == u'-');
                continue;
            }
        }

        // Stage::ExponentDigits
        if (!isDigit(c))
            break;
        exponentHasDigits = true;
        if (exponent < exponentLimit)
            exponent = exponent * 10 + (c - u'0');
    }

    // "3E" and "3E+" are plain 3: an exponent without digits is no exponent.
    if (exponentHasDigits)
        number.exponent = exponentNegative ? -exponent : exponent;
    return number;
}

// Decimal exponent of the leading significant digit (2 for "123", -2 for
// "0.0123"); the lowest long long when every digit is zero.
long long leadingDigitExponent(const CleanedNumber &number)
{
    const std::string &m = number.mantissa;
    const std::size_t point = m.find('.');
    const std::size_t integerDigits = (point == std::string::npos) ? m.size() : point;
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i] == '.' || m[i] == '0')
            continue;
        const long long position = (i < integerDigits)
                ? static_cast<long long>(integerDigits - i) - 1
                : -static_cast<long long>(i - integerDigits);
        return position + number.exponent;
    }
    return std::numeric_limits<long long>::min();
}

} // namespace

double numericValue(QStringView text)
{
    CleanedNumber number = cleanNumber(text);
    if (!number.hasDigits)
        return 0.0;

    std::string ascii;
    ascii.reserve(number.mantissa.size() + 10);
    if (number.negative)
        ascii += '-';
    ascii += number.mantissa;
    if (number.exponent != 0) {
        ascii += 'e';
        ascii += std::to_string(number.exponent);
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: saturate the way strtod does.
        const double magnitude = leadingDigitExponent(number) > 0
                ? std::numeric_limits<double>::infinity()
                : 0.0;
        return number.negative ? -magnitude : magnitude;
    }
    return value;
}

} // namespace korvane::text
