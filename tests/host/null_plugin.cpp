namespace tvx {

// A library with a VST entry point that refuses to create an instance, for
// testing how hosts report it.
#if defined(_WIN32)
#define NULL_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define NULL_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

NULL_PLUGIN_EXPORT void* VSTPluginMain(void*) { return nullptr; }

}  // namespace tvx
