#pragma once

#include "gui/c_frame.h"

#include <cstdint>
#include <memory>

namespace tvx {

// The editor's rectangle as the VST 2.4 editor opcodes hand it out: four
// 16-bit values in the order top, left, bottom, right.
struct GuiEditorRect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;
};

// The base of a plug-in editor built with this toolkit.
//
// The toolkit knows nothing of the plug-in: `effect` is an opaque pointer
// it hands back unchanged through getEffect(). The plug-in's dispatcher
// side forwards the editor opcodes to these operations through a small
// adapter of its own: effEditGetRect -> getRect (copying the rectangle
// into its own ERect), effEditOpen -> open(parent window), effEditClose ->
// close, effEditIdle -> idle, effEditKeyDown/Up -> onKeyDown/onKeyUp, and
// its setParameter -> setParameter.
//
// open() creates the CFrame (a derived editor builds its views there);
// close() deletes it with all views; idle() redraws what is dirty.
class AEffGUIEditor {
public:
    explicit AEffGUIEditor(void* effect);
    virtual ~AEffGUIEditor();
    AEffGUIEditor(const AEffGUIEditor&) = delete;
    AEffGUIEditor& operator=(const AEffGUIEditor&) = delete;

    // Points `*rect` at the editor's rectangle (valid while the editor
    // lives). Returns false when rect is null.
    virtual bool getRect(GuiEditorRect** rect);
    // Remembers the parent window. A derived editor creates the frame and
    // its views, then returns true.
    virtual bool open(void* parentWindow);
    // Deletes the frame and all its views.
    virtual void close();
    // Redraws the dirty views.
    virtual void idle();
    // A parameter changed (on any thread): controls take the value.
    virtual void setParameter(int32_t index, float value);
    virtual bool onKeyDown(const CKeyEvent& key);
    virtual bool onKeyUp(const CKeyEvent& key);

    bool isOpen() const { return frame != nullptr; }
    void* getEffect() const { return effect_; }
    CFrame* getFrame() const { return frame.get(); }
    void* getSystemWindow() const { return systemWindow_; }

    // Knob dragging mode for every knob of this editor (CKnobMode).
    void setKnobMode(int mode) { knobMode_ = mode; }
    int getKnobMode() const { return knobMode_; }

protected:
    GuiEditorRect rect;
    std::unique_ptr<CFrame> frame;

private:
    void* effect_;
    void* systemWindow_ = nullptr;
    int knobMode_ = 2;  // kLinearMode
};

}  // namespace tvx
