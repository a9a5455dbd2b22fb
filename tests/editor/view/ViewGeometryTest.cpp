// Magnification ring, scroll sizes, display scales, destination rectangles,
// conversions and the print rectangle.
#include "support/Printers.h"
#include "support/QtPrinters.h"
#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

namespace lumacut {
namespace {

TEST(ZoomRing, NextAndPrevWalkFitHundredTwoFourHundredAndWrap)
{
    struct Case {
        int from, next, prev;
    } cases[] = {{0, 1, 4}, {1, 2, 0}, {2, 4, 1}, {4, 0, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(NextZoom(c.from), c.next) << "from " << c.from;
        EXPECT_EQ(PrevZoom(c.from), c.prev) << "from " << c.from;
        EXPECT_EQ(PrevZoom(NextZoom(c.from)), c.from);
    }
}

struct LayoutCase {
    const char* name;
    int zoom, width, height;
    QSize client;
    QSize scroll;
    double scaleX, scaleY;
    Rect dest;
};

TEST(ScreenLayout, ScrollSizesScalesAndDestination)
{
    const LayoutCase cases[] = {
        {"fit 100x50 in 400x300", 0, 100, 50, {400, 300}, {400, 300}, 4.0, 4.0, {0, 50, 400, 250}},
        {"fit 50x100 in 400x300", 0, 50, 100, {400, 300}, {400, 300}, 3.0, 3.0, {125, 0, 275, 300}},
        {"400% of 100x50", 4, 100, 50, {400, 300}, {400, 200}, 4.0, 4.0, {0, 0, 400, 200}},
        {"100% of 100x50", 1, 100, 50, {400, 300}, {100, 50}, 1.0, 1.0, {0, 0, 100, 50}},
        {"200% of 30x70", 2, 30, 70, {10, 10}, {60, 140}, 2.0, 2.0, {0, 0, 60, 140}},
        {"fit shrinks 800x600 to 400x300", 0, 800, 600, {400, 300}, {400, 300}, 0.5, 0.5, {0, 0, 400, 300}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenLayout layout = ComputeScreenLayout(c.zoom, c.width, c.height, c.client);
        EXPECT_EQ(layout.scrollSize, c.scroll);
        EXPECT_DOUBLE_EQ(layout.scaleX, c.scaleX);
        EXPECT_DOUBLE_EQ(layout.scaleY, c.scaleY);
        EXPECT_EQ(layout.dest, c.dest);
        EXPECT_EQ(layout.origin, QPoint(c.dest.left, c.dest.top));
        EXPECT_EQ(layout.fitToWindow, c.zoom == 0);
    }
}

TEST(ScreenLayout, EmptyPictureFitsWithoutDividingByZero)
{
    ScreenLayout layout = ComputeScreenLayout(0, 0, 0, QSize(400, 300));
    EXPECT_EQ(layout.scaleX, 0.0);
    EXPECT_EQ(layout.scaleY, 0.0);
    EXPECT_EQ(ClientToPicture(QPoint(5, 5), QPoint(), layout.scaleX, layout.scaleY).x(), NO_POINT);
}

TEST(PrintRect, KeepsProportionsOnPaper)
{
    struct Case {
        const char* name;
        int w, h, horzRes, vertRes, lpx, lpy;
        Rect expected;
    } cases[] = {
        {"wide picture fills the width", 300, 100, 4800, 6600, 600, 600, {0, 0, 4800, 1600}},
        {"tall picture fills the height", 100, 300, 4800, 6600, 600, 600, {0, 0, 2200, 6600}},
        {"unequal resolutions keep paper proportions", 200, 100, 2400, 6600, 300, 600, {0, 0, 2400, 2400}},
        {"empty picture", 0, 100, 4800, 6600, 600, 600, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PrintRect(c.w, c.h, c.horzRes, c.vertRes, c.lpx, c.lpy), c.expected);
    }
}

TEST(PrintRect, KnownResolutionPrintsAtPaperSizeWhenItFits)
{
    // 300 dpi = 11811, 150 dpi = 5906, 72 dpi = 2835 pixels per metre. A
    // case without `size` is expected to fit the page as without resolution.
    struct Case {
        const char* name;
        int w, h;
        Resolution resolution;
        int horzRes, vertRes, lpx, lpy;
        QSize size;
    } cases[] = {
        {"one inch at 300 dpi", 300, 100, {11811, 11811}, 4800, 6600, 600, 600, {600, 200}},
        {"two by one inches at 72 dpi", 144, 72, {2835, 2835}, 4800, 6600, 600, 600, {1200, 600}},
        {"each direction its own", 300, 150, {11811, 5906}, 2400, 6600, 300, 600, {300, 600}},
        {"just the page width", 2400, 100, {11811, 11811}, 4800, 6600, 600, 600, {4800, 200}},
        {"wider than the page", 3000, 1000, {2835, 2835}, 4800, 6600, 600, 600, {}},
        {"taller than the page", 100, 3400, {11811, 11811}, 4800, 6600, 600, 600, {}},
        {"no resolution", 300, 100, {}, 4800, 6600, 600, 600, {}},
        {"resolution across only", 300, 100, {11811, 0}, 4800, 6600, 600, 600, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect expected = c.size.isEmpty() ? PrintRect(c.w, c.h, c.horzRes, c.vertRes, c.lpx, c.lpy)
                                               : Rect{0, 0, c.size.width(), c.size.height()};
        EXPECT_EQ(PrintRect(c.w, c.h, c.resolution, c.horzRes, c.vertRes, c.lpx, c.lpy), expected);
    }
}

TEST(Conversions, ClientToPictureAddsScrollTakesOriginAndRoundsDown)
{
    EXPECT_EQ(ClientToPicture(QPoint(10, 10), QPoint(0, 0), 4.0, 6.0), QPoint(2, 1));
    EXPECT_EQ(ClientToPicture(QPoint(10, 10), QPoint(30, 2), 2.0, 2.0), QPoint(20, 6));
    EXPECT_EQ(ClientToPicture(QPoint(10, 10), QPoint(0, 0), 2.0, 2.0, QPoint(4, 12)), QPoint(3, -1));
    // Rounded down: left of the picture stays left of it.
    EXPECT_EQ(ClientToPicture(QPoint(-3, 7), QPoint(0, 0), 2.0, 2.0), QPoint(-2, 3));
    const Rect band{10, 40, 2, 8}; // reversed while dragging up and left
    EXPECT_EQ(ClientToPicture(band, QPoint(0, 0), 2.0, 2.0), (Rect{5, 20, 1, 4}));
}

TEST(Conversions, FocusRectangleAtTwoHundredPercent)
{
    EXPECT_EQ(PictureToClient(Rect{10, 20, 110, 70}, 2.0, 2.0), (Rect{20, 40, 220, 140}));
    EXPECT_EQ(PictureToClient(Rect{10, 20, 110, 70}, 0.5, 1.5), (Rect{5, 30, 55, 105}));
    EXPECT_EQ(PictureToClient(Rect{10, 20, 110, 70}, 2.0, 2.0, QPoint(3, 4)), (Rect{23, 44, 223, 144}));
}

TEST(StatusTexts, Formats)
{
    EXPECT_EQ(FormatSizeText(640, 480), "Size: 640,  480");
    EXPECT_EQ(FormatNewSizeText(100, 50), "New Size: 100,  50");
    EXPECT_EQ(FormatNewSizeText(-4, 7), "New Size: -4,  7");
}

} // namespace
} // namespace lumacut
