#include "shell/deformation_options_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "shell/analysis_words.h"
#include "shell/deformation_columns.h"

namespace korvane::shell {
namespace {

QDoubleSpinBox* spinBox(const char* name, double low, double high, int decimals, const QString& suffix, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(low, high);
  box->setDecimals(decimals);
  box->setSuffix(suffix);
  return box;
}

}  // namespace

DeformationOptionsPanel::DeformationOptionsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DeformationOptions"));
  stableSearch_ = new QComboBox(this);
  stableSearch_->setObjectName(QStringLiteral("StableSearch"));
  for (const auto search : {deformation::StableSearch::Iterative, deformation::StableSearch::Iwst,
                            deformation::StableSearch::Given}) {
    stableSearch_->addItem(stableSearchWords(search), int(search));
  }
  stableSearch_->setToolTip(QStringLiteral(
      "穩定點的找法：疊代（逐次剔除對一致性檢定貢獻最大的點，直到其餘一致）；IWST（疊代加權相似變換）；"
      "指定（以右方所列的點為穩定點）"));
  stableNames_ = new QLineEdit(this);
  stableNames_->setObjectName(QStringLiteral("StableNames"));
  stableNames_->setPlaceholderText(QStringLiteral("穩定點（逗號分隔）"));
  rateLimit_ = spinBox("RateLimit", 0.1, 10000.0, 1, QStringLiteral(" mm/年"), this);
  rateLimit_->setToolTip(QStringLiteral("速度超過此值的水準點列為「超過速率限值」"));
  alpha_ = spinBox("DeformationAlpha", 0.01, 50.0, 2, QStringLiteral(" %"), this);
  alpha_->setToolTip(QStringLiteral("一致性、位移與速度檢定的顯著水準 α"));
  snoop_ = new QCheckBox(QStringLiteral("資料探測"), this);
  snoop_->setObjectName(QStringLiteral("DeformationSnoop"));
  snoop_->setToolTip(QStringLiteral("每一期逐次移除檢定最差的觀測並重新平差，直到沒有觀測未過檢定"));
  toleranceClass_ = new QComboBox(this);
  toleranceClass_->setObjectName(QStringLiteral("DeformationToleranceClass"));
  for (const analysis::ToleranceClass& entry : analysis::toleranceClasses()) {
    toleranceClass_->addItem(QStringLiteral("%1（k = %2 mm）").arg(toleranceClassName(entry.name)).arg(entry.k),
                             QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size())));
  }
  toleranceClass_->addItem(QStringLiteral("自訂 k"), QString());
  k_ = spinBox("DeformationToleranceK", 0.1, 100.0, 1, QStringLiteral(" mm"), this);
  k_->setToolTip(QStringLiteral("閉合差限值 k√K mm，K 為路線長（km）"));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QStringLiteral("穩定點："), this));
  layout->addWidget(stableSearch_);
  layout->addWidget(stableNames_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("速率限值："), this));
  layout->addWidget(rateLimit_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("α："), this));
  layout->addWidget(alpha_);
  layout->addSpacing(12);
  layout->addWidget(snoop_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("閉合差限值："), this));
  layout->addWidget(toleranceClass_);
  layout->addWidget(k_);
  layout->addStretch(1);

  connect(toleranceClass_, &QComboBox::currentIndexChanged, this, [this] {
    if (const analysis::ToleranceClass* entry =
            analysis::findToleranceClass(toleranceClass_->currentData().toString().toStdString())) {
      k_->setValue(entry->k);
    }
    updateControls();
  });
  connect(stableSearch_, &QComboBox::currentIndexChanged, this, [this] { updateControls(); });
  setOptions({});
}

deformation::DeformationOptions DeformationOptionsPanel::options() const {
  deformation::DeformationOptions options;
  options.analysis.toleranceClass = toleranceClass_->currentData().toString().toStdString();
  options.analysis.toleranceK = k_->value();
  options.analysis.snoop = snoop_->isChecked();
  options.stable = deformation::StableSearch(stableSearch_->currentData().toInt());
  if (options.stable == deformation::StableSearch::Given) {
    for (const QString& name : stableNames_->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
      if (!name.trimmed().isEmpty()) options.stableNames.push_back(name.trimmed().toStdString());
    }
  }
  options.rateLimitMm = rateLimit_->value();
  options.alpha = alpha_->value() / 100.0;
  // The epochs' own tests at the same level.
  options.analysis.alpha = options.alpha;
  return options;
}

void DeformationOptionsPanel::setOptions(const deformation::DeformationOptions& options) {
  const int entry = toleranceClass_->findData(QString::fromStdString(options.analysis.toleranceClass));
  toleranceClass_->setCurrentIndex(entry >= 0 ? entry : toleranceClass_->count() - 1);
  k_->setValue(options.analysis.toleranceK);
  snoop_->setChecked(options.analysis.snoop);
  stableSearch_->setCurrentIndex(std::max(0, stableSearch_->findData(int(options.stable))));
  QStringList names;
  for (const std::string& name : options.stableNames) names << QString::fromStdString(name);
  stableNames_->setText(names.join(QStringLiteral(", ")));
  rateLimit_->setValue(options.rateLimitMm);
  alpha_->setValue(options.alpha * 100.0);
  updateControls();
}

void DeformationOptionsPanel::updateControls() {
  k_->setEnabled(toleranceClass_->currentData().toString().isEmpty());
  stableNames_->setVisible(deformation::StableSearch(stableSearch_->currentData().toInt()) ==
                           deformation::StableSearch::Given);
}

}  // namespace korvane::shell
