#include "convert/level/xlsx_sheet_file.h"

#include <xlsxwriter.h>

#include <QFile>
#include <cmath>

#include "common/failure.h"

namespace korvane::convert::level {
namespace {

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Skips the digits at `i`; returns how many there were.
qsizetype skipDigits(QStringView text, qsizetype& i) {
  const qsizetype start = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i - start;
}

QString describe(lxw_error error) { return QString::fromUtf8(lxw_strerror(error)); }

}  // namespace

std::optional<double> spreadsheetNumber(QStringView text) {
  text = text.trimmed();
  qsizetype i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  qsizetype digits = skipDigits(text, i);
  if (i < text.size() && text[i] == u'.') {
    ++i;
    digits += skipDigits(text, i);
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
    if (skipDigits(text, i) == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  bool ok = false;
  const double value = text.toString().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value == 0 ? 0.0 : value;  // "-0.000" is stored as 0
}

XlsxSheetFile::XlsxSheetFile(const QString& path, const QString& sheetName) : path_(path) {
  // The file is written only at close(); a place that cannot take it is known at once.
  if (QFile probe(path); !probe.open(QIODevice::WriteOnly)) {
    throw Failure(QStringLiteral("無法寫入活頁簿 %1：%2").arg(path, probe.errorString()));
  }
  // Row after row, each row leaving memory for a scratch file as the next one starts: a sheet
  // of any size needs little memory. The level sheet is written in that order.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  workbook_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
  if (!workbook_) throw Failure(QStringLiteral("無法建立活頁簿 %1").arg(path));
  sheet_ = workbook_add_worksheet(workbook_, sheetName.toUtf8().constData());
  if (!sheet_) {
    workbook_close(workbook_);
    workbook_ = nullptr;
    QFile::remove(path);
    throw Failure(QStringLiteral("無法在活頁簿 %1 加入工作表「%2」").arg(path, sheetName));
  }
}

XlsxSheetFile::~XlsxSheetFile() {
  if (workbook_) workbook_close(workbook_);
}

void XlsxSheetFile::setValue(int row, int column, const QString& value) {
  if (value.isEmpty()) return;  // an empty text leaves the cell empty
  if (row < 1 || column < 1) {
    throw Failure(QStringLiteral("儲存格 (列 %1, 欄 %2) 不在工作表內").arg(row).arg(column));
  }
  const auto sheetRow = static_cast<lxw_row_t>(row - 1);
  const auto sheetColumn = static_cast<lxw_col_t>(column - 1);
  lxw_error error = LXW_NO_ERROR;
  if (const std::optional<double> number = spreadsheetNumber(value)) {
    error = worksheet_write_number(sheet_, sheetRow, sheetColumn, *number, nullptr);
  } else {
    error = worksheet_write_string(sheet_, sheetRow, sheetColumn, value.toUtf8().constData(), nullptr);
  }
  if (error != LXW_NO_ERROR) {
    throw Failure(QStringLiteral("無法寫入儲存格 (列 %1, 欄 %2)：%3").arg(row).arg(column).arg(describe(error)));
  }
}

void XlsxSheetFile::close() {
  if (!workbook_) return;
  const lxw_error error = workbook_close(workbook_);
  workbook_ = nullptr;
  if (error != LXW_NO_ERROR) {
    QFile::remove(path_);
    throw Failure(QStringLiteral("無法寫出活頁簿 %1：%2").arg(path_, describe(error)));
  }
}

}  // namespace korvane::convert::level
