#include "vsthost/commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/command_runner.h"
#include "midi/midi_builder.h"

namespace tvx {

namespace {

CommandResult run(const std::vector<std::string>& args) { return runVsthost(args); }

std::string scratch(const std::string& name) { return std::string(TVX_SCRATCH_DIR) + "/" + name; }

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

bool isOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

}  // namespace

TEST(VsthostCommands, InfoPrintsTheIdentity) {
    CommandResult r = run({"info", TVX_PLUGIN_PATH});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Effect name:    Tessaravox"), std::string::npos);
    EXPECT_NE(r.out.find("Vendor:         Morrowfen Software"), std::string::npos);
    EXPECT_NE(r.out.find("Vendor version: 1005"), std::string::npos);
    EXPECT_NE(r.out.find("Category:       synth"), std::string::npos);
    EXPECT_NE(r.out.find("Inputs:         0"), std::string::npos);
    EXPECT_NE(r.out.find("Outputs:        2"), std::string::npos);
    EXPECT_NE(r.out.find("0x2D535E35"), std::string::npos);
    EXPECT_NE(r.out.find("bypass                         no (-1)"), std::string::npos);
}

TEST(VsthostCommands, RenderWritesTheMidiLengthPlusTail) {
    MidiBuilder midi(0, 480);
    midi.beginTrack().noteOn(0, 0, 69, 127).noteOff(480, 0, 69).endTrack(480);  // 1 s at 120 BPM
    ASSERT_TRUE(midi.writeTo(scratch("one_second.mid")));
    CommandResult r = run({"render", TVX_PLUGIN_PATH, "--midi", scratch("one_second.mid"), "--out",
                           scratch("one_second.wav"), "--rate", "48000", "--block", "100", "--tail", "0.5",
                           "--set", "Osc1Pos=0.75", "--set", "0=0.4", "--tempo", "100"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<uint8_t> wav = readBytes(scratch("one_second.wav"));
    ASSERT_GT(wav.size(), 58u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(le32(wav, 24), 48000u);
    EXPECT_EQ(wav[20], 3);  // IEEE float
    EXPECT_EQ(le32(wav, 46), 72000u);  // frames in the fact chunk
    EXPECT_EQ(le32(wav, 54), 72000u * 8);
    EXPECT_EQ(wav.size(), 58u + 72000u * 8);
}

TEST(VsthostCommands, ErrorsAreOneLineWithAFailingStatus) {
    MidiBuilder midi(0, 480);
    midi.beginTrack().noteOn(0, 0, 60, 100).noteOff(480, 0, 60).endTrack();
    std::vector<uint8_t> bytes = midi.build();
    {
        std::ofstream out(scratch("truncated.mid"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size() - 5));
    }
    ASSERT_TRUE(midi.writeTo(scratch("good.mid")));
    {
        std::ofstream out(scratch("not_a_plugin.so"));
        out << "plain text, not a library\n";
    }
    const std::string wav = scratch("unused.wav");
    const std::vector<std::vector<std::string>> failing = {
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("truncated.mid"), "--out", wav},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("missing.mid"), "--out", wav},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("good.mid"), "--out", wav, "--set", "NoSuchKey=1"},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("good.mid"), "--out", wav, "--set", "262=1"},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("good.mid"), "--out", wav, "--set", "Volume=loud"},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("good.mid"), "--out", wav, "--block", "0"},
        {"render", TVX_PLUGIN_PATH, "--midi", scratch("good.mid")},
        {"info", scratch("missing_plugin.so")},
        {"info", scratch("not_a_plugin.so")},
        {"info", TVX_NULL_PLUGIN_PATH},
        {"render", TVX_NULL_PLUGIN_PATH, "--midi", scratch("good.mid"), "--out", wav},
        {"frobnicate"},
    };
    for (const auto& args : failing) {
        CommandResult r = run(args);
        EXPECT_NE(r.status, 0) << args.back();
        EXPECT_TRUE(isOneLine(r.err)) << args.back() << ": " << r.err;
        EXPECT_EQ(r.err.rfind("vsthost: ", 0), 0u) << r.err;
    }
    EXPECT_NE(run({"info", TVX_NULL_PLUGIN_PATH}).err.find("no instance"), std::string::npos);
    EXPECT_NE(run(failing[0]).err.find("truncated"), std::string::npos);
}

TEST(VsthostCommands, CpuReportTimesTheProcessCallsOfTheRenderedAudio) {
    MidiBuilder midi(0, 480);
    midi.beginTrack().noteOn(0, 0, 48, 100).noteOn(0, 0, 60, 100).noteOff(1920, 0, 48).noteOff(0, 0, 60).endTrack();
    ASSERT_TRUE(midi.writeTo(scratch("cpu_report.mid")));
    CommandResult r = run({"render", TVX_PLUGIN_PATH, "--midi", scratch("cpu_report.mid"), "--out",
                           scratch("cpu_report.wav"), "--block", "256", "--tail", "0.5", "--cpu-report"});
    ASSERT_EQ(r.status, 0) << r.err;
    const size_t at = r.out.find("\ncpu: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    double ms = 0.0, seconds = 0.0, percent = 0.0;
    ASSERT_EQ(std::sscanf(r.out.c_str() + at, "\ncpu: %lf ms for %lf s of audio = %lf %% of a core", &ms, &seconds,
                          &percent),
              3)
        << r.out;
    EXPECT_GT(ms, 0.0);
    EXPECT_DOUBLE_EQ(seconds, 2.5);  // two held seconds at 120 BPM and the tail
    EXPECT_NEAR(percent, ms / 10.0 / seconds, 0.01);
    EXPECT_EQ(run({"render", TVX_PLUGIN_PATH, "--midi", scratch("cpu_report.mid"), "--out",
                   scratch("cpu_report.wav")})
                  .out.find("cpu:"),
              std::string::npos);
}

TEST(VsthostCommands, HelpDescribesBothCommands) {
    CommandResult r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("vsthost info PLUGIN"), std::string::npos);
    EXPECT_NE(r.out.find("--set NAME=VALUE"), std::string::npos);
    EXPECT_NE(r.out.find("--preset FILE.prs"), std::string::npos);
    EXPECT_NE(r.out.find("--save-chunk FILE"), std::string::npos);
    EXPECT_NE(r.out.find("--cpu-report"), std::string::npos);
    EXPECT_NE(run({}).status, 0);
}

namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A saved chunk back as 8-bit text (the chunk is UTF-16LE).
std::string chunkText(const std::string& path) {
    std::vector<uint8_t> bytes = readBytes(path);
    std::string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += bytes[i + 1] == 0 ? static_cast<char>(bytes[i]) : '?';
    return text;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class VsthostPresets : public ::testing::Test {
protected:
    // Every test has files of its own: ctest runs the tests side by side.
    std::string file(const std::string& name) {
        return scratch(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + name);
    }
    void SetUp() override {
        MidiBuilder midi(0, 480);
        midi.beginTrack().noteOn(0, 0, 60, 127).noteOff(240, 0, 60).endTrack(240);
        ASSERT_TRUE(midi.writeTo(file("note.mid")));
    }
    CommandResult render(std::vector<std::string> extra) {
        std::vector<std::string> args = {"render", TVX_PLUGIN_PATH, "--midi", file("note.mid"), "--out",
                                         file("note.wav"), "--tail", "0.2"};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args);
    }
};

}  // namespace

TEST_F(VsthostPresets, APresetFileArrivesAsTheChunkAndMissingKeysTakeTheirDefaults) {
    writeText(file("bright.prs"), "Osc1Pos=0.25\r\nReverbMix=0.300000\r\nPresetName=Bright\r\n");
    CommandResult r = render({"--preset", file("bright.prs"), "--save-chunk", file("bright.chunk")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string saved = chunkText(file("bright.chunk"));
    EXPECT_EQ(saved.rfind("Volume=0.500000\nOsc1Pos=0.250000\n", 0), 0u) << saved.substr(0, 80);
    EXPECT_TRUE(contains(saved, "\nReverbMix=0.300000\n"));
    EXPECT_TRUE(contains(saved, "\nOsc1Type=0.000000\n"));  // the default, not the init sound's 1
    EXPECT_FALSE(contains(saved, "\r"));
    EXPECT_EQ(saved.substr(saved.size() - 18), "PresetName=Bright\n");
}

TEST_F(VsthostPresets, SetOptionsApplyOnTopOfThePreset) {
    writeText(file("base.prs"), "Osc1Type=1\r\nOsc1Pos=0.25\r\nVolume=0.2\r\n");
    CommandResult r = render({"--set", "Osc1Pos=0.6", "--preset", file("base.prs"), "--save-chunk",
                              file("base.chunk")});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string saved = chunkText(file("base.chunk"));
    EXPECT_TRUE(contains(saved, "\nOsc1Pos=0.600000\n"));
    EXPECT_TRUE(contains(saved, "\nOsc1Type=1.000000\n"));
    EXPECT_EQ(saved.rfind("Volume=0.200000\n", 0), 0u);
}

TEST_F(VsthostPresets, ThePresetShapesTheRenderedSound) {
    // A preset without oscillators renders silence; the init sound does not.
    writeText(file("silent.prs"), "PresetName=Nothing\r\n");
    ASSERT_EQ(render({"--preset", file("silent.prs")}).status, 0);
    std::vector<uint8_t> silent = readBytes(file("note.wav"));
    ASSERT_EQ(render({}).status, 0);
    std::vector<uint8_t> init = readBytes(file("note.wav"));
    ASSERT_EQ(silent.size(), init.size());
    ASSERT_GT(silent.size(), 58u);
    auto nonZero = [](const std::vector<uint8_t>& wav) {
        size_t count = 0;
        for (size_t i = 58; i < wav.size(); ++i) count += wav[i] != 0;
        return count;
    };
    EXPECT_EQ(nonZero(silent), 0u);
    EXPECT_GT(nonZero(init), 1000u);
}

TEST_F(VsthostPresets, WithoutAPresetTheSavedChunkIsTheInitSound) {
    ASSERT_EQ(render({"--save-chunk", file("init.chunk")}).status, 0);
    std::string saved = chunkText(file("init.chunk"));
    EXPECT_TRUE(contains(saved, "\nOsc1Type=1.000000\n"));
    EXPECT_TRUE(contains(saved, "\nFlt1Type=1.000000\n"));
    EXPECT_EQ(saved.substr(saved.size() - 16), "PresetName=Init\n");
}

TEST_F(VsthostPresets, PresetAndChunkFileErrorsAreOneLine) {
    const std::vector<std::vector<std::string>> failing = {
        {"--preset", file("no_such_preset.prs")},
        {"--preset", ""},
        {"--save-chunk", file("no_such_folder/saved.chunk")},
        {"--preset"},
    };
    for (const auto& extra : failing) {
        CommandResult r = render(extra);
        EXPECT_NE(r.status, 0) << extra.back();
        EXPECT_TRUE(isOneLine(r.err)) << extra.back() << ": " << r.err;
        EXPECT_EQ(r.err.rfind("vsthost: ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(contains(render(failing[0]).err, "no_such_preset.prs"));
}

TEST_F(VsthostPresets, EveryDemoPresetIsAudibleAndWithinFullScale) {
    MidiBuilder midi(0, 480);
    midi.beginTrack().noteOn(0, 0, 60, 100).noteOn(0, 0, 64, 100).noteOn(0, 0, 67, 100);
    midi.noteOff(960, 0, 60).noteOff(0, 0, 64).noteOff(0, 0, 67).endTrack();
    ASSERT_TRUE(midi.writeTo(file("chord.mid")));
    // The source tree is the test data folder's grandparent.
    std::string presets = TVX_TEST_DATA_DIR;
    presets = presets.substr(0, presets.rfind("/tests/data")) + "/demo/presets/";
    for (const char* name : {"pad", "fm-bell", "arpeggio"}) {
        CommandResult r = run({"render", TVX_PLUGIN_PATH, "--midi", file("chord.mid"), "--out", file("chord.wav"),
                               "--preset", presets + name + ".prs"});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        std::vector<uint8_t> wav = readBytes(file("chord.wav"));
        ASSERT_GT(wav.size(), 58u);
        float peak = 0.0f;
        for (size_t at = 58; at + 4 <= wav.size(); at += 4) {
            uint32_t bits = le32(wav, at);
            float sample;
            std::memcpy(&sample, &bits, sizeof(sample));
            ASSERT_TRUE(std::isfinite(sample)) << name;
            peak = std::fmax(peak, std::fabs(sample));
        }
        EXPECT_GT(peak, 0.05f) << name;
        EXPECT_LT(peak, 1.0f) << name;
    }
}

}  // namespace tvx
