#include "text_columns.h"

namespace korvane::analysis {

namespace {

// Length in bytes of the UTF-8 sequence that starts with `lead`, or 0 when it cannot start one.
int sequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The byte length of the character at `at`, assuming valid UTF-8 (a broken sequence counts
// byte by byte, so that slicing never runs past the text).
std::size_t characterLength(std::string_view text, std::size_t at)
{
    const int length = sequenceLength(static_cast<unsigned char>(text[at]));
    if (length == 0 || at + static_cast<std::size_t>(length) > text.size())
        return 1;
    return static_cast<std::size_t>(length);
}

int widthOf(std::string_view text, std::size_t at)
{
    return static_cast<unsigned char>(text[at]) < 0x80 ? 1 : 2;
}

}  // namespace

bool isValidUtf8(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const int length = sequenceLength(lead);
        if (length == 0 || at + static_cast<std::size_t>(length) > text.size())
            return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

int columnCount(std::string_view utf8)
{
    int columns = 0;
    for (std::size_t at = 0; at < utf8.size(); at += characterLength(utf8, at))
        columns += widthOf(utf8, at);
    return columns;
}

ColumnField columnField(std::string_view line, int first, int width)
{
    const int last = first + width - 1;
    ColumnField field;
    int column = 1;  // column of the character at `at`
    for (std::size_t at = 0; at < line.size() && column <= last;) {
        const std::size_t length = characterLength(line, at);
        const int end = column + widthOf(line, at) - 1;
        if (column >= first && end <= last)
            field.text.append(line.substr(at, length));
        else if (end >= first)
            field.cut = true;
        column = end + 1;
        at += length;
    }
    return field;
}

std::string_view withoutOuterBlanks(std::string_view text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string leadingColumns(std::string_view name, int columns)
{
    std::string kept;
    int used = 0;
    for (std::size_t at = 0; at < name.size() && used < columns;) {
        const std::size_t length = characterLength(name, at);
        kept.append(name.substr(at, length));
        used += widthOf(name, at);
        at += length;
    }
    return kept;
}

}  // namespace korvane::analysis
