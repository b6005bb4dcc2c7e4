// The Win32 side of the placement: reads the window size, the pointer and
// the work area, and moves the window. Used by the parameters dialog.
#include "placement.h"

bool GetWindowSize(HWND hwnd, SIZE* size)
{
    RECT rect;
    if (!GetWindowRect(hwnd, &rect))
        return false;
    size->cx = rect.right - rect.left;
    size->cy = rect.bottom - rect.top;
    return true;
}

bool GetWorkArea(RECT* rect)
{
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0) != 0;
}

bool MoveWindowTo(HWND hwnd, int x, int y)
{
    return SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER) != 0;
}

void MoveWindowNearCursor(HWND hwnd)
{
    SIZE size;
    if (!GetWindowSize(hwnd, &size))
        return;  // nothing sensible to centre; leave the window where it is

    RECT work;
    if (!GetWorkArea(&work))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));

    POINT cursor;
    if (!GetCursorPos(&cursor)) {
        cursor.x = work.left + (work.right - work.left) / 2;
        cursor.y = work.top + (work.bottom - work.top) / 2;
    }

    const ScreenRect area = {work.left, work.top, work.right, work.bottom};
    const ScreenPoint origin = PlaceCentredOnPointer({cursor.x, cursor.y}, size.cx, size.cy, area);

    POINT pt = {origin.x, origin.y};
    HWND parent = GetParent(hwnd);
    if (parent && IsChild(parent, hwnd))
        ScreenToClient(parent, &pt);
    MoveWindowTo(hwnd, pt.x, pt.y);
}
