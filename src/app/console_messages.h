#pragma once
// Message boxes of a command run without a window: lines on standard error.

#include <cstdio>

#include "common/messages.h"

namespace korvane::app {

class ConsoleMessages : public Messages {
 public:
  void information(const QString&, const QString& text) override { print(text); }
  void critical(const QString&, const QString& text) override {
    failed = true;
    print(text);
  }
  void exclamation(const QString&, const QString& text) override { print(text); }
  // The only plain boxes of the conversions show the tokens that follow an EOT.
  void plain(const QString& text) override { print(QStringLiteral("EOT: ") + text); }
  bool confirm(const QString&, const QString& text) override {
    print(text);
    return false;
  }
  bool askYesNo(const QString&, const QString& text) override {
    print(text);
    return false;
  }

  bool failed = false;

 private:
  static void print(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
  }
};

}  // namespace korvane::app
