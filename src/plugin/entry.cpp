#include <new>

#include "plugin/plugin.h"

namespace tvx {

#if defined(_WIN32)
#define TVX_EXPORT extern "C" __declspec(dllexport)
#else
#define TVX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TVX_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    Plugin* plugin = nullptr;
    try {
        plugin = new Plugin(host);
    } catch (...) {
        return nullptr;
    }
    return plugin->getAeffect();
}

}  // namespace tvx
