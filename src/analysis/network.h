// The levelling network the analysis works on: points with names of any length, known heights
// with their standard deviations, and observed height differences with distance and grade.
//
// The rows come from the engine input file (engine_file_reader.h) or from the tables dat and
// cood of the adjustment database (read by the program's command layer); buildNetwork checks
// them and numbers the points the way tarnex does: the known points first in input order, then
// the end points of the observations in order of first appearance. Everything is 0-based.
#pragma once

#include <string>
#include <vector>

namespace korvane::analysis {

// The words that name the fields of a row in messages: the engine file's field names, or the
// database's column names.
struct FieldNames {
    std::string from = "from";
    std::string to = "to";
    std::string dh = "dh";
    std::string distance = "dist";
    std::string grade = "grade";
    std::string name = "name";
    std::string height = "elev";
    std::string sigma = "sigma";
};

struct ObservationRow {
    std::string from;  // names without blanks at either end
    std::string to;
    double dh = 0.0;        // height of `to` minus height of `from`, m
    double distance = 0.0;  // km
    double grade = 0.0;     // m per square root of a km
    long row = 0;           // its line in the file, or its row in the table
};

struct KnownPointRow {
    std::string name;
    double height = 0.0;  // m
    double sigma = 0.0;   // m; 0 or less holds the height fixed
    long row = 0;
};

// Known points whose heights were observed together, with the covariance matrix of those
// heights: each is also a row of knownPoints, whose sigma is the square root of its variance.
struct KnownGroupRow {
    std::vector<std::string> names;
    std::vector<double> covariance;  // m^2, names.size() rows of names.size(), symmetric
    long row = 0;                    // where the group stands
};

struct NetworkRows {
    std::string title;
    std::string sourceName;  // the file or database, for the results' heading
    FieldNames fields;
    // Where a row stands is this text followed by its number, e.g. "net.dat, line " and 5.
    std::string observationPlace;
    std::string knownPointPlace;
    std::vector<ObservationRow> observations;
    std::vector<KnownPointRow> knownPoints;
    std::vector<KnownGroupRow> knownGroups;
    std::vector<std::string> notes;  // what the results should say about how the rows were read
};

// How the observations are weighted, fixed as tarnex fixes it by the first observation: grade
// weighting when its grade is above -5.0 and not 0 (weight 1/((1000 grade)^2 dist) in 1/mm^2),
// otherwise distance weighting (weight 1/dist in 1/km).
enum class Weighting { Grade, Distance };

struct Observation {
    int from = 0;
    int to = 0;
    double dh = 0.0;        // m
    double distance = 0.0;  // km
    double grade = 0.0;     // m per square root of a km, as read
    double weight = 0.0;    // 1/mm^2 (grade weighting) or 1/km (distance weighting)
    long row = 0;           // where it stands in its source (see Network::observationOrigin)
};

struct KnownPoint {
    int point = 0;
    double height = 0.0;  // m
    double sigma = 0.0;   // m
    long row = 0;
    int group = -1;  // its entry in Network::knownGroups, or -1
    bool fixed() const { return !(sigma > 0.0); }
};

// Known points whose heights were observed together (KnownGroupRow).
struct KnownGroup {
    std::vector<int> members;        // entries of Network::known
    std::vector<double> covariance;  // m^2, members.size() rows of members.size()
    long row = 0;
};

struct Network {
    std::string title;
    std::string sourceName;
    Weighting weighting = Weighting::Distance;
    std::vector<std::string> names;         // per point
    std::vector<int> knownIndex;            // per point: its entry in `known`, or -1
    std::vector<Observation> observations;  // input order
    std::vector<KnownPoint> known;          // input order; known point i is point i
    std::vector<KnownGroup> knownGroups;
    std::vector<std::string> notes;         // as in NetworkRows
    std::string observationPlace;           // as in NetworkRows
    std::string knownPointPlace;

    // Where observation i (known point k) stands, e.g. "net.dat, line 5".
    std::string observationOrigin(int i) const { return observationPlace + std::to_string(observations[i].row); }
    std::string knownPointOrigin(int k) const { return knownPointPlace + std::to_string(known[k].row); }

    int pointCount() const { return static_cast<int>(names.size()); }
    int observationCount() const { return static_cast<int>(observations.size()); }
};

// Checks the rows and builds the network. Throws InputError naming the row and the field: an
// empty name, a value that is no finite number, a distance of 0 or less, a grade of 0 under
// grade weighting, a known point given twice, no observation at all, a group of known points
// whose names are not known points or whose covariance matrix is not positive definite.
Network buildNetwork(const NetworkRows& rows);

}  // namespace korvane::analysis
