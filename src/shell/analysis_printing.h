#pragma once
// The network analysis window on paper: a heading on every page, paragraphs, and tables in the
// order and with the marks a grid shows them (a failing row keeps its tint and its symbol), a
// table's header repeated on each page it runs onto. Sizes are those of a 96-dpi screen scaled
// to the device.

#include <QFont>
#include <QPainter>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QPagedPaintDevice;

namespace korvane::shell {

// A table longer than this is cut on paper, with a line that says so: the whole of it goes
// to the result files ("匯出").
inline constexpr int kPrintedRowLimit = 3000;

class PagePrinter {
 public:
  // Begins painting on the device; throws Failure when it cannot.
  PagePrinter(QPagedPaintDevice& device, const QString& title);
  ~PagePrinter();

  void paragraphs(const QStringList& lines);
  void table(const QString& heading, const QAbstractItemModel& model, int rowLimit = kPrintedRowLimit);
  // The rest of the page, for a drawing of its own.
  QRectF remaining() const;
  QPainter& painter() { return painter_; }
  double pixel() const { return pixel_; }
  void end();

 private:
  void newPage();
  void pageHeading();
  void ensureRoom(double height);
  QStringList cellTexts(const QAbstractItemModel& model, int row) const;

  QPagedPaintDevice& device_;
  QPainter painter_;
  QString title_;
  QFont font_;
  double pixel_ = 1.0;
  QRectF page_;
  double y_ = 0.0;
  int pageNumber_ = 1;
};

}  // namespace korvane::shell
