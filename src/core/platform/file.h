// The few file operations the log file output needs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace psw {

struct PmcFile;

// Opens a text file for writing at its end (truncate = false) or emptied (truncate = true).
// Returns null when the file cannot be opened.
// the caller owns the result and releases it with pmc_file_close()
PmcFile* pmc_file_open(const char* path, bool truncate) noexcept;
// Writes the bytes and flushes them; false when not everything was written.
// borrowed: `file` stays the caller's; `data` is only read
bool pmc_file_write(PmcFile* file, const char* data, size_t length) noexcept;
// The file's current length in bytes.
// borrowed: `file` stays the caller's
uint64_t pmc_file_size(PmcFile* file) noexcept;
// takes ownership of `file` and frees it; null is ignored
void pmc_file_close(PmcFile* file) noexcept;

// borrowed: the paths here are only read
bool pmc_file_exists(const char* path) noexcept;
bool pmc_file_remove(const char* path) noexcept;
bool pmc_file_rename(const char* from, const char* to) noexcept;

}  // namespace psw
