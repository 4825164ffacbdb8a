// The text of a result file gathered in a buffer and handed to the stream in large pieces, so
// that writing a table of a million numbers costs their formatting and little else.
#pragma once

#include "number_format.h"

#include <charconv>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

namespace korvane::analysis {

class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out) : out_(out) { text_.reserve(kPiece + kPiece / 4); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { flush(); }

    OutputBuffer& operator<<(std::string_view text)
    {
        text_.append(text);
        return spill();
    }
    OutputBuffer& operator<<(char c)
    {
        text_.push_back(c);
        return spill();
    }
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                                           !std::is_same_v<Integer, char>>>
    OutputBuffer& operator<<(Integer value)
    {
        char digits[24];
        text_.append(digits, std::size_t(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
        return spill();
    }
    // As fixed() and significant() write them.
    OutputBuffer& fixed(double value, int decimals)
    {
        appendFixed(text_, value, decimals);
        return spill();
    }
    OutputBuffer& significant(double value, int digits)
    {
        appendSignificant(text_, value, digits);
        return spill();
    }
    // Room for `size` more characters at the end, written by the caller, who then calls used().
    char* room(std::size_t size)
    {
        const std::size_t at = text_.size();
        text_.resize(at + size);
        return text_.data() + at;
    }
    void used(const char* end) { text_.resize(std::size_t(end - text_.data())), spill(); }

    void flush()
    {
        out_.write(text_.data(), std::streamsize(text_.size()));
        text_.clear();
    }

private:
    static constexpr std::size_t kPiece = 1 << 16;

    OutputBuffer& spill()
    {
        if (text_.size() >= kPiece)
            flush();
        return *this;
    }

    std::ostream& out_;
    std::string text_;
};

}  // namespace korvane::analysis
