#pragma once

#include <string>

namespace tvx {

// File names and the output of desktop tools are UTF-8 bytes on Linux,
// whatever locale the host process has set.
std::string encodeUtf8(const std::wstring& text);
// Malformed bytes become U+FFFD.
std::wstring decodeUtf8(const std::string& text);

}  // namespace tvx
