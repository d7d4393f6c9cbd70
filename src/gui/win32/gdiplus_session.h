#pragma once

#include <cstdint>

namespace tvx {

// One GdiplusStartup, undone by GdiplusShutdown when the session ends.
// GDI+ counts nested start-ups, so every editor (and every decoding) holds
// its own session and the calls always balance.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool isRunning() const { return token_ != 0; }
    // Sessions alive in this module.
    static long liveSessions();

private:
    uintptr_t token_ = 0;
};

}  // namespace tvx
