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
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korvane::analysis {

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
        // nlohmann-json's own conversion (Grisu2): its digits are the shortest that read back
        // as the same double for nearly every value, but not for all (a weight of 17 digits may
        // end in another digit than std::to_chars gives), and the documents stay as they were.
        char* first = out_.room(kNumberRoom);
        out_.used(nlohmann::detail::to_chars(first, first + kNumberRoom, number));
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
    static constexpr std::size_t kNumberRoom = 64;  // as nlohmann-json's number buffer

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
