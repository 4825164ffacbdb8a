#pragma once
// The options of a monitoring run a surveyor sets in the deformation window: how the stable
// benchmarks are found (疊代, IWST, or 指定 with their names), the rate limit in mm per year,
// the level α of the tests, data snooping in each epoch and the misclosure tolerance as in the
// network analysis. Its controls hold only values the monitoring accepts.

#include <QWidget>

#include "deformation.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;

namespace korvane::shell {

class DeformationOptionsPanel : public QWidget {
 public:
  explicit DeformationOptionsPanel(QWidget* parent = nullptr);

  deformation::DeformationOptions options() const;
  void setOptions(const deformation::DeformationOptions& options);

 private:
  void updateControls();

  QComboBox* stableSearch_ = nullptr;
  QLineEdit* stableNames_ = nullptr;
  QDoubleSpinBox* rateLimit_ = nullptr;
  QDoubleSpinBox* alpha_ = nullptr;
  QCheckBox* snoop_ = nullptr;
  QComboBox* toleranceClass_ = nullptr;
  QDoubleSpinBox* k_ = nullptr;
};

}  // namespace korvane::shell
