#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace tvx {

namespace {

// Output beyond this is no file name: it is read and dropped, so the
// program never blocks on a full pipe.
constexpr size_t kMaxOutput = 64 * 1024;

std::vector<char*> argvPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

int waitForExit(pid_t pid) {
    int status = 0;
    pid_t done;
    do {
        done = waitpid(pid, &status, 0);
    } while (done < 0 && errno == EINTR);
    if (done < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        if (text.size() < kMaxOutput) text.append(buffer, size_t(count));
    }
    return text;
}

}  // namespace

std::optional<std::string> findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr || program.empty() || program.find('/') != std::string::npos) return std::nullopt;
    const std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = folders.substr(start, end - start);
        // An empty entry means the current folder, which a plug-in must not
        // run programs from.
        if (!folder.empty() && folder[0] == '/') {
            const std::string candidate = folder + "/" + program;
            if (isExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

ProcessResult runAndCapture(const std::vector<std::string>& argv) {
    ProcessResult result;
    int pipeEnds[2];
    if (argv.empty() || pipe2(pipeEnds, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = argvPointers(argv);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed == 0) {
        result.started = true;
        result.output = readAll(pipeEnds[0]);
        result.exitCode = waitForExit(pid);
    }
    close(pipeEnds[0]);
    return result;
}

bool launchDetached(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    // Everything the child needs is prepared before fork: between fork and
    // exec a child of a threaded host may only make async-signal-safe calls.
    std::vector<char*> args = argvPointers(argv);
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t child = fork();
    if (child < 0) {
        if (devNull >= 0) close(devNull);
        return false;
    }
    if (child == 0) {
        // The grandchild is adopted by init, which reaps it.
        const pid_t grandchild = fork();
        if (grandchild == 0) {
            setsid();
            if (devNull >= 0) {
                dup2(devNull, STDIN_FILENO);
                dup2(devNull, STDOUT_FILENO);
                dup2(devNull, STDERR_FILENO);
            }
            execve(args[0], args.data(), environ);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    if (devNull >= 0) close(devNull);
    return waitForExit(child) == 0;
}

}  // namespace tvx
