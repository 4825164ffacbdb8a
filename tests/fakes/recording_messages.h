#pragma once
// Message boxes that return at once and remember what they showed.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "common/messages.h"

namespace korvane::testing {

struct ShownMessage {
  QString kind;  // "information", "critical", "exclamation", "plain", "confirm", "yesNo"
  QString title;
  QString text;
};

class RecordingMessages : public Messages {
 public:
  void information(const QString& title, const QString& text) override { record("information", title, text); }
  void critical(const QString& title, const QString& text) override { record("critical", title, text); }
  void exclamation(const QString& title, const QString& text) override { record("exclamation", title, text); }
  void plain(const QString& text) override { record("plain", kTitleApplication, text); }
  bool confirm(const QString& title, const QString& text) override {
    record("confirm", title, text);
    return confirmAnswer;
  }
  bool askYesNo(const QString& title, const QString& text) override {
    record("yesNo", title, text);
    return yesNoAnswer;
  }

  QStringList texts() const {
    QStringList list;
    for (const ShownMessage& message : shown) list << message.text;
    return list;
  }
  bool showed(const QString& text) const { return texts().contains(text); }

  std::vector<ShownMessage> shown;
  bool confirmAnswer = true;
  bool yesNoAnswer = true;
  // Runs while a box is "open", as a nested event loop would run other handlers.
  std::function<void()> whileOpen;

 private:
  void record(const char* kind, const QString& title, const QString& text) {
    shown.push_back({QString::fromLatin1(kind), title, text});
    if (whileOpen) whileOpen();
  }
};

}  // namespace korvane::testing
