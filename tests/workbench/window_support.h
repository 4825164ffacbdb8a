#pragma once
// Stand-ins for the desktop around the workbench: file dialogs that answer with the test's names,
// a modal showing that runs the test's steps, and an engine process the test plays.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

#include "shell/services.h"
#include "shell/workbench_window.h"
#include "workbench/engine_run.h"

namespace korvane::testing::workbench {

// A file dialog that answers with the name the test gives, or cancels.
class ScriptedDialogs : public shell::FileDialogs {
 public:
  bool showOpen(shell::CommonDialog& dialog, QWidget*) override { return answer(dialog, "open"); }
  bool showSave(shell::CommonDialog& dialog, QWidget*) override { return answer(dialog, "save"); }

  QString nextName;  // empty: keep the remembered name
  bool cancel = false;
  shell::CommonDialog offered;  // the last dialog as it was shown

 private:
  bool answer(shell::CommonDialog& dialog, const char*) {
    offered = dialog;
    if (cancel) return false;
    if (!nextName.isEmpty()) dialog.fileName = nextName;
    nextName.clear();
    return true;
  }
};

// Runs the test's steps on the workbench where the desktop would wait for the user to close it.
class ScriptedModal : public shell::ModalShow {
 public:
  void showModal(QDialog& window) override {
    ++shown;
    if (steps) steps(static_cast<shell::WorkbenchWindow&>(window));
  }
  std::function<void(shell::WorkbenchWindow&)> steps;
  int shown = 0;
};

// An engine the test plays: it records what it is given and says what the test makes it say.
class PlayedEngine : public korvane::workbench::EngineProcess {
 public:
  void setHandlers(Handlers handlers) override { handlers_ = std::move(handlers); }
  void start(const QString& program, const QString& workingFolder) override {
    started << program + u'@' + workingFolder;
    running = true;
  }
  void write(const QByteArray& bytes) override { input += bytes; }
  bool isRunning() const override { return running; }
  void kill() override {
    killed = true;
    end(9, true);
  }

  void say(const QByteArray& bytes) { handlers_.output(bytes); }
  void end(int exitCode = 0, bool crashed = false) {
    running = false;
    handlers_.finished(exitCode, crashed);
  }

  QStringList started;
  QByteArray input;
  bool running = false;
  bool killed = false;

 private:
  Handlers handlers_;
};

}  // namespace korvane::testing::workbench
