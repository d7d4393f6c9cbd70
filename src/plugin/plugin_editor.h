#pragma once

#include "editor/editor.h"
#include "editor/editor_host.h"
#include "plugin/aeff_editor.h"

namespace tvx {

class Plugin;

// Joins the plug-in's editor opcodes to the editor, which is built on the
// GUI toolkit and knows the plug-in only as an EditorHost.
class PluginEditor : public AEffEditor, public EditorHost {
public:
    explicit PluginEditor(Plugin& plugin);
    ~PluginEditor() override;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override { return editor_.isOpen(); }
    void idle() override;
    bool onKeyDown(VstInt32 character, VstInt32 virtualKey, float modifiers) override;
    bool onKeyUp(VstInt32 character, VstInt32 virtualKey, float modifiers) override;
    bool setKnobMode(VstInt32 mode) override;
    void setParameter(VstInt32 index, float value) override;
    // After a preset load or a reset: the name shown in the header.
    void presetChanged() { editor_.presetChanged(); }
    // A short message in the preset name field until the preset changes.
    void showNotice(const std::wstring& text) { editor_.showNotice(text); }

    float parameterValue(int index) const override;
    void setParameterAutomated(int index, float value) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    std::string parameterText(int index) const override;
    std::wstring presetName() const override;
    std::wstring presetPath() const override;
    bool presetEdited() const override;
    bool isVoiceSounding(int voice) const override;
    int playingStep() const override;
    Config& config() override;

    Editor& editor() { return editor_; }

private:
    Plugin& plugin_;
    Editor editor_;
    ERect rect_{};
};

}  // namespace tvx
