#include "gui/c_draw_context.h"

#include "gui_test_support.h"
#include "test_image_context.h"

#include <gtest/gtest.h>

namespace tvx {

namespace {

bool isDark(const CColor& c) { return c.red < 128 && c.green < 128 && c.blue < 128; }

// Bounding box of the dark pixels in the image (empty when there are none).
CRect darkBounds(TestImageContext& image, const CRect& area) {
    CRect bounds;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (isDark(image.pixelAt(x, y))) bounds.unite({x, y, x + 1, y + 1});
    return bounds;
}

}  // namespace

TEST(CDrawContext, RectanglesBlendTheirAlphaOverWhatIsBelow) {
    TestImageContext image(40, 40);
    image.clear(kWhiteCColor);
    image.fillRect({10, 10, 30, 30}, {0, 0, 255, 255});
    image.fillRect({0, 0, 20, 20}, {255, 0, 0, 128});

    const CColor overBlue = image.pixelAt(15, 15);
    EXPECT_NEAR(128, overBlue.red, 2);
    EXPECT_NEAR(0, overBlue.green, 2);
    EXPECT_NEAR(127, overBlue.blue, 2);
    const CColor overWhite = image.pixelAt(5, 5);
    EXPECT_NEAR(255, overWhite.red, 2);
    EXPECT_NEAR(127, overWhite.green, 2);
    EXPECT_EQ(kWhiteCColor, image.pixelAt(35, 5));
    EXPECT_EQ(CColor(0, 0, 255, 255), image.pixelAt(29, 29));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(30, 30));  // right and bottom edges exclusive

    // A 3-pixel frame lies inside the rectangle and leaves its middle alone.
    image.clear(kWhiteCColor);
    image.frameRect({5, 5, 25, 25}, kBlackCColor, 3);
    EXPECT_EQ(kBlackCColor, image.pixelAt(5, 5));
    EXPECT_EQ(kBlackCColor, image.pixelAt(7, 15));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(8, 15));
    EXPECT_EQ(kBlackCColor, image.pixelAt(24, 24));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(25, 24));
}

TEST(CDrawContext, LinesHaveTheirWidthAndStaySharp) {
    TestImageContext image(40, 40);
    image.clear(kWhiteCColor);
    image.setFrameColor(kBlackCColor);
    image.setLineWidth(2);
    image.drawLine({10, 5}, {10, 35});
    image.setLineWidth(1);
    image.moveTo({20, 20});
    image.lineTo({35, 20});
    EXPECT_EQ(kWhiteCColor, image.pixelAt(8, 20));
    EXPECT_EQ(kBlackCColor, image.pixelAt(9, 20));
    EXPECT_EQ(kBlackCColor, image.pixelAt(10, 20));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(11, 20));
    EXPECT_EQ(kBlackCColor, image.pixelAt(25, 20));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(25, 19));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(25, 21));
}

TEST(CDrawContext, TextAppearsInsideItsRectangleWhereItIsAligned) {
    TestImageContext image(200, 60);
    image.setFont({"Trebuchet MS", 14, kBoldFace});
    image.setFontColor(kBlackCColor);
    const CRect box(20, 20, 180, 40);
    CRect left, centre, right;
    for (CHoriTxtAlign align : {kLeftText, kCenterText, kRightText}) {
        image.clear(kWhiteCColor);
        image.drawString("Cutoff", box, align);
        const CRect ink = darkBounds(image, {0, 0, 200, 60});
        ASSERT_FALSE(ink.isEmpty()) << align;
        EXPECT_GE(ink.left, box.left);
        EXPECT_LE(ink.right, box.right);
        EXPECT_GE(ink.top, box.top);
        EXPECT_LE(ink.bottom, box.bottom);
        EXPECT_GT(ink.width(), 30);
        EXPECT_GT(ink.height(), 6);
        (align == kLeftText ? left : align == kCenterText ? centre : right) = ink;
    }
    EXPECT_LT(left.left, box.left + 4);
    EXPECT_GT(right.right, box.right - 4);
    EXPECT_NEAR((centre.left + centre.right) / 2, (box.left + box.right) / 2, 3);
    // Vertically centred.
    EXPECT_NEAR((centre.top + centre.bottom) / 2, (box.top + box.bottom) / 2, 3);

    // A text too long for its box is cut at the box's edges.
    image.clear(kWhiteCColor);
    image.drawString("A very long caption that does not fit", {50, 20, 90, 40}, kLeftText);
    const CRect cut = darkBounds(image, {0, 0, 200, 60});
    EXPECT_GE(cut.left, 50);
    EXPECT_LE(cut.right, 90);
    EXPECT_GT(image.getStringWidth("Cutoff"), 30);
}

TEST(CDrawContext, OffsetAndClipApplyToEveryPrimitive) {
    TestImageContext image(60, 60);
    image.clear(kWhiteCColor);
    image.setOffset({10, 20});
    image.setClipRect({10, 20, 30, 40});
    image.fillRect({0, 0, 50, 50}, kBlackCColor);
    EXPECT_EQ(kBlackCColor, image.pixelAt(10, 20));
    EXPECT_EQ(kBlackCColor, image.pixelAt(29, 39));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(30, 30));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(20, 40));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(9, 25));

    image.resetClipRect();
    image.setOffset({});
    image.clear(kWhiteCColor);
    image.setClipRect({0, 0, 30, 60});
    image.setFrameColor(kBlackCColor);
    image.drawLine({10, 10}, {50, 10});
    image.setFont({"Consolas", 12, kBoldFace});
    image.drawString("WWWWWWWWWW", {0, 30, 60, 50}, kLeftText);
    EXPECT_EQ(kBlackCColor, image.pixelAt(20, 10));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(40, 10));
    EXPECT_TRUE(darkBounds(image, {30, 0, 60, 60}).isEmpty());
}

TEST(CDrawContext, BitmapPartsLandAtTheirDestination) {
    // A strip of three 8 x 8 frames: red, green, blue.
    std::vector<uint32_t> pixels(8 * 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 8; ++x)
            pixels[size_t(y * 8 + x)] = y < 8 ? 0xffff0000u : y < 16 ? 0xff00ff00u : 0xff0000ffu;
    const CBitmap strip(8, 24, pixels);

    TestImageContext image(40, 40);
    image.clear(kWhiteCColor);
    image.drawBitmap(strip, {10, 10, 18, 18}, CPoint(0, 8));
    EXPECT_EQ(kGreenCColor, image.pixelAt(10, 10));
    EXPECT_EQ(kGreenCColor, image.pixelAt(17, 17));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(18, 17));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(9, 10));

    // Stretched to twice the size, with half the opacity.
    image.clear(kWhiteCColor);
    image.drawBitmap(strip, {20, 20, 36, 36}, CRect(0, 16, 8, 24), 128);
    const CColor half = image.pixelAt(28, 28);
    EXPECT_NEAR(127, half.red, 2);
    EXPECT_NEAR(255, half.blue, 2);
    EXPECT_EQ(kWhiteCColor, image.pixelAt(36, 28));

    // A source reaching past the bitmap draws only the part that exists.
    image.clear(kWhiteCColor);
    image.drawBitmap(strip, {0, 0, 16, 16}, CPoint(0, 16));
    EXPECT_EQ(kBlueCColor, image.pixelAt(7, 7));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(7, 8));
    EXPECT_EQ(kWhiteCColor, image.pixelAt(8, 7));
}

}  // namespace tvx
