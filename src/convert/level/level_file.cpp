#include "convert/level/level_file.h"

#include <QFile>

#include "common/failure.h"
#include "convert/level/gsi_reader.h"
#include "convert/level/m5_reader.h"

namespace korvane::convert::level {
namespace {

constexpr qint64 kPieceBytes = 1 << 20;

bool isDl100cStart(std::string_view line) {
    // A record kind the DL-100C writes and a comma: "A,01,Z,", "b,...", the End-of-data line "Z,&,".
    constexpr std::string_view kKinds = "AbcghijkvwtZ";
    return line.size() >= 2 && kKinds.find(line[0]) != std::string_view::npos && line[1] == ',';
}

// Reads pieces of GSI or M5 through the reader of the format.
template <typename Feed>
std::vector<LevelLine> readWith(LevelFormat format, const QString& where, Feed&& feed) {
    std::vector<LevelLine> lines;
    const LineHandler keep = [&lines](LevelLine&& line) { lines.push_back(std::move(line)); };
    if (format == LevelFormat::Gsi) {
        GsiReader reader(where, keep);
        feed([&](std::string_view piece) { reader.read(piece); });
        reader.finish();
    } else if (format == LevelFormat::M5) {
        M5Reader reader(where, keep);
        feed([&](std::string_view piece) { reader.read(piece); });
        reader.finish();
    } else {
        throw Failure(notLevelDataMessage(where));
    }
    return lines;
}

}  // namespace

LevelFormat detectLevelFormat(std::string_view start) {
    std::size_t at = 0;
    while (at < start.size() && (start[at] == '\r' || start[at] == '\n' || start[at] == ' ' || start[at] == '\t')) ++at;
    const std::string_view rest = start.substr(at);
    if (looksLikeM5(rest)) return LevelFormat::M5;
    if (looksLikeGsi(rest)) return LevelFormat::Gsi;
    if (isDl100cStart(rest)) return LevelFormat::Dl100c;
    return LevelFormat::Unknown;
}

QString notLevelDataMessage(const QString& where) {
    return QStringLiteral("%1：不是電子水準儀的資料。找過 DL-100C 記錄（如「A,01,Z,」）、Leica GSI-8/GSI-16 的字"
                          "（如「110001+00000A11」，GSI-16 以「*」開頭）與 Trimble DiNi 的 M5 記錄（「For M5|」），都不是。")
        .arg(where);
}

std::vector<LevelLine> readLevelLines(std::string_view bytes, LevelFormat format, const QString& where) {
    return readWith(format, where, [&](const auto& read) { read(bytes); });
}

std::vector<LevelLine> readLevelLinesFile(const QString& path, const QString& where) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw Failure(QStringLiteral("無法開啟 %1：%2").arg(path, file.errorString()));
    QByteArray piece = file.read(kPieceBytes);
    const LevelFormat format = detectLevelFormat(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
    return readWith(format, where, [&](const auto& read) {
        while (!piece.isEmpty()) {
            read(std::string_view(piece.constData(), static_cast<std::size_t>(piece.size())));
            piece = file.read(kPieceBytes);
        }
        if (file.error() != QFileDevice::NoError) throw Failure(QStringLiteral("無法讀取 %1：%2").arg(path, file.errorString()));
    });
}

std::string workspaceBytes(QStringView text) {
    std::string bytes(static_cast<std::size_t>(text.size()), '?');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 256) bytes[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return bytes;
}

}  // namespace korvane::convert::level
