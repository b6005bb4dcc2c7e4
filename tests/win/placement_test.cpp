// The placement arithmetic of the parameters dialog, with the pointer and the
// work area supplied by the test. Runs natively and under Wine.
#include <gtest/gtest.h>

#include "placement.h"

namespace {

struct PlacementCase {
    const char* what;
    ScreenPoint pointer;
    int32_t width;
    int32_t height;
    ScreenRect area;
    ScreenPoint expected;
};

const ScreenRect SCREEN = {0, 0, 1024, 768};

const PlacementCase PLACEMENT_CASES[] = {
    {"pointer in the middle: centred", {512, 384}, 200, 100, SCREEN, {412, 334}},
    {"odd size: halves truncated", {512, 384}, 201, 101, SCREEN, {412, 334}},
    {"bottom-right corner: touches right and bottom", {1023, 767}, 200, 100, SCREEN, {824, 668}},
    {"top-left corner: at the area's corner", {0, 0}, 200, 100, SCREEN, {0, 0}},
    {"wider and taller than the area: left and top win", {512, 384}, 1100, 900, SCREEN, {0, 0}},
    {"task bar at the top", {10, 10}, 200, 100, {0, 40, 1024, 768}, {0, 40}},
    {"task bar at the left", {0, 384}, 200, 100, {60, 0, 1024, 768}, {60, 334}},
    {"task bar at the right", {1023, 384}, 200, 100, {0, 0, 964, 768}, {764, 334}},
    {"larger than an offset area", {512, 384}, 2000, 1000, {60, 40, 1024, 768}, {60, 40}},
    {"pointer on a monitor to the right", {1500, 300}, 200, 100, SCREEN, {824, 250}},
    {"pointer on a monitor to the left", {-500, 300}, 200, 100, SCREEN, {0, 250}},
    {"pointer on a monitor above", {300, -400}, 200, 100, SCREEN, {200, 0}},
    {"pointer on a monitor below", {300, 1200}, 200, 100, SCREEN, {200, 668}},
    {"exactly fits the area", {512, 384}, 1024, 768, SCREEN, {0, 0}},
    {"far edge of the plane: no wrap-around", {INT32_MAX, INT32_MIN}, 200, 100,
     {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX - 200, INT32_MIN}},
};

// Each case: the window's top-left corner for the pointer, size and area.
TEST(PlacementTest, CentresOnPointerInsideWorkArea)
{
    for (const PlacementCase& c : PLACEMENT_CASES) {
        SCOPED_TRACE(c.what);
        const ScreenPoint origin = PlaceCentredOnPointer(c.pointer, c.width, c.height, c.area);
        EXPECT_EQ(c.expected.x, origin.x);
        EXPECT_EQ(c.expected.y, origin.y);
    }
}

// Wherever the pointer is, a window that fits lies wholly inside the area.
TEST(PlacementTest, FittingWindowNeverLeavesArea)
{
    const ScreenRect area = {-1280, 30, 1920, 1050};
    for (int32_t x = -3000; x <= 3000; x += 37) {
        for (int32_t y = -2000; y <= 3000; y += 41) {
            const ScreenPoint origin = PlaceCentredOnPointer({x, y}, 381, 161, area);
            ASSERT_GE(origin.x, area.left) << x << "," << y;
            ASSERT_LE(origin.x + 381, area.right) << x << "," << y;
            ASSERT_GE(origin.y, area.top) << x << "," << y;
            ASSERT_LE(origin.y + 161, area.bottom) << x << "," << y;
        }
    }
}

} // namespace
