// Painting packed DIBs of every depth into a QImage, unscaled and stretched.
#include "framework/PaintDib.h"

#include "picture/CPicture.h"
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

// A picture whose pixel (x, y top-down) has palette index or colour
// `pixel(x, y)`; 1-, 4- and 8-bit pictures use `table`.
CPicture MakeDib(int width, int height, int bitCount, const std::vector<QRgb>& table,
                  const std::function<std::uint32_t(int, int)>& pixel)
{
    test::BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = bitCount;
    for (QRgb c : table)
        layout.table.push_back(c & 0xFFFFFF);
    return CPicture::FromDib(test::ToBlock(test::MakeDib(layout, pixel)));
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
    CPicture picture;
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
    p.picture = MakeDib(width, height, depth.bitCount, p.table, [&](int x, int y) { return p.Value(x, y); });
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
            EXPECT_EQ(PaintDib(painter, dest, p.picture, height, Rect{0, 0, width, height}),
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
            PaintDib(painter, Rect{0, 0, width * factor, height * factor}, p.picture, height,
                     Rect{0, 0, width, height});
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
        PaintDib(painter, Rect{0, 0, 4, 3}, p.picture, height, Rect{0, 0, width, height});
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
    CPicture two = MakeDib(2, 1, 1, bw, [](int x, int) { return x; });
    std::vector<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.push_back(qRgb(i, i, i));
    CPicture ramp = MakeDib(256, 1, 8, grey, [](int x, int) { return x; });

    QImage canvas = Canvas(256, 2);
    QPainter painter(&canvas);
    PaintDib(painter, Rect{0, 0, 2, 1}, two, 1, Rect{0, 0, 2, 1});
    PaintDib(painter, Rect{0, 1, 256, 2}, ramp, 1, Rect{0, 0, 256, 1});
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
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, CPicture(), 4, Rect{0, 0, 4, 4}), 0);

    Picture p = MakePicture(kDepths[3], 4, 4);
    const CMemBlock& block = p.picture.Block();
    // A block cut short (its rows are not all there) or a header that says
    // more than the block holds makes no picture, so nothing is drawn.
    CMemBlock shortBlock = CMemBlock::Allocate(block.Size() - 5);
    std::memcpy(shortBlock.Data(), block.Data(), shortBlock.Size());
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, CPicture::FromDib(std::move(shortBlock)), 4, Rect{0, 0, 4, 4}), 0);
    CMemBlock lying = DuplicateBlock(block);
    WriteLE32(lying.Data() + dib::kWidth, 5000);
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 4, 4}, CPicture::FromDib(std::move(lying)), 4, Rect{0, 0, 4, 4}), 0);
    EXPECT_EQ(PaintDib(painter, Rect{0, 0, 0, 4}, p.picture, 4, Rect{0, 0, 4, 4}), 0);
    painter.end();
    EXPECT_EQ(canvas, before);
}

TEST(DibToImage, SharesTheRowsOfCommonDepths)
{
    for (int bitCount : {1, 8, 24}) {
        Depth depth{"", bitCount, bitCount == 24 ? 0 : 1 << bitCount};
        Picture p = MakePicture(depth, 5, 2);
        DibImage image = DibToImage(p.picture);
        ASSERT_FALSE(image.image.isNull());
        EXPECT_TRUE(image.flipped) << bitCount;
        EXPECT_EQ(image.image.constBits(), p.picture.Block().Data() + kInfoHeaderSize + depth.colors * 4) << bitCount;
    }
}

} // namespace
} // namespace lumacut
