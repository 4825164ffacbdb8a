#include "shell/qt_messages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace korvane::shell {
namespace {

// The widest a box's text may make it before its lines wrap: what fits the screen beside the
// icon and the margins.
int widestText(const QWidget* owner) {
  const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  const int available = screen ? screen->availableGeometry().width() : 1024;
  return std::max(200, std::min(available - 160, 1000));
}

// A box as wide as its longest line: Qt's own estimate may come out a character narrower than
// the Chinese text, which then wraps its last character onto a line of its own.
QMessageBox::StandardButton ask(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  owner = boxOwner(owner);
  QMessageBox box(icon, title, text, buttons, owner);
  box.setTextFormat(Qt::PlainText);
  if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : text.split(u'\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
    label->setMinimumWidth(std::min(widest + metrics.horizontalAdvance(QStringLiteral("中")), widestText(owner)));
  }
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QWidget* boxOwner(QWidget* owner) {
  QWidget* active = QApplication::activeWindow();
  return active && active->isVisible() ? active : owner;
}

void QtMessages::information(const QString& title, const QString& text) {
  ask(owner_, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::critical(const QString& title, const QString& text) {
  ask(owner_, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::exclamation(const QString& title, const QString& text) {
  ask(owner_, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessages::plain(const QString& text) {
  ask(owner_, QMessageBox::NoIcon, kTitleApplication, text, QMessageBox::Ok, QMessageBox::Ok);
}

// The questions guard a deletion: the harmless answer is the default, so Enter deletes nothing.
bool QtMessages::confirm(const QString& title, const QString& text) {
  return ask(owner_, QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

bool QtMessages::askYesNo(const QString& title, const QString& text) {
  return ask(owner_, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

}  // namespace korvane::shell
