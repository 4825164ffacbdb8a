#include "deformation_csv.h"

#include "deformation_rows.h"
#include "output_buffer.h"
#include "output_file.h"
#include "result_words.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

namespace korvane::deformation {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class CsvRows {
public:
    explicit CsvRows(std::ostream& out) : out_(out) { out_ << kByteOrderMark; }

    void header(std::initializer_list<std::string_view> names)
    {
        for (std::string_view name : names)
            text(name);
        end();
    }
    CsvRows& text(std::string_view value)
    {
        separate();
        if (std::none_of(value.begin(), value.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
            out_ << value;
            return *this;
        }
        out_ << '"';
        for (char c : value)
            c == '"' ? out_ << "\"\"" : out_ << c;
        out_ << '"';
        return *this;
    }
    CsvRows& integer(long value)
    {
        separate();
        out_ << value;
        return *this;
    }
    CsvRows& number(const Quantity& value, int decimals)
    {
        separate();
        if (value)
            out_.fixed(*value, decimals);
        return *this;
    }
    CsvRows& flag(bool value) { return text(value ? "true" : "false"); }
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

    analysis::OutputBuffer out_;
    bool first_ = true;
};

constexpr int kMetres = 5;
constexpr int kMillimetres = 2;
constexpr int kRatios = 3;

}  // namespace

void writeVelocitiesCsv(const DeformationResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"name", "epochs", "height_m", "height_sigma_mm", "velocity_mm_per_year", "sigma_mm_per_year",
                 "statistic", "critical", "significant", "stable", "class", "note"});
    for (const VelocityRow& v : result.velocities) {
        rows.text(benchmarkName(result, v.benchmark)).integer(long(v.epochs.size()));
        rows.number(v.heightM, kMetres).number(v.heightSigmaMm, kMillimetres);
        rows.number(v.velocityMmPerYear, kMillimetres).number(v.sigmaMmPerYear, kMillimetres);
        rows.number(v.statistic, kRatios).number(v.critical, kRatios);
        rows.flag(v.significant).flag(v.stable).text(velocityClassName(v.kind)).text(v.note).end();
    }
}

void writeDisplacementsCsv(const DeformationResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"from_epoch", "to_epoch", "name", "displacement_mm", "sigma_mm", "statistic", "critical", "mdb_mm",
                 "significant", "stable"});
    for (const EpochComparison& c : result.comparisons)
        for (const DisplacementRow& d : c.displacements) {
            rows.text(epochDate(result, c.from)).text(epochDate(result, c.to)).text(benchmarkName(result, d.benchmark));
            rows.number(d.displacementMm, kMillimetres).number(d.sigmaMm, kMillimetres);
            rows.number(d.statistic, kRatios).number(d.critical, kRatios).number(d.mdbMm, kMillimetres);
            rows.flag(d.significant).flag(d.stable).end();
        }
}

void writeEpochsCsv(const DeformationResult& result, std::ostream& out)
{
    CsvRows rows(out);
    rows.header({"epoch", "date", "year", "source", "observations", "benchmarks", "dof", "vtpv", "sigma0_aposteriori",
                 "global_test", "variance_ratio", "variance_lower", "variance_upper", "variance_agrees"});
    for (std::size_t i = 0; i < result.epochs.size(); ++i) {
        const EpochResult& e = result.epochs[i];
        rows.integer(long(i + 1)).text(e.date).number(e.year, 4).text(e.source);
        rows.integer(e.observations).integer(e.benchmarks).integer(e.dof).number(e.vtpv, 4);
        rows.number(e.sigma0, 4).text(analysis::wordFor(e.analysis.global.verdict));
        rows.number(e.varianceRatio, 4).number(e.varianceLower, 4).number(e.varianceUpper, 4);
        rows.flag(e.varianceAgrees).end();
    }
}

void writeDeformationCsvFolder(const DeformationResult& result, const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder))
        throw analysis::OutputFileFailure(folder, true, error,
                                          "cannot make the folder " + folder.string() + ": " +
                                              (error ? error.message() : std::string("a file of that name is in the way")));
    analysis::writeOutputFile(folder / "velocities.csv", [&](std::ostream& out) { writeVelocitiesCsv(result, out); });
    analysis::writeOutputFile(folder / "displacements.csv",
                              [&](std::ostream& out) { writeDisplacementsCsv(result, out); });
    analysis::writeOutputFile(folder / "epochs.csv", [&](std::ostream& out) { writeEpochsCsv(result, out); });
}

}  // namespace korvane::deformation
