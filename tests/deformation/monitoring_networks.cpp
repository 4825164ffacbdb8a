#include "monitoring_networks.h"

#include <cmath>

namespace korvane::deformation::testing {

Field gridField(int rows, int columns)
{
    Field field;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            field.names.push_back("BM" + std::to_string(r) + "-" + std::to_string(c));
            field.heightM.push_back(20.0 + 0.37 * r - 0.21 * c + 0.013 * ((r * 7 + c * 3) % 11));
            field.velocityMm.push_back(0.0);
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int b = r * columns + c;
            if (c + 1 < columns)
                field.sections.push_back({b, b + 1, 1.0});
            if (r + 1 < rows)
                field.sections.push_back({b, b + columns, 1.0});
        }
    return field;
}

EpochPlan fullPlan(const Field& field, const std::string& date, double yearsSinceFirst)
{
    EpochPlan plan;
    plan.date = date;
    plan.yearsSinceFirst = yearsSinceFirst;
    plan.observed.assign(field.sections.size(), 1);
    plan.present.assign(field.names.size(), 1);
    plan.known = field.known;
    plan.knownHeightM = std::nan("");
    return plan;
}

EpochInput observeEpoch(const Field& field, const EpochPlan& plan, double noise, std::mt19937& random,
                        const std::vector<double>* errors)
{
    std::normal_distribution<double> normal(0.0, 1.0);
    auto height = [&](int b) { return field.heightM[b] + field.velocityMm[b] * plan.yearsSinceFirst / 1000.0; };
    analysis::NetworkRows rows;
    rows.title = plan.date;
    rows.sourceName = "epoch " + plan.date;
    rows.observationPlace = plan.date + ", row ";
    rows.knownPointPlace = plan.date + ", known ";
    long row = 0;
    for (std::size_t s = 0; s < field.sections.size(); ++s) {
        const Section& section = field.sections[s];
        if (!plan.observed[s] || !plan.present[section.from] || !plan.present[section.to])
            continue;
        const double error = errors ? (*errors)[s] : noise * std::sqrt(section.km) * normal(random);
        rows.observations.push_back({field.names[section.from], field.names[section.to],
                                     height(section.to) - height(section.from) + error / 1000.0, section.km, 0.0, ++row});
    }
    const double given = std::isnan(plan.knownHeightM) ? height(plan.known) : plan.knownHeightM;
    rows.knownPoints.push_back({field.names[plan.known], given, 0.0, 1});
    return {plan.date, rows.sourceName, analysis::buildNetwork(rows)};
}

}  // namespace korvane::deformation::testing
