#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "params/number_text.h"

namespace tvx {

// The text that stores a whole sound, shared by preset files and the host
// chunk: one "Key=value" line per parameter in index order (value with six
// decimals), then "PresetName=<name>", every line ending in LF.
std::wstring buildPresetText(const float* params, const std::wstring& presetName);

// Resets `params` to `defaults` and empties `presetName`, then applies every
// "Key=value" line of the text; later lines win, unknown keys and lines
// without "=" are skipped, unreadable numbers give 0. Never fails.
void parsePresetText(const wchar_t* text, size_t length, const float* defaults, float* params,
                     std::wstring& presetName);
inline void parsePresetText(const std::wstring& text, const float* defaults, float* params,
                            std::wstring& presetName) {
    parsePresetText(text.data(), text.size(), defaults, params, presetName);
}

// Exact, case-sensitive parameter key look-up over a text range; -1 when unknown.
int findParameterKey(const wchar_t* key, size_t length);
bool isPresetNameKey(const wchar_t* key, size_t length);

// Walks the "Key=value" lines of a text: `applyValue(id, value)` for each
// parameter key, `applyName(begin, end)` with the value text of a PresetName
// line. The key is the text before the first "="; lines end at LF. Shared by
// the preset and sequence readers; linear in the length of the text.
template <typename ApplyValue, typename ApplyName>
void forEachPresetLine(const wchar_t* text, size_t length, ApplyValue applyValue, ApplyName applyName) {
    const wchar_t* end = text + length;
    for (const wchar_t* line = text; line < end;) {
        const wchar_t* lineEnd = line;
        const wchar_t* equals = nullptr;
        for (; lineEnd < end && *lineEnd != L'\n'; ++lineEnd)
            if (!equals && *lineEnd == L'=') equals = lineEnd;
        if (equals) {
            size_t keyLength = static_cast<size_t>(equals - line);
            int id = findParameterKey(line, keyLength);
            if (id >= 0)
                applyValue(id, static_cast<float>(parseDecimal(equals + 1, lineEnd)));
            else if (isPresetNameKey(line, keyLength))
                applyName(equals + 1, lineEnd);
        }
        line = lineEnd + 1;
    }
}

// The chunk form: UTF-16LE code units, no byte-order mark, no terminator.
// wchar_t is 32 bits on some systems, so both directions convert explicitly
// (surrogate pairs there, a plain copy where wchar_t is 16 bits).
std::vector<unsigned char> wideToUtf16Le(const std::wstring& text);
// Takes byteSize / 2 code units; an odd last byte is ignored.
std::wstring utf16LeToWide(const void* data, size_t byteSize);

}  // namespace tvx
