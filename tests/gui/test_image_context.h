#pragma once

// The offscreen context of the backend this build draws with, so the same
// pixel tests check cairo natively and GDI+ under Wine.
#ifdef _WIN32
#include "gui/win32/gdi_image_context.h"
#else
#include "gui/cairo/cairo_image_context.h"

#include <cairo.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#endif

namespace tvx {

#ifdef _WIN32
using TestImageContext = GdiImageContext;
#else
using TestImageContext = CairoImageContext;

// cairo and fontconfig keep their font caches for the life of the process;
// a test process lets go of them at its end so the leak checker of the
// sanitizer build sees only real leaks. fontconfig is reached through
// cairo, so its clean-up is looked up rather than linked.
class CairoCachesRelease : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        using Fini = void (*)();
        if (auto fini = reinterpret_cast<Fini>(dlsym(RTLD_DEFAULT, "FcFini"))) fini();
    }
};

inline ::testing::Environment* const kCairoCachesRelease =
    ::testing::AddGlobalTestEnvironment(new CairoCachesRelease);
#endif

}  // namespace tvx
