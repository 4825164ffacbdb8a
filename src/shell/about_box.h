#pragma once
// The About box: the program's title and version, what it does, and the system information tool.

#include <QDialog>

#include "common/messages.h"
#include "shell/services.h"

namespace korvane::shell {

inline const QString kNoSystemInformation = QStringLiteral("目前無法提供系統資訊");

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  AboutBox(QWidget* owner, Messages& messages, SystemInformation& system);

  // cmdSysInfo: starts the system information tool, or says it cannot.
  void startSystemInformation();

 private:
  Messages& messages_;
  SystemInformation& system_;
};

}  // namespace korvane::shell
