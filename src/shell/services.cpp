#include "shell/services.h"

#include <QPrinter>

#include "common/failure.h"

namespace korvane::shell {

void Printing::printPages(const std::function<void(QPagedPaintDevice& pages)>& paint) {
  QPrinter printer(QPrinter::HighResolution);
  paint(printer);
  if (printer.printerState() == QPrinter::Error) throw Failure(QStringLiteral("列印失敗：印表機回報錯誤"));
}

}  // namespace korvane::shell
