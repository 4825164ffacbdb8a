#include "observation_scratch.h"

#include "engine_stop.h"

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

void ObservationScratch::append(const ObservationRecord& record)
{
    const bool written = std::fwrite(&record.code, sizeof record.code, 1, file_) == 1 &&
                         std::fwrite(&record.weight, sizeof record.weight, 1, file_) == 1 &&
                         std::fwrite(&record.dh, sizeof record.dh, 1, file_) == 1 &&
                         std::fwrite(&record.distance, sizeof record.distance, 1, file_) == 1;
    if (!written)
        throw EngineStop{"could not write the scratch file temp.dat"};
}

void ObservationScratch::rewind()
{
    std::fflush(file_);
    std::rewind(file_);
}

bool ObservationScratch::next(ObservationRecord& record)
{
    return std::fread(&record.code, sizeof record.code, 1, file_) == 1 &&
           std::fread(&record.weight, sizeof record.weight, 1, file_) == 1 &&
           std::fread(&record.dh, sizeof record.dh, 1, file_) == 1 &&
           std::fread(&record.distance, sizeof record.distance, 1, file_) == 1;
}

}  // namespace tarnex
