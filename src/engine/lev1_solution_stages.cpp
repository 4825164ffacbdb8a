// Stages 9 to 16 of the adjustment: normal equations, solution, residuals, precision, adjusted
// heights and the reliability table.
#include "big5_texts.h"
#include "fixed_fields.h"
#include "lev1_stages.h"
#include "reliability.h"
#include "xchesi.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarnex {

namespace {

// A residual below a nanometre is rounding noise of heights of up to some thousand metres (the
// work file carries dh to 0.01 mm): it counts as zero, so that a network without misclosure
// reports sigma0 = 0 and w = 0 instead of a ratio of noise to noise.
constexpr double kResidualNoise = 1e-9;

double& element(Adjustment& a, int i, int j)
{
    return a.matrix[a.profile.at(std::max(i, j), std::min(i, j))];
}

double at(const std::vector<double>& values, int index)
{
    return values[static_cast<std::size_t>(index)];
}

// Reduced observation: observed minus approximate height difference.
double reduced(const Adjustment& a, const ObservationRecord& record, const EndPoints& ends)
{
    return record.dh - (at(a.heights, ends.to) - at(a.heights, ends.from));
}

}  // namespace

void formNormalEquations(Adjustment& a)
{
    a.console.write("  form and solving normal eqs");
    a.matrix.assign(static_cast<std::size_t>(a.profile.storage()) + 1, 0.0);
    a.corrections.assign(static_cast<std::size_t>(a.m) + 1, 0.0);

    a.dump.write("1");
    a.dump.write(Record().X(3).A("*** Output Informations ***"));
    a.dump.empty();
    a.dump.write(Record().X(3).A("Observation eq. :"));
    a.dump.empty();
    a.dump.write(Record()
                     .X(3).A("No.")
                     .X(4).A("I").A(" -> ").A(" J")
                     .X(6).A("Weight")
                     .X(4).A("Observation")
                     .X(3).A("OB(I)")
                     .X(4).A("OB(J)")
                     .X(8).A("OC"));
    a.dump.empty();

    a.temp.rewind();
    ObservationRecord record;
    for (int sequence = 1; a.temp.next(record); ++sequence) {
        const EndPoints ends = endPoints(record.code);
        const double oc = reduced(a, record, ends);
        a.dump.write(Record()
                         .X(2).I(sequence, 3)
                         .I(ends.from, 6).A(" -> ").I(ends.to, 2)
                         .F(record.weight, 11, 3)
                         .F(record.dh, 14, 5)
                         .F(-1.0, 9, 2)
                         .F(1.0, 9, 2)
                         .F(oc, 13, 5));
        // An observation from a point to itself: -1 and +1 fall on one unknown and cancel.
        if (ends.from == ends.to)
            continue;
        const double p = record.weight;
        a.corrections[static_cast<std::size_t>(ends.from)] -= p * oc;
        a.corrections[static_cast<std::size_t>(ends.to)] += p * oc;
        element(a, ends.from, ends.from) += p;
        element(a, ends.to, ends.to) += p;
        element(a, ends.from, ends.to) -= p;
    }

    a.modifiedFreedom = a.n - a.m;
    for (const KnownPoint& point : a.known) {
        element(a, point.number, point.number) += point.weight;
        if (point.weight > 1.0)
            ++a.modifiedFreedom;
    }
    a.report.write(Record().X(8).A(kModifiedFreedom).I(a.modifiedFreedom, 6));
}

void solveNormalEquations(Adjustment& a)
{
    const int groupColumn = firstColumnWithoutDatum(a.lists, static_cast<int>(a.known.size()));
    const int defect = XCHESI(a.matrix, a.cofactors, a.profile, a.corrections, kSolveAndInvert, a.console, groupColumn);
    if (defect != 0) {
        a.console.empty();
        a.console.write(" *** ERROR 002 --- Normal Equation Singular !");
        // No solution exists: the report goes on from the approximate heights, with no
        // corrections and no cofactors.
        a.singular = true;
        std::fill(a.corrections.begin(), a.corrections.end(), 0.0);
        std::fill(a.matrix.begin(), a.matrix.end(), 0.0);
        a.cofactors.assign(static_cast<std::size_t>(a.m) + 1, 0.0);
    }
    a.dump.write(Record().X(8).A("unknowns (DX) = "));
    for (int i = 1; i <= a.m; ++i)
        a.dump.write(Record().I(i, 13).X(3).A(a.names[static_cast<std::size_t>(i)], 8).X(3).E(at(a.corrections, i), 12, 5));
}

void computeResiduals(Adjustment& a)
{
    a.console.write("  claculate residuals ");
    a.residuals.assign(static_cast<std::size_t>(a.n) + 1, 0.0);
    a.vtpv = 0.0;
    a.temp.rewind();
    ObservationRecord record;
    for (int sequence = 1; a.temp.next(record); ++sequence) {
        const EndPoints ends = endPoints(record.code);
        double v = at(a.corrections, ends.to) - at(a.corrections, ends.from) - reduced(a, record, ends);
        if (std::fabs(v) < kResidualNoise)
            v = 0.0;
        a.residuals[static_cast<std::size_t>(sequence)] = v;
        a.vtpv += v * v * record.weight;
    }

    a.sigma0 = a.modifiedFreedom > 0 ? std::sqrt(a.vtpv / a.modifiedFreedom) : 0.0;
    a.console.write(Record().A("  degree of freedom = ").I(a.modifiedFreedom, 5));
    a.console.write(Record().A(" standard deviation per 1 km=").F(a.sigma0, 15, 5));
    a.report.write(Record().X(9).A("sum weighted squared residules VtPV ......").D(a.vtpv * 1e6, 9, 4).A("(mm**2/km)"));
    a.report.write(Record().X(9).A(kUnitWeightDeviation).F(a.sigma0 * 1000.0, 6, 3).A(" ( mm * sqrt(1 km) )"));
}

void writeAdjustedHeights(Adjustment& a)
{
    std::vector<double> deviations(static_cast<std::size_t>(a.m) + 1, 0.0);  // metres
    for (int i = 1; i <= a.m; ++i) {
        a.heights[static_cast<std::size_t>(i)] += at(a.corrections, i);
        deviations[static_cast<std::size_t>(i)] = std::sqrt(std::max(at(a.cofactors, i), 0.0)) * a.sigma0;
    }

    for (int blank = 0; blank < 4; ++blank)
        a.report.empty();
    a.report.write(Record().X(8).A("**** Apriori height updated value (m) ****"));
    a.report.write(Record().X(3).A(" No   Name        Elevation      update     STD "));
    a.report.write(Record().X(2).A(std::string(50, '=')));
    for (int i = 1; i <= static_cast<int>(a.known.size()); ++i)
        a.report.write(Record()
                           .I(i, 5).X(1)
                           .A(a.names[static_cast<std::size_t>(i)], 8).X(1)
                           .F(at(a.heights, i), 12, 5)
                           .F(at(a.corrections, i), 12, 5)
                           .F(at(deviations, i), 12, 5));

    a.report.empty();
    a.report.write(Record().X(12).A("*** Adjusted Elevations of Points ***"));
    a.report.write(Record()
                       .X(2).A(kHeadItem)
                       .X(5).A(kHeadPointName)
                       .X(10).A(kHeadElevation)
                       .X(6).A(kHeadStandardError));
    a.report.write(Record().X(2).A(" No    Name     Elevation (m)      Std. (cm)"));
    a.report.write(Record().X(2).A(std::string(50, '=')));
    for (int i = 1; i <= a.m; ++i)
        a.report.write(Record()
                           .X(1).I(i, 5)
                           .X(4).A(a.names[static_cast<std::size_t>(i)], 8)
                           .X(3).F(at(a.heights, i), 12, 5)
                           .X(4).F(100.0 * at(deviations, i), 9, 3));
}

void analyseReliability(Adjustment& a)
{
    a.console.write("  reliability analysis and data snnopping");
    for (int blank = 0; blank < 3; ++blank)
        a.report.empty();
    a.report.write(Record().X(12).A(" *** Reliability Analysis Information ***"));
    a.report.write(Record().X(8).A("normal obs(..); warning obs r<0.25(1.); bad obs w>3(.R)"));
    a.report.write(Record().X(8).A("very bad obs(1R), questionable v>2.0cm(..?), no check(1N)"));
    a.report.write(Record()
                       .X(1).A(kReliabilityHeadLeft)
                       .X(3).A(kReliabilityHeadMiddle)
                       .X(2).A(kReliabilityHeadRight));
    a.report.write(Record()
                       .X(2).A("No.")
                       .X(1).A("from")
                       .X(2).A("->")
                       .X(2).A("to")
                       .X(6).A("Weight")
                       .X(1).A("dist(km)")
                       .X(1).A("obs(m)")
                       .X(1).A("v(cm)")
                       .X(1).A("adjobs(m)")
                       .X(1).A("ri")
                       .X(1).A("std(cm) mark"));
    a.report.write(Record().X(1).A(std::string(76, '=')));

    const bool hasFreedom = a.modifiedFreedom > 0;
    double sum = 0.0;
    a.temp.rewind();
    ObservationRecord record;
    for (int sequence = 1; a.temp.next(record); ++sequence) {
        const EndPoints ends = endPoints(record.code);
        const double v = at(a.residuals, sequence);
        const RedundancyResult result = RELIO(sequence, a.matrix, a.profile, ends.from, ends.to, v, record.weight,
                                              a.sigma0, hasFreedom, a.console, a.report);
        const double vCm = 100.0 * v;
        const Marks marks = observationMarks(result.r, result.test.mark, vCm);
        a.report.write(Record()
                           .I(sequence, 5).X(1)
                           .A(a.names[static_cast<std::size_t>(ends.from)], 8).X(1)
                           .A(a.names[static_cast<std::size_t>(ends.to)], 8)
                           .F(record.weight, 5, 2)
                           .F(record.distance, 6, 1)
                           .F(record.dh, 10, 5)
                           .F(vCm, 7, 3)
                           .F(record.dh + v, 10, 5)
                           .F(result.r, 6, 3)
                           .F(std::fabs(vCm) * result.test.w, 7, 3).X(1)
                           .A(std::string(1, marks.first))
                           .A(std::string(1, marks.second))
                           .A(std::string(1, marks.third)));
        sum += result.r;
    }
    a.report.write(Record().A(" sum of local redudancy rt=").X(25).F(sum, 15, 3));
}

}  // namespace tarnex
