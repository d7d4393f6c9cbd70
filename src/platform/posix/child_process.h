#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tvx {

// Runs desktop helper programs (file dialogs, message boxes, the file
// browser) without a shell: the arguments go to the program exactly as
// given, so no file name is ever interpreted. UI thread only: these calls
// wait for the program like the modal dialogs of other systems.

// The program's full path when a file of that name is executable in one of
// the folders of PATH.
std::optional<std::string> findOnPath(const std::string& program);

struct ProcessResult {
    bool started = false;
    // -1 when the program did not end normally or its status is unknown
    // (a host that ignores SIGCHLD loses the status of its children).
    int exitCode = -1;
    std::string output;  // standard output
};

// Runs `argv` (argv[0] a full path) to its end with standard input empty,
// standard output captured and standard error discarded.
ProcessResult runAndCapture(const std::vector<std::string>& argv);

// Starts `argv` and returns without waiting; the program outlives the call
// and leaves no zombie behind. False when it could not be started.
bool launchDetached(const std::vector<std::string>& argv);

}  // namespace tvx
