#include "engine.h"

#include "channels.h"
#include "conversion.h"
#include "engine_stop.h"
#include "field_reader.h"
#include "file_units.h"
#include "lev1.h"
#include "startup.h"

namespace tarnex {

namespace {

int run(EngineSession& session, Console& console, const std::optional<std::string>& inputFile)
{
    writeStartBanner(console);
    std::string name;
    if (inputFile) {
        name = *inputFile;
        if (!inputFileExists(name, session.folder))
            throw EngineStop{"the input file " + name + " does not exist"};
    } else {
        writeFileNamePrompt(console);
        name = OFILOPN(session.answers, console, session.folder);
    }
    UnitTable units;
    LineFile input(inputFilePath(name, session.folder), fileNameAsTyped(name));
    const ConversionCounts counts = convertInputFile(input, console, units, session.folder);
    if (counts.knownPoints == 0)
        throw EngineStop{input.displayName() +
                         " lists no known point: the heights have no datum and the network cannot be adjusted "
                         "(known points follow the first -99 line)"};
    return LEV1(session.folder, name, console);
}

}  // namespace

int runEngine(EngineSession& session, const std::optional<std::string>& inputFile)
{
    Console console(session.console);
    try {
        return run(session, console, inputFile);
    } catch (const EngineStop& stop) {
        if (!stop.message.empty())
            session.errors << "tarnex: " << stop.message << '\n';
        console.plain("Stop - Program terminated.");
        session.console.flush();
        return kExitStopped;
    }
}

}  // namespace tarnex
