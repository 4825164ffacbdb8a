#pragma once
// Leica GSI and DiNi M5 levelling files written from their public descriptions, for the tests: a
// line is given as its set-ups, and the file holds the readings in the order of the method with
// the instrument's running height (83 / Z) and running length (574 / Db, Df).

#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace korvane::testing::levels {

struct Station {
    std::string back, fore;
    std::vector<double> backReadings, foreReadings;  // m (or feet with a feet unit), in reading order
    double backDistance = 15, foreDistance = 15;     // m
};

struct GsiLine {
    int methodDigit = 1;  // 1 BF, 2 BFFB, 3 BFBF, 4 aBF, 5 aBFFB
    double startHeight = 100;
    std::vector<Station> setups;
    std::set<int> deleted;  // set-ups the instrument counted in its running values but the file lacks
};

struct GsiStyle {
    bool gsi16 = false;
    char unit = '8';               // 0, 6, 8: metre to 1, 0.1, 0.01 mm; 1, 7: foot to 0.001, 0.0001 ft
    std::string lineEnd = "\r\n";
};

inline double perUnit(char unit) {
    switch (unit) {
        case '0': case '1': return 1e3;
        case '6': case '7': return 1e4;
        default: return 1e5;
    }
}

inline std::string number(double value, char unit, int width) {
    const long long units = std::llround(std::abs(value) * perUnit(unit));
    std::string digits = std::to_string(units);
    return (value < 0 ? "-" : "+") + std::string(width - digits.size(), '0') + digits;
}

// A measured word: "331.08+00123456" (three-digit index) or "32...8+00150000".
inline std::string word(int index, double value, const GsiStyle& style) {
    const std::string head = index >= 100 ? std::to_string(index) + ".0" + style.unit : std::to_string(index) + "..." + style.unit;
    return head + number(value, style.unit, style.gsi16 ? 16 : 8) + " ";
}

inline std::string pointWord(int block, const std::string& name, const GsiStyle& style) {
    const int width = style.gsi16 ? 16 : 8;
    char number[8];
    std::snprintf(number, sizeof number, "%04d", block % 10000);
    return std::string("11") + number + "+" + std::string(width - name.size(), '0') + name + " ";
}

inline std::string gsiFile(const std::vector<GsiLine>& lines, const GsiStyle& style = {}) {
    std::string text;
    int block = 0;
    const auto blockStart = [&] { text += style.gsi16 ? "*" : ""; };
    const auto blockEnd = [&] {
        if (text.back() == ' ') text.pop_back();
        text += style.lineEnd;
    };
    for (const GsiLine& line : lines) {
        ++block;
        blockStart();
        char number[12];
        std::snprintf(number, sizeof number, "%04d", block);
        text += std::string("41") + number + "+" + std::string(style.gsi16 ? 14 : 6, '?') + "." + std::to_string(line.methodDigit) + " ";
        blockEnd();
        blockStart();
        text += pointWord(++block, line.setups.front().back, style) + word(83, line.startHeight, style);
        blockEnd();
        double height = line.startHeight, length = 0;
        for (std::size_t s = 0; s < line.setups.size(); ++s) {
            const Station& setup = line.setups[s];
            double back = 0, fore = 0;
            for (double r : setup.backReadings) back += r / setup.backReadings.size();
            for (double r : setup.foreReadings) fore += r / setup.foreReadings.size();
            height += back - fore;
            length += setup.backDistance + setup.foreDistance;
            if (line.deleted.count(static_cast<int>(s))) continue;
            // The readings in the order of the method; alternate methods turn the order at even set-ups.
            const bool turned = (line.methodDigit == 4 || line.methodDigit == 5) && s % 2 == 1;
            std::vector<std::pair<bool, int>> order;  // (back?, reading index)
            if (setup.backReadings.size() == 1) {
                order = {{true, 0}, {false, 0}};
            } else if (line.methodDigit == 3) {
                order = {{true, 0}, {false, 0}, {true, 1}, {false, 1}};
            } else {
                order = {{true, 0}, {false, 0}, {false, 1}, {true, 1}};
            }
            if (turned) for (auto& step : order) step.first = !step.first;
            for (const auto& [isBack, i] : order) {
                blockStart();
                const int index = isBack ? (i == 0 ? 331 : 335) : (i == 0 ? 332 : 336);
                text += pointWord(++block, isBack ? setup.back : setup.fore, style) +
                        word(32, isBack ? setup.backDistance : setup.foreDistance, style) +
                        word(index, isBack ? setup.backReadings[i] : setup.foreReadings[i], style);
                blockEnd();
            }
            blockStart();
            text += pointWord(++block, setup.fore, style) + word(574, length, style) + word(83, height, style);
            blockEnd();
        }
    }
    return text;
}

// An M5 record: address, type and information, three value blocks ("" for an empty block).
inline std::string m5Record(int address, const std::string& info, const std::string& v3, const std::string& v4,
                            const std::string& v5) {
    char head[64];
    std::snprintf(head, sizeof head, "For M5|Adr %5d|", address);
    const auto padded = [](std::string text, std::size_t width) {
        text.resize(std::max(width, text.size()), ' ');
        return text;
    };
    return head + padded(info, 30) + "|" + padded(v3, 22) + "|" + padded(v4, 22) + "|" + padded(v5, 22) + "| \r\n";
}

// A value block: "Rb        1.23456 m   ".
inline std::string m5Value(const std::string& type, double value, const std::string& unit = "m") {
    char text[64];
    std::snprintf(text, sizeof text, "%-2s %14.5f %-4s", type.c_str(), value, unit.c_str());
    return text;
}

}  // namespace korvane::testing::levels
