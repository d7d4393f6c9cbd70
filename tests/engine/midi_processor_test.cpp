#include "engine/midi_processor.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvx {

namespace {

// Records what the dispatch hands to the voice manager's operations.
struct RecordingProcessor : MidiProcessor {
    std::vector<MidiEvent> notes;
    std::vector<int> learned;
    std::vector<std::pair<int, float>> toParameter;
    int allOff = 0;

    void noteEvent(const MidiEvent& e) override { notes.push_back(e); }
    void allNotesOff() override { ++allOff; }
    void learnController(int cc) override { learned.push_back(cc); }
    void controllerToParameter(int cc, float v) override { toParameter.push_back({cc, v}); }

    void render(int blockLength, bool sequencer = false) {
        for (int s = 0; s < blockLength; ++s) dispatchAt(s, sequencer);
        clearEvents();
    }
};

TEST(MidiProcessorTranslation, ControllersWithAMeaningMakeTwoEvents) {
    RecordingProcessor p;
    for (int cc : {1, 4, 11, 64, 74}) p.addMidiMessage(0, 0xB3, cc, 100);
    ASSERT_EQ(p.eventCount(), 10);
    const int kinds[] = {EventModWheel, EventFootPedal, EventExpression, EventSustain, EventBrightness};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.event(2 * i).kind, kinds[i]);
        EXPECT_EQ(p.event(2 * i + 1).kind, EventController);
        EXPECT_EQ(p.event(2 * i).channel, 3);
    }
    EXPECT_EQ(p.learned, (std::vector<int>{1, 4, 11, 64, 74}));
}

TEST(MidiProcessorTranslation, StatusBytesAndMasking) {
    RecordingProcessor p;
    p.addMidiMessage(0, 0x9F, 0xBC, 0xFF);  // data bytes masked to 7 bits
    p.addMidiMessage(0, 0xC0, 5, 0);        // program change: nothing
    p.addMidiMessage(0, 0xF8, 0, 0);        // system message: nothing
    p.addMidiMessage(0, 0xB0, 121, 0);      // 120..122 ignored
    p.addMidiMessage(0, 0xB2, 127, 0);      // all notes off
    p.addMidiMessage(0, 0xD1, 64, 0);
    p.addMidiMessage(0, 0x1B0, 7, 9);       // status masked to a byte
    ASSERT_EQ(p.eventCount(), 4);
    EXPECT_EQ(p.event(0).kind, EventNoteOn);
    EXPECT_EQ(p.event(0).channel, 15);
    EXPECT_EQ(p.event(0).data1, 0x3C);
    EXPECT_EQ(p.event(0).data2, 0x7F);
    EXPECT_EQ(p.event(1).kind, EventAllNotesOff);
    EXPECT_EQ(p.event(1).channel, 2);
    EXPECT_EQ(p.event(2).kind, EventChannelPressure);
    EXPECT_EQ(p.event(3).kind, EventController);
}

TEST(MidiProcessorControllers, PitchBendAndWheel) {
    RecordingProcessor p;
    p.addMidiMessage(0, 0xE0, 0, 64);
    p.render(1);
    EXPECT_FLOAT_EQ(p.controllers().pitchBend, 0.0f);
    p.addMidiMessage(0, 0xE0, 0, 0);
    p.render(1);
    EXPECT_FLOAT_EQ(p.controllers().pitchBend, -1.0f);
    p.addMidiMessage(0, 0xE0, 127, 127);
    p.render(1);
    EXPECT_FLOAT_EQ(p.controllers().pitchBend, 8191.0f / 8192.0f);

    p.addMidiMessage(0, 0xB0, 1, 127);
    p.addMidiMessage(0, 0xA0, 60, 127);
    p.render(1);
    EXPECT_FLOAT_EQ(p.controllers().modWheel, 1.0f);
    EXPECT_FLOAT_EQ(p.controllers().keyPressure[60], 1.0f);
    ASSERT_EQ(p.toParameter.size(), 1u);  // controller 1 also goes through the map
    EXPECT_EQ(p.toParameter[0].first, 1);
    EXPECT_FLOAT_EQ(p.toParameter[0].second, 1.0f);

    p.resetControllers();
    EXPECT_EQ(p.controllers().modWheel, 0.0f);
    EXPECT_EQ(p.controllers().keyPressure[60], 0.0f);
}

TEST(MidiProcessorDispatch, SustainDefersNoteOffsUntilOneSampleAfterPedalUp) {
    RecordingProcessor p;
    p.addMidiMessage(0, 0x90, 60, 100);
    p.addMidiMessage(1, 0xB0, 64, 127);
    p.addMidiMessage(2, 0x80, 60, 0);
    p.addMidiMessage(3, 0x90, 62, 0);  // velocity 0: a note off, deferred too
    p.addMidiMessage(5, 0xB0, 64, 63);
    for (int s = 0; s < 8; ++s) {
        p.dispatchAt(s, false);
        if (s == 5) { EXPECT_EQ(p.notes.size(), 1u); }
    }
    ASSERT_EQ(p.notes.size(), 3u);
    EXPECT_EQ(p.notes[1].data1, 60);
    EXPECT_EQ(p.notes[1].deltaFrames, 6);
    EXPECT_EQ(p.notes[2].data1, 62);
    EXPECT_EQ(p.notes[2].deltaFrames, 6);
}

TEST(MidiProcessorDispatch, EventsOutsideTheBlockAreNeverApplied) {
    RecordingProcessor p;
    p.addMidiMessage(-1, 0x90, 60, 100);
    p.addMidiMessage(64, 0x90, 61, 100);
    p.render(64);
    p.render(128);  // the queue was cleared after the first block
    EXPECT_TRUE(p.notes.empty());
}

TEST(MidiProcessorDispatch, SequencerTakesNotesSustainAndAllNotesOff) {
    RecordingProcessor p;
    p.addMidiMessage(0, 0x90, 60, 100);
    p.addMidiMessage(0, 0xB0, 64, 127);
    p.addMidiMessage(0, 0xB0, 123, 0);
    p.addMidiMessage(0, 0xB0, 11, 127);
    p.render(1, true);
    EXPECT_TRUE(p.notes.empty());
    EXPECT_EQ(p.allOff, 0);
    EXPECT_FALSE(p.sustainHeld());
    EXPECT_FLOAT_EQ(p.controllers().expression, 1.0f);
}

TEST(MidiProcessorDispatch, QueueKeepsHostOrderAndGrows) {
    RecordingProcessor p;
    for (int i = 0; i < 1000; ++i) p.addMidiMessage(i % 4, 0x90, i % 128, 1 + i % 127);
    p.render(4);
    ASSERT_EQ(p.notes.size(), 1000u);
    EXPECT_EQ(p.notes[0].data1, 0);
    EXPECT_EQ(p.notes[1].data1, 4);  // sample 0 first, in host order
}

}  // namespace

namespace {

// A pedal held through thousands of notes keeps one release per key, and the
// pedal-up releases each key once.
TEST(MidiProcessorDispatch, PedalHoldsBackOneReleasePerKey) {
    RecordingProcessor p;
    p.addMidiMessage(0, 0xB0, 64, 127);
    p.render(1);
    for (int block = 0; block < 100; ++block) {
        for (int i = 0; i < 100; ++i) {
            p.addMidiMessage(i, 0x90, (block + i) % 128, 100);
            p.addMidiMessage(i, 0x80, (block + i) % 128, 0);
        }
        p.render(100);
    }
    EXPECT_EQ(p.heldBackNoteOffs(), 128);
    p.notes.clear();
    p.addMidiMessage(0, 0xB0, 64, 0);
    p.render(2);
    EXPECT_EQ(p.notes.size(), 128u);
    EXPECT_EQ(p.heldBackNoteOffs(), 0);
}

// Positions from several host calls come in any order; the dispatch follows
// the position and keeps host order within one sample. A full queue drops
// what it cannot hold, but never a note-off: those are released after the
// block.
TEST(MidiProcessorDispatch, EventsInSampleOrderAndNoteOffsSurviveAFullQueue) {
    RecordingProcessor p;
    p.addMidiMessage(3, 0x90, 63, 100);
    p.addMidiMessage(1, 0x90, 61, 100);
    p.addMidiMessage(3, 0x90, 64, 100);
    p.addMidiMessage(0, 0x90, 60, 100);
    p.render(4);
    ASSERT_EQ(p.notes.size(), 4u);
    EXPECT_EQ(p.notes[0].data1, 60);
    EXPECT_EQ(p.notes[1].data1, 61);
    EXPECT_EQ(p.notes[2].data1, 63);
    EXPECT_EQ(p.notes[3].data1, 64);

    p.notes.clear();
    for (int i = 0; i < MidiProcessor::kMaxEvents; ++i) p.addMidiMessage(0, 0xA0, 1, 1);
    p.addMidiMessage(0, 0x90, 70, 100);  // dropped
    p.addMidiMessage(0, 0x85, 71, 0);    // kept
    p.addMidiMessage(0, 0x96, 72, 0);    // velocity 0: kept
    EXPECT_EQ(p.eventCount(), MidiProcessor::kMaxEvents);
    p.render(8);
    EXPECT_TRUE(p.notes.empty());
    p.render(8);
    ASSERT_EQ(p.notes.size(), 2u);
    EXPECT_EQ(p.notes[0].kind, EventNoteOff);
    EXPECT_EQ(p.notes[0].channel, 5);
    EXPECT_EQ(p.notes[0].data1, 71);
    EXPECT_EQ(p.notes[1].channel, 6);
    EXPECT_EQ(p.notes[1].data1, 72);
}

}  // namespace

}  // namespace tvx
