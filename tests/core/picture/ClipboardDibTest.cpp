// Pictures crossing the clipboard: the outgoing layout, and incoming bytes
// checked, rebuilt in their own depth, or refused.
#include "picture/CPicture.h"
#include "picture/ClipboardDib.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "support/BmpBuilder.h"
#include "support/PictureBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace lumacut {
namespace {

using test::Bytes;

// A packed DIB as another program might put it on the clipboard: any header
// size, colour-table length, compression and row order.
struct DibLayout {
    int headerSize = 40;
    int width = 3;
    int height = 2;
    int bitCount = 8;
    int clrUsed = 0;
    int compression = 0;
    bool topDown = false;
};

// Table entry i is (blue i, green 2i, red 3i); stored byte k of row y is
// 16 y + k + 1, so every row and byte can be told apart.
Bytes MakeDib(const DibLayout& s)
{
    test::BmpLayout layout;
    layout.headerSize = s.headerSize;
    layout.width = s.width;
    layout.height = s.height;
    layout.bitCount = s.bitCount;
    layout.clrUsed = s.clrUsed;
    layout.compression = static_cast<std::uint32_t>(s.compression);
    layout.topDown = s.topDown;
    if (s.compression == 3)
        layout.masks = test::kUsualMasks;
    const int entries = s.clrUsed ? s.clrUsed : (s.bitCount <= 8 ? 1 << s.bitCount : 0);
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(entries); ++i)
        layout.table.push_back((3 * i & 0xFF) << 16 | (2 * i & 0xFF) << 8 | (i & 0xFF));
    std::size_t rows = 0;
    Bytes dib = test::MakeDib(layout, [](int, int) { return 0u; }, &rows);
    const std::size_t stride = test::RowLength(s.width, s.bitCount);
    for (std::size_t k = rows; k < dib.size(); ++k)
        dib[k] = static_cast<std::uint8_t>(16 * ((k - rows) / stride) + (k - rows) % stride + 1);
    return dib;
}

struct Plain {
    int width, height, bitCount, colors;
};

Plain HeaderOf(const CMemBlock& block)
{
    const DibCheck check = ValidateDib(block.Data(), block.Size());
    EXPECT_TRUE(check.ok && check.headerSize == kInfoHeaderSize && !check.topDown);
    EXPECT_EQ(ReadLE32(block.Data() + dib::kCompression), 0u);
    return {check.width, check.height, check.bitCount, check.colors};
}

const std::uint8_t* RowsOf(const CMemBlock& block, int colors)
{
    return block.Data() + kInfoHeaderSize + 4 * colors;
}

TEST(ClipboardPaste, KeepsTheDepthOfPalettePictures)
{
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE("bits " + std::to_string(bits));
        DibLayout layout;
        layout.bitCount = bits;
        layout.width = 9; // a row that does not fill its last byte
        const Bytes source = MakeDib(layout);
        std::string why;
        const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
        ASSERT_TRUE(block) << why;
        const Plain h = HeaderOf(block);
        EXPECT_EQ(h.bitCount, bits);
        EXPECT_EQ(h.colors, 1 << bits);
        EXPECT_EQ(block.Size(), static_cast<std::size_t>(DibSize(9, 2, bits, 1 << bits)));
        // Table and rows unchanged.
        EXPECT_EQ(0, std::memcmp(block.Data() + kInfoHeaderSize, source.data() + 40, 4 * (1 << bits)));
        const std::size_t rows = source.size() - 40 - 4 * (1 << bits);
        EXPECT_EQ(0, std::memcmp(RowsOf(block, 1 << bits), source.data() + source.size() - rows, rows));
    }
}

TEST(ClipboardPaste, TwoColourTableGetsItsLighterColourSecond)
{
    DibLayout layout;
    layout.bitCount = 1;
    layout.clrUsed = 2;
    Bytes source = MakeDib(layout);
    // Entry 0 white, entry 1 dark red.
    std::uint8_t* table = source.data() + 40;
    table[0] = table[1] = table[2] = 255;
    table[4] = 0;
    table[5] = 0;
    table[6] = 128;
    std::string why;
    const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
    ASSERT_TRUE(block) << why;
    const std::uint8_t* out = block.Data() + kInfoHeaderSize;
    EXPECT_EQ(ReadLE32(out), 0x800000u);     // dark red first
    EXPECT_EQ(ReadLE32(out + 4), 0xFFFFFFu); // white second
    EXPECT_EQ(RowsOf(block, 2)[0], static_cast<std::uint8_t>(~1)); // the bits turned over
    EXPECT_EQ(RowsOf(block, 2)[4], static_cast<std::uint8_t>(~17));
}

TEST(ClipboardPaste, ShortColourTableIsFilledWithBlack)
{
    DibLayout layout;
    layout.clrUsed = 16; // 8-bit pixels, 16 colours: indices above 15 must stay readable
    const Bytes source = MakeDib(layout);
    std::string why;
    const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
    ASSERT_TRUE(block) << why;
    EXPECT_EQ(HeaderOf(block).colors, 256);
    const std::uint8_t* table = block.Data() + kInfoHeaderSize;
    EXPECT_EQ(table[4 * 15 + 2], 45); // red of entry 15
    for (int i = 16; i < 256; ++i)
        ASSERT_EQ(ReadLE32(table + 4 * i), 0u) << "entry " << i;
    EXPECT_EQ(RowsOf(block, 256)[0], 1); // the rows follow the full table
}

TEST(ClipboardPaste, CoreHeaderGetsTheWindowsForm)
{
    DibLayout layout;
    layout.headerSize = 12;
    layout.bitCount = 4;
    const Bytes source = MakeDib(layout);
    std::string why;
    const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
    ASSERT_TRUE(block) << why;
    EXPECT_EQ(HeaderOf(block).bitCount, 4);
    const std::uint8_t* table = block.Data() + kInfoHeaderSize;
    EXPECT_EQ(table[4 * 5 + 0], 5);
    EXPECT_EQ(table[4 * 5 + 1], 10);
    EXPECT_EQ(table[4 * 5 + 2], 15);
    EXPECT_EQ(RowsOf(block, 16)[0], 1);
    EXPECT_EQ(RowsOf(block, 16)[4], 17); // the second row, 4 bytes in
}

TEST(ClipboardPaste, ThirtyTwoBitsKeepTheirPixelsWithOrWithoutBitFields)
{
    for (int compression : {0, 3}) {
        SCOPED_TRACE("compression " + std::to_string(compression));
        DibLayout layout;
        layout.bitCount = 32;
        layout.compression = compression;
        const Bytes source = MakeDib(layout);
        std::string why;
        const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
        ASSERT_TRUE(block) << why;
        const Plain h = HeaderOf(block);
        EXPECT_EQ(h.bitCount, 32);
        EXPECT_EQ(block.Size(), 40u + 12 * 2);
        EXPECT_EQ(0, std::memcmp(RowsOf(block, 0), source.data() + source.size() - 24, 24));
    }
}

TEST(ClipboardPaste, TopDownRowsAreTurnedBottomUp)
{
    DibLayout layout;
    layout.bitCount = 24;
    layout.height = 3;
    layout.topDown = true;
    const Bytes source = MakeDib(layout);
    std::string why;
    const CMemBlock block = DibFromPackedBytes(source.data(), source.size(), why);
    ASSERT_TRUE(block) << why;
    EXPECT_EQ(HeaderOf(block).height, 3);
    const std::uint8_t* rows = RowsOf(block, 0);
    EXPECT_EQ(rows[0], 16 * 2 + 1);  // stored first: the source's last row
    EXPECT_EQ(rows[12 * 2], 1);      // stored last: the source's first row
}

TEST(ClipboardPaste, EveryTruncationIsRefused)
{
    DibLayout layout;
    layout.clrUsed = 4;
    const Bytes source = MakeDib(layout);
    for (std::size_t size = 0; size < source.size(); ++size) {
        std::string why;
        EXPECT_FALSE(DibFromPackedBytes(source.data(), size, why)) << "size " << size;
        EXPECT_FALSE(why.empty()) << "size " << size;
    }
}

TEST(ClipboardPaste, DamagedBytesGiveAnErrorOrAConsistentPicture)
{
    // Every byte of the headers and table set to 0, 0xFF and its neighbours:
    // never a crash; whatever is taken comes out whole and self-consistent.
    for (int bits : {1, 8, 24, 32}) {
        DibLayout layout;
        layout.bitCount = bits;
        layout.compression = bits == 32 ? 3 : 0;
        const Bytes valid = MakeDib(layout);
        const std::size_t span = std::min<std::size_t>(valid.size(), 40 + 12 + 4 * 16);
        for (std::size_t at = 0; at < span; ++at)
            for (std::uint8_t value : {std::uint8_t{0}, std::uint8_t{0xFF}, std::uint8_t(valid[at] + 1),
                                       std::uint8_t(valid[at] - 1)}) {
                Bytes bytes = valid;
                bytes[at] = value;
                std::string why;
                const CMemBlock block = DibFromPackedBytes(bytes.data(), bytes.size(), why);
                if (!block) {
                    EXPECT_FALSE(why.empty());
                    continue;
                }
                const DibCheck info = ValidateDib(block.Data(), block.Size());
                ASSERT_TRUE(info.ok);
                ASSERT_GT(info.width, 0);
                ASSERT_GT(info.height, 0);
                ASSERT_EQ(block.Size(), static_cast<std::size_t>(DibSize(info.width, info.height, info.bitCount,
                                                                          info.bitCount <= 8 ? 1 << info.bitCount : 0)))
                    << "bits " << bits << " byte " << at;
            }
    }
}

struct LieCase {
    std::string name;
    int offset;
    std::uint32_t value;
};

class ClipboardPasteLies : public ::testing::TestWithParam<LieCase> {};

TEST_P(ClipboardPasteLies, LyingHeaderIsRefused)
{
    Bytes source = MakeDib(DibLayout{});
    WriteLE32(source.data() + GetParam().offset, GetParam().value);
    std::string why;
    EXPECT_FALSE(DibFromPackedBytes(source.data(), source.size(), why));
    EXPECT_FALSE(why.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Header, ClipboardPasteLies,
    ::testing::Values(LieCase{"HeightBeyondTheRows", dib::kHeight, 3},
                      LieCase{"HugeWidth", dib::kWidth, 0x7FFFFFFF},
                      LieCase{"ZeroWidth", dib::kWidth, 0},
                      LieCase{"TooManyColours", dib::kClrUsed, 257},
                      LieCase{"RunLengthCompressed", dib::kCompression, 1},
                      LieCase{"SixteenBits", dib::kBitCount, 16},
                      LieCase{"UnknownHeaderSize", dib::kSize, 64}),
    [](const auto& info) { return info.param.name; });

TEST(ClipboardCopy, ShownPictureTravelsAsABmpFileAndComesBackTheSame)
{
    CPicture picture = test::MakePicture(test::Output::TwoColor, 10, 3,
                                         [](int x, int y) { return (x == 9 && y == 0) || (x == 0 && y == 2); });
    // A render to a smaller size keeps the larger block: the copy takes only
    // what the picture's fields describe.
    ASSERT_TRUE(picture.MakeEmpty(5, 2));
    ASSERT_GT(picture.Block().Size(), static_cast<std::size_t>(DibSize(5, 2, 1, 2)));

    const CMemBlock packed = PackedDibOf(picture);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed.Size(), static_cast<std::size_t>(DibSize(5, 2, 1, 2)));

    const Bytes file = BmpFileBytes(packed);
    ASSERT_EQ(file.size(), 14 + packed.Size());
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLE32(file.data() + 2), file.size());
    EXPECT_EQ(ReadLE32(file.data() + 10), 14u + 40 + 8);

    std::string why;
    const CMemBlock back = DibFromBmpFileBytes(file.data(), file.size(), why);
    ASSERT_TRUE(back) << why;
    ASSERT_EQ(back.Size(), packed.Size());
    EXPECT_EQ(0, std::memcmp(back.Data(), packed.Data(), packed.Size()));
}

TEST(ClipboardCopy, PictureWithoutBlockGivesNothing)
{
    CPicture picture;
    EXPECT_FALSE(PackedDibOf(picture));
    EXPECT_TRUE(BmpFileBytes(CMemBlock{}).empty());
}

TEST(ClipboardPaste, BmpFileWithoutItsMarkIsRefused)
{
    const Bytes dibBytes = MakeDib(DibLayout{});
    Bytes file(14, 0);
    file.insert(file.end(), dibBytes.begin(), dibBytes.end());
    std::string why;
    EXPECT_FALSE(DibFromBmpFileBytes(file.data(), file.size(), why));
    file[0] = 'B';
    file[1] = 'M';
    EXPECT_TRUE(DibFromBmpFileBytes(file.data(), file.size(), why)) << why;
    EXPECT_FALSE(DibFromBmpFileBytes(file.data(), 13, why));
}

} // namespace
} // namespace lumacut
