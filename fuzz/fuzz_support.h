#pragma once

// Shared pieces of the fuzz targets: an isolated home folder, a quiet
// platform, a scriptable host and the output check.

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "plugin/vst_abi.h"

namespace tvx {

namespace fuzz {

// Points XDG_DATA_HOME at a fresh folder under /tmp before any instance
// exists, so file commands never reach the user's real data. Created once
// per process and removed at exit.
inline const std::filesystem::path& isolatedDataHome() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("tvx_fuzz_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        ::setenv("XDG_DATA_HOME", path.c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(
                std::filesystem::temp_directory_path() / ("tvx_fuzz_" + std::to_string(::getpid())), ignored);
        });
        return path;
    }();
    return folder;
}

inline std::filesystem::path homeFolder() {
    return isolatedDataHome() / "Morrowfen Software" / "Tessaravox";
}

// The real platform, except that dialogs are cancelled, message boxes are
// swallowed and nothing is opened in a file browser.
class QuietPlatform final : public Platform {
public:
    explicit QuietPlatform(Platform& real) : real_(real) {}
    std::wstring moduleFilePath() override { return std::wstring(); }  // no portable home folder
    std::wstring localDataFolder() override { return real_.localDataFolder(); }
    bool createDirectory(const std::wstring& path) override { return real_.createDirectory(path); }
    bool pathExists(const std::wstring& path) override { return real_.pathExists(path); }
    bool isDirectory(const std::wstring& path) override { return real_.isDirectory(path); }
    std::vector<FolderEntry> listFolder(const std::wstring& folder, const std::wstring& pattern) override {
        return real_.listFolder(folder, pattern);
    }
    void openFolder(const std::wstring&) override {}
    std::optional<std::wstring> openFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::wstring> saveFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    void messageBox(const std::wstring&, const std::wstring&, MessageIcon) override { ++messages; }
    int messages = 0;

private:
    Platform& real_;
};

// Sets up the isolated home and the quiet platform once per process.
inline QuietPlatform& quietPlatform() {
    isolatedDataHome();
    static QuietPlatform quiet(platform());
    static const bool installed = (setPlatformForTesting(&quiet), true);
    (void)installed;
    return quiet;
}

// What the host answers to audioMasterGetTime; the session fuzzer changes it.
struct HostState {
    VstTimeInfo time{};
    bool giveTime = true;
};

inline HostState& hostState() {
    static HostState state;
    return state;
}

inline VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterGetTime:
            return hostState().giveTime ? reinterpret_cast<VstIntPtr>(&hostState().time) : 0;
        default: return 0;
    }
}

inline void resetHostState() {
    HostState& state = hostState();
    state = HostState();
    state.time.tempo = 120.0;
    state.time.timeSigNumerator = 4;
    state.time.timeSigDenominator = 4;
    state.time.sampleRate = 44100.0;
    state.time.flags = kVstTempoValid | kVstTimeSigValid;
}

constexpr float kOutputLimit = 1.41254f;

// Aborts (a finding) when a sample is not finite or beyond the output limit.
template <typename Sample>
void checkOutput(const Sample* samples, int count, const char* what) {
    for (int i = 0; i < count; ++i) {
        const double x = static_cast<double>(samples[i]);
        if (!std::isfinite(x) || std::fabs(x) > kOutputLimit) {
            std::fprintf(stderr, "%s: sample %d of the block is %g\n", what, i, x);
            std::abort();
        }
    }
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace fuzz

}  // namespace tvx
