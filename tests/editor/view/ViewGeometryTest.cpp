// Magnification ring, scroll sizes, display scales, destination rectangles,
// conversions, the print rectangle and the two-picture views' click mapping.
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

// A 408 x 300 client: side by side, the Original's pane is x 0..199, the gap
// 200..207 and the New Picture's pane 208..407. The Original is 100 x 50, the
// New Picture 50 x 25.
TEST(CompareViews, ClickMapsToThePictureUnderItAndItsPixel)
{
    struct Case {
        ViewMode mode;
        int zoom, divider;
        QPoint scroll, point;
        PaneSide side;
        QPoint pixel;
    } cases[] = {
        {ViewMode::SideBySide, 1, 0, {0, 0}, {10, 20}, PaneSide::Original, {10, 20}},
        {ViewMode::SideBySide, 1, 0, {0, 0}, {199, 20}, PaneSide::Original, {199, 20}},
        {ViewMode::SideBySide, 1, 0, {0, 0}, {204, 20}, PaneSide::None, {NO_POINT, NO_POINT}},
        {ViewMode::SideBySide, 1, 0, {0, 0}, {218, 20}, PaneSide::New, {10, 20}},
        {ViewMode::SideBySide, 1, 0, {0, 0}, {408, 20}, PaneSide::None, {NO_POINT, NO_POINT}},
        // One scroll position for both panes.
        {ViewMode::SideBySide, 2, 0, {30, 4}, {10, 20}, PaneSide::Original, {20, 12}},
        {ViewMode::SideBySide, 2, 0, {30, 4}, {218, 20}, PaneSide::New, {20, 12}},
        // Fit to Window ignores the scroll position and fits each picture to
        // its pane: the Original at 2x, the New Picture at 4x, both 100 down.
        {ViewMode::SideBySide, 0, 0, {30, 4}, {10, 120}, PaneSide::Original, {5, 10}},
        {ViewMode::SideBySide, 0, 0, {30, 4}, {218, 120}, PaneSide::New, {2, 5}},
        {ViewMode::Split, 1, 150, {5, 0}, {149, 10}, PaneSide::Original, {154, 10}},
        {ViewMode::Split, 1, 150, {5, 0}, {150, 10}, PaneSide::New, {155, 10}},
        {ViewMode::Split, 4, 150, {40, 8}, {100, 20}, PaneSide::Original, {35, 7}},
        {ViewMode::Split, 4, 150, {40, 8}, {300, 20}, PaneSide::New, {85, 7}},
        {ViewMode::Split, 1, 150, {0, 0}, {-1, 10}, PaneSide::None, {NO_POINT, NO_POINT}},
        {ViewMode::Split, 1, 150, {0, 0}, {10, 300}, PaneSide::None, {NO_POINT, NO_POINT}},
    };
    for (const Case& c : cases) {
        CompareGeometry g;
        g.mode = c.mode;
        g.zoom = c.zoom;
        g.client = QSize(408, 300);
        g.divider = c.divider;
        g.scroll = c.scroll;
        g.original = QSize(100, 50);
        g.newPicture = QSize(50, 25);
        const PictureHit hit = HitPicture(g, c.point);
        const auto where = ::testing::Message() << (c.mode == ViewMode::Split ? "split" : "side by side") << " zoom "
                                                << c.zoom << " at " << c.point.x() << "," << c.point.y();
        EXPECT_EQ(hit.side, c.side) << where;
        EXPECT_EQ(hit.pixel, c.pixel) << where;
    }
}

TEST(StatusTexts, Formats)
{
    EXPECT_EQ(FormatSizeText(640, 480), "Size: 640,  480");
    EXPECT_EQ(FormatNewSizeText(100, 50), "New Size: 100,  50");
    EXPECT_EQ(FormatNewSizeText(-4, 7), "New Size: -4,  7");
}

} // namespace
} // namespace lumacut
