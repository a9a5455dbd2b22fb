#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumacut {

int NextZoom(int zoom)
{
    switch (zoom) {
    case 0: return 1;
    case 2: return 4;
    case 4: return 0;
    default: return 2;
    }
}

int PrevZoom(int zoom)
{
    switch (zoom) {
    case 0: return 4;
    case 2: return 1;
    case 4: return 2;
    default: return 0;
    }
}

ScreenLayout ComputeScreenLayout(int zoom, int width, int height, QSize client)
{
    ScreenLayout layout;
    if (zoom != 0) {
        layout.scrollSize = QSize(width * zoom, height * zoom);
        layout.scaleX = layout.scaleY = zoom;
        layout.dest = Rect{0, 0, width * zoom, height * zoom};
    } else {
        layout.fitToWindow = true;
        layout.scrollSize = client;
        if (width <= 0 || height <= 0) {
            layout.scaleX = layout.scaleY = 0.0;
            return layout;
        }
        const double scale = std::min(static_cast<double>(client.width()) / width,
                                      static_cast<double>(client.height()) / height);
        layout.scaleX = layout.scaleY = scale;
        const int shownW = static_cast<int>(std::lround(width * scale));
        const int shownH = static_cast<int>(std::lround(height * scale));
        layout.origin = QPoint((client.width() - shownW) / 2, (client.height() - shownH) / 2);
        layout.dest = Rect{layout.origin.x(), layout.origin.y(), layout.origin.x() + shownW,
                           layout.origin.y() + shownH};
    }
    return layout;
}

Rect PrintRect(int width, int height, int horzRes, int vertRes, int lpx, int lpy)
{
    if (width <= 0 || height <= 0 || horzRes <= 0 || vertRes <= 0 || lpx <= 0 || lpy <= 0)
        return Rect{};
    const double w = width, h = height;
    if (w * lpx / horzRes > h * lpy / vertRes)
        return Rect{0, 0, horzRes, static_cast<int>(h * horzRes * lpy / (w * lpx))};
    return Rect{0, 0, static_cast<int>(w * vertRes * lpx / (h * lpy)), vertRes};
}

Rect PrintRect(int width, int height, Resolution resolution, int horzRes, int vertRes, int lpx, int lpy)
{
    if (resolution.Known() && width > 0 && height > 0 && lpx > 0 && lpy > 0) {
        // Pixels per metre kept exact: rounded dots per inch would drift on
        // a large picture.
        constexpr double kMetresPerInch = 0.0254;
        const double across = std::round(width * lpx / (resolution.x * kMetresPerInch));
        const double down = std::round(height * lpy / (resolution.y * kMetresPerInch));
        if (across <= horzRes && down <= vertRes)
            return Rect{0, 0, std::max(1, static_cast<int>(across)), std::max(1, static_cast<int>(down))};
    }
    return PrintRect(width, height, horzRes, vertRes, lpx, lpy);
}

QPoint ClientToPicture(QPoint point, QPoint scrollPos, double scaleX, double scaleY, QPoint origin)
{
    if (scaleX == 0.0 || scaleY == 0.0)
        return QPoint(NO_POINT, NO_POINT);
    const QPoint logical = point + scrollPos - origin;
    return QPoint(static_cast<int>(std::floor(logical.x() / scaleX)),
                  static_cast<int>(std::floor(logical.y() / scaleY)));
}

Rect ClientToPicture(const Rect& rect, QPoint scrollPos, double scaleX, double scaleY, QPoint origin)
{
    QPoint topLeft = ClientToPicture(QPoint(rect.left, rect.top), scrollPos, scaleX, scaleY, origin);
    QPoint bottomRight = ClientToPicture(QPoint(rect.right, rect.bottom), scrollPos, scaleX, scaleY, origin);
    return Rect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

Rect PictureToClient(const Rect& rect, double scaleX, double scaleY, QPoint origin)
{
    return Rect{origin.x() + static_cast<int>(rect.left * scaleX), origin.y() + static_cast<int>(rect.top * scaleY),
                origin.x() + static_cast<int>(rect.right * scaleX),
                origin.y() + static_cast<int>(rect.bottom * scaleY)};
}

PaneLayout LayoutPane(const CompareGeometry& g, PaneSide side)
{
    PaneLayout pane;
    const int w = g.client.width(), h = g.client.height();
    if (g.mode == ViewMode::SideBySide) {
        const int half = std::max(0, (w - kPaneGap) / 2);
        pane.area = side == PaneSide::New ? Rect{w - half, 0, w, h} : Rect{0, 0, half, h};
    } else {
        pane.area = Rect{0, 0, w, h};
    }
    const QSize picture = side == PaneSide::New ? g.newPicture : g.original;
    pane.screen = ComputeScreenLayout(g.zoom, picture.width(), picture.height(),
                                      QSize(pane.area.Width(), pane.area.Height()));
    return pane;
}

PaneSide PaneAt(const CompareGeometry& g, QPoint point)
{
    if (point.x() < 0 || point.y() < 0 || point.x() >= g.client.width() || point.y() >= g.client.height())
        return PaneSide::None;
    switch (g.mode) {
    case ViewMode::Split: return point.x() < g.divider ? PaneSide::Original : PaneSide::New;
    case ViewMode::SideBySide:
        for (PaneSide side : {PaneSide::Original, PaneSide::New}) {
            const Rect area = LayoutPane(g, side).area;
            if (point.x() >= area.left && point.x() < area.right)
                return side;
        }
        return PaneSide::None;
    default: return PaneSide::None;
    }
}

QPoint PanePixel(const CompareGeometry& g, PaneSide side, QPoint point)
{
    if (side == PaneSide::None)
        return QPoint(NO_POINT, NO_POINT);
    const PaneLayout pane = LayoutPane(g, side);
    const QPoint scroll = pane.screen.fitToWindow ? QPoint() : g.scroll;
    return ClientToPicture(point - QPoint(pane.area.left, pane.area.top), scroll, pane.screen.scaleX,
                           pane.screen.scaleY, pane.screen.origin);
}

PictureHit HitPicture(const CompareGeometry& g, QPoint point)
{
    PictureHit hit;
    hit.side = PaneAt(g, point);
    hit.pixel = PanePixel(g, hit.side, point);
    return hit;
}

std::string FormatSizeText(int width, int height)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Size: %i,  %i", width, height);
    return buffer;
}

std::string FormatNewSizeText(int width, int height)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "New Size: %i,  %i", width, height);
    return buffer;
}

} // namespace lumacut
