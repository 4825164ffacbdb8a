#pragma once
// The file, print and clipboard commands of the text workspace.

#include <QString>

#include "common/messages.h"
#include "shell/services.h"
#include "text/text_file.h"

class QWidget;

namespace korvane::shell {

class Workspace;

inline const QString kTextFileFilter = QStringLiteral("Text(*.txt)|*.txt|AllFile(*.*)|*.*");
inline const QString kSaveError = QStringLiteral("存檔錯誤");
inline const QString kDeletePrompt = QStringLiteral("刪除檔案:");

class WorkspaceCommands {
 public:
  WorkspaceCommands(QWidget* window, Workspace& workspace, Messages& messages, FileDialogs& dialogs,
                    Printing& printing);

  void open();         // mnuOpen
  void save();         // mnuSave
  void deleteFile();   // MnuDele
  void printerSetUp(); // cPrinterSet
  void print();        // cPrint
  void cut();          // mnuCut
  void copy();         // mnuCopy
  void paste();        // mnuPaste
  // cUploadOpenFile: a coordinate file into the workspace; throws Failure.
  void openForUpload();

  const CommonDialog& dialog() const { return dialog_; }
  // The encoding the workspace text is saved in: the one its file was read in, CP950 by default.
  text::TextEncoding encoding() const { return encoding_; }

 private:
  QString selectedText() const;

  QWidget* window_;
  Workspace& workspace_;
  Messages& messages_;
  FileDialogs& dialogs_;
  Printing& printing_;
  CommonDialog dialog_;
  text::TextEncoding encoding_ = text::TextEncoding::Cp950;
};

}  // namespace korvane::shell
