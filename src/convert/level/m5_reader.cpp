#include "convert/level/m5_reader.h"

#include <array>
#include <cmath>
#include <charconv>

#include "common/failure.h"

namespace korvane::convert::level {
namespace {

constexpr double kFoot = 0.3048;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string_view firstWord(std::string_view text) {
    text = trimmed(text);
    const std::size_t blank = text.find_first_of(" \t");
    return blank == std::string_view::npos ? text : text.substr(0, blank);
}

bool isType(std::string_view type, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
        if (type == name) return true;
    }
    return false;
}

}  // namespace

M5Reader::M5Reader(QString where, LineHandler handle) : where_(where), lines_(std::move(where), std::move(handle)) {}

void M5Reader::read(std::string_view piece) {
    bytes_.read(piece, [this](std::string_view record, long number) { readRecord(record, number); });
}

void M5Reader::finish() {
    bytes_.finish([this](std::string_view record, long number) { readRecord(record, number); });
    lines_.finish(bytes_.lineCount());
    if (lines_.linesHandedOn() == 0) {
        throw Failure(QStringLiteral("%1：找不到 DiNi M5 的水準線（Start-Line 之後有 Rb/Lr 後視與 Rf/Lv 前視讀數的測站）").arg(where_));
    }
}

void M5Reader::readRecord(std::string_view record, long number) {
    if (trimmed(record).empty()) return;
    std::array<std::string_view, 7> blocks{};
    std::size_t count = 0;
    for (std::size_t at = 0; count < blocks.size();) {
        const std::size_t bar = record.find('|', at);
        blocks[count++] = record.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at);
        if (bar == std::string_view::npos) break;
        at = bar + 1;
    }
    if (count < 3) return;  // no M5 record: passed over
    const std::string_view info = blocks[2];
    const std::string_view kind = trimmed(info.substr(0, std::min<std::size_t>(3, info.size())));
    const std::string_view text = info.size() > 3 ? info.substr(3) : std::string_view();

    if (kind == "TO") {
        const std::size_t start = text.find("Start-Line");
        if (start != std::string_view::npos) {
            const std::string_view name = firstWord(text.substr(start + 10));
            const std::optional<LevellingMethod> method = methodNamed(name);
            if (!method) {
                throw Failure(QStringLiteral("%1，第 %2 行：Start-Line 的測量方法「%3」不是 BF、aBF、BFFB、BFBF、BBFF、FBBF、aBFFB 或 aBBFF")
                                  .arg(where_)
                                  .arg(number)
                                  .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))));
            }
            lines_.begin(*method, number);
            backSum_.reset();
            foreSum_.reset();
            lineEnded_ = false;
        } else if (text.find("End-Line") != std::string_view::npos) {
            // The line's sums may follow its End-Line: it is finished at the next line or sighting.
            lineEnded_ = true;
        }
        return;
    }
    if (kind.substr(0, 2) != "KD") return;

    std::optional<SightKind> sight;
    double reading = 0;
    std::optional<double> distance, height, difference;
    for (std::size_t i = 3; i < count && i < 6; ++i) {
        const std::string_view block = blocks[i];
        const std::string_view type = trimmed(block.substr(0, std::min<std::size_t>(2, block.size())));
        const bool used = isType(type, {"Lr", "Rb", "Lv", "Rf", "Lz", "Rz", "HD", "E", "Z", "Sh", "Db", "Df"});
        if (!used) continue;
        const auto damaged = [&](const QString& what) {
            return Failure(QStringLiteral("%1，第 %2 行，第 %3 個數值區塊「%4」：%5")
                               .arg(where_)
                               .arg(number)
                               .arg(i - 2)
                               .arg(QString::fromLatin1(block.data(), static_cast<qsizetype>(block.size())))
                               .arg(what));
        };
        std::string_view rest = trimmed(block.substr(std::min<std::size_t>(2, block.size())));
        const std::size_t blank = rest.find_last_of(" \t");
        const std::string_view unit = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        const std::string_view digits = trimmed(blank == std::string_view::npos ? rest : rest.substr(0, blank));
        double value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
            throw damaged(QStringLiteral("數值不是數字"));
        }
        if (unit == "ft") {
            value *= kFoot;
        } else if (unit != "m") {
            throw damaged(QStringLiteral("單位不是 m 或 ft"));
        }
        if (std::abs(value) > (isType(type, {"Db", "Df"}) ? kLongestRunningLength : kLargestValue))
            throw damaged(QStringLiteral("數值超出水準測量可能的範圍"));
        if (isType(type, {"Lr", "Rb"})) {
            sight = SightKind::Back;
            reading = value;
        } else if (isType(type, {"Lv", "Rf"})) {
            sight = SightKind::Fore;
            reading = value;
        } else if (isType(type, {"Lz", "Rz"})) {
            sight = SightKind::Intermediate;
        } else if (isType(type, {"HD", "E"})) {
            distance = value;
        } else if (type == "Z") {
            height = value;
        } else if (type == "Sh") {
            difference = value;
        } else if (type == "Db") {
            backSum_ = value;
        } else {
            foreSum_ = value;
        }
    }
    if (sight && lineEnded_) {
        lines_.finish(number);
        lineEnded_ = false;
    }
    if (sight) lines_.sight(*sight, firstWord(text), reading, distance, number);
    if (height && sight != SightKind::Intermediate) lines_.runningHeight(*height);
    if (difference) lines_.instrumentDifference(*difference);
    if (backSum_ || foreSum_) lines_.runningLength(backSum_.value_or(0) + foreSum_.value_or(0));
}

bool looksLikeM5(std::string_view start) {
    std::size_t at = 0;
    while (at < start.size() && (start[at] == '\r' || start[at] == '\n' || start[at] == ' ')) ++at;
    const std::string_view rest = start.substr(at);
    return rest.substr(0, 6) == "For M5" || rest.substr(0, 6) == "For_M5";
}

}  // namespace korvane::convert::level
