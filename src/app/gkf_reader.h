#pragma once
// GNU Gama's local-network XML (the gama-local document, usually *.gkf) as an input of
// `korvane analyse`, for height networks: points with their heights (fix="z" a fixed height,
// adj="Z" a datum point of a free network), height differences <dh> and heights observed with a
// covariance matrix (<coordinates> with z and a <cov-mat>). Everything else of the format
// (directions, distances, angles, vectors, x/y observed in <coordinates>) is refused, naming the
// element and its line.
//
// Units as Gama has them: val in m, dist in km, stdev in mm, covariances in mm^2. Every <dh> is
// weighted by 1/stdev^2 through the grade of our rows: a dh with stdev has grade
// stdev / (1000 sqrt(dist)); one without stdev has stdev = sigma-apr sqrt(dist) (sigma-apr
// default 10 mm per square root of a km). A dh with stdev and no dist is taken to be
// (stdev / sigma-apr)^2 km long, the length sigma-apr would give that standard deviation; the
// rows' notes say so.

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "network.h"

namespace korvane::app {

struct GkfNetwork {
  analysis::NetworkRows rows;
  // No fixed height and no observed heights: a free network, whose datum points are the points
  // with adj="Z" and a z, or every point with a z when none has Z.
  bool freeNetwork = false;
  std::vector<std::string> datumPoints;
  std::optional<double> alpha;  // level of the global test, 1 - conf-pr, when conf-pr is given
};

// True for a file name ending in .gkf or .xml (any case).
bool isGkfPath(const QString& path);

// Reads the document; `name` names it in messages. Throws analysis::InputError naming the file,
// the line and what is wrong.
GkfNetwork readGkf(const QByteArray& bytes, const std::string& name);
GkfNetwork readGkfFile(const QString& path);

}  // namespace korvane::app
