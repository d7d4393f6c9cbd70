#pragma once

namespace tvx {

// How the engine changes a parameter (MIDI learn) without knowing the plug-in.
class ParameterSink {
public:
    virtual ~ParameterSink() = default;
    virtual void setParameter(int index, float value) = 0;
};

}  // namespace tvx
