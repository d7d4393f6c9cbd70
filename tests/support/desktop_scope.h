#pragma once
// A desktop of the test's own for code that reaches the real operating-system
// layer: no dialog program, file opener or user setting of the machine is
// found, whatever happens to be installed or configured there.
#ifndef _WIN32

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace tvx {

// Sets (or, given nothing, removes) an environment variable for one scope
// and restores the old state afterwards, also when an assertion fails.
class EnvironmentScope {
public:
    EnvironmentScope(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~EnvironmentScope() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// PATH is an empty folder of its own (install() puts stand-in programs
// there), HOME and the XDG folders lie in a fresh folder, and no desktop is
// named. DISPLAY is left as it is: tests that open windows start their own
// X server, the others need none.
class DesktopScope {
public:
    DesktopScope() {
        std::filesystem::create_directories(bin());
        std::filesystem::create_directories(home());
        set("PATH", bin().string());
        set("HOME", home().string());
        set("XDG_CONFIG_HOME", (home() / ".config").string());
        set("XDG_DATA_HOME", (home() / ".local" / "share").string());
        set("XDG_CACHE_HOME", (home() / ".cache").string());
        for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS", "XDG_RUNTIME_DIR"})
            set(name, std::nullopt);
    }
    // Last set, first restored: a variable set twice ends as it began.
    ~DesktopScope() {
        while (!variables_.empty()) variables_.pop_back();
    }
    DesktopScope(const DesktopScope&) = delete;
    DesktopScope& operator=(const DesktopScope&) = delete;

    std::filesystem::path bin() const { return folder_.path() / "bin"; }
    std::filesystem::path home() const { return folder_.path() / "home"; }
    const TempFolder& folder() const { return folder_; }

    // A program of the given name on PATH, running the given shell script.
    void install(const std::string& name, const std::string& script) const {
        std::ofstream(bin() / name) << script;
        std::filesystem::permissions(bin() / name, std::filesystem::perms::owner_all);
    }

    // For a variable the test itself changes; restored with the others.
    void set(const char* name, const std::optional<std::string>& value) {
        variables_.push_back(std::make_unique<EnvironmentScope>(name, value));
    }

private:
    TempFolder folder_;
    std::vector<std::unique_ptr<EnvironmentScope>> variables_;
};

}  // namespace tvx

#endif
