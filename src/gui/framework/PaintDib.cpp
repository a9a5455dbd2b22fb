#include "framework/PaintDib.h"

#include "picture/Dib.h"
#include "picture/DibValidate.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace lumacut {

namespace {

struct Layout {
    int width = 0;
    int height = 0;     // rows, positive
    bool bottomUp = true;
    int bitCount = 0;
    std::size_t stride = 0;
    std::size_t pixelOffset = 0;
    const std::uint8_t* table = nullptr;
    int tableEntries = 0;
    int entryBytes = 4;
};

// The block's layout from the one validated header parse: every row and
// table entry read later lies inside the block. `tableBytes` says where the
// caller expects the rows; a hint that does not fit is not taken.
bool ReadLayout(const CMemBlock& block, int tableBytes, Layout& out)
{
    const std::uint8_t* dib = block.Data();
    if (!dib || block.Size() < 4 || tableBytes < 0)
        return false;
    const std::size_t hint = std::size_t{ReadLE32(dib)} + static_cast<std::size_t>(tableBytes);
    const DibCheck check = ValidateDib(dib, block.Size(), hint);
    if (!check.ok)
        return false;
    out.width = check.width;
    out.height = check.height;
    out.bottomUp = !check.topDown;
    out.bitCount = check.bitCount;
    out.stride = check.rowBytes;
    out.pixelOffset = check.pixelOffset;
    out.table = dib + check.tableOffset;
    out.tableEntries = check.bitCount <= 8 ? std::min(check.colors, 1 << check.bitCount) : 0;
    out.entryBytes = check.entryBytes;
    return true;
}

QList<QRgb> ColorTable(const Layout& layout)
{
    // Indices past the table show black, as the display would.
    QList<QRgb> colors(layout.bitCount <= 8 ? 1 << layout.bitCount : 0, qRgb(0, 0, 0));
    for (int i = 0; i < layout.tableEntries; ++i) {
        const std::uint8_t* e = layout.table + i * layout.entryBytes;
        colors[i] = qRgb(e[2], e[1], e[0]);
    }
    return colors;
}

} // namespace

DibImage DibToImage(const CMemBlock& block, int tableBytes)
{
    Layout layout;
    if (!ReadLayout(block, tableBytes, layout))
        return {};
    const std::uint8_t* rows = block.Data() + layout.pixelOffset;
    const auto stride = static_cast<qsizetype>(layout.stride);
    DibImage out;
    out.flipped = layout.bottomUp;
    // Shared rows need 4-byte aligned starts, which the 40-byte header and
    // 4-byte table entries give; the rare others are copied.
    const bool aligned = reinterpret_cast<std::uintptr_t>(rows) % 4 == 0;
    switch (layout.bitCount) {
    case 1:
    case 8:
        if (aligned) {
            out.image = QImage(rows, layout.width, layout.height, stride,
                               layout.bitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
            out.image.setColorTable(ColorTable(layout));
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
    const QList<QRgb> colors = ColorTable(layout);
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < layout.height; ++y) {
        const std::uint8_t* src = rows + layout.stride * (layout.bottomUp ? layout.height - 1 - y : y);
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

int PaintDib(QPainter& painter, const Rect& dest, const CMemBlock& block, int tableBytes, int scanLines,
             const Rect& source, const CPalette*)
{
    if (block.IsNull() || scanLines <= 0)
        return 0;
    if (dest.Width() <= 0 || dest.Height() <= 0 || source.Width() <= 0 || source.Height() <= 0)
        return 0;
    DibImage dib = DibToImage(block, tableBytes);
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
