#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "vsthost/commands.h"

// Runs one vsthost command line in this process and keeps what it printed.
struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

inline std::string readBackAndClose(std::FILE* f) {
    std::string text;
    std::rewind(f);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
    std::fclose(f);
    return text;
}

inline CommandResult runVsthost(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int status = vsthost::runCommandLine(args, out, err);
    return {status, readBackAndClose(out), readBackAndClose(err)};
}
