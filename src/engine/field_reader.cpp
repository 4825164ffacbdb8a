#include "field_reader.h"

#include "engine_stop.h"

#include <cctype>
#include <cstdint>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarnex {

namespace {

// The non-blank characters of a field, or nothing when there are too many for a number.
struct Packed {
    char text[96];
    std::size_t size = 0;

    explicit Packed(std::string_view field)
    {
        for (char c : field) {
            if (c == ' ')
                continue;
            if (size == sizeof text) {
                overflow = true;
                return;
            }
            text[size++] = c;
        }
    }
    std::string_view view() const { return {text, size}; }
    bool overflow = false;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of [sign] digits [. digits] times 10^exponent when one correctly rounded operation
// gives it: at most 15 significant digits and a power of ten that is exact in binary.
std::optional<double> exactValue(std::string_view number, long exponent)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    bool negative = false;
    std::size_t at = 0;
    if (!number.empty() && (number[0] == '-' || number[0] == '+')) {
        negative = number[0] == '-';
        ++at;
    }
    std::uint64_t mantissa = 0;
    int significant = 0;
    for (; at < number.size(); ++at) {
        const char c = number[at];
        if (c == '.') {
            for (std::size_t rest = at + 1; rest < number.size(); ++rest, --exponent) {
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(number[rest] - '0');
                if (mantissa != 0 && ++significant > 15)
                    return std::nullopt;
            }
            break;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        if (mantissa != 0 && ++significant > 15)
            return std::nullopt;
    }
    if (exponent < -22 || exponent > 22)
        return std::nullopt;
    const double scale = kPowers[exponent < 0 ? -exponent : exponent];
    double value = static_cast<double>(mantissa);
    value = exponent < 0 ? value / scale : value * scale;
    return negative ? -value : value;
}

}  // namespace

std::optional<double> parseReal(std::string_view field, int decimals)
{
    const Packed packed(field);
    if (packed.overflow)
        return std::nullopt;
    const std::string_view text = packed.view();
    if (text.empty())
        return 0.0;
    char number[128];
    std::size_t length = 0;
    std::size_t at = 0;
    if (text[at] == '+' || text[at] == '-')
        number[length++] = text[at++];
    int digits = 0;
    bool point = false;
    while (at < text.size() && (isDigit(text[at]) || (text[at] == '.' && !point))) {
        if (text[at] == '.')
            point = true;
        else
            ++digits;
        number[length++] = text[at++];
    }
    if (digits == 0)
        return std::nullopt;
    long exponent = 0;
    if (at < text.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at])));
        if (c == 'E' || c == 'D' || c == 'Q')
            ++at;
        else if (c != '+' && c != '-')
            return std::nullopt;
        std::string_view rest = text.substr(at);
        if (!rest.empty() && rest.front() == '+')
            rest.remove_prefix(1);
        if (rest.empty())
            return std::nullopt;
        const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), exponent);
        if (result.ec != std::errc() || result.ptr != rest.data() + rest.size())
            return std::nullopt;
        if (exponent > 100000 || exponent < -100000)
            return std::nullopt;
    }
    if (!point)
        exponent -= decimals;
    if (const auto exact = exactValue(std::string_view(number, length), exponent))
        return *exact;
    if (exponent != 0) {
        number[length++] = 'e';
        const auto written = std::to_chars(number + length, number + sizeof number, exponent);
        length = static_cast<std::size_t>(written.ptr - number);
    }
    double value = 0.0;
    const auto result = std::from_chars(number, number + length, value);
    if (result.ec != std::errc() || result.ptr != number + length)
        return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view field)
{
    const Packed packed(field);
    std::string_view text = packed.view();
    if (packed.overflow)
        return std::nullopt;
    if (text.empty())
        return 0;
    if (text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string columnsOf(std::string_view line, int first, int width)
{
    const auto start = static_cast<std::size_t>(first - 1);
    const auto w = static_cast<std::size_t>(width);
    std::string field = start < line.size() ? std::string(line.substr(start, w)) : std::string();
    field.resize(w, ' ');
    return field;
}

LineFile::LineFile(const std::filesystem::path& path, std::string displayName)
    : displayName_(std::move(displayName))
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EngineStop{"cannot read the file " + displayName_};
    std::ostringstream all;
    all << in.rdbuf();
    content_ = std::move(all).str();
}

bool LineFile::next()
{
    if (position_ >= content_.size()) {
        line_ = {};
        return false;
    }
    const auto end = content_.find('\n', position_);
    const std::size_t stop = end == std::string::npos ? content_.size() : end;
    std::string_view line(content_.data() + position_, stop - position_);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    line_ = line;
    position_ = end == std::string::npos ? content_.size() : end + 1;
    ++number_;
    return true;
}

void LineFile::rewind()
{
    position_ = 0;
    number_ = 0;
    line_ = {};
}

double LineFile::real(int first, int width, int decimals, std::string_view field) const
{
    const std::string columns = text(first, width);
    const auto value = parseReal(columns, decimals);
    if (!value)
        fieldError(first, width, field, "is not a number");
    return *value;
}

long long LineFile::integer(int first, int width, std::string_view field) const
{
    const std::string columns = text(first, width);
    const auto value = parseInteger(columns);
    if (!value)
        fieldError(first, width, field, "is not a whole number");
    return *value;
}

void LineFile::endedEarly(std::string_view expected) const
{
    throw EngineStop{displayName_ + " ends after line " + std::to_string(number_) + ": " + std::string(expected) +
                     " is missing"};
}

void LineFile::fieldError(int first, int width, std::string_view field, std::string_view problem) const
{
    std::string columns = text(first, width);
    throw EngineStop{displayName_ + ", line " + std::to_string(number_) + ", field " + std::string(field) +
                     " (columns " + std::to_string(first) + "-" + std::to_string(first + width - 1) + "): \"" +
                     columns + "\" " + std::string(problem)};
}

}  // namespace tarnex
