#include "shell/report_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>

#include "common/failure.h"
#include "text/text_file.h"

namespace korvane::shell {
namespace {

// On screen a size whose Chinese characters are a whole even number of pixels wide at 96 DPI, so
// that two digits stay exactly one character wide; on paper the workspace's 9 points, which
// fit the report's widest lines on an A4 page.
constexpr int kScreenPointSize = 12;
constexpr int kPrintPointSize = 9;
// Room for the widest report lines and a page of them.
constexpr int kColumns = 100;
constexpr int kLines = 40;

QByteArray readReport(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw Failure(QStringLiteral("無法開啟 %1：%2").arg(path, file.errorString()));
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw Failure(QStringLiteral("無法讀取 %1：%2").arg(path, file.errorString()));
  return bytes;
}

}  // namespace

ReportWindow::ReportWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing)
    : QWidget(nullptr, Qt::Window), messages_(messages), fileDialogs_(fileDialogs), printing_(printing) {
  setObjectName(QStringLiteral("ReportWindow"));
  // Closing the Main window ends Korvane even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("ReportText"));
  text_->setReadOnly(true);
  // Read-only, but the keys still move through the report and select from it.
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The workspace's Ming face: its Chinese characters are two Latin letters wide, as the engine
  // lays out its report.
  QFont font(QStringLiteral("細明體"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(kScreenPointSize);
  text_->setFont(font);

  auto* saveAs = new QPushButton(QStringLiteral("另存新檔(&A)..."), this);
  saveAs->setObjectName(QStringLiteral("ReportSaveAs"));
  auto* print = new QPushButton(QStringLiteral("列印(&P)"), this);
  print->setObjectName(QStringLiteral("ReportPrint"));
  // The printer set-up of the Main window's menu, which the workbench in front of it hides.
  auto* setUp = new QPushButton(QStringLiteral("列表機設定..."), this);
  setUp->setObjectName(QStringLiteral("ReportPrinterSetUp"));
  auto* close = new QPushButton(QStringLiteral("關閉"), this);
  close->setObjectName(QStringLiteral("ReportClose"));
  connect(saveAs, &QPushButton::clicked, this, [this] { this->saveAs(); });
  connect(print, &QPushButton::clicked, this, [this] { this->print(); });
  connect(setUp, &QPushButton::clicked, this, [this] { printing_.setUp(this); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(saveAs);
  buttons->addWidget(setUp);
  buttons->addWidget(print);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addLayout(buttons);

  const QFontMetrics metrics(text_->font());
  QSize size(metrics.horizontalAdvance(QString(kColumns, u'0')) + 40, metrics.lineSpacing() * kLines);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) size = size.boundedTo(screen->availableSize() * 9 / 10);
  resize(size);
}

bool ReportWindow::showFile(const QString& path) {
  QByteArray bytes;
  if (const auto failure = attempt([&] { bytes = readReport(path); })) {
    messages_.critical(kTitleErrorZh, *failure);
    return false;
  }
  path_ = path;
  bytes_ = bytes;
  text_->setPlainText(text::decodeTextFile(bytes_).text);
  setWindowTitle(QStringLiteral("平差報表 - %1").arg(QDir::toNativeSeparators(path_)));
  show();
  raise();
  activateWindow();
  return true;
}

void ReportWindow::saveAs() {
  dialog_.filter = kReportFileFilter;
  dialog_.fileName = path_;
  dialog_.initialFolder = QFileInfo(path_).absolutePath();
  if (!fileDialogs_.showSave(dialog_, this) || dialog_.fileName.isEmpty()) return;
  const auto failure = attempt([&] {
    QSaveFile file(dialog_.fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes_) != bytes_.size() || !file.commit()) {
      throw Failure(QStringLiteral("無法寫入 %1：%2").arg(dialog_.fileName, file.errorString()));
    }
  });
  if (failure) messages_.critical(kTitleErrorZh, *failure);
}

void ReportWindow::print() {
  QFont font = text_->font();
  font.setPointSize(kPrintPointSize);
  const auto failure = attempt([&] { printing_.print(text(), font); });
  if (failure) messages_.critical(kTitleErrorZh, *failure);
}

QString ReportWindow::text() const { return text::decodeTextFile(bytes_).text; }

}  // namespace korvane::shell
