#include "shell/engine_console.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace korvane::shell {

EngineConsoleWindow::EngineConsoleWindow(std::unique_ptr<workbench::EngineProcess> process)
    : QWidget(nullptr, Qt::Window), process_(process ? std::move(process) : std::make_unique<workbench::QtEngineProcess>()) {
  setObjectName(QStringLiteral("EngineConsole"));
  setWindowTitle(QStringLiteral("平差程式 tarnex"));
  // Closing the Main window ends Korvane even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("ConsoleText"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The Ming face of the workspace: its Chinese characters are two Latin letters wide, as the
  // engine lays out its console.
  QFont consoleFont(QStringLiteral("細明體"));
  consoleFont.setStyleHint(QFont::TypeWriter);
  consoleFont.setPointSize(11);
  text_->setFont(consoleFont);
  text_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: #d8d8d8; }"));
  input_ = new QLineEdit(this);
  input_->setObjectName(QStringLiteral("ConsoleInput"));
  input_->setFont(consoleFont);
  send_ = new QPushButton(QStringLiteral("送出"), this);
  send_->setObjectName(QStringLiteral("ConsoleSend"));
  openReport_ = new QPushButton(QStringLiteral("開啟 level.out"), this);
  openReport_->setObjectName(QStringLiteral("OpenReport"));
  auto* close = new QPushButton(QStringLiteral("關閉"), this);
  close->setObjectName(QStringLiteral("ConsoleClose"));

  auto* answerRow = new QHBoxLayout;
  answerRow->addWidget(new QLabel(QStringLiteral("輸入："), this));
  answerRow->addWidget(input_, 1);
  answerRow->addWidget(send_);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  buttonRow->addWidget(openReport_);
  buttonRow->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  layout->addLayout(answerRow);
  layout->addLayout(buttonRow);
  const QFontMetrics metrics(text_->font());
  resize(metrics.horizontalAdvance(QLatin1Char('M')) * 100, metrics.lineSpacing() * 34);

  console_ = std::make_unique<workbench::EngineConsole>(*process_);
  console_->onText = [this](const QString& text) { append(text); };
  console_->onStateChanged = [this] { updateControls(); };
  connect(input_, &QLineEdit::returnPressed, this, [this] { sendAnswer(); });
  connect(send_, &QPushButton::clicked, this, [this] { sendAnswer(); });
  connect(openReport_, &QPushButton::clicked, this, [this] { openReport(); });
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  updateControls();
}

EngineConsoleWindow::~EngineConsoleWindow() {
  console_->onText = nullptr;
  console_->onStateChanged = nullptr;
}

void EngineConsoleWindow::run(const QString& program, const QString& workingFolder, const QString& answer) {
  show();
  raise();
  activateWindow();
  if (console_->isRunning()) {
    append(QStringLiteral("\n（平差程式還在執行，請先回答它或關閉這個視窗）\n"));
    input_->setFocus();
    return;
  }
  console_->start(program, workingFolder);
  input_->setText(answer);
  input_->selectAll();
  input_->setFocus();
}

void EngineConsoleWindow::sendAnswer() {
  if (!console_->isRunning()) return;
  const QString answer = input_->text();
  input_->clear();
  console_->answer(answer);
}

void EngineConsoleWindow::openReport() {
  if (!console_->reportReady() || !onOpenReport) return;
  if (onOpenReport(console_->reportPath())) append(QStringLiteral("level.out 已在報表視窗開啟。\n"));
}

QString EngineConsoleWindow::text() const { return text_->toPlainText(); }

void EngineConsoleWindow::closeEvent(QCloseEvent* event) {
  // An engine nobody can answer any more is stopped.
  console_->stop();
  event->accept();
}

void EngineConsoleWindow::append(const QString& text) {
  QTextCursor cursor(text_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

void EngineConsoleWindow::updateControls() {
  const bool running = console_->isRunning();
  input_->setEnabled(running);
  send_->setEnabled(running);
  openReport_->setEnabled(console_->reportReady());
  if (console_->reportReady()) openReport_->setFocus();
}

}  // namespace korvane::shell
