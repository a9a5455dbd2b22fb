#pragma once
// The view's arithmetic, free of widgets: magnification ring, display scales,
// scroll sizes, destination rectangles on screen and paper, coordinate
// conversions and the status texts.
#include "picture/Dib.h"
#include "picture/Rect.h"

#include <QPoint>
#include <QSize>

#include <string>

namespace lumacut {

// A point or band whose x (left) equals this counts as not recorded.
inline constexpr int NO_POINT = -123456;

// ---- magnification: 0 = Fit to Window, 1 = 100 %, 2 = 200 %, 4 = 400 % ---------
// One ring Fit -> 100 -> 200 -> 400 -> Fit. Any other value counts as 100 %.
int NextZoom(int zoom);
int PrevZoom(int zoom);

// ---- what a paint of a w x h picture on screen sets up ----------------------------
struct ScreenLayout {
    QSize scrollSize;        // total size of the scroll view
    double scaleX = 1.0;     // client pixels per picture pixel
    double scaleY = 1.0;
    bool fitToWindow = false; // scroll position forced to (0, 0)
    QPoint origin;           // logical position of the picture's top-left corner
    Rect dest;               // destination rectangle in logical coordinates
};
// `client` is the client area's size. Fit to Window scales the picture by one
// factor, as large as the client area allows, and centres it; a zero-sized
// picture gives scales of 0 instead of dividing by zero.
ScreenLayout ComputeScreenLayout(int zoom, int width, int height, QSize client);

// The page rectangle of a w x h picture on a device of horzRes x vertRes
// pixels at lpx x lpy dots per inch: fills the width or the height, keeping
// the picture's proportions on paper. Empty for an empty picture or device.
Rect PrintRect(int width, int height, int horzRes, int vertRes, int lpx, int lpy);
// The same for a picture that may know its resolution: at its size on paper
// (pixels / the picture's dots per inch x the device's), from the page's
// top-left corner, when that fits the page; otherwise, or without a
// resolution, filling the width or the height as above.
Rect PrintRect(int width, int height, Resolution resolution, int horzRes, int vertRes, int lpx, int lpy);

// ---- conversions (values of the last paint) ------------------------------------------
// Client point to top-down picture pixel: (p + scroll - origin) / scale,
// rounded down, so points left of or above the picture stay outside it.
QPoint ClientToPicture(QPoint point, QPoint scrollPos, double scaleX, double scaleY, QPoint origin = {});
Rect ClientToPicture(const Rect& rect, QPoint scrollPos, double scaleX, double scaleY, QPoint origin = {});
// Picture rectangle to logical (scrolled) coordinates: origin + edge x scale,
// truncated.
Rect PictureToClient(const Rect& rect, double scaleX, double scaleY, QPoint origin = {});

// ---- before and after: two pictures in one view ------------------------------------
// Single shows one picture; SideBySide the Original in the left pane and the
// New Picture in the right one; Split both over the whole client area, the
// Original left of a divider and the New Picture right of it.
enum class ViewMode { Single, SideBySide, Split };
enum class PaneSide { None, Original, New };

// Client pixels between the two panes of the side-by-side view.
inline constexpr int kPaneGap = 8;

// Everything a two-picture view's paint and its mouse mapping depend on.
struct CompareGeometry {
    ViewMode mode = ViewMode::SideBySide;
    int zoom = 1;
    QSize client;        // viewport size
    int divider = 0;     // Split: client x of the divider
    QPoint scroll;       // scroll position shared by both pictures
    QSize original;      // picture sizes
    QSize newPicture;
};

// One picture's pane: its client rectangle and its layout inside it.
struct PaneLayout {
    Rect area;
    ScreenLayout screen;
};
// Side by side: the left or right half, kPaneGap apart; otherwise the whole
// client area (Split clips it at the divider when painting).
PaneLayout LayoutPane(const CompareGeometry& g, PaneSide side);
// The picture under a client point: the pane it lies in (none in the gap or
// outside the client area); in Split, left of the divider the Original.
PaneSide PaneAt(const CompareGeometry& g, QPoint point);
// Client point to top-down pixel of the picture of `side`, with that pane's
// layout and the shared scroll position (none in Fit to Window).
QPoint PanePixel(const CompareGeometry& g, PaneSide side, QPoint point);

struct PictureHit {
    PaneSide side = PaneSide::None;
    QPoint pixel{NO_POINT, NO_POINT};
};
// Which picture a click lands on, and where in it.
PictureHit HitPicture(const CompareGeometry& g, QPoint point);

// ---- status texts ----------------------------------------------------------------------
// "Size: %i,  %i" and "New Size: %i,  %i".
std::string FormatSizeText(int width, int height);
std::string FormatNewSizeText(int width, int height);

} // namespace lumacut
