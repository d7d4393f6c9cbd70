#pragma once

#include <string>
#include <vector>

namespace tvx {

namespace vsthost {

// Writes a stereo WAV file of 32-bit float samples.
bool writeWavFile(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
                  int sampleRate, std::string& error);

}  // namespace vsthost

}  // namespace tvx
