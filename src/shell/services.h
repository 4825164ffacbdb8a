#pragma once
// The dialogs, printer and system services the windows use, behind small interfaces so that
// tests run the same handlers without a screen and without blocking.

#include <QString>
#include <functional>
#include <optional>

class QFont;
class QPagedPaintDevice;
class QWidget;

namespace korvane::shell {

// The shared file dialog of the Main window: it remembers the file name of its last use.
struct CommonDialog {
  QString fileName;
  QString initialFolder;
  QString filter;
  // Added by the save dialog to a name typed without a suffix (e.g. "dat"); empty: none.
  QString defaultSuffix;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Shows the open (save) dialog; true when the user chose a file, which is then in fileName.
  virtual bool showOpen(CommonDialog& dialog, QWidget* owner) = 0;
  virtual bool showSave(CommonDialog& dialog, QWidget* owner) = 0;
};

class Printing {
 public:
  virtual ~Printing() = default;
  // The printer set-up dialog of the current printer.
  virtual void setUp(QWidget* owner) = 0;
  // Prints the text on the current printer in `font` (the face and size it is shown in, so that
  // fixed columns stay where they are on screen) and ends the job; throws Failure.
  virtual void print(const QString& text, const QFont& font) = 0;
  // Prints what `paint` draws on the pages of the current printer (it begins its own painter
  // and calls newPage() between pages) and ends the job; throws Failure. The default prints on
  // the system's default printer.
  virtual void printPages(const std::function<void(QPagedPaintDevice& pages)>& paint);
};

class SystemInformation {
 public:
  virtual ~SystemInformation() = default;
  // A value of the local machine's registry (string values as they stand, numbers as "&h..."),
  // or nothing where it cannot be read or there is no registry.
  virtual std::optional<QString> localMachineValue(const QString& key, const QString& valueName) = 0;
  virtual bool fileExists(const QString& path) = 0;
  // Starts a program in a normal window; false when it cannot be started.
  virtual bool start(const QString& program) = 0;
};

}  // namespace korvane::shell
