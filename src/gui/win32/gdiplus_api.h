#pragma once

// GDI+ through its flat C API (as mingw-w64 declares it). The wrapper
// classes are not used: the backend keeps explicit ownership of every
// object so that it can count them.
#include <windows.h>

#include <algorithm>

// mingw's GDI+ headers use unqualified min and max.
using std::max;
using std::min;
#include <gdiplus.h>

namespace tvx {

using namespace Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpFontFamily;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpImageAttributes;
using Gdiplus::GpPen;
using Gdiplus::GpSolidFill;
using Gdiplus::GpStatus;
using Gdiplus::GpStringFormat;

}  // namespace tvx
