#include "vsthost/editor_commands.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "vsthost/editor_window.h"
#include "vsthost/plugin_host.h"
#include "vsthost/plugin_setup.h"

namespace tvx {

namespace vsthost {

namespace {

constexpr VstInt32 kTessaravoxId = 0x2D535E35;
// Tessaravox's own command parameters used for the size option.
constexpr VstInt32 kTessaravoxSizeCommand = 1050;
constexpr double kTessaravoxScaleFactors[] = {1.0, 1.25, 1.5, 1.75, 2.0};
constexpr int kIdleCalls = 12;
constexpr int kIdleIntervalMs = 20;
constexpr int kBlockSize = 512;
constexpr int kBlocksPerIdle = 2;

struct EditorArgs {
    std::string plugin, out, preset, saveChunk;
    std::vector<std::string> sets;
    int page = -1;   // -1: leave the plug-in's own choice
    int scale = -1;  // -1: leave the plug-in's own choice
    int note = -1;   // -1: silent
};

bool parseWholeNumber(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || !end || *end != 0 || n < low || n > high) return false;
    value = static_cast<int>(n);
    return true;
}

bool parsePage(const std::string& text, int& page) {
    static const char* const kPages[] = {"main", "mod", "seq"};
    for (int i = 0; i < 3; ++i)
        if (text == kPages[i]) {
            page = i;
            return true;
        }
    return false;
}

bool parseEditorArgs(const std::vector<std::string>& args, bool snapshot, EditorArgs& e, std::string& error) {
    if (args.size() < 2 || args[1].empty() || args[1][0] == '-') {
        error = args[0] + " needs a plug-in path";
        return false;
    }
    e.plugin = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) {
            error = (a.rfind("--", 0) == 0) ? "option " + a + " needs a value" : "unexpected argument '" + a + "'";
            return false;
        }
        const std::string& v = args[++i];
        if (a == "--set") {
            e.sets.push_back(v);
        } else if (a == "--preset" || a == "--save-chunk" || (snapshot && a == "--out")) {
            if (v.empty()) {
                error = "option " + a + " needs a file name";
                return false;
            }
            (a == "--preset" ? e.preset : a == "--out" ? e.out : e.saveChunk) = v;
        } else if (a == "--scale") {
            if (!parseWholeNumber(v, 0, 4, e.scale)) {
                error = "--scale must be 0 (100 %), 1, 2, 3 or 4 (200 %), not '" + v + "'";
                return false;
            }
        } else if (snapshot && a == "--page") {
            if (!parsePage(v, e.page)) {
                error = "--page must be main, mod or seq, not '" + v + "'";
                return false;
            }
        } else if (snapshot && a == "--note") {
            if (!parseWholeNumber(v, 0, 127, e.note)) {
                error = "--note must be a MIDI note number 0..127, not '" + v + "'";
                return false;
            }
        } else {
            error = "unknown option '" + a + "' for " + args[0];
            return false;
        }
    }
    if (snapshot && e.out.empty()) {
        error = "snapshot needs --out FILE.png";
        return false;
    }
    return true;
}

// Tessaravox-specific options need the plug-in to be Tessaravox.
bool checkPluginSpecificOptions(PluginHost& host, const EditorArgs& e, std::string& error) {
    if ((e.scale >= 0 || e.page >= 0) && host.effect()->uniqueID != kTessaravoxId) {
        error = "--scale and --page are known for Tessaravox only";
        return false;
    }
    if (!(host.effect()->flags & effFlagsHasEditor)) {
        error = "the plug-in has no editor";
        return false;
    }
    return true;
}

bool prepare(PluginHost& host, const EditorArgs& e, std::string& error) {
    std::vector<char> chunk;
    std::vector<std::pair<int, float>> parameters;
    if ((!e.preset.empty() && !readPresetChunk(e.preset, chunk, error)) || !host.load(e.plugin, error) ||
        !checkPluginSpecificOptions(host, e, error) || !resolveParameters(host, e.sets, parameters, error))
        return false;
    host.start(44100.0, kBlockSize);
    if (!e.preset.empty() && !setChunk(host, chunk, error)) return false;
    for (const auto& p : parameters) host.effect()->setParameter(host.effect(), p.first, p.second);
    // The size is the plug-in's own setting, changed as its Size menu does.
    if (e.scale >= 0) host.effect()->setParameter(host.effect(), kTessaravoxSizeCommand, static_cast<float>(e.scale));
    return true;
}

bool editorSize(PluginHost& host, int& width, int& height, std::string& error) {
    ERect* rect = nullptr;
    host.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) {
        error = "the plug-in reports no editor size";
        return false;
    }
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return true;
}

void sendMidi(PluginHost& host, unsigned char status, unsigned char data1, unsigned char data2) {
    VstMidiEvent midi = {};
    midi.type = kVstMidiType;
    midi.byteSize = sizeof(midi);
    midi.midiData[0] = static_cast<char>(status);
    midi.midiData[1] = static_cast<char>(data1);
    midi.midiData[2] = static_cast<char>(data2);
    VstEvents events = {};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&midi);
    host.dispatch(effProcessEvents, 0, 0, &events);
}

void processBlocks(PluginHost& host, int blocks) {
    std::vector<float> left(kBlockSize), right(kBlockSize);
    float* outputs[2] = {left.data(), right.data()};
    for (int b = 0; b < blocks; ++b) host.effect()->processReplacing(host.effect(), nullptr, outputs, kBlockSize);
}

void idleFor(PluginHost& host, EditorWindow& window, int calls, bool sounding) {
    for (int i = 0; i < calls && window.isOpen(); ++i) {
        if (sounding) processBlocks(host, kBlocksPerIdle);
        host.dispatch(effEditIdle);
        window.waitForMessages(kIdleIntervalMs);
    }
}

// The page tabs of Tessaravox form a column at the left of its lower half;
// the margins of a theme move them, so they are derived from the window size.
bool pageTabCentre(int width, int height, int scale, int page, int& x, int& y) {
    for (int s = 4; s >= 0; --s) {
        if (scale >= 0 && s != scale) continue;
        const double f = kTessaravoxScaleFactors[s];
        const double sideUnits = (width / f - 1056.0) / 16.0;
        const double verticalUnits = (height / f - 624.0) / 8.0;
        if (sideUnits < -0.1 || verticalUnits < -0.1) continue;
        const double top = std::floor(std::round(verticalUnits) / 2.0);
        x = static_cast<int>((8.0 * std::round(sideUnits) + 32.0) * f);
        y = static_cast<int>((8.0 * top + 504.0 + 48.0 * page) * f);
        return true;
    }
    return false;
}

struct OpenEditor {
    PluginHost& host;
    std::unique_ptr<EditorWindow> window;
    bool open = false;

    ~OpenEditor() {
        if (open) host.dispatch(effEditClose);
        if (window) window->processMessages();
    }
};

bool openEditor(PluginHost& host, OpenEditor& editor, std::string& error) {
    int width = 0, height = 0;
    if (!editorSize(host, width, height, error)) return false;
    editor.window = EditorWindow::create(host.effectName().empty() ? "vsthost" : host.effectName(), width,
                                         height, error);
    if (!editor.window) return false;
    if (host.dispatch(effEditOpen, 0, 0, editor.window->nativeHandle()) == 0) {
        error = "the plug-in did not open its editor";
        return false;
    }
    editor.open = true;
    // Some editors know their size only once open.
    if (editorSize(host, width, height, error)) editor.window->setClientSize(width, height);
    return true;
}

int fail(std::FILE* err, const std::string& error) {
    std::fprintf(err, "vsthost: %s\n", error.c_str());
    return 1;
}

}  // namespace

int runSnapshot(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    EditorArgs e;
    PluginHost host;
    std::string error;
    if (!parseEditorArgs(args, true, e, error) || !prepare(host, e, error)) return fail(err, error);
    {
        OpenEditor editor{host, nullptr};
        if (!openEditor(host, editor, error)) return fail(err, error);
        int width = 0, height = 0;
        editorSize(host, width, height, error);
        if (e.page >= 0) {
            int x = 0, y = 0;
            if (!pageTabCentre(width, height, e.scale, e.page, x, y)) return fail(err, "cannot locate the page tabs");
            idleFor(host, *editor.window, 2, false);
            editor.window->clickAt(x, y);
        }
        if (e.note >= 0) sendMidi(host, 0x90, static_cast<unsigned char>(e.note), 100);
        idleFor(host, *editor.window, kIdleCalls, e.note >= 0);
        if (!editor.window->isOpen()) return fail(err, "the editor window was closed before the capture");
        if (!editor.window->capturePng(e.out, error)) return fail(err, error);
        std::fprintf(out, "wrote %s: %d x %d pixels\n", e.out.c_str(), width, height);
    }
    host.unload();
    return 0;
}

int runEdit(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    EditorArgs e;
    PluginHost host;
    std::string error;
    if (!parseEditorArgs(args, false, e, error) || !prepare(host, e, error)) return fail(err, error);
    {
        OpenEditor editor{host, nullptr};
        if (!openEditor(host, editor, error)) return fail(err, error);
        std::fprintf(out, "editing %s; close the window to finish\n", host.effectName().c_str());
        std::fflush(out);
        while (editor.window->isOpen()) {
            host.dispatch(effEditIdle);
            editor.window->waitForMessages(kIdleIntervalMs);
        }
    }
    if (!e.saveChunk.empty()) {
        if (!saveChunk(host, e.saveChunk, error)) return fail(err, error);
        std::fprintf(out, "wrote the state chunk to %s\n", e.saveChunk.c_str());
    }
    host.unload();
    return 0;
}

}  // namespace vsthost

}  // namespace tvx
