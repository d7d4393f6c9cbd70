// The plug-in file carries the four built-in images byte for byte: as DATA
// resources in the DLL, as read-only data in the Linux .so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path resourceFile(const std::string& name) {
    // <source>/tests/data -> <source>/resources, without asking the file system.
    return std::filesystem::path(TVX_TEST_DATA_DIR).parent_path().parent_path() / "resources" / name;
}

const struct {
    const char* file;
    const wchar_t* resource;
} kImages[] = {
    {"background.png", L"BACKGROUND"},
    {"background2.png", L"Background2"},
    {"background3.png", L"background3"},
    {"knob.png", L"Knob"},
};

}  // namespace

#ifdef _WIN32

TEST(PluginResources, DllHoldsEachImageAsDataResource) {
    HMODULE dll = LoadLibraryExW(std::filesystem::path(TVX_PLUGIN_PATH).wstring().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(dll, nullptr);
    for (const auto& image : kImages) {
        SCOPED_TRACE(image.file);
        std::string expected = readFile(resourceFile(image.file));
        ASSERT_FALSE(expected.empty());
        HRSRC found = FindResourceW(dll, image.resource, L"DATA");
        ASSERT_NE(found, nullptr);
        const void* bytes = LockResource(LoadResource(dll, found));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::string(static_cast<const char*>(bytes), SizeofResource(dll, found)), expected);
    }
    FreeLibrary(dll);
}

#else

TEST(PluginResources, SharedObjectEmbedsEachImage) {
    const std::string plugin = readFile(TVX_PLUGIN_PATH);
    ASSERT_FALSE(plugin.empty());
    for (const auto& image : kImages) {
        SCOPED_TRACE(image.file);
        std::string expected = readFile(resourceFile(image.file));
        ASSERT_FALSE(expected.empty());
        auto found = std::search(plugin.begin(), plugin.end(),
                                 std::boyer_moore_horspool_searcher(expected.begin(), expected.end()));
        EXPECT_NE(found, plugin.end());
    }
}

#endif
