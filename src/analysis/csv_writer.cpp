#include "csv_writer.h"

#include "block_writer.h"
#include "number_format.h"
#include "output_buffer.h"
#include "output_file.h"
#include "result_words.h"

#include <algorithm>
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
    explicit CsvRows(OutputBuffer& out) : out_(out) {}

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
        const bool quoted = needsQuotes(value);
        return open(quoted).part(value, quoted).close(quoted);
    }
    // Where observation i stands: its place and row number, one field.
    CsvRows& origin(const AnalysisResult& result, int i)
    {
        separate();
        const bool quoted = needsQuotes(result.observationPlace);
        open(quoted).part(result.observationPlace, quoted);
        out_ << result.observations[i].row;
        return close(quoted);
    }
    // Point names joined by " > ", one field.
    CsvRows& walk(const AnalysisResult& result, const std::vector<int>& points)
    {
        separate();
        const bool quoted =
            std::any_of(points.begin(), points.end(), [&](int p) { return needsQuotes(result.points[p].name); });
        open(quoted);
        for (std::size_t i = 0; i < points.size(); ++i)
            part(i == 0 ? "" : " > ", false).part(result.points[points[i]].name, quoted);
        return close(quoted);
    }
    // Numbers from 1 separated by blanks, one field.
    CsvRows& numbers(const std::vector<int>& indices)
    {
        separate();
        for (std::size_t i = 0; i < indices.size(); ++i)
            (i == 0 ? out_ : out_ << ' ') << indices[i] + 1;
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
    static bool needsQuotes(std::string_view text)
    {
        return std::any_of(text.begin(), text.end(),
                           [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    }
    CsvRows& open(bool quoted)
    {
        if (quoted)
            out_ << '"';
        return *this;
    }
    CsvRows& close(bool quoted) { return open(quoted); }
    // Text inside a field; quotes doubled when the field is quoted.
    CsvRows& part(std::string_view text, bool quoted)
    {
        for (std::size_t quote; quoted && (quote = text.find('"')) != std::string_view::npos;) {
            out_ << text.substr(0, quote + 1) << '"';
            text.remove_prefix(quote + 1);
        }
        out_ << text;
        return *this;
    }

    void separate()
    {
        if (!first_)
            out_ << ',';
        first_ = false;
    }

    OutputBuffer& out_;
    bool first_ = true;
};

// A table: the byte-order mark, the header, then its rows, on two threads when they are many.
template <typename Row>
void writeTable(std::ostream& stream, std::initializer_list<std::string_view> header, std::size_t count, const Row& row)
{
    OutputBuffer out(stream);
    out << kByteOrderMark;
    CsvRows(out).header(header);
    writeInBlocks(out, count, [&](OutputBuffer& into, std::size_t first, std::size_t end) {
        CsvRows rows(into);
        for (std::size_t i = first; i < end; ++i)
            row(rows, i);
    });
}

}  // namespace

void writePointsCsv(const AnalysisResult& result, std::ostream& out)
{
    writeTable(out,
               {"no", "name", "part", "known", "given_height_m", "given_sigma_m", "status", "height_m", "sigma_mm",
                "sigma_apriori_mm", "known_residual_mm", "known_redundancy", "known_w", "known_tau", "known_mdb_mm",
                "known_flagged", "removed_at_step", "free_offset_mm"},
               result.points.size(), [&](CsvRows& rows, std::size_t i) {
        const PointResult& p = result.points[i];
        const ObservationTest test = p.knownTest.value_or(ObservationTest{});
        rows.integer(long(i + 1)).text(p.name).integer(p.part + 1).text(wordFor(p.known));
        rows.number(p.givenHeight, 5).number(p.givenSigma, 5).text(wordFor(p.status)).number(p.height, 5);
        rows.number(p.sigma, 2).number(p.sigmaApriori, 2).number(test.residual, 2).number(test.redundancy, 3);
        rows.number(test.w, 2).number(test.tau, 2).number(test.mdb, 2);
        const std::optional<bool> flagged = p.knownTest ? decidingVerdict(result, test) : std::nullopt;
        if (flagged)
            rows.flag(*flagged);
        else
            rows.empty();
        rows.integer(p.removedAtStep).number(p.freeOffset, 2).end();
    });
}

void writeObservationsCsv(const AnalysisResult& result, std::ostream& out)
{
    writeTable(out,
               {"no", "origin", "from", "to", "dh_m", "distance_km", "grade", "weight", "removed_at_step",
                "adjusted_dh_m", "residual_mm", "redundancy", "controlled", "w", "w_fails", "tau", "tau_fails",
                "mdb_mm", "mdb_effect_mm", "gross_error_mm"},
               result.observations.size(), [&](CsvRows& rows, std::size_t i) {
        const ObservationResult& o = result.observations[i];
        const ObservationTest& t = o.test;
        rows.integer(long(i + 1)).origin(result, int(i));
        rows.text(result.points[o.from].name).text(result.points[o.to].name);
        rows.fixed(o.dh, 5).fixed(o.distance, 3).significant(o.grade, 6).significant(o.weight, 6);
        rows.integer(o.removedAtStep).number(o.adjustedDh, 5).number(t.residual, 2).number(t.redundancy, 3);
        rows.flag(t.controlled).number(t.w, 2);
        t.w ? rows.flag(t.wFails) : rows.empty();
        rows.number(t.tau, 2);
        t.tau ? rows.flag(t.tauFails) : rows.empty();
        rows.number(t.mdb, 2).number(t.mdbEffect, 2).number(t.grossError, 2).end();
    });
}

void writeLoopsCsv(const AnalysisResult& result, std::ostream& out)
{
    OutputBuffer buffer(out);
    buffer << kByteOrderMark;
    CsvRows rows(buffer);
    rows.header({"no", "kind", "points", "observations", "length_km", "misclosure_mm", "tolerance_mm", "passes"});
    long number = 0;
    for (const std::vector<ClosureCheck>* list : {&result.checks.loops, &result.checks.knownLines, &result.checks.repeats})
        for (const ClosureCheck& check : *list) {
            rows.integer(++number).text(wordFor(check.kind)).walk(result, check.points).numbers(check.observations);
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
