#pragma once
// "平差": tarnex run in a folder, its console shown by Korvane. The engine asks for the engine
// input file on its console; the user answers there as at a terminal, and when the engine ends
// its report "level.out" can be opened.

#include <QByteArray>
#include <QDateTime>
#include <QProcess>
#include <QString>
#include <functional>
#include <memory>

#include "text/cp950.h"

namespace korvane::workbench {

inline const QString kEngineReportFileName = QStringLiteral("level.out");

// tarnex beside Korvane's executable.
QString enginePath();

// The engine as a process: started without arguments in a working folder, its standard output
// and error read together, its standard input written. The window runs a real process; tests
// may play one.
class EngineProcess {
 public:
  struct Handlers {
    std::function<void(const QByteArray& bytes)> output;
    std::function<void(int exitCode, bool crashed)> finished;
    std::function<void(const QString& description)> failedToStart;
  };
  virtual ~EngineProcess() = default;
  virtual void setHandlers(Handlers handlers) = 0;
  virtual void start(const QString& program, const QString& workingFolder) = 0;
  virtual void write(const QByteArray& bytes) = 0;
  virtual bool isRunning() const = 0;
  virtual void kill() = 0;
};

class QtEngineProcess : public EngineProcess {
 public:
  QtEngineProcess();
  ~QtEngineProcess() override;
  void setHandlers(Handlers handlers) override;
  void start(const QString& program, const QString& workingFolder) override;
  void write(const QByteArray& bytes) override;
  bool isRunning() const override;
  void kill() override;

 private:
  QProcess process_;
  Handlers handlers_;
};

// The engine's console: the text it shows (everything the engine prints and every answer the
// user typed) and the answers going to the engine.
class EngineConsole {
 public:
  explicit EngineConsole(EngineProcess& process);

  // Called with each piece of text the console shows (line ends as "\n").
  std::function<void(const QString& text)> onText;
  // Called when the engine starts or ends.
  std::function<void()> onStateChanged;

  // Starts the engine in the folder. A missing engine is said on the console: false.
  bool start(const QString& program, const QString& workingFolder);
  // Sends a line the user typed, shown on the console after the engine's prompt.
  void answer(const QString& line);
  void stop();

  bool isRunning() const { return running_; }
  bool hasEnded() const { return ended_; }
  const QString& workingFolder() const { return folder_; }
  const QString& transcript() const { return transcript_; }
  // "level.out" in the working folder.
  QString reportPath() const;
  // True once the engine has ended and written a new "level.out".
  bool reportReady() const;

 private:
  void show(const QString& text);
  void received(const QByteArray& bytes);
  void ended(int exitCode, bool crashed);
  void failed(const QString& description);

  EngineProcess& process_;
  text::Cp950Decoder decoder_;
  QString transcript_;
  QString folder_;
  bool running_ = false;
  bool ended_ = false;
  bool pendingCr_ = false;
  // "level.out" as it was when the engine started: a report left from an earlier run is not new.
  QDateTime reportBefore_;
  bool reportExistedBefore_ = false;
};

}  // namespace korvane::workbench
