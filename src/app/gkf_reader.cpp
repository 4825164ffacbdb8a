#include "app/gkf_reader.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "input_error.h"

namespace korvane::app {
namespace {

using analysis::InputError;

constexpr double kDefaultSigmaApr = 10.0;  // mm per square root of a km, as Gama has it

struct PointEntry {
  std::string name;
  std::optional<double> z;
  bool fixed = false;        // fix holds z
  bool constrained = false;  // adj holds Z
  long line = 0;             // where it was first given
  int observedIn = -1;       // its <coordinates>, or -1
  double observedZ = 0.0;
};

struct DhEntry {
  std::string from;
  std::string to;
  double val = 0.0;
  std::optional<double> stdev;  // mm
  std::optional<double> dist;   // km
  long line = 0;
};

struct ObservedHeights {
  std::vector<int> points;
  std::vector<double> covarianceMm2;  // full, row by row
  long line = 0;
};

class GkfReader {
 public:
  GkfReader(const QByteArray& bytes, std::string name) : xml_(bytes), name_(std::move(name)) {}

  GkfNetwork read() {
    if (!xml_.readNextStartElement()) {
      checkXml();
      fail(line(), "the document holds no element");
    }
    if (xml_.name() != QStringLiteral("gama-local"))
      fail(line(), "the document is " + element() + ", not a GNU Gama local network <gama-local>");
    bool network = false;
    while (next()) {
      if (xml_.name() != QStringLiteral("network")) refuse();
      if (network) fail(line(), "a second <network>: one network per document");
      network = true;
      readNetwork();
    }
    while (!xml_.atEnd()) xml_.readNext();
    checkXml();
    if (!network) fail(line(), "<gama-local> holds no <network>");
    return finish();
  }

 private:
  [[noreturn]] void fail(long at, const std::string& what) const {
    throw InputError(name_ + ", line " + std::to_string(at) + ": " + what);
  }
  long line() const { return long(xml_.lineNumber()); }
  std::string element() const { return "<" + xml_.name().toString().toStdString() + ">"; }
  void checkXml() const {
    if (xml_.hasError()) fail(line(), "not well-formed XML: " + xml_.errorString().toStdString());
  }
  // The next element inside the current one; false at its end.
  bool next() {
    const bool found = xml_.readNextStartElement();
    checkXml();
    return found;
  }
  void skip() {
    xml_.skipCurrentElement();
    checkXml();
  }
  [[noreturn]] void refuse() const {
    fail(line(), element() + " is not part of a height network: korvane analyse reads points with heights, height "
                             "differences <dh> and observed heights <coordinates> with z only");
  }

  std::optional<QString> attribute(const char* name) const {
    const QXmlStreamAttributes attributes = xml_.attributes();
    const QString key = QString::fromLatin1(name);
    if (!attributes.hasAttribute(key)) return std::nullopt;
    return attributes.value(key).toString();
  }
  std::optional<double> number(const char* name) const {
    const std::optional<QString> text = attribute(name);
    if (!text) return std::nullopt;
    bool ok = false;
    const double value = text->trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
      fail(line(), element() + " attribute " + name + "=\"" + text->toStdString() + "\" is not a number");
    return value;
  }
  std::optional<double> positive(const char* name) const {
    const std::optional<double> value = number(name);
    if (value && !(*value > 0.0))
      fail(line(), element() + " attribute " + name + " must be above 0 (it is " + attribute(name)->toStdString() + ")");
    return value;
  }
  std::string name(const char* attributeName, bool required) const {
    const std::optional<QString> text = attribute(attributeName);
    if (!text) {
      if (required) fail(line(), element() + " has no " + attributeName);
      return {};
    }
    const std::string value = text->trimmed().toStdString();
    if (value.empty()) fail(line(), element() + " attribute " + attributeName + " is empty");
    return value;
  }

  void readNetwork() {
    while (next()) {
      if (xml_.name() == QStringLiteral("description")) {
        const QString text = xml_.readElementText(QXmlStreamReader::IncludeChildElements);
        checkXml();
        for (const QString& textLine : text.split(QLatin1Char('\n'))) {
          if (!textLine.trimmed().isEmpty()) {
            title_ = textLine.simplified().toStdString();
            break;
          }
        }
      } else if (xml_.name() == QStringLiteral("parameters")) {
        if (const auto value = positive("sigma-apr")) sigmaApr_ = *value;
        if (const auto value = number("conf-pr")) {
          if (!(*value > 0.0 && *value < 1.0))
            fail(line(), "<parameters> attribute conf-pr must lie between 0 and 1 (it is " +
                             attribute("conf-pr")->toStdString() + ")");
          alpha_ = 1.0 - *value;
        }
        skip();
      } else if (xml_.name() == QStringLiteral("points-observations")) {
        readPointsObservations();
      } else {
        refuse();
      }
    }
  }

  void readPointsObservations() {
    while (next()) {
      if (xml_.name() == QStringLiteral("point")) {
        readPoint();
      } else if (xml_.name() == QStringLiteral("height-differences")) {
        readHeightDifferences({});
      } else if (xml_.name() == QStringLiteral("obs")) {
        readHeightDifferences(attribute("from") ? name("from", false) : std::string());
      } else if (xml_.name() == QStringLiteral("coordinates")) {
        readCoordinates();
      } else {
        refuse();
      }
    }
  }

  // The letters of fix or adj: some of x, y, z, X, Y, Z.
  std::string coordinateLetters(const char* attributeName) const {
    const std::string letters = attribute(attributeName).value_or(QString()).trimmed().toStdString();
    for (char c : letters)
      if (std::string_view("xyzXYZ").find(c) == std::string_view::npos)
        fail(line(), "<point> attribute " + std::string(attributeName) + "=\"" + letters +
                         "\" is not made of the coordinates x, y, z (X, Y, Z for constrained ones)");
    return letters;
  }

  int pointEntry(const std::string& id) {
    const auto [at, added] = pointOfName_.try_emplace(id, int(points_.size()));
    if (added) points_.push_back({id, std::nullopt, false, false, line(), -1, 0.0});
    return at->second;
  }

  // A <point> of <points-observations> (x and y, which a height network has no use for, are
  // passed over), or of <coordinates> when `observedIn` is its index.
  int readPoint(int observedIn = -1) {
    const std::string id = name("id", true);
    const std::optional<double> z = number("z");
    const std::string fix = coordinateLetters("fix");
    const std::string adj = coordinateLetters("adj");
    const int index = pointEntry(id);
    PointEntry& point = points_[index];
    if (observedIn >= 0) {
      if (attribute("x") || attribute("y"))
        fail(line(), "<point id=\"" + id + "\"> in <coordinates> has x or y: observed horizontal coordinates are not "
                     "part of a height network");
      if (!z) fail(line(), "<point id=\"" + id + "\"> in <coordinates> has no z");
      if (point.observedIn >= 0)
        fail(line(), "the height of " + id + " is observed in two <coordinates> (also at line " +
                         std::to_string(observed_[point.observedIn].line) + ")");
      point.observedIn = observedIn;
      point.observedZ = *z;
    } else if (z) {
      if (point.z && *point.z != *z)
        fail(line(), "the point " + id + " is given two heights (also at line " + std::to_string(point.line) + ")");
      point.z = z;
    }
    point.fixed = point.fixed || fix.find_first_of("zZ") != std::string::npos;
    point.constrained = point.constrained || adj.find('Z') != std::string::npos;
    skip();
    return index;
  }

  void readHeightDifferences(const std::string& defaultFrom) {
    while (next()) {
      if (xml_.name() == QStringLiteral("dh")) {
        DhEntry dh;
        dh.line = line();
        dh.from = attribute("from") ? name("from", true) : defaultFrom;
        if (dh.from.empty()) fail(line(), "<dh> has no from");
        dh.to = name("to", true);
        const std::optional<double> val = number("val");
        if (!val) fail(line(), "<dh> has no val");
        dh.val = *val;
        dh.stdev = positive("stdev");
        dh.dist = positive("dist");
        if (!dh.stdev && !dh.dist) fail(line(), "<dh> has neither stdev nor dist: its weight cannot be found");
        dhs_.push_back(std::move(dh));
        skip();
      } else if (xml_.name() == QStringLiteral("cov-mat")) {
        fail(line(), "<cov-mat> of height differences: correlated height differences are not supported (give each "
                     "<dh> its stdev or dist)");
      } else {
        refuse();
      }
    }
  }

  void readCoordinates() {
    ObservedHeights observed;
    observed.line = line();
    const int index = int(observed_.size());
    observed_.push_back(observed);
    bool covariance = false;
    while (next()) {
      if (xml_.name() == QStringLiteral("point")) {
        if (covariance) fail(line(), "<point> after the <cov-mat> of its <coordinates>");
        const int point = readPoint(index);
        observed_[index].points.push_back(point);
      } else if (xml_.name() == QStringLiteral("cov-mat")) {
        if (covariance) fail(line(), "a second <cov-mat> in one <coordinates>");
        covariance = true;
        observed_[index].covarianceMm2 = readCovarianceMatrix(int(observed_[index].points.size()));
      } else {
        refuse();
      }
    }
    if (!observed_[index].points.empty() && !covariance)
      fail(observed_[index].line, "<coordinates> without a <cov-mat>: the observed heights need their covariances");
  }

  // The upper band, row by row, in mm^2; the full symmetric matrix of `dim` rows.
  std::vector<double> readCovarianceMatrix(int points) {
    const long at = line();
    const std::optional<double> dim = number("dim");
    const std::optional<double> band = number("band");
    if (!dim || *dim != std::floor(*dim) || *dim != points)
      fail(at, "<cov-mat> dim must be the number of observed heights, " + std::to_string(points));
    const int n = points;
    const int width = band ? int(*band) : n - 1;
    if (band && (*band != std::floor(*band) || *band < 0 || *band > n - 1))
      fail(at, "<cov-mat> band must be a whole number from 0 to dim - 1 = " + std::to_string(n - 1));
    const QStringList words = xml_.readElementText().simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    checkXml();
    std::size_t expected = 0;
    for (int i = 0; i < n; ++i) expected += std::min(width, n - 1 - i) + 1;
    if (std::size_t(words.size()) != expected)
      fail(at, "<cov-mat> of dim " + std::to_string(n) + " and band " + std::to_string(width) + " holds " +
                   std::to_string(expected) + " numbers, not " + std::to_string(words.size()));
    std::vector<double> matrix(std::size_t(n) * n, 0.0);
    qsizetype word = 0;
    for (int i = 0; i < n; ++i) {
      for (int j = i; j <= std::min(n - 1, i + width); ++j) {
        bool ok = false;
        const double value = words[word].toDouble(&ok);
        if (!ok || !std::isfinite(value))
          fail(at, "<cov-mat> value " + std::to_string(word + 1) + " \"" + words[word].toStdString() +
                       "\" is not a number");
        if (i == j && !(value > 0.0))
          fail(at, "<cov-mat> variance " + std::to_string(i + 1) + " must be above 0");
        ++word;
        matrix[std::size_t(i) * n + j] = value;
        matrix[std::size_t(j) * n + i] = value;
      }
    }
    return matrix;
  }

  GkfNetwork finish() {
    GkfNetwork result;
    analysis::NetworkRows& rows = result.rows;
    rows.title = title_.empty() ? name_ : title_;
    rows.sourceName = name_;
    rows.fields = {"from", "to", "val", "dist", "stdev", "id", "z", "cov-mat"};
    rows.observationPlace = name_ + ", line ";
    rows.knownPointPlace = name_ + ", line ";
    result.alpha = alpha_;

    bool anyFixed = false;
    bool anyConstrained = false;
    for (const PointEntry& point : points_) {
      if (point.fixed && !point.z && point.observedIn < 0)
        fail(point.line, "the fixed point " + point.name + " has no z");
      if (point.fixed && point.observedIn >= 0)
        fail(observed_[point.observedIn].line,
             "the height of " + point.name + " is fixed and also observed in <coordinates>");
      anyFixed = anyFixed || point.fixed;
      anyConstrained = anyConstrained || (point.constrained && point.z);
    }
    result.freeNetwork = !anyFixed && observed_.empty();
    for (const PointEntry& point : points_) {
      if (point.observedIn >= 0) {
        const ObservedHeights& group = observed_[point.observedIn];
        const auto at = std::find(group.points.begin(), group.points.end(), pointOfName_.at(point.name));
        const std::size_t i = std::size_t(at - group.points.begin());
        const double variance = group.covarianceMm2[i * group.points.size() + i];
        rows.knownPoints.push_back({point.name, point.observedZ, std::sqrt(variance) / 1000.0, group.line});
      } else if (point.fixed) {
        rows.knownPoints.push_back({point.name, *point.z, 0.0, point.line});
      } else if (result.freeNetwork && point.z && (point.constrained || !anyConstrained)) {
        rows.knownPoints.push_back({point.name, *point.z, 0.0, point.line});
        result.datumPoints.push_back(point.name);
      }
    }
    for (const ObservedHeights& group : observed_) {
      const std::size_t n = group.points.size();
      bool correlated = false;
      for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) correlated = correlated || (i != j && group.covarianceMm2[i * n + j] != 0.0);
      if (!correlated) continue;  // separate weighted known points
      analysis::KnownGroupRow row;
      row.row = group.line;
      for (int point : group.points) row.names.push_back(points_[point].name);
      for (double value : group.covarianceMm2) row.covariance.push_back(value / 1e6);
      rows.knownGroups.push_back(std::move(row));
    }

    bool withoutDistance = false;
    for (const DhEntry& dh : dhs_) {
      const double sigmaMm = dh.stdev ? *dh.stdev : sigmaApr_ * std::sqrt(*dh.dist);
      const double distance = dh.dist ? *dh.dist : (sigmaMm / sigmaApr_) * (sigmaMm / sigmaApr_);
      withoutDistance = withoutDistance || !dh.dist;
      rows.observations.push_back({dh.from, dh.to, dh.val, distance, sigmaMm / (1000.0 * std::sqrt(distance)), dh.line});
    }
    if (withoutDistance)
      rows.notes.push_back("Height differences without a distance (dist) are taken to be (stdev / sigma-apr)^2 km long, "
                           "the length whose sigma-apr * sqrt(km) gives their standard deviation (sigma-apr " +
                           QString::number(sigmaApr_).toStdString() +
                           " mm per square root of a km); the misclosure tolerances use that length.");
    return result;
  }

  QXmlStreamReader xml_;
  std::string name_;
  std::string title_;
  double sigmaApr_ = kDefaultSigmaApr;
  std::optional<double> alpha_;
  std::vector<PointEntry> points_;
  std::unordered_map<std::string, int> pointOfName_;
  std::vector<DhEntry> dhs_;
  std::vector<ObservedHeights> observed_;
};

}  // namespace

bool isGkfPath(const QString& path) {
  return path.endsWith(QStringLiteral(".gkf"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

GkfNetwork readGkf(const QByteArray& bytes, const std::string& name) { return GkfReader(bytes, name).read(); }

GkfNetwork readGkfFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw InputError("cannot read " + path.toStdString() + ": " + file.errorString().toStdString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw InputError("cannot read " + path.toStdString() + ": " + file.errorString().toStdString());
  return readGkf(bytes, path.toStdString());
}

}  // namespace korvane::app
