#include "workbench/network_analysis_job.h"

#include "analysis_failure.h"
#include "input_error.h"
#include "workbench/analysis_database.h"

namespace korvane::workbench {
namespace {

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

NetworkAnalysisOutcome failure(NetworkAnalysisOutcome::Kind kind, const std::string& problem,
                               const std::vector<std::string>& names = {}) {
  NetworkAnalysisOutcome outcome;
  outcome.kind = kind;
  outcome.problem = text(problem);
  for (const std::string& name : names) outcome.names << text(name);
  return outcome;
}

}  // namespace

NetworkAnalysisOutcome runNetworkAnalysis(const NetworkAnalysisRequest& request, const analysis::Progress& progress) {
  using Kind = NetworkAnalysisOutcome::Kind;
  const auto report = [&](std::string_view stage, double done) {
    if (progress.report) progress.report(stage, done);
  };
  const auto pause = [&] {
    if (progress.cancel && progress.cancel->load()) throw analysis::AnalysisCancelled{};
  };
  try {
    report("reading", 0.0);
    // The rows are let go once the network holds them: a large network needs its memory.
    const analysis::Network network = [&] {
      analysis::NetworkRows rows = readAnalysisDatabase(request.databasePath, pause);
      rows.title = request.title.toStdString();
      pause();
      return analysis::buildNetwork(rows);
    }();
    analysis::Progress inner;
    inner.cancel = progress.cancel;
    inner.report = [&](std::string_view stage, double done) {
      report(stage, kAnalysisShareStart + (1.0 - kAnalysisShareStart) * done);
    };
    NetworkAnalysisOutcome outcome;
    outcome.kind = Kind::Done;
    outcome.result = std::make_shared<const analysis::AnalysisResult>(analysis::analyse(network, request.options, inner));
    return outcome;
  } catch (const analysis::AnalysisCancelled&) {
    return {};
  } catch (const analysis::InputError& error) {
    return failure(Kind::BadInput, error.what());
  } catch (const analysis::AnalysisFailure& error) {
    return failure(Kind::UnusableNetwork, error.what(), error.names);
  } catch (const std::bad_alloc&) {
    return failure(Kind::UnusableNetwork, "not enough memory for a network of this size");
  } catch (const std::exception& error) {
    return failure(Kind::UnusableNetwork, error.what());
  }
}

}  // namespace korvane::workbench
