#pragma once
// Message boxes on the screen, owned by a window.

#include <QWidget>

#include "common/messages.h"

namespace korvane::shell {

// The window a box belongs to: the active window, which asked (the analysis window over the
// Main window stays in front when its box closes); `owner` when no window is active.
QWidget* boxOwner(QWidget* owner);

// Boxes owned by the active window, or by `owner` when none is.
class QtMessages : public Messages {
 public:
  explicit QtMessages(QWidget* owner = nullptr) : owner_(owner) {}
  void setOwner(QWidget* owner) { owner_ = owner; }

  void information(const QString& title, const QString& text) override;
  void critical(const QString& title, const QString& text) override;
  void exclamation(const QString& title, const QString& text) override;
  void plain(const QString& text) override;
  bool confirm(const QString& title, const QString& text) override;
  bool askYesNo(const QString& title, const QString& text) override;

 private:
  QWidget* owner_;
};

}  // namespace korvane::shell
