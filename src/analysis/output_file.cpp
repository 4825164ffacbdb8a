#include "output_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace korvane::analysis {

void writeOutputFile(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write)
{
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out)
            throw std::runtime_error("cannot write " + path.string() + ": " + std::strerror(errno));
        write(out);
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw std::runtime_error("cannot write " + path.string() + ": the disk refused the data");
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw std::runtime_error("cannot write " + path.string() + ": " + error.message());
    }
}

}  // namespace korvane::analysis
