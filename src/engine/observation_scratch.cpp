#include "observation_scratch.h"

#include "engine_stop.h"

#include <cstring>

namespace tarnex {

ObservationScratch::ObservationScratch(const std::filesystem::path& path)
{
    file_ = std::fopen(path.c_str(), "w+b");
    if (!file_)
        throw EngineStop{"cannot create the scratch file temp.dat"};
}

ObservationScratch::~ObservationScratch()
{
    if (file_)
        std::fclose(file_);
}

namespace {

constexpr std::size_t kRecordSize = sizeof(std::int32_t) + 3 * sizeof(double);

}  // namespace

void ObservationScratch::append(const ObservationRecord& record)
{
    unsigned char bytes[kRecordSize];
    std::memcpy(bytes, &record.code, sizeof record.code);
    std::memcpy(bytes + 4, &record.weight, sizeof(double));
    std::memcpy(bytes + 12, &record.dh, sizeof(double));
    std::memcpy(bytes + 20, &record.distance, sizeof(double));
    if (std::fwrite(bytes, kRecordSize, 1, file_) != 1)
        throw EngineStop{"could not write the scratch file temp.dat"};
}

void ObservationScratch::rewind()
{
    std::fflush(file_);
    std::rewind(file_);
}

bool ObservationScratch::next(ObservationRecord& record)
{
    unsigned char bytes[kRecordSize];
    if (std::fread(bytes, kRecordSize, 1, file_) != 1)
        return false;
    std::memcpy(&record.code, bytes, sizeof record.code);
    std::memcpy(&record.weight, bytes + 4, sizeof(double));
    std::memcpy(&record.dh, bytes + 12, sizeof(double));
    std::memcpy(&record.distance, bytes + 20, sizeof(double));
    return true;
}

}  // namespace tarnex
