// Fixed-column output fields of the engine's records (console lines, level.inp, level.out,
// level.dmp and the scratch file tape3), in the notation the engine prints in its banner:
//
//   Iw    integer right-aligned in w columns
//   Fw.d  fixed point, d decimals, rounded to nearest with halves away from zero; no zero
//         before the point below 1 (.500, -.250, .000); a value that rounds to zero has no sign
//   Ew.d  .ddddE+xx right-aligned; an exponent beyond +-99 takes three digits and no letter
//   Dw.d  as Ew.d with the letter D
//   Aw    text left-aligned, cut or blank-padded to w columns
//   A     the whole text
//   nX    n blanks
//
// A number that does not fit its width is written as w asterisks.
#pragma once

#include <string>
#include <string_view>

namespace tarnex {

void appendInteger(std::string& out, long long value, int width);
void appendFixed(std::string& out, double value, int width, int decimals);
void appendExponent(std::string& out, double value, int width, int digits, char letter);
void appendText(std::string& out, std::string_view text, int width);
void appendBlanks(std::string& out, int count);

// One record built field by field: Record().X(9).A(label).I(count, 6).text()
class Record {
public:
    Record() { text_.reserve(128); }

    Record& I(long long value, int width)
    {
        appendInteger(text_, value, width);
        return *this;
    }
    Record& F(double value, int width, int decimals)
    {
        appendFixed(text_, value, width, decimals);
        return *this;
    }
    Record& E(double value, int width, int digits)
    {
        appendExponent(text_, value, width, digits, 'E');
        return *this;
    }
    Record& D(double value, int width, int digits)
    {
        appendExponent(text_, value, width, digits, 'D');
        return *this;
    }
    Record& A(std::string_view text, int width)
    {
        appendText(text_, text, width);
        return *this;
    }
    Record& A(std::string_view text)
    {
        text_.append(text);
        return *this;
    }
    Record& X(int count)
    {
        appendBlanks(text_, count);
        return *this;
    }
    // Tn: continue at column n (counted from 1); the engine only tabs forward.
    Record& T(int column)
    {
        if (static_cast<int>(text_.size()) < column - 1)
            appendBlanks(text_, column - 1 - static_cast<int>(text_.size()));
        return *this;
    }

    const std::string& text() const { return text_; }
    operator std::string_view() const { return text_; }

private:
    std::string text_;
};

}  // namespace tarnex
