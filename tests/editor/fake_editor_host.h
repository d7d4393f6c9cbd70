#pragma once

#include <string>
#include <utility>
#include <vector>

#include "editor/editor_host.h"
#include "params/parameter_display.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"
#include "persist/config.h"

namespace tvx {

// The plug-in side of the editor, as the tests need it: a parameter array
// with the init sound, a Config, voices and a sequencer step to show, and a
// record of what the controls sent.
class FakeEditorHost : public EditorHost {
public:
    FakeEditorHost() : config_(params_) { fillInitSound(params_); }

    float parameterValue(int index) const override {
        return index >= 0 && index < kNumParameters ? params_[index] : 0.0f;
    }
    void setParameterAutomated(int index, float value) override {
        if (index >= 0 && index < kNumParameters) params_[index] = value;
        sent.emplace_back(index, value);
    }
    void beginEdit(int index) override { edits.push_back(index); }
    void endEdit(int index) override { edits.push_back(-1 - index); }
    std::string parameterText(int index) const override {
        char text[64] = {};
        getParameterDisplay(params_, index, text, sizeof(text));
        return text;
    }
    std::wstring presetName() const override { return name; }
    bool isVoiceSounding(int voice) const override { return voice >= 0 && voice < 32 && sounding[voice]; }
    int playingStep() const override { return step; }
    Config& config() override { return config_; }

    float params_[kNumParameters] = {};
    std::vector<std::pair<int, float>> sent;
    std::vector<int> edits;
    std::wstring name = L"Init";
    bool sounding[32] = {};
    int step = -1;

private:
    Config config_;
};

}  // namespace tvx
