#pragma once

#include <string>
#include <utility>
#include <vector>

#include "vsthost/plugin_host.h"

namespace tvx {

namespace vsthost {

// Steps shared by the commands that prepare a plug-in before using it. Each
// returns false with a one-line reason in `error`.

// The state chunk of a preset file, as the plug-in builds it from the text.
bool readPresetChunk(const std::string& path, std::vector<char>& chunk, std::string& error);
bool setChunk(PluginHost& host, std::vector<char>& chunk, std::string& error);
bool saveChunk(PluginHost& host, const std::string& path, std::string& error);
// "NAME=VALUE" options as parameter indices and values; NAME is an index,
// or for Tessaravox a parameter key.
bool resolveParameters(PluginHost& host, const std::vector<std::string>& sets,
                       std::vector<std::pair<int, float>>& parameters, std::string& error);

}  // namespace vsthost

}  // namespace tvx
