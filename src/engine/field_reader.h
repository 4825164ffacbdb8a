// Reading the engine's fixed-column input records: a file as numbered lines, and its fields.
//
// Input fields: Fw.d reads a number in w columns; a decimal point written in the field is
// honoured, without one the digits are a whole number scaled by 10^-d; blanks inside the field
// are ignored; an all-blank field is zero; an exponent may follow (1.5E2, 1.5D2, 1.5+2). Iw
// reads an integer the same way. Aw takes w columns as they stand, blank-padded past the end of
// the line. A field that is not a number stops the engine with a message naming the file, the
// line and the field.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarnex {

std::optional<double> parseReal(std::string_view field, int decimals);
std::optional<long long> parseInteger(std::string_view field);

// Columns first..first+width-1 (counted from 1) of a line, blank-padded to width.
std::string columnsOf(std::string_view line, int first, int width);

class LineFile {
public:
    // Reads the whole file; a file that cannot be read stops the engine.
    LineFile(const std::filesystem::path& path, std::string displayName);

    // Moves to the next line; false at the end of the file.
    bool next();
    void rewind();

    std::string_view line() const { return line_; }
    long lineNumber() const { return number_; }
    const std::string& displayName() const { return displayName_; }

    std::string text(int first, int width) const { return columnsOf(line_, first, width); }
    double real(int first, int width, int decimals, std::string_view field) const;
    long long integer(int first, int width, std::string_view field) const;

    // Stops the engine: the file ended where `expected` was still to come.
    [[noreturn]] void endedEarly(std::string_view expected) const;
    // Stops the engine naming the current line and a field.
    [[noreturn]] void fieldError(int first, int width, std::string_view field, std::string_view problem) const;

private:
    std::string content_;
    std::size_t position_ = 0;
    long number_ = 0;
    std::string_view line_;
    std::string displayName_;
};

}  // namespace tarnex
