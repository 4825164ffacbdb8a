#include "network_builders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane::analysis::testing {

namespace {

std::string padded(const std::string& text, bool right)
{
    if (text.size() >= 10)
        return text;
    const std::string blanks(10 - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

std::string number(double value, int decimals)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string nameOf(int index, int length)
{
    std::string name = "P" + std::to_string(index);
    while (int(name.size()) < length)
        name.insert(1, "0");
    return name;
}

}  // namespace

ObservationRow observation(std::string from, std::string to, double dh, double distance, double grade)
{
    return {std::move(from), std::move(to), dh, distance, grade, 0};
}

KnownPointRow knownPoint(std::string name, double height, double sigma)
{
    return {std::move(name), height, sigma, 0};
}

NetworkRows rowsOf(std::vector<ObservationRow> observations, std::vector<KnownPointRow> known, std::string title)
{
    NetworkRows rows;
    rows.title = std::move(title);
    rows.sourceName = "test";
    rows.observationPlace = "test, line ";
    rows.knownPointPlace = "test, known point ";
    for (std::size_t i = 0; i < observations.size(); ++i)
        observations[i].row = long(i) + 2;
    for (std::size_t i = 0; i < known.size(); ++i)
        known[i].row = long(i) + 1;
    rows.observations = std::move(observations);
    rows.knownPoints = std::move(known);
    return rows;
}

RandomNetwork randomNetwork(const RandomNetworkShape& shape, std::mt19937& random)
{
    std::uniform_real_distribution<double> heightSpread(-20.0, 20.0);
    std::uniform_real_distribution<double> length(0.2, 2.0);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::uniform_int_distribution<int> grades(1, 4);

    RandomNetwork network;
    for (int i = 0; i < shape.points; ++i) {
        network.names.push_back(nameOf(i + 1, shape.nameLength));
        network.trueHeights.push_back(50.0 + heightSpread(random));
    }
    std::vector<ObservationRow> observations;
    auto observe = [&](int a, int b) {
        const double distance = std::round(length(random) * 1000.0) / 1000.0;
        const double grade = shape.gradeWeighting ? 0.001 * grades(random) : -9.0;
        const double sigmaMm = (shape.gradeWeighting ? 1000.0 * grade : shape.noiseMm) * std::sqrt(distance);
        const double dh = network.trueHeights[b] - network.trueHeights[a] + 0.001 * sigmaMm * noise(random);
        observations.push_back(observation(network.names[a], network.names[b], std::round(dh * 1e5) / 1e5, distance, grade));
    };
    for (int i = 1; i < shape.points; ++i)
        observe(std::uniform_int_distribution<int>(0, i - 1)(random), i);
    std::uniform_int_distribution<int> anyPoint(0, shape.points - 1);
    for (int i = 0; i < shape.extraSections; ++i) {
        const int a = anyPoint(random);
        int b = anyPoint(random);
        if (b == a)
            b = (a + 1) % shape.points;
        observe(a, b);
    }
    std::shuffle(observations.begin() + 1, observations.end(), random);
    std::vector<KnownPointRow> known;
    for (int i = 0; i < shape.knownPoints; ++i) {
        const int point = (i * shape.points) / std::max(shape.knownPoints, 1);
        known.push_back(knownPoint(network.names[point], std::round(network.trueHeights[point] * 1e5) / 1e5,
                                   shape.weightedKnown ? 0.002 : 0.0));
    }
    network.rows = rowsOf(std::move(observations), std::move(known), "random network");
    return network;
}

std::string engineFileText(const NetworkRows& rows, int decimals)
{
    std::string text = rows.title + "\r\n";
    for (const ObservationRow& o : rows.observations)
        text += padded(o.from, false) + padded(o.to, false) + padded(number(o.dh, decimals), true) +
                padded(number(o.distance, 3), true) + padded(number(o.grade, 5), true) + "\r\n";
    text += "-99\r\n";
    for (const KnownPointRow& k : rows.knownPoints)
        text += padded(k.name, false) + padded(number(k.height, decimals), true) + padded(number(k.sigma, 5), true) +
                "\r\n";
    text += "-99\r\n";
    return text;
}

}  // namespace korvane::analysis::testing
