#include "gui/win32/gdiplus_session.h"

#include "gui/win32/gdiplus_api.h"

#include <atomic>

namespace tvx {

namespace {

std::atomic<long> sessions{0};

}  // namespace

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        token_ = token;
        ++sessions;
    }
}

GdiplusSession::~GdiplusSession() {
    if (token_ == 0) return;
    Gdiplus::GdiplusShutdown(token_);
    --sessions;
}

long GdiplusSession::liveSessions() {
    return sessions.load();
}

}  // namespace tvx
