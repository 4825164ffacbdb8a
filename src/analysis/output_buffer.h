// The text of a result file gathered in a buffer and handed to the stream in large pieces, so
// that writing a table of a million numbers costs their formatting and little else.
#pragma once

#include "number_format.h"

#include <charconv>
#include <cstring>
#include <ostream>
#include <string_view>
#include <type_traits>
#include <vector>

namespace korvane::analysis {

class OutputBuffer {
public:
    explicit OutputBuffer(std::ostream& out) : out_(out), text_(kSize), end_(text_.data()) {}
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { flush(); }

    OutputBuffer& operator<<(std::string_view text)
    {
        std::memcpy(room(text.size()), text.data(), text.size());
        end_ += text.size();
        return *this;
    }
    OutputBuffer& operator<<(char c)
    {
        *room(1) = c;
        ++end_;
        return *this;
    }
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                                           !std::is_same_v<Integer, char>>>
    OutputBuffer& operator<<(Integer value)
    {
        end_ = std::to_chars(room(24), end_ + 24, value).ptr;
        return *this;
    }
    // As fixed() and significant() write them.
    OutputBuffer& fixed(double value, int decimals)
    {
        end_ = writeFixed(room(fixedRoom(decimals)), value, decimals);
        return *this;
    }
    OutputBuffer& significant(double value, int digits)
    {
        end_ = writeSignificant(room(significantRoom(digits)), value, digits);
        return *this;
    }
    // Room for `size` more characters at the end, for the caller to write and then to pass the
    // end of what it wrote to used().
    char* room(std::size_t size)
    {
        if (std::size_t(text_.data() + text_.size() - end_) < size) {
            flush();
            if (text_.size() < size) {
                text_.resize(size);
                end_ = text_.data();
            }
        }
        return end_;
    }
    void used(char* end) { end_ = end; }

    // A large text straight to the stream, after what is gathered.
    void direct(std::string_view text)
    {
        flush();
        out_.write(text.data(), std::streamsize(text.size()));
    }

    void flush()
    {
        out_.write(text_.data(), std::streamsize(end_ - text_.data()));
        end_ = text_.data();
    }

private:
    static constexpr std::size_t kSize = 1 << 16;

    std::ostream& out_;
    std::vector<char> text_;
    char* end_;
};

}  // namespace korvane::analysis
