#pragma once

#include <windows.h>

namespace tvx {

// GetGuiResources answers 0 under Wine, so the backend counts the GDI and
// GDI+ objects it makes and frees itself; tests compare the counts around
// open/close cycles.
namespace win32objects {

long liveGdiObjects();
long liveGdiplusObjects();

// GDI: every object the backend creates passes through these.
HDC track(HDC dc);
HBITMAP track(HBITMAP bitmap);
HFONT track(HFONT font);
void deleteDC(HDC dc);
void deleteObject(HGDIOBJ object);

void gdiplusCreated();
void gdiplusDeleted();

}  // namespace win32objects

}  // namespace tvx
