#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "vsthost/commands.h"

namespace tvx {

// Runs one vsthost command line in this process and keeps what it printed.
struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

// A file of its own to catch one stream. Not std::tmpfile: the Windows C
// runtime names its files by a counter in the current folder, and test
// programs running side by side under wine then collide and get null.
class CaptureFile {
public:
    CaptureFile() {
        static std::atomic<unsigned> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("vsthost-capture-" + std::to_string(std::random_device{}()) + "-" + std::to_string(counter++));
        file_ = std::fopen(path_.string().c_str(), "w+b");
    }
    ~CaptureFile() {
        if (file_) std::fclose(file_);
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    std::FILE* get() const { return file_; }
    std::string text() const {
        std::string text;
        if (!file_) return text;
        std::rewind(file_);
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file_)) > 0) text.append(buffer, n);
        return text;
    }

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

inline CommandResult runVsthost(const std::vector<std::string>& args) {
    CaptureFile out, err;
    if (!out.get() || !err.get()) return {-1, "", "no capture file"};
    int status = vsthost::runCommandLine(args, out.get(), err.get());
    return {status, out.text(), err.text()};
}

}  // namespace tvx
