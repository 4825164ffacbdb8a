#include "csv_writer.h"

#include "number_format.h"
#include "output_file.h"
#include "result_words.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::analysis {

namespace {

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

std::string number(const Quantity& value, int decimals)
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

std::string numbers(const std::vector<int>& indices)
{
    std::string text;
    for (int index : indices)
        text += (text.empty() ? "" : " ") + std::to_string(index + 1);
    return text;
}

}  // namespace

void writePointsCsv(const AnalysisResult& result, std::ostream& out)
{
    out << kByteOrderMark;
    row(out, {"no", "name", "part", "known", "given_height_m", "given_sigma_m", "status", "height_m", "sigma_mm",
              "sigma_apriori_mm", "known_residual_mm", "known_redundancy", "known_w", "known_tau", "known_mdb_mm",
              "known_flagged", "removed_at_step", "free_offset_mm"});
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResult& p = result.points[i];
        const ObservationTest test = p.knownTest.value_or(ObservationTest{});
        row(out, {std::to_string(i + 1), field(p.name), std::to_string(p.part + 1), std::string(wordFor(p.known)),
                  number(p.givenHeight, 5), number(p.givenSigma, 5), std::string(wordFor(p.status)),
                  number(p.height, 5), number(p.sigma, 2), number(p.sigmaApriori, 2), number(test.residual, 2),
                  number(test.redundancy, 3), number(test.w, 2), number(test.tau, 2), number(test.mdb, 2),
                  p.knownTest ? flag(test.wFails || test.tauFails) : "", std::to_string(p.removedAtStep),
                  number(p.freeOffset, 2)});
    }
}

void writeObservationsCsv(const AnalysisResult& result, std::ostream& out)
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
                  significant(o.weight, 6), std::to_string(o.removedAtStep), number(o.adjustedDh, 5),
                  number(t.residual, 2), number(t.redundancy, 3), flag(t.controlled), number(t.w, 2),
                  flag(t.wFails), number(t.tau, 2), flag(t.tauFails), number(t.mdb, 2), number(t.mdbEffect, 2),
                  number(t.grossError, 2)});
    }
}

void writeLoopsCsv(const AnalysisResult& result, std::ostream& out)
{
    out << kByteOrderMark;
    row(out, {"no", "kind", "points", "observations", "length_km", "misclosure_mm", "tolerance_mm", "passes"});
    int number = 0;
    for (const std::vector<ClosureCheck>* list : {&result.checks.loops, &result.checks.knownLines, &result.checks.repeats})
        for (const ClosureCheck& check : *list)
            row(out, {std::to_string(++number), std::string(wordFor(check.kind)), field(joined(result, check.points)),
                      numbers(check.observations), fixed(check.lengthKm, 3), fixed(check.misclosureMm, 2),
                      fixed(check.toleranceMm, 2), flag(check.passes)});
}

void writeCsvFolder(const AnalysisResult& result, const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
        throw std::runtime_error("cannot make the folder " + folder.string() + ": " +
                                 (error ? error.message() : std::string("a file of that name is in the way")));
    writeOutputFile(folder / "points.csv", [&](std::ostream& out) { writePointsCsv(result, out); });
    writeOutputFile(folder / "observations.csv", [&](std::ostream& out) { writeObservationsCsv(result, out); });
    writeOutputFile(folder / "loops.csv", [&](std::ostream& out) { writeLoopsCsv(result, out); });
}

}  // namespace korvane::analysis
