// cairo and fontconfig keep font caches for the life of the process; they
// are given back at the end of a test program so that the leak checker of
// the sanitizer build reports only what the program itself failed to free.
#ifndef _WIN32
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

class CairoStaticData : public ::testing::Environment {
public:
    void TearDown() override {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new CairoStaticData);

}  // namespace
#endif
