#pragma once

#include <string>

namespace tvx {

class Config;

// What the editor knows of the plug-in: its parameter values and texts, the
// few engine states it shows, the shared configuration, and the one way
// back for every control change. The plug-in side implements it.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    virtual float parameterValue(int index) const = 0;
    // A control changed a parameter (0..261) or chose a command (1000 up):
    // applied, then reported to the host as automation.
    virtual void setParameterAutomated(int index, float value) = 0;
    // Gesture brackets around a drag, for the host's automation recording.
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;
    // The display text of a parameter's value, at full length.
    virtual std::string parameterText(int index) const = 0;
    virtual std::wstring presetName() const = 0;
    // The file the sound was last loaded from or saved to, or empty.
    virtual std::wstring presetPath() const { return {}; }
    // A sound parameter changed since the preset was loaded or saved.
    virtual bool presetEdited() const { return false; }
    virtual bool isVoiceSounding(int voice) const = 0;
    // The sequencer step now playing, or -1.
    virtual int playingStep() const = 0;
    virtual Config& config() = 0;
};

}  // namespace tvx
