// The picture model: row sizes, pixel access at every depth, the bounds of
// the readers and writers, block reuse, and the small shared helpers.
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/Helpers.h"
#include "picture/PictureFile.h"
#include "support/RecordingPrompt.h"
#include "support/PictureBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace lumacut;

namespace {

// A zero-filled picture of the depth; palette entry i is (i, i / 2, 255 - i).
CPicture Made(int width, int height, int bitCount)
{
    auto entry = [](int i) {
        return lumacut::Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2),
                            static_cast<std::uint8_t>(255 - i)};
    };
    return bitCount <= 8 ? test::MakePaletted(width, height, bitCount, entry, [](int, int) { return 0; })
                         : test::MakeTrueColor(width, height, [](int, int) { return lumacut::Rgb{0, 0, 0}; });
}

// Red, green and blue as a reader gives them.
struct Channels {
    std::uint8_t r = 7, g = 8, b = 9; // "untouched" marker
    bool operator==(const Channels&) const = default;
};

} // namespace

TEST(PictureSizes, RowStride)
{
    struct Case {
        int width, bitCount, stride;
    };
    const Case cases[] = {{1, 1, 4},  {33, 1, 8},   {32, 1, 4},  {5, 4, 4},  {9, 4, 8},   {1, 24, 4},
                          {4, 24, 12}, {3, 8, 4},   {4, 8, 4},   {5, 8, 8},  {1, 32, 4},  {3, 32, 12}};
    for (const Case& c : cases)
        EXPECT_EQ(RowStride(c.width, c.bitCount), c.stride) << c.width << " at " << c.bitCount << " bits";
    for (int width = 1; width <= 40; ++width)
        for (int bits : {1, 4, 8, 24, 32})
            EXPECT_EQ(RowStride(width, bits), RowBytes(std::int64_t{bits} * width));
}

TEST(PictureSizes, RowStrideOfAnUnknownDepthComplains)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    EXPECT_EQ(RowStride(5, 16), 8);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error in color data"});
}

TEST(PictureSizes, DibSize)
{
    EXPECT_EQ(DibSize(2, 2, 1, 2), 56);
    EXPECT_EQ(DibSize(3, 1, 24, 0), 52);
    EXPECT_EQ(DibSize(10, 3, 8, 256), 40 + 1024 + 3 * 12);
    // Large pictures do not overflow.
    EXPECT_EQ(DibSize(16384, 16384, 24, 0), std::int64_t{16384} * 16384 * 3 + 40);
}

TEST(PixelWriters, BitsAndNibblesLandWhereTheLayoutSays)
{
    CPicture bw = Made(16, 2, 1);
    bw.SetBW(0, 0, 1);
    EXPECT_EQ(bw.Row(0)[0], 0x80);
    bw.SetBW(9, 0, 1);
    EXPECT_EQ(bw.Row(0)[1], 0x40);
    bw.SetBW(0, 0, 0);
    EXPECT_EQ(bw.Row(0)[0], 0x00);
    bw.SetBW(15, 1, 1);
    EXPECT_EQ(bw.Row(1)[1], 0x01);

    CPicture nib = Made(4, 1, 4);
    nib.MutableRow(0)[0] = 0x05;
    nib.SetNibble(0, 0, 0x1F);
    EXPECT_EQ(nib.Row(0)[0], 0xF5) << "high nibble only, value masked to 4 bits";
    nib.SetNibble(1, 0, 3);
    EXPECT_EQ(nib.Row(0)[0], 0xF3);

    CPicture rgb = Made(3, 2, 24);
    rgb.SetRGB(2, 1, 10, 20, 30);
    const std::uint8_t* p = rgb.Row(1) + 6;
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    Channels got;
    rgb.GetRGB(2, 1, 0, 0, got.r, got.g, got.b);
    EXPECT_EQ(got, (Channels{10, 20, 30}));
}

TEST(PixelReaders, GetBWIsPureBlackOrWhiteWhateverThePalette)
{
    CPicture bw = Made(8, 1, 1); // palette entries 0 and 1 are not black and white
    bw.SetBW(3, 0, 1);
    Channels on, off;
    bw.GetBW(3, 0, 0, 0, on.r, on.g, on.b);
    bw.GetBW(2, 0, 0, 0, off.r, off.g, off.b);
    EXPECT_EQ(on, (Channels{255, 255, 255}));
    EXPECT_EQ(off, (Channels{0, 0, 0}));
    // The offsets are added to the position.
    Channels shifted;
    bw.GetBW(1, 0, 2, 0, shifted.r, shifted.g, shifted.b);
    EXPECT_EQ(shifted, on);
}

TEST(PixelReaders, OutsideThePictureNothingIsReadOrWritten)
{
    struct Case {
        const char* name;
        int bitCount;
    };
    const Case cases[] = {{"two colour", 1}, {"16 colours", 4}, {"256 colours", 8}, {"true colour", 24}};
    const std::pair<int, int> outside[] = {{5, 0}, {0, 3}, {-1, 0}, {0, -1}, {std::numeric_limits<int>::min(), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPicture pic = Made(5, 3, c.bitCount);
        const std::vector<std::uint8_t> before(pic.Block().Data(), pic.Block().Data() + pic.Block().Size());
        for (auto [x, y] : outside) {
            Channels got;
            pic.GetColor(x, y, 0, 0, got.r, got.g, got.b);
            EXPECT_EQ(got, Channels{}) << x << ", " << y;
            pic.GetColor(0, 0, x, y, got.r, got.g, got.b);
            EXPECT_EQ(got, Channels{}) << "offset " << x << ", " << y;
            pic.SetBW(x, y, 1);
            pic.SetNibble(x, y, 15);
            pic.SetIndex(x, y, 255);
            pic.SetRGB(x, y, 255, 255, 255);
        }
        EXPECT_TRUE(std::equal(before.begin(), before.end(), pic.Block().Data()));
    }
}

TEST(PixelReaders, GetColorDispatchesOnTheColourCount)
{
    CPicture pic = Made(4, 1, 4);
    pic.SetNibble(1, 0, 9);
    Channels got;
    pic.GetColor(1, 0, 0, 0, got.r, got.g, got.b);
    EXPECT_EQ(got, (Channels{9, 4, 246})) << "the nibble reader with palette entry 9";

    CPicture grey = Made(4, 1, 8);
    grey.SetIndex(2, 0, 200);
    grey.GetColor(2, 0, 0, 0, got.r, got.g, got.b);
    EXPECT_EQ(got, (Channels{200, 100, 55}));

    pic.TakeBlock(); // without a block nothing is read
    Channels untouched;
    pic.GetColor(1, 0, 0, 0, untouched.r, untouched.g, untouched.b);
    EXPECT_EQ(untouched, Channels{});
}

TEST(PictureBlock, MakeEmptyReusesALargeEnoughBlockAndReplacesASmallOne)
{
    CPicture pic = Made(8, 8, 24);
    pic.MutableRow(0)[0] = 0x5A;
    const std::uint8_t* first = pic.Block().Data();
    const std::size_t firstSize = pic.Block().Size();

    ASSERT_TRUE(pic.MakeEmpty(4, 4)); // smaller: same block, old pixels kept
    EXPECT_EQ(pic.Block().Data(), first);
    EXPECT_EQ(pic.Block().Size(), firstSize);
    EXPECT_EQ(pic.Block().Data()[40], 0x5A);
    EXPECT_EQ(ReadLE32s(pic.Block().Data() + dib::kWidth), 4);
    EXPECT_EQ(pic.Stride(), 12);

    ASSERT_TRUE(pic.MakeEmpty(40, 40)); // larger: a new, zero-filled block
    EXPECT_EQ(pic.Block().Size(), static_cast<std::size_t>(DibSize(40, 40, 24, 0)));
    EXPECT_EQ(pic.Block().Data()[40], 0);
}

TEST(PictureBlock, MakeEmptyWritesTheTableAndThePalette)
{
    CPicture pic = CPicture::Empty(PictureKind::TwoColor, 3, 2);
    ASSERT_TRUE(pic.HasBlock());
    const std::uint8_t* dib = pic.Block().Data();
    EXPECT_EQ(ReadLE32(dib), 40u);
    EXPECT_EQ(ReadLE16(dib + dib::kBitCount), 1);
    EXPECT_EQ(ReadLE32(dib + dib::kSizeImage), 8u);
    const std::uint8_t table[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    EXPECT_TRUE(std::equal(table, table + 8, dib + 40));
    ASSERT_TRUE(pic.Palette());
    EXPECT_EQ(pic.Palette()->Entries().size(), 2u);
}

// A picture is made only from a block in the kept layout; its table
// becomes the palette.
TEST(PictureBlock, FromDibTakesOnlyTheKeptLayout)
{
    CMemBlock info = CMemBlock::Allocate(40 + 8 + 4);
    WriteInfoHeader(info.Data(), 1, 1, 1);
    const std::uint8_t entries[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    std::copy(entries, entries + 8, info.Data() + 40);
    CPicture two = CPicture::FromDib(std::move(info));
    ASSERT_TRUE(two.HasBlock());
    EXPECT_EQ(two.LogPal().palNumEntries, 2);
    EXPECT_EQ(two.Rgb(1).red, 6);
    EXPECT_EQ(two.Rgb(1).blue, 4);
    EXPECT_EQ(two.Palette()->Entries().size(), 2u);
    EXPECT_EQ(two.Row(0), two.Block().Data() + 48);

    CPicture trueColor = CPicture::FromDib(AllocTrueColorDib(2, 2));
    ASSERT_TRUE(trueColor.HasBlock());
    EXPECT_EQ(trueColor.LogPal().palNumEntries, 0) << "no colours, no palette";
    ASSERT_TRUE(trueColor.Palette());
    EXPECT_FALSE(trueColor.Palette()->HasPalette());

    // Not kept: the core header, a short table, top-down rows, no block.
    CMemBlock core = CMemBlock::Allocate(12 + 6 + 4);
    WriteLE32(core.Data(), 12);
    WriteLE16(core.Data() + 4, 1);
    WriteLE16(core.Data() + 6, 1);
    WriteLE16(core.Data() + 8, 1);
    WriteLE16(core.Data() + 10, 1);
    CMemBlock shortTable = CMemBlock::Allocate(40 + 4 + 4);
    WriteInfoHeader(shortTable.Data(), 1, 1, 1);
    WriteLE32(shortTable.Data() + dib::kClrUsed, 1);
    CMemBlock topDown = AllocTrueColorDib(2, 2);
    WriteLE32(topDown.Data() + dib::kHeight, static_cast<std::uint32_t>(-2));
    for (CMemBlock* refused : {&core, &shortTable, &topDown}) {
        CPicture none = CPicture::FromDib(std::move(*refused));
        EXPECT_FALSE(none.HasBlock());
        EXPECT_EQ(none.Width(), 0);
    }
    EXPECT_FALSE(CPicture::FromDib(CMemBlock()).HasBlock());
}

TEST(PictureBlock, ConvertToTrueColorReadsEveryPixel)
{
    CPicture pic = Made(9, 2, 8);
    for (int x = 0; x < 9; ++x)
        pic.SetIndex(x, 1, x * 20);
    CMemBlock target = AllocTrueColorDib(9, 2);
    ASSERT_TRUE(ConvertToTrueColor(pic, target));
    const std::uint8_t* row1 = target.Data() + 40 + RowBytes(24 * 9);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(row1[3 * x + 2], x * 20) << x;       // red
        EXPECT_EQ(row1[3 * x + 0], 255 - x * 20) << x; // blue
    }
    CMemBlock tooSmall = AllocTrueColorDib(2, 2);
    EXPECT_FALSE(ConvertToTrueColor(pic, tooSmall));
}

TEST(PictureBlock, DuplicateAndCopy)
{
    CMemBlock a = CMemBlock::Allocate(16);
    a.Data()[3] = 42;
    CMemBlock b = DuplicateBlock(a);
    ASSERT_TRUE(b);
    EXPECT_NE(b.Data(), a.Data());
    EXPECT_EQ(b.Size(), 16u);
    EXPECT_EQ(b.Data()[3], 42);
    EXPECT_FALSE(DuplicateBlock(CMemBlock()));

    CMemBlock small = CMemBlock::Allocate(8);
    EXPECT_FALSE(CopyBlockInto(small, a));
    CMemBlock big = CMemBlock::Allocate(32);
    EXPECT_TRUE(CopyBlockInto(big, a));
    EXPECT_EQ(big.Data()[3], 42);
    CMemBlock none;
    EXPECT_FALSE(CopyBlockInto(none, a));
    EXPECT_FALSE(CopyBlockInto(big, none));
}

// Photo-sized blocks come from their own mapping: they must be zero-filled
// to the last byte, move between owners and be given back like small ones.
TEST(PictureBlock, PhotoSizedBlocksBehaveLikeSmallOnes)
{
    for (std::size_t size : {std::size_t{4} << 20, (std::size_t{24} << 20) + 7}) {
        CMemBlock block = CMemBlock::Allocate(size);
        ASSERT_TRUE(block);
        ASSERT_EQ(block.Size(), size);
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < size; i += 4093)
            nonZero += block.Data()[i] != 0;
        EXPECT_EQ(nonZero, 0u);
        EXPECT_EQ(block.Data()[size - 1], 0);
        block.Data()[size - 1] = 9;
        CMemBlock moved = std::move(block);
        EXPECT_TRUE(block.IsNull());
        CMemBlock copy = DuplicateBlock(moved);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy.Data()[size - 1], 9);
        moved.Free();
        EXPECT_TRUE(moved.IsNull());
        EXPECT_EQ(moved.Size(), 0u);
        CMemBlock replaced = CMemBlock::Allocate(16);
        replaced = std::move(copy); // the small block goes back to the heap, the large one moves in
        EXPECT_EQ(replaced.Data()[size - 1], 9);
    }
}

// A block reused for a picture of another width holds old bytes where the
// new rows have none; they must not reach a file.
TEST(PictureBlock, ClearRowPaddingZeroesWhatNoPixelCovers)
{
    struct Case {
        int width, bitCount, colors;
        std::vector<std::uint8_t> row; // one stored row after clearing, from 0xFF
    };
    const Case cases[] = {
        {13, 1, 2, {0xFF, 0xF8, 0x00, 0x00}},
        {5, 24, 0, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
        {6, 8, 256, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {32, 1, 2, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        const PictureKind kind = c.colors == 2 ? PictureKind::TwoColor
                                 : c.colors == 0 ? PictureKind::TrueColor
                                                 : PictureKind::Grey;
        // A wider picture's block, full of 0xFF, reused for the narrower one.
        CPicture p = CPicture::Empty(kind, 64, 3);
        ASSERT_TRUE(p.HasBlock());
        std::memset(p.MutableRow(0), 0xFF, p.Block().Size() - p.PixelOffset());
        ASSERT_TRUE(p.MakeEmpty(c.width, 3));
        const auto size = static_cast<std::size_t>(DibSize(c.width, 3, c.bitCount, c.colors));
        p.ClearRowPadding();
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(std::vector<std::uint8_t>(p.Row(y), p.Row(y) + p.Stride()), c.row)
                << c.width << " at " << c.bitCount << " bits, row " << y;
        EXPECT_EQ(p.Block().Data()[size], 0xFF) << "bytes past the picture are left alone";
    }
}

// ---- small helpers ----------------------------------------------------------------------

TEST(Helpers, Rounding)
{
    const std::pair<double, int> halfUp[] = {{2.5, 3}, {-2.5, -2}, {2.49, 2}, {-0.5, 0}, {0.0, 0}, {-1.51, -2}};
    for (auto [v, want] : halfUp)
        EXPECT_EQ(RoundHalfUp(v), want) << v;
    const std::pair<double, int> clamp[] = {{255.4, 255}, {255.5, 255}, {-0.6, 0}, {-0.4, 0}, {0.5, 1},
                                            {1e300, 255}, {-1e300, 0}, {std::nan(""), 0}, {127.5, 128}};
    for (auto [v, want] : clamp)
        EXPECT_EQ(ClampRound(v), want) << v;
    int v = -5;
    ClampInt(0, v, 10);
    EXPECT_EQ(v, 0);
    v = 11;
    ClampInt(0, v, 10);
    EXPECT_EQ(v, 10);
}

TEST(PictureFile, TypeByEndingAndByContent)
{
    const std::pair<const char*, int> names[] = {
        {"a.BMP", kFileTypeBmp},     {"photo.Jpg", kFileTypeJpeg},  {".bmp", kFileTypeNone},
        {"x.jpeg", kFileTypeJpeg},   {"dir.jpg/file", kFileTypeNone}, {"dir.jpg/file.bmp", kFileTypeBmp},
        {"", kFileTypeNone},         {"abmp", kFileTypeNone},       {"/p/q/r.bMp", kFileTypeBmp},
        {"a.PNG", kFileTypePng},     {"scan.tif", kFileTypeTiff},   {"scan.TIFF", kFileTypeTiff},
        {"a.tiff.txt", kFileTypeNone}, {"dir/.png", kFileTypeNone},
    };
    for (auto [path, want] : names)
        EXPECT_EQ(FileTypeOf(path), want) << path;
    const std::pair<std::string, int> contents[] = {
        {"BM\x36\0", kFileTypeBmp},         {"\xFF\xD8\xFF\xE0", kFileTypeJpeg},
        {"\x89PNG\r\n\x1A\n\0", kFileTypePng}, {std::string("II*\0", 4), kFileTypeTiff},
        {std::string("MM\0*", 4), kFileTypeTiff}, {"\x89PNG\r\n", kFileTypeNone},
        {"B", kFileTypeNone},                 {"GIF89a", kFileTypeNone},
    };
    for (const auto& [bytes, want] : contents)
        EXPECT_EQ(FileTypeOfContent(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), want);
}

TEST(Helpers, StripExtension)
{
    EXPECT_EQ(StripExtension("my.pic.bmp"), "my");
    EXPECT_EQ(StripExtension("plain"), "plain");
    EXPECT_EQ(StripExtension(".hidden"), "");
}
