// The scratch file temp.dat: one binary record per observation (line code as a 32-bit integer,
// weight p, dh and distance as 64-bit floats), written once by the weighting pass and read
// back from its start by each later stage. Deleted at the end of the run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace tarnex {

struct ObservationRecord {
    std::int32_t code = 0;
    double weight = 0.0;
    double dh = 0.0;
    double distance = 0.0;
};

class ObservationScratch {
public:
    explicit ObservationScratch(const std::filesystem::path& path);
    ~ObservationScratch();
    ObservationScratch(const ObservationScratch&) = delete;
    ObservationScratch& operator=(const ObservationScratch&) = delete;

    void append(const ObservationRecord& record);
    // Back to the first record, for reading.
    void rewind();
    bool next(ObservationRecord& record);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace tarnex
