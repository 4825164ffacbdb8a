#include "csv_writer.h"

#include "number_format.h"
#include "output_buffer.h"
#include "output_file.h"
#include "result_words.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvane::analysis {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Rows of a table written field by field straight into the buffer.
class CsvRows {
public:
    explicit CsvRows(std::ostream& out) : out_(out) { out_ << kByteOrderMark; }

    void header(std::initializer_list<std::string_view> names)
    {
        for (std::string_view name : names)
            text(name);
        end();
    }
    // Quoted where it holds a comma, quote or line break.
    CsvRows& text(std::string_view value)
    {
        separate();
        if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
            out_ << value;
            return *this;
        }
        out_ << '"';
        for (std::size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
            out_ << value.substr(0, quote + 1) << '"';
            value.remove_prefix(quote + 1);
        }
        out_ << value << '"';
        return *this;
    }
    CsvRows& integer(long value)
    {
        separate();
        out_ << value;
        return *this;
    }
    CsvRows& fixed(double value, int decimals)
    {
        separate();
        out_.fixed(value, decimals);
        return *this;
    }
    // Empty when not computable.
    CsvRows& number(const Quantity& value, int decimals)
    {
        separate();
        if (value)
            out_.fixed(*value, decimals);
        return *this;
    }
    CsvRows& significant(double value, int digits)
    {
        separate();
        out_.significant(value, digits);
        return *this;
    }
    CsvRows& flag(bool value) { return text(value ? "true" : "false"); }
    CsvRows& empty()
    {
        separate();
        return *this;
    }
    void end()
    {
        out_ << "\r\n";
        first_ = true;
    }

private:
    void separate()
    {
        if (!first_)
            out_ << ',';
        first_ = false;
    }

    OutputBuffer out_;
    bool first_ = true;
};

void joined(std::string& text, const AnalysisResult& result, const std::vector<int>& points)
{
    text.clear();
    for (int point : points)
        text.append(text.empty() ? "" : " > ").append(result.points[point].name);
}

void numbers(std::string& text, const std::vector<int>& indices)
{
    text.clear();
    for (int index : indices)
        text.append(text.empty() ? "" : " ").append(std::to_string(index + 1));
}

}  // namespace

void writePointsCsv(const AnalysisResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"no", "name", "part", "known", "given_height_m", "given_sigma_m", "status", "height_m", "sigma_mm",
                 "sigma_apriori_mm", "known_residual_mm", "known_redundancy", "known_w", "known_tau", "known_mdb_mm",
                 "known_flagged", "removed_at_step", "free_offset_mm"});
    for (std::size_t i = 0; i < result.points.size(); ++i) {
        const PointResult& p = result.points[i];
        const ObservationTest test = p.knownTest.value_or(ObservationTest{});
        rows.integer(long(i + 1)).text(p.name).integer(p.part + 1).text(wordFor(p.known));
        rows.number(p.givenHeight, 5).number(p.givenSigma, 5).text(wordFor(p.status)).number(p.height, 5);
        rows.number(p.sigma, 2).number(p.sigmaApriori, 2).number(test.residual, 2).number(test.redundancy, 3);
        rows.number(test.w, 2).number(test.tau, 2).number(test.mdb, 2);
        if (p.knownTest)
            rows.flag(test.wFails || test.tauFails);
        else
            rows.empty();
        rows.integer(p.removedAtStep).number(p.freeOffset, 2).end();
    }
}

void writeObservationsCsv(const AnalysisResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"no", "origin", "from", "to", "dh_m", "distance_km", "grade", "weight", "removed_at_step",
                 "adjusted_dh_m", "residual_mm", "redundancy", "controlled", "w", "w_fails", "tau", "tau_fails",
                 "mdb_mm", "mdb_effect_mm", "gross_error_mm"});
    for (std::size_t i = 0; i < result.observations.size(); ++i) {
        const ObservationResult& o = result.observations[i];
        const ObservationTest& t = o.test;
        rows.integer(long(i + 1)).text(result.observationOrigin(int(i)));
        rows.text(result.points[o.from].name).text(result.points[o.to].name);
        rows.fixed(o.dh, 5).fixed(o.distance, 3).significant(o.grade, 6).significant(o.weight, 6);
        rows.integer(o.removedAtStep).number(o.adjustedDh, 5).number(t.residual, 2).number(t.redundancy, 3);
        rows.flag(t.controlled).number(t.w, 2).flag(t.wFails).number(t.tau, 2).flag(t.tauFails);
        rows.number(t.mdb, 2).number(t.mdbEffect, 2).number(t.grossError, 2).end();
    }
}

void writeLoopsCsv(const AnalysisResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"no", "kind", "points", "observations", "length_km", "misclosure_mm", "tolerance_mm", "passes"});
    long number = 0;
    std::string points, observations;
    for (const std::vector<ClosureCheck>* list : {&result.checks.loops, &result.checks.knownLines, &result.checks.repeats})
        for (const ClosureCheck& check : *list) {
            joined(points, result, check.points);
            numbers(observations, check.observations);
            rows.integer(++number).text(wordFor(check.kind)).text(points).text(observations);
            rows.fixed(check.lengthKm, 3).fixed(check.misclosureMm, 2).fixed(check.toleranceMm, 2);
            rows.flag(check.passes).end();
        }
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
