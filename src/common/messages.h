#pragma once
// Message boxes as the commands see them. The window shows real boxes; tests and the
// command line record or print them, so handlers run without a screen and without blocking.

#include <QString>

namespace korvane {

// Titles the commands use.
inline const QString kTitleMessage = QStringLiteral("訊息");
// Every error box of the window is titled in the window's one language.
inline const QString kTitleError = QStringLiteral("錯誤");
inline const QString kTitleErrorZh = QStringLiteral("錯誤");
// The application's title, shown by boxes that name no title of their own.
inline const QString kTitleApplication = QStringLiteral("Korvane");

class Messages {
 public:
  virtual ~Messages() = default;
  virtual void information(const QString& title, const QString& text) = 0;
  virtual void critical(const QString& title, const QString& text) = 0;
  virtual void exclamation(const QString& title, const QString& text) = 0;
  // A box with only an OK button, no icon and the application's title.
  virtual void plain(const QString& text) = 0;
  // OK and Cancel, Cancel the default; true for OK.
  virtual bool confirm(const QString& title, const QString& text) = 0;
  // Yes and No with the exclamation icon, No the default; true for Yes. A message box without
  // such buttons asks as confirm does.
  virtual bool askYesNo(const QString& title, const QString& text) { return confirm(title, text); }
};

}  // namespace korvane
