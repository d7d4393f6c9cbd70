#include "vsthost/plugin_host.h"

#include <cstring>
#include <mutex>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tvx {

namespace vsthost {

namespace {

typedef AEffect*(VSTCALLBACK* PluginEntry)(audioMasterCallback);

// The host callback receives no user pointer of its own while the entry
// point runs (the AEffect does not exist yet), so the host being loaded is
// remembered here for that moment.
PluginHost* gLoadingHost = nullptr;
std::mutex gLoadingMutex;

#if defined(_WIN32)
std::wstring widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], n);
    return w;
}

void* openLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryW(widen(path).c_str());
    if (!module) error = "cannot load '" + path + "' as a plug-in library (error " + std::to_string(GetLastError()) + ")";
    return module;
}
void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
void* openLibrary(const std::string& path, std::string& error) {
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = "cannot load '" + path + "' as a plug-in library: " + (reason ? reason : "unknown reason");
    }
    return handle;
}
void* findSymbol(void* library, const char* name) { return dlsym(library, name); }
void closeLibrary(void* library) { dlclose(library); }
#endif

bool fileReadable(const std::string& path, std::string& error) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    return true;
}

}  // namespace

PluginHost::PluginHost() = default;

PluginHost::~PluginHost() { unload(); }

bool PluginHost::load(const std::string& path, std::string& error) {
    unload();
    if (!fileReadable(path, error)) return false;
    library_ = openLibrary(path, error);
    if (!library_) return false;
    auto entry = reinterpret_cast<PluginEntry>(findSymbol(library_, "VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<PluginEntry>(findSymbol(library_, "main"));
    if (!entry) {
        error = "'" + path + "' is not a VST 2.4 plug-in (no VSTPluginMain or main export)";
        closeLibrary(library_);
        library_ = nullptr;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(gLoadingMutex);
        gLoadingHost = this;
        effect_ = entry(hostCallback);
        gLoadingHost = nullptr;
    }
    if (!effect_) {
        error = "the plug-in's entry point returned no instance";
    } else if (effect_->magic != kEffectMagic) {
        error = "the plug-in's entry point returned a record without the VST magic number";
        effect_ = nullptr;
    } else {
        effect_->user = this;
        return true;
    }
    closeLibrary(library_);
    library_ = nullptr;
    return false;
}

VstIntPtr PluginHost::closeEffect() {
    if (!effect_) return 0;
    stop();
    VstIntPtr answer = effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
    effect_ = nullptr;
    return answer;
}

void PluginHost::unload() {
    closeEffect();
    if (library_) {
        closeLibrary(library_);
        library_ = nullptr;
    }
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

void PluginHost::start(double sampleRate, VstInt32 blockSize) {
    state_.sampleRate = sampleRate;
    state_.blockSize = blockSize;
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running_ = true;
}

void PluginHost::stop() {
    if (!running_) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

std::string PluginHost::effectName() {
    char text[256] = {};
    dispatch(effGetEffectName, 0, 0, text);
    return std::string(text, strnlen(text, sizeof(text) - 1));
}

std::string PluginHost::vendorString() {
    char text[256] = {};
    dispatch(effGetVendorString, 0, 0, text);
    return std::string(text, strnlen(text, sizeof(text) - 1));
}

std::string PluginHost::productString() {
    char text[256] = {};
    dispatch(effGetProductString, 0, 0, text);
    return std::string(text, strnlen(text, sizeof(text) - 1));
}

VstInt32 PluginHost::canDo(const char* text) {
    return static_cast<VstInt32>(dispatch(effCanDo, 0, 0, const_cast<char*>(text)));
}

VstIntPtr VSTCALLBACK PluginHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt) {
    PluginHost* host = (effect && effect->user) ? static_cast<PluginHost*>(effect->user) : gLoadingHost;
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterCurrentId: return effect_ ? effect_->uniqueID : 0;
        case audioMasterAutomate: state_.automations.emplace_back(index, opt); return 0;
        case audioMasterGetTime: {
            state_.timeInfoRequests.push_back(value);
            if (!state_.provideTimeInfo) return 0;
            VstTimeInfo& t = state_.timeInfo;
            t = VstTimeInfo{};
            t.samplePos = state_.samplePosition;
            t.sampleRate = state_.sampleRate;
            t.tempo = state_.tempo;
            t.ppqPos = state_.samplePosition / state_.sampleRate * state_.tempo / 60.0;
            t.timeSigNumerator = state_.timeSigNumerator;
            t.timeSigDenominator = state_.timeSigDenominator;
            t.flags = kVstTransportPlaying | kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
            return reinterpret_cast<VstIntPtr>(&t);
        }
        case audioMasterGetSampleRate: return static_cast<VstIntPtr>(state_.sampleRate);
        case audioMasterGetBlockSize: return state_.blockSize;
        case audioMasterGetCurrentProcessLevel: return 0;
        case audioMasterGetVendorString: if (ptr) std::strcpy(static_cast<char*>(ptr), "Tessaravox tools"); return 1;
        case audioMasterGetProductString: if (ptr) std::strcpy(static_cast<char*>(ptr), "vsthost"); return 1;
        case audioMasterGetVendorVersion: return 1;
        case audioMasterCanDo: {
            if (!ptr) return 0;
            const char* text = static_cast<const char*>(ptr);
            static const char* const kYes[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                               "receiveVstEvents", "receiveVstMidiEvent"};
            for (const char* yes : kYes)
                if (std::strcmp(text, yes) == 0) return 1;
            return 0;
        }
        case audioMasterUpdateDisplay: ++state_.updateDisplayCalls; return 1;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterIOChanged:
        case audioMasterIdle:
            return 0;
        default:
            (void)value;
            return 0;
    }
}

}  // namespace vsthost

}  // namespace tvx
