#include "grid_network.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace korvane::analysis::bench {

namespace {

constexpr double kGrade = 0.003;  // m per square root of a km

std::string pointName(int column, int row)
{
    return "G" + std::to_string(row) + "-" + std::to_string(column);
}

std::string field(const std::string& text, bool right)
{
    if (text.size() >= 10)
        return text;
    const std::string blanks(10 - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

std::string number(double value, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace

NetworkRows gridNetworkRows(int columns, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> length(0.3, 1.5);
    std::uniform_real_distribution<double> terrain(-2.0, 2.0);
    std::normal_distribution<double> noise(0.0, 1.0);

    std::vector<double> height(static_cast<std::size_t>(columns) * rows);
    for (std::size_t i = 0; i < height.size(); ++i)
        height[i] = 100.0 + terrain(random) + 0.001 * double(i % 997);
    auto heightAt = [&](int column, int row) { return height[static_cast<std::size_t>(row) * columns + column]; };

    NetworkRows network;
    network.title = "Grid-like network " + std::to_string(columns) + " x " + std::to_string(rows);
    network.sourceName = "generated";
    network.observationPlace = "generated, observation ";
    network.knownPointPlace = "generated, known point ";
    auto observe = [&](int c1, int r1, int c2, int r2) {
        const double distance = length(random);
        const double error = kGrade * std::sqrt(distance) * noise(random);
        network.observations.push_back({pointName(c1, r1), pointName(c2, r2),
                                        heightAt(c2, r2) - heightAt(c1, r1) + error, distance, kGrade,
                                        long(network.observations.size()) + 2});
    };
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (column + 1 < columns)
                observe(column, row, column + 1, row);
            if (row + 1 < rows && column % 2 == 0)
                observe(column, row, column, row + 1);
        }
    }
    // Known points about every 32 points along a row and every 32 rows: ~1 in 1000.
    bool fixed = true;
    for (int row = 12; row < rows; row += 32) {
        for (int column = 16; column < columns; column += 32) {
            network.knownPoints.push_back({pointName(column, row), heightAt(column, row), fixed ? 0.0 : 0.002,
                                           long(network.knownPoints.size()) + 1});
            fixed = !fixed;
        }
    }
    return network;
}

std::string engineFileText(const NetworkRows& rows)
{
    std::string text = rows.title + "\r\n";
    for (const ObservationRow& o : rows.observations)
        text += field(o.from, false) + field(o.to, false) + field(number(o.dh, 5), true) +
                field(number(o.distance, 3), true) + field(number(o.grade, 5), true) + "\r\n";
    text += "-99\r\n";
    for (const KnownPointRow& k : rows.knownPoints)
        text += field(k.name, false) + field(number(k.height, 5), true) + field(number(k.sigma, 5), true) + "\r\n";
    text += "-99\r\n";
    return text;
}

}  // namespace korvane::analysis::bench
