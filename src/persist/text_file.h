#pragma once

#include <string>

namespace tvx {

// The program's text files (presets, sequences, settings) hold one byte per
// character and CR LF line ends on every system.

// Reads the whole file; each byte becomes one character and a CR right before
// a LF is dropped. False when the file cannot be opened or read.
bool readTextFile(const std::wstring& path, std::wstring& text);

// Writes the text with every LF stored as CR LF (characters above 0xFF become
// '?'). The bytes go to a temporary file beside `path` that then replaces it,
// so a failed write never damages the file already there. False on any
// failure, and the temporary file is removed.
bool writeTextFile(const std::wstring& path, const std::wstring& text);

// The temporary file name used by writeTextFile.
std::wstring temporaryPathFor(const std::wstring& path);

}  // namespace tvx
