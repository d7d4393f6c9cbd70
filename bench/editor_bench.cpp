// The editor at 200 %: opening (the whole view tree built and drawn once
// into an offscreen image), an idle step with nothing changed, and the
// preset list brought up to date for opening with 8 banks of 10 presets, and the
// opening of the field for typing a value.

#include <benchmark/benchmark.h>

#if !defined(_WIN32)
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/editor.h"
#include "editor/preset_menu.h"
#include "gui/c_frame.h"
#include "gui/c_text_edit.h"
#include "gui/cairo/cairo_image_context.h"
#include "params/parameter_id.h"
#include "persist/config.h"
#include "plugin/plugin.h"
#include "plugin/plugin_editor.h"

namespace tvx {

namespace {

Editor& editorOf(Plugin& plugin) { return static_cast<PluginEditor*>(plugin.getEditor())->editor(); }

void drawWholeWindow(Editor& editor, CairoImageContext& image) {
    editor.getFrame()->drawRect(&image, editor.getFrame()->getViewSize());
}

// An instance with its editor open at 200 % and drawn once, as a host
// shows it; closed again at the end.
struct OpenEditor {
    Plugin plugin{nullptr};
    CairoImageContext image{2112, 1248};
    Editor* editor = nullptr;

    OpenEditor() {
        plugin.config().scale = 4;
        editor = &editorOf(plugin);
        editor->open(nullptr);
        drawWholeWindow(*editor, image);
    }
    ~OpenEditor() { editor->close(); }
};

void BM_EditorOpenAt200Percent(benchmark::State& state) {
    Plugin plugin(nullptr);
    plugin.config().scale = 4;
    Editor& editor = editorOf(plugin);
    CairoImageContext image(2112, 1248);
    for (auto _ : state) {
        editor.open(nullptr);
        drawWholeWindow(editor, image);
        editor.close();
    }
}
BENCHMARK(BM_EditorOpenAt200Percent)->Unit(benchmark::kMillisecond);

void BM_EditorIdleWithNothingChanged(benchmark::State& state) {
    OpenEditor open;
    open.editor->idle();
    for (auto _ : state) open.editor->idle();
}
BENCHMARK(BM_EditorIdleWithNothingChanged)->Unit(benchmark::kMicrosecond);

PresetMenu* findPresetMenu(CViewContainer& container) {
    for (int i = 0; i < container.getNbViews(); ++i) {
        CView* view = container.getView(i);
        if (auto* menu = dynamic_cast<PresetMenu*>(view)) return menu;
        if (auto* inner = dynamic_cast<CViewContainer*>(view))
            if (PresetMenu* menu = findPresetMenu(*inner)) return menu;
    }
    return nullptr;
}

void BM_PresetListOpenWith8BanksOf10(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / "tessaravox-bench-home";
    fs::remove_all(home);
    const fs::path presets = home / "Morrowfen Software" / "Tessaravox" / "Presets";
    for (int bank = 0; bank < 8; ++bank) {
        const fs::path folder = presets / ("Bank " + std::to_string(bank));
        fs::create_directories(folder);
        for (int p = 0; p < 10; ++p) std::ofstream(folder / ("Sound " + std::to_string(p) + ".prs")) << "Osc1Pos=0.5\r\n";
    }
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    {
        Plugin plugin(nullptr);
        Editor& editor = editorOf(plugin);
        editor.open(nullptr);
        PresetMenu* menu = findPresetMenu(*editor.getFrame());
        for (auto _ : state) menu->beforePopup();
        editor.close();
    }
    fs::remove_all(home);
}
BENCHMARK(BM_PresetListOpenWith8BanksOf10)->Unit(benchmark::kMillisecond);

// The typed-entry field: made over a value display, filled with the value's
// text and drawn (the frame's own field, as on Linux).
void BM_ValueFieldOpensAt200Percent(benchmark::State& state) {
    OpenEditor open;
    Editor& editor = *open.editor;
    CairoImageContext& image = open.image;
    CKeyEvent escape;
    escape.virtualKey = kVirtualKeyEscape;
    for (auto _ : state) {
        editor.openValueField(Osc1Semi);
        editor.getFrame()->drawRect(&image, editor.valueField()->getViewSize());
        state.PauseTiming();
        editor.getFrame()->platformOnKeyDown(escape);
        editor.idle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ValueFieldOpensAt200Percent)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace tvx

#endif
