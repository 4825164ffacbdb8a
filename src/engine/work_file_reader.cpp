#include "work_file_reader.h"

namespace tarnex {

WorkFileReader::WorkFileReader(const std::filesystem::path& path) : file_(path, "level.inp") {}

void WorkFileReader::nextLine(const char* expected)
{
    if (!file_.next())
        file_.endedEarly(expected);
}

std::string WorkFileReader::title()
{
    file_.rewind();
    nextLine("the job title");
    return file_.text(1, 60);
}

bool WorkFileReader::observation(WorkObservation& record)
{
    nextLine("the observation terminator -99");
    record.code = static_cast<long>(file_.integer(1, 10, "line code"));
    record.distance = file_.real(11, 10, 3, "dist");
    record.dh = file_.real(21, 10, 5, "dh");
    if (record.code < 0) {
        record.grade = 0.0;
        return false;
    }
    record.grade = file_.real(31, 10, 5, "grade");
    record.from = file_.text(51, 10);
    record.to = file_.text(61, 10);
    return true;
}

bool WorkFileReader::point(int& number, std::string& name)
{
    nextLine("the point list terminator -99");
    number = static_cast<int>(file_.integer(1, 10, "point number"));
    if (number < 0)
        return false;
    name = file_.text(16, 8);
    return true;
}

int WorkFileReader::knownPointCount()
{
    nextLine("the number of known points");
    return static_cast<int>(file_.integer(1, 10, "number of known points"));
}

WorkKnownPoint WorkFileReader::knownPoint()
{
    nextLine("a known-point record");
    WorkKnownPoint point;
    point.number = static_cast<int>(file_.integer(1, 10, "point number"));
    point.elevation = file_.real(11, 10, 5, "elevation");
    point.sigma = file_.real(21, 20, 10, "sigma");
    return point;
}

}  // namespace tarnex
