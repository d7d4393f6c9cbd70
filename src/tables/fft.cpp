#include "tables/fft.h"

#include <cmath>
#include <utility>

namespace tvx {

namespace {

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

void bitReversePermute(float* real, float* imag, int length) {
    for (int i = 0, j = 0; i < length; ++i) {
        if (j > i) {
            std::swap(real[i], real[j]);
            std::swap(imag[i], imag[j]);
        }
        int bit = length >> 1;
        while (bit > 0 && (j & bit)) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }
}

}  // namespace

void fftForward(float* real, float* imag, int length) {
    if (length < 2 || !isPowerOfTwo(length)) return;
    bitReversePermute(real, imag, length);
    const double pi = 3.14159265358979323846;
    for (int half = 1; half < length; half <<= 1) {
        // The twiddle recurrence runs in double so that the largest tables
        // keep float accuracy after thousands of rotations.
        const double stepRe = std::cos(pi / half);
        const double stepIm = -std::sin(pi / half);
        double wRe = 1.0, wIm = 0.0;
        for (int j = 0; j < half; ++j) {
            const float fr = static_cast<float>(wRe);
            const float fi = static_cast<float>(wIm);
            for (int p = j; p < length; p += 2 * half) {
                const int q = p + half;
                const float tRe = real[q] * fr - imag[q] * fi;
                const float tIm = real[q] * fi + imag[q] * fr;
                real[q] = real[p] - tRe;
                imag[q] = imag[p] - tIm;
                real[p] += tRe;
                imag[p] += tIm;
            }
            const double nextRe = wRe * stepRe - wIm * stepIm;
            wIm = wRe * stepIm + wIm * stepRe;
            wRe = nextRe;
        }
    }
}

}  // namespace tvx
