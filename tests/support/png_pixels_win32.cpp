#if defined(_WIN32)
#include "support/png_pixels.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <gdiplus.h>

#include <algorithm>

namespace tvx {

bool readPng(const std::string& path, PngPixels& pixels) {
    using namespace Gdiplus::DllExports;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    std::wstring wide(path.begin(), path.end());
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool ok = GdipCreateBitmapFromFile(wide.c_str(), &bitmap) == 0;
    UINT width = 0, height = 0;
    ok = ok && GdipGetImageWidth(bitmap, &width) == 0 && GdipGetImageHeight(bitmap, &height) == 0;
    if (ok) {
        pixels.width = static_cast<int>(width);
        pixels.height = static_cast<int>(height);
        pixels.argb.assign(static_cast<size_t>(width) * height, 0);
        const Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        Gdiplus::BitmapData data = {};
        ok = GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == 0;
        for (UINT y = 0; ok && y < height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(data.Scan0) + y * data.Stride);
            std::copy(row, row + width, pixels.argb.begin() + static_cast<size_t>(y) * width);
        }
        if (ok) GdipBitmapUnlockBits(bitmap, &data);
    }
    if (bitmap) GdipDisposeImage(bitmap);
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

}  // namespace tvx

#endif
