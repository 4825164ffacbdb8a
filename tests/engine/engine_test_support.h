// Helpers of the engine tests: a temporary folder, files in it, and runs of the engine, either
// in-process or as the real tarnex binary.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarnex_test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
// Lines joined with CR LF, the way the workbench writes engine input files.
void writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines);
std::string readFile(const std::filesystem::path& path);
std::string goldenFile(const std::string& name);
std::string exampleFile(const std::string& name);

struct RunResult {
    int status = -1;
    std::string console;
    std::string errors;
};

// The engine in this process, in `folder`; `answers` is what is typed at the prompt.
RunResult runInProcess(const std::filesystem::path& folder, const std::string& answers,
                       const std::vector<std::string>& arguments = {});
// The real tarnex binary, started in `folder` with `answers` on its standard input.
RunResult runBinary(const std::filesystem::path& folder, const std::string& answers,
                    const std::vector<std::string>& arguments = {});

// Input-file line with its fields in their columns: A10,A10,F10.0,F10.0,F10.0.
std::string observationLine(const std::string& from, const std::string& to, const std::string& dh,
                            const std::string& dist, const std::string& grade);
// Known-point line: A10,F10.0,F10.0.
std::string knownPointLine(const std::string& name, const std::string& elevation, const std::string& sigma);

// The console as the engine shows it for a record: without its first character.
std::string shown(const std::string& record);

}  // namespace tarnex_test
