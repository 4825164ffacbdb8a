#include "deformation.h"

namespace korvane::deformation {

DeformationResult analyseDeformation(std::vector<EpochInput>, const DeformationOptions&, const analysis::Progress&)
{
    throw DeformationFailure("the monitoring is not built yet");
}

}  // namespace korvane::deformation
