#include "shell/analysis_options_panel.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "shell/analysis_words.h"

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

// The entry of the class list that stands for a k given directly.
const QString kOwnK = QStringLiteral("自訂 k");

}  // namespace

AnalysisOptionsPanel::AnalysisOptionsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("AnalysisOptions"));
  toleranceClass_ = new QComboBox(this);
  toleranceClass_->setObjectName(QStringLiteral("ToleranceClass"));
  for (const analysis::ToleranceClass& entry : analysis::toleranceClasses()) {
    toleranceClass_->addItem(QStringLiteral("%1（k = %2 mm）").arg(toleranceClassName(entry.name)).arg(entry.k),
                             QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size())));
  }
  toleranceClass_->addItem(kOwnK, QString());
  k_ = spinBox("ToleranceK", 0.1, 100.0, 1, QStringLiteral(" mm"), this);
  k_->setToolTip(QStringLiteral("閉合差限值 k√K mm，K 為路線長（km）"));
  alpha_ = spinBox("Alpha", 0.01, 50.0, 2, QStringLiteral(" %"), this);
  alpha_->setToolTip(QStringLiteral("整體檢定的顯著水準 α"));
  sigma0Given_ = new QCheckBox(QStringLiteral("先驗 σ₀"), this);
  sigma0Given_->setObjectName(QStringLiteral("Sigma0Given"));
  sigma0_ = spinBox("Sigma0", 0.01, 100.0, 2, QStringLiteral(" mm/√km"), this);
  sigma0_->setToolTip(QStringLiteral("距離定權時每公里的先驗標準差；等級定權時先驗 σ₀ 為 1，不用此值"));
  snoop_ = new QCheckBox(QStringLiteral("資料探測"), this);
  snoop_->setObjectName(QStringLiteral("Snoop"));
  snoop_->setToolTip(QStringLiteral("逐次移除檢定最差的觀測並重新平差，直到沒有觀測未過檢定"));
  alpha0Rule_ = new QComboBox(this);
  alpha0Rule_->setObjectName(QStringLiteral("Alpha0Rule"));
  alpha0Rule_->addItem(QStringLiteral("α₀ 0.1 %"), int(analysis::LocalLevelRule::Given));
  alpha0Rule_->addItem(QStringLiteral("α₀ B 法"), int(analysis::LocalLevelRule::BMethod));
  alpha0Rule_->addItem(QStringLiteral("α₀ 全網合計"), int(analysis::LocalLevelRule::FamilyWise));
  alpha0Rule_->setToolTip(QStringLiteral(
      "每個觀測檢定的顯著水準：固定 0.1 %；B 法（Baarda：由整體檢定的 α 與檢定力導出，兩種檢定找出同樣大的粗差）；"
      "全網合計（全部觀測檢定合起來誤報的機率為整體檢定的 α）。大網形用後兩者可免隨機誤報。"));
  snoopToGlobal_ = new QCheckBox(QStringLiteral("整體檢定通過即停"), this);
  snoopToGlobal_->setObjectName(QStringLiteral("SnoopToGlobalTest"));
  snoopToGlobal_->setToolTip(QStringLiteral("資料探測在整體檢定通過時就停止，不再移除觀測"));
  free_ = new QCheckBox(QStringLiteral("自由網"), this);
  free_->setObjectName(QStringLiteral("FreeNetwork"));
  free_->setToolTip(QStringLiteral("不用已知點平差，以已知點為基準（其改正數總和為零），再以觀測檢核已知點"));
  datumPoints_ = new QLineEdit(this);
  datumPoints_->setObjectName(QStringLiteral("DatumPoints"));
  datumPoints_->setPlaceholderText(QStringLiteral("基準點：全部"));
  // Narrow, so that the row of options keeps the window's width.
  datumPoints_->setMaximumWidth(datumPoints_->fontMetrics().horizontalAdvance(QStringLiteral("基準點：全部已知")));
  datumPoints_->setToolTip(QStringLiteral("自由網只以這些已知點為基準（點名以逗號分隔）；空白時用全部已知點"));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(QStringLiteral("閉合差限值："), this));
  layout->addWidget(toleranceClass_);
  layout->addWidget(k_);
  layout->addSpacing(12);
  layout->addWidget(new QLabel(QStringLiteral("整體檢定 α："), this));
  layout->addWidget(alpha_);
  layout->addSpacing(12);
  layout->addWidget(sigma0Given_);
  layout->addWidget(sigma0_);
  layout->addSpacing(12);
  layout->addWidget(snoop_);
  layout->addWidget(alpha0Rule_);
  layout->addWidget(snoopToGlobal_);
  layout->addWidget(free_);
  layout->addWidget(datumPoints_);
  layout->addStretch(1);

  connect(toleranceClass_, &QComboBox::currentIndexChanged, this, [this] {
    if (const analysis::ToleranceClass* entry =
            analysis::findToleranceClass(toleranceClass_->currentData().toString().toStdString())) {
      k_->setValue(entry->k);
    }
    updateControls();
  });
  connect(sigma0Given_, &QCheckBox::toggled, this, [this] { updateControls(); });
  connect(free_, &QCheckBox::toggled, this, [this] { updateControls(); });
  connect(snoop_, &QCheckBox::toggled, this, [this] { updateControls(); });
  setOptions({});
}

analysis::AnalysisOptions AnalysisOptionsPanel::options() const {
  analysis::AnalysisOptions options;
  options.toleranceClass = toleranceClass_->currentData().toString().toStdString();
  options.toleranceK = k_->value();
  options.alpha = alpha_->value() / 100.0;
  if (sigma0Given_->isChecked()) options.sigma0 = sigma0_->value();
  options.snoop = snoop_->isChecked();
  options.alpha0Rule = analysis::LocalLevelRule(alpha0Rule_->currentData().toInt());
  if (options.snoop && snoopToGlobal_->isChecked()) options.snoopStop = analysis::SnoopStop::GlobalTestPasses;
  options.freeNetwork = free_->isChecked();
  if (options.freeNetwork) {
    for (const QString& name : datumPoints_->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
      if (!name.trimmed().isEmpty()) options.datumPoints.push_back(name.trimmed().toStdString());
    }
  }
  return options;
}

void AnalysisOptionsPanel::setOptions(const analysis::AnalysisOptions& options) {
  const int entry = toleranceClass_->findData(QString::fromStdString(options.toleranceClass));
  toleranceClass_->setCurrentIndex(entry >= 0 ? entry : toleranceClass_->count() - 1);
  k_->setValue(options.toleranceK);
  alpha_->setValue(options.alpha * 100.0);
  sigma0Given_->setChecked(options.sigma0.has_value());
  sigma0_->setValue(options.sigma0.value_or(1.0));
  snoop_->setChecked(options.snoop);
  alpha0Rule_->setCurrentIndex(std::max(0, alpha0Rule_->findData(int(options.alpha0Rule))));
  snoopToGlobal_->setChecked(options.snoopStop == analysis::SnoopStop::GlobalTestPasses);
  free_->setChecked(options.freeNetwork);
  QStringList names;
  for (const std::string& name : options.datumPoints) names << QString::fromStdString(name);
  datumPoints_->setText(names.join(QStringLiteral(", ")));
  updateControls();
}

void AnalysisOptionsPanel::updateControls() {
  k_->setEnabled(toleranceClass_->currentData().toString().isEmpty());
  sigma0_->setEnabled(sigma0Given_->isChecked());
  // Shown only with the choice they refine.
  datumPoints_->setVisible(free_->isChecked());
  snoopToGlobal_->setVisible(snoop_->isChecked());
}

}  // namespace korvane::shell
