#include "workbench/engine_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvane::workbench {

QString enginePath() {
#ifdef Q_OS_WIN
  const QString name = QStringLiteral("tarnex.exe");
#else
  const QString name = QStringLiteral("tarnex");
#endif
  return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

QtEngineProcess::QtEngineProcess() {
  process_.setProcessChannelMode(QProcess::MergedChannels);
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
    const QByteArray bytes = process_.readAllStandardOutput();
    if (handlers_.output && !bytes.isEmpty()) handlers_.output(bytes);
  });
  QObject::connect(&process_, &QProcess::finished, [this](int exitCode, QProcess::ExitStatus status) {
    const QByteArray rest = process_.readAllStandardOutput();
    if (handlers_.output && !rest.isEmpty()) handlers_.output(rest);
    if (handlers_.finished) handlers_.finished(exitCode, status == QProcess::CrashExit);
  });
  QObject::connect(&process_, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart && handlers_.failedToStart) handlers_.failedToStart(process_.errorString());
  });
}

QtEngineProcess::~QtEngineProcess() {
  handlers_ = {};
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

void QtEngineProcess::setHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

void QtEngineProcess::start(const QString& program, const QString& workingFolder) {
  process_.setWorkingDirectory(workingFolder);
  process_.start(program, QStringList());
}

void QtEngineProcess::write(const QByteArray& bytes) { process_.write(bytes); }

bool QtEngineProcess::isRunning() const { return process_.state() != QProcess::NotRunning; }

void QtEngineProcess::kill() { process_.kill(); }

EngineConsole::EngineConsole(EngineProcess& process) : process_(process) {
  process_.setHandlers({[this](const QByteArray& bytes) { received(bytes); },
                        [this](int exitCode, bool crashed) { ended(exitCode, crashed); },
                        [this](const QString& description) { failed(description); }});
}

bool EngineConsole::start(const QString& program, const QString& workingFolder) {
  if (running_) return false;
  folder_ = workingFolder;
  ended_ = false;
  decoder_.reset();
  pendingCr_ = false;
  if (!transcript_.isEmpty() && !transcript_.endsWith(u'\n')) show(QStringLiteral("\n"));
  const QFileInfo engine(program);
  if (!engine.isFile() || !engine.isExecutable()) {
    show(QStringLiteral("找不到平差程式 tarnex：%1\n平差程式要放在 Korvane 程式的同一個資料夾。\n")
             .arg(QDir::toNativeSeparators(program)));
    ended_ = true;
    if (onStateChanged) onStateChanged();
    return false;
  }
  const QFileInfo report(reportPath());
  reportExistedBefore_ = report.exists();
  reportBefore_ = reportExistedBefore_ ? report.lastModified() : QDateTime();
  show(QStringLiteral("工作資料夾：%1\n").arg(QDir::toNativeSeparators(workingFolder)));
  running_ = true;
  if (onStateChanged) onStateChanged();
  process_.start(program, workingFolder);
  return true;
}

void EngineConsole::answer(const QString& line) {
  if (!running_) return;
  const text::Cp950Encoding encoded = text::encodeCp950(line);
  if (!encoded.ok()) {
    show(QStringLiteral("\n（%1，沒有送出）\n").arg(encoded.describe()));
    return;
  }
  show(line + u'\n');
  process_.write(encoded.bytes + '\n');
}

void EngineConsole::stop() {
  if (running_) process_.kill();
}

QString EngineConsole::reportPath() const { return QDir(folder_).filePath(kEngineReportFileName); }

bool EngineConsole::reportReady() const {
  if (!ended_ || folder_.isEmpty()) return false;
  const QFileInfo report(reportPath());
  if (!report.isFile()) return false;
  return !reportExistedBefore_ || report.lastModified() != reportBefore_;
}

void EngineConsole::show(const QString& text) {
  transcript_ += text;
  if (onText) onText(text);
}

void EngineConsole::received(const QByteArray& bytes) {
  QString text = decoder_.decode(bytes);
  // CR LF and a lone CR alike end a line on the console.
  if (pendingCr_) text.prepend(u'\r');
  pendingCr_ = text.endsWith(u'\r');
  if (pendingCr_) text.chop(1);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  if (!text.isEmpty()) show(text);
}

void EngineConsole::ended(int exitCode, bool crashed) {
  QString rest = decoder_.finish();
  if (pendingCr_) rest.prepend(u'\n');
  pendingCr_ = false;
  running_ = false;
  ended_ = true;
  if (!rest.isEmpty()) show(rest);
  if (!transcript_.endsWith(u'\n')) show(QStringLiteral("\n"));
  if (crashed) {
    show(QStringLiteral("\n平差程式中止了。\n"));
  } else {
    show(QStringLiteral("\n平差程式已結束（結束碼 %1）。\n").arg(exitCode));
  }
  if (reportReady()) {
    show(QStringLiteral("報表 %1 已寫好：按「開啟 level.out」在報表視窗檢視。\n")
             .arg(QDir::toNativeSeparators(reportPath())));
  } else {
    show(QStringLiteral("這次沒有寫出新的 level.out。\n"));
  }
  if (onStateChanged) onStateChanged();
}

void EngineConsole::failed(const QString& description) {
  running_ = false;
  ended_ = true;
  show(QStringLiteral("平差程式無法啟動：%1\n").arg(description));
  if (onStateChanged) onStateChanged();
}

}  // namespace korvane::workbench
