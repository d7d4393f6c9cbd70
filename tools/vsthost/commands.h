#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tvx {

namespace vsthost {

// Runs one vsthost command line (without the program name); returns the
// process exit status. Errors are one line on `err`.
int runCommandLine(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace vsthost

}  // namespace tvx
