// The adjustment's reading of the work file level.inp, field by field in the columns the
// conversion wrote them:
//   observation  I10 code, F10.3 dist, F10.5 dh, F10.5 grade, 10X, A10 from, A10 to
//   point        I10 number, 5X, A8 name
//   known point  I10 number, F10.5 elevation, F20.10 sigma (read by columns: an elevation of
//                1000 m or more fills its field and touches the number before it)
#pragma once

#include "field_reader.h"

#include <filesystem>
#include <string>

namespace tarnex {

struct WorkObservation {
    long code = 0;
    double distance = 0.0;
    double dh = 0.0;
    double grade = 0.0;
    std::string from;  // names, for messages
    std::string to;
};

struct WorkKnownPoint {
    int number = 0;
    double elevation = 0.0;
    double sigma = 0.0;
};

class WorkFileReader {
public:
    explicit WorkFileReader(const std::filesystem::path& path);

    // Rewinds and reads the title.
    std::string title();
    // Reads the next observation record; false at the terminator (a negative line code), whose
    // fields are returned as well.
    bool observation(WorkObservation& record);
    // Reads the next point record; false at the terminator (a negative point number).
    bool point(int& number, std::string& name);
    int knownPointCount();
    WorkKnownPoint knownPoint();

    long lineNumber() const { return file_.lineNumber(); }

private:
    void nextLine(const char* expected);

    LineFile file_;
};

}  // namespace tarnex
