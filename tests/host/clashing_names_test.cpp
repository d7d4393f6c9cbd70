#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/plugin_test_support.h"

namespace tvx {

namespace {

// Another library that exports the names of our classes, loaded first and
// globally: the plug-in must neither bind to it nor lend it its own code.
TEST(ClashingNames, PluginAndALibraryWithOurClassNamesBothWork) {
    void* other = dlopen(TVX_CLASHING_LIBRARY_PATH, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(other, nullptr) << dlerror();
    using Check = int (*)();
    const auto check = reinterpret_cast<Check>(dlsym(other, "clashingLibraryCheck"));
    ASSERT_NE(check, nullptr);
    constexpr int kExpected = 0x5a5a + 13 + 1;
    EXPECT_EQ(check(), kExpected);

    {
        vsthost::PluginHost host;
        std::string error;
        ASSERT_TRUE(host.load(TVX_PLUGIN_PATH, error)) << error;
        host.start(44100.0, 256);
        AEffect* effect = host.effect();
        MidiBlock().add(0, 0x90, 69, 100).sendTo(host);
        std::vector<float> left(256), right(256);
        float peak = 0.0f;
        for (int block = 0; block < 40; ++block) {
            float* outputs[2] = {left.data(), right.data()};
            effect->processReplacing(effect, nullptr, outputs, 256);
            for (float v : left) peak = std::max(peak, std::fabs(v));
        }
        EXPECT_GT(peak, 0.01f);
        void* chunk = nullptr;
        EXPECT_GT(effect->dispatcher(effect, effGetChunk, 0, 0, &chunk, 0.0f), 0);
    }

    EXPECT_EQ(check(), kExpected);
    dlclose(other);
}

}  // namespace

}  // namespace tvx
