// The command parameters: indices from 1000 on carry the editor's menu and
// button actions. None of them calls the editor's setParameter; the ones that
// change many values refresh the open editor as a reset does.

#include <string>

#include "params/command_index.h"
#include "params/modulation_codes.h"
#include "params/value_mappings.h"
#include "persist/preset_file.h"
#include "persist/sequence_file.h"
#include "platform/platform.h"
#include "plugin/plugin.h"

namespace tvx {

namespace {

enum ModuleAction { kCopy = 0, kPaste = 1, kReset = 3, kFirstExtra = 5 };

const float kWavePositions[] = {0.0f, 0.5f, 0.25f, 0.75f};  // Square, Sawtooth, Triangle, Sine

const wchar_t* const kErrorTitle = L"Error";
constexpr size_t kMaxPathLength = 260;

int modCCFromMenu(int entry) {
    int cc = entry - 1;
    return (cc >= -1 && cc <= 119) ? cc : -1;
}

void showError(const wchar_t* text) { platform().messageBox(text, kErrorTitle, MessageIcon::Information); }

struct FileKind {
    const wchar_t* filterText;
    const wchar_t* pattern;
    const wchar_t* extension;
};
const FileKind kPresetFiles = {L"Presets (*.prs)", L"*.prs", L"prs"};
const FileKind kSequenceFiles = {L"Sequences (*.seq)", L"*.seq", L"seq"};

FileDialogRequest fileDialog(const wchar_t* title, const FileKind& kind, unsigned flags, const std::wstring& folder) {
    FileDialogRequest request;
    request.title = title;
    request.filterText = kind.filterText;
    request.pattern = kind.pattern;
    request.defaultExtension = kind.extension;
    request.initialFolder = folder;
    request.flags = flags;
    return request;
}

// The menu choices that change the sound (a copy or a file menu's save
// leaves it as it is; a load through a dialog marks it afresh).
bool changesSound(VstInt32 index, int entry) {
    if (index >= kCmdOsc1Type && index <= kCmdSeqMode) return true;
    if (index >= kCmdOsc1Menu && index < kCmdEqMenu) return entry != kCopy;
    if (index == kCmdEqMenu) return entry == 0 || entry == 1;
    if (index == kCmdSequenceMenu) return entry == 3;
    return false;
}

}  // namespace

void Plugin::runCommand(VstInt32 index, float value) {
    const int entry = choiceValue(value, -1);
    if (changesSound(index, entry)) presetEdited_.store(true);
    if (index >= kCmdOsc1Type && index <= kCmdLfo3Type) {
        parameters_.set(index - kMenuCommandOffset, value);
    } else if (index >= kCmdMod1Source && index <= kCmdMod12Source) {
        parameters_.set(Mod1Source + (index - kCmdMod1Source), static_cast<float>(modSourceFromMenu(entry)));
    } else if (index >= kCmdMod1Target && index <= kCmdMod12Target) {
        parameters_.set(Mod1Target + (index - kCmdMod1Target), static_cast<float>(modTargetFromMenu(entry)));
    } else if (index == kCmdFltMode) {
        parameters_.set(FltMode, value);
    } else if (index == kCmdSeqMode) {
        parameters_.set(SeqMode, value);
        requests_.requestSequencerMode(value);
    } else if (index >= kCmdOsc1Menu && index < kCmdFlt1Menu) {
        runModuleCommand(ModuleKind::Oscillator, index - kCmdOsc1Menu, entry);
    } else if (index >= kCmdFlt1Menu && index < kCmdEnv1Menu) {
        runModuleCommand(ModuleKind::Filter, index - kCmdFlt1Menu, entry);
    } else if (index >= kCmdEnv1Menu && index < kCmdLfo1Menu) {
        runModuleCommand(ModuleKind::Envelope, index - kCmdEnv1Menu, entry);
    } else if (index >= kCmdLfo1Menu && index < kCmdEqMenu) {
        runModuleCommand(ModuleKind::Lfo, index - kCmdLfo1Menu, entry);
    } else if (index == kCmdEqMenu) {
        if (entry == 0 || entry == 1) {
            const int shelf = entry == 0 ? EQ1UseShelf : EQ2UseShelf;
            parameters_.set(shelf, parameters_.get(shelf) > 0.0f ? 0.0f : 1.0f);
        }
    } else if (index == kCmdSequenceMenu) {
        runSequenceCommand(entry);
    } else if (index == kCmdMainMenu) {
        runMainMenuCommand(entry);
    } else if (index == kCmdScale) {
        config_.scale = entry;
    } else if (index == kCmdTheme) {
        config_.selectTheme(entry);
    } else if (index == kCmdPresetBank) {
        config_.selectPresetBank(entry);
        currentPresetIndex_ = -1;
    } else if (index == kCmdModCC1) {
        config_.modCC1 = modCCFromMenu(entry);
    } else if (index == kCmdModCC2) {
        config_.modCC2 = modCCFromMenu(entry);
    } else if (index == kCmdLoadPreset) {
        loadPresetByIndex(entry);
    } else if (index == kCmdPreviousPreset || index == kCmdNextPreset) {
        if (value != 0.0f) stepPreset(index == kCmdNextPreset ? 1 : -1);
    } else if (index == kCmdClearLearn) {
        config_.clearAssignments();
    }
}

void Plugin::runModuleCommand(ModuleKind kind, int module, int action) {
    switch (action) {
        case kCopy: copyModule(kind, module); return;
        case kPaste: pasteModule(kind, module); break;
        case kReset: resetModule(kind, module); break;
        default: {
            int extra = action - kFirstExtra;
            if (kind == ModuleKind::Oscillator && extra >= 0 && extra < 4) {
                parameters_.set(Osc1Pos + module, kWavePositions[extra]);
            } else if ((kind == ModuleKind::Envelope || kind == ModuleKind::Lfo) && extra >= 0 && extra < 3) {
                const int fixed = fixedModulationParameter(kind, module, extra);
                editParameters([this, fixed](float* values) { moveFixedModulationToMatrix(values, defaultValues_, fixed); });
            } else {
                return;
            }
        }
    }
    refreshEditor();
}

void Plugin::copyModule(ModuleKind kind, int module) {
    for (int i = 0; i < moduleParameterCount(kind); ++i)
        clipboard_[moduleParameter(kind, 0, i)] = parameters_.get(moduleParameter(kind, module, i));
}

void Plugin::pasteModule(ModuleKind kind, int module) {
    editParameters([this, kind, module](float* values) {
        for (int i = 0; i < moduleParameterCount(kind); ++i)
            values[moduleParameter(kind, module, i)] = clipboard_[moduleParameter(kind, 0, i)];
    });
}

void Plugin::resetModule(ModuleKind kind, int module) {
    editParameters([this, kind, module](float* values) {
        for (int i = 0; i < moduleParameterCount(kind); ++i) {
            const int id = moduleParameter(kind, module, i);
            values[id] = defaultValues_[id];
        }
    });
}

void Plugin::runSequenceCommand(int action) {
    if (action == 0) {
        saveSequenceWithDialog();
    } else if (action == 1) {
        loadSequenceWithDialog();
    } else if (action == 3) {
        editParameters([this](float* values) { initSequence(defaultValues_, values); });
        refreshEditor();
    }
}

void Plugin::runMainMenuCommand(int action) {
    switch (action) {
        case 0: savePresetWithDialog(); break;
        case 1: loadPresetWithDialog(); break;
        case 3:
            loadInitSound();
            soundReplaced();
            break;
        case 13: config_.showHomeFolder(); break;
        case 15:
            platform().messageBox(L"Tessaravox " + versionText() + L" (version " + std::to_wstring(kVendorVersion) +
                                      L")\nMorrowfen Software",
                                  L"About", MessageIcon::Information);
            break;
        default: break;
    }
}

void Plugin::savePresetWithDialog() {
    FileDialogRequest request =
        fileDialog(L"Save Preset", kPresetFiles, kOverwritePrompt | kPathMustExist, config_.presetBankFolder());
    request.proposedName = (presetPath_.empty() ? presetName_ : presetPath_).substr(0, kMaxPathLength);
    std::optional<std::wstring> path = platform().saveFileDialog(request);
    if (!path) return reportIfNoDialog();
    if (savePresetFile(*path, parameterValues().data(), presetName_, presetPath_) != 0) {
        showError(L"The preset could not be saved.");
        return;
    }
    setProgram(0);
}

void Plugin::loadPresetWithDialog() {
    std::optional<std::wstring> path = platform().openFileDialog(
        fileDialog(L"Load Preset", kPresetFiles, kFileMustExist | kHideReadOnly, config_.presetBankFolder()));
    if (!path) return reportIfNoDialog();
    if (!loadPreset(*path)) showError(L"The preset could not be loaded.");
}

bool Plugin::loadPreset(const std::wstring& path) {
    int failed = 0;
    editParameters([this, &path, &failed](float* values) {
        failed = loadPresetFile(path, defaultValues_, values, presetName_, presetPath_);
    });
    if (failed != 0) return false;
    presetEdited_.store(false);
    // Notes of the old sound fade out; the knobs show the sound just loaded.
    soundReplaced();
    return true;
}

void Plugin::saveSequenceWithDialog() {
    std::optional<std::wstring> path = platform().saveFileDialog(
        fileDialog(L"Save Sequence", kSequenceFiles, kOverwritePrompt | kPathMustExist, config_.presetBankFolder()));
    if (!path) return reportIfNoDialog();
    if (saveSequenceFile(*path, parameterValues().data()) != 0) showError(L"The sequence could not be saved.");
}

void Plugin::loadSequenceWithDialog() {
    std::optional<std::wstring> path = platform().openFileDialog(
        fileDialog(L"Load Sequence", kSequenceFiles, kFileMustExist | kHideReadOnly, config_.presetBankFolder()));
    if (!path) return reportIfNoDialog();
    int failed = 0;
    editParameters([&path, &failed](float* values) { failed = loadSequenceFile(*path, values); });
    if (failed != 0) {
        showError(L"The sequence could not be loaded.");
        return;
    }
    presetEdited_.store(true);
    refreshEditor();
}

void Plugin::loadPresetByIndex(int index) {
    if (index < 0 || index >= static_cast<int>(config_.presetFiles.size())) return;
    currentPresetIndex_ = index;
    loadPreset(config_.presetFiles[index]);
}

void Plugin::stepPreset(int direction) {
    const int count = static_cast<int>(config_.presetFiles.size());
    if (count == 0) {
        currentPresetIndex_ = -1;
        stepIntoFirstFilledBank(direction);
        return;
    }
    int index = currentPresetIndex_ + direction;
    if (direction < 0 && (currentPresetIndex_ < 0 || index < 0)) index = count - 1;
    if (direction > 0 && (currentPresetIndex_ < 0 || index >= count)) index = 0;
    loadPresetByIndex(index);
}

// An empty bank has nothing to step through: a new user's Default bank
// leads to the first bank that holds presets, at its first or last one.
void Plugin::stepIntoFirstFilledBank(int direction) {
    config_.scanPresetBanks();
    for (int bank = 0; bank <= static_cast<int>(config_.presetBanks.size()); ++bank) {
        const size_t count = config_.presetFilesOfBank(bank).size();
        if (count == 0) continue;
        config_.selectPresetBank(bank);
        loadPresetByIndex(direction > 0 ? 0 : static_cast<int>(config_.presetFiles.size()) - 1);
        return;
    }
}

}  // namespace tvx
