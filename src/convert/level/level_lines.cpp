#include "convert/level/level_lines.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/failure.h"

namespace korvane::convert::level {
namespace {

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// The largest difference between two readings of one sight.
double spread(const std::vector<double>& readings) {
    if (readings.size() < 2) return 0;
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    return *high - *low;
}


}  // namespace

std::optional<LevellingMethod> methodNamed(std::string_view name) {
    for (std::string_view single : {"BF", "aBF"}) {
        if (name == single) return LevellingMethod{QString::fromLatin1(single.data(), static_cast<qsizetype>(single.size())), 1};
    }
    for (std::string_view twice : {"BFFB", "BFBF", "BBFF", "FBBF", "aBFFB", "aBBFF"}) {
        if (name == twice) return LevellingMethod{QString::fromLatin1(twice.data(), static_cast<qsizetype>(twice.size())), 2};
    }
    return std::nullopt;
}

bool LevelLine::agrees() const {
    if (instrumentDh && !(std::abs(*instrumentDh - dh) <= kHeightTolerance)) return false;
    if (instrumentLength && !(std::abs(*instrumentLength - length) <= kLengthTolerance)) return false;
    return true;
}

void LineBuilder::begin(const LevellingMethod& method, long fileLine) {
    if (open_) finish(fileLine);
    open_ = true;
    line_ = LevelLine{};
    line_.method = method;
    line_.fileLine = fileLine;
    firstHeight_.reset();
    lastHeight_.reset();
    instrumentDh_.reset();
}

void LineBuilder::runningHeight(double height) {
    if (!open_) return;
    if (!firstHeight_) firstHeight_ = height;
    lastHeight_ = height;
}

void LineBuilder::sight(SightKind kind, std::string_view point, double reading, std::optional<double> distance,
                        long fileLine) {
    if (!open_) {
        throw Failure(QStringLiteral("%1，第 %2 行：水準線開始之前的讀數").arg(where_).arg(fileLine));
    }
    if (kind == SightKind::Intermediate) return;
    const auto perSight = static_cast<std::size_t>(line_.method.readingsPerSight);
    if (back_.size() == perSight && fore_.size() == perSight) closeSetup();
    std::vector<double>& readings = kind == SightKind::Back ? back_ : fore_;
    if (readings.size() == perSight) {
        throw Failure(QStringLiteral("%1，第 %2 行：%3 測站的%4視讀數多於方法 %5 所需")
                          .arg(where_)
                          .arg(fileLine)
                          .arg(QString::fromLatin1(point.data(), static_cast<qsizetype>(point.size())))
                          .arg(kind == SightKind::Back ? QStringLiteral("後") : QStringLiteral("前"))
                          .arg(line_.method.name));
    }
    if (back_.empty() && fore_.empty()) setupLine_ = fileLine;
    readings.push_back(reading);
    if (distance) (kind == SightKind::Back ? backDistance_ : foreDistance_).push_back(*distance);
    (kind == SightKind::Back ? backPoint_ : forePoint_).assign(point);
}

void LineBuilder::closeSetup() {
    const double backDistance = backDistance_.empty() ? 0 : mean(backDistance_);
    const double foreDistance = foreDistance_.empty() ? 0 : mean(foreDistance_);
    if (line_.setups == 0) line_.start = QString::fromLatin1(backPoint_.data(), static_cast<qsizetype>(backPoint_.size()));
    line_.end = QString::fromLatin1(forePoint_.data(), static_cast<qsizetype>(forePoint_.size()));
    ++line_.setups;
    line_.dh += mean(back_) - mean(fore_);
    line_.length += backDistance + foreDistance;
    line_.balance += backDistance - foreDistance;
    line_.largestSpread = std::max({line_.largestSpread, spread(back_), spread(fore_)});
    back_.clear();
    fore_.clear();
    backDistance_.clear();
    foreDistance_.clear();
}

void LineBuilder::finish(long fileLine) {
    if (!open_) return;
    open_ = false;
    const auto perSight = static_cast<std::size_t>(line_.method.readingsPerSight);
    if (!back_.empty() || !fore_.empty()) {
        if (back_.size() != perSight || fore_.size() != perSight) {
            back_.clear();
            fore_.clear();
            backDistance_.clear();
            foreDistance_.clear();
            throw Failure(QStringLiteral("%1，第 %2 行：這個測站的讀數不全（方法 %3 每一視 %4 個讀數），水準線在第 %5 行就結束了")
                              .arg(where_)
                              .arg(setupLine_)
                              .arg(line_.method.name)
                              .arg(line_.method.readingsPerSight)
                              .arg(fileLine));
        }
        closeSetup();
    }
    if (line_.setups == 0) return;  // a line without readings is no levelling line
    if (instrumentDh_) {
        line_.instrumentDh = instrumentDh_;
    } else if (firstHeight_ && lastHeight_) {
        line_.instrumentDh = *lastHeight_ - *firstHeight_;
    }
    ++handed_;
    handle_(std::move(line_));
}

}  // namespace korvane::convert::level
