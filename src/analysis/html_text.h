// Text inside an HTML page: the characters that HTML reads as markup, written as references.
#pragma once

#include <string>
#include <string_view>

namespace korvane::analysis {

inline std::string htmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

}  // namespace korvane::analysis
