#pragma once
// The engine's console window: tarnex's prompt and every line it prints, the answers the user
// types, and at the end the offer to open the report "level.out" in a window of its own.
//
// A window of its own, not blocked by the modal workbench, so the engine can be answered while
// the workbench stays open; it lives as long as the Main window.

#include <QWidget>
#include <functional>
#include <memory>

#include "workbench/engine_run.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace korvane::shell {

class EngineConsoleWindow : public QWidget {
  Q_OBJECT

 public:
  // Without a process of its own the window runs a real one.
  explicit EngineConsoleWindow(std::unique_ptr<workbench::EngineProcess> process = nullptr);
  ~EngineConsoleWindow() override;

  // "平差": starts the engine in the folder unless it is still running, and shows the window in
  // front. `answer` is put in the input line, ready to be sent or changed.
  void run(const QString& program, const QString& workingFolder, const QString& answer);
  // The input line sent to the engine (Enter or "送出").
  void sendAnswer();
  // "開啟 level.out".
  void openReport();

  // Shows a report file; false when it could not (and has said why).
  std::function<bool(const QString& path)> onOpenReport;

  workbench::EngineConsole& console() { return *console_; }
  QString text() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void append(const QString& text);
  void updateControls();

  std::unique_ptr<workbench::EngineProcess> process_;
  std::unique_ptr<workbench::EngineConsole> console_;
  QPlainTextEdit* text_ = nullptr;
  QLineEdit* input_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* openReport_ = nullptr;
};

}  // namespace korvane::shell
