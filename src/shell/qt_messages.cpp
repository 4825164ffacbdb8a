#include "shell/qt_messages.h"

#include <QMessageBox>

namespace korvane::shell {

void QtMessages::information(const QString& title, const QString& text) {
  QMessageBox::information(owner_, title, text);
}

void QtMessages::critical(const QString& title, const QString& text) { QMessageBox::critical(owner_, title, text); }

void QtMessages::exclamation(const QString& title, const QString& text) {
  QMessageBox::warning(owner_, title, text);
}

void QtMessages::plain(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitleApplication, text, QMessageBox::Ok, owner_);
  box.exec();
}

bool QtMessages::confirm(const QString& title, const QString& text) {
  return QMessageBox::question(owner_, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
         QMessageBox::Ok;
}

bool QtMessages::askYesNo(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, owner_);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace korvane::shell
