#include "vsthost/thread_cpu_clock.h"

#include <windows.h>

namespace tvx {

namespace vsthost {

namespace {

double seconds(const FILETIME& t) {
    const unsigned long long ticks = (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return static_cast<double>(ticks) * 1e-7;  // 100 ns units
}

}  // namespace

// Windows advances thread times in scheduler ticks, so a single block often
// reads zero and some read a whole tick; summed over thousands of blocks the
// ticks land in proportion to the time spent, which is what a render needs.
double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0.0;
    return seconds(kernel) + seconds(user);
}

}  // namespace vsthost

}  // namespace tvx
