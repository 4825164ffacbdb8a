#include "support/capture_replay.h"

namespace korvane::testing {

namespace {

std::vector<QByteArray> linesOf(const QByteArray& bytes) {
  std::vector<QByteArray> lines;
  for (qsizetype start = 0; start < bytes.size();) {
    const qsizetype end = bytes.indexOf('\n', start);
    const qsizetype next = end < 0 ? bytes.size() : end + 1;
    lines.push_back(bytes.mid(start, next - start));
    start = next;
  }
  return lines;
}

}  // namespace

std::vector<QByteArray> totalStationChunksOf(const QByteArray& capture, qsizetype chunkBytes) {
  std::vector<QByteArray> chunks;
  for (const QByteArray& line : linesOf(capture)) {
    if (chunks.empty() || chunks.back().size() + line.size() > chunkBytes) {
      chunks.push_back(line);
    } else {
      chunks.back() += line;
    }
  }
  return chunks;
}

LevelChunks levelChunksOf(const QByteArray& capture) {
  LevelChunks level;
  bool headerSeen = false;
  for (const QByteArray& line : linesOf(capture)) {
    headerSeen = headerSeen || line.contains("A,01,Z,");
    (headerSeen ? level.chunks : level.beforeHeader).push_back(line);
  }
  return level;
}

}  // namespace korvane::testing
