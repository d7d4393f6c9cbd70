#include "gui/c_bitmap.h"
#include "gui/png_decoder.h"
#include "gui/win32/gdiplus_api.h"
#include "gui/win32/gdiplus_session.h"
#include "gui/win32/win32_object_count.h"

#include <shlwapi.h>

#include <cstring>

namespace tvx {

bool decodePngData(const uint8_t* data, size_t size, DecodedImage& out) {
    int64_t width = 0;
    int64_t height = 0;
    // GDI+ decodes many formats; only PNG of a sane size is accepted.
    if (!readPngHeaderSize(data, size, width, height) || !CBitmap::sizeAllowed(width, height)) return false;
    if (size > UINT_MAX) return false;
    GdiplusSession session;
    if (!session.isRunning()) return false;
    IStream* stream = SHCreateMemStream(data, UINT(size));
    if (stream == nullptr) return false;
    GpBitmap* image = nullptr;
    bool ok = false;
    if (GdipCreateBitmapFromStream(stream, &image) == Gdiplus::Ok) {
        win32objects::gdiplusCreated();
        UINT w = 0;
        UINT h = 0;
        GdipGetImageWidth(image, &w);
        GdipGetImageHeight(image, &h);
        Gdiplus::BitmapData locked{};
        const Gdiplus::Rect all(0, 0, INT(w), INT(h));
        if (CBitmap::sizeAllowed(w, h) &&
            GdipBitmapLockBits(image, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &locked) ==
                Gdiplus::Ok) {
            out.width = int32_t(w);
            out.height = int32_t(h);
            out.pixels.resize(size_t(w) * size_t(h));
            for (UINT y = 0; y < h; ++y)
                std::memcpy(out.pixels.data() + size_t(y) * w,
                            static_cast<const uint8_t*>(locked.Scan0) + ptrdiff_t(y) * locked.Stride, size_t(w) * 4);
            GdipBitmapUnlockBits(image, &locked);
            ok = true;
        }
        GdipDisposeImage(image);
        win32objects::gdiplusDeleted();
    }
    stream->Release();
    return ok;
}

}  // namespace tvx
