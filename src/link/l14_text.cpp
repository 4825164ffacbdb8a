#include "link/l14_text.h"

#include <QStringList>

#include "common/failure.h"
#include "text/spaces.h"
#include "text/text_file.h"

namespace korvane::link {
namespace {

// The lines of a text file: ended by CR LF or a lone CR; no line after a final line end.
QStringList fileLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = text.indexOf(u'\r', start);
    if (end < 0) {
      lines << text.mid(start);
      break;
    }
    lines << text.mid(start, end - start);
    start = end + 1;
    if (start < text.size() && text[start] == u'\n') ++start;
  }
  return lines;
}

}  // namespace

QString convertL14Text(const QString& workspace, const QString& folder, const std::function<void()>& yieldToEvents) {
  text::writeScratchFile(folder, workspace);
  const QStringList lines = fileLines(workspace);
  // Blank lines at the very end are no points and no fault.
  qsizetype count = lines.size();
  while (count > 0 && text::trimSpaces(lines[count - 1]).isEmpty()) --count;

  QString result;
  for (qsizetype index = 0; index < count; ++index) {
    if (yieldToEvents) yieldToEvents();
    QString line = lines[index];
    if (line.startsWith(QStringLiteral("PAGE"))) {
      // A page heading: the line after it is converted in its place.
      if (++index >= lines.size()) throw Failure(QStringLiteral("第 %1 行：PAGE 之後沒有資料").arg(index));
      line = lines[index];
    }
    const QStringList fields = text::trimSpaces(line).split(u' ', Qt::SkipEmptyParts);
    if (fields.isEmpty()) throw Failure(QStringLiteral("第 %1 行是空行").arg(index + 1));
    if (fields.size() % 3 != 0) {
      throw Failure(QStringLiteral("第 %1 行的欄位數 %2 不是 3 的倍數（點名 第一座標 第二座標）").arg(index + 1).arg(fields.size()));
    }
    for (qsizetype f = 0; f < fields.size(); f += 3) {
      result += fields[f] + u',' + fields[f + 2] + u',' + fields[f + 1] + QStringLiteral(",0\r\n");
    }
  }
  if (result.isEmpty()) throw Failure(QStringLiteral("沒有可轉換的地政L14資料"));
  result.chop(1);
  return result;
}

}  // namespace korvane::link
