// The stages of the adjustment and the state they hand on to each other.
#pragma once

#include "channels.h"
#include "neighbours.h"
#include "observation_scratch.h"
#include "profile.h"
#include "work_file_reader.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnex {

struct KnownPoint {
    int number = 0;
    double elevation = 0.0;
    double sigma = 0.0;
    double weight = 0.0;
};

// Everything the stages share. Per-point arrays run 1..m and per-observation arrays 1..n
// (element 0 unused).
struct Adjustment {
    Adjustment(Console& console, const std::filesystem::path& workFile, const std::filesystem::path& scratch)
        : console(console), work(workFile), temp(scratch)
    {
    }

    Console& console;
    WorkFileReader work;
    ObservationScratch temp;
    RecordFile report;
    RecordFile dump;

    int n = 0;  // observations
    int m = 0;  // points, the unknowns
    std::vector<long> codes;
    std::vector<std::string> names;  // 8 characters
    std::vector<KnownPoint> known;   // input order; known point K is point number K
    bool gradeWeighting = false;

    NeighbourLists lists;
    Profile profile;

    std::vector<double> heights;      // approximate, then adjusted
    std::vector<double> matrix;       // profile storage: N, then L, then Z
    std::vector<double> corrections;  // right-hand side, then DX
    std::vector<double> cofactors;    // Z(i,i)
    std::vector<double> residuals;    // v in metres
    bool singular = false;

    int firstFreedom = 0;
    int modifiedFreedom = 0;
    double vtpv = 0.0;
    double sigma0 = 0.0;
};

// Step 1: banner, title, report heading, console heading.
void writeHeadings(Adjustment& a, std::string_view inputFileName);
// Step 2: line codes and the number of points.
void readNetworkSize(Adjustment& a);
// Step 3: neighbour lists, checks, numbering and storage figures.
void numberUnknowns(Adjustment& a);
// Step 4: weights, temp.dat, observation table.
void weighObservations(Adjustment& a);
// Step 5: one pass of approximate heights.
void approximateHeights(Adjustment& a);
// Step 6: point names and known points.
void readNamesAndKnownPoints(Adjustment& a);
// Step 7: whole-metre heights shifted onto the first known point.
void shiftOntoDatum(Adjustment& a);
// Step 8: first degree of freedom and the count lines; approximate heights to the dump.
void countFreedom(Adjustment& a);
// Steps 9 and 10: normal equations, known-point weights, modified degree of freedom.
void formNormalEquations(Adjustment& a);
// Step 11: factorisation, solution and inverse.
void solveNormalEquations(Adjustment& a);
// Steps 12 and 13: residuals and precision.
void computeResiduals(Adjustment& a);
// Steps 14 and 15: adjusted heights and their tables.
void writeAdjustedHeights(Adjustment& a);
// Step 16: reliability analysis and data snooping.
void analyseReliability(Adjustment& a);

// End points of observation `code`.
struct EndPoints {
    int from;
    int to;
};
EndPoints endPoints(long code);

}  // namespace tarnex
