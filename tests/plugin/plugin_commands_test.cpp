// The command parameters from 1000 on, as the editor's menus send them.

#include <filesystem>

#include "params/modulation_codes.h"
#include "params/parameter_table.h"
#include "support/plugin_fixture.h"

namespace tvx {

namespace fs = std::filesystem;

namespace {

class PluginCommands : public PluginFixture {
protected:
    void command(VstInt32 index, float value) { plugin->setParameter(index, value); }

    // Writes preset files into the presets folder and rescans it.
    void writePresets(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            std::string text = std::string("Osc1Pos=0.") + std::to_string(static_cast<int>(std::string(name).size())) +
                               "\r\nPresetName=ignored\r\n";
            TempFolder::writeBytes((home() / "Presets" / (std::string(name) + ".prs")).wstring(), text);
        }
        plugin->config().scanPresetFiles();
    }

    std::wstring presetPath(const char* name) const { return (home() / "Presets" / name).wstring(); }
};

}  // namespace

TEST_F(PluginCommands, MenuParametersStoreTheirValue) {
    command(1001, 3.0f);
    command(1004, 2.0f);
    command(1009, 6.0f);
    command(1034, 2.0f);
    EXPECT_EQ(value(Osc1Type), 3.0f);
    EXPECT_EQ(value(NoiseType), 2.0f);
    EXPECT_EQ(value(Lfo3Type), 6.0f);
    EXPECT_EQ(value(FltMode), 2.0f);
    command(1035, 1.0f);
    EXPECT_EQ(value(SeqMode), 1.0f);
}

TEST_F(PluginCommands, SourceAndTargetMenusStoreCodes) {
    command(1010, 23.0f);
    EXPECT_EQ(value(Mod1Source), SrcSeqModB);
    command(1021, 15.0f);
    EXPECT_EQ(value(Mod12Source), SrcLfo1);
    command(1022, 11.0f);
    EXPECT_EQ(value(Mod1Target), TgtOsc1Semi);
    command(1033, 69.0f);
    EXPECT_EQ(value(Mod12Target), 39.0f);
    command(1011, 99.0f);
    command(1023, NAN);
    EXPECT_EQ(value(Mod2Source), 0.0f);
    EXPECT_EQ(value(Mod2Target), 0.0f);
}

TEST_F(PluginCommands, CommandsAreAutomatedButNeverStoredAsParameters) {
    const auto before = plugin->parameterValues();
    plugin->setParameterAutomated(1000, 1.0f);
    plugin->setParameterAutomated(1999, 1.0f);
    for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(value(i), before[i]);
    ASSERT_EQ(host.automations.size(), 2u);
    EXPECT_EQ(host.automations[0].first, 1000);
    EXPECT_EQ(host.automations[1].first, 1999);
}

TEST_F(PluginCommands, OscillatorCopyPasteResetAndWaves) {
    plugin->setParameter(Osc3Pos, 0.1f);
    plugin->setParameter(Osc3Type, 2.0f);
    plugin->setParameter(Osc3Mod2Ratio, 0.9f);
    command(1038, 0.0f);  // copy oscillator 3
    EXPECT_EQ(plugin->clipboardValues()[Osc1Pos], 0.1f);
    EXPECT_EQ(plugin->clipboardValues()[Osc1Mod2Ratio], 0.9f);
    EXPECT_EQ(value(Osc1Pos), 0.5f);  // copying changes nothing audible
    command(1037, 1.0f);  // paste into oscillator 2
    EXPECT_EQ(value(Osc2Pos), 0.1f);
    EXPECT_EQ(value(Osc2Type), 2.0f);
    EXPECT_EQ(value(Osc2Mod2Ratio), 0.9f);
    command(1037, 3.0f);  // reset oscillator 2
    EXPECT_EQ(value(Osc2Pos), plugin->defaultValues()[Osc2Pos]);
    EXPECT_EQ(value(Osc2Type), 0.0f);
    const float waves[] = {0.0f, 0.5f, 0.25f, 0.75f};
    for (int entry = 5; entry <= 8; ++entry) {
        command(1036, static_cast<float>(entry));
        EXPECT_EQ(value(Osc1Pos), waves[entry - 5]);
    }
    command(1036, 4.0f);
    EXPECT_EQ(value(Osc1Pos), 0.75f);
}

TEST_F(PluginCommands, FilterEnvelopeAndLfoModules) {
    plugin->setParameter(Flt2Cut, 0.3f);
    plugin->setParameter(Flt2Track, 0.7f);
    command(1040, 0.0f);
    command(1039, 1.0f);
    EXPECT_EQ(value(Flt1Cut), 0.3f);
    EXPECT_EQ(value(Flt1Track), 0.7f);
    command(1039, 3.0f);
    EXPECT_EQ(value(Flt1Cut), 1.0f);
    EXPECT_EQ(value(Flt1Type), 0.0f);

    plugin->setParameter(Env2Rel, 0.9f);
    plugin->setParameter(Env2Mod3, 0.2f);
    command(1042, 0.0f);
    command(1043, 1.0f);
    EXPECT_EQ(value(Env3Rel), 0.9f);
    EXPECT_EQ(value(Env3Mod3), 0.2f);

    plugin->setParameter(Lfo1Sync, 1.0f);
    plugin->setParameter(Lfo1Rate, 0.1f);
    command(1044, 0.0f);
    command(1046, 1.0f);
    EXPECT_EQ(value(Lfo3Sync), 1.0f);
    EXPECT_EQ(value(Lfo3Rate), 0.1f);
    command(1046, 3.0f);
    EXPECT_EQ(value(Lfo3Sync), 0.0f);
}

TEST_F(PluginCommands, MoveFixedModulationIntoTheFirstFreeSlot) {
    plugin->setParameter(Mod1Source, SrcModWheel);  // slot 1 is taken by its source
    plugin->setParameter(Env2Mod1, 0.8f);
    command(1042, 5.0f);  // envelope 2, "Move Mod 1 To Matrix"
    EXPECT_EQ(value(Mod2Source), SrcEnv2);
    EXPECT_EQ(value(Mod2Target), TgtOsc2Pos);
    EXPECT_EQ(value(Mod2Amount), 0.8f);
    EXPECT_EQ(value(Env2Mod1), 0.5f);

    plugin->setParameter(Osc3Type, 3.0f);
    plugin->setParameter(Lfo3Mod1, 0.1f);
    command(1046, 5.0f);  // LFO 3 mod 1 with oscillator 3 on FM
    EXPECT_EQ(value(Mod3Source), SrcLfo3);
    EXPECT_EQ(value(Mod3Target), TgtOsc3Mod1);

    plugin->setParameter(Lfo3Mod3, 0.9f);
    command(1046, 7.0f);
    EXPECT_EQ(value(Mod4Target), TgtFlt1Cut);
    plugin->setParameter(Env2Mod3, 0.9f);
    command(1042, 7.0f);
    EXPECT_EQ(value(Mod5Target), TgtFlt2Cut);
    plugin->setParameter(Env1Mod2, 0.0f);
    command(1041, 6.0f);
    EXPECT_EQ(value(Mod6Target), TgtOsc1Tune);
    EXPECT_EQ(value(Mod6Amount), 0.0f);

    for (int slot = 0; slot < 12; ++slot) plugin->setParameter(Mod1Target + slot, 1.0f);
    plugin->setParameter(Env1Mod3, 0.9f);
    command(1041, 7.0f);  // no free slot: nothing happens
    EXPECT_EQ(value(Env1Mod3), 0.9f);
}

TEST_F(PluginCommands, EqualiserShelfToggles) {
    command(1047, 0.0f);
    EXPECT_EQ(value(EQ1UseShelf), 0.0f);
    command(1047, 0.0f);
    EXPECT_EQ(value(EQ1UseShelf), 1.0f);
    command(1047, 1.0f);
    EXPECT_EQ(value(EQ2UseShelf), 0.0f);
}

TEST_F(PluginCommands, SettingsCommands) {
    command(1050, 2.0f);
    EXPECT_EQ(plugin->config().scale, 2);
    command(1053, 0.0f);
    EXPECT_EQ(plugin->config().modCC1, -1);
    command(1053, 1.0f);
    EXPECT_EQ(plugin->config().modCC1, 0);
    command(1054, 120.0f);
    EXPECT_EQ(plugin->config().modCC2, 119);
    command(1054, 500.0f);
    EXPECT_EQ(plugin->config().modCC2, -1);
    plugin->config().midiLearnParam = Flt1Cut;
    plugin->config().knobCC[20] = Flt1Cut;
    command(1058, 1.0f);
    EXPECT_EQ(plugin->config().knobCC[20], -1);
}

TEST_F(PluginCommands, PresetNavigationWrapsAtBothEnds) {
    writePresets({"a", "bb", "ccc"});
    ASSERT_EQ(plugin->config().presetFiles.size(), 3u);
    command(1057, 0.0f);  // a button release does nothing
    EXPECT_EQ(plugin->currentPresetIndex(), -1);
    command(1057, 1.0f);  // next from none: the first
    EXPECT_EQ(plugin->currentPresetIndex(), 0);
    std::wstring first = plugin->config().presetFiles[0];
    EXPECT_EQ(plugin->presetName(), fs::path(first).stem().wstring());
    command(1056, 1.0f);  // previous from the first: the last
    EXPECT_EQ(plugin->currentPresetIndex(), 2);
    command(1057, 1.0f);
    EXPECT_EQ(plugin->currentPresetIndex(), 0);
    command(1056, 1.0f);
    command(1056, 1.0f);
    EXPECT_EQ(plugin->currentPresetIndex(), 1);
    command(1055, 7.0f);  // outside the list: ignored
    EXPECT_EQ(plugin->currentPresetIndex(), 1);
    command(1052, 0.0f);  // choosing a bank forgets the position
    EXPECT_EQ(plugin->currentPresetIndex(), -1);
}

TEST_F(PluginCommands, AnEditedSoundIsMarkedUntilAPresetIsLoadedOrSaved) {
    writePresets({"a", "b"});
    command(1055, 0.0f);
    EXPECT_FALSE(plugin->presetEdited());
    plugin->setParameter(Volume, 0.2f);  // the listener's level, not the sound
    EXPECT_FALSE(plugin->presetEdited());
    command(1010, 2.0f);  // a matrix source menu
    EXPECT_TRUE(plugin->presetEdited());
    command(1057, 1.0f);
    EXPECT_FALSE(plugin->presetEdited());
    plugin->setParameter(Flt1Cut, plugin->getParameter(Flt1Cut));  // the same value again
    command(1036, 0.0f);                                            // "Copy"
    EXPECT_FALSE(plugin->presetEdited());
    plugin->setParameter(Flt1Cut, 0.3f);
    EXPECT_TRUE(plugin->presetEdited());
    system.dialogAnswers.push_back(presetPath("Saved.prs"));
    command(1049, 0.0f);
    EXPECT_FALSE(plugin->presetEdited());
}

TEST_F(PluginCommands, PresetNavigationWithoutPresets) {
    command(1056, 1.0f);
    EXPECT_EQ(plugin->currentPresetIndex(), -1);
}

TEST_F(PluginCommands, SavePresetThroughTheDialog) {
    plugin->setParameter(Osc1Pos, 0.25f);
    system.dialogAnswers.push_back(presetPath("Bright Lead.prs"));
    command(1049, 0.0f);
    ASSERT_EQ(system.dialogRequests.size(), 1u);
    const FileDialogRequest& request = system.dialogRequests[0];
    EXPECT_EQ(request.title, L"Save Preset");
    EXPECT_EQ(request.filterText, L"Presets (*.prs)");
    EXPECT_EQ(request.pattern, L"*.prs");
    EXPECT_EQ(request.defaultExtension, L"prs");
    EXPECT_EQ(request.flags, static_cast<unsigned>(kOverwritePrompt | kPathMustExist));
    EXPECT_EQ(plugin->presetName(), L"Bright Lead");
    std::string saved = TempFolder::readBytes(presetPath("Bright Lead.prs"));
    EXPECT_EQ(saved.rfind("Volume=0.500000\r\nOsc1Pos=0.250000\r\n", 0), 0u);
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(PluginCommands, FailedPresetOperationsReportAndKeepTheSound) {
    plugin->setParameter(Osc1Pos, 0.3f);
    system.dialogAnswers.push_back((folder.path() / "no such folder" / "x.prs").wstring());
    command(1049, 0.0f);
    system.dialogAnswers.push_back(presetPath("missing.prs"));
    command(1049, 1.0f);
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_EQ(system.messages[0].text, L"The preset could not be saved.");
    EXPECT_EQ(system.messages[0].title, L"Error");
    EXPECT_EQ(system.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(system.messages[1].text, L"The preset could not be loaded.");
    EXPECT_EQ(system.dialogRequests[1].title, L"Load Preset");
    EXPECT_EQ(system.dialogRequests[1].flags, static_cast<unsigned>(kFileMustExist | kHideReadOnly));
    EXPECT_EQ(value(Osc1Pos), 0.3f);
    EXPECT_EQ(plugin->presetName(), L"Init");
    command(1049, 1.0f);  // cancelled: nothing at all
    EXPECT_EQ(system.messages.size(), 2u);
}

TEST_F(PluginCommands, WithoutAnyFileDialogTheUserIsToldWhyNothingHappens) {
    system.noDialogReason = L"No file dialog is available: install zenity or kdialog";
    plugin->setParameter(Osc1Pos, 0.3f);
    for (float entry : {0.0f, 1.0f}) command(1049, entry);      // Save Preset, Load Preset
    for (float entry : {0.0f, 1.0f}) command(1048, entry);      // Save Sequence, Load Sequence
    ASSERT_EQ(system.messages.size(), 4u);
    for (const auto& message : system.messages) {
        EXPECT_EQ(message.text, system.noDialogReason);
        EXPECT_EQ(message.title, L"Error");
    }
    EXPECT_EQ(value(Osc1Pos), 0.3f);
    EXPECT_EQ(plugin->presetName(), L"Init");
}

TEST_F(PluginCommands, SequenceFilesThroughTheDialogs) {
    plugin->setParameter(SeqNote3, 0.75f);
    plugin->setParameter(Osc1Pos, 0.1f);
    system.dialogAnswers.push_back(presetPath("pattern.seq"));
    command(1048, 0.0f);
    EXPECT_EQ(system.dialogRequests.back().title, L"Save Sequence");
    EXPECT_EQ(system.dialogRequests.back().filterText, L"Sequences (*.seq)");
    EXPECT_EQ(system.dialogRequests.back().proposedName, L"");
    plugin->setParameter(SeqNote3, 0.5f);
    plugin->setParameter(Osc1Pos, 0.9f);
    system.dialogAnswers.push_back(presetPath("pattern.seq"));
    command(1048, 1.0f);
    EXPECT_EQ(value(SeqNote3), 0.75f);
    EXPECT_EQ(value(Osc1Pos), 0.9f);
    command(1048, 3.0f);  // init sequence
    EXPECT_EQ(value(SeqNote3), 0.5f);
    EXPECT_EQ(value(Osc1Pos), 0.9f);
    system.dialogAnswers.push_back(presetPath("absent.seq"));
    command(1048, 1.0f);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].text, L"The sequence could not be loaded.");
}

TEST_F(PluginCommands, InitPresetAboutAndHomeFolder) {
    plugin->setParameter(Osc1Pos, 0.1f);
    command(1049, 3.0f);
    EXPECT_EQ(value(Osc1Pos), 0.5f);
    EXPECT_EQ(value(Osc1Type), 1.0f);
    EXPECT_EQ(plugin->presetName(), L"Init");
    command(1049, 15.0f);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].title, L"About");
    EXPECT_NE(system.messages[0].text.find(L"Tessaravox"), std::wstring::npos);
    command(1049, 13.0f);
    ASSERT_EQ(system.openedFolders.size(), 1u);
    EXPECT_EQ(fs::path(system.openedFolders[0]), home());
}

// A preset or the init sound chosen while a note sounds fades the note out
// within 5 ms rather than cutting it or letting it jump into the new sound.
TEST_F(PluginCommands, PresetAndInitLoadsFadeOutTheSoundingNote) {
    writePresets({"Alpha"});
    for (float load : {3.0f, 0.0f}) {
        plugin->setParameter(Osc1Pos, 0.75f);
        plugin->setParameter(Flt1Type, 0.0f);
        plugin->setParameter(Env1Rel, 0.5f);
        midi(0, 0x90, 69, 127);
        std::vector<float> before, after, right;
        render(4096 + 25, before, right);
        if (load == 3.0f)
            command(1049, 3.0f);  // "Init Preset"
        else
            command(1055, 0.0f);  // the first preset of the list
        render(4096, after, right);
        float tone = 0.0f, step = std::fabs(after[0] - before.back());
        for (size_t i = 2048; i < before.size(); ++i) tone = std::max(tone, std::fabs(before[i] - before[i - 1]));
        for (size_t i = 1; i < after.size(); ++i) step = std::max(step, std::fabs(after[i] - after[i - 1]));
        EXPECT_LE(step, 2.0f * tone) << load;
        EXPECT_GT(std::fabs(after[50]), 0.0f) << load;
        for (size_t i = 221; i < after.size(); ++i) ASSERT_EQ(after[i], 0.0f) << load << " " << i;
    }
}

}  // namespace tvx
