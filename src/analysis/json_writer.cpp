#include "json_writer.h"

#include "block_writer.h"
#include "json_text.h"
#include "number_format.h"
#include "output_buffer.h"
#include "result_words.h"

namespace korvane::analysis {

namespace {

constexpr int kMetres = 6;       // m: to the micrometre
constexpr int kMillimetres = 3;  // mm
constexpr int kRatios = 4;       // r, w, tau and other pure numbers

void names(JsonText& json, const AnalysisResult& result, const std::vector<int>& points)
{
    json.openList();
    for (int point : points)
        json.value(result.points[point].name);
    json.closeList();
}

void numbers(JsonText& json, const std::vector<int>& indices)
{
    json.openList();
    for (int index : indices)
        json.value(index + 1);
    json.closeList();
}

void closure(JsonText& json, const AnalysisResult& result, const ClosureCheck& check)
{
    json.open();
    json["kind"].value(wordFor(check.kind));
    json["length_km"].value(rounded(check.lengthKm, kMetres));
    json["misclosure_mm"].value(rounded(check.misclosureMm, kMillimetres));
    json["observations"];
    numbers(json, check.observations);
    json["passes"].value(check.passes);
    json["points"];
    names(json, result, check.points);
    json["tolerance_mm"].value(rounded(check.toleranceMm, kMillimetres));
    json.close();
}

// A test's verdict, or null when its statistic could not be computed (no test was made).
void verdict(JsonText& json, const Quantity& statistic, bool fails)
{
    if (statistic)
        json.value(fails);
    else
        json.null();
}

// The tests of a weighted known height (an observation's are among its other fields).
void testFields(JsonText& json, const ObservationTest& test)
{
    json.open();
    json["controlled"].value(test.controlled);
    json["gross_error_mm"].value(test.grossError, kMillimetres);
    json["mdb_effect_mm"].value(test.mdbEffect, kMillimetres);
    json["mdb_mm"].value(test.mdb, kMillimetres);
    json["redundancy"].value(test.redundancy, kRatios);
    json["residual_mm"].value(test.residual, kMillimetres);
    json["tau"].value(test.tau, kRatios);
    json["tau_fails"];
    verdict(json, test.tau, test.tauFails);
    json["w"].value(test.w, kRatios);
    json["w_fails"];
    verdict(json, test.w, test.wFails);
    json.close();
}

void global(JsonText& json, const GlobalTest& test)
{
    json.open();
    json["dof"].value(test.dof);
    json["lower"].value(test.lower, kRatios);
    json["reason"].value(test.reason);
    json["sigma0_aposteriori"].value(test.sigma0Posterior, kRatios);
    json["sigma0_apriori"].value(test.sigma0Apriori, kRatios);
    json["statistic"].value(test.statistic, kRatios);
    json["upper"].value(test.upper, kRatios);
    json["verdict"].value(wordFor(test.verdict));
    json["vtpv"].value(rounded(test.vtpv, kRatios));
    json.close();
}

void options(JsonText& json, const AnalysisResult& result)
{
    const AnalysisOptions& o = result.options;
    json.open();
    json["alpha"].value(o.alpha);
    json["alpha0"].value(o.alpha0);
    json["alpha0_rule"].value(wordFor(o.alpha0Rule));
    json["datum_points"].value(o.datumPoints);
    json["free_network"].value(o.freeNetwork);
    json["k_mm"].value(o.toleranceK);
    json["power"].value(o.power);
    json["sigma0_apriori_option"];
    if (o.sigma0)
        json.value(*o.sigma0);
    else
        json.null();
    json["snoop"].value(o.snoop);
    json["snoop_limit"].value(o.snoopLimit);
    json["snoop_stop"].value(wordFor(o.snoopStop));
    json["tolerance_class"];
    if (o.toleranceClass.empty())
        json.null();
    else
        json.value(o.toleranceClass);
    json.close();
}

void counts(JsonText& json, const AnalysisResult& result)
{
    json.open();
    json["datum_defect"].value(result.datumDefect);
    json["equations"].value(result.equations);
    json["observations"].value(result.observations.size());
    json["parts"].value(result.checks.parts.size());
    json["points"].value(result.points.size());
    json["unknowns"].value(result.unknowns);
    json.close();
}

void criticalValues(JsonText& json, const AnalysisResult& result)
{
    json.open();
    json["alpha0"].value(result.levels.alpha0);
    json["delta0"].value(rounded(result.levels.delta0, kRatios));
    json["mdb_sigma0"].value(result.mdbSigma0);
    json["statistic"].value(decidingStatistic(result));
    json["tau"].value(result.levels.tauCritical, kRatios);
    json["w"].value(rounded(result.levels.wCritical, kRatios));
    json.close();
}

void part(JsonText& json, const AnalysisResult& result, int index)
{
    const PartCheck& part = result.checks.parts[index];
    json.open();
    json["has_datum"].value(part.hasDatum);
    json["known_points"];
    names(json, result, part.knownPoints);
    json["no"].value(index + 1);
    json["observations"].value(part.observations);
    json["points"];
    names(json, result, part.points);
    json.close();
}

void nameFinding(JsonText& json, const AnalysisResult& result, const NameFinding& finding)
{
    json.open();
    json["classic_name"].value(finding.classicName);
    json["kind"].value(wordFor(finding.kind));
    json["points"];
    names(json, result, finding.points);
    json.close();
}

void point(JsonText& json, const AnalysisResult& result, int index)
{
    const PointResult& p = result.points[index];
    json.open();
    json["free_offset_mm"].value(p.freeOffset, kMillimetres);
    json["given_height_m"].value(p.givenHeight, kMetres);
    json["given_sigma_m"].value(p.givenSigma, kMetres);
    json["height_m"].value(p.height, kMetres);
    json["known"].value(wordFor(p.known));
    json["known_test"];
    if (p.knownTest)
        testFields(json, *p.knownTest);
    else
        json.null();
    json["name"].value(p.name);
    json["no"].value(index + 1);
    json["part"].value(p.part + 1);
    json["removed_at_step"].value(p.removedAtStep);
    json["sigma_apriori_mm"].value(p.sigmaApriori, kMillimetres);
    json["sigma_mm"].value(p.sigma, kMillimetres);
    json["status"].value(wordFor(p.status));
    json.close();
}

void observation(JsonText& json, const AnalysisResult& result, int index)
{
    const ObservationResult& o = result.observations[index];
    json.open();
    json["adjusted_dh_m"].value(o.adjustedDh, kMetres);
    json["controlled"].value(o.test.controlled);
    json["dh_m"].value(o.dh);
    json["distance_km"].value(o.distance);
    json["from"].value(result.points[o.from].name);
    json["grade"].value(o.grade);
    json["gross_error_mm"].value(o.test.grossError, kMillimetres);
    json["mdb_effect_mm"].value(o.test.mdbEffect, kMillimetres);
    json["mdb_mm"].value(o.test.mdb, kMillimetres);
    json["no"].value(index + 1);
    json["origin"].value(result.observationPlace, o.row);
    json["redundancy"].value(o.test.redundancy, kRatios);
    json["removed_at_step"].value(o.removedAtStep);
    json["residual_mm"].value(o.test.residual, kMillimetres);
    json["tau"].value(o.test.tau, kRatios);
    json["tau_fails"];
    verdict(json, o.test.tau, o.test.tauFails);
    json["to"].value(result.points[o.to].name);
    json["w"].value(o.test.w, kRatios);
    json["w_fails"];
    verdict(json, o.test.w, o.test.wFails);
    json["weight"].value(o.weight);
    json.close();
}

void snoopStep(JsonText& json, const AnalysisResult& result, const SnoopStep& step)
{
    json.open();
    json["critical"].value(rounded(step.critical, kRatios));
    json["dof"].value(step.dof);
    json["misfit_mm"].value(step.misfit, kMillimetres);
    json["readmissible"].value(step.readmissible);
    json["readmission_critical"].value(step.readmissionCritical, kRatios);
    json["readmission_statistic"].value(step.readmissionStatistic, kRatios);
    json["removed"].open();
    if (step.removed.knownHeight)
        json["kind"].value("known-height")["point"].value(result.points[step.removed.index].name);
    else
        json["kind"].value("observation")["observation"].value(step.removed.index + 1);
    json.close();
    json["sigma0_aposteriori"].value(step.sigma0Posterior, kRatios);
    json["statistic"].value(step.statisticName);
    json["step"].value(step.step);
    json["value"].value(rounded(step.statistic, kRatios));
    json.close();
}

// The document's outer layout: one member, or one element of a list, per line.
class Document {
public:
    explicit Document(std::ostream& stream) : out_(stream) {}

    // "name": value, at the first depth.
    template <typename Write>
    void member(std::string_view name, const Write& write)
    {
        out_ << "  \"" << name << "\": ";
        JsonText json(out_);
        write(json);
        out_ << ",\n";
    }
    // "name": [ one element per line ] at the given depth; a long list on two threads.
    template <typename Write>
    void list(int depth, std::string_view name, std::size_t count, const Write& element, bool last = false)
    {
        const std::string_view indent = std::string_view(kBlanks).substr(0, std::size_t(2 * depth));
        out_ << indent << '"' << name << "\": [";
        writeInBlocks(out_, count, [&](OutputBuffer& out, std::size_t first, std::size_t end) {
            for (std::size_t i = first; i < end; ++i) {
                out << (i == 0 ? "\n" : ",\n") << indent << "  ";
                JsonText json(out);
                element(json, i);
            }
        });
        if (count > 0)
            out_ << '\n' << indent;
        out_ << (last ? "]\n" : "],\n");
    }
    OutputBuffer& out() { return out_; }

private:
    static constexpr std::string_view kBlanks = "        ";
    OutputBuffer out_;
};

void writeChecks(Document& document, const AnalysisResult& result)
{
    const Checks& checks = result.checks;
    auto closures = [&](const std::vector<ClosureCheck>& list) {
        return [&](JsonText& json, std::size_t i) { closure(json, result, list[i]); };
    };
    document.out() << "  \"checks\": {\n";
    document.list(2, "parts", checks.parts.size(), [&](JsonText& json, std::size_t i) { part(json, result, int(i)); });
    document.list(2, "repeats", checks.repeats.size(), closures(checks.repeats));
    document.list(2, "loops", checks.loops.size(), closures(checks.loops));
    document.list(2, "known_lines", checks.knownLines.size(), closures(checks.knownLines));
    document.list(
        2, "names", checks.names.size(),
        [&](JsonText& json, std::size_t i) { nameFinding(json, result, checks.names[i]); }, true);
    document.out() << "  },\n";
}

}  // namespace

void writeJson(const AnalysisResult& result, std::ostream& out)
{
    Document document(out);
    document.out() << "{\n";
    document.member("format", [](JsonText& json) { json.value("korvane-network-analysis"); });
    document.member("format_version", [](JsonText& json) { json.value(1); });
    document.member("title", [&](JsonText& json) { json.value(result.title); });
    document.member("source", [&](JsonText& json) { json.value(result.sourceName); });
    document.member("options", [&](JsonText& json) { options(json, result); });
    document.member("weighting", [&](JsonText& json) { json.value(wordFor(result.weighting)); });
    document.member("weight_unit", [&](JsonText& json) { json.value(weightUnit(result.weighting)); });
    document.member("sigma0_unit", [&](JsonText& json) { json.value(sigma0Unit(result.weighting)); });
    document.member("notes", [&](JsonText& json) { json.value(result.notes); });
    document.member("counts", [&](JsonText& json) { counts(json, result); });
    writeChecks(document, result);
    document.member("global_test", [&](JsonText& json) { global(json, result.global); });
    document.member("global_test_before_snooping", [&](JsonText& json) {
        if (result.globalBeforeSnooping)
            global(json, *result.globalBeforeSnooping);
        else
            json.null();
    });
    document.member("critical_values", [&](JsonText& json) { criticalValues(json, result); });
    document.list(1, "points", result.points.size(),
                  [&](JsonText& json, std::size_t i) { point(json, result, int(i)); });
    document.list(1, "observations", result.observations.size(),
                  [&](JsonText& json, std::size_t i) { observation(json, result, int(i)); });
    document.list(
        1, "snooping", result.snooping.size(),
        [&](JsonText& json, std::size_t i) { snoopStep(json, result, result.snooping[i]); }, true);
    document.out() << "}\n";
}

}  // namespace korvane::analysis
