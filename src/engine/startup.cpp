#include "startup.h"

#include "big5_texts.h"
#include "engine_stop.h"
#include "fixed_fields.h"
#include "engine_limits.h"

#include <array>

namespace tarnex {

void writeStartBanner(Console& console)
{
    static constexpr std::string_view kStars = "**********************************************";
    static constexpr std::string_view kEmpty = "*                                            *";
    const std::array<std::string_view, 14> lines = {
        kStars,
        kStartBannerTitle,
        kEmpty,
        kEmpty,
        "* ADJUSTMENT OF LEVELING NETWORK             *",
        "*         VERSION 2.01  1997.09              *",
        kEmpty,
        "* input differential leveling data format:   *",
        "* (a80) job title                            *",
        "* (2A10,2F10.0,f10.0)from,to,dh,dist,grade   *",
        "* -99                                        *",
        "* (A10,F10.0,F10.0)name,elev,sigma           *",
        "* -99                                        *",
        kStars,
    };
    console.empty();
    for (std::string_view line : lines)
        console.write(Record().X(16).A(line));
}

void writeFileNamePrompt(Console& console)
{
    console.empty();
    console.empty();
    console.prompt(Record().X(15).A(kFileNamePrompt));
}

std::string fileNameAsTyped(std::string_view name)
{
    const auto end = name.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(name.substr(0, end + 1));
}

std::filesystem::path inputFilePath(std::string_view name, const std::filesystem::path& folder)
{
    return folder / fileNameAsTyped(name);
}

bool inputFileExists(std::string_view name, const std::filesystem::path& folder)
{
    if (fileNameAsTyped(name).empty())
        return false;
    std::error_code error;
    const auto status = std::filesystem::status(inputFilePath(name, folder), error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

std::string OFILOPN(std::istream& answers, Console& console, const std::filesystem::path& folder)
{
    std::string line;
    while (true) {
        if (!std::getline(answers, line))
            throw EngineStop{"no input file name: standard input ended while the name of the engine input file was awaited"};
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string name = line.substr(0, kFileNameLength);
        if (inputFileExists(name, folder))
            return name;
        console.write(" file not exist, please reenter =?");
    }
}

std::string DELBAK(std::string_view name)
{
    std::string field = std::string(name.substr(0, kNameLength));
    field.resize(kNameLength, ' ');
    const auto first = field.find_first_not_of(' ');
    if (first == std::string::npos)
        return field;
    std::string shifted = field.substr(first);
    shifted.resize(kNameLength, ' ');
    return shifted;
}

bool isTerminator(std::string_view shiftedName)
{
    const auto end = shiftedName.find_last_not_of(' ');
    const std::string_view word = end == std::string_view::npos ? std::string_view() : shiftedName.substr(0, end + 1);
    return word == "-99" || word == "-999";
}

void capacityStop(Console& console, int capacity)
{
    console.empty();
    console.write(Record().X(15).A(kCapacityWarning).I(capacity, 6));
    throw EngineStop{};
}

void writeSummary(Console& console, const ConversionCounts& counts)
{
    console.empty();
    console.empty();
    console.write(Record().X(9).A(kSummaryObservations).I(counts.observations, 6));
    console.write(Record().X(9).A(kSummaryPoints).I(counts.points, 6));
    console.write(Record().X(9).A(kSummaryKnownPoints).I(counts.knownPoints, 6));
    console.write(Record().X(9).A(kSummaryFreedom).I(counts.degreeOfFreedom(), 6));
}

}  // namespace tarnex
