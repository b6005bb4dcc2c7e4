// The placement arithmetic of MoveWindowNearCursor; no platform calls, so the
// native tests and the Windows tests run the same code.
#include "placement.h"

// 64-bit sums: a window at the far edge of the 32-bit plane must not wrap.
static int32_t FitInside(int64_t origin, int64_t size, int64_t low, int64_t high)
{
    if (origin + size > high)
        origin = high - size;
    if (origin < low)
        origin = low;
    return static_cast<int32_t>(origin);
}

ScreenPoint PlaceCentredOnPointer(ScreenPoint pointer, int32_t width, int32_t height,
                                  const ScreenRect& area)
{
    ScreenPoint origin;
    origin.x = FitInside(int64_t{pointer.x} - width / 2, width, area.left, area.right);
    origin.y = FitInside(int64_t{pointer.y} - height / 2, height, area.top, area.bottom);
    return origin;
}
