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
        if (!out) {
            const int cause = errno;
            throw OutputFileFailure(path, false, std::error_code(cause, std::generic_category()),
                                    "cannot write " + path.string() + ": " + std::strerror(cause));
        }
        write(out);
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            throw OutputFileFailure(path, false, {}, "cannot write " + path.string() + ": the disk refused the data");
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw OutputFileFailure(path, false, error, "cannot write " + path.string() + ": " + error.message());
    }
}

}  // namespace korvane::analysis
