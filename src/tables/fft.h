#pragma once

namespace tvx {

// Forward complex FFT, radix 2, decimation in time, in place:
// X[n] = sum_k x[k] * exp(-2 pi i k n / N).
// `length` must be a power of two; other lengths (and lengths below 2) leave
// the arrays untouched.
void fftForward(float* real, float* imag, int length);

}  // namespace tvx
