#pragma once

// The vector paths need SSE2, which both Windows builds and the native build
// have. TVX_FORCE_SCALAR builds the scalar forms instead, so the tests can
// prove that both forms give the same sound.
#if defined(__SSE2__) && !defined(TVX_FORCE_SCALAR)
#define TVX_SSE2 1
#include <emmintrin.h>
#else
#define TVX_SSE2 0
#endif

namespace tvx {

// Paths for processors with AVX2, chosen at run time (hasAvx2()): the
// builds themselves assume SSE2 only. No FMA, so every lane rounds as the
// SSE2 form does.
#if TVX_SSE2 && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TVX_AVX2 1
#define TVX_TARGET_AVX2 __attribute__((target("avx2")))
// Tests turn the AVX2 paths off to compare them with the SSE2 ones.
inline bool& avx2Forbidden() {
    static bool forbidden = false;
    return forbidden;
}
inline bool hasAvx2() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available && !avx2Forbidden();
}
#else
#define TVX_AVX2 0
inline bool& avx2Forbidden() {
    static bool forbidden = false;
    return forbidden;
}
inline bool hasAvx2() { return false; }
#endif

}  // namespace tvx
