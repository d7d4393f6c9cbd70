#include "editor/editor.h"

#include <cmath>
#include <string>

#include "editor/context_menu.h"
#include "editor/control_factory.h"
#include "editor/editor_host.h"
#include "editor/main_view_container.h"
#include "editor/mod_page_layout.h"
#include "editor/param_display.h"
#include "editor/param_label.h"
#include "editor/preset_menu.h"
#include "editor/step_column.h"
#include "editor/sub_view_containers.h"
#include "editor/text_conversion.h"
#include "editor/text_tab_button.h"
#include "editor/value_text.h"
#include "gui/c_frame.h"
#include "gui/c_knob.h"
#include "gui/c_tab_view.h"
#include "params/modulation_codes.h"
#include "params/parameter_id.h"
#include "params/parameter_table.h"
#include "persist/config.h"
#include "persist/theme.h"

namespace tvx {

namespace {

constexpr int kFirstModSource = Mod1Source;
constexpr int kFirstModTarget = Mod1Target;

// A stored choice may be anything a host or a chunk delivered.
int choiceNumber(float value, int count) {
    if (!std::isfinite(value) || value < 0.0f || value >= static_cast<float>(count)) return -1;
    return static_cast<int>(value);
}

// The value a choice control shows for a stored parameter value: the menu
// position for sources and targets, the value itself for the others.
float shownChoice(int32_t index, float value) {
    if (index >= kFirstModSource && index < kFirstModSource + 12)
        return static_cast<float>(menuFromModSource(choiceNumber(value, kNumModSources)));
    if (index >= kFirstModTarget && index < kFirstModTarget + 12)
        return static_cast<float>(menuFromModTarget(choiceNumber(value, kNumModTargets)));
    return value;
}

std::string narrowName(int parameter) {
    const wchar_t* name = parameterName(parameter);
    return name ? toUtf8(name) : std::string();
}

}  // namespace

Editor::Editor(EditorHost& host) : EditorBase(host) { setKnobMode(kLinearMode); }

Editor::~Editor() { close(); }

void Editor::prepareStyle() {
    Config& config = host_.config();
    loadTheme(config);
    style_ = EditorStyle::fromTheme(config.theme, config.scale);
    const CRect window = style_.windowRect();
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<int16_t>(window.bottom);
    rect.right = static_cast<int16_t>(window.right);
}

bool Editor::getRect(GuiEditorRect** r) {
    // Closed, the next opening's size: the theme or the size setting may
    // have changed since.
    if (!isOpen()) prepareStyle();
    return AEffGUIEditor::getRect(r);
}

namespace {

// The context menus and the preset list are invisible areas, so they were
// made without a font; where the toolkit draws the popup itself (X11) it
// takes the menu's font and colours, which must be the theme's.
void styleMenusThatDrawNothing(CViewContainer& container, const StyledFont& menuFont) {
    for (int i = 0; i < container.getNbViews(); ++i) {
        CView* view = container.getView(i);
        if (auto* inner = dynamic_cast<CViewContainer*>(view)) styleMenusThatDrawNothing(*inner, menuFont);
        if (dynamic_cast<ContextMenu*>(view) == nullptr && dynamic_cast<PresetMenu*>(view) == nullptr) continue;
        auto* menu = static_cast<COptionMenu*>(view);
        menu->setFont(menuFont.desc);
        menu->setFontColor(menuFont.color);
        menu->setBackColor(menuFont.back);
    }
}

}  // namespace

bool Editor::open(void* parentWindow) {
    if (isOpen()) close();
    AEffGUIEditor::open(parentWindow);
    prepareStyle();
    frame = std::make_unique<CFrame>(style_.windowRect(), parentWindow, this);
    images_ = EditorImages::load(host_.config(), style_.factor);
    style_.knob = images_.knob;
    style_.knobBipolar = images_.knobBipolar;
    buildViews();
    images_ = {};  // the views keep what they use
    pushAllParameters();
    presetChanged_.store(true);  // the name with its edit mark
    viewsReady_.store(true);
    idle();
    return true;
}

void Editor::buildViews() {
    registry_.clear();
    oscillators_ = {};
    stepStyles_.fill(-1);
    dimming_.clear();

    // The image lies under the colour fill: it shows only where a theme
    // makes backgroundColor translucent.
    frame->setBackground(images_.background);
    frame->setBackgroundOffset(style_.contentOrigin());
    auto* background = new CViewContainer(style_.windowRect());
    background->setBackgroundColor(style_.background);
    frame->addView(background);

    const CPoint origin = style_.contentOrigin();
    content_ = new CViewContainer(CRect(origin, style_.rect(0, 0, 1056, 624).getSize()));
    content_->setTransparency(true);
    frame->addView(content_);

    ControlFactory header(*this, style_, registry_, *content_);
    buildHeader(header, header_);
    hint_.build(*content_, style_);

    mainView_ = new MainViewContainer(style_.rect(0, 40, 1056, 624), style_);
    content_->addView(mainView_);
    ControlFactory modules(*this, style_, registry_, *mainView_);
    buildModuleRows(modules, oscillators_);
    dimming_.addModuleRows(*mainView_, style_);
    buildPages();
    styleMenusThatDrawNothing(*frame, style_.menu);
    readout_.build(*frame, style_);
}

void Editor::buildPages() {
    pages_ = new CTabView(style_.rect(8, 440, 1048, 584), style_.rect(0, 0, 48, 48).getSize(), kPositionLeft);
    pages_->setTransparency(true);
    const CRect pageSize = style_.rect(0, 0, 992, 144);
    auto* mainPage = new SubView1Container(pageSize, style_);
    auto* modPage = new SubView2Container(pageSize, style_, images_.modPage);
    auto* seqPage = new SubView3Container(pageSize, style_, images_.seqPage);
    const CRect tab = style_.textRect(0, 0, 48, 48);
    // The first tab lies beside the page's title bar (20 high).
    const CCoord belowTitleBar = style_.scaled(20);
    pages_->addTab(mainPage, new TextTabButton(tab, "MAIN", style_.onTab, style_.offTab, belowTitleBar));
    pages_->addTab(modPage, new TextTabButton(tab, "MOD", style_.onTab, style_.offTab));
    pages_->addTab(seqPage, new TextTabButton(tab, "SEQ", style_.onTab, style_.offTab));
    mainView_->addView(pages_);

    ControlFactory mainControls(*this, style_, registry_, *mainPage);
    buildMainPage(mainControls, learn_);
    dimming_.addEffects(*mainPage, style_);
    ControlFactory modControls(*this, style_, registry_, *modPage);
    buildModPage(modControls, dimming_);
    ControlFactory seqControls(*this, style_, registry_, *seqPage);
    buildSeqPage(seqControls, stepLabels_, stepColumns_);
    pages_->selectTab(rememberedPage_);
}

CViewContainer* Editor::page(int index) const {
    return pages_ ? dynamic_cast<CViewContainer*>(pages_->getTabView(index)) : nullptr;
}

void Editor::close() {
    if (!isOpen()) return;
    std::lock_guard<std::mutex> lock(viewsMutex_);
    viewsReady_.store(false);
    if (pages_) rememberedPage_ = pages_->getCurrentTab() < 0 ? kMainPage : pages_->getCurrentTab();
    registry_.clear();
    oscillators_ = {};
    header_ = {};
    learn_ = {};
    stepLabels_.fill(nullptr);
    stepColumns_.fill(nullptr);
    dimming_.clear();
    hint_.forget();
    content_ = mainView_ = nullptr;
    pages_ = nullptr;
    touching_ = false;
    readout_.clear();
    field_ = nullptr;  // the frame's views go with it
    fieldParameter_ = -1;
    fieldDone_ = false;
    nativeField_ = false;
    learnOnce_ = -1;
    AEffGUIEditor::close();
}

void Editor::pushAllParameters() {
    for (int i = 0; i < kNumParameters; ++i) showParameter(i, host_.parameterValue(i));
}

void Editor::setParameter(int32_t index, float value) {
    std::unique_lock<std::mutex> lock(viewsMutex_, std::try_to_lock);
    if (!lock.owns_lock() || !viewsReady_.load()) return;
    showParameter(index, value);
}

void Editor::showParameter(int32_t index, float value) {
    if (index < 0 || index >= 260) return;  // the shelf switches have no control
    if (index < ControlRegistry::kDisplayParameters && registry_.display[index])
        registry_.display[index]->setValue(value);
    if (CControl* control = registry_.controlOf(index)) {
        control->setValue(index >= ControlRegistry::kFirstChoice ? shownChoice(index, value) : value);
        // A display's text can change without its value (a synced time),
        // so it is redrawn with every change of its parameter.
        if (index < ControlRegistry::kDisplayParameters && registry_.display[index]) registry_.display[index]->setDirty();
    }
}

void Editor::idle() {
    if (!isOpen() || !viewsReady_.load()) return;
    idleVoiceLights();
    if (fieldDone_) closeValueField();
    readout_.idle(*frame, registry_, host_);
    idleCaptions();
    idleMidiLearn();
    idleOscillators();
    idleSequencerSteps();
    idlePresetName();
    dimming_.update(host_);
    if (frame) hint_.update(*frame);
    AEffGUIEditor::idle();
}

void Editor::idleVoiceLights() {
    for (int k = 0; k < 32; ++k)
        if (header_.voiceLights[k])
            static_cast<CParamDisplay*>(header_.voiceLights[k])->setValue(host_.isVoiceSounding(k) ? 1.0f : 0.0f);
}

void Editor::idleCaptions() {
    // Held only while the frame still has the mouse: a touch that ended by
    // a double click, a lost capture or a popup shows the caption again.
    const int held = touching_ && frame->isMouseCaptured() ? touchedTag_ : -1;
    const int readout = readout_.captionParameter();
    for (int i = 0; i < static_cast<int>(registry_.caption.size()); ++i) {
        ParamLabel* caption = registry_.caption[i];
        if (!caption) continue;
        const int parameter = ControlRegistry::kFirstCaption + i;
        const bool valueShown = parameter == held || parameter == readout;
        caption->setText(valueShown ? editorValueText(host_, parameter) : registry_.captionText[i]);
    }
}

void Editor::idleMidiLearn() {
    Config& config = host_.config();
    if (learnOnce_ >= 0) {
        const int bound = controllerOf(learnOnce_);
        if (bound >= 0 && bound != learnOnceFrom_) learnOnce_ = -1;
    }
    config.midiLearnListening =
        learnOnce_ >= 0 || (learn_.listen && static_cast<CControl*>(learn_.listen)->getValue() > 0.0f);
    config.midiLearnParam = learnOnce_ >= 0 ? learnOnce_ : touchedTag_;
    if (touchedTag_ < 0 || touchedTag_ >= ControlRegistry::kKnobParameters) return;
    if (learn_.selected) learn_.selected->setText(narrowName(touchedTag_));
    int controller = -1;
    for (int cc = 0; cc < 120 && controller < 0; ++cc)
        if (config.knobCC[cc] == touchedTag_) controller = cc;
    if (learn_.assigned) learn_.assigned->setText(controller < 0 ? "None" : std::to_string(controller));
}

void Editor::idleOscillators() {
    for (int i = 0; i < 3; ++i) {
        const bool fm = choiceNumber(host_.parameterValue(Osc1Type + i), 4) == 3;
        OscillatorViews& views = oscillators_[i];
        if (views.positionLabel)
            views.positionLabel->setText("O" + std::to_string(i + 1) + (fm ? " Mod 1" : " Pos"));
        if (views.show(fm) && mainView_) mainView_->setDirty();
    }
}

void Editor::idleSequencerSteps() {
    if (!pages_ || pages_->getCurrentTab() != kSeqPage) return;
    const float count = host_.parameterValue(SeqStepCount);
    const int used = std::isfinite(count) ? 1 + static_cast<int>(std::floor(15.0f * std::fmin(std::fmax(count, 0.0f), 1.0f))) : 1;
    const int playing = host_.playingStep();
    for (int j = 0; j < 16; ++j) {
        const int styleIndex = j == playing ? 2 : j < used ? 1 : 0;
        if (stepColumns_[j])
            stepColumns_[j]->setState(styleIndex == 2 ? StepColumn::kPlaying
                                      : styleIndex == 1 ? StepColumn::kUsed : StepColumn::kUnused);
        if (!stepLabels_[j] || stepStyles_[j] == styleIndex) continue;
        stepStyles_[j] = styleIndex;
        stepLabels_[j]->applyStyle(style_.seqLabel[styleIndex]);
    }
}

void Editor::showNotice(const std::wstring& text) {
    if (header_.presetName) header_.presetName->setText(toUtf8(text));
}

// An edited sound carries a mark after its name until it is saved or
// loaded again.
void Editor::idlePresetName() {
    const bool edited = host_.presetEdited();
    if (!presetChanged_.exchange(false) && edited == shownEdited_) return;
    if (!header_.presetName) return;
    shownEdited_ = edited;
    header_.presetName->setText(toUtf8(host_.presetName()) + (edited ? " *" : ""));
}

}  // namespace tvx
