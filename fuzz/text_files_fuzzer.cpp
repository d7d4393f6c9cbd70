// Sequence files and Settings.txt from an untrusted home folder: any bytes
// must parse, and what the program writes back must read back to the same
// state (writing a second time gives the same text).

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"
#include "persist/config.h"
#include "persist/sequence_file.h"
#include "persist/text_file.h"

namespace tvx {

namespace {

void checkSequence(const std::wstring& text) {
    float params[kNumParameters];
    fillDefaultValues(params);
    parseSequenceText(text.data(), text.size(), params);
    const std::wstring saved = buildSequenceText(params);
    parseSequenceText(saved.data(), saved.size(), params);
    if (buildSequenceText(params) != saved) fuzz::fail("a saved sequence does not load back to the same values");
}

std::wstring settingsAfterRoundTrip(const std::wstring& settingsFile) {
    float params[kNumParameters];
    fillDefaultValues(params);
    Config config(params);
    config.readSettings();
    config.writeSettingsFile();
    std::wstring written;
    if (!readTextFile(settingsFile, written)) fuzz::fail("Settings.txt was not written");
    return written;
}

void checkSettings(const uint8_t* data, size_t size) {
    const std::wstring settingsFile = (fuzz::homeFolder() / "Settings.txt").wstring();
    {
        std::ofstream out(fuzz::homeFolder() / "Settings.txt", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::wstring first = settingsAfterRoundTrip(settingsFile);
    if (settingsAfterRoundTrip(settingsFile) != first) fuzz::fail("saved settings do not load back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietPlatform();
    // The readers give each byte one character, as readTextFile does.
    std::wstring text(data, data + size);
    checkSequence(text);
    checkSettings(data, size);
    return 0;
}

}  // namespace tvx
