// Where the benchmarks stand on the report's map of velocities: surveyed positions from a CSV
// file of `name,E,N`, or without one a layout of the network's own making from the levelled
// sections of all epochs (each section as long as its levelled distance).
#pragma once

#include "deformation.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvane::deformation {

struct PlanePoint {
    double e = 0.0;
    double n = 0.0;
};

// Name, E, N per line, comma-separated, a header line allowed as the first line, blank lines
// passed over, UTF-8 (a byte-order mark is passed over). Throws analysis::InputError naming the
// file, line and field of a bad line (a missing field, a coordinate that is no finite number, a
// name given twice), or naming the file that cannot be read.
std::map<std::string, PlanePoint> readPositions(const std::filesystem::path& path);

struct MapPlaces {
    std::vector<std::optional<PlanePoint>> places;  // per benchmark
    bool surveyed = false;                          // from a positions file
    std::vector<int> unplaced;                      // benchmarks the positions file lacks
};

// The surveyed positions of the benchmarks; those missing from them are unplaced.
MapPlaces surveyedPlaces(const DeformationResult& result, const std::map<std::string, PlanePoint>& positions);

// A layout of the network (pivot multidimensional scaling of the shortest levelled distances,
// each connected part beside the others): deterministic, and quick for any size of network.
MapPlaces networkLayout(const DeformationResult& result);

}  // namespace korvane::deformation
