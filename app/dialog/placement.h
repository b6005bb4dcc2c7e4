// Where a window goes when it opens centred on the mouse pointer: the pure
// arithmetic (portable, tested natively) and the Win32 calls around it.
// Used by the parameters dialog.
#pragma once

#include <cstdint>

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

struct ScreenRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Top-left corner for a width x height window centred on pointer (halves
// truncated toward zero) and pushed inside area. The right and bottom limits
// are applied before the left and top ones, so a window larger than the area
// is aligned with the area's left and top edges.
ScreenPoint PlaceCentredOnPointer(ScreenPoint pointer, int32_t width, int32_t height,
                                  const ScreenRect& area);

#ifdef _WIN32
#include <windows.h>

// Width and height of hwnd's window rectangle; false when it has none.
bool GetWindowSize(HWND hwnd, SIZE* size);
// The primary monitor's work area (the screen less the task bar).
bool GetWorkArea(RECT* rect);
// Moves hwnd to (x, y) without resizing it or changing the z-order.
bool MoveWindowTo(HWND hwnd, int x, int y);
// Centres hwnd on the mouse pointer inside the primary work area.
void MoveWindowNearCursor(HWND hwnd);
#endif
