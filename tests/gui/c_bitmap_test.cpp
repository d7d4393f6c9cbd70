#include "gui/c_bitmap.h"

#include "gui_test_support.h"
#include "test_image_context.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

// 20 x 10 RGBA: a red half-transparent square (4, 2)-(12, 8) on opaque
// blue, the top-left pixel fully transparent.
const std::vector<uint8_t> kSamplePng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00, 0x0a, 0x08, 0x06, 0x00, 0x00, 0x00, 0xb4, 0x55, 0x7e,
    0xe6, 0x00, 0x00, 0x00, 0x21, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0x60, 0x00, 0x83, 0xff,
    0xff, 0xa9, 0x87, 0xa9, 0x6a, 0x18, 0x16, 0x03, 0x81, 0x44, 0x03, 0x3e, 0x3c, 0x6a, 0xe0, 0x70,
    0x30, 0x70, 0xd0, 0xa5, 0x43, 0x00, 0xc0, 0x37, 0x74, 0xb2, 0xec, 0xb5, 0xe8, 0xcd, 0x00, 0x00,
    0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::filesystem::path writeSample(const GuiTempFolder& folder) {
    const auto path = folder.file("sample.png");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(kSamplePng.data()),
                                                std::streamsize(kSamplePng.size()));
    return path;
}

}  // namespace

TEST(CBitmap, DecodesPngFromBytesAndFromFileWithItsAlpha) {
    GuiTempFolder folder;
    for (const auto& bitmap : {CBitmap::fromPngData(kSamplePng.data(), kSamplePng.size()),
                               CBitmap::fromPngFile(writeSample(folder))}) {
        ASSERT_EQ(20, bitmap->getWidth());
        ASSERT_EQ(10, bitmap->getHeight());
        EXPECT_EQ(0u, bitmap->pixelAt(0, 0));
        EXPECT_EQ(0xff0000ffu, bitmap->pixelAt(1, 0));
        EXPECT_EQ(premultiplied(255, 0, 0, 128), bitmap->pixelAt(6, 4));
        EXPECT_EQ(0xff0000ffu, bitmap->pixelAt(19, 9));
    }
}

TEST(CBitmap, AnythingUndecodableGivesAnEmptyBitmapThatIsSafeToUse) {
    GuiTempFolder folder;
    const auto& png = kSamplePng;

    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({});
    bad.push_back({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    bad.emplace_back(png.begin(), png.begin() + long(png.size() / 2));  // truncated
    auto corrupt = png;
    for (size_t i = 40; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5a;
    bad.push_back(corrupt);
    // Header sizes far beyond anything a theme needs: refused before any
    // allocation (a side above the limit, and a pixel count above it).
    auto huge = png;
    huge[16] = 0x7f;
    bad.push_back(huge);
    auto square = png;
    const uint8_t side[4] = {0, 0, 0x75, 0x30};  // 30000 x 30000
    std::copy(side, side + 4, square.begin() + 16);
    std::copy(side, side + 4, square.begin() + 20);
    bad.push_back(square);

    for (const auto& bytes : bad) {
        const auto bitmap = CBitmap::fromPngData(bytes.data(), bytes.size());
        EXPECT_FALSE(bitmap->isLoaded());
        EXPECT_EQ(0, bitmap->getWidth());
        EXPECT_EQ(0, bitmap->getHeight());
        EXPECT_FALSE(bitmap->scaledCopy(0.5)->isLoaded());
    }
    EXPECT_FALSE(CBitmap::fromPngData(nullptr, 100)->isLoaded());
    EXPECT_FALSE(CBitmap::fromPngFile(folder.file("missing.png"))->isLoaded());
    EXPECT_FALSE(CBitmap::fromPngFile(folder.path())->isLoaded());  // a folder

    // Drawing an empty bitmap draws nothing.
    TestImageContext image(8, 8);
    image.clear(kWhiteCColor);
    image.drawBitmap(CBitmap(), {0, 0, 8, 8});
    EXPECT_EQ(kWhiteCColor, image.pixelAt(3, 3));
}

TEST(CBitmap, ShrinkingAveragesAreasSoEdgesStayWhereTheyBelong) {
    // A 96-pixel frame, black left half and white right half, with a one
    // pixel white line at x = 10.
    std::vector<uint32_t> pixels(96 * 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) pixels[size_t(y * 96 + x)] = (x >= 48 || x == 10) ? 0xffffffffu : 0xff000000u;
    const CBitmap frame(96, 96, pixels);

    struct Case { int size; int lastBlack; };
    for (const Case c : {Case{48, 23}, Case{60, 29}, Case{72, 35}}) {
        const auto scaled = frame.scaledCopy(c.size, c.size);
        ASSERT_EQ(c.size, scaled->getWidth());
        EXPECT_EQ(0xff000000u, scaled->pixelAt(c.lastBlack, c.size / 2)) << c.size;
        EXPECT_EQ(0xffffffffu, scaled->pixelAt(c.lastBlack + 1, c.size / 2)) << c.size;
    }
    // The thin line keeps its share of light instead of vanishing or
    // staying full white (what point sampling would give).
    const auto half = frame.scaledCopy(0.5);
    EXPECT_NEAR(128, redOf(half->pixelAt(5, 20)), 1);

    // Premultiplied averaging: opaque red next to transparent black gives
    // half-transparent pure red, never a darkened red.
    const CBitmap pair(2, 1, {0xffff0000u, 0x00000000u});
    const uint32_t averaged = pair.scaledCopy(1, 1)->pixelAt(0, 0);
    EXPECT_NEAR(128, alphaOf(averaged), 1);
    EXPECT_EQ(alphaOf(averaged), redOf(averaged));
    EXPECT_EQ(0, greenOf(averaged));

    // A film strip of 101 frames keeps its frame geometry at 150 %.
    const CBitmap strip(96, 9696);
    const auto strip150 = strip.scaledCopy(0.75);
    EXPECT_EQ(72, strip150->getWidth());
    EXPECT_EQ(7272, strip150->getHeight());
}

TEST(CBitmap, EnlargingInterpolatesBetweenNeighbours) {
    const CBitmap two(2, 1, {0xff000000u, 0xffc8c8c8u});
    const auto wide = two.scaledCopy(4, 1);
    EXPECT_EQ(0xff000000u, wide->pixelAt(0, 0));
    EXPECT_EQ(0xffc8c8c8u, wide->pixelAt(3, 0));
    EXPECT_NEAR(50, redOf(wide->pixelAt(1, 0)), 1);
    EXPECT_NEAR(150, redOf(wide->pixelAt(2, 0)), 1);
    EXPECT_FALSE(two.scaledCopy(0, 4)->isLoaded());
    EXPECT_FALSE(two.scaledCopy(CBitmap::kMaxSide + 1, 1)->isLoaded());
}

}  // namespace tvx
