#include "shell/workspace.h"

#include <QPlainTextEdit>

namespace korvane::shell {

Workspace::Workspace(QPlainTextEdit* view) : QObject(view), view_(view) {
  connect(view_->document(), &QTextDocument::contentsChanged, this, [this] {
    if (!settingText_) editedInView_ = true;
  });
}

void Workspace::setText(const QString& text, const QString& fileName) {
  exact_ = text;
  settingText_ = true;
  view_->setPlainText(text);
  settingText_ = false;
  editedInView_ = false;
  setFileName(fileName);
  view_->repaint();
}

void Workspace::setFileName(const QString& fileName) {
  fileName_ = fileName;
  emit documentChanged(fileName_);
}

QString Workspace::text() const {
  if (!editedInView_) return exact_;
  QString text = view_->toPlainText();
  text.replace(u'\n', QStringLiteral("\r\n"));
  return text;
}

}  // namespace korvane::shell
