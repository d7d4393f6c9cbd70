#pragma once

namespace tvx {

namespace vsthost {

// CPU time the calling thread has used so far, in seconds. Only differences
// between two readings on the same thread mean anything; time the thread
// spent waiting or preempted is not counted, so a busy machine does not
// inflate the figure.
double threadCpuSeconds();

}  // namespace vsthost

}  // namespace tvx
