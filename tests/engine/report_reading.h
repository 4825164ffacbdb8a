// Reading values back out of a level.out report, column by column as its layout places them.
#pragma once

#include <string>
#include <vector>

namespace tarnex_test {

std::vector<std::string> reportLines(const std::string& report);

struct AdjustedPointRow {
    int number;
    std::string name;
    double elevation;  // m
    double stdCm;
};

struct ReliabilityRow {
    int sequence;
    std::string from;
    std::string to;
    double weight;
    double distance;
    double dh;
    double vCm;
    double adjusted;
    double r;
    std::string testColumn;  // as printed
    std::string marks;       // the three mark characters
};

std::vector<AdjustedPointRow> adjustedPoints(const std::string& report);
std::vector<ReliabilityRow> reliabilityRows(const std::string& report);
// The integer at the end of the line that starts with `label` (after leading blanks).
int countAfter(const std::string& report, const std::string& label);
// The line of the report that contains `part`, or "".
std::string lineWith(const std::string& text, const std::string& part);

}  // namespace tarnex_test
