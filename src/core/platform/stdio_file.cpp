#include "core/platform/stdio_file.h"

#include <new>

#include "core/platform/file.h"

namespace psw {

PmcFile* pmc_file_open(const char* path, bool truncate) noexcept
{
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    // Binary mode: the lines end as the logger writes them, on Windows too.
    FILE* stream = std::fopen(path, truncate ? "wb" : "ab");
    if (stream == nullptr) {
        return nullptr;
    }
    auto* file = new (std::nothrow) PmcFile{stream};
    if (file == nullptr) {
        std::fclose(stream);
    }
    return file;
}

bool pmc_file_write(PmcFile* file, const char* data, size_t length) noexcept
{
    if (file == nullptr) {
        return false;
    }
    const size_t written = std::fwrite(data, 1, length, file->stream);
    return std::fflush(file->stream) == 0 && written == length;
}

void pmc_file_close(PmcFile* file) noexcept
{
    if (file != nullptr) {
        std::fclose(file->stream);
        delete file;
    }
}

}  // namespace psw
