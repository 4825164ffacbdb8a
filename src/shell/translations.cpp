#include "shell/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvane::shell {

QTranslator* installQtTranslations(QCoreApplication& app) {
  const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                             QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
  auto* translator = new QTranslator(&app);
  for (const QString& folder : folders) {
    if (translator->load(QStringLiteral("qtbase_zh_TW"), folder) && QCoreApplication::installTranslator(translator)) {
      return translator;
    }
  }
  delete translator;
  return nullptr;
}

}  // namespace korvane::shell
