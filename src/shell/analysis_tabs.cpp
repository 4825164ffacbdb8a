#include "shell/analysis_tabs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "result_words.h"
#include "shell/analysis_printing.h"
#include "shell/analysis_summary.h"
#include "shell/analysis_words.h"

namespace korvane::shell {

struct AnalysisTabs::Table {
  ResultTableModel model;
  ResultTableProxy proxy;
  QTableView* view = nullptr;
  QString caption;
  QCheckBox* onlyFailing = nullptr;
};

namespace {

QLabel* textLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QLabel* caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

// A table's caption, and on its right the choice to list only the rows that fail.
QHBoxLayout* captionRow(QLabel* caption, QCheckBox* onlyFailing) {
  auto* row = new QHBoxLayout;
  row->addWidget(caption);
  row->addStretch(1);
  row->addWidget(onlyFailing);
  return row;
}

void tint(QLabel* label, bool passes) {
  label->setStyleSheet(QStringLiteral("QLabel { background: %1; color: black; padding: 4px; }")
                           .arg((passes ? passBackground() : failBackground()).name()));
}

}  // namespace

AnalysisTabs::AnalysisTabs(QWidget* parent) : QTabWidget(parent) {
  setObjectName(QStringLiteral("AnalysisTabs"));

  auto* checks = new QWidget(this);
  checkText_ = textLabel("CheckText", checks);
  auto* checksLayout = new QVBoxLayout(checks);
  checksLayout->addWidget(checkText_);
  checksLayout->addWidget(caption(QStringLiteral("連通部分"), checks));
  parts_ = &addTable("PartsTable", checks);
  parts_->caption = QStringLiteral("連通部分");
  parts_->view->setMaximumHeight(parts_->view->verticalHeader()->defaultSectionSize() * 6);
  checksLayout->addWidget(parts_->view);
  closures_ = &addTable("ClosuresTable", checks, QStringLiteral("只列出超限者"));
  closures_->caption = QStringLiteral("閉合差檢核");
  checksLayout->addLayout(
      captionRow(caption(QStringLiteral("閉合差檢核：環線、已知點間路線、重複測量"), checks), closures_->onlyFailing));
  checksLayout->addWidget(closures_->view, 1);
  addTab(checks, QStringLiteral("檢核"));

  auto* results = new QWidget(this);
  globalText_ = textLabel("GlobalTest", results);
  points_ = &addTable("PointsTable", results, QStringLiteral("只列出未過者"));
  points_->caption = QStringLiteral("高程");
  auto* resultsLayout = new QVBoxLayout(results);
  resultsLayout->addWidget(globalText_);
  resultsLayout->addLayout(captionRow(caption(QStringLiteral("各點高程"), results), points_->onlyFailing));
  resultsLayout->addWidget(points_->view, 1);
  addTab(results, QStringLiteral("成果"));

  auto* observations = new QWidget(this);
  testText_ = textLabel("TestLevels", observations);
  observations_ = &addTable("ObservationsTable", observations, QStringLiteral("只列出未過者"));
  observations_->caption = QStringLiteral("觀測");
  snoopingCaption_ = caption(QStringLiteral("資料探測步驟（依移除的先後）"), observations);
  snooping_ = &addTable("SnoopingTable", observations);
  snooping_->caption = QStringLiteral("資料探測步驟");
  // The steps stay in the order they were taken.
  snooping_->view->setSortingEnabled(false);
  auto* observationsLayout = new QVBoxLayout(observations);
  observationsLayout->addWidget(testText_);
  observationsLayout->addLayout(captionRow(caption(QStringLiteral("各觀測的檢定（點表頭排序）"), observations),
                                           observations_->onlyFailing));
  observationsLayout->addWidget(observations_->view, 3);
  observationsLayout->addWidget(snoopingCaption_);
  observationsLayout->addWidget(snooping_->view, 1);
  addTab(observations, QStringLiteral("觀測"));

  picture_ = new NetworkPicture(this);
  addTab(picture_, QStringLiteral("網形圖"));

  picture_->onClicked = [this](PictureSelection selection) {
    if (selection.kind == PictureSelection::Kind::Point) selectPoint(selection.index);
    if (selection.kind == PictureSelection::Kind::Observation) selectObservation(selection.index);
  };
  for (Table* table : {points_, observations_}) {
    connect(table->view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this, table] {
      const int row = sourceRow(*table);
      if (row < 0) return;
      picture_->select({table == points_ ? PictureSelection::Kind::Point : PictureSelection::Kind::Observation, row});
      describeSelection();
    });
  }
  clear();
}

AnalysisTabs::~AnalysisTabs() {
  for (const auto& table : tables_) table->view->setModel(nullptr);
}

AnalysisTabs::Table& AnalysisTabs::addTable(const char* name, QWidget* page, const QString& onlyFailing) {
  auto table = std::make_unique<Table>();
  if (!onlyFailing.isEmpty()) {
    table->onlyFailing = new QCheckBox(onlyFailing, page);
    table->onlyFailing->setObjectName(QString::fromLatin1(name) + QStringLiteral("OnlyFailing"));
    ResultTableProxy* proxy = &table->proxy;
    connect(table->onlyFailing, &QCheckBox::toggled, this, [proxy](bool only) { proxy->setOnlyFailing(only); });
  }
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
  // The result's own order until a header is clicked.
  table->view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table->view->setSortingEnabled(true);
  tables_.push_back(std::move(table));
  return *tables_.back();
}

void AnalysisTabs::fill(Table& table, int rows, std::vector<ResultColumn> columns, std::function<bool(int)> rowFails,
                        std::function<QString(int)> rowNote, std::vector<int> firstOrder) {
  table.view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table.proxy.sort(-1);
  table.model.reset(rows, std::move(columns), std::move(rowFails), std::move(rowNote));
  table.proxy.setFirstOrder(std::move(firstOrder));
  table.view->resizeColumnsToContents();
  // The last column takes what is left of the width again.
  table.view->horizontalHeader()->setStretchLastSection(false);
  table.view->horizontalHeader()->setStretchLastSection(true);
}

void AnalysisTabs::showResult(const SharedResult& result) {
  result_ = result;
  const analysis::AnalysisResult& r = *result;
  fill(*parts_, int(r.checks.parts.size()), partColumns(result),
       [result](int row) { return partFails(*result, row); });
  std::vector<const analysis::ClosureCheck*> closures = closureRows(r);
  const int closureCount = int(closures.size());
  auto failing = std::make_shared<std::vector<char>>();
  for (const analysis::ClosureCheck* check : closures) failing->push_back(!check->passes);
  fill(*closures_, closureCount, closureColumns(result, std::move(closures)),
       [failing](int row) { return bool((*failing)[row]); });
  fill(*points_, int(r.points.size()), pointColumns(result), [result](int row) { return pointFails(*result, row); });
  // The flagged observations first, the most likely gross error at the top and in bold.
  const int mostLikely = analysis::mostLikelyError(r).value_or(-1);
  fill(
      *observations_, int(r.observations.size()), observationColumns(result),
      [result](int row) {
        const analysis::ObservationResult& o = result->observations[row];
        return observationFails(o) || o.removedAtStep > 0;
      },
      [mostLikely](int row) { return row == mostLikely ? kMostLikelyToolTip : QString(); }, observationFirstOrder(r));
  fill(*snooping_, int(r.snooping.size()), snoopingColumns(result), {});

  checkText_->setText(checkLines(r).join(u'\n'));
  globalText_->setText(globalTestLines(r).join(u'\n'));
  tint(globalText_, r.global.verdict != analysis::GlobalVerdict::TooLarge &&
                        r.global.verdict != analysis::GlobalVerdict::TooSmall);
  testText_->setText(observationTestLines(r).join(u'\n'));
  snoopingCaption_->setVisible(r.options.snoop);
  snooping_->view->setVisible(r.options.snoop);

  // The picture opens where something fails: the most likely gross error, else the first
  // failing closure.
  int centre = 0;
  if (mostLikely >= 0) {
    centre = r.observations[mostLikely].from;
  } else if (const auto rows = closureRows(r); !rows.empty()) {
    const auto fails = std::find_if(rows.begin(), rows.end(), [](const analysis::ClosureCheck* c) { return !c->passes; });
    if (fails != rows.end() && !(*fails)->points.empty()) centre = (*fails)->points.front();
  }
  picture_->showResult(result, centre);
}

void AnalysisTabs::clear() {
  result_.reset();
  for (const auto& table : tables_) table->model.reset(0, {}, {});
  checkText_->clear();
  globalText_->clear();
  globalText_->setStyleSheet({});
  testText_->clear();
  picture_->clear();
}

int AnalysisTabs::sourceRow(const Table& table) {
  const QModelIndex current = table.view->selectionModel()->currentIndex();
  return current.isValid() ? table.proxy.mapToSource(current).row() : -1;
}

void AnalysisTabs::selectSourceRow(Table& table, int row) {
  QModelIndex index = table.proxy.mapFromSource(table.model.index(row, 0));
  if (!index.isValid() && table.onlyFailing && table.onlyFailing->isChecked()) {
    // A row the list leaves out is shown by listing all rows again.
    table.onlyFailing->setChecked(false);
    index = table.proxy.mapFromSource(table.model.index(row, 0));
  }
  if (!index.isValid()) return;
  table.view->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  table.view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void AnalysisTabs::selectPoint(int point) {
  if (!result_ || point < 0 || point >= int(result_->points.size())) return;
  selectSourceRow(*points_, point);
  picture_->select({PictureSelection::Kind::Point, point});
  describeSelection();
}

void AnalysisTabs::selectObservation(int observation) {
  if (!result_ || observation < 0 || observation >= int(result_->observations.size())) return;
  selectSourceRow(*observations_, observation);
  picture_->select({PictureSelection::Kind::Observation, observation});
  describeSelection();
}

int AnalysisTabs::selectedPoint() const { return sourceRow(*points_); }
int AnalysisTabs::selectedObservation() const { return sourceRow(*observations_); }

void AnalysisTabs::describeSelection() {
  const PictureSelection selection = picture_->selection();
  if (!result_ || !onSelectionText) return;
  QString text;
  if (selection.kind == PictureSelection::Kind::Point) {
    const analysis::PointResult& p = result_->points[selection.index];
    text = QStringLiteral("點 %1（%2）：平差高程 %3 m，σ %4 mm")
               .arg(QString::fromStdString(p.name), knownRoleName(p.known), number(p.height, 5), number(p.sigma, 2));
  } else if (selection.kind == PictureSelection::Kind::Observation) {
    const analysis::ObservationResult& o = result_->observations[selection.index];
    text = QStringLiteral("觀測 %1（第 %2 列）：v = %3 mm，w = %4，τ = %5，%6")
               .arg(observationText(*result_, selection.index))
               .arg(o.row)
               .arg(number(o.test.residual, 2), number(o.test.w, 2), number(o.test.tau, 2), observationMark(o));
  }
  onSelectionText(text);
}

void AnalysisTabs::printCurrent(QPagedPaintDevice& device, const QString& title) const {
  PagePrinter pages(device, title + QStringLiteral(" － ") + tabText(currentIndex()));
  if (!result_) return;
  switch (currentIndex()) {
    case Checks:
      pages.paragraphs(checkLines(*result_));
      pages.table(parts_->caption, parts_->proxy);
      pages.table(closures_->caption, closures_->proxy);
      break;
    case Results:
      pages.paragraphs(globalTestLines(*result_));
      pages.table(points_->caption, points_->proxy);
      break;
    case Observations:
      pages.paragraphs(observationTestLines(*result_));
      pages.table(observations_->caption, observations_->proxy);
      if (result_->options.snoop) pages.table(snooping_->caption, snooping_->proxy);
      break;
    case Picture:
      picture_->paintForPrint(pages.painter(), pages.remaining(), pages.pixel());
      break;
  }
  pages.end();
}

}  // namespace korvane::shell
