#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tvx {

namespace vsthost {

// "vsthost snapshot ..." and "vsthost edit ...": the plug-in's editor in a
// window of its own. `args` starts with the command name.
int runSnapshot(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
int runEdit(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace vsthost

}  // namespace tvx
