// The log file handle of the platform layer: a C stream, the same on every platform. Opening,
// writing and closing live in stdio_file.cpp; size, existence, removal and renaming are each
// platform's own.
#pragma once

#include <cstdio>

namespace psw {

struct PmcFile {
    FILE* stream;
};

}  // namespace psw
