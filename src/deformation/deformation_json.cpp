#include "deformation_json.h"

#include "deformation_rows.h"
#include "json_text.h"
#include "result_words.h"

#include <string_view>

namespace korvane::deformation {

namespace {

using analysis::JsonText;
using analysis::OutputBuffer;
using analysis::rounded;

constexpr int kMetres = 6;
constexpr int kMillimetres = 3;
constexpr int kRatios = 4;
constexpr int kYears = 6;

void names(JsonText& json, const DeformationResult& result, const std::vector<int>& benchmarks)
{
    json.openList();
    for (int b : benchmarks)
        json.value(benchmarkName(result, b));
    json.closeList();
}

void dates(JsonText& json, const DeformationResult& result, const std::vector<int>& epochs)
{
    json.openList();
    for (int e : epochs)
        json.value(epochDate(result, e));
    json.closeList();
}

void options(JsonText& json, const DeformationOptions& o)
{
    const analysis::AnalysisOptions& a = o.analysis;
    json.open();
    json["alpha"].value(o.alpha);
    json["analysis"].open();
    json["alpha"].value(a.alpha);
    json["alpha0"].value(a.alpha0);
    json["alpha0_rule"].value(analysis::wordFor(a.alpha0Rule));
    json["k_mm"].value(a.toleranceK);
    json["power"].value(a.power);
    json["sigma0_apriori_option"];
    a.sigma0 ? json.value(*a.sigma0) : json.null();
    json["snoop"].value(a.snoop);
    json["tolerance_class"];
    a.toleranceClass.empty() ? json.null() : json.value(a.toleranceClass);
    json.close();
    json["rate_limit_mm_per_year"].value(o.rateLimitMm);
    json["stable_names"].value(o.stableNames);
    json["stable_search"].value(stableSearchName(o.stable));
    json.close();
}

void globalTest(JsonText& json, const analysis::GlobalTest& t)
{
    json.open();
    json["dof"].value(t.dof);
    json["lower"].value(t.lower, kRatios);
    json["reason"].value(t.reason);
    json["sigma0_aposteriori"].value(t.sigma0Posterior, kRatios);
    json["sigma0_apriori"].value(t.sigma0Apriori, kRatios);
    json["statistic"].value(t.statistic, kRatios);
    json["upper"].value(t.upper, kRatios);
    json["verdict"].value(analysis::wordFor(t.verdict));
    json["vtpv"].value(rounded(t.vtpv, kRatios));
    json.close();
}

// The epoch's network analysis in brief; its full results come from `korvane analyse`.
void epochAnalysis(JsonText& json, const analysis::AnalysisResult& a)
{
    json.open();
    json["counts"].open();
    json["equations"].value(a.equations);
    json["observations"].value(a.observations.size());
    json["points"].value(a.points.size());
    json["unknowns"].value(a.unknowns);
    json.close();
    json["flagged_observations"].openList();
    for (std::size_t i = 0; i < a.observations.size(); ++i) {
        const analysis::ObservationResult& o = a.observations[i];
        if (o.removedAtStep != 0 || !o.flagged())
            continue;
        json.open();
        json["from"].value(a.points[o.from].name);
        json["no"].value(i + 1);
        json["origin"].value(a.observationPlace, o.row);
        json["residual_mm"].value(o.test.residual, kMillimetres);
        json["tau"].value(o.test.tau, kRatios);
        json["to"].value(a.points[o.to].name);
        json["w"].value(o.test.w, kRatios);
        json.close();
    }
    json.closeList();
    json["global_test"];
    globalTest(json, a.global);
    json["notes"].value(a.notes);
    json["removed_observations"].openList();
    for (std::size_t i = 0; i < a.observations.size(); ++i) {
        const analysis::ObservationResult& o = a.observations[i];
        if (o.removedAtStep == 0)
            continue;
        json.open();
        json["from"].value(a.points[o.from].name);
        json["no"].value(i + 1);
        json["origin"].value(a.observationPlace, o.row);
        json["step"].value(o.removedAtStep);
        json["to"].value(a.points[o.to].name);
        json.close();
    }
    json.closeList();
    json.close();
}

void epoch(JsonText& json, const DeformationResult& result, std::size_t index)
{
    const EpochResult& e = result.epochs[index];
    json.open();
    json["analysis"];
    epochAnalysis(json, e.analysis);
    json["benchmarks"].value(e.benchmarks);
    json["cut_off"];
    names(json, result, e.cutOff);
    json["date"].value(e.date);
    json["dof"].value(e.dof);
    json["epoch"].value(index + 1);
    json["heights"].openList();
    for (std::size_t b = 0; b < e.heights.size() && b < result.benchmarks.size(); ++b) {
        if (!e.heights[b])
            continue;
        json.open();
        json["height_m"].value(e.heights[b], kMetres);
        json["name"].value(result.benchmarks[b]);
        json["sigma_mm"].value(b < e.heightSigmas.size() ? e.heightSigmas[b] : Quantity(), kMillimetres);
        json.close();
    }
    json.closeList();
    json["observations"].value(e.observations);
    json["sigma0_aposteriori"].value(e.sigma0, kRatios);
    json["source"].value(e.source);
    json["variance_agrees"].value(e.varianceAgrees);
    json["variance_lower"].value(e.varianceLower, kRatios);
    json["variance_ratio"].value(e.varianceRatio, kRatios);
    json["variance_upper"].value(e.varianceUpper, kRatios);
    json["vtpv"].value(rounded(e.vtpv, kRatios));
    json["year"].value(rounded(e.year, kYears));
    json.close();
}

void congruence(JsonText& json, const Congruence& c)
{
    json.open();
    json["benchmarks"].value(c.benchmarks);
    json["congruent"].value(c.congruent);
    json["critical"].value(c.critical, kRatios);
    json["quadratic_form"].value(rounded(c.quadraticForm, kRatios));
    json["rank"].value(c.rank);
    json["statistic"].value(c.statistic, kRatios);
    json.close();
}

void comparison(JsonText& json, const DeformationResult& result, const EpochComparison& c)
{
    json.open();
    json["all"];
    congruence(json, c.all);
    json["displacements"].openList();
    for (const DisplacementRow& d : c.displacements) {
        json.open();
        json["critical"].value(d.critical, kRatios);
        json["displacement_mm"].value(d.displacementMm, kMillimetres);
        json["mdb_mm"].value(d.mdbMm, kMillimetres);
        json["name"].value(benchmarkName(result, d.benchmark));
        json["sigma_mm"].value(d.sigmaMm, kMillimetres);
        json["significant"].value(d.significant);
        json["stable"].value(d.stable);
        json["statistic"].value(d.statistic, kRatios);
        json.close();
    }
    json.closeList();
    json["from_date"].value(epochDate(result, c.from));
    json["from_epoch"].value(c.from + 1);
    json["notes"].value(c.notes);
    json["search_steps"].value(c.searchSteps);
    json["stable"];
    congruence(json, c.stable);
    json["stable_set"];
    names(json, result, c.stableSet);
    json["to_date"].value(epochDate(result, c.to));
    json["to_epoch"].value(c.to + 1);
    json["variance_agrees"].value(c.varianceAgrees);
    json["variance_lower"].value(c.varianceLower, kRatios);
    json["variance_ratio"].value(c.varianceRatio, kRatios);
    json["variance_upper"].value(c.varianceUpper, kRatios);
    json.close();
}

void kinematic(JsonText& json, const DeformationResult& result)
{
    const KinematicAdjustment& k = result.kinematic;
    json.open();
    json["dof"].value(k.dof);
    json["observations"].value(k.observations);
    json["reference_year"].value(rounded(k.referenceYear, kYears));
    json["sigma0_aposteriori"].value(k.sigma0, kRatios);
    json["stable_set"];
    names(json, result, k.stableSet);
    json["unknowns"].value(k.unknowns);
    json["vtpv"].value(rounded(k.vtpv, kRatios));
    json.close();
}

void velocity(JsonText& json, const DeformationResult& result, const VelocityRow& v)
{
    json.open();
    json["class"].value(velocityClassName(v.kind));
    json["critical"].value(v.critical, kRatios);
    json["epochs"];
    dates(json, result, v.epochs);
    json["height_m"].value(v.heightM, kMetres);
    json["height_sigma_mm"].value(v.heightSigmaMm, kMillimetres);
    json["name"].value(benchmarkName(result, v.benchmark));
    json["note"].value(v.note);
    json["sigma_mm_per_year"].value(v.sigmaMmPerYear, kMillimetres);
    json["significant"].value(v.significant);
    json["stable"].value(v.stable);
    json["statistic"].value(v.statistic, kRatios);
    json["velocity_mm_per_year"].value(v.velocityMmPerYear, kMillimetres);
    json.close();
}

// One top-level member per line, and one element per line in the lists.
class Document {
public:
    explicit Document(std::ostream& stream) : out_(stream) { out_ << "{\n"; }
    ~Document() { out_ << "\n}\n"; }

    template <typename Write>
    void member(std::string_view name, const Write& write)
    {
        start(name);
        JsonText json(out_);
        write(json);
    }
    template <typename Write>
    void list(std::string_view name, std::size_t count, const Write& element)
    {
        start(name);
        out_ << '[';
        for (std::size_t i = 0; i < count; ++i) {
            out_ << (i == 0 ? "\n    " : ",\n    ");
            JsonText json(out_);
            element(json, i);
        }
        out_ << (count > 0 ? "\n  ]" : "]");
    }

private:
    void start(std::string_view name)
    {
        out_ << (first_ ? "  \"" : ",\n  \"") << name << "\": ";
        first_ = false;
    }

    OutputBuffer out_;
    bool first_ = true;
};

}  // namespace

void writeDeformationJson(const DeformationResult& result, std::ostream& out)
{
    Document document(out);
    document.member("format", [](JsonText& json) { json.value("korvane-deformation"); });
    document.member("format_version", [](JsonText& json) { json.value(1); });
    document.member("options", [&](JsonText& json) { options(json, result.options); });
    document.member("notes", [&](JsonText& json) { json.value(result.notes); });
    document.member("benchmarks", [&](JsonText& json) { json.value(result.benchmarks); });
    document.member("pooled_sigma0", [&](JsonText& json) { json.value(result.pooledSigma0, kRatios); });
    document.member("pooled_dof", [&](JsonText& json) { json.value(result.pooledDof); });
    document.member("variances_agree", [&](JsonText& json) { json.value(result.variancesAgree); });
    document.list("epochs", result.epochs.size(), [&](JsonText& json, std::size_t i) { epoch(json, result, i); });
    document.list("comparisons", result.comparisons.size(),
                  [&](JsonText& json, std::size_t i) { comparison(json, result, result.comparisons[i]); });
    document.member("kinematic", [&](JsonText& json) { kinematic(json, result); });
    document.list("velocities", result.velocities.size(),
                  [&](JsonText& json, std::size_t i) { velocity(json, result, result.velocities[i]); });
}

}  // namespace korvane::deformation
