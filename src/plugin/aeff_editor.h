#pragma once

#include "plugin/vst_abi.h"

namespace tvx {

class AudioEffect;

// The editor as the host boundary sees it: the window opcodes are forwarded
// here. The editor's toolkit derives its own editor class from this one.
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect_(effect) {}
    virtual ~AEffEditor() = default;

    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow_ = parentWindow;
        return false;
    }
    virtual void close() { systemWindow_ = nullptr; }
    virtual bool isOpen() const { return systemWindow_ != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstInt32 /*character*/, VstInt32 /*virtualKey*/, float /*modifiers*/) { return false; }
    virtual bool onKeyUp(VstInt32 /*character*/, VstInt32 /*virtualKey*/, float /*modifiers*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    // A parameter changed elsewhere; the control that shows it follows.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

    AudioEffect* getEffect() const { return effect_; }

protected:
    AudioEffect* effect_;
    void* systemWindow_ = nullptr;
};

}  // namespace tvx
