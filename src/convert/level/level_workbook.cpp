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

bool openWorkbook(ConversionEnvironment& environment, const QString& path) {
  return environment.openDocument && environment.openDocument(path);
}

}  // namespace

QString completedText(const QString& path) {
  return QStringLiteral("轉換完成\n活頁簿存於：%1").arg(QDir::toNativeSeparators(path));
}

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

WorkbookConversion::WorkbookConversion(ConversionEnvironment& environment)
    : environment_(environment),
      path_(environment.outputFile.isEmpty() ? newWorkbookFile(environment.programFolder) : environment.outputFile),
      workbook_(std::make_unique<XlsxSheetFile>(path_, kLevelSheetName)),
      sheet_(std::make_unique<LevelSheetWriter>(Scaling{environment.unitDivisor}, *workbook_)) {}

WorkbookConversion::~WorkbookConversion() = default;

void WorkbookConversion::fail(const Failure& failure) {
  const std::optional<QString> closeFailure = attempt([&] { workbook_->close(); });
  if (dynamic_cast<const text::NumberFieldFailure*>(&failure)) {
    // A number no report can show: no workbook at all.
    QFile::remove(path_);
    throw text::NumberFieldFailure(failure.description());
  }
  if (closeFailure) throw Failure(failure.description() + QStringLiteral("\n") + *closeFailure);
  // The cells written before the failure stay, shown to the user as they are.
  openWorkbook(environment_, path_);
  throw Failure(failure.description() + QStringLiteral("\n已寫入的儲存格存於活頁簿：%1").arg(QDir::toNativeSeparators(path_)));
}

void WorkbookConversion::read(QStringView piece) {
  try {
    sheet_->read(piece);
  } catch (const Failure& failure) {
    fail(failure);
  } catch (const std::exception& error) {
    fail(Failure(QString::fromLocal8Bit(error.what())));
  }
}

void WorkbookConversion::finish() {
  try {
    sheet_->finish();
  } catch (const Failure& failure) {
    fail(failure);
  }
  workbook_->close();
  if (!metRecords()) {
    QFile::remove(path_);
    return;
  }

  if (!openWorkbook(environment_, path_) && environment_.openDocument) {
    environment_.messages.exclamation(
        kTitleMessage, QStringLiteral("沒有程式可以開啟活頁簿，檔案存於：\n%1").arg(QDir::toNativeSeparators(path_)));
  }
  // The desktop may say it opened the workbook when no program shows it: the path is always told.
  environment_.messages.information(kTitleMessage, completedText(path_));
}

std::optional<QString> convertToWorkbook(const QString& workspace, ConversionEnvironment& environment) {
  WorkbookConversion conversion(environment);
  conversion.read(workspace);
  conversion.finish();
  return std::nullopt;
}

}  // namespace korvane::convert::level
