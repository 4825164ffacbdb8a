#include "fixed_fields.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tarnex {

namespace {

void appendAsterisks(std::string& out, int width)
{
    out.append(static_cast<std::size_t>(std::max(width, 0)), '*');
}

void appendRightAligned(std::string& out, std::string_view body, int width)
{
    if (static_cast<int>(body.size()) > width) {
        appendAsterisks(out, width);
        return;
    }
    out.append(static_cast<std::size_t>(width) - body.size(), ' ');
    out.append(body);
}

// |x| = mantissa * 2^exponent for a finite x.
struct BinaryParts {
    std::uint64_t mantissa;
    int exponent;
};

BinaryParts binaryParts(double magnitude)
{
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0)
        return {fraction, -1074};
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

// True when magnitude * 10^power lies exactly halfway between two whole numbers: the only
// case where rounding to nearest needs the rule "halves away from zero".
bool isExactHalf(double magnitude, int power)
{
    if (magnitude == 0.0)
        return false;
    const auto [mantissa, exponent] = binaryParts(magnitude);
    const int twos = std::countr_zero(mantissa);
    const std::uint64_t odd = mantissa >> twos;
    if (power >= 0) {
        // 2 * |x| * 10^p = odd * 5^p * 2^(twos + exponent + p + 1) is odd when the power of two is 0.
        return twos + exponent + power + 1 == 0;
    }
    // 2 * |x| / 10^q = odd * 2^(twos + exponent + 1 - q) / 5^q
    const int q = -power;
    if (twos + exponent + 1 - q != 0)
        return false;
    std::uint64_t five = 1;
    for (int i = 0; i < q; ++i) {
        if (five > odd / 5)
            return false;
        five *= 5;
    }
    return odd % five == 0;
}

// The value to hand to the C library's correctly rounded conversion so that an exact half
// goes away from zero instead of to the even neighbour.
double awayFromZeroAtHalf(double magnitude, int power)
{
    return isExactHalf(magnitude, power) ? std::nextafter(magnitude, INFINITY) : magnitude;
}

// Writes the decimal digits of value ending just before `end`; returns where they begin.
char* decimalDigits(unsigned __int128 value, char* end)
{
    while (value > UINT64_MAX) {
        *--end = static_cast<char>('0' + static_cast<int>(value % 10));
        value /= 10;
    }
    auto small = static_cast<std::uint64_t>(value);
    do {
        *--end = static_cast<char>('0' + static_cast<int>(small % 10));
        small /= 10;
    } while (small != 0);
    return end;
}

// The body of one number field, built in place: at most the field's width and a sign. A body
// that would grow past it is marked as not fitting and grows no further.
class FieldText {
public:
    explicit FieldText(int width)
        : limit_(static_cast<std::size_t>(std::max(width, 0)) + 1)
    {
        if (limit_ > sizeof inline_) {
            wide_.reset(new char[limit_]);
            text_ = wide_.get();
        }
    }

    void add(char c) { add(&c, 1); }
    void add(const char* from, std::size_t count)
    {
        if (room(count)) {
            std::memcpy(text_ + size_, from, count);
            size_ += count;
        }
    }
    void repeat(char c, std::size_t count)
    {
        if (room(count)) {
            std::memset(text_ + size_, c, count);
            size_ += count;
        }
    }
    bool fits() const { return fits_; }
    std::string_view view() const { return {text_, size_}; }

private:
    bool room(std::size_t count)
    {
        if (count > limit_ - size_)
            fits_ = false;
        return fits_;
    }

    char inline_[64];
    std::unique_ptr<char[]> wide_;  // for fields wider than the inline buffer
    char* text_ = inline_;
    std::size_t limit_;
    std::size_t size_ = 0;
    bool fits_ = true;
};

// Appends the body of an Fw.d field for magnitude: whole digits (none below 1), the point, d
// decimals. Returns whether every digit is zero.
bool fixedBody(double magnitude, int decimals, FieldText& body)
{
    const auto [mantissa, exponent] = binaryParts(magnitude);
    if (decimals <= 18 && exponent < 0) {
        // Exact: magnitude * 10^d = mantissa * 10^d / 2^shift, rounded in whole-number arithmetic.
        std::uint64_t scale = 1;
        for (int i = 0; i < decimals; ++i)
            scale *= 10;
        const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * scale;
        const int shift = -exponent;
        unsigned __int128 rounded = 0;
        if (shift < 128) {
            rounded = product >> shift;
            const unsigned __int128 rest = product - (rounded << shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
            if (rest >= half)
                ++rounded;
        }
        char digits[48];
        char* end = digits + sizeof digits;
        char* begin = decimalDigits(rounded, end);
        const auto count = static_cast<long>(end - begin);
        const long whole = count - decimals;
        if (whole > 0) {
            body.add(begin, static_cast<std::size_t>(whole));
            body.add('.');
            body.add(begin + whole, static_cast<std::size_t>(decimals));
        } else {
            body.add('.');
            body.repeat('0', static_cast<std::size_t>(-whole));
            body.add(begin, static_cast<std::size_t>(count));
        }
        return rounded == 0;
    }
    // Whole numbers of 2^52 and more, or many decimals: the C library's exact conversion. The
    // longest text it gives is 309 whole digits, the point and 300 decimals.
    const double nudged = awayFromZeroAtHalf(magnitude, decimals);
    char text[640];
    const int size = std::snprintf(text, sizeof text, "%.*f", decimals, nudged);
    if (size < 0 || size >= static_cast<int>(sizeof text)) {
        body.repeat('*', sizeof text);  // cannot fit any field
        return false;
    }
    std::string_view digits(text, static_cast<std::size_t>(size));
    if (digits.rfind("0.", 0) == 0)
        digits.remove_prefix(1);
    body.add(digits.data(), digits.size());
    if (digits.find('.') == std::string_view::npos)
        body.add('.');
    return digits.find_first_not_of("0.") == std::string_view::npos;
}

}  // namespace

void appendBlanks(std::string& out, int count)
{
    if (count > 0)
        out.append(static_cast<std::size_t>(count), ' ');
}

void appendText(std::string& out, std::string_view text, int width)
{
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    if (text.size() >= w) {
        out.append(text.substr(0, w));
    } else {
        out.append(text);
        out.append(w - text.size(), ' ');
    }
}

void appendInteger(std::string& out, long long value, int width)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    appendRightAligned(out, std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)), width);
}

void appendFixed(std::string& out, double value, int width, int decimals)
{
    // A value of 10^width or more has more whole digits than the field has columns.
    if (!std::isfinite(value) || decimals < 0 || decimals > 300 || width < 1 ||
        std::fabs(value) >= std::pow(10.0, width)) {
        appendAsterisks(out, width);
        return;
    }
    FieldText body(width);
    body.add('-');
    const bool zero = fixedBody(std::fabs(value), decimals, body);
    if (!body.fits()) {
        appendAsterisks(out, width);
        return;
    }
    const std::string_view shown = value < 0 && !zero ? body.view() : body.view().substr(1);
    appendRightAligned(out, shown, width);
}

void appendExponent(std::string& out, double value, int width, int digits, char letter)
{
    // The shortest body is the point, the digits and a four-column exponent.
    if (!std::isfinite(value) || digits < 1 || digits + 5 > width) {
        appendAsterisks(out, width);
        return;
    }
    const double magnitude = std::fabs(value);
    std::string mantissa;
    int exponent = 0;
    if (magnitude == 0.0) {
        mantissa.assign(static_cast<std::size_t>(digits), '0');
    } else {
        // d.ddd...e-xxx: the digits, the point, the exponent and the end.
        std::string buffer(static_cast<std::size_t>(digits) + 16, '\0');
        char* text = buffer.data();
        std::snprintf(text, buffer.size(), "%.*e", digits - 1, magnitude);
        // An exact half that the C library rounded down to an even digit (no carry into the
        // exponent then) goes up instead.
        const int written = std::atoi(std::strchr(text, 'e') + 1);
        if (isExactHalf(magnitude, digits - 1 - written))
            std::snprintf(text, buffer.size(), "%.*e", digits - 1, std::nextafter(magnitude, INFINITY));
        const char* e = std::strchr(text, 'e');
        for (const char* c = text; c != e; ++c)
            if (*c != '.')
                mantissa += *c;
        exponent = std::atoi(e + 1) + 1;
    }
    std::string body;
    if (value < 0)
        body += '-';
    body += '.';
    body += mantissa;
    const int size = std::abs(exponent);
    if (size > 999) {
        appendAsterisks(out, width);
        return;
    }
    if (size <= 99)
        body += letter;
    body += exponent < 0 ? '-' : '+';
    char expDigits[8];
    std::snprintf(expDigits, sizeof expDigits, size <= 99 ? "%02d" : "%03d", size);
    body += expDigits;
    appendRightAligned(out, body, width);
}

}  // namespace tarnex
