#include "convert/level/level_workbook.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "common/failure.h"
#include "convert/level/level_sheet.h"
#include "convert/level/xlsx_sheet_file.h"
#include "text/number_field.h"

namespace korvane::convert::level {
namespace {

constexpr int kNameAttempts = 1000;

// A number no report can show stops the command before the workbook is made, so nothing is
// written. Other faults stop the sheet where they stand, the cells before them kept.
void refuseUnusableNumbers(QStringView text, Scaling scaling) {
  try {
    RecordReader reader(text, scaling);
    while (reader.next()) {
    }
  } catch (const text::NumberFieldFailure&) {
    throw;
  } catch (const Failure&) {
    // Met again, in its turn, while the sheet is written.
  }
}

bool openWorkbook(ConversionEnvironment& environment, const QString& path) {
  return environment.openDocument && environment.openDocument(path);
}

}  // namespace

std::optional<QString> reserveWorkbookFile(const QString& folder, const QDateTime& now) {
  if (folder.isEmpty() || !QDir().mkpath(folder)) return std::nullopt;
  const QString stem = QDir(folder).filePath(kLevelSheetName + now.toString(QStringLiteral("-yyyyMMdd-HHmmss")));
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const QString path = attempt == 1 ? stem + QStringLiteral(".xlsx") : stem + QStringLiteral("-%1.xlsx").arg(attempt);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return path;
    if (!file.exists()) return std::nullopt;  // not a name clash: the folder refuses files
  }
  return std::nullopt;
}

QString newWorkbookFile(const QString& programFolder) {
  const QDateTime now = QDateTime::currentDateTime();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (const auto path = reserveWorkbookFile(documents, now)) return *path;
  if (const auto path = reserveWorkbookFile(programFolder, now)) return *path;
  throw Failure(QStringLiteral("無法建立活頁簿檔案：文件資料夾「%1」與程式資料夾「%2」都無法寫入").arg(documents, programFolder));
}

std::optional<QString> convertToWorkbook(const QString& workspace, ConversionEnvironment& environment) {
  refuseUnusableNumbers(workspace, Scaling{environment.unitDivisor});
  const QString path = environment.outputFile.isEmpty() ? newWorkbookFile(environment.programFolder) : environment.outputFile;
  XlsxSheetFile workbook(path, kLevelSheetName);
  const std::optional<QString> failure =
      attempt([&] { writeLevelSheet(workspace, Scaling{environment.unitDivisor}, workbook); });

  if (const std::optional<QString> closeFailure = attempt([&] { workbook.close(); })) {
    throw Failure(failure ? *failure + QStringLiteral("\n") + *closeFailure : *closeFailure);
  }
  if (failure) {
    // The cells written before the failure stay, shown to the user as they are.
    openWorkbook(environment, path);
    throw Failure(*failure + QStringLiteral("\n已寫入的儲存格存於活頁簿：%1").arg(QDir::toNativeSeparators(path)));
  }

  if (openWorkbook(environment, path)) {
    // Left open for the user.
  } else if (environment.openDocument) {
    environment.messages.exclamation(
        kTitleMessage, QStringLiteral("沒有程式可以開啟活頁簿，檔案存於：\n%1").arg(QDir::toNativeSeparators(path)));
  } else if (environment.outputFile.isEmpty()) {
    environment.messages.information(kTitleMessage, QStringLiteral("活頁簿存於：%1").arg(QDir::toNativeSeparators(path)));
  }
  environment.messages.information(kTitleMessage, QStringLiteral("轉換完成"));
  return std::nullopt;
}

}  // namespace korvane::convert::level
