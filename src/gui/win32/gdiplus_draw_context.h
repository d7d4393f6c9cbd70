#pragma once

#include "gui/c_draw_context.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace tvx {

// Draws into a device context through GDI+. Text goes through GDI+ in the
// requested font; where GDI+ finds no font family (plain Wine has none
// until the prefix maps font names), it is drawn with antialiased GDI text
// instead, so the editor stays readable.
class GdiplusDrawContext : public CDrawContext {
public:
    GdiplusDrawContext(HDC dc, const CRect& surface);
    ~GdiplusDrawContext() override;
    GdiplusDrawContext(const GdiplusDrawContext&) = delete;
    GdiplusDrawContext& operator=(const GdiplusDrawContext&) = delete;

    // Finishes pending GDI+ drawing so the device context holds it.
    void flush();
    HDC deviceContext() const { return dc_; }

    // Tests take the GDI text path even where GDI+ has the font.
    static void setForceGdiText(bool force);

protected:
    void fillDeviceRect(const CRect& rect, const CColor& color, const CRect& clip) override;
    void strokeDeviceLine(const CPoint& from, const CPoint& to, const CColor& color, CCoord width,
                          const CRect& clip) override;
    void drawDeviceString(const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color,
                          CHoriTxtAlign align, const CRect& clip) override;
    CCoord measureString(const std::string& text, const CFontDesc& font) override;
    void drawDeviceBitmap(const CBitmap& bitmap, const CRect& dest, const CRect& source, uint8_t alpha,
                          const CRect& clip) override;

private:
    struct Font;
    Font& fontFor(const CFontDesc& desc);
    void setClip(const CRect& clip);
    void drawGdiString(const std::wstring& text, const CRect& rect, HFONT font, const CColor& color,
                       CHoriTxtAlign align, const CRect& clip);

    HDC dc_;
    void* graphics_ = nullptr;  // GpGraphics
    std::vector<std::unique_ptr<Font>> fonts_;
};

// UTF-8 to UTF-16 for the Windows text calls.
std::wstring toWide(const std::string& text);

}  // namespace tvx
