#include "images.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "knob_image.h"

namespace tvx {

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

struct ByteReader {
    const std::vector<std::uint8_t>& bytes;
    size_t position = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<ByteReader*>(closure);
    if (reader->bytes.size() - reader->position < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->bytes.data() + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

Surface decode(const std::vector<std::uint8_t>& png) {
    ByteReader reader{png};
    return Surface(cairo_image_surface_create_from_png_stream(readBytes, &reader), cairo_surface_destroy);
}

Surface decodeFile(const std::string& path) {
    return Surface(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
}

// Pixel (x, y) as 0xAARRGGBB, premultiplied.
std::uint32_t pixel(cairo_surface_t* surface, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

int differingPixels(cairo_surface_t* a, cairo_surface_t* b) {
    int count = 0;
    for (int y = 0; y < cairo_image_surface_get_height(a); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(a); ++x) count += pixel(a, x, y) != pixel(b, x, y);
    return count;
}

struct Channels {
    int alpha, red, green, blue;
};
Channels channels(std::uint32_t argb) {
    return {int(argb >> 24), int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
}

}  // namespace

void expectMatchesCommittedFile(const GeneratedImage& image, const std::string& path) {
    SCOPED_TRACE(path);
    Surface committed = decodeFile(path);
    ASSERT_EQ(cairo_surface_status(committed.get()), CAIRO_STATUS_SUCCESS) << "regenerate it with imagegen";
    Surface generated = decode(image.render().encodePng());
    ASSERT_EQ(cairo_image_surface_get_width(generated.get()), cairo_image_surface_get_width(committed.get()));
    ASSERT_EQ(cairo_image_surface_get_height(generated.get()), cairo_image_surface_get_height(committed.get()));
    EXPECT_EQ(differingPixels(generated.get(), committed.get()), 0) << "regenerate it with imagegen";
}

// The committed images are exactly what the generator draws (after the same
// PNG round trip), so the two never drift apart.
TEST(Images, CommittedFilesMatchTheGenerator) {
    const std::string source = TVX_SOURCE_DIR;
    for (const GeneratedImage& image : builtinImages()) expectMatchesCommittedFile(image, source + "/resources/" + image.fileName);
    for (const std::string& theme : themesWithImages())
        for (const GeneratedImage& image : themeImages(theme))
            expectMatchesCommittedFile(image, source + "/themes/" + theme + "/" + image.fileName);
}

TEST(Images, SizesAndTransparency) {
    const auto& images = builtinImages();
    ASSERT_EQ(images.size(), 5u);
    // Both knob strips: 101 frames of 96 x 96.
    for (size_t knob = 3; knob <= 4; ++knob) {
        Canvas strip = images[knob].render();
        EXPECT_EQ(strip.width(), 96) << images[knob].fileName;
        EXPECT_EQ(strip.height(), 9696) << images[knob].fileName;
    }
    Canvas background = images[0].render();
    EXPECT_EQ(background.width(), 2112);
    EXPECT_EQ(background.height(), 1248);
    cairo_surface_flush(background.surface());
    for (int y = 0; y < background.height(); y += 7)
        for (int x = 0; x < background.width(); x += 7)
            ASSERT_EQ(pixel(background.surface(), x, y) >> 24, 0xFFu) << x << "," << y;
    // The pages leave the title bar row (20 pixels at 100 %) to the main
    // view and only shade the theme's background below it.
    for (size_t page = 1; page <= 2; ++page) {
        Canvas canvas = images[page].render();
        EXPECT_EQ(canvas.width(), 1984);
        EXPECT_EQ(canvas.height(), 288);
        cairo_surface_flush(canvas.surface());
        int opaque = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                std::uint32_t alpha = pixel(canvas.surface(), x, y) >> 24;
                if (y < 40) {
                    ASSERT_EQ(alpha, 0u) << x << "," << y;
                }
                opaque += alpha == 0xFF;
            }
        EXPECT_EQ(opaque, 0);
    }
}

// The lit arc starts at seven o'clock, grows by the same angle every frame
// and reaches five o'clock at frame 100; the pointer follows its end.
TEST(Images, KnobFramesSweepEvenlyFromSevenToFiveOClock) {
    Canvas strip = renderKnob(builtinKnobStyle());
    ASSERT_EQ(strip.width(), 96);
    ASSERT_EQ(strip.height(), 9696);
    cairo_surface_flush(strip.surface());
    auto sample = [&](int frame, double degrees, double radius) {
        double angle = degrees * M_PI / 180;  // cairo's sense: 0 at three o'clock, clockwise
        int x = static_cast<int>(std::lround(48 + radius * std::cos(angle)));
        int y = static_cast<int>(std::lround(48 + radius * std::sin(angle)));
        return channels(pixel(strip.surface(), x, frame * 96 + y));
    };
    auto isLit = [](Channels c) { return c.alpha == 255 && c.blue > 200 && c.green > 150 && c.red < 80; };
    for (int frame = 0; frame <= 100; ++frame) {
        SCOPED_TRACE(frame);
        int litDegrees = 0;
        for (int degrees = 100; degrees <= 440; ++degrees) litDegrees += isLit(sample(frame, degrees, 41));
        double expected = frame == 0 ? 0 : 3.0 * frame + 6;  // plus the round caps
        EXPECT_NEAR(litDegrees, expected, 6);
        EXPECT_TRUE(isLit(sample(frame, 120 + 3 * frame, 41)) || frame == 0);
        EXPECT_FALSE(isLit(sample(frame, 90, 41)));  // six o'clock stays dark
        Channels pointer = sample(frame, 120 + 3 * frame, 18);
        EXPECT_GT(pointer.red + pointer.green + pointer.blue, 3 * 220);
    }
}

}  // namespace tvx
