#include "plugin/parameter_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tvx {

// A bulk change stores only what it changes, so a controller moved by MIDI
// learn meanwhile keeps its value; changes for the editor are taken once.
TEST(ParameterStore, PublishKeepsOtherWritesAndChangesAreTakenOnce) {
    ParameterStore store;
    float before[kNumParameters], edit[kNumParameters];
    store.copyTo(before);
    store.copyTo(edit);
    edit[Osc1Pos] = 0.25f;
    store.set(Flt1Cut, 0.75f);  // written while the edit was being prepared
    store.publishChanges(before, edit);
    EXPECT_EQ(store.get(Osc1Pos), 0.25f);
    EXPECT_EQ(store.get(Flt1Cut), 0.75f);
    EXPECT_EQ(store.get(-1), 0.0f);
    EXPECT_EQ(store.get(kNumParameters), 0.0f);

    store.markChanged(Flt1Cut);
    EXPECT_TRUE(store.takeChanged(Flt1Cut));
    EXPECT_FALSE(store.takeChanged(Flt1Cut));
    EXPECT_FALSE(store.takeChanged(Osc1Pos));
}

// A snapshot taken while another thread publishes whole sounds is always one
// of those sounds, never a mixture.
TEST(ParameterStore, SnapshotsNeverMixTwoPublishedStates) {
    ParameterStore store;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        float sound[kNumParameters];
        for (int round = 0; !done.load(); ++round) {
            for (float& v : sound) v = static_cast<float>(round % 2);
            store.publish(sound);
            // Leaves the reader gaps between publishes even on a busy machine.
            std::this_thread::yield();
        }
    });
    float snapshot[kNumParameters] = {};
    int taken = 0, mixed = 0;
    for (int i = 0; i < 2000000 && taken < 1000; ++i) {
        if (!store.snapshot(snapshot)) continue;
        ++taken;
        for (float v : snapshot) mixed += v != snapshot[0];
    }
    done.store(true);
    writer.join();
    EXPECT_EQ(mixed, 0);
    EXPECT_GT(taken, 0);
}

}  // namespace tvx
