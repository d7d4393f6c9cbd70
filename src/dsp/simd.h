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
