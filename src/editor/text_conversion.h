#pragma once

#include <string>

namespace tvx {

// File, theme and bank names are wide; the toolkit draws UTF-8.
std::string toUtf8(const std::wstring& text);
// A file's name without its folder and without the part from the last ".".
std::wstring fileTitle(const std::wstring& path);

}  // namespace tvx
