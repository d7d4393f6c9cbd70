#pragma once

namespace tvx {

// Stereo trapezoidal state-variable filter used for the equaliser bands.
// Coefficients follow `frequency` (f / fs) and `gain` (dB) on every sample on
// which either changed; the gain reaches the coefficients one sample late,
// because the linear gain of the previous sample is used.
class SvfFilter {
public:
    enum Type { Bell = 0, LowShelf = 1, HighShelf = 2 };

    float frequency = 0.0f;
    float gain = 0.0f;

    void clear();
    void process(Type type, float& left, float& right);
    bool quietBelow(float level) const;

private:
    void computeCoefficients(Type type);
    float processChannel(int channel, float x);

    float A_ = 1.0f;
    float rootA_ = 1.0f;
    // The inputs of the present coefficients and of A_.
    int coefficientType_ = -1;
    float coefficientFrequency_ = 0.0f;
    float coefficientA_ = 0.0f;
    float gainOfA_ = 0.0f;   // A_ = 1 is the gain of 0 dB
    float a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float m0_ = 0.0f, m1_ = 0.0f, m2_ = 0.0f;
    float ic1_[2] = {0.0f, 0.0f};
    float ic2_[2] = {0.0f, 0.0f};
};

}  // namespace tvx
