#pragma once

#include "gui/win32/gdiplus_draw_context.h"
#include "gui/win32/gdiplus_session.h"

#include <cstdint>
#include <string>

namespace tvx {

// The pixels and device context behind a GdiImageContext, made before the
// drawing context that uses them.
class GdiImageSurface {
protected:
    GdiImageSurface(int32_t width, int32_t height);
    ~GdiImageSurface();

    GdiplusSession session_;
    HDC memoryDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
    int32_t width_;
    int32_t height_;
};

// An offscreen 32-bit image drawn through GDI+ exactly as the editor
// window's back buffer is, for pixel tests under Wine. The image is
// opaque: pixelAt reports alpha 255.
class GdiImageContext : private GdiImageSurface, public GdiplusDrawContext {
public:
    GdiImageContext(int32_t width, int32_t height);
    ~GdiImageContext() override;

    CColor pixelAt(int32_t x, int32_t y);
    void clear(const CColor& color);
    bool writePng(const std::string& path);
    CBitmap toBitmap();
};

// Writes 32-bit pixels (top row first) as a PNG file through GDI+.
bool writePngFile(const std::wstring& path, const uint32_t* pixels, int32_t width, int32_t height);

}  // namespace tvx
