// Compact JSON text written straight into an output buffer, as nlohmann-json's dump() writes the
// same values: members of an object in the byte order of their names (the callers name them in
// that order), numbers in its shortest round-trip form, strings with its escapes.
#pragma once

#include "number_format.h"
#include "output_buffer.h"
#include "quantity.h"
#include "text_columns.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korvane::analysis {

// nlohmann-json's text of a finite number, written at `first` (room for kJsonNumberRoom
// characters). Its Grisu2 conversion gives the shortest digits inside the number's rounding
// interval (half an ulp either side) less a margin for its own rounding errors (a few 2^-62 of
// the value, under 1/64 of the half ulp). So when the decimal of nine decimals nearest the number
// has at most 15 digits and lies within 31/32 of the half ulp of it (a result rounded to a few
// decimals always does, and so does an input value as read), its digits are those: they are laid
// out as nlohmann-json lays them out, without the conversion. Other numbers take the conversion.
constexpr std::size_t kJsonNumberRoom = 32;  // the longest is 24 ("-1.7976931348623157e+308")

inline char* jsonNumber(char* first, double number)
{
    constexpr std::uint64_t kScale = 1000000000;            // nine decimals
    constexpr std::uint64_t kDigitsMost = 1000000000000000;  // 15 digits
    const auto bits = std::bit_cast<std::uint64_t>(std::abs(number));
    const int biased = int(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    // Normal, not a power of two (whose interval is lopsided), not whole (below 2^52).
    if (biased > 1 && biased < 1075 && fraction != 0) {
        const int right = 1075 - biased;  // |number| = mantissa / 2^right
        const std::uint64_t mantissa = fraction | (std::uint64_t(1) << 52);
        const auto scaled = static_cast<unsigned __int128>(mantissa) * kScale;
        if (right < 120 && (scaled >> right) < kDigitsMost) {
            const auto one = static_cast<unsigned __int128>(1) << right;
            std::uint64_t units = std::uint64_t(scaled >> right);  // |number| 10^9, rounded
            unsigned __int128 rest = scaled - (static_cast<unsigned __int128>(units) << right);
            if (rest > one / 2)
                ++units, rest = one - rest;
            // |number - units / 10^9| = rest / (2^right 10^9); half an ulp is 1 / 2^(right + 1).
            if (units != 0 && units < kDigitsMost && 64 * rest < 31 * static_cast<unsigned __int128>(kScale)) {
                int exponent = -9;
                for (; units % 10 == 0; units /= 10)
                    ++exponent;
                if (std::signbit(number))
                    *first++ = '-';
                const int length = int(std::to_chars(first, first + kJsonNumberRoom - 1, units).ptr - first);
                return nlohmann::detail::dtoa_impl::format_buffer(first, length, exponent, -4,
                                                                  std::numeric_limits<double>::digits10);
            }
        }
    }
    return nlohmann::detail::to_chars(first, first + kJsonNumberRoom, number);
}

class JsonText {
public:
    explicit JsonText(OutputBuffer& out) : out_(out) {}

    JsonText& open()
    {
        separate();
        out_ << '{';
        first_ = true;
        return *this;
    }
    JsonText& close()
    {
        out_ << '}';
        first_ = false;
        return *this;
    }
    JsonText& openList()
    {
        separate();
        out_ << '[';
        first_ = true;
        return *this;
    }
    JsonText& closeList()
    {
        out_ << ']';
        first_ = false;
        return *this;
    }
    // A member's name; its value follows.
    JsonText& operator[](std::string_view name)
    {
        char* at = out_.room(name.size() + 4);
        if (!first_)
            *at++ = ',';
        *at++ = '"';
        at = std::copy(name.begin(), name.end(), at);
        *at++ = '"';
        *at++ = ':';
        out_.used(at);
        first_ = false;
        named_ = true;
        return *this;
    }

    JsonText& null()
    {
        separate();
        out_ << "null";
        return *this;
    }
    JsonText& value(bool flag)
    {
        separate();
        out_ << (flag ? std::string_view("true") : std::string_view("false"));
        return *this;
    }
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
    JsonText& value(Integer number)
    {
        separate();
        out_ << number;
        return *this;
    }
    // NaN and infinity are null, as nlohmann-json writes them.
    JsonText& value(double number)
    {
        if (!std::isfinite(number))
            return null();
        separate();
        out_.used(jsonNumber(out_.room(kJsonNumberRoom), number));
        return *this;
    }
    // The value rounded to `decimals` decimals, or null when it is not computable.
    JsonText& value(const Quantity& number, int decimals)
    {
        return number ? value(rounded(*number, decimals)) : null();
    }
    JsonText& value(std::string_view text)
    {
        separate();
        out_ << '"';
        escaped(text);
        out_ << '"';
        return *this;
    }
    // A text and a number as one string ("net.dat, line 5").
    JsonText& value(std::string_view text, long number)
    {
        separate();
        out_ << '"';
        escaped(text);
        out_ << number << '"';
        return *this;
    }
    JsonText& value(const char* text) { return value(std::string_view(text)); }
    JsonText& value(const std::string& text) { return value(std::string_view(text)); }
    template <typename Element>
    JsonText& value(const std::vector<Element>& list)
    {
        openList();
        for (const Element& element : list)
            value(element);
        return closeList();
    }

private:
    void separate()
    {
        if (!first_ && !named_)
            out_ << ',';
        first_ = false;
        named_ = false;
    }

    // Quote and backslash escaped, control characters as \b \t \n \f \r or \u00xx, the rest
    // (UTF-8) as it is. Text that is not UTF-8 has no place in a JSON document.
    void escaped(std::string_view text)
    {
        std::size_t plain = 0;  // start of the characters not yet written
        bool ascii = true;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            ascii = ascii && c < 0x80;
            if (c >= 0x20 && c != '"' && c != '\\')
                continue;
            out_ << text.substr(plain, i - plain);
            plain = i + 1;
            switch (c) {
            case '"':
                out_ << "\\\"";
                break;
            case '\\':
                out_ << "\\\\";
                break;
            case '\b':
                out_ << "\\b";
                break;
            case '\t':
                out_ << "\\t";
                break;
            case '\n':
                out_ << "\\n";
                break;
            case '\f':
                out_ << "\\f";
                break;
            case '\r':
                out_ << "\\r";
                break;
            default:
                out_ << "\\u00" << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 0xF];
            }
        }
        if (!ascii && !isValidUtf8(text))
            throw std::runtime_error("the JSON document cannot hold text that is not UTF-8: \"" +
                                     std::string(text) + "\"");
        out_ << text.substr(plain);
    }

    OutputBuffer& out_;
    bool first_ = true;   // nothing written yet in the open object or list
    bool named_ = false;  // a member's name written, its value not yet
};

}  // namespace korvane::analysis
