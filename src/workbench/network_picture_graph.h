#pragma once
// The network as a picture: which points and lines to draw, and where Graphviz puts them.
//
// Levelling data has no plan coordinates, so the places are the graph's own: Graphviz's spring
// layouts put joined points near each other (neato, with the sections' lengths as the springs'
// lengths, for a small network; sfdp, which scales, for a larger one). A layout of the whole of
// a very large network would take minutes and show nothing readable, so at most `limit` points
// are drawn: those nearest (in sections) to a chosen point.

#include <string>
#include <vector>

#include "analysis_result.h"

namespace korvane::workbench {

// Up to this many points are drawn; a larger network is drawn around a chosen point.
inline constexpr int kPicturePointLimit = 2500;
// Up to this many points neato lays out; beyond it sfdp.
inline constexpr int kNeatoPointLimit = 300;

struct PictureLine {
  int a = 0;  // picture points (indices into PictureGraph::points)
  int b = 0;
  std::vector<int> observations;  // the measurements of this section, in input order
  double length = 0.0;            // mean distance of its measurements, as given
};

struct PictureGraph {
  std::vector<int> points;  // the result's point indices drawn
  std::vector<PictureLine> lines;
  int totalPoints = 0;  // of the whole network
  int centre = -1;      // the result's point the part is drawn around, when not the whole network
  bool isPartial() const { return int(points.size()) < totalPoints; }
};

// The whole network when it has at most `limit` points; otherwise the `limit` points nearest
// to `centre` (a point index of the result), found breadth first through the sections.
// Observations from a point to itself have no line.
PictureGraph choosePicture(const analysis::AnalysisResult& result, int centre, int limit = kPicturePointLimit);

struct PicturePlaces {
  std::vector<double> x;  // per picture point, in points (1/72 inch), y upwards
  std::vector<double> y;
  std::string problem;    // why there is no layout, or empty
};

// Lays the graph out with Graphviz's library. Safe to call from any thread: one layout runs at
// a time.
PicturePlaces layOutPicture(const PictureGraph& graph);

}  // namespace korvane::workbench
