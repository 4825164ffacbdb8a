#include "conversion.h"

#include "engine_stop.h"
#include "fixed_fields.h"
#include "engine_limits.h"
#include "point_table.h"

#include <string>
#include <vector>

namespace tarnex {

namespace {

struct KnownPointLine {
    std::string name;  // shifted, 10 characters
    double elevation = 0.0;
    double sigma = 0.0;
};

// Takes a free handle and checks that files can be created in the folder.
int openUnit(UnitTable& units, const std::filesystem::path& folder)
{
    const int unit = FNUNIT(units, folder);
    if (unit < 0)
        throw EngineStop{"cannot create files in the folder " + folder.string()};
    units.take(unit);
    return unit;
}

bool fitsFixed(double value, int width, int decimals)
{
    std::string field;
    appendFixed(field, value, width, decimals);
    return field.front() != '*';
}

// Reads a number of the current input line and checks that the work file's field holds it.
double readFitting(const LineFile& input, int first, std::string_view field, int workWidth, int workDecimals)
{
    const double value = input.real(first, 10, 0, field);
    if (!fitsFixed(value, workWidth, workDecimals))
        input.fieldError(first, 10, field,
                         "does not fit the work file's field F" + std::to_string(workWidth) + "." +
                             std::to_string(workDecimals));
    return value;
}

int readObservations(LineFile& input, RecordFile& tape)
{
    int count = 0;
    while (true) {
        if (!input.next())
            input.endedEarly("the line \"-99\" that ends the observation list");
        const std::string from = DELBAK(input.text(1, 10));
        if (isTerminator(from))
            return count;
        const std::string to = DELBAK(input.text(11, 10));
        const double dh = readFitting(input, 21, "dh", 10, 5);
        const double dist = readFitting(input, 31, "dist", 10, 3);
        const double grade = readFitting(input, 41, "grade", 10, 5);
        tape.write(Record().A(from, 8).A(to, 8).F(dh, 10, 5).F(dist, 10, 3).F(grade, 10, 5));
        ++count;
    }
}

std::vector<KnownPointLine> readKnownPoints(LineFile& input, Console& console)
{
    std::vector<KnownPointLine> known;
    while (input.next()) {
        std::string name = DELBAK(input.text(1, 10));
        if (isTerminator(name))
            break;
        if (known.size() == static_cast<std::size_t>(kMaxKnownPoints))
            capacityStop(console, kMaxKnownPoints);
        const double elevation = readFitting(input, 11, "elev", 10, 5);
        const double sigma = readFitting(input, 21, "sigma", 20, 10);
        known.push_back({std::move(name), elevation, sigma});
    }
    return known;
}

// Reads tape3 back, numbers the end points and writes the observation records.
void writeObservationRecords(LineFile& tape, PointTable& table, Console& console, RecordFile& work)
{
    while (tape.next()) {
        const std::string from = tape.text(1, 8);
        const std::string to = tape.text(9, 8);
        const double dh = tape.real(17, 10, 5, "dh");
        const double dist = tape.real(27, 10, 3, "dist");
        const double grade = tape.real(37, 10, 5, "grade");
        const int fromNumber = table.findOrAppend(from);
        if (fromNumber == 0)
            capacityStop(console, kMaxPoints);
        const int toNumber = table.findOrAppend(to);
        if (toNumber == 0)
            capacityStop(console, kMaxPoints);
        work.write(Record()
                       .I(lineCode(fromNumber, toNumber), 10)
                       .F(dist, 10, 3)
                       .F(dh, 10, 5)
                       .F(grade, 10, 5)
                       .X(10)
                       .A(table.name(fromNumber), 10)
                       .A(table.name(toNumber), 10));
    }
}

}  // namespace

ConversionCounts convertInputFile(LineFile& input, Console& console, UnitTable& units,
                                  const std::filesystem::path& folder)
{
    const int workUnit = openUnit(units, folder);
    RecordFile work;
    work.create(folder / kWorkFileName, kWorkFileName);
    const int tapeUnit = openUnit(units, folder);
    ScratchFile tapeFile(folder / kTapeFileName);
    RecordFile tape;
    tape.create(tapeFile.path(), kTapeFileName);

    if (!input.next())
        input.endedEarly("the job title line");
    const std::string title = input.text(1, 80);

    ConversionCounts counts;
    counts.observations = readObservations(input, tape);
    const std::vector<KnownPointLine> known = readKnownPoints(input, console);
    counts.knownPoints = static_cast<int>(known.size());

    PointTable table(kMaxPoints);
    for (const KnownPointLine& point : known)
        table.appendKnown(point.name);

    tape.close();
    LineFile tapeBack(tapeFile.path(), kTapeFileName);
    work.write(Record().A(title, 60));
    writeObservationRecords(tapeBack, table, console, work);
    counts.points = table.size();

    work.write(Record().I(-99, 10).F(0.0, 10, 1).F(0.0, 10, 1).F(0.0, 10, 1));
    for (int number = 1; number <= table.size(); ++number)
        work.write(Record().I(number, 10).X(5).A(table.name(number), 8));
    work.write(Record().I(-99, 10));
    work.write(Record().I(counts.knownPoints, 10));
    for (int number = 1; number <= counts.knownPoints; ++number) {
        const KnownPointLine& point = known[static_cast<std::size_t>(number - 1)];
        work.write(Record().I(number, 10).F(point.elevation, 10, 5).F(point.sigma, 20, 10).X(10).A(point.name, 8));
    }
    work.write(Record().I(-99, 10));

    writeSummary(console, counts);
    work.close();
    units.release(tapeUnit);
    units.release(workUnit);
    return counts;
}

}  // namespace tarnex
