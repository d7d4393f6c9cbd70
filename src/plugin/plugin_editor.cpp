#include "plugin/plugin_editor.h"

#include "gui/c_frame.h"
#include "params/parameter_display.h"
#include "plugin/plugin.h"

namespace tvx {

namespace {

CKeyEvent keyEvent(VstInt32 character, VstInt32 virtualKey, float modifiers) {
    CKeyEvent key;
    key.character = character;
    key.virtualKey = static_cast<CVirtualKey>(virtualKey >= 0 && virtualKey <= kVirtualKeyDelete ? virtualKey : 0);
    key.modifiers = static_cast<CButtonState>(modifiers);
    return key;
}

}  // namespace

PluginEditor::PluginEditor(Plugin& plugin) : AEffEditor(&plugin), plugin_(plugin), editor_(*this) {}

PluginEditor::~PluginEditor() { editor_.close(); }

bool PluginEditor::getRect(ERect** rect) {
    GuiEditorRect* r = nullptr;
    if (!rect || !editor_.getRect(&r) || !r) return false;
    rect_ = ERect{r->top, r->left, r->bottom, r->right};
    *rect = &rect_;
    return true;
}

// A window is needed to show anything: without a parent, or where the
// toolkit has no window of its own yet, the editor stays closed.
bool PluginEditor::open(void* parentWindow) {
    if (!parentWindow) return false;
    if (!editor_.open(parentWindow)) return false;
    if (!editor_.getFrame() || !editor_.getFrame()->getPlatformFrame()) {
        editor_.close();
        return false;
    }
    systemWindow_ = parentWindow;
    return true;
}

void PluginEditor::close() {
    editor_.close();
    systemWindow_ = nullptr;
}

// MIDI learn moves parameters on the processing thread, which never calls
// the editor; their controls follow here, on the user-interface thread.
void PluginEditor::idle() {
    if (!editor_.isOpen()) return;
    ParameterStore& store = plugin_.parameterStore();
    for (int i = 0; i < kNumParameters; ++i)
        if (store.takeChanged(i)) editor_.setParameter(i, store.get(i));
    editor_.idle();
}

bool PluginEditor::onKeyDown(VstInt32 character, VstInt32 virtualKey, float modifiers) {
    return editor_.isOpen() && editor_.onKeyDown(keyEvent(character, virtualKey, modifiers));
}

bool PluginEditor::onKeyUp(VstInt32 character, VstInt32 virtualKey, float modifiers) {
    return editor_.isOpen() && editor_.onKeyUp(keyEvent(character, virtualKey, modifiers));
}

bool PluginEditor::setKnobMode(VstInt32 mode) {
    if (mode < 0 || mode > 2) return false;
    editor_.setKnobMode(mode);
    return true;
}

void PluginEditor::setParameter(VstInt32 index, float value) { editor_.setParameter(index, value); }

float PluginEditor::parameterValue(int index) const {
    return index >= 0 && index < kNumParameters ? plugin_.getParameter(index) : 0.0f;
}

void PluginEditor::setParameterAutomated(int index, float value) { plugin_.setParameterAutomated(index, value); }

void PluginEditor::beginEdit(int index) { plugin_.beginEdit(index); }

void PluginEditor::endEdit(int index) { plugin_.endEdit(index); }

std::string PluginEditor::parameterText(int index) const {
    char text[64] = {};
    getParameterDisplay(plugin_.parameterValues().data(), index, text, sizeof(text));
    return text;
}

std::wstring PluginEditor::presetName() const { return plugin_.presetName(); }

std::wstring PluginEditor::presetPath() const { return plugin_.presetPath(); }

bool PluginEditor::presetEdited() const { return plugin_.presetEdited(); }

// Both are published by the processing thread once per block.
bool PluginEditor::isVoiceSounding(int voice) const { return plugin_.voiceLight(voice); }

int PluginEditor::playingStep() const { return plugin_.sequencerStep(); }

Config& PluginEditor::config() { return plugin_.config(); }

}  // namespace tvx
