#include "shell/deformation_tabs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/analysis_printing.h"
#include "shell/analysis_words.h"
#include "shell/deformation_pictures.h"

namespace korvane::shell {

struct DeformationTabs::Table {
  ResultTableModel model;
  ResultTableProxy proxy;
  QTableView* view = nullptr;
  QString caption;
};

namespace {

// The chart follows at most this many benchmarks chosen for it without a selection.
constexpr int kChartedWithoutSelection = 6;

QLabel* textLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QString names(const deformation::DeformationResult& result, const std::vector<int>& benchmarks, int most = 20) {
  QStringList list;
  for (int i = 0; i < int(benchmarks.size()) && i < most; ++i) list << benchmarkName(result, benchmarks[i]);
  QString text = list.join(QStringLiteral(", "));
  if (int(benchmarks.size()) > most) text += QStringLiteral(", …（共 %1 點）").arg(benchmarks.size());
  return text.isEmpty() ? kNoValue : text;
}

QString mark(bool passes) { return passes ? kPassSymbol : kFailSymbol; }

QStringList noteLines(const std::vector<std::string>& notes) {
  QStringList lines;
  for (const std::string& note : notes) lines << QStringLiteral("註：") + QString::fromStdString(note);
  return lines;
}

QStringList epochLines(const deformation::DeformationResult& r) {
  QStringList lines;
  lines << QStringLiteral("%1 期；各期合併的 σ₀ = %2（自由度 %3）；各期變方 %4")
               .arg(r.epochs.size())
               .arg(number(r.pooledSigma0, 3))
               .arg(r.pooledDof)
               .arg(r.variancesAgree ? kPassSymbol + QStringLiteral(" 一致") : kFailSymbol + QStringLiteral(" 不一致"));
  for (int e = 0; e < int(r.epochs.size()); ++e) {
    if (!r.epochs[e].cutOff.empty()) {
      lines << QStringLiteral("第 %1 期有點不與主要部分相連，不予比較：%2").arg(e + 1).arg(names(r, r.epochs[e].cutOff));
    }
  }
  lines << noteLines(r.notes);
  return lines;
}

QString congruenceText(const deformation::Congruence& c) {
  return QStringLiteral("%1 %2 點，F = %3 %4 %5")
      .arg(mark(c.congruent))
      .arg(c.benchmarks)
      .arg(number(c.statistic, 2), c.congruent ? QStringLiteral("≤") : QStringLiteral(">"), number(c.critical, 2));
}

QStringList comparisonLines(const deformation::DeformationResult& r, int comparison) {
  QStringList lines;
  for (int i = 0; i < int(r.comparisons.size()); ++i) {
    if (comparison >= 0 && i != comparison) continue;
    const deformation::EpochComparison& c = r.comparisons[i];
    lines << QStringLiteral("%1：變方比 %2 %3；全部共同點一致性 %4；穩定點一致性 %5（搜尋 %6 次平差）")
                 .arg(comparisonName(r, i), mark(c.varianceAgrees), number(c.varianceRatio, 2), congruenceText(c.all),
                      congruenceText(c.stable))
                 .arg(c.searchSteps);
    lines << QStringLiteral("　穩定點：%1").arg(names(r, c.stableSet));
    lines << noteLines(c.notes);
  }
  return lines;
}

QStringList velocityLines(const deformation::DeformationResult& r) {
  const deformation::KinematicAdjustment& k = r.kinematic;
  int moving = 0, beyond = 0;
  for (const deformation::VelocityRow& v : r.velocities) {
    moving += v.kind == deformation::VelocityClass::Moving;
    beyond += v.kind == deformation::VelocityClass::BeyondLimit;
  }
  QStringList lines;
  lines << QStringLiteral("運動模型：未知數 %1，觀測 %2，自由度 %3，σ₀ = %4；參考年 %5；穩定點找法：%6，α = %7 %")
               .arg(k.unknowns)
               .arg(k.observations)
               .arg(k.dof)
               .arg(number(k.sigma0, 3), number(k.referenceYear, 3), stableSearchWords(r.options.stable),
                    number(r.options.alpha * 100.0, 2));
  lines << QStringLiteral("速度基準（平均速度為零）：%1").arg(names(r, k.stableSet));
  lines << QStringLiteral("%1 移動 %2 點，超過速率限值 %3 mm/年 %4 點")
               .arg(mark(moving + beyond == 0))
               .arg(moving)
               .arg(number(r.options.rateLimitMm, 1))
               .arg(beyond);
  return lines;
}

}  // namespace

DeformationTabs::DeformationTabs(QWidget* parent) : QTabWidget(parent) {
  setObjectName(QStringLiteral("DeformationTabs"));

  auto* epochs = new QWidget(this);
  epochText_ = textLabel("EpochText", epochs);
  epochs_ = &addTable("EpochChecksTable", epochs);
  epochs_->caption = QStringLiteral("各期檢核");
  auto* epochsLayout = new QVBoxLayout(epochs);
  epochsLayout->addWidget(epochText_);
  epochsLayout->addWidget(epochs_->view, 1);
  addTab(epochs, QStringLiteral("各期檢核"));

  auto* displacements = new QWidget(this);
  comparison_ = new QComboBox(displacements);
  comparison_->setObjectName(QStringLiteral("ComparisonChoice"));
  comparisonText_ = textLabel("ComparisonText", displacements);
  displacements_ = &addTable("DisplacementsTable", displacements);
  displacements_->caption = QStringLiteral("位移");
  auto* choiceRow = new QHBoxLayout;
  choiceRow->addWidget(new QLabel(QStringLiteral("比較："), displacements));
  choiceRow->addWidget(comparison_);
  choiceRow->addStretch(1);
  auto* displacementsLayout = new QVBoxLayout(displacements);
  displacementsLayout->addLayout(choiceRow);
  displacementsLayout->addWidget(comparisonText_);
  displacementsLayout->addWidget(displacements_->view, 1);
  addTab(displacements, QStringLiteral("位移"));

  auto* velocities = new QWidget(this);
  velocityText_ = textLabel("VelocityText", velocities);
  velocities_ = &addTable("VelocitiesTable", velocities);
  velocities_->caption = QStringLiteral("速度");
  velocities_->view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  velocities_->view->setToolTip(QStringLiteral("選取的水準點畫在「圖」的高程變化圖上"));
  auto* velocitiesLayout = new QVBoxLayout(velocities);
  velocitiesLayout->addWidget(velocityText_);
  velocitiesLayout->addWidget(velocities_->view, 1);
  addTab(velocities, QStringLiteral("速度"));

  auto* pictures = new QSplitter(Qt::Horizontal, this);
  pictures->setObjectName(QStringLiteral("Pictures"));
  chart_ = new HeightChart(pictures);
  map_ = new VelocityMap(pictures);
  pictures->addWidget(chart_);
  pictures->addWidget(map_);
  pictures->setStretchFactor(0, 1);
  pictures->setStretchFactor(1, 1);
  addTab(pictures, QStringLiteral("圖"));

  connect(comparison_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (result_ && index >= 0) showComparison(comparison_->itemData(index).toInt());
  });
  connect(velocities_->view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { chartSelection(); });
  clear();
}

DeformationTabs::~DeformationTabs() {
  for (const auto& table : tables_) table->view->setModel(nullptr);
}

DeformationTabs::Table& DeformationTabs::addTable(const char* name, QWidget* page) {
  auto table = std::make_unique<Table>();
  table->proxy.setSourceModel(&table->model);
  table->proxy.setSortRole(kSortRole);
  table->view = new QTableView(page);
  table->view->setObjectName(QString::fromLatin1(name));
  table->view->setModel(&table->proxy);
  table->view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->view->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->view->setSelectionMode(QAbstractItemView::SingleSelection);
  table->view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->view->verticalHeader()->setDefaultSectionSize(table->view->fontMetrics().height() + 6);
  table->view->horizontalHeader()->setStretchLastSection(true);
  table->view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table->view->setSortingEnabled(true);
  tables_.push_back(std::move(table));
  return *tables_.back();
}

void DeformationTabs::fill(Table& table, int rows, std::vector<ResultColumn> columns, std::function<bool(int)> rowFails) {
  table.view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table.proxy.sort(-1);
  table.model.reset(rows, std::move(columns), std::move(rowFails));
  table.view->resizeColumnsToContents();
  table.view->horizontalHeader()->setStretchLastSection(false);
  table.view->horizontalHeader()->setStretchLastSection(true);
}

void DeformationTabs::showResult(const SharedDeformation& result) {
  result_ = result;
  const deformation::DeformationResult& r = *result;
  fill(*epochs_, int(r.epochs.size()), epochColumns(result), [result](int row) { return epochFails(result->epochs[row]); });
  epochText_->setText(epochLines(r).join(u'\n'));
  {
    const QSignalBlocker blocker(comparison_);
    comparison_->clear();
    comparison_->addItem(QStringLiteral("全部比較"), -1);
    for (int c = 0; c < int(r.comparisons.size()); ++c) comparison_->addItem(comparisonName(r, c), c);
    // The first against the last, when there is one, says most at a glance.
    comparison_->setCurrentIndex(r.comparisons.empty() ? 0 : int(r.comparisons.size()));
  }
  showComparison(comparison_->currentData().toInt());
  fill(*velocities_, int(r.velocities.size()), velocityColumns(result),
       [result](int row) { return velocityFlagged(result->velocities[row]); });
  velocityText_->setText(velocityLines(r).join(u'\n'));
  map_->showResult(result);
  chartSelection();
}

void DeformationTabs::showComparison(int comparison) {
  if (!result_) return;
  const int index = comparison_->findData(comparison);
  if (index >= 0 && index != comparison_->currentIndex()) {
    comparison_->setCurrentIndex(index);  // comes back here
    return;
  }
  std::vector<DisplacementRef> rows = displacementRows(*result_, comparison);
  const int count = int(rows.size());
  auto significant = std::make_shared<std::vector<char>>();
  for (const DisplacementRef& ref : rows) {
    significant->push_back(result_->comparisons[ref.comparison].displacements[ref.row].significant);
  }
  fill(*displacements_, count, displacementColumns(result_, std::move(rows)),
       [significant](int row) { return bool((*significant)[row]); });
  comparisonText_->setText(comparisonLines(*result_, comparison).join(u'\n'));
}

void DeformationTabs::clear() {
  result_.reset();
  for (const auto& table : tables_) table->model.reset(0, {}, {});
  for (QLabel* label : {epochText_, comparisonText_, velocityText_}) label->clear();
  {
    const QSignalBlocker blocker(comparison_);
    comparison_->clear();
  }
  charted_.clear();
  chart_->clear();
  map_->clear();
}

void DeformationTabs::chartSelection() {
  if (!result_) return;
  charted_.clear();
  for (const QModelIndex& index : velocities_->view->selectionModel()->selectedRows()) {
    charted_.push_back(result_->velocities[velocities_->proxy.mapToSource(index).row()].benchmark);
  }
  if (charted_.empty()) {
    for (const deformation::VelocityRow& v : result_->velocities) {
      if (velocityFlagged(v) && int(charted_.size()) < kChartedWithoutSelection) charted_.push_back(v.benchmark);
    }
  }
  std::sort(charted_.begin(), charted_.end());
  chart_->showBenchmarks(result_, charted_);
}

void DeformationTabs::printCurrent(QPagedPaintDevice& device, const QString& title) const {
  PagePrinter pages(device, title + QStringLiteral(" － ") + tabText(currentIndex()));
  if (!result_) return;
  switch (currentIndex()) {
    case Epochs:
      pages.paragraphs(epochLines(*result_));
      pages.table(epochs_->caption, epochs_->proxy);
      break;
    case Displacements:
      pages.paragraphs(comparisonLines(*result_, comparison_->currentData().toInt()));
      pages.table(displacements_->caption, displacements_->proxy);
      break;
    case Velocities:
      pages.paragraphs(velocityLines(*result_));
      pages.table(velocities_->caption, velocities_->proxy);
      break;
    case Pictures: {
      const QRectF room = pages.remaining();
      const QRectF upper(room.left(), room.top(), room.width(), room.height() * 0.45);
      const QRectF lower(room.left(), upper.bottom() + room.height() * 0.05, room.width(), room.height() * 0.5);
      chart_->render(&pages.painter(), upper);
      map_->paintOn(pages.painter(), lower, pages.pixel());
      break;
    }
  }
  pages.end();
}

}  // namespace korvane::shell
