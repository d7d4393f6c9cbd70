#include "gui/win32/gdi_image_context.h"

#include "gui/win32/gdiplus_api.h"
#include "gui/win32/win32_object_count.h"

#include <cstring>
#include <vector>

namespace tvx {

GdiImageSurface::GdiImageSurface(int32_t width, int32_t height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    memoryDc_ = win32objects::track(CreateCompatibleDC(nullptr));
    bitmap_ = win32objects::track(CreateDIBSection(memoryDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    if (memoryDc_ != nullptr && bitmap_ != nullptr) previous_ = SelectObject(memoryDc_, bitmap_);
}

GdiImageSurface::~GdiImageSurface() {
    if (previous_ != nullptr) SelectObject(memoryDc_, previous_);
    win32objects::deleteObject(bitmap_);
    win32objects::deleteDC(memoryDc_);
}

GdiImageContext::GdiImageContext(int32_t width, int32_t height)
    : GdiImageSurface(width, height), GdiplusDrawContext(memoryDc_, {0, 0, width_, height_}) {
    clear(kBlackCColor);
}

GdiImageContext::~GdiImageContext() = default;

CColor GdiImageContext::pixelAt(int32_t x, int32_t y) {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return kTransparentCColor;
    flush();
    GdiFlush();
    const uint32_t p = bits_[size_t(y) * size_t(width_) + size_t(x)];
    return {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255};
}

void GdiImageContext::clear(const CColor& color) {
    if (bits_ == nullptr) return;
    flush();
    GdiFlush();
    const uint32_t p = 0xff000000u | (uint32_t(color.red) << 16) | (uint32_t(color.green) << 8) | color.blue;
    std::fill(bits_, bits_ + size_t(width_) * size_t(height_), p);
}

CBitmap GdiImageContext::toBitmap() {
    if (bits_ == nullptr) return {};
    flush();
    GdiFlush();
    std::vector<uint32_t> pixels(bits_, bits_ + size_t(width_) * size_t(height_));
    for (uint32_t& p : pixels) p |= 0xff000000u;
    return CBitmap(width_, height_, std::move(pixels));
}

bool GdiImageContext::writePng(const std::string& path) {
    const CBitmap image = toBitmap();
    return image.isLoaded() && writePngFile(toWide(path), image.pixels(), image.getWidth(), image.getHeight());
}

bool writePngFile(const std::wstring& path, const uint32_t* pixels, int32_t width, int32_t height) {
    GdiplusSession session;
    GpBitmap* image = nullptr;
    if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)), &image) != Gdiplus::Ok)
        return false;
    win32objects::gdiplusCreated();
    // The PNG encoder's class id, fixed by GDI+.
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const bool ok = GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(image);
    win32objects::gdiplusDeleted();
    return ok;
}

}  // namespace tvx
