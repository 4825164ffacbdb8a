#pragma once
// The services on the real desktop: Qt's file and print dialogs, the current printer, the
// registry where there is one.

#include <QPrinter>
#include <functional>
#include <memory>

#include "shell/services.h"

namespace korvane::shell {

class QtFileDialogs : public FileDialogs {
 public:
  bool showOpen(CommonDialog& dialog, QWidget* owner) override;
  bool showSave(CommonDialog& dialog, QWidget* owner) override;
};

// The current printer. Where the system has no printer and none was set up, a print first asks
// for a PDF file to print to (`choosePdfFile`: an empty name cancels the print; by default Qt's
// save dialog in the documents folder). A print that fails leaves a fresh printer with the same
// settings, so that the set-up dialog and the next print work (Qt keeps a printer whose job
// could not begin active, and it refuses every later change).
class QtPrinting : public Printing {
 public:
  using PdfFileChooser = std::function<QString()>;
  explicit QtPrinting(PdfFileChooser choosePdfFile = {});
  ~QtPrinting() override;
  void setUp(QWidget* owner) override;
  void print(const QString& text, const QFont& font) override;
  void printPages(const std::function<void(QPagedPaintDevice& pages)>& paint) override;
  QPrinter& printer() { return *printer_; }
  // Whether the system lists any printer; a test plays a machine without one.
  std::function<bool()> hasSystemPrinter;

 private:
  bool readyToPrint();
  void renewPrinter();

  std::unique_ptr<QPrinter> printer_;
  PdfFileChooser choosePdfFile_;
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
