// The point table of the conversion: known points first (entries 1..k in input order), then
// every observation end point in order of first appearance. An entry's number is the point's
// number in level.inp and throughout the adjustment.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnex {

class PointTable {
public:
    explicit PointTable(int capacity) : capacity_(capacity) {}

    // Appends a known point (known points are never merged, even under one name).
    // Returns its number, or 0 when the table is full.
    int appendKnown(std::string_view name);
    // The number of the first entry named `name` (all 10 characters compared); a name not yet
    // in the table is appended. Returns 0 when it would have to be appended to a full table.
    int findOrAppend(std::string_view name);

    int size() const { return static_cast<int>(names_.size()); }
    // Name of point `number` (1-based), 10 characters.
    const std::string& name(int number) const { return names_[static_cast<std::size_t>(number - 1)]; }

private:
    int append(std::string name);

    int capacity_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, int> firstNumber_;  // the first match of a linear search
};

// Line code of an observation: from-point number x 10000 + to-point number.
inline long lineCode(int from, int to)
{
    return static_cast<long>(from) * 10000 + to;
}

}  // namespace tarnex
