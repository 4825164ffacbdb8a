// Where the engine's records go: the console (standard output, "\n" line ends) and its record
// files (level.inp, level.out, level.dmp, tape3: CP950 text with CR LF line ends).
#pragma once

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

namespace tarnex {

// The console consumes the first character of every record as its line-control character:
// that character is not shown, so a record written as 16X + text shows 15 blanks + text.
class Console {
public:
    explicit Console(std::ostream& out) : out_(out) {}

    void write(std::string_view record);
    void empty() { write({}); }
    // Writes the record and leaves the line open for the answer typed after it.
    void prompt(std::string_view record);
    // A line shown as it stands (the run-time's own stop line).
    void plain(std::string_view text);

private:
    std::ostream& out_;
};

class RecordFile {
public:
    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile() { finish(); }

    // Creates the file, replacing an existing one; stops the engine when it cannot.
    void create(const std::filesystem::path& path, std::string_view displayName);
    void write(std::string_view record);
    void empty() { write({}); }
    void close();
    bool isOpen() const { return file_ != nullptr; }

private:
    bool finish();  // false when the file could not be written completely

    std::FILE* file_ = nullptr;
    std::string displayName_;
};

// A scratch file of one run (tape3, temp.dat): deleted when this goes out of scope, on every
// way the run ends.
class ScratchFile {
public:
    explicit ScratchFile(std::filesystem::path path) : path_(std::move(path)) {}
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace tarnex
