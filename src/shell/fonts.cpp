#include "shell/fonts.h"

#include <QFont>
#include <QStringList>

namespace korvane::shell {

void installFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("細明體"), {QStringLiteral("MingLiU"), QStringLiteral("AR PL UMing TW"),
                                                      QStringLiteral("AR PL UMing TW MBE"), QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("新細明體"), {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                                                        QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("標楷體"), {QStringLiteral("DFKai-SB"), QStringLiteral("AR PL UKai TW"),
                                                      QStringLiteral("AR PL UKai TW MBE"), QStringLiteral("AR PL UKai CN")});
}

}  // namespace korvane::shell
