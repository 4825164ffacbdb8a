#pragma once
// A report file read in a window of its own: the engine's report "level.out". Read-only, in the
// workspace's fixed-pitch Ming face, with "另存新檔" (save as) and "列印" (print).
//
// A top-level window of its own, like the engine's console, so the modal workbench does not
// block it: the report can be read, saved and printed while the workbench stays open. It never
// touches the Main window's workspace, so the file the workspace came from cannot be overwritten
// with the report.

#include <QByteArray>
#include <QWidget>

#include "common/messages.h"
#include "shell/services.h"

class QPlainTextEdit;

namespace korvane::shell {

inline const QString kReportFileFilter = QStringLiteral("Report(*.out)|*.out|Text(*.txt)|*.txt|AllFile(*.*)|*.*");

class ReportWindow : public QWidget {
  Q_OBJECT

 public:
  ReportWindow(Messages& messages, FileDialogs& fileDialogs, Printing& printing);

  // Reads the file (CP950, or UTF-8 where it is valid UTF-8) and shows it in front of the other
  // windows. A file that cannot be read is said in a "錯誤" box: false, the window as it was.
  bool showFile(const QString& path);
  // "另存新檔": the report's bytes, unchanged, to a file the user chooses (offered: the report's
  // own name). A failure is said in a "錯誤" box; an existing file is then left as it was.
  void saveAs();
  // "列印": the report on the current printer in the window's face, at the workspace's 9 points.
  void print();

  QString fileName() const { return path_; }
  QString text() const;

 private:
  Messages& messages_;
  FileDialogs& fileDialogs_;
  Printing& printing_;
  CommonDialog dialog_;
  QString path_;
  QByteArray bytes_;
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace korvane::shell
