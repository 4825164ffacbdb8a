#include "shell/analysis_printing.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QPagedPaintDevice>
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/failure.h"

namespace korvane::shell {
namespace {

constexpr double kFontPoints = 8.5;
constexpr int kMeasuredRows = 300;  // rows measured for the columns' widths

}  // namespace

PagePrinter::PagePrinter(QPagedPaintDevice& device, const QString& title) : device_(device), title_(title) {
  if (!painter_.begin(&device_)) throw Failure(QStringLiteral("無法開始列印：印表機無法使用"));
  pixel_ = device_.logicalDpiX() / 96.0;
  font_ = QFont(painter_.font(), &device_);
  font_.setPointSizeF(kFontPoints);
  painter_.setFont(font_);
  page_ = QRectF(painter_.viewport());
  pageHeading();
}

PagePrinter::~PagePrinter() { end(); }

void PagePrinter::end() {
  if (painter_.isActive()) painter_.end();
}

void PagePrinter::pageHeading() {
  QFont bold = font_;
  bold.setBold(true);
  painter_.setFont(bold);
  const QFontMetricsF metrics(bold, &device_);
  painter_.setPen(Qt::black);
  painter_.drawText(QRectF(page_.left(), page_.top(), page_.width(), metrics.height()), Qt::AlignLeft, title_);
  painter_.drawText(QRectF(page_.left(), page_.top(), page_.width(), metrics.height()), Qt::AlignRight,
                    QStringLiteral("第 %1 頁").arg(pageNumber_));
  painter_.setFont(font_);
  y_ = page_.top() + metrics.height() * 1.8;
}

void PagePrinter::newPage() {
  device_.newPage();
  ++pageNumber_;
  pageHeading();
}

void PagePrinter::ensureRoom(double height) {
  if (y_ + height > page_.bottom()) newPage();
}

QRectF PagePrinter::remaining() const { return QRectF(page_.left(), y_, page_.width(), page_.bottom() - y_); }

void PagePrinter::paragraphs(const QStringList& lines) {
  painter_.setFont(font_);
  painter_.setPen(Qt::black);
  for (const QString& line : lines) {
    const QRectF room(page_.left(), y_, page_.width(), page_.height());
    const QRectF needed = painter_.boundingRect(room, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, line);
    ensureRoom(needed.height());
    painter_.drawText(QRectF(page_.left(), y_, page_.width(), needed.height()), Qt::TextWordWrap | Qt::AlignLeft, line);
    y_ += needed.height() + 2 * pixel_;
  }
  y_ += 6 * pixel_;
}

QStringList PagePrinter::cellTexts(const QAbstractItemModel& model, int row) const {
  QStringList texts;
  for (int column = 0; column < model.columnCount(); ++column) texts << model.index(row, column).data().toString();
  return texts;
}

void PagePrinter::table(const QString& heading, const QAbstractItemModel& model, int rowLimit) {
  const int columns = model.columnCount();
  const int rows = std::min(model.rowCount(), rowLimit);
  QFont bold = font_;
  bold.setBold(true);
  const QFontMetricsF metrics(font_, &device_);
  const QFontMetricsF boldMetrics(bold, &device_);
  const double padding = 4 * pixel_;
  const double rowHeight = metrics.height() * 1.3;

  // Each column as wide as its header and its widest measured text, all of them within the page.
  std::vector<double> widths(columns, 0.0);
  for (int column = 0; column < columns; ++column) {
    widths[column] = boldMetrics.horizontalAdvance(model.headerData(column, Qt::Horizontal).toString());
  }
  for (int row = 0; row < std::min(rows, kMeasuredRows); ++row) {
    const QStringList texts = cellTexts(model, row);
    for (int column = 0; column < columns; ++column) {
      widths[column] = std::max(widths[column], metrics.horizontalAdvance(texts[column]));
    }
  }
  double total = 0.0;
  for (double& width : widths) total += (width += 2 * padding);
  if (total > page_.width()) {
    for (double& width : widths) width *= page_.width() / total;
  }

  auto drawHeader = [&] {
    painter_.setFont(bold);
    double x = page_.left();
    painter_.fillRect(QRectF(page_.left(), y_, std::min(total, page_.width()), rowHeight), QColor(225, 225, 225));
    painter_.setPen(Qt::black);
    for (int column = 0; column < columns; ++column) {
      const QRectF cell(x + padding, y_, widths[column] - 2 * padding, rowHeight);
      painter_.drawText(cell, Qt::AlignVCenter | Qt::AlignLeft,
                        boldMetrics.elidedText(model.headerData(column, Qt::Horizontal).toString(), Qt::ElideRight,
                                               cell.width()));
      x += widths[column];
    }
    y_ += rowHeight;
    painter_.setFont(font_);
  };

  paragraphs({heading});
  y_ -= 6 * pixel_;
  ensureRoom(rowHeight * 2);
  drawHeader();
  for (int row = 0; row < rows; ++row) {
    if (y_ + rowHeight > page_.bottom()) {
      newPage();
      drawHeader();
    }
    const QVariant tint = model.index(row, 0).data(Qt::BackgroundRole);
    if (tint.canConvert<QBrush>() && tint.value<QBrush>().style() != Qt::NoBrush) {
      painter_.fillRect(QRectF(page_.left(), y_, std::min(total, page_.width()), rowHeight), tint.value<QBrush>());
    }
    double x = page_.left();
    for (int column = 0; column < columns; ++column) {
      const QModelIndex index = model.index(row, column);
      const QVariant colour = index.data(Qt::ForegroundRole);
      painter_.setPen(colour.canConvert<QBrush>() ? colour.value<QBrush>().color() : QColor(Qt::black));
      const Qt::Alignment alignment =
          Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()) | Qt::AlignVCenter;
      const QRectF cell(x + padding, y_, widths[column] - 2 * padding, rowHeight);
      painter_.drawText(cell, alignment, metrics.elidedText(index.data().toString(), Qt::ElideRight, cell.width()));
      x += widths[column];
    }
    y_ += rowHeight;
  }
  painter_.setPen(Qt::black);
  if (model.rowCount() > rows) {
    paragraphs({QStringLiteral("（只列印前 %1 列，共 %2 列；完整資料請用「匯出」寫成的檔案）").arg(rows).arg(model.rowCount())});
  } else {
    y_ += 10 * pixel_;
  }
}

}  // namespace korvane::shell
