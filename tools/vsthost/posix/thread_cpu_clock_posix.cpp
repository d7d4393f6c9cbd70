#include "vsthost/thread_cpu_clock.h"

#include <time.h>

namespace tvx {

namespace vsthost {

double threadCpuSeconds() {
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0.0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace vsthost

}  // namespace tvx
