#include "app/gkf_writer.h"

#include <QXmlStreamWriter>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace korvane::app {
namespace {

using analysis::KnownPoint;
using analysis::Network;

// The shortest text that reads back as the same double.
QString number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return QString::fromLatin1(text, end - text);
}

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

bool isDatumPoint(const Network& network, const analysis::AnalysisOptions& options, const KnownPoint& known) {
  const std::vector<std::string>& datum = options.datumPoints;
  return datum.empty() || std::find(datum.begin(), datum.end(), network.names[known.point]) != datum.end();
}

// A <coordinates> of the known points `members` (entries of network.known) with their
// covariance matrix in mm^2: `covariance(i, j)` in m^2, the band as wide as `band`.
template <typename Covariance>
void writeObservedHeights(QXmlStreamWriter& xml, const Network& network, const std::vector<int>& members,
                          Covariance covariance, int band) {
  xml.writeStartElement(QStringLiteral("coordinates"));
  for (int k : members) {
    xml.writeEmptyElement(QStringLiteral("point"));
    xml.writeAttribute(QStringLiteral("id"), text(network.names[network.known[k].point]));
    xml.writeAttribute(QStringLiteral("z"), number(network.known[k].height));
  }
  const int n = int(members.size());
  xml.writeStartElement(QStringLiteral("cov-mat"));
  xml.writeAttribute(QStringLiteral("dim"), QString::number(n));
  xml.writeAttribute(QStringLiteral("band"), QString::number(band));
  QString values;
  for (int i = 0; i < n; ++i) {
    QStringList row;
    for (int j = i; j <= std::min(n - 1, i + band); ++j) row.append(number(1e6 * covariance(i, j)));
    values += QLatin1Char('\n') + row.join(QLatin1Char(' '));
  }
  xml.writeCharacters(values + QLatin1Char('\n'));
  xml.writeEndElement();
  xml.writeEndElement();
}

void writePoints(QXmlStreamWriter& xml, const Network& network, const analysis::AnalysisOptions& options) {
  for (int point = 0; point < network.pointCount(); ++point) {
    xml.writeEmptyElement(QStringLiteral("point"));
    xml.writeAttribute(QStringLiteral("id"), text(network.names[point]));
    const int k = network.knownIndex[point];
    if (k < 0) {
      xml.writeAttribute(QStringLiteral("adj"), QStringLiteral("z"));
      continue;
    }
    const KnownPoint& known = network.known[k];
    if (options.freeNetwork) {
      xml.writeAttribute(QStringLiteral("z"), number(known.height));
      xml.writeAttribute(QStringLiteral("adj"), isDatumPoint(network, options, known) ? QStringLiteral("Z")
                                                                                        : QStringLiteral("z"));
    } else if (known.fixed()) {
      xml.writeAttribute(QStringLiteral("z"), number(known.height));
      xml.writeAttribute(QStringLiteral("fix"), QStringLiteral("z"));
    } else {
      xml.writeAttribute(QStringLiteral("adj"), QStringLiteral("z"));  // its height is in <coordinates>
    }
  }
}

void writeKnownHeightObservations(QXmlStreamWriter& xml, const Network& network) {
  std::vector<int> single;
  for (int k = 0; k < int(network.known.size()); ++k)
    if (!network.known[k].fixed() && network.known[k].group < 0) single.push_back(k);
  if (!single.empty()) {
    writeObservedHeights(
        xml, network, single,
        [&](int i, int j) { return i == j ? network.known[single[i]].sigma * network.known[single[i]].sigma : 0.0; }, 0);
  }
  for (const analysis::KnownGroup& group : network.knownGroups) {
    const int n = int(group.members.size());
    writeObservedHeights(
        xml, network, group.members, [&](int i, int j) { return group.covariance[std::size_t(i) * n + j]; }, n - 1);
  }
}

void writeHeightDifferences(QXmlStreamWriter& xml, const Network& network) {
  const bool grade = network.weighting == analysis::Weighting::Grade;
  xml.writeStartElement(QStringLiteral("height-differences"));
  for (const analysis::Observation& o : network.observations) {
    xml.writeEmptyElement(QStringLiteral("dh"));
    xml.writeAttribute(QStringLiteral("from"), text(network.names[o.from]));
    xml.writeAttribute(QStringLiteral("to"), text(network.names[o.to]));
    xml.writeAttribute(QStringLiteral("val"), number(o.dh));
    xml.writeAttribute(QStringLiteral("dist"), number(o.distance));
    if (grade) xml.writeAttribute(QStringLiteral("stdev"), number(1000.0 * std::abs(o.grade) * std::sqrt(o.distance)));
  }
  xml.writeEndElement();
}

}  // namespace

void writeGkf(const Network& network, const analysis::AnalysisOptions& options, std::ostream& out) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(1);
  xml.writeStartDocument();
  xml.writeStartElement(QStringLiteral("gama-local"));
  xml.writeDefaultNamespace(QStringLiteral("http://www.gnu.org/software/gama/gama-local"));
  xml.writeStartElement(QStringLiteral("network"));
  xml.writeTextElement(QStringLiteral("description"), text(network.title));
  xml.writeEmptyElement(QStringLiteral("parameters"));
  if (network.weighting == analysis::Weighting::Grade)
    xml.writeAttribute(QStringLiteral("sigma-apr"), QStringLiteral("1"));
  else if (options.sigma0)
    xml.writeAttribute(QStringLiteral("sigma-apr"), number(*options.sigma0));
  xml.writeAttribute(QStringLiteral("conf-pr"), number(1.0 - options.alpha));
  xml.writeStartElement(QStringLiteral("points-observations"));
  writePoints(xml, network, options);
  if (!options.freeNetwork) writeKnownHeightObservations(xml, network);
  writeHeightDifferences(xml, network);
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeEndDocument();
  if (xml.hasError()) throw std::runtime_error("the network cannot be written as XML (a name holds a control character)");
  out.write(bytes.constData(), bytes.size());
}

}  // namespace korvane::app
