// The result files as they were first written: the JSON document through a document tree of
// nlohmann-json (each element built as a json value and dumped) and the CSV tables through a
// string per field. The writers stream the same bytes; the tests hold them to these.
#include "reference_writers.h"

#include "number_format.h"
#include "result_words.h"

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>
#include <vector>

namespace korvane::analysis::testing {

namespace {


using nlohmann::json;

constexpr int kMetres = 6;       // m: to the micrometre
constexpr int kMillimetres = 3;  // mm
constexpr int kRatios = 4;       // r, w, tau and other pure numbers

json number(const Quantity& value, int decimals)
{
    return value ? json(rounded(*value, decimals)) : json(nullptr);
}

json names(const AnalysisResult& result, const std::vector<int>& points)
{
    json list = json::array();
    for (int point : points)
        list.push_back(result.points[point].name);
    return list;
}

json numbers(const std::vector<int>& indices)
{
    json list = json::array();
    for (int index : indices)
        list.push_back(index + 1);
    return list;
}

json closure(const AnalysisResult& result, const ClosureCheck& check)
{
    return {{"kind", wordFor(check.kind)},
            {"points", names(result, check.points)},
            {"observations", numbers(check.observations)},
            {"misclosure_mm", rounded(check.misclosureMm, kMillimetres)},
            {"length_km", rounded(check.lengthKm, kMetres)},
            {"tolerance_mm", rounded(check.toleranceMm, kMillimetres)},
            {"passes", check.passes}};
}

json testFields(const ObservationTest& test)
{
    return {{"residual_mm", number(test.residual, kMillimetres)},
            {"redundancy", number(test.redundancy, kRatios)},
            {"controlled", test.controlled},
            {"w", number(test.w, kRatios)},
            {"w_fails", test.w ? json(test.wFails) : json(nullptr)},
            {"tau", number(test.tau, kRatios)},
            {"tau_fails", test.tau ? json(test.tauFails) : json(nullptr)},
            {"mdb_mm", number(test.mdb, kMillimetres)},
            {"mdb_effect_mm", number(test.mdbEffect, kMillimetres)},
            {"gross_error_mm", number(test.grossError, kMillimetres)}};
}

json global(const GlobalTest& test)
{
    return {{"dof", test.dof},
            {"vtpv", rounded(test.vtpv, kRatios)},
            {"sigma0_aposteriori", number(test.sigma0Posterior, kRatios)},
            {"sigma0_apriori", number(test.sigma0Apriori, kRatios)},
            {"statistic", number(test.statistic, kRatios)},
            {"lower", number(test.lower, kRatios)},
            {"upper", number(test.upper, kRatios)},
            {"verdict", wordFor(test.verdict)},
            {"reason", test.reason}};
}

json options(const AnalysisResult& result)
{
    const AnalysisOptions& o = result.options;
    return {{"tolerance_class", o.toleranceClass.empty() ? json(nullptr) : json(o.toleranceClass)},
            {"k_mm", o.toleranceK},
            {"alpha", o.alpha},
            {"alpha0", o.alpha0},
            {"alpha0_rule", wordFor(o.alpha0Rule)},
            {"power", o.power},
            {"sigma0_apriori_option", o.sigma0 ? json(*o.sigma0) : json(nullptr)},
            {"free_network", o.freeNetwork},
            {"datum_points", o.datumPoints},
            {"snoop", o.snoop},
            {"snoop_limit", o.snoopLimit},
            {"snoop_stop", wordFor(o.snoopStop)}};
}

json part(const AnalysisResult& result, int index)
{
    const PartCheck& part = result.checks.parts[index];
    return {{"no", index + 1},
            {"points", names(result, part.points)},
            {"known_points", names(result, part.knownPoints)},
            {"observations", part.observations},
            {"has_datum", part.hasDatum}};
}

json nameFinding(const AnalysisResult& result, const NameFinding& finding)
{
    return {{"kind", wordFor(finding.kind)}, {"points", names(result, finding.points)}, {"classic_name", finding.classicName}};
}

json point(const AnalysisResult& result, int index)
{
    const PointResult& p = result.points[index];
    return {{"no", index + 1},
            {"name", p.name},
            {"part", p.part + 1},
            {"known", wordFor(p.known)},
            {"given_height_m", number(p.givenHeight, kMetres)},
            {"given_sigma_m", number(p.givenSigma, kMetres)},
            {"status", wordFor(p.status)},
            {"height_m", number(p.height, kMetres)},
            {"sigma_mm", number(p.sigma, kMillimetres)},
            {"sigma_apriori_mm", number(p.sigmaApriori, kMillimetres)},
            {"known_test", p.knownTest ? testFields(*p.knownTest) : json(nullptr)},
            {"removed_at_step", p.removedAtStep},
            {"free_offset_mm", number(p.freeOffset, kMillimetres)}};
}

json observation(const AnalysisResult& result, int index)
{
    const ObservationResult& o = result.observations[index];
    json row = {{"no", index + 1},
                {"origin", result.observationOrigin(index)},
                {"from", result.points[o.from].name},
                {"to", result.points[o.to].name},
                {"dh_m", o.dh},
                {"distance_km", o.distance},
                {"grade", o.grade},
                {"weight", o.weight},
                {"adjusted_dh_m", number(o.adjustedDh, kMetres)},
                {"removed_at_step", o.removedAtStep}};
    row.update(testFields(o.test));
    return row;
}

json snoopStep(const AnalysisResult& result, const SnoopStep& step)
{
    json removed = step.removed.knownHeight
                       ? json{{"kind", "known-height"}, {"point", result.points[step.removed.index].name}}
                       : json{{"kind", "observation"}, {"observation", step.removed.index + 1}};
    return {{"step", step.step},
            {"removed", removed},
            {"statistic", step.statisticName},
            {"value", rounded(step.statistic, kRatios)},
            {"critical", rounded(step.critical, kRatios)},
            {"dof", step.dof},
            {"sigma0_aposteriori", number(step.sigma0Posterior, kRatios)},
            {"misfit_mm", number(step.misfit, kMillimetres)},
            {"readmission_statistic", number(step.readmissionStatistic, kRatios)},
            {"readmission_critical", number(step.readmissionCritical, kRatios)},
            {"readmissible", step.readmissible}};
}

// Writes "name": [ one element per line ] at the given depth.
template <typename Element>
void writeList(std::ostream& out, int depth, std::string_view name, std::size_t count, const Element& element,
               bool last = false)
{
    const std::string indent(2 * depth, ' ');
    out << indent << '"' << name << "\": [";
    for (std::size_t i = 0; i < count; ++i)
        out << (i == 0 ? "\n" : ",\n") << indent << "  " << element(i).dump();
    out << (count == 0 ? "]" : "\n" + indent + "]") << (last ? "\n" : ",\n");
}

void writeMember(std::ostream& out, std::string_view name, const json& value)
{
    out << "  \"" << name << "\": " << value.dump() << ",\n";
}

void writeChecks(std::ostream& out, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    auto closures = [&](const std::vector<ClosureCheck>& list) {
        return [&](std::size_t i) { return closure(result, list[i]); };
    };
    out << "  \"checks\": {\n";
    writeList(out, 2, "parts", checks.parts.size(), [&](std::size_t i) { return part(result, int(i)); });
    writeList(out, 2, "repeats", checks.repeats.size(), closures(checks.repeats));
    writeList(out, 2, "loops", checks.loops.size(), closures(checks.loops));
    writeList(out, 2, "known_lines", checks.knownLines.size(), closures(checks.knownLines));
    writeList(out, 2, "names", checks.names.size(), [&](std::size_t i) { return nameFinding(result, checks.names[i]); },
              true);
    out << "  },\n";
}



constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string field(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void row(std::ostream& out, std::initializer_list<std::string> fields)
{
    bool first = true;
    for (const std::string& f : fields) {
        if (!first)
            out << ',';
        out << f;
        first = false;
    }
    out << "\r\n";
}

std::string flag(bool value)
{
    return value ? "true" : "false";
}

std::string verdictField(const std::optional<bool>& value)
{
    return value ? flag(*value) : "";
}

std::string csvNumber(const Quantity& value, int decimals)
{
    return fixedOr(value, decimals, "");
}

std::string joined(const AnalysisResult& result, const std::vector<int>& points)
{
    std::string text;
    for (int point : points)
        text += (text.empty() ? "" : " > ") + result.points[point].name;
    return text;
}

std::string csvNumbers(const std::vector<int>& indices)
{
    std::string text;
    for (int index : indices)
        text += (text.empty() ? "" : " ") + std::to_string(index + 1);
    return text;
}

}  // namespace

void writeJsonByTree(const AnalysisResult& result, std::ostream& out)
{
    out << "{\n";
    writeMember(out, "format", "korvane-network-analysis");
    writeMember(out, "format_version", 1);
    writeMember(out, "title", result.title);
    writeMember(out, "source", result.sourceName);
    writeMember(out, "options", options(result));
    writeMember(out, "weighting", wordFor(result.weighting));
    writeMember(out, "weight_unit", weightUnit(result.weighting));
    writeMember(out, "sigma0_unit", sigma0Unit(result.weighting));
    writeMember(out, "notes", result.notes);
    writeMember(out, "counts",
                {{"points", result.points.size()},
                 {"observations", result.observations.size()},
                 {"unknowns", result.unknowns},
                 {"datum_defect", result.datumDefect},
                 {"equations", result.equations},
                 {"parts", result.checks.parts.size()}});
    writeChecks(out, result);
    writeMember(out, "global_test", global(result.global));
    writeMember(out, "global_test_before_snooping",
                result.globalBeforeSnooping ? global(*result.globalBeforeSnooping) : json(nullptr));
    writeMember(out, "critical_values",
                {{"alpha0", result.levels.alpha0},
                 {"statistic", decidingStatistic(result)},
                 {"w", rounded(result.levels.wCritical, kRatios)},
                 {"tau", number(result.levels.tauCritical, kRatios)},
                 {"delta0", rounded(result.levels.delta0, kRatios)},
                 {"mdb_sigma0", result.mdbSigma0}});
    writeList(out, 1, "points", result.points.size(), [&](std::size_t i) { return point(result, int(i)); });
    writeList(out, 1, "observations", result.observations.size(), [&](std::size_t i) { return observation(result, int(i)); });
    writeList(out, 1, "snooping", result.snooping.size(),
              [&](std::size_t i) { return snoopStep(result, result.snooping[i]); }, true);
    out << "}\n";
}


void writePointsCsvByStrings(const AnalysisResult& result, std::ostream& out)
{
    out << kByteOrderMark;
    row(out, {"no", "name", "part", "known", "given_height_m", "given_sigma_m", "status", "height_m", "sigma_mm",
              "sigma_apriori_mm", "known_residual_mm", "known_redundancy", "known_w", "known_tau", "known_mdb_mm",
              "known_flagged", "removed_at_step", "free_offset_mm"});
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResult& p = result.points[i];
        const ObservationTest test = p.knownTest.value_or(ObservationTest{});
        row(out, {std::to_string(i + 1), field(p.name), std::to_string(p.part + 1), std::string(wordFor(p.known)),
                  csvNumber(p.givenHeight, 5), csvNumber(p.givenSigma, 5), std::string(wordFor(p.status)),
                  csvNumber(p.height, 5), csvNumber(p.sigma, 2), csvNumber(p.sigmaApriori, 2), csvNumber(test.residual, 2),
                  csvNumber(test.redundancy, 3), csvNumber(test.w, 2), csvNumber(test.tau, 2), csvNumber(test.mdb, 2),
                  p.knownTest ? verdictField(decidingVerdict(result, test)) : "", std::to_string(p.removedAtStep),
                  csvNumber(p.freeOffset, 2)});
    }
}

void writeObservationsCsvByStrings(const AnalysisResult& result, std::ostream& out)
{
    out << kByteOrderMark;
    row(out, {"no", "origin", "from", "to", "dh_m", "distance_km", "grade", "weight", "removed_at_step",
              "adjusted_dh_m", "residual_mm", "redundancy", "controlled", "w", "w_fails", "tau", "tau_fails", "mdb_mm",
              "mdb_effect_mm", "gross_error_mm"});
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        const ObservationResult& o = result.observations[i];
        const ObservationTest& t = o.test;
        row(out, {std::to_string(i + 1), field(result.observationOrigin(int(i))), field(result.points[o.from].name),
                  field(result.points[o.to].name), fixed(o.dh, 5), fixed(o.distance, 3), significant(o.grade, 6),
                  significant(o.weight, 6), std::to_string(o.removedAtStep), csvNumber(o.adjustedDh, 5),
                  csvNumber(t.residual, 2), csvNumber(t.redundancy, 3), flag(t.controlled), csvNumber(t.w, 2),
                  t.w ? flag(t.wFails) : "", csvNumber(t.tau, 2), t.tau ? flag(t.tauFails) : "", csvNumber(t.mdb, 2), csvNumber(t.mdbEffect, 2),
                  csvNumber(t.grossError, 2)});
    }
}

void writeLoopsCsvByStrings(const AnalysisResult& result, std::ostream& out)
{
    out << kByteOrderMark;
    row(out, {"no", "kind", "points", "observations", "length_km", "misclosure_mm", "tolerance_mm", "passes"});
    int number = 0;
    for (const std::vector<ClosureCheck>* list : {&result.checks.loops, &result.checks.knownLines, &result.checks.repeats})
        for (const ClosureCheck& check : *list)
            row(out, {std::to_string(++number), std::string(wordFor(check.kind)), field(joined(result, check.points)),
                      csvNumbers(check.observations), fixed(check.lengthKm, 3), fixed(check.misclosureMm, 2),
                      fixed(check.toleranceMm, 2), flag(check.passes)});
}

}  // namespace korvane::analysis::testing
