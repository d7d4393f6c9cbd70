#pragma once

#include "gui/c_rect.h"
#include "gui/gui_limits.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace tvx {

// 32-bit pixels 0xAARRGGBB with premultiplied alpha, rows top to bottom
// without padding: the layout both cairo (CAIRO_FORMAT_ARGB32) and GDI+
// (PixelFormat32bppPARGB) draw from directly, so no backend copies pixels.
//
// A bitmap that could not be made (undecodable or oversized PNG) has size
// 0 x 0 and draws nothing. Bitmaps are immutable once made and shared
// between views through std::shared_ptr.
class CBitmap {
public:
    static constexpr int32_t kMaxSide = kMaxImageSide;
    static constexpr int64_t kMaxPixels = kMaxImagePixels;

    CBitmap() = default;
    // A transparent bitmap; a size beyond the limits gives an empty bitmap.
    CBitmap(int32_t width, int32_t height);
    // Takes premultiplied pixels; a mismatched pixel count gives an empty bitmap.
    CBitmap(int32_t width, int32_t height, std::vector<uint32_t> pixels);

    static std::shared_ptr<CBitmap> fromPngData(const void* data, size_t size);
    static std::shared_ptr<CBitmap> fromPngFile(const std::filesystem::path& path);

    // A copy resized to width x height: area averaging where it shrinks (so
    // a film strip halved keeps crisp edges), bilinear where it grows.
    std::shared_ptr<CBitmap> scaledCopy(int32_t width, int32_t height) const;
    // Scales both sides by `factor`, truncated to whole pixels.
    std::shared_ptr<CBitmap> scaledCopy(double factor) const;

    int32_t getWidth() const { return width_; }
    int32_t getHeight() const { return height_; }
    bool isLoaded() const { return width_ > 0 && height_ > 0; }

    const uint32_t* pixels() const { return pixels_.data(); }
    uint32_t* pixels() { return pixels_.data(); }
    uint32_t pixelAt(int32_t x, int32_t y) const;
    // Bytes per row: always 4 * width.
    int32_t stride() const { return width_ * 4; }

    static bool sizeAllowed(int64_t width, int64_t height);

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint32_t> pixels_;
};

using SharedBitmap = std::shared_ptr<CBitmap>;

}  // namespace tvx
