#include "gui/win32/gdiplus_draw_context.h"

#include "gui/win32/gdiplus_api.h"
#include "gui/win32/win32_object_count.h"

#include <atomic>

namespace tvx {

namespace {

std::atomic<bool> forceGdiText{false};

Gdiplus::ARGB argb(const CColor& c) {
    return (Gdiplus::ARGB(c.alpha) << 24) | (Gdiplus::ARGB(c.red) << 16) | (Gdiplus::ARGB(c.green) << 8) |
           Gdiplus::ARGB(c.blue);
}

GpGraphics* gp(void* graphics) { return static_cast<GpGraphics*>(graphics); }

}  // namespace

std::wstring toWide(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0) {
        // Not UTF-8: take the bytes as Latin-1 rather than lose the text.
        return std::wstring(text.begin(), text.end());
    }
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

struct GdiplusDrawContext::Font {
    CFontDesc desc;
    GpFontFamily* family = nullptr;
    GpFont* font = nullptr;
    HFONT gdiFont = nullptr;

    ~Font() {
        if (font != nullptr) {
            GdipDeleteFont(font);
            win32objects::gdiplusDeleted();
        }
        if (family != nullptr) {
            GdipDeleteFontFamily(family);
            win32objects::gdiplusDeleted();
        }
        win32objects::deleteObject(gdiFont);
    }
};

void GdiplusDrawContext::setForceGdiText(bool force) {
    forceGdiText = force;
}

GdiplusDrawContext::GdiplusDrawContext(HDC dc, const CRect& surface) : CDrawContext(surface), dc_(dc) {
    GpGraphics* graphics = nullptr;
    if (GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok) {
        win32objects::gdiplusCreated();
        graphics_ = graphics;
        // Pixel i spans [i, i + 1], as in cairo: rectangles fill whole pixels
        // and scaled images do not shift by half a pixel.
        GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
        GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
        GdipSetCompositingQuality(graphics, Gdiplus::CompositingQualityHighSpeed);
    }
}

GdiplusDrawContext::~GdiplusDrawContext() {
    fonts_.clear();
    if (graphics_ != nullptr) {
        GdipFlush(gp(graphics_), Gdiplus::FlushIntentionSync);
        GdipDeleteGraphics(gp(graphics_));
        win32objects::gdiplusDeleted();
    }
}

void GdiplusDrawContext::flush() {
    if (graphics_ != nullptr) GdipFlush(gp(graphics_), Gdiplus::FlushIntentionSync);
}

void GdiplusDrawContext::setClip(const CRect& clip) {
    GdipSetClipRectI(gp(graphics_), clip.left, clip.top, clip.width(), clip.height(), Gdiplus::CombineModeReplace);
}

void GdiplusDrawContext::fillDeviceRect(const CRect& /*rect*/, const CColor& color, const CRect& clip) {
    if (graphics_ == nullptr) return;
    GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argb(color), &brush) != Gdiplus::Ok) return;
    win32objects::gdiplusCreated();
    GdipResetClip(gp(graphics_));
    GdipSetSmoothingMode(gp(graphics_), Gdiplus::SmoothingModeNone);
    GdipFillRectangleI(gp(graphics_), brush, clip.left, clip.top, clip.width(), clip.height());
    GdipDeleteBrush(brush);
    win32objects::gdiplusDeleted();
}

void GdiplusDrawContext::strokeDeviceLine(const CPoint& from, const CPoint& to, const CColor& color, CCoord width,
                                          const CRect& clip) {
    if (graphics_ == nullptr) return;
    GpPen* pen = nullptr;
    if (GdipCreatePen1(argb(color), Gdiplus::REAL(width), Gdiplus::UnitPixel, &pen) != Gdiplus::Ok) return;
    win32objects::gdiplusCreated();
    setClip(clip);
    const bool vertical = from.x == to.x;
    const bool horizontal = from.y == to.y;
    // Straight lines sit on whole pixels; slanted ones are smoothed.
    GdipSetSmoothingMode(gp(graphics_),
                         (vertical || horizontal) ? Gdiplus::SmoothingModeNone : Gdiplus::SmoothingModeAntiAlias);
    const float shift = (width % 2) ? 0.5f : 0.0f;
    GdipDrawLine(gp(graphics_), pen, static_cast<float>(from.x) + (vertical ? shift : 0.0f),
                 static_cast<float>(from.y) + (horizontal ? shift : 0.0f), static_cast<float>(to.x) + (vertical ? shift : 0.0f),
                 static_cast<float>(to.y) + (horizontal ? shift : 0.0f));
    GdipDeletePen(pen);
    win32objects::gdiplusDeleted();
    GdipResetClip(gp(graphics_));
}

GdiplusDrawContext::Font& GdiplusDrawContext::fontFor(const CFontDesc& desc) {
    for (auto& font : fonts_)
        if (font->desc == desc) return *font;
    auto font = std::make_unique<Font>();
    font->desc = desc;
    const std::wstring name = toWide(desc.name);
    if (!forceGdiText && GdipCreateFontFamilyFromName(name.c_str(), nullptr, &font->family) == Gdiplus::Ok) {
        win32objects::gdiplusCreated();
        // The style flags are GDI+'s own values.
        if (GdipCreateFont(font->family, Gdiplus::REAL(desc.size), desc.style & 7, Gdiplus::UnitPixel, &font->font) ==
            Gdiplus::Ok) {
            win32objects::gdiplusCreated();
        } else {
            font->font = nullptr;
        }
    } else {
        font->family = nullptr;
    }
    if (font->font == nullptr) {
        font->gdiFont = win32objects::track(CreateFontW(
            -desc.size, 0, 0, 0, desc.isBold() ? FW_BOLD : FW_NORMAL, desc.isItalic(), desc.isUnderlined(), FALSE,
            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
            name.c_str()));
    }
    fonts_.push_back(std::move(font));
    return *fonts_.back();
}

void GdiplusDrawContext::drawDeviceString(const std::string& text, const CRect& rect, const CFontDesc& desc,
                                          const CColor& color, CHoriTxtAlign align, const CRect& clip) {
    if (graphics_ == nullptr) return;
    Font& font = fontFor(desc);
    const std::wstring wide = toWide(text);
    if (font.font == nullptr) {
        drawGdiString(wide, rect, font.gdiFont, color, align, clip);
        return;
    }
    GpStringFormat* format = nullptr;
    if (GdipCreateStringFormat(Gdiplus::StringFormatFlagsNoWrap, LANG_NEUTRAL, &format) != Gdiplus::Ok) return;
    win32objects::gdiplusCreated();
    GdipSetStringFormatAlign(format, align == kLeftText    ? Gdiplus::StringAlignmentNear
                                     : align == kRightText ? Gdiplus::StringAlignmentFar
                                                           : Gdiplus::StringAlignmentCenter);
    GdipSetStringFormatLineAlign(format, Gdiplus::StringAlignmentCenter);
    GpSolidFill* brush = nullptr;
    if (GdipCreateSolidFill(argb(color), &brush) == Gdiplus::Ok) {
        win32objects::gdiplusCreated();
        setClip(clip);
        const Gdiplus::RectF layout(Gdiplus::REAL(rect.left), Gdiplus::REAL(rect.top), Gdiplus::REAL(rect.width()),
                                    Gdiplus::REAL(rect.height()));
        GdipDrawString(gp(graphics_), wide.c_str(), int(wide.size()), font.font, &layout, format, brush);
        GdipResetClip(gp(graphics_));
        GdipDeleteBrush(brush);
        win32objects::gdiplusDeleted();
    }
    GdipDeleteStringFormat(format);
    win32objects::gdiplusDeleted();
}

void GdiplusDrawContext::drawGdiString(const std::wstring& text, const CRect& rect, HFONT font, const CColor& color,
                                       CHoriTxtAlign align, const CRect& clip) {
    if (font == nullptr) return;
    HDC dc = nullptr;
    if (GdipGetDC(gp(graphics_), &dc) != Gdiplus::Ok) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SelectObject(dc, font);
    SetTextColor(dc, RGB(color.red, color.green, color.blue));
    SetBkMode(dc, TRANSPARENT);
    RECT box{rect.left, rect.top, rect.right, rect.bottom};
    const UINT horizontal = align == kLeftText ? DT_LEFT : align == kRightText ? DT_RIGHT : DT_CENTER;
    DrawTextW(dc, text.c_str(), int(text.size()), &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | horizontal);
    RestoreDC(dc, saved);
    GdipReleaseDC(gp(graphics_), dc);
}

CCoord GdiplusDrawContext::measureString(const std::string& text, const CFontDesc& desc) {
    if (graphics_ == nullptr) return 0;
    Font& font = fontFor(desc);
    const std::wstring wide = toWide(text);
    if (font.font == nullptr) {
        HDC dc = nullptr;
        if (font.gdiFont == nullptr || GdipGetDC(gp(graphics_), &dc) != Gdiplus::Ok) return 0;
        const HGDIOBJ old = SelectObject(dc, font.gdiFont);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        SelectObject(dc, old);
        GdipReleaseDC(gp(graphics_), dc);
        return size.cx;
    }
    const Gdiplus::RectF layout(0, 0, 100000.0f, 1000.0f);
    Gdiplus::RectF bounds;
    GdipMeasureString(gp(graphics_), wide.c_str(), int(wide.size()), font.font, &layout, nullptr, &bounds, nullptr,
                      nullptr);
    return CCoord(bounds.Width + 0.5f);
}

void GdiplusDrawContext::drawDeviceBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source,
                                          uint8_t alpha, const CRect& clip) {
    if (graphics_ == nullptr) return;
    GpBitmap* image = nullptr;
    // Wraps the pixels without copying; CBitmap's layout is 32bppPARGB.
    if (GdipCreateBitmapFromScan0(bitmap.getWidth(), bitmap.getHeight(), bitmap.stride(), PixelFormat32bppPARGB,
                                  reinterpret_cast<BYTE*>(const_cast<uint32_t*>(bitmap.pixels())),
                                  &image) != Gdiplus::Ok)
        return;
    win32objects::gdiplusCreated();
    const bool oneToOne = dest.width() == source.width() && dest.height() == source.height();
    GpImageAttributes* attributes = nullptr;
    if (GdipCreateImageAttributes(&attributes) == Gdiplus::Ok) {
        win32objects::gdiplusCreated();
        // Scaling must not sample beyond the source part (the neighbouring
        // film-strip frame).
        GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
        if (alpha != 255) {
            Gdiplus::ColorMatrix matrix{};
            for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
            matrix.m[3][3] = alpha / 255.0f;
            GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                              Gdiplus::ColorMatrixFlagsDefault);
        }
    }
    setClip(clip);
    GdipSetInterpolationMode(gp(graphics_), oneToOne ? Gdiplus::InterpolationModeNearestNeighbor
                                                     : Gdiplus::InterpolationModeHighQualityBicubic);
    GdipDrawImageRectRectI(gp(graphics_), image, dest.left, dest.top, dest.width(), dest.height(), source.left,
                           source.top, source.width(), source.height(), Gdiplus::UnitPixel, attributes, nullptr,
                           nullptr);
    GdipResetClip(gp(graphics_));
    if (attributes != nullptr) {
        GdipDisposeImageAttributes(attributes);
        win32objects::gdiplusDeleted();
    }
    GdipDisposeImage(image);
    win32objects::gdiplusDeleted();
}

}  // namespace tvx
