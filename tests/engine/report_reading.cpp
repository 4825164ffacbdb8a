#include "report_reading.h"

#include <gtest/gtest.h>

namespace tarnex_test {

namespace {

std::string field(const std::string& line, int first, int last)
{
    if (static_cast<int>(line.size()) < first)
        return {};
    return line.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

std::string trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

double number(const std::string& line, int first, int last)
{
    const std::string text = trimmed(field(line, first, last));
    EXPECT_FALSE(text.empty() || text.find('*') != std::string::npos) << "no number in columns " << first << "-"
                                                                       << last << " of \"" << line << "\"";
    return text.empty() || text.find('*') != std::string::npos ? 0.0 : std::stod(text);
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& part)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(part) != std::string::npos)
            return i;
    ADD_FAILURE() << "no line holds \"" << part << "\"";
    return lines.size();
}

}  // namespace

std::vector<std::string> reportLines(const std::string& report)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < report.size()) {
        const auto end = report.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(report.substr(start));
            break;
        }
        lines.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<AdjustedPointRow> adjustedPoints(const std::string& report)
{
    const std::vector<std::string> lines = reportLines(report);
    std::vector<AdjustedPointRow> rows;
    for (std::size_t i = indexOf(lines, "*** Adjusted Elevations of Points ***") + 4; i < lines.size() && !lines[i].empty(); ++i)
        rows.push_back({static_cast<int>(number(lines[i], 2, 6)), trimmed(field(lines[i], 11, 18)),
                        number(lines[i], 22, 33), number(lines[i], 38, 46)});
    return rows;
}

std::vector<ReliabilityRow> reliabilityRows(const std::string& report)
{
    const std::vector<std::string> lines = reportLines(report);
    std::vector<ReliabilityRow> rows;
    for (std::size_t i = indexOf(lines, "*** Reliability Analysis Information ***") + 6; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind(" sum of local", 0) == 0)
            break;
        if (line.rfind(" *** rt < 0", 0) == 0)
            continue;
        rows.push_back({static_cast<int>(number(line, 1, 5)), trimmed(field(line, 7, 14)), trimmed(field(line, 16, 23)),
                        number(line, 24, 28), number(line, 29, 34), number(line, 35, 44), number(line, 45, 51),
                        number(line, 52, 61), number(line, 62, 67), field(line, 68, 74), field(line, 76, 78)});
    }
    return rows;
}

int countAfter(const std::string& report, const std::string& label)
{
    const std::string line = lineWith(report, label);
    EXPECT_FALSE(line.empty()) << label;
    return line.empty() ? -1 : std::stoi(line.substr(line.size() - 6));
}

std::string lineWith(const std::string& text, const std::string& part)
{
    const auto at = text.find(part);
    if (at == std::string::npos)
        return {};
    const auto begin = text.rfind('\n', at);
    const auto end = text.find_first_of("\r\n", at);
    const std::size_t from = begin == std::string::npos ? 0 : begin + 1;
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

}  // namespace tarnex_test
