#include "vsthost/renderer.h"

#include <algorithm>
#include <cmath>

#include "vsthost/thread_cpu_clock.h"

namespace tvx {

namespace vsthost {

namespace {

// Host-side storage for the events of one block, kept across blocks.
class EventBlock {
public:
    void clear() { midi_.clear(); }
    void add(const MidiFileEvent& e, int deltaFrames) {
        VstMidiEvent m{};
        m.type = kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.deltaFrames = deltaFrames;
        for (int i = 0; i < 3; ++i) m.midiData[i] = static_cast<char>(e.bytes[i]);
        midi_.push_back(m);
    }
    VstEvents* events() {
        storage_.assign(sizeof(VstEvents) + midi_.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(storage_.data());
        list->numEvents = static_cast<VstInt32>(midi_.size());
        // The record declares two slots; the storage holds as many as there are events.
        VstEvent** slots = list->events;
        for (size_t i = 0; i < midi_.size(); ++i) slots[i] = reinterpret_cast<VstEvent*>(&midi_[i]);
        return list;
    }
    bool empty() const { return midi_.empty(); }

private:
    std::vector<VstMidiEvent> midi_;
    std::vector<unsigned char> storage_;
};

}  // namespace

RenderResult renderMidi(PluginHost& host, const MidiFile& midi, const RenderOptions& options) {
    AEffect* effect = host.effect();
    for (const auto& p : options.parameters) effect->setParameter(effect, p.first, p.second);

    const double rate = options.sampleRate;
    const size_t total = static_cast<size_t>(std::ceil((midi.lengthSeconds + options.tailSeconds) * rate));
    RenderResult result;
    result.left.assign(total, 0.0f);
    result.right.assign(total, 0.0f);

    const int block = std::max(1, options.blockSize);
    std::vector<float> left(block), right(block), silence(block, 0.0f), silence2(block, 0.0f);
    float* outputs[2] = {left.data(), right.data()};
    // Instruments have no inputs, but some plug-ins read them anyway.
    float* inputs[2] = {silence.data(), silence2.data()};
    EventBlock events;
    size_t next = 0;
    for (size_t start = 0; start < total; start += block) {
        const int frames = static_cast<int>(std::min<size_t>(block, total - start));
        const double seconds = static_cast<double>(start) / rate;
        host.state().samplePosition = static_cast<double>(start);
        host.state().tempo = options.tempo > 0.0 ? options.tempo : midi.tempoAt(seconds);

        events.clear();
        while (next < midi.events.size()) {
            size_t at = static_cast<size_t>(std::llround(midi.events[next].seconds * rate));
            if (at >= start + frames) break;
            events.add(midi.events[next], static_cast<int>(at > start ? at - start : 0));
            ++next;
        }
        if (!events.empty()) host.dispatch(effProcessEvents, 0, 0, events.events());
        // Only the plug-in's own work is timed: the event hand-over above and
        // the copy below belong to the host.
        const double cpuBefore = options.measureCpu ? threadCpuSeconds() : 0.0;
        effect->processReplacing(effect, inputs, outputs, frames);
        if (options.measureCpu) result.processCpuSeconds += threadCpuSeconds() - cpuBefore;
        std::copy(left.begin(), left.begin() + frames, result.left.begin() + start);
        std::copy(right.begin(), right.begin() + frames, result.right.begin() + start);
    }
    return result;
}

}  // namespace vsthost

}  // namespace tvx
