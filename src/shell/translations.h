#pragma once
// Qt's own dialogs and buttons (file, print and page set-up dialogs, the buttons of message
// boxes) in Traditional Chinese, the language of the rest of the interface.

class QCoreApplication;
class QTranslator;

namespace korvane::shell {

// Loads Qt's Traditional Chinese translations (Debian: qt6-translations-l10n) from Qt's
// translations folder, or from "translations" beside the program, and installs them in `app`,
// which owns them. Nothing when they are not installed: Qt's dialogs then speak English.
QTranslator* installQtTranslations(QCoreApplication& app);

}  // namespace korvane::shell
