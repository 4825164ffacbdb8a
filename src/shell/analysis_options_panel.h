#pragma once
// The options of the network analysis a surveyor sets in its window: the misclosure tolerance
// (a levelling class or k directly), the level α of the global test, the a-priori σ₀ under
// distance weighting, data snooping and the free network with its datum points. Its controls hold only values the
// analysis accepts.

#include <QWidget>

#include "analysis_options.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace korvane::shell {

class AnalysisOptionsPanel : public QWidget {
 public:
  explicit AnalysisOptionsPanel(QWidget* parent = nullptr);

  analysis::AnalysisOptions options() const;
  void setOptions(const analysis::AnalysisOptions& options);

 private:
  void updateControls();

  QComboBox* toleranceClass_ = nullptr;
  QDoubleSpinBox* k_ = nullptr;
  QDoubleSpinBox* alpha_ = nullptr;
  QCheckBox* sigma0Given_ = nullptr;
  QDoubleSpinBox* sigma0_ = nullptr;
  QCheckBox* snoop_ = nullptr;
  QComboBox* alpha0Rule_ = nullptr;     // how alpha0 of the observation tests is chosen
  QCheckBox* snoopToGlobal_ = nullptr;  // snooping stops once the global test passes
  QCheckBox* free_ = nullptr;
  QLineEdit* datumPoints_ = nullptr;  // the free network's datum points; empty: every known point
};

}  // namespace korvane::shell
