#pragma once
// Font sizes in points and LOGFONT heights in pixels (negative: character height), both rounded
// as MulDiv rounds.

#include <windows.h>

#include <cstdlib>

namespace tolvarinth {

inline LONG LogHeightFromPoints(int points, int pixelsPerInch) { return -MulDiv(points, pixelsPerInch, 72); }

inline int PointsFromLogHeight(LONG height, int pixelsPerInch) {
    return MulDiv(std::abs(static_cast<int>(height)), 72, pixelsPerInch);
}

// LOGPIXELSY of the screen.
inline int ScreenPixelsPerInchY() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 96;
    const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace tolvarinth
