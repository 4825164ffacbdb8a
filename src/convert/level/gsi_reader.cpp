#include "convert/level/gsi_reader.h"

#include <array>
#include <cmath>
#include <optional>

#include "common/failure.h"

namespace korvane::convert::level {
namespace {

constexpr double kFoot = 0.3048;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One word of a block, cut at its place. A word whose index is not digits is no word the reader
// knows, and is passed over like any other.
struct Word {
    std::string_view text;  // without its separating blank
    int index = -1;         // the word index, or -1 when it is not digits
    int ordinal = 0;        // counted from 1 in the block
    bool rightLength = true;
};

int wordIndex(std::string_view word) {
    if (word.size() < 3 || !isDigit(word[0]) || !isDigit(word[1])) return -1;
    const int two = (word[0] - '0') * 10 + (word[1] - '0');
    if ((word[0] == '3' || word[0] == '5') && isDigit(word[2])) return two * 10 + (word[2] - '0');
    return two;
}

bool isRead(int index) {
    switch (index) {
        case 41: case 11: case 32: case 83:
        case 330: case 331: case 332: case 333: case 335: case 336:
        case 390: case 391: case 571: case 572: case 573: case 574:
            return true;
        default:
            return false;
    }
}

}  // namespace

GsiReader::GsiReader(QString where, LineHandler handle) : where_(where), lines_(std::move(where), std::move(handle)) {}

void GsiReader::read(std::string_view piece) {
    bytes_.read(piece, [this](std::string_view block, long number) { readBlock(block, number); });
}

void GsiReader::finish() {
    bytes_.finish([this](std::string_view block, long number) { readBlock(block, number); });
    lines_.finish(bytes_.lineCount());
    if (lines_.linesHandedOn() == 0) {
        throw Failure(QStringLiteral("%1：找不到 Leica GSI 的水準線（以字 41 開始、有後視 331 與前視 332 讀數的測站）").arg(where_));
    }
}

void GsiReader::readBlock(std::string_view block, long number) {
    std::size_t at = 0;
    while (at < block.size() && (block[at] == ' ' || block[at] == '\t')) ++at;
    if (at == block.size()) return;
    std::size_t length = 16;
    if (block[at] == '*') {
        length = 24;
        ++at;
    }
    const std::size_t dataLength = length - 8;

    std::optional<std::string_view> point;
    std::optional<double> distance;
    std::optional<double> height;
    std::optional<double> runningLength;
    struct Reading {
        SightKind kind;
        double value;
    };
    std::array<Reading, 4> readings{};
    int readingCount = 0;
    bool intermediate = false;
    bool informations = false;  // words 42-49: the block is a code block
    std::optional<LevellingMethod> method;

    for (int ordinal = 1; at < block.size(); ++ordinal) {
        Word word;
        word.ordinal = ordinal;
        const std::size_t end = at + length - 1;
        if (end <= block.size() && (end == block.size() || block[end] == ' ')) {
            word.text = block.substr(at, length - 1);
            at = end + 1;
        } else {
            std::size_t blank = block.find(' ', at);
            if (blank == std::string_view::npos) blank = block.size();
            word.text = block.substr(at, blank - at);
            word.rightLength = false;
            at = blank + 1;
        }
        while (at < block.size() && block[at] == ' ') ++at;
        word.index = wordIndex(word.text);
        informations = informations || (word.index >= 42 && word.index <= 49);
        const auto damaged = [&](const QString& what) {
            return Failure(QStringLiteral("%1，第 %2 行，第 %3 個字「%4」：%5")
                               .arg(where_)
                               .arg(number)
                               .arg(word.ordinal)
                               .arg(QString::fromLatin1(word.text.data(), static_cast<qsizetype>(word.text.size())))
                               .arg(what));
        };
        if (!isRead(word.index)) continue;
        if (!word.rightLength) {
            throw damaged(QStringLiteral("長度不對（GSI-%1 的字是 %2 個字元）").arg(dataLength).arg(length - 1));
        }
        const char sign = word.text[6];
        if (sign != '+' && sign != '-') throw damaged(QStringLiteral("第 7 位的正負號不是 + 或 -"));
        const std::string_view data = word.text.substr(7);
        if (word.index == 11) {
            std::size_t first = 0;
            while (first + 1 < data.size() && (data[first] == '0' || data[first] == ' ')) ++first;
            point = data.substr(first);
            continue;
        }
        if (word.index == 41) {
            const char last = data.back();
            static const std::array<std::string_view, 5> kMethods = {"BF", "BFFB", "BFBF", "aBF", "aBFFB"};
            if (last >= '1' && last <= '5') {
                method = methodNamed(kMethods[last - '1']);
            } else if (data.front() == '?') {
                // A line header ("?" first) with a method no level has: its readings must not join
                // the line before.
                throw damaged(QStringLiteral("水準線的測量方法（最後一位）不是 1 至 5"));
            }
            continue;
        }
        long long digits = 0;
        for (char c : data) {
            if (!isDigit(c)) throw damaged(QStringLiteral("資料中有非數字的字元"));
            digits = digits * 10 + (c - '0');
        }
        double value = static_cast<double>(sign == '-' ? -digits : digits);
        switch (word.text[5]) {
            case '0': value /= 1e3; break;
            case '6': value /= 1e4; break;
            case '8': value /= 1e5; break;
            case '1': value *= kFoot / 1e3; break;
            case '7': value *= kFoot / 1e4; break;
            default: throw damaged(QStringLiteral("第 6 位的單位不是公尺或英尺（0、1、6、7、8）"));
        }
        // A reading, sight or height beyond 100 km (a running length beyond 100,000 km) is no
        // levelling: a damaged word, or a wrong unit digit.
        if (std::abs(value) > (word.index == 574 ? kLongestRunningLength : kLargestValue))
            throw damaged(QStringLiteral("數值超出水準測量可能的範圍"));
        switch (word.index) {
            case 32: distance = value; break;
            case 83: height = value; break;
            case 574: runningLength = value; break;
            case 331: case 335: case 332: case 336:
                if (readingCount == static_cast<int>(readings.size())) throw damaged(QStringLiteral("同一區塊的讀數太多"));
                readings[readingCount++] = {word.index == 331 || word.index == 335 ? SightKind::Back : SightKind::Fore, value};
                break;
            case 330: case 333: intermediate = true; break;
            default: break;  // checked, not used
        }
    }
    if (method && !informations) lines_.begin(*method, number);
    const std::string_view name = point.value_or(std::string_view());
    for (int i = 0; i < readingCount; ++i) lines_.sight(readings[i].kind, name, readings[i].value, distance, number);
    if (height && !intermediate) lines_.runningHeight(*height);
    if (runningLength) lines_.runningLength(*runningLength);
}

bool looksLikeGsi(std::string_view start) {
    std::size_t at = 0;
    while (at < start.size() && (start[at] == '\r' || start[at] == '\n' || start[at] == ' ')) ++at;
    if (at < start.size() && start[at] == '*') ++at;
    if (start.size() < at + 7) return false;
    if (!isDigit(start[at]) || !isDigit(start[at + 1])) return false;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        if (!isDigit(start[i]) && start[i] != '.') return false;
    }
    return start[at + 6] == '+' || start[at + 6] == '-';
}

}  // namespace korvane::convert::level
