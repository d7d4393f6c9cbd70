#include "platform/builtin_images.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace tvx {

namespace {

std::uint32_t bigEndian(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Width and height from the PNG header, or 0 x 0 when the bytes are not a PNG.
std::pair<std::uint32_t, std::uint32_t> pngSize(const BuiltinImage& image) {
    static const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (image.size < 24 || std::memcmp(image.bytes, signature, 8) != 0 || std::memcmp(image.bytes + 12, "IHDR", 4) != 0)
        return {0, 0};
    return {bigEndian(image.bytes + 16), bigEndian(image.bytes + 20)};
}

}  // namespace

TEST(BuiltinImages, FoundByNameInAnyCase) {
    struct Case {
        const wchar_t* name;
        std::uint32_t width, height;
    };
    const Case cases[] = {
        {L"Background", 2112, 1248}, {L"BACKGROUND", 2112, 1248}, {L"background2", 1984, 288},
        {L"BackGround3", 1984, 288}, {L"Knob", 96, 9696},        {L"kNOB", 96, 9696},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
        BuiltinImage image = builtinImage(c.name);
        ASSERT_FALSE(image.empty());
        EXPECT_EQ(pngSize(image), std::make_pair(c.width, c.height));
    }
    EXPECT_EQ(builtinImage(L"knob").bytes, builtinImage(L"KNOB").bytes);
    EXPECT_NE(builtinImage(L"Background2").bytes, builtinImage(L"Background3").bytes);
}

TEST(BuiltinImages, OtherNamesFindNothing) {
    for (const wchar_t* name : {L"", L"Knob2", L"Background4", L"Knob.png", L"../Knob", L"#1", L"Back ground", L"K"})
        EXPECT_TRUE(builtinImage(name).empty()) << std::string(name, name + std::wcslen(name));
    EXPECT_TRUE(builtinImage(std::wstring(100000, L'K')).empty());
}

}  // namespace tvx
