#include "lev1.h"

#include "conversion.h"
#include "engine_stop.h"
#include "lev1_stages.h"

namespace tarnex {

int LEV1(const std::filesystem::path& folder, std::string_view inputFileName, Console& console)
{
    ScratchFile scratch(folder / kObservationScratchName);
    Adjustment a(console, folder / kWorkFileName, scratch.path());
    a.report.create(folder / kReportFileName, kReportFileName);
    a.dump.create(folder / kDumpFileName, kDumpFileName);

    writeHeadings(a, inputFileName);
    readNetworkSize(a);
    numberUnknowns(a);
    weighObservations(a);
    approximateHeights(a);
    readNamesAndKnownPoints(a);
    shiftOntoDatum(a);
    countFreedom(a);
    formNormalEquations(a);
    solveNormalEquations(a);
    computeResiduals(a);
    writeAdjustedHeights(a);
    analyseReliability(a);

    a.report.close();
    a.dump.close();
    console.write(" normal end O.K");
    return kExitNormal;
}

}  // namespace tarnex
