#pragma once

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace tvx {

// Sets flush-to-zero and denormals-are-zero for the lifetime of the object
// and gives the host back its own flags afterwards. Decaying feedback
// (filters, delays, the reverb tank) would otherwise slow down by orders of
// magnitude once its values turn denormal; the explicit flushes of the
// filters and smoothers stay, as they also cover values far above the
// denormal range.
class DenormalFlush {
public:
    DenormalFlush() {
#if defined(__SSE2__)
        saved_ = _mm_getcsr();
        _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~DenormalFlush() {
#if defined(__SSE2__)
        _mm_setcsr(saved_);
#endif
    }
    DenormalFlush(const DenormalFlush&) = delete;
    DenormalFlush& operator=(const DenormalFlush&) = delete;

private:
#if defined(__SSE2__)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_ = 0;
#endif
};

}  // namespace tvx
