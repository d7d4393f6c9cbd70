#pragma once

#include <string>

// File names and the output of desktop tools are UTF-8 bytes on Linux,
// whatever locale the host process has set.
std::string toUtf8(const std::wstring& text);
// Malformed bytes become U+FFFD.
std::wstring fromUtf8(const std::string& text);
