#pragma once
// Message boxes on the screen, owned by a window.

#include <QWidget>

#include "common/messages.h"

namespace korvane::shell {

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
