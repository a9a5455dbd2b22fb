// Painting packed DIBs of every depth into a QImage, unscaled and stretched.
#include "framework/PaintDib.h"

#include "picture/Dib.h"
#include "support/BmpBuilder.h"
#include "support/FirstDifference.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

namespace lumacut {
namespace {

// A packed DIB whose pixel (x, y top-down) has palette index or colour
// `pixel(x, y)`; 1-, 4- and 8-bit pictures use `table`.
CMemBlock MakeDib(int width, int height, int bitCount, const std::vector<QRgb>& table,
                  const std::function<std::uint32_t(int, int)>& pixel)
{
    test::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = bitCount;
    for (QRgb c : table)
        layout.table.push_back(c & 0xFFFFFF);
    return test::ToBlock(test::MakeDib(layout, pixel));
}

std::vector<QRgb> Table(int count)
{
    std::vector<QRgb> table;
    for (int i = 0; i < count; ++i)
        table.push_back(qRgb((i * 37) & 0xFF, (i * 91 + 40) & 0xFF, (255 - i * 13) & 0xFF));
    return table;
}

struct Depth {
    const char* name;
    int bitCount;
    int colors;
};
const Depth kDepths[] = {{"1 bit", 1, 2}, {"4 bits", 4, 16}, {"8 bits", 8, 256}, {"24 bits", 24, 0}, {"32 bits", 32, 0}};

// The expected colour of pixel (x, y) for a depth.
struct Picture {
    CMemBlock block;
    std::vector<QRgb> table;
    int bitCount;
    std::uint32_t Value(int x, int y) const
    {
        const int n = x + 3 * y;
        switch (bitCount) {
        case 1: return n % 2;
        case 4: return n % 16;
        case 8: return (n * 7) % 256;
        default: return qRgb((x * 50) & 0xFF, (y * 80) & 0xFF, (x * y * 30 + 5) & 0xFF) & 0xFFFFFF;
        }
    }
    QRgb Color(int x, int y) const
    {
        std::uint32_t v = Value(x, y);
        return bitCount <= 8 ? table[v] : qRgb(qRed(v), qGreen(v), qBlue(v));
    }
};

Picture MakePicture(const Depth& depth, int width, int height)
{
    Picture p;
    p.bitCount = depth.bitCount;
    p.table = Table(depth.colors);
    p.block = MakeDib(width, height, depth.bitCount, p.table, [&](int x, int y) { return p.Value(x, y); });
    return p;
}

QImage Canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    return image;
}

// The image against the expected colours over `area`, alpha aside.
std::string FirstDifference(const QImage& image, const std::function<QRgb(int, int)>& expected, QRect area)
{
    return test::FirstDifference(
        area.left(), area.top(), area.width(), area.height(), [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; },
        [&](int x, int y) { return expected(x, y) & 0xFFFFFF; });
}

TEST(PaintDib, UnscaledEveryDepthAndRowPadding)
{
    for (const Depth& depth : kDepths) {
        for (int width = 1; width <= 9; ++width) {
            SCOPED_TRACE(std::string(depth.name) + ", width " + std::to_string(width));
            const int height = 3;
            Picture p = MakePicture(depth, width, height);
            QImage canvas = Canvas(width + 4, height + 4);
            QPainter painter(&canvas);
            const Rect dest{2, 1, 2 + width, 1 + height};
            EXPECT_EQ(PaintDib(painter, dest, p.block, depth.colors * 4, height, Rect{0, 0, width, height}, nullptr),
                      height);
            painter.end();
            EXPECT_EQ(FirstDifference(canvas, [&](int x, int y) { return p.Color(x - 2, y - 1); },
                                      QRect(2, 1, width, height)),
                      "");
            // Nothing outside the destination.
            EXPECT_EQ(canvas.pixel(1, 1) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFFu);
            EXPECT_EQ(canvas.pixel(2, 0) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFFu);
            EXPECT_EQ(canvas.pixel(2 + width, 1 + height) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFFu);
        }
    }
}

TEST(PaintDib, StretchedRepeatsPixelsWithoutSmoothing)
{
    for (const Depth& depth : kDepths) {
        for (int factor : {2, 3, 4}) {
            SCOPED_TRACE(std::string(depth.name) + " x" + std::to_string(factor));
            const int width = 5, height = 3;
            Picture p = MakePicture(depth, width, height);
            QImage canvas = Canvas(width * factor, height * factor);
            QPainter painter(&canvas);
            PaintDib(painter, Rect{0, 0, width * factor, height * factor}, p.block, depth.colors * 4, height,
                     Rect{0, 0, width, height}, nullptr);
            painter.end();
            EXPECT_EQ(FirstDifference(canvas, [&](int x, int y) { return p.Color(x / factor, y / factor); },
                                      canvas.rect()),
                      "");
        }
    }
}

TEST(PaintDib, ShrinkingDropsRowsAndColumnsNeverBlends)
{
    for (const Depth& depth : kDepths) {
        SCOPED_TRACE(depth.name);
        const int width = 9, height = 7;
        Picture p = MakePicture(depth, width, height);
        std::set<QRgb> colors;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                colors.insert(p.Color(x, y) & 0xFFFFFF);
        QImage canvas = Canvas(4, 3);
        QPainter painter(&canvas);
        PaintDib(painter, Rect{0, 0, 4, 3}, p.block, depth.colors * 4, height, Rect{0, 0, width, height}, nullptr);
        painter.end();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_TRUE(colors.count(canvas.pixel(x, y) & 0xFFFFFF)) << "blended at " << x << ", " << y;
        // Each pixel takes the source pixel under its centre, so the picture
        // keeps its orientation (no ties at these sizes).
        EXPECT_EQ(FirstDifference(canvas, [&](int x, int y) { return p.Color((2 * x + 1) * width / 8, (2 * y + 1) * height / 6); },
                                  canvas.rect()),
                  "");
    }
}

TEST(PaintDib, TwoColourAndGreyUseTheirTables)
{
    const std::vector<QRgb> bw = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    CMemBlock two = MakeDib(2, 1, 1, bw, [](int x, int) { return x; });
    std::vector<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.push_back(qRgb(i, i, i));
    CMemBlock ramp = MakeDib(256, 1, 8, grey, [](int x, int) { return x; });

    QImage canvas = Canvas(256, 2);
    QPainter painter(&canvas);
    PaintDib(painter, Rect{0, 0, 2, 1}, two, 8, 1, Rect{0, 0, 2, 1}, nullptr);
    PaintDib(painter, Rect{0, 1, 256, 2}, ramp, 1024, 1, Rect{0, 0, 256, 1}, nullptr);
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(255, 255, 255));
    for (int i : {0, 1, 127, 200, 255})
        EXPECT_EQ(canvas.pixel(i, 1), qRgb(i, i, i));
}

TEST(PaintDib, NothingForMissingOrShortBlocksAndEmptyRectangles)
{
    QImage canvas = Canvas(4, 4);
    const QImage before = canvas;
    QPainter painter(&canvas);
    CMemBlock none;
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, none, 0, 4, Rect{0, 0, 4, 4}, nullptr), 0);

    Picture p = MakePicture(kDepths[3], 4, 4);
    // A block cut short: its rows are not all there.
    CMemBlock shortBlock = CMemBlock::Allocate(p.block.Size() - 5);
    std::memcpy(shortBlock.Data(), p.block.Data(), shortBlock.Size());
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, shortBlock, 0, 4, Rect{0, 0, 4, 4}, nullptr), 0);
    // A header that says more than the block holds.
    CMemBlock lying = DuplicateBlock(p.block);
    WriteLE32(lying.Data() + dib::kWidth, 5000);
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, lying, 0, 4, Rect{0, 0, 4, 4}, nullptr), 0);
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 0, 4}, p.block, 0, 4, Rect{0, 0, 4, 4}, nullptr), 0);
    painter.end();
    EXPECT_EQ(canvas, before);
}

TEST(PaintDib, ATableSizeThatDoesNotFitTheBlockIsNotTrusted)
{
    Picture p = MakePicture(kDepths[2], 4, 2);
    QImage canvas = Canvas(4, 2);
    QPainter painter(&canvas);
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 2}, p.block, 1 << 20, 2, Rect{0, 0, 4, 2}, nullptr), 2);
    painter.end();
    EXPECT_EQ(FirstDifference(canvas, [&](int x, int y) { return p.Color(x, y); }, canvas.rect()), "");
}

TEST(DibToImage, SharesTheRowsOfCommonDepths)
{
    for (int bitCount : {1, 8, 24}) {
        Depth depth{"", bitCount, bitCount == 24 ? 0 : 1 << bitCount};
        Picture p = MakePicture(depth, 5, 2);
        DibImage image = DibToImage(p.block, depth.colors * 4);
        ASSERT_FALSE(image.image.isNull());
        EXPECT_TRUE(image.flipped) << bitCount;
        EXPECT_EQ(image.image.constBits(), p.block.Data() + kInfoHeaderSize + depth.colors * 4) << bitCount;
    }
}

} // namespace
} // namespace lumacut
