#include "gui/win32/win32_object_count.h"

#include <atomic>

namespace tvx {

namespace win32objects {
namespace {

std::atomic<long> gdi{0};
std::atomic<long> gdiplus{0};

}  // namespace

long liveGdiObjects() { return gdi.load(); }
long liveGdiplusObjects() { return gdiplus.load(); }

HDC track(HDC dc) {
    if (dc != nullptr) ++gdi;
    return dc;
}

HBITMAP track(HBITMAP bitmap) {
    if (bitmap != nullptr) ++gdi;
    return bitmap;
}

HFONT track(HFONT font) {
    if (font != nullptr) ++gdi;
    return font;
}

void deleteDC(HDC dc) {
    if (dc != nullptr && ::DeleteDC(dc)) --gdi;
}

void deleteObject(HGDIOBJ object) {
    if (object != nullptr && ::DeleteObject(object)) --gdi;
}

void gdiplusCreated() { ++gdiplus; }
void gdiplusDeleted() { --gdiplus; }

}  // namespace win32objects

}  // namespace tvx
