// GNU Gama's local-network XML: what the reader makes of height networks (fixed, free with datum
// points, observed heights with a covariance matrix), what it refuses with file and line, and
// that a written network reads back as the same network.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "app/gkf_reader.h"
#include "app/gkf_writer.h"
#include "input_error.h"

namespace {

using korvane::analysis::InputError;
using korvane::app::GkfNetwork;
using korvane::app::readGkf;

QByteArray document(const std::string& parameters, const std::string& body) {
  return QByteArray::fromStdString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<gama-local xmlns=\"http://www.gnu.org/software/gama/gama-local\">\n"
                                   "<network axes-xy=\"ne\">\n"
                                   "<description>\n  Levelling  of the dam\n second line</description>\n" +
                                   parameters + "<points-observations>\n" + body +
                                   "</points-observations>\n</network>\n</gama-local>\n");
}

std::string refusal(const QByteArray& bytes) {
  try {
    readGkf(bytes, "net.gkf");
  } catch (const InputError& error) {
    return error.what();
  }
  return "(read without complaint)";
}

TEST(GkfReading, FixedHeightsAndHeightDifferencesWeightedByTheirStandardDeviation) {
  const GkfNetwork gkf = readGkf(document("<parameters sigma-apr=\"2\" conf-pr=\"0.9\"/>\n",
                                          "<point id=\"A\" z=\"100.5\" fix=\"z\"/>\n"
                                          "<point id=\"B\" z=\"101\" fix=\"XYZ\" x=\"1\" y=\"2\"/>\n"
                                          "<point id=\"C\" z=\"99\" adj=\"z\"/>\n"
                                          "<height-differences>\n"
                                          "<dh from=\"A\" to=\"C\" val=\"-1.5\" dist=\"4\" stdev=\"3\"/>\n"
                                          "<dh from=\"C\" to=\"B\" val=\"2.001\" dist=\"0.25\"/>\n"
                                          "</height-differences>\n"
                                          "<obs><dh from=\"B\" to=\"A\" val=\"-0.5\" stdev=\"4\"/></obs>\n"),
                                 "net.gkf");
  const auto& rows = gkf.rows;
  EXPECT_EQ(rows.title, "Levelling of the dam");
  EXPECT_FALSE(gkf.freeNetwork);
  ASSERT_TRUE(gkf.alpha);
  EXPECT_NEAR(*gkf.alpha, 0.1, 1e-15);
  ASSERT_EQ(rows.knownPoints.size(), 2u);  // C's z is an approximate height
  EXPECT_EQ(rows.knownPoints[0].name, "A");
  EXPECT_EQ(rows.knownPoints[0].height, 100.5);
  EXPECT_EQ(rows.knownPoints[0].sigma, 0.0);
  EXPECT_EQ(rows.knownPoints[1].name, "B");
  EXPECT_EQ(rows.knownPoints[1].row, 10);
  ASSERT_EQ(rows.observations.size(), 3u);
  // 1/sigma^2 of each dh, sigma in mm: weight 1/((1000 grade)^2 dist).
  const double sigmas[] = {3.0, 2.0 * 0.5, 4.0};
  const double distances[] = {4.0, 0.25, 4.0};  // the last one (4 / 2)^2 km long
  for (int i = 0; i < 3; ++i) {
    const auto& o = rows.observations[i];
    EXPECT_DOUBLE_EQ(o.distance, distances[i]) << i;
    EXPECT_DOUBLE_EQ(1000.0 * o.grade * std::sqrt(o.distance), sigmas[i]) << i;
  }
  EXPECT_EQ(rows.observations[2].from, "B");
  EXPECT_EQ(rows.observations[2].row, 16);
  ASSERT_EQ(rows.notes.size(), 1u);
  EXPECT_NE(rows.notes[0].find("(stdev / sigma-apr)^2 km"), std::string::npos);
}

struct FreeCase {
  const char* points;
  std::vector<std::string> datum;
};

TEST(GkfReading, AFreeNetworkTakesItsDatumFromConstrainedPointsOrEveryGivenHeight) {
  const FreeCase cases[] = {
      {"<point id=\"A\" z=\"10\" adj=\"Z\"/><point id=\"B\" z=\"11\" adj=\"z\"/><point id=\"C\" z=\"12\" adj=\"XYZ\"/>",
       {"A", "C"}},
      {"<point id=\"A\" z=\"10\" adj=\"z\"/><point id=\"B\" adj=\"z\"/><point id=\"C\" z=\"12\" adj=\"z\"/>", {"A", "C"}},
  };
  for (const FreeCase& c : cases) {
    const GkfNetwork gkf = readGkf(document("", std::string(c.points) +
                                                    "<height-differences><dh from=\"A\" to=\"B\" val=\"1\" dist=\"1\"/>"
                                                    "<dh from=\"B\" to=\"C\" val=\"1\" dist=\"1\"/></height-differences>"),
                                   "free.gkf");
    EXPECT_TRUE(gkf.freeNetwork) << c.points;
    EXPECT_EQ(gkf.datumPoints, c.datum) << c.points;
    ASSERT_EQ(gkf.rows.knownPoints.size(), c.datum.size()) << c.points;
    for (std::size_t i = 0; i < c.datum.size(); ++i) EXPECT_EQ(gkf.rows.knownPoints[i].name, c.datum[i]);
  }
}

TEST(GkfReading, ObservedHeightsWithCorrelationsFormAGroupAndUncorrelatedOnesStayAlone) {
  const GkfNetwork gkf = readGkf(
      document("", "<point id=\"A\" adj=\"z\"/><point id=\"B\" adj=\"z\"/>\n"
                   "<coordinates>\n<point id=\"A\" z=\"10\"/>\n<point id=\"B\" z=\"11\"/>\n<point id=\"C\" z=\"12\"/>\n"
                   "<cov-mat dim=\"3\" band=\"1\">4 1\n 9 -2\n 16</cov-mat>\n</coordinates>\n"
                   "<coordinates><point id=\"D\" z=\"13\"/><point id=\"E\" z=\"14\"/>"
                   "<cov-mat dim=\"2\" band=\"0\">25 36</cov-mat></coordinates>\n"
                   "<height-differences><dh from=\"A\" to=\"B\" val=\"1\" dist=\"1\"/>"
                   "<dh from=\"C\" to=\"D\" val=\"1\" dist=\"1\"/><dh from=\"D\" to=\"E\" val=\"1\" dist=\"1\"/>"
                   "</height-differences>"),
      "cov.gkf");
  EXPECT_FALSE(gkf.freeNetwork);
  const auto& rows = gkf.rows;
  ASSERT_EQ(rows.knownPoints.size(), 5u);
  const double sigmasMm[] = {2, 3, 4, 5, 6};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rows.knownPoints[i].height, 10.0 + i);
    EXPECT_DOUBLE_EQ(rows.knownPoints[i].sigma, sigmasMm[i] / 1000.0);
  }
  ASSERT_EQ(rows.knownGroups.size(), 1u);
  EXPECT_EQ(rows.knownGroups[0].names, (std::vector<std::string>{"A", "B", "C"}));
  const std::vector<double> expected{4, 1, 0, 1, 9, -2, 0, -2, 16};
  ASSERT_EQ(rows.knownGroups[0].covariance.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_DOUBLE_EQ(rows.knownGroups[0].covariance[i], expected[i] * 1e-6) << i;
}

struct RefusalCase {
  std::string body;
  std::string says;  // the line and what the message names
};

TEST(GkfReading, RefusesWhatIsNotAHeightNetworkNamingTheElementAndLine) {
  const RefusalCase cases[] = {
      {"<obs from=\"A\">\n<direction to=\"B\" val=\"0\"/>\n</obs>\n", "line 9: <direction> is not part of a height"},
      {"<obs from=\"A\">\n<distance to=\"B\" val=\"10\"/>\n</obs>\n", "line 9: <distance>"},
      {"\n<vectors/>\n", "line 9: <vectors>"},
      {"<xyz/>\n", "line 8: <xyz>"},
      {"<coordinates>\n<point id=\"A\" x=\"1\" y=\"2\"/>\n</coordinates>\n", "line 9: <point id=\"A\"> in <coordinates> has x or y"},
      {"<height-differences>\n<dh from=\"A\" to=\"B\" val=\"1\" dist=\"1\"/>\n<cov-mat dim=\"1\" band=\"0\">1</cov-mat>"
       "</height-differences>",
       "line 10: <cov-mat> of height differences"},
      {"<height-differences>\n<dh from=\"A\" to=\"B\" val=\"1\"/></height-differences>", "line 9: <dh> has neither stdev"},
      {"<height-differences>\n<dh from=\"A\" to=\"B\" val=\"1\" dist=\"-2\"/></height-differences>",
       "line 9: <dh> attribute dist must be above 0"},
      {"<point id=\"A\" fix=\"z\"/>\n", "line 8: the fixed point A has no z"},
      {"<point id=\"A\" fix=\"h\"/>\n", "line 8: <point> attribute fix=\"h\""},
      {"<coordinates>\n<point id=\"A\" z=\"1\"/><point id=\"B\" z=\"2\"/>\n<cov-mat dim=\"2\" band=\"1\">1 0.5</cov-mat>"
       "</coordinates>",
       "line 10: <cov-mat> of dim 2 and band 1 holds 3 numbers, not 2"},
  };
  for (const RefusalCase& c : cases) {
    const std::string message = refusal(document("", c.body));
    EXPECT_NE(message.find("net.gkf, " + c.says), std::string::npos) << message;
  }
}

TEST(GkfReading, RefusesMalformedXmlWithFileLineAndProblem) {
  const RefusalCase cases[] = {
      {"<?xml version=\"1.0\"?>\n<gama-local>\n<network>\n<points-observations>\n</network>", "line 5: not well-formed"},
      {"<?xml version=\"1.0\"?>\n<gama-local>\n<network>\n<description>dam", "line 4: not well-formed"},
      {"<?xml version=\"1.0\"?>\n<gama-local>\n<network>\n<parameters sigma-apr=\"ten\"/>",
       "line 4: <parameters> attribute sigma-apr=\"ten\" is not a number"},
      {"<?xml version=\"1.0\"?>\n\n<survey/>", "line 3: the document is <survey>, not"},
      {"", "line 1: not well-formed"},
  };
  for (const RefusalCase& c : cases) {
    const std::string message = refusal(QByteArray::fromStdString(c.body));
    EXPECT_NE(message.find("net.gkf, " + c.says), std::string::npos) << message;
  }
}

korvane::analysis::Network readBack(const korvane::analysis::Network& network,
                                    const korvane::analysis::AnalysisOptions& options, GkfNetwork* gkf = nullptr) {
  std::ostringstream out;
  korvane::app::writeGkf(network, options, out);
  GkfNetwork read = readGkf(QByteArray::fromStdString(out.str()), "back.gkf");
  if (gkf) *gkf = read;
  return korvane::analysis::buildNetwork(read.rows);
}

korvane::analysis::NetworkRows writtenRows(double grade) {
  korvane::analysis::NetworkRows rows;
  rows.title = "Dam & <crest> \"2024\"";
  rows.observations = {{"BM 1", "甲點", 1.2345678901, 0.75, grade, 1},
                       {"甲點", "P&2", -0.5, 1.5, grade, 2},
                       {"P&2", "BM 1", -0.7345, 2.25, grade, 3},
                       {"P&2", "N4", 0.1, 0.5, grade, 4},
                       {"N4", "N5", 0.2, 0.5, grade, 5}};
  rows.knownPoints = {{"BM 1", 25.4321, 0.0, 1}, {"N4", 26.0, 0.002, 2}, {"N5", 26.2, 0.003, 3}, {"甲點", 26.6, 0.004, 4}};
  return rows;
}

void expectSameNetwork(const korvane::analysis::Network& a, const korvane::analysis::Network& b) {
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.names, b.names);
  ASSERT_EQ(a.known.size(), b.known.size());
  for (std::size_t k = 0; k < a.known.size(); ++k) {
    EXPECT_EQ(a.known[k].point, b.known[k].point);
    EXPECT_EQ(a.known[k].height, b.known[k].height);
    EXPECT_NEAR(a.known[k].sigma, b.known[k].sigma, 1e-15);
    EXPECT_EQ(a.known[k].group, b.known[k].group);
  }
  ASSERT_EQ(a.observations.size(), b.observations.size());
  for (std::size_t i = 0; i < a.observations.size(); ++i) {
    EXPECT_EQ(a.observations[i].from, b.observations[i].from);
    EXPECT_EQ(a.observations[i].to, b.observations[i].to);
    EXPECT_EQ(a.observations[i].dh, b.observations[i].dh);
    EXPECT_EQ(a.observations[i].distance, b.observations[i].distance);
    EXPECT_NEAR(a.observations[i].weight / b.observations[i].weight, 1.0, 1e-14);
  }
  ASSERT_EQ(a.knownGroups.size(), b.knownGroups.size());
  for (std::size_t g = 0; g < a.knownGroups.size(); ++g) {
    EXPECT_EQ(a.knownGroups[g].members, b.knownGroups[g].members);
    ASSERT_EQ(a.knownGroups[g].covariance.size(), b.knownGroups[g].covariance.size());
    for (std::size_t i = 0; i < a.knownGroups[g].covariance.size(); ++i)
      EXPECT_NEAR(a.knownGroups[g].covariance[i], b.knownGroups[g].covariance[i], 1e-20);
  }
}

TEST(GkfWriting, ANetworkReadsBackTheSame) {
  korvane::analysis::NetworkRows rows = writtenRows(0.003);
  rows.knownGroups = {{{"N4", "甲點"}, {4e-6, -1e-6, -1e-6, 16e-6}, 2}};
  const korvane::analysis::Network network = korvane::analysis::buildNetwork(rows);
  korvane::analysis::AnalysisOptions options;
  GkfNetwork gkf;
  expectSameNetwork(network, readBack(network, options, &gkf));
  EXPECT_FALSE(gkf.freeNetwork);
  EXPECT_NEAR(*gkf.alpha, options.alpha, 1e-15);
}

TEST(GkfWriting, DistanceWeightsReadBackAsTheSameWeightsRelativeToSigma0) {
  const korvane::analysis::Network network = korvane::analysis::buildNetwork(writtenRows(-9.0));
  korvane::analysis::AnalysisOptions options;
  options.sigma0 = 2.5;
  const korvane::analysis::Network back = readBack(network, options);
  EXPECT_EQ(back.weighting, korvane::analysis::Weighting::Grade);
  for (int i = 0; i < network.observationCount(); ++i)  // p / sigma0^2 under distance weighting
    EXPECT_NEAR(back.observations[i].weight * 2.5 * 2.5 / network.observations[i].weight, 1.0, 1e-14);
}

TEST(GkfWriting, AFreeNetworkReadsBackFreeWithItsDatumPoints) {
  const korvane::analysis::Network network = korvane::analysis::buildNetwork(writtenRows(0.003));
  korvane::analysis::AnalysisOptions options;
  options.freeNetwork = true;
  options.datumPoints = {"BM 1", "N5"};
  GkfNetwork gkf;
  const korvane::analysis::Network back = readBack(network, options, &gkf);
  EXPECT_TRUE(gkf.freeNetwork);
  EXPECT_EQ(gkf.datumPoints, options.datumPoints);
  ASSERT_EQ(back.known.size(), 2u);
  EXPECT_EQ(back.known[1].height, 26.2);
}

}  // namespace
