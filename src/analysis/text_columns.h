// Text of the engine input file as the analysis reads it: UTF-8, with columns counted the way
// the file's code page 950 form counts them (an ASCII character takes one column, every other
// character two, as a Big5 character takes two bytes). A file read in code page 950 and the same
// file converted to UTF-8 therefore have their fields in the same columns.
#pragma once

#include <string>
#include <string_view>

namespace korvane::analysis {

bool isValidUtf8(std::string_view text);

// Columns the text takes (ASCII one, every other character two).
int columnCount(std::string_view utf8);

// Columns first..first+width-1 (counted from 1) of a line. `cut` is set when a two-column
// character stands across either edge of the field; it is then left out of the field.
struct ColumnField {
    std::string text;
    bool cut = false;
};
ColumnField columnField(std::string_view line, int first, int width);

// The text without blanks at either end (blanks: spaces and tabs).
std::string_view withoutOuterBlanks(std::string_view text);

// The first `columns` columns of a name, as the classic engine keeps observation end-point
// names (eight columns); a two-column character across the edge is kept whole, so two names
// that differ only in that character still count as different.
std::string leadingColumns(std::string_view name, int columns);

}  // namespace korvane::analysis
