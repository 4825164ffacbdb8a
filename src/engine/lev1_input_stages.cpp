// Stages 1 to 8 of the adjustment: headings, reading level.inp, neighbour lists and profile,
// weights, approximate heights, known points and the datum.
#include "adjustment_texts.h"
#include "engine_limits.h"
#include "engine_stop.h"
#include "fixed_fields.h"
#include "lev1_stages.h"

#include <cmath>

namespace tarnex {

namespace {

std::string describe(int sequence, const WorkObservation& record)
{
    auto trimmed = [](std::string name) {
        const auto end = name.find_last_not_of(' ');
        name.erase(end == std::string::npos ? 0 : end + 1);
        return name;
    };
    return "observation " + std::to_string(sequence) + " (" + trimmed(record.from) + " -> " + trimmed(record.to) + ")";
}

std::string fixedText(double value, int width, int decimals)
{
    std::string text;
    appendFixed(text, value, width, decimals);
    return text.substr(text.find_first_not_of(' '));
}

void checkPointNumber(int number, int m, const std::string& what)
{
    if (number < 1 || number > m)
        throw EngineStop{"level.inp: " + what + " refers to point " + std::to_string(number) +
                         ", which is not in its point list"};
}

// The storage block, the same on the console and in the report.
template <typename Channel>
void writeStorageBlock(Channel& out, long before, long after)
{
    out.empty();
    out.write(Record().X(8).A("*** Reordering Information *** "));
    out.write(Record().X(4).A("Require Storage Before Reording =").I(before, 10));
    out.write(Record().X(4).A("Require Storage After Reording  =").I(after, 10));
}

}  // namespace

EndPoints endPoints(long code)
{
    EndPoints ends{};
    ORDER(ends.from, ends.to, code);
    return ends;
}

void writeHeadings(Adjustment& a, std::string_view inputFileName)
{
    a.console.empty();
    for (std::string_view line : kAdjustmentBox)
        a.console.write(Record().X(16).A(line));
    for (std::string_view line : kCreditLines)
        a.console.write(Record().T(20).A(line));
    a.console.write(Record().X(4).A(kPermissionNotice));

    const std::string title = a.work.title();
    a.report.empty();
    for (std::string_view line : kAdjustmentBox)
        a.report.write(Record().X(16).A(line));
    a.report.empty();
    a.report.write(Record().X(8).A(kComputationTitle));
    a.report.empty();
    a.report.write(Record().X(4).A(kProjectNameLabel).A(title, 50));
    a.report.write(Record().X(4).A(kInputFileLabel).A(inputFileName, 40));

    a.console.empty();
    a.console.write(Record().X(12).A(kComputationTitle));
}

void readNetworkSize(Adjustment& a)
{
    a.codes.assign(1, 0);
    WorkObservation record;
    bool more = true;
    while (more) {
        more = a.work.observation(record);
        a.dump.write(Record().I(record.code, 10).F(record.distance, 10, 3).F(record.dh, 10, 5));
        if (!more)
            break;
        if (a.n == kMaxObservations) {
            a.console.write(" number of leveling obs > maxlin=3000");
            throw EngineStop{};
        }
        ++a.n;
        a.codes.push_back(record.code);
    }
    int number = 0;
    std::string name;
    while (a.work.point(number, name)) {
        if (a.m == kMaxPoints) {
            a.console.write(" number of point  > maxsta=1500 ");
            throw EngineStop{};
        }
        ++a.m;
    }
    for (int l = 1; l <= a.n; ++l) {
        const EndPoints ends = endPoints(a.codes[static_cast<std::size_t>(l)]);
        checkPointNumber(ends.from, a.m, "observation " + std::to_string(l));
        checkPointNumber(ends.to, a.m, "observation " + std::to_string(l));
    }
}

void numberUnknowns(Adjustment& a)
{
    a.lists = SORTL(a.codes, a.m);
    const int check = REORD(a.lists, a.console);
    const long before = PROFIL(a.lists, a.console).storage();
    a.console.write(Record().A("  after reordierror= ").I(check, 10));

    // The unknowns keep the point-table numbering: lists and profile once more for it.
    a.lists = SORTL(a.codes, a.m);
    a.profile = PROFIL(a.lists, a.console);
    const long after = a.profile.storage();
    writeStorageBlock(a.console, before, after);
    writeStorageBlock(a.report, before, after);
}

void weighObservations(Adjustment& a)
{
    a.report.empty();
    a.report.empty();
    a.report.write(Record().X(8).A("*** leveling line ovservation data ***"));
    a.report.write(Record()
                       .X(2).A("No.")
                       .X(2).A("line Code")
                       .X(3).A("Distance(km)")
                       .X(3).A("mm*sqrt(KM)")
                       .X(2).A("Weight")
                       .X(4).A("Observation(m) "));
    a.report.empty();

    a.work.title();
    WorkObservation record;
    for (int sequence = 1; sequence <= a.n; ++sequence) {
        a.work.observation(record);
        if (sequence == 1)
            a.gradeWeighting = record.grade > -5.0 && record.grade != 0.0;
        if (record.distance <= 0.0)
            throw EngineStop{describe(sequence, record) + " has the distance " + fixedText(record.distance, 10, 3) +
                             " km: a weight needs a distance above 0"};
        double gradeColumn = record.grade;
        double weight = 0.0;
        if (a.gradeWeighting) {
            if (record.grade == 0.0)
                throw EngineStop{describe(sequence, record) +
                                 " has no grade (0), but the first observation's grade asks for grade weighting"};
            gradeColumn = 1000.0 * record.grade;
            weight = 1.0 / (gradeColumn * gradeColumn * record.distance);
        } else {
            weight = 1.0 / record.distance;
        }
        a.temp.append({static_cast<std::int32_t>(record.code), weight, record.dh, record.distance});
        a.report.write(Record()
                           .I(sequence, 5).X(1)
                           .I(record.code, 10).X(1)
                           .F(record.distance, 10, 3).X(1)
                           .F(gradeColumn, 10, 1)
                           .F(weight, 12, 3)
                           .F(record.dh, 15, 5));
        const EndPoints ends = endPoints(record.code);
        a.dump.write(Record()
                         .I(sequence, 5)
                         .I(ends.from, 5)
                         .I(ends.to, 5)
                         .I(record.code, 10).X(1)
                         .F(record.distance, 10, 3).X(1)
                         .F(gradeColumn, 10, 1)
                         .F(weight, 12, 3)
                         .F(record.dh, 15, 5));
    }
    a.work.observation(record);  // the terminator
    a.console.empty();
    a.console.write(Record().X(2).A("Number of Obs.s    = ").I(a.n, 8));
    a.console.write(Record().X(2).A("Number of Unknowns = ").I(a.m, 8));
}

void approximateHeights(Adjustment& a)
{
    a.console.empty();
    a.console.write("  approxiamte elevation computation");
    a.heights.assign(static_cast<std::size_t>(a.m) + 1, 0.0);  // 0: not yet known
    a.temp.rewind();
    ObservationRecord record;
    while (a.temp.next(record)) {
        const EndPoints ends = endPoints(record.code);
        double& from = a.heights[static_cast<std::size_t>(ends.from)];
        double& to = a.heights[static_cast<std::size_t>(ends.to)];
        if (to == 0.0)
            to = from + record.dh;
        if (from == 0.0)
            from = to - record.dh;
    }
}

void readNamesAndKnownPoints(Adjustment& a)
{
    a.names.assign(static_cast<std::size_t>(a.m) + 1, std::string(8, ' '));
    int number = 0;
    std::string name;
    while (a.work.point(number, name)) {
        checkPointNumber(number, a.m, "a point record");
        a.names[static_cast<std::size_t>(number)] = name;
    }
    const int count = a.work.knownPointCount();
    if (count < 1)
        throw EngineStop{"no known point: the heights have no datum and the network cannot be adjusted"};

    a.report.empty();
    a.report.empty();
    a.report.write(Record().X(2).A(" Fixed Point No.   Elevation(m)  sigma(m)"));
    a.known.clear();
    for (int k = 0; k < count; ++k) {
        const WorkKnownPoint point = a.work.knownPoint();
        checkPointNumber(point.number, a.m, "known point " + std::to_string(k + 1));
        const double weight = point.sigma > 0.0 ? 1.0 / (point.sigma * point.sigma) : 1e12;
        a.known.push_back({point.number, point.elevation, point.sigma, weight});
        a.report.write(Record()
                           .I(point.number, 5).X(5)
                           .A(a.names[static_cast<std::size_t>(point.number)], 8)
                           .F(point.elevation, 15, 5)
                           .F(point.sigma, 15, 5));
    }
}

void shiftOntoDatum(Adjustment& a)
{
    const KnownPoint& first = a.known.front();
    const double shift = first.elevation - a.heights[static_cast<std::size_t>(first.number)];
    for (int i = 1; i <= a.m; ++i)
        a.heights[static_cast<std::size_t>(i)] = std::trunc(a.heights[static_cast<std::size_t>(i)] + shift);
    for (const KnownPoint& point : a.known)
        a.heights[static_cast<std::size_t>(point.number)] = point.elevation;
}

void countFreedom(Adjustment& a)
{
    const int k = static_cast<int>(a.known.size());
    a.firstFreedom = a.n - a.m + k;
    if (a.firstFreedom == 0)
        a.firstFreedom = 1;
    a.report.empty();
    a.report.empty();
    a.report.write(Record().X(9).A(kCountObservations).I(a.n, 6));
    a.report.write(Record().X(9).A(kCountBenchMarks).I(a.m, 6));
    a.report.write(Record().X(9).A(kCountFixedPoints).I(k, 6));
    a.report.write(Record().X(9).A(kCountFreedom).I(a.firstFreedom, 6));

    a.dump.empty();
    a.dump.empty();
    a.dump.write(Record().X(8).A("Approx.Elevation for Each Point "));
    a.dump.empty();
    a.dump.write(Record().X(10).A(" No.    Name      Eleva.  "));
    a.dump.write(Record().X(10).A("----    ----     -------- "));
    a.dump.empty();
    for (int i = 1; i <= a.m; ++i)
        a.dump.write(Record().I(i, 13).X(5).A(a.names[static_cast<std::size_t>(i)], 8).F(a.heights[static_cast<std::size_t>(i)], 12, 3));
}

}  // namespace tarnex
