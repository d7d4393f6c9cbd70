#include "vsthost/commands.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>

#include "params/parameter_table.h"
#include "vsthost/editor_commands.h"
#include "vsthost/midi_file.h"
#include "vsthost/plugin_host.h"
#include "vsthost/plugin_setup.h"
#include "vsthost/renderer.h"
#include "vsthost/wav_writer.h"

namespace tvx {

namespace vsthost {

namespace {

constexpr VstInt32 kTessaravoxId = 0x2D535E35;
constexpr int kTessaravoxParameterCount = 262;
constexpr size_t kMaxPresetBytes = 16u << 20;

const char* const kUsage =
    "usage: vsthost info PLUGIN\n"
    "       vsthost render PLUGIN --midi IN.mid --out OUT.wav [options]\n"
    "       vsthost snapshot PLUGIN --out FILE.png [editor options]\n"
    "       vsthost edit PLUGIN [--save-chunk FILE] [editor options]\n"
    "\n"
    "Loads a VST 2.4 plug-in (.so on Linux, .dll on Windows).\n"
    "  info     print the plug-in's name, vendor, version, category, pins, flags,\n"
    "           unique ID and its answers to the common can-do queries\n"
    "  render   play a Standard MIDI File (type 0 or 1) through the plug-in and\n"
    "           write the output as a 32-bit float stereo WAV file\n"
    "\n"
    "render options:\n"
    "  --rate HZ          sample rate (default 44100)\n"
    "  --block N          block size in samples (default 512)\n"
    "  --tempo BPM        host tempo (default: the MIDI file's tempo map, else 120)\n"
    "  --tail SECONDS     time rendered after the end of the MIDI file (default 2)\n"
    "  --set NAME=VALUE   set a parameter before the first block; NAME is a parameter\n"
    "                     index, or for Tessaravox a parameter key such as Osc1Pos\n"
    "                     (repeatable; applied after --preset)\n"
    "  --preset FILE.prs  hand the preset file's text to the plug-in as its state\n"
    "                     chunk before the first block (keys missing from the file\n"
    "                     take their defaults)\n"
    "  --save-chunk FILE  after rendering, write the plug-in's state chunk to FILE\n"
    "  --cpu-report       print the CPU time this thread spent inside the plug-in's\n"
    "                     processReplacing calls (not loading, MIDI or WAV writing)\n"
    "                     and its share of one core for the rendered audio\n"
    "\n"
    "  snapshot opens the plug-in's editor in a window of its own, lets it idle for\n"
    "           a quarter second and writes the window's picture as a PNG file\n"
    "  edit     opens the editor for interactive use until the window is closed;\n"
    "           --save-chunk FILE then writes the plug-in's state chunk to FILE\n"
    "  Both need a window system: the Windows build (under wine64 with an X\n"
    "  display on Linux).\n"
    "\n"
    "editor options:\n"
    "  --preset FILE.prs, --set NAME=VALUE   as for render, before the editor opens\n"
    "  --scale 0..4       Tessaravox: window size 100 %, 125 %, 150 %, 175 %, 200 %\n"
    "                     (the plug-in's Size setting, which it remembers)\n"
    "  --page main|mod|seq  Tessaravox, snapshot: click that page's tab first\n"
    "  --note N           snapshot: play MIDI note N (0..127) while idling, so that\n"
    "                     the editor shows a sounding voice\n";

const char* const kCanDoQueries[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "sendVstEvents", "sendVstMidiEvent",
    "offline",          "midiProgramNames",    "bypass",             "sendVstTimeInfo", "midiKeyBasedInstrumentControl",
};

bool parseNumber(const std::string& text, double& value) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && in.peek() == EOF && std::isfinite(value);
}

bool parseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == 0;
}

std::string fourCC(VstInt32 id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((id >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '.';
    }
    return s;
}

std::string flagNames(VstInt32 flags) {
    static const struct {
        VstInt32 bit;
        const char* name;
    } kFlags[] = {{effFlagsHasEditor, "hasEditor"},         {effFlagsCanReplacing, "canReplacing"},
                  {effFlagsProgramChunks, "programChunks"}, {effFlagsIsSynth, "isSynth"},
                  {effFlagsNoSoundInStop, "noSoundInStop"}, {effFlagsCanDoubleReplacing, "canDoubleReplacing"}};
    std::string names;
    for (const auto& f : kFlags)
        if (flags & f.bit) names += (names.empty() ? "" : " ") + std::string(f.name);
    return names;
}

const char* categoryName(VstIntPtr category) {
    switch (category) {
        case kPlugCategEffect: return "effect";
        case kPlugCategSynth: return "synth";
        case kPlugCategUnknown: return "unknown";
        default: return "other";
    }
}

int runInfo(const std::string& path, std::FILE* out, std::FILE* err) {
    PluginHost host;
    std::string error;
    if (!host.load(path, error)) {
        std::fprintf(err, "vsthost: %s\n", error.c_str());
        return 1;
    }
    AEffect* e = host.effect();
    std::fprintf(out, "Effect name:    %s\n", host.effectName().c_str());
    std::fprintf(out, "Vendor:         %s\n", host.vendorString().c_str());
    std::fprintf(out, "Product:        %s\n", host.productString().c_str());
    std::fprintf(out, "Vendor version: %ld\n", static_cast<long>(host.dispatch(effGetVendorVersion)));
    VstIntPtr category = host.dispatch(effGetPlugCategory);
    std::fprintf(out, "Category:       %s (%ld)\n", categoryName(category), static_cast<long>(category));
    std::fprintf(out, "Inputs:         %d\n", e->numInputs);
    std::fprintf(out, "Outputs:        %d\n", e->numOutputs);
    std::fprintf(out, "Programs:       %d\n", e->numPrograms);
    std::fprintf(out, "Parameters:     %d\n", e->numParams);
    std::fprintf(out, "Flags:          0x%X (%s)\n", static_cast<unsigned>(e->flags), flagNames(e->flags).c_str());
    std::fprintf(out, "Unique ID:      0x%08X '%s'\n", static_cast<unsigned>(e->uniqueID), fourCC(e->uniqueID).c_str());
    std::fprintf(out, "Version:        %d\n", e->version);
    std::fprintf(out, "VST version:    %ld\n", static_cast<long>(host.dispatch(effGetVstVersion)));
    std::fprintf(out, "Can do:\n");
    for (const char* query : kCanDoQueries) {
        VstInt32 answer = host.canDo(query);
        std::fprintf(out, "  %-30s %s (%d)\n", query, answer > 0 ? "yes" : (answer < 0 ? "no" : "don't know"),
                     answer);
    }
    return 0;
}

}  // namespace

// The chunk of a preset file: its 8-bit text as UTF-16LE code units, with
// the CR of every CR LF dropped, as the plug-in itself builds chunks.
bool readPresetChunk(const std::string& path, std::vector<char>& chunk, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open preset '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n;
    while (text.size() <= kMaxPresetBytes && (n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = "cannot read preset '" + path + "'";
        return false;
    }
    // The chunk size travels as a 32-bit count; a preset is a few kilobytes.
    if (text.size() > kMaxPresetBytes) {
        error = "'" + path + "' is too large to be a preset";
        return false;
    }
    chunk.clear();
    chunk.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        chunk.push_back(text[i]);
        chunk.push_back(0);
    }
    return true;
}

bool setChunk(PluginHost& host, std::vector<char>& chunk, std::string& error) {
    if (!(host.effect()->flags & effFlagsProgramChunks)) {
        error = "the plug-in does not take state chunks, so --preset cannot be used";
        return false;
    }
    host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
    return true;
}

bool saveChunk(PluginHost& host, const std::string& path, std::string& error) {
    void* data = nullptr;
    VstIntPtr size = (host.effect()->flags & effFlagsProgramChunks) ? host.dispatch(effGetChunk, 0, 0, &data) : 0;
    if (size <= 0 || !data) {
        error = "the plug-in gave no state chunk to save";
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
    if (std::fclose(f) != 0 || !written) {
        error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

namespace {

struct RenderArgs {
    std::string plugin, midi, out, preset, saveChunk;
    RenderOptions options;
    std::vector<std::string> sets;
};

bool parseRenderArgs(const std::vector<std::string>& args, RenderArgs& r, std::string& error) {
    if (args.size() < 2) {
        error = "render needs a plug-in path";
        return false;
    }
    r.plugin = args[1];
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        double number = 0.0;
        if (a == "--midi") {
            if (!value(r.midi)) return false;
        } else if (a == "--out") {
            if (!value(r.out)) return false;
        } else if (a == "--preset" || a == "--save-chunk") {
            if (!value(a == "--preset" ? r.preset : r.saveChunk)) return false;
            if (args[i].empty()) {
                error = "option " + a + " needs a file name";
                return false;
            }
        } else if (a == "--cpu-report") {
            r.options.measureCpu = true;
        } else if (a == "--set") {
            if (!value(v)) return false;
            r.sets.push_back(v);
        } else if (a == "--rate" || a == "--block" || a == "--tempo" || a == "--tail") {
            if (!value(v)) return false;
            if (!parseNumber(v, number)) {
                error = "option " + a + " needs a number, not '" + v + "'";
                return false;
            }
            if (a == "--rate") {
                if (number < 8000 || number > 1536000) { error = "--rate must be between 8000 and 1536000"; return false; }
                r.options.sampleRate = number;
            } else if (a == "--block") {
                if (number < 1 || number > 65536 || number != std::floor(number)) {
                    error = "--block must be a whole number between 1 and 65536";
                    return false;
                }
                r.options.blockSize = static_cast<int>(number);
            } else if (a == "--tempo") {
                if (number <= 0 || number > 1000) { error = "--tempo must be above 0 and at most 1000"; return false; }
                r.options.tempo = number;
            } else {
                if (number < 0 || number > 3600) { error = "--tail must be between 0 and 3600 seconds"; return false; }
                r.options.tailSeconds = number;
            }
        } else {
            error = "unknown option '" + a + "'";
            return false;
        }
    }
    if (r.midi.empty() || r.out.empty()) {
        error = "render needs --midi IN.mid and --out OUT.wav";
        return false;
    }
    return true;
}

}  // namespace

bool resolveParameters(PluginHost& host, const std::vector<std::string>& sets,
                       std::vector<std::pair<int, float>>& parameters, std::string& error) {
    const bool ours = host.effect()->uniqueID == kTessaravoxId;
    const int count = ours ? kTessaravoxParameterCount : host.effect()->numParams;
    for (const std::string& set : sets) {
        size_t eq = set.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "--set needs NAME=VALUE, not '" + set + "'";
            return false;
        }
        std::string name = set.substr(0, eq);
        double value = 0.0;
        if (!parseNumber(set.substr(eq + 1), value)) {
            error = "--set " + name + " needs a number after '=', not '" + set.substr(eq + 1) + "'";
            return false;
        }
        long index = -1;
        if (parseInteger(name, index)) {
            if (index < 0 || index >= count) {
                error = "--set: parameter index " + name + " is outside 0.." + std::to_string(count - 1);
                return false;
            }
        } else {
            index = ours ? findParameterByKey(name.c_str()) : -1;
            if (index < 0) {
                error = ours ? "--set: unknown parameter key '" + name + "'"
                             : "--set: '" + name + "' is not a parameter index (keys are known for Tessaravox only)";
                return false;
            }
        }
        parameters.emplace_back(static_cast<int>(index), static_cast<float>(value));
    }
    return true;
}

namespace {

void printCpuReport(std::FILE* out, double cpuSeconds, double audioSeconds) {
    const double share = audioSeconds > 0.0 ? 100.0 * cpuSeconds / audioSeconds : 0.0;
    std::fprintf(out, "cpu: %.1f ms for %.1f s of audio = %.2f %% of a core\n", cpuSeconds * 1000.0, audioSeconds,
                 share);
}

int runRender(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    RenderArgs r;
    std::string error;
    MidiFile midi;
    PluginHost host;
    std::vector<char> chunk;
    if (!parseRenderArgs(args, r, error) || !readMidiFile(r.midi, midi, error) ||
        (!r.preset.empty() && !readPresetChunk(r.preset, chunk, error)) || !host.load(r.plugin, error) ||
        !resolveParameters(host, r.sets, r.options.parameters, error)) {
        std::fprintf(err, "vsthost: %s\n", error.c_str());
        return 1;
    }
    host.start(r.options.sampleRate, r.options.blockSize);
    if (!r.preset.empty() && !setChunk(host, chunk, error)) {
        std::fprintf(err, "vsthost: %s\n", error.c_str());
        return 1;
    }
    RenderResult result = renderMidi(host, midi, r.options);
    if (!r.saveChunk.empty() && !saveChunk(host, r.saveChunk, error)) {
        std::fprintf(err, "vsthost: %s\n", error.c_str());
        return 1;
    }
    host.unload();
    if (!writeWavFile(r.out, result.left, result.right, static_cast<int>(r.options.sampleRate), error)) {
        std::fprintf(err, "vsthost: %s\n", error.c_str());
        return 1;
    }
    const double audioSeconds = static_cast<double>(result.left.size()) / r.options.sampleRate;
    std::fprintf(out, "wrote %s: %zu frames at %.0f Hz (%.3f s)\n", r.out.c_str(), result.left.size(),
                 r.options.sampleRate, audioSeconds);
    if (r.options.measureCpu) printCpuReport(out, result.processCpuSeconds, audioSeconds);
    return 0;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "info") {
        if (args.size() != 2) {
            std::fprintf(err, "vsthost: info needs exactly one plug-in path\n");
            return 2;
        }
        return runInfo(args[1], out, err);
    }
    if (args[0] == "render") return runRender(args, out, err);
    if (args[0] == "snapshot") return runSnapshot(args, out, err);
    if (args[0] == "edit") return runEdit(args, out, err);
    std::fprintf(err, "vsthost: unknown command '%s' (try vsthost --help)\n", args[0].c_str());
    return 2;
}

}  // namespace vsthost

}  // namespace tvx
