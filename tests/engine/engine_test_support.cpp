#include "engine_test_support.h"

#include "engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnex_test {

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string padded(const std::string& text, std::size_t width, bool right)
{
    if (text.size() >= width)
        return text;
    const std::string blanks(width - text.size(), ' ');
    return right ? blanks + text : text + blanks;
}

}  // namespace

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tarnex-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    writeFile(path, bytes);
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string goldenFile(const std::string& name)
{
    return readFile(std::filesystem::path(ENGINE_GOLDEN_DIR) / name);
}

std::string exampleFile(const std::string& name)
{
    return readFile(std::filesystem::path(ENGINE_EXAMPLES_DIR) / name);
}

RunResult runInProcess(const std::filesystem::path& folder, const std::string& answers,
                       const std::vector<std::string>& arguments)
{
    std::istringstream in(answers);
    std::ostringstream console;
    std::ostringstream errors;
    tarnex::EngineSession session{in, console, errors, folder};
    std::optional<std::string> inputFile;
    if (!arguments.empty())
        inputFile = arguments.front();
    RunResult result;
    result.status = tarnex::runEngine(session, inputFile);
    result.console = console.str();
    result.errors = errors.str();
    return result;
}

RunResult runBinary(const std::filesystem::path& folder, const std::string& answers,
                    const std::vector<std::string>& arguments)
{
    const std::filesystem::path in = folder / ".answers";
    const std::filesystem::path out = folder / ".console";
    const std::filesystem::path err = folder / ".errors";
    writeFile(in, answers);
    std::string command = "cd " + shellQuoted(folder.string()) + " && " + shellQuoted(TARNEX_BINARY);
    for (const std::string& argument : arguments)
        command += " " + shellQuoted(argument);
    command += " < " + shellQuoted(in.string()) + " > " + shellQuoted(out.string()) + " 2> " +
               shellQuoted(err.string());
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.console = readFile(out);
    result.errors = readFile(err);
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

std::string observationLine(const std::string& from, const std::string& to, const std::string& dh,
                            const std::string& dist, const std::string& grade)
{
    return padded(from, 10, false) + padded(to, 10, false) + padded(dh, 10, true) + padded(dist, 10, true) +
           padded(grade, 10, true);
}

std::string knownPointLine(const std::string& name, const std::string& elevation, const std::string& sigma)
{
    return padded(name, 10, false) + padded(elevation, 10, true) + padded(sigma, 10, true);
}

std::string shown(const std::string& record)
{
    return record.empty() ? record : record.substr(1);
}

}  // namespace tarnex_test
