#pragma once
// Levelling lines as the Leica (GSI) and Trimble DiNi (M5) readers hand them on: the sightings of a
// line are gathered into set-ups, and each finished line is summed up with the instrument's own
// running values beside ours.
//
// A set-up holds one (BF, aBF) or two (BFFB, BFBF, aBFFB) back and as many fore readings, in any
// order; the next reading after a complete set-up starts the next set-up. Intermediate sights and
// the turning points between set-ups are not network points: a line runs from the back point of
// its first set-up to the fore point of its last.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::convert::level {

// The largest reading, sight distance or height a levelling file can hold (m), and the largest
// running length (m): beyond them a value is a damaged field or a wrong unit.
inline constexpr double kLargestValue = 1e5;
inline constexpr double kLongestRunningLength = 1e8;

// The order of the readings at a set-up, as the instrument names it ("BF", "BFFB", "aBF", ...).
struct LevellingMethod {
    QString name;
    int readingsPerSight = 1;  // 1 for BF and aBF, 2 for the double methods
};

// The method of this name (BF, aBF: one reading a sight; BFFB, BFBF, BBFF, FBBF, aBFFB, aBBFF: two), or
// nothing for a name no levelling method has.
std::optional<LevellingMethod> methodNamed(std::string_view name);

// How far our sums may stray from the instrument's running values before the line is flagged.
inline constexpr double kHeightTolerance = 0.05e-3;  // m
inline constexpr double kLengthTolerance = 0.1;      // m

struct LevelLine {
    QString start;  // the start benchmark
    QString end;    // the end benchmark
    LevellingMethod method;
    long fileLine = 0;  // the line of the file where the levelling line starts
    int setups = 0;
    double dh = 0;          // m: the sum over the set-ups of mean back minus mean fore reading
    double length = 0;      // m: the sum of the sight distances (mean per sight)
    double largestSpread = 0;  // m: the largest difference between a sight's two readings
    double balance = 0;     // m: back minus fore sight distances
    std::optional<double> instrumentDh;      // m, when the file holds the running height
    std::optional<double> instrumentLength;  // m, when the file holds the running length

    // True unless a running value the file holds strays from ours beyond the tolerance.
    bool agrees() const;
};

enum class SightKind { Back, Fore, Intermediate };

using LineHandler = std::function<void(LevelLine&& line)>;

// Gathers the sightings of one file's lines into LevelLines. `where` names the file in messages.
class LineBuilder {
 public:
    LineBuilder(QString where, LineHandler handle) : where_(std::move(where)), handle_(std::move(handle)) {}

    // A new line begins at `fileLine` (the line before it, if any, is finished).
    void begin(const LevellingMethod& method, long fileLine);
    // A staff reading with its sight distance (m). Throws Failure naming the file line when it
    // comes outside a line.
    void sight(SightKind kind, std::string_view point, double reading, std::optional<double> distance, long fileLine);
    // The instrument's running height and running line length, as met in the line.
    void runningHeight(double height);
    void runningLength(double length) { if (open_) line_.instrumentLength = length; }
    // The instrument's own height difference of the line (M5 "Sh"), taken over the running heights.
    void instrumentDifference(double dh) { if (open_) instrumentDh_ = dh; }
    // Finishes the open line. Throws Failure when its last set-up lacks a reading.
    void finish(long fileLine);
    int linesHandedOn() const { return handed_; }

 private:
    void closeSetup();
    QString where_;
    LineHandler handle_;
    bool open_ = false;
    LevelLine line_;
    std::optional<double> firstHeight_, lastHeight_, instrumentDh_;
    // The set-up being gathered.
    std::vector<double> back_, fore_, backDistance_, foreDistance_;
    std::string backPoint_, forePoint_;
    long setupLine_ = 0;
    int handed_ = 0;
};

}  // namespace korvane::convert::level
