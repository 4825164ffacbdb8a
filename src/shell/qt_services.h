#pragma once
// The services on the real desktop: Qt's file and print dialogs, the current printer, the
// registry where there is one.

#include <QPrinter>
#include <memory>

#include "shell/services.h"

namespace korvane::shell {

class QtFileDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog& dialog, QWidget* owner) override;
  bool showSave(CommonDialog& dialog, QWidget* owner) override;
};

class QtPrinting : public Printing {
 public:
  QtPrinting();
  ~QtPrinting() override;
  void setUp(QWidget* owner) override;
  void print(const QString& text, const QFont& font) override;
  void printPages(const std::function<void(QPagedPaintDevice& pages)>& paint) override;
  QPrinter& printer() { return *printer_; }

 private:
  std::unique_ptr<QPrinter> printer_;
};

class QtSystemInformation : public SystemInformation {
 public:
  std::optional<QString> localMachineValue(const QString& key, const QString& valueName) override;
  bool fileExists(const QString& path) override;
  bool start(const QString& program) override;
};

// How a 32-bit registry number reads as text: "&h", then the hexadecimal codes of its bytes,
// last byte first, each without a leading zero (0x0001020A gives "&h012A").
QString registryNumberText(quint32 value);

}  // namespace korvane::shell
