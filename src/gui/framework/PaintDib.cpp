#include "framework/PaintDib.h"

#include "picture/CPicture.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace lumacut {

namespace {

// The colour table of 1-, 4- and 8-bit pictures; indices past the picture's
// colours show black, as the display would.
QList<QRgb> ColorTable(const CPicture& picture)
{
    const int bitCount = picture.BitCount();
    QList<QRgb> colors(bitCount <= 8 ? 1 << bitCount : 0, qRgb(0, 0, 0));
    const int entries = bitCount <= 8 ? std::min(picture.Colors(), 1 << bitCount) : 0;
    for (int i = 0; i < entries; ++i) {
        const PaletteEntry& e = picture.Rgb(i);
        colors[i] = qRgb(e.red, e.green, e.blue);
    }
    return colors;
}

} // namespace

DibImage DibToImage(const CPicture& picture)
{
    // The picture's fields describe its block (checked when it was made), so
    // nothing is parsed again here.
    if (!picture.HasBlock() || picture.Width() <= 0 || picture.Height() <= 0)
        return {};
    struct {
        int width, height, bitCount;
        std::size_t stride;
    } layout{picture.Width(), picture.Height(), picture.BitCount(), static_cast<std::size_t>(picture.Stride())};
    const std::uint8_t* rows = picture.Row(0);
    const auto stride = static_cast<qsizetype>(layout.stride);
    DibImage out;
    out.flipped = true; // pictures keep their rows bottom-up
    // Shared rows need 4-byte aligned starts, which the 40-byte header and
    // 4-byte table entries give; the rare others are copied.
    const bool aligned = reinterpret_cast<std::uintptr_t>(rows) % 4 == 0;
    switch (layout.bitCount) {
    case 1:
    case 8:
        if (aligned) {
            out.image = QImage(rows, layout.width, layout.height, stride,
                               layout.bitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
            out.image.setColorTable(ColorTable(picture));
            return out;
        }
        break;
    case 24:
        if (aligned) {
            out.image = QImage(rows, layout.width, layout.height, stride, QImage::Format_BGR888);
            return out;
        }
        break;
    default:
        break;
    }

    // Copy, top row first.
    out.flipped = false;
    const QList<QRgb> colors = ColorTable(picture);
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < layout.height; ++y) {
        const std::uint8_t* src = rows + layout.stride * (layout.height - 1 - y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x) {
            switch (layout.bitCount) {
            case 1: dst[x] = colors[(src[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: dst[x] = colors[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]; break;
            case 8: dst[x] = colors[src[x]]; break;
            case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
            default: dst[x] = qRgb(src[4 * x + 2], src[4 * x + 1], src[4 * x]); break;
            }
        }
    }
    out.image = std::move(image);
    return out;
}

int PaintDib(QPainter& painter, const Rect& dest, const CPicture& picture, int scanLines, const Rect& source)
{
    if (!picture.HasBlock() || scanLines <= 0)
        return 0;
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 || source.Height() <= 0)
        return 0;
    DibImage dib = DibToImage(picture);
    if (dib.image.isNull())
        return 0;
    const int h = dib.image.height();
    // Source rows counted in the image as stored.
    const QRect from(source.left, dib.flipped ? h - source.bottom : source.top, source.Width(), source.Height());
    const QRectF to(dest.left, dest.top, dest.Width(), dest.Height());

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (dib.flipped) {
        // Mirror the destination rectangle onto itself.
        painter.translate(0, dest.top + dest.bottom);
        painter.scale(1, -1);
    }
    if (dest.Width() == source.Width() && dest.Height() == source.Height())
        painter.drawImage(QPoint(dest.left, dest.top), dib.image, from);
    else
        painter.drawImage(to, dib.image, QRectF(from));
    painter.restore();
    return source.Height();
}

} // namespace lumacut
