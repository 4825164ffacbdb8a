#include "shell/qt_services.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include "common/failure.h"

namespace korvane::shell {
namespace {

// "Text(*.txt)|*.txt|AllFile(*.*)|*.*" as Qt writes a filter list: the captions, which hold
// their patterns in parentheses.
QString qtFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList captions;
  for (qsizetype i = 0; i < parts.size(); i += 2) captions << parts[i];
  return captions.join(QStringLiteral(";;"));
}

// Shows Qt's file dialog in the folder of the remembered name (that name chosen) or in the
// initial folder; true when the user chose a file, which is then the dialog's name.
bool showFileDialog(CommonDialog& dialog, QWidget* owner, QFileDialog::AcceptMode mode) {
  QFileDialog fileDialog(owner, QString(), QString(), qtFilter(dialog.filter));
  fileDialog.setAcceptMode(mode);
  fileDialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The dialog adds the suffix before it asks about replacing a file, so it asks about the file
  // that is then written.
  fileDialog.setDefaultSuffix(dialog.defaultSuffix);
  if (dialog.fileName.isEmpty()) {
    if (!dialog.initialFolder.isEmpty()) fileDialog.setDirectory(dialog.initialFolder);
  } else {
    const QFileInfo remembered(dialog.fileName);
    fileDialog.setDirectory(remembered.absolutePath());
    fileDialog.selectFile(remembered.fileName());
  }
  if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty()) return false;
  dialog.fileName = fileDialog.selectedFiles().constFirst();
  return !dialog.fileName.isEmpty();
}

}  // namespace

bool QtFileDialogs::showOpen(CommonDialog& dialog, QWidget* owner) {
  return showFileDialog(dialog, owner, QFileDialog::AcceptOpen);
}

bool QtFileDialogs::showSave(CommonDialog& dialog, QWidget* owner) {
  return showFileDialog(dialog, owner, QFileDialog::AcceptSave);
}

QtPrinting::QtPrinting(PdfFileChooser choosePdfFile)
    : hasSystemPrinter([] { return !QPrinterInfo::availablePrinters().isEmpty(); }),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      choosePdfFile_(std::move(choosePdfFile)) {
  if (!choosePdfFile_) {
    choosePdfFile_ = [] {
      const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
      return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("列印到檔案 (PDF)"),
                                          QDir(documents).filePath(QStringLiteral("列印.pdf")),
                                          QStringLiteral("PDF (*.pdf)"));
    };
  }
}

QtPrinting::~QtPrinting() = default;

void QtPrinting::setUp(QWidget* owner) {
  QPrintDialog dialog(printer_.get(), owner);
  dialog.exec();
}

bool QtPrinting::readyToPrint() {
  if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) return true;
  if (!printer_->printerName().isEmpty() || hasSystemPrinter()) return true;
  QString path = choosePdfFile_();
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(path);
  return true;
}

void QtPrinting::renewPrinter() {
  auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
  fresh->setPageLayout(printer_->pageLayout());
  if (printer_->outputFormat() == QPrinter::PdfFormat) {
    fresh->setOutputFormat(QPrinter::PdfFormat);
    fresh->setOutputFileName(printer_->outputFileName());
  }
  printer_ = std::move(fresh);
}

void QtPrinting::print(const QString& text, const QFont& font) {
  if (!readyToPrint()) return;
  QPainter painter;
  if (!painter.begin(printer_.get())) {
    renewPrinter();
    throw Failure(QStringLiteral("無法開始列印：印表機無法使用"));
  }
  // The face and size of the screen, measured on the printer.
  painter.setFont(QFont(font, printer_.get()));
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect page = painter.viewport();
  const int lineHeight = metrics.lineSpacing();
  int y = metrics.ascent();
  QString normalised = text;
  normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  for (const QString& line : normalised.split(u'\n')) {
    if (y + metrics.descent() > page.height() && y > metrics.ascent()) {
      printer_->newPage();
      y = metrics.ascent();
    }
    painter.drawText(0, y, line);
    y += lineHeight;
  }
  painter.end();
  if (printer_->printerState() == QPrinter::Error) {
    renewPrinter();
    throw Failure(QStringLiteral("列印失敗：印表機回報錯誤"));
  }
}

void QtPrinting::printPages(const std::function<void(QPagedPaintDevice& pages)>& paint) {
  if (!readyToPrint()) return;
  try {
    paint(*printer_);
  } catch (...) {
    renewPrinter();
    throw;
  }
  if (printer_->printerState() == QPrinter::Error) {
    renewPrinter();
    throw Failure(QStringLiteral("列印失敗：印表機回報錯誤"));
  }
}

std::optional<QString> QtSystemInformation::localMachineValue(const QString& key, const QString& valueName) {
#ifdef Q_OS_WIN
  QSettings registry(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key, QSettings::NativeFormat);
  const QVariant value = registry.value(valueName);
  if (!value.isValid()) return std::nullopt;
  if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt) {
    return registryNumberText(value.toUInt());
  }
  return value.toString();
#else
  Q_UNUSED(key);
  Q_UNUSED(valueName);
  return std::nullopt;
#endif
}

bool QtSystemInformation::fileExists(const QString& path) { return QFileInfo(path).isFile(); }

bool QtSystemInformation::start(const QString& program) { return QProcess::startDetached(program, {}); }

QString registryNumberText(quint32 value) {
  QString text = QStringLiteral("&h");
  for (int byte = 3; byte >= 0; --byte) text += QString::number((value >> (8 * byte)) & 0xFF, 16).toUpper();
  return text;
}

}  // namespace korvane::shell
