// The editor at 200 %: opening (the whole view tree built and drawn once
// into an offscreen image) and an idle step with nothing changed.

#include <benchmark/benchmark.h>

#if !defined(_WIN32)
#include "editor/editor.h"
#include "gui/c_frame.h"
#include "gui/cairo/cairo_image_context.h"
#include "persist/config.h"
#include "plugin/plugin.h"
#include "plugin/plugin_editor.h"

namespace {

Editor& editorOf(Plugin& plugin) { return static_cast<PluginEditor*>(plugin.getEditor())->editor(); }

void drawWholeWindow(Editor& editor, CairoImageContext& image) {
    editor.getFrame()->drawRect(&image, editor.getFrame()->getViewSize());
}

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
    Plugin plugin(nullptr);
    plugin.config().scale = 4;
    Editor& editor = editorOf(plugin);
    editor.open(nullptr);
    CairoImageContext image(2112, 1248);
    drawWholeWindow(editor, image);
    editor.idle();
    for (auto _ : state) editor.idle();
    editor.close();
}
BENCHMARK(BM_EditorIdleWithNothingChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
#endif
