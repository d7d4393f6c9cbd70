#include "vsthost/midi_file.h"

#include <gtest/gtest.h>

#include "midi/midi_builder.h"

namespace tvx {

using vsthost::MidiFile;
using vsthost::parseMidiFile;

TEST(MidiFile, ReadsType0WithRunningStatusAndTempoChange) {
    // 480 ticks per quarter; 120 BPM for one quarter, then 60 BPM.
    MidiBuilder b(0, 480);
    b.beginTrack()
        .noteOn(0, 0, 60, 100)
        .delta(480)
        .bytes({64, 90})  // running status: a second note-on
        .tempo(0, 1000000)
        .noteOff(480, 0, 60)
        .endTrack(480);
    MidiFile file;
    std::string error;
    ASSERT_TRUE(parseMidiFile(b.build(), file, error)) << error;
    ASSERT_EQ(file.events.size(), 3u);
    EXPECT_EQ(file.events[1].bytes[0], 0x90);
    EXPECT_EQ(file.events[1].bytes[1], 64);
    EXPECT_DOUBLE_EQ(file.events[1].seconds, 0.5);
    EXPECT_DOUBLE_EQ(file.events[2].seconds, 1.5);
    EXPECT_DOUBLE_EQ(file.lengthSeconds, 2.5);
    EXPECT_DOUBLE_EQ(file.tempoAt(0.2), 120.0);
    EXPECT_DOUBLE_EQ(file.tempoAt(0.6), 60.0);
}

TEST(MidiFile, MergesType1TracksInTimeOrder) {
    MidiBuilder b(1, 96);
    b.beginTrack().tempo(0, 250000).endTrack(0);  // 240 BPM
    b.beginTrack().noteOn(96, 1, 50, 80).endTrack(96);
    b.beginTrack().noteOn(48, 2, 70, 80).endTrack(0);
    MidiFile file;
    std::string error;
    ASSERT_TRUE(parseMidiFile(b.build(), file, error)) << error;
    ASSERT_EQ(file.events.size(), 2u);
    EXPECT_EQ(file.events[0].bytes[1], 70);
    EXPECT_DOUBLE_EQ(file.events[0].seconds, 0.125);
    EXPECT_DOUBLE_EQ(file.events[1].seconds, 0.25);
    EXPECT_DOUBLE_EQ(file.lengthSeconds, 0.5);
}

TEST(MidiFile, RejectsMalformedAndTruncatedFiles) {
    MidiBuilder good(0, 480);
    good.beginTrack().noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endTrack();
    std::vector<uint8_t> bytes = good.build();
    MidiFile file;
    std::string error;
    for (size_t cut = 0; cut + 1 < bytes.size(); ++cut) {
        std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + cut);
        EXPECT_FALSE(parseMidiFile(truncated, file, error)) << "cut at " << cut;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(parseMidiFile({'R', 'I', 'F', 'F', 0, 0, 0, 0}, file, error));
    EXPECT_NE(error.find("MThd"), std::string::npos);

    MidiBuilder noStatus(0, 480);
    noStatus.beginTrack().delta(0).bytes({60, 100}).endTrack();
    EXPECT_FALSE(parseMidiFile(noStatus.build(), file, error));
    EXPECT_NE(error.find("running status"), std::string::npos);

    MidiBuilder type2(2, 480);
    type2.beginTrack().endTrack();
    EXPECT_FALSE(parseMidiFile(type2.build(), file, error));
}

TEST(MidiFile, SkipsSysExAndMetaEvents) {
    MidiBuilder b(0, 480);
    b.beginTrack()
        .delta(0).bytes({0xF0, 0x03, 0x7E, 0x01, 0xF7})
        .delta(0).bytes({0xFF, 0x03, 0x04, 'l', 'e', 'a', 'd'})
        .noteOn(0, 3, 61, 1)
        .endTrack();
    MidiFile file;
    std::string error;
    ASSERT_TRUE(parseMidiFile(b.build(), file, error)) << error;
    ASSERT_EQ(file.events.size(), 1u);
    EXPECT_EQ(file.events[0].bytes[0], 0x93);
}

}  // namespace tvx
