#pragma once

#include <array>
#include <atomic>
#include <mutex>

#include "editor/control_registry.h"
#include "editor/editor_base.h"
#include "editor/editor_images.h"
#include "editor/editor_style.h"
#include "editor/menu_hint.h"
#include "editor/module_layout.h"
#include "editor/page_layouts.h"
#include "editor/section_dimming.h"
#include "editor/value_readout.h"

namespace tvx {

class CTabView;
class CTextEdit;
class CViewContainer;
class StepColumn;

// The plug-in's window: builds the view tree at every opening (theme and
// size are read anew each time), feeds the controls the parameter values
// and polls the few engine states it shows in idle.
class Editor : public EditorBase {
public:
    enum Page { kMainPage = 0, kModPage = 1, kSeqPage = 2 };

    explicit Editor(EditorHost& host);
    ~Editor() override;

    bool getRect(GuiEditorRect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    // From any thread: only stores values in controls, which redraw at idle.
    void setParameter(int32_t index, float value) override;
    // The preset name changed; shown at the next idle.
    void presetChanged() { presetChanged_.store(true); }
    // Shows `text` in the preset name field until the next preset change.
    void showNotice(const std::wstring& text);
    void wheelTurned(int32_t tag) override { readout_.wheelTurned(tag); }
    bool valueMenuRequested(int32_t tag, const CPoint& where) override;
    const ValueReadout& readout() const { return readout_; }
    // Opens the field for typing a value of `parameter` (0..212) over its
    // display, caption or knob; false where the parameter has no control.
    bool openValueField(int parameter);
    CTextEdit* valueField() const { return field_; }

    const ControlRegistry& controls() const { return registry_; }
    const EditorStyle& style() const { return style_; }
    CTabView* pageSwitcher() const { return pages_; }
    int rememberedPage() const { return rememberedPage_; }
    // Views the tests and the host side look into while open.
    CViewContainer* mainView() const { return mainView_; }
    CViewContainer* contentView() const { return content_; }
    CViewContainer* page(int index) const;

private:
    EditorStyle style_;
    EditorImages images_;
    ControlRegistry registry_;
    ValueReadout readout_;
    std::array<OscillatorViews, 3> oscillators_;
    HeaderViews header_;
    MidiLearnViews learn_;
    std::array<ParamLabel*, 16> stepLabels_{};
    std::array<int, 16> stepStyles_{};
    std::array<StepColumn*, 16> stepColumns_{};
    SectionDimming dimming_;
    MenuHint hint_;
    CViewContainer* content_ = nullptr;
    CViewContainer* mainView_ = nullptr;
    CTabView* pages_ = nullptr;
    int rememberedPage_ = kMainPage;
    std::atomic<bool> presetChanged_{false};
    bool shownEdited_ = false;
    CTextEdit* field_ = nullptr;
    int fieldParameter_ = -1;
    bool fieldDone_ = false;
    bool nativeField_ = false;
    // "MIDI Learn" from a knob's menu: listens until a controller is bound
    // to this parameter (other than the one bound when it began).
    int learnOnce_ = -1;
    int learnOnceFrom_ = -1;
    // Held by close while views go away; setParameter from another thread
    // skips its update rather than wait.
    std::mutex viewsMutex_;
    std::atomic<bool> viewsReady_{false};

    void prepareStyle();
    void buildViews();
    void buildPages();
    void pushAllParameters();
    void showParameter(int32_t index, float value);

    void idleVoiceLights();
    void idleCaptions();
    void idleMidiLearn();
    void idleOscillators();
    void idleSequencerSteps();
    void idlePresetName();

    // The knob menu and typed entry (editor_value_entry.cpp).
    void setByUser(int parameter, float value);
    bool commitTypedValue(const std::string& text, std::string& error);
    void closeValueField();
    int controllerOf(int parameter) const;
    CRect valueFieldRect(int parameter) const;
};

}  // namespace tvx
