#include "gui/c_bitmap.h"

#include "gui/png_decoder.h"

#include <algorithm>
#include <cmath>

namespace tvx {

CBitmap::CBitmap(int32_t width, int32_t height) {
    if (!sizeAllowed(width, height)) return;
    width_ = width;
    height_ = height;
    pixels_.assign(size_t(width) * size_t(height), 0u);
}

CBitmap::CBitmap(int32_t width, int32_t height, std::vector<uint32_t> pixels) {
    if (!sizeAllowed(width, height) || pixels.size() != size_t(width) * size_t(height)) return;
    width_ = width;
    height_ = height;
    pixels_ = std::move(pixels);
}

bool CBitmap::sizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

uint32_t CBitmap::pixelAt(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[size_t(y) * size_t(width_) + size_t(x)];
}

std::shared_ptr<CBitmap> CBitmap::fromPngData(const void* data, size_t size) {
    DecodedImage image;
    if (data == nullptr || !decodePngData(static_cast<const uint8_t*>(data), size, image))
        return std::make_shared<CBitmap>();
    return std::make_shared<CBitmap>(image.width, image.height, std::move(image.pixels));
}

std::shared_ptr<CBitmap> CBitmap::fromPngFile(const std::filesystem::path& path) {
    DecodedImage image;
    if (!decodePngFile(path, image)) return std::make_shared<CBitmap>();
    return std::make_shared<CBitmap>(image.width, image.height, std::move(image.pixels));
}

std::shared_ptr<CBitmap> CBitmap::scaledCopy(double factor) const {
    if (!(factor > 0.0) || !std::isfinite(factor)) return std::make_shared<CBitmap>();
    return scaledCopy(int32_t(std::min(double(kMaxSide) + 1, width_ * factor)),
                      int32_t(std::min(double(kMaxSide) + 1, height_ * factor)));
}

namespace {

// Premultiplied channels as floats, so averaging never bleeds colour out
// of transparent pixels.
struct Accum {
    float a = 0, r = 0, g = 0, b = 0;

    void add(uint32_t p, float weight) {
        a += weight * float(p >> 24);
        r += weight * float((p >> 16) & 0xff);
        g += weight * float((p >> 8) & 0xff);
        b += weight * float(p & 0xff);
    }
    uint32_t pack(float scale) const {
        auto byte = [scale](float v) { return uint32_t(std::clamp(v * scale + 0.5f, 0.0f, 255.0f)); };
        uint32_t alpha = byte(a);
        // Premultiplied colour never exceeds its alpha.
        auto channel = [&](float v) { return std::min(byte(v), alpha); };
        return (alpha << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
    }
};

// For each destination index along one axis: the source span it covers,
// with the weights of the first and last source pixel (area averaging), or
// the two neighbours and the weight of the second (bilinear).
struct AxisSample {
    int first = 0;
    int last = 0;
    float firstWeight = 1;
    float lastWeight = 1;
};

std::vector<AxisSample> axisSamples(int source, int dest) {
    std::vector<AxisSample> samples(static_cast<size_t>(dest));
    const double ratio = double(source) / double(dest);
    for (int i = 0; i < dest; ++i) {
        AxisSample& s = samples[size_t(i)];
        if (ratio >= 1.0) {
            const double start = i * ratio;
            const double end = (i + 1) * ratio;
            s.first = int(start);
            s.last = std::min(source - 1, int(std::ceil(end)) - 1);
            s.firstWeight = float(std::min(end, double(s.first + 1)) - start);
            s.lastWeight = s.last == s.first ? s.firstWeight : float(end - s.last);
        } else {
            const double centre = std::max(0.0, (i + 0.5) * ratio - 0.5);
            s.first = std::min(source - 1, int(centre));
            s.last = std::min(source - 1, s.first + 1);
            s.lastWeight = s.last == s.first ? 0.0f : float(centre - s.first);
            s.firstWeight = 1.0f - s.lastWeight;
        }
    }
    return samples;
}

float weightAt(const AxisSample& s, int index, bool shrinking) {
    if (!shrinking) return index == s.first ? s.firstWeight : s.lastWeight;
    if (index == s.first) return s.firstWeight;
    if (index == s.last) return s.lastWeight;
    return 1.0f;
}

}  // namespace

std::shared_ptr<CBitmap> CBitmap::scaledCopy(int32_t width, int32_t height) const {
    auto result = std::make_shared<CBitmap>(width, height);
    if (!isLoaded() || !result->isLoaded()) return std::make_shared<CBitmap>();
    // At its own size (the 200 % editor) the copy is exact: no resampling.
    if (width == width_ && height == height_) {
        std::copy(pixels_.begin(), pixels_.end(), result->pixels());
        return result;
    }
    const auto xs = axisSamples(width_, width);
    const auto ys = axisSamples(height_, height);
    const bool shrinkX = width <= width_;
    const bool shrinkY = height <= height_;
    uint32_t* out = result->pixels();
    for (int y = 0; y < height; ++y) {
        const AxisSample& sy = ys[size_t(y)];
        for (int x = 0; x < width; ++x) {
            const AxisSample& sx = xs[size_t(x)];
            Accum sum;
            float total = 0;
            for (int v = sy.first; v <= sy.last; ++v) {
                const float wy = weightAt(sy, v, shrinkY);
                const uint32_t* row = pixels_.data() + size_t(v) * size_t(width_);
                for (int u = sx.first; u <= sx.last; ++u) {
                    const float w = wy * weightAt(sx, u, shrinkX);
                    sum.add(row[u], w);
                    total += w;
                }
            }
            *out++ = total > 0 ? sum.pack(1.0f / total) : 0u;
        }
    }
    return result;
}

}  // namespace tvx
