#include "channels.h"

#include "engine_stop.h"

namespace tarnex {

void Console::write(std::string_view record)
{
    if (!record.empty())
        out_ << record.substr(1);
    out_ << '\n';
}

void Console::prompt(std::string_view record)
{
    if (!record.empty())
        out_ << record.substr(1);
    out_.flush();
}

void Console::plain(std::string_view text)
{
    out_ << text << '\n';
}

void RecordFile::create(const std::filesystem::path& path, std::string_view displayName)
{
    close();
    displayName_ = displayName;
    // A new file in place of the old one: truncating a file the size of a report would make the
    // file system write it out on close, which costs more than the whole run.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        throw EngineStop{"cannot create the file " + displayName_};
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

void RecordFile::write(std::string_view record)
{
    if (!file_)
        return;
    // An empty record is its line end alone (its text may have no storage at all).
    if (!record.empty())
        std::fwrite(record.data(), 1, record.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
}

void RecordFile::close()
{
    if (!finish())
        throw EngineStop{"could not write the file " + displayName_};
}

bool RecordFile::finish()
{
    if (!file_)
        return true;
    const bool failed = std::ferror(file_) != 0;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    return !failed && !closeFailed;
}

}  // namespace tarnex
