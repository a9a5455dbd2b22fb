// Reading BMP files: every depth and header form into the one 24-bit form,
// and every kind of lying or unsupported file refused with the program's
// message before a pixel is read.
#include "picture/BmpFile.h"
#include "picture/Dib.h"
#include "picture/DibValidate.h"
#include "platform/Messages.h"
#include "support/RecordingPrompt.h"
#include "support/BmpBuilder.h"
#include "support/FirstDifference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

std::vector<std::uint32_t> DistinctTable(int n)
{
    std::vector<std::uint32_t> table;
    for (int i = 0; i < n; ++i)
        table.push_back(static_cast<std::uint32_t>((i * 0x2F) & 0xFF) << 16 | static_cast<std::uint32_t>(255 - i) << 8 |
                        static_cast<std::uint32_t>((i * 7 + 1) & 0xFF));
    return table;
}

std::uint32_t IndexPattern(int x, int top, int colors) { return static_cast<std::uint32_t>((x * 7 + top * 3 + 1) % colors); }
std::uint32_t ColorPattern(int x, int top)
{
    return static_cast<std::uint32_t>(x * 29 + 3) << 16 | static_cast<std::uint32_t>(top * 41 + 7) << 8 |
           static_cast<std::uint32_t>((x ^ top) * 13 + 200);
}

// Reads file bytes from memory the way a file would be read.
struct ReadResult {
    int ok = 0;
    CMemBlock block;
    int width = -1, height = -1;
    std::vector<std::string> messages;
};
ReadResult ReadBytes(const Bytes& file, const std::string& path = "pic.bmp")
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    ReadResult r;
    r.ok = ReadBmpBytes(file.data(), file.size(), path, r.block, r.width, r.height);
    r.messages = prompt.Texts();
    return r;
}

// The block every successful read must give: 40-byte 24-bit header, no
// table, exactly the computed size.
void ExpectNormalisedBlock(const ReadResult& r, int width, int height)
{
    ASSERT_TRUE(r.block);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
    EXPECT_EQ(r.block.Size(), TrueColorBlockSize(width, height));
    const std::uint8_t* dib = r.block.Data();
    EXPECT_EQ(ReadLE32(dib), 40u);
    EXPECT_EQ(ReadLE32s(dib + dib::kWidth), width);
    EXPECT_EQ(ReadLE32s(dib + dib::kHeight), height);
    EXPECT_EQ(ReadLE16(dib + dib::kBitCount), 24);
    EXPECT_EQ(ReadLE32(dib + dib::kCompression), 0u);
    EXPECT_EQ(ReadLE32(dib + dib::kClrUsed), 0u);
    EXPECT_EQ(ReadLE32(dib + dib::kSizeImage), r.block.Size() - 40);
}

} // namespace

// ---- every supported layout ---------------------------------------------------------

TEST(BmpRead, EveryDepthHeaderFormAndRowOrderAtWidthsOneToNine)
{
    struct Form {
        int headerSize;
        bool topDown;
        bool bitFields; // 32 bits only
    };
    const Form forms[] = {{12, false, false}, {40, false, false}, {40, true, false}, {40, false, true},
                          {52, false, true},  {56, true, true},   {108, false, false}, {124, true, true}};
    for (int bitCount : {1, 4, 8, 24, 32}) {
        for (const Form& form : forms) {
            if (form.bitFields && bitCount != 32)
                continue;
            for (int width = 1; width <= 9; ++width) {
                const int height = 3;
                SCOPED_TRACE(testing::Message() << bitCount << " bits, header " << form.headerSize
                                                << (form.topDown ? " top-down" : "") << (form.bitFields ? " masks" : "")
                                                << ", width " << width);
                BmpLayout layout;
                layout.headerSize = form.headerSize;
                layout.width = width;
                layout.height = height;
                layout.bitCount = bitCount;
                layout.topDown = form.topDown;
                const int colors = bitCount <= 8 ? 1 << bitCount : 0;
                layout.table = DistinctTable(colors);
                if (form.bitFields) {
                    layout.compression = 3;
                    layout.masks = kUsualMasks;
                }
                PixelFn pixel = [&](int x, int top) {
                    return colors ? IndexPattern(x, top, colors) : ColorPattern(x, top);
                };
                PixelFn expected = [&](int x, int top) {
                    return colors ? layout.table[IndexPattern(x, top, colors)] : ColorPattern(x, top) & 0xFFFFFF;
                };
                ReadResult r = ReadBytes(MakeBmp(layout, pixel));
                ASSERT_EQ(r.ok, 1) << (r.messages.empty() ? "" : r.messages[0]);
                EXPECT_TRUE(r.messages.empty());
                ExpectNormalisedBlock(r, width, height);
                EXPECT_EQ(FirstDifference(r.block, width, height, expected), "");
            }
        }
    }
}

// ---- the colour table ------------------------------------------------------------------

TEST(BmpRead, ColourTable)
{
    struct Case {
        const char* name;
        int bitCount;
        std::vector<std::uint32_t> table;
        std::int64_t clrUsed;
        std::vector<std::uint32_t> indices; // along a 1-row picture
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"a two-colour file keeps its own colours", 1, {0xFF0000, 0x0000FF}, -1, {0, 1, 1, 0}, {0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000}},
        {"indices beyond a short table read black", 8, {0x112233, 0x445566}, -1, {0, 1, 2, 255}, {0x112233, 0x445566, 0, 0}},
        {"4-bit indices beyond the table read black", 4, {0xABCDEF}, -1, {0, 15, 1}, {0xABCDEF, 0, 0}},
        {"a one-colour 1-bit table", 1, {0x808080}, -1, {0, 1}, {0x808080, 0}},
        {"16 colours used by an 8-bit file", 8, DistinctTable(16), 16, {15, 0, 3}, {DistinctTable(16)[15], DistinctTable(16)[0], DistinctTable(16)[3]}},
        {"a full 256 table from clrUsed 0", 8, DistinctTable(256), 0, {255, 128}, {DistinctTable(256)[255], DistinctTable(256)[128]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout layout;
        layout.bitCount = c.bitCount;
        layout.width = static_cast<int>(c.indices.size());
        layout.table = c.table;
        layout.clrUsed = c.clrUsed;
        layout.offBitsPointsAtPixels = false; // the table alone says where the pixels start
        ReadResult r = ReadBytes(MakeBmp(layout, [&](int x, int) { return c.indices[x]; }));
        ASSERT_EQ(r.ok, 1);
        ExpectNormalisedBlock(r, layout.width, 1);
        for (std::size_t x = 0; x < c.expected.size(); ++x)
            EXPECT_EQ(BlockPixel(r.block, static_cast<int>(x), 0), c.expected[x]) << "x " << x;
    }
}

TEST(BmpRead, TrueColourFilesWithAPaletteHintComeBackWithoutIt)
{
    for (int bitCount : {24, 32}) {
        SCOPED_TRACE(bitCount);
        BmpLayout layout;
        layout.bitCount = bitCount;
        layout.width = 5;
        layout.height = 2;
        layout.table = DistinctTable(7);
        layout.clrUsed = 7;
        ReadResult r = ReadBytes(MakeBmp(layout, ColorPattern));
        ASSERT_EQ(r.ok, 1);
        ExpectNormalisedBlock(r, 5, 2);
        EXPECT_EQ(FirstDifference(r.block, 5, 2, ColorPattern), "");
    }
}

// ---- where the pixels start ---------------------------------------------------------------

TEST(BmpRead, PixelStart)
{
    struct Case {
        const char* name;
        int gap;
        bool offBits;
        std::uint32_t lyingOffBits; // 0: as made
    };
    const Case cases[] = {
        {"from the header when bfOffBits is 0", 0, false, 0},
        {"bfOffBits past a gap after the table", 6, true, 0},
        {"a bfOffBits beyond the file is not believed", 0, true, 0x7FFFFFF0},
        {"a bfOffBits inside the colour table is not believed", 0, true, 14 + 40 + 4},
        {"a bfOffBits that leaves too few bytes for the rows is not believed", 0, true, 14 + 40 + 16 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout layout;
        layout.bitCount = 8;
        layout.width = 3;
        layout.height = 2;
        layout.table = DistinctTable(4);
        layout.gapAfterTable = c.gap;
        layout.offBitsPointsAtPixels = c.offBits;
        auto pixel = [](int x, int top) { return static_cast<std::uint32_t>((x + top) % 4); };
        Bytes file = MakeBmp(layout, pixel);
        if (c.lyingOffBits)
            WriteLE32(file.data() + 10, c.lyingOffBits);
        ReadResult r = ReadBytes(file);
        ASSERT_EQ(r.ok, 1);
        EXPECT_EQ(FirstDifference(r.block, 3, 2, [&](int x, int top) { return layout.table[pixel(x, top)]; }), "");
    }
}

// ---- refusals ---------------------------------------------------------------------------------

TEST(BmpRead, RefusesWhatItCannotReadSafely)
{
    struct Case {
        const char* name;
        std::function<void(BmpLayout&)> layout;
        std::function<void(Bytes&)> damage;
        std::string_view reason;
    };
    auto none = [](Bytes&) {};
    auto keep = [](BmpLayout&) {};
    const std::string_view depth = msg::kBmpUnsupportedDepth, header = msg::kBmpDamagedHeader,
                           packing = msg::kBmpUnsupportedCompression, cut = msg::kBmpCutShort,
                           empty = msg::kBmpNoPixels, notBmp = msg::kBmpNotBmp;
    const std::string_view tooLarge =
        "the picture is larger than 268435456 pixels, or longer than 1048576 pixels on a side.";
    const Case cases[] = {
        {"16 bits", [](BmpLayout& s) { s.bitCount = 16; }, none, depth},
        {"2 bits", [](BmpLayout& s) { s.bitCount = 2; s.table = DistinctTable(4); }, none, depth},
        {"bit count 0", [](BmpLayout& s) { s.bitCount = 0; }, none, depth},
        {"64 bits", [](BmpLayout& s) { s.bitCount = 64; }, none, depth},
        {"planes 2", [](BmpLayout& s) { s.planes = 2; }, none, header},
        {"header size 16", [](BmpLayout& s) { s.headerSize = 16; }, none, header},
        {"header size 64", [](BmpLayout& s) { s.headerSize = 64; }, none, header},
        {"header size 66", [](BmpLayout& s) { s.headerSize = 66; }, none, header},
        {"header size 0", keep, [](Bytes& f) { WriteLE32(f.data() + 14, 0); }, header},
        {"header size larger than the file", keep, [](Bytes& f) { WriteLE32(f.data() + 14, 124); f.resize(14 + 100); }, cut},
        {"RLE8", [](BmpLayout& s) { s.bitCount = 8; s.table = DistinctTable(4); s.compression = 1; }, none, packing},
        {"RLE4", [](BmpLayout& s) { s.bitCount = 4; s.table = DistinctTable(4); s.compression = 2; }, none, packing},
        {"bit fields at 24 bits", [](BmpLayout& s) { s.compression = 3; s.masks = {0xFF0000, 0xFF00, 0xFF}; }, none, packing},
        {"embedded JPEG", [](BmpLayout& s) { s.compression = 4; }, none, packing},
        {"embedded PNG", [](BmpLayout& s) { s.compression = 5; }, none, packing},
        {"alpha bit fields", [](BmpLayout& s) { s.bitCount = 32; s.compression = 6; }, none, packing},
        {"32-bit masks in another order", [](BmpLayout& s) { s.bitCount = 32; s.compression = 3; s.masks = {0xFF, 0xFF00, 0xFF0000}; }, none, packing},
        {"32-bit masks shifted up", [](BmpLayout& s) { s.bitCount = 32; s.compression = 3; s.masks = {0xFF000000, 0xFF0000, 0xFF00}; }, none, packing},
        {"32-bit masks cut off", [](BmpLayout& s) { s.bitCount = 32; s.compression = 3; }, [](Bytes& f) { f.resize(14 + 44); }, cut},
        {"257 colours", [](BmpLayout& s) { s.bitCount = 8; s.table = DistinctTable(257); }, none, header},
        {"a huge colour count", [](BmpLayout& s) { s.bitCount = 8; s.table = DistinctTable(4); s.clrUsed = 305402420; }, none, header},
        {"a colour table cut short", [](BmpLayout& s) { s.bitCount = 8; s.table = DistinctTable(4); s.clrUsed = 200; }, none, cut},
        {"width 0", [](BmpLayout& s) { s.width = 0; }, none, empty},
        {"negative width", [](BmpLayout& s) { s.width = -3; }, none, empty},
        {"height 0", [](BmpLayout& s) { s.height = 0; }, none, empty},
        {"the most negative height", keep, [](Bytes& f) { WriteLE32(f.data() + 14 + 8, 0x80000000u); }, tooLarge},
        {"wider than the side limit", keep, [](Bytes& f) { WriteLE32(f.data() + 14 + 4, (1u << 20) + 1); }, tooLarge},
        {"more pixels than the limit", keep, [](Bytes& f) { WriteLE32(f.data() + 14 + 4, 1u << 15); WriteLE32(f.data() + 14 + 8, 1u << 14); }, tooLarge},
        {"3000000 x 2000000 in a small file", keep, [](Bytes& f) { WriteLE32(f.data() + 14 + 4, 3000000); WriteLE32(f.data() + 14 + 8, 2000000); }, tooLarge},
        {"pixel rows cut short by one byte", keep, [](Bytes& f) { f.pop_back(); }, cut},
        {"header only", keep, [](Bytes& f) { f.resize(14 + 40); }, cut},
        {"\"BM\" and a file header only", keep, [](Bytes& f) { f.resize(14); }, cut},
        {"\"BM\" alone", keep, [](Bytes& f) { f.resize(2); }, notBmp},
        {"not \"BM\"", keep, [](Bytes& f) { f[1] = 'A'; }, notBmp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout layout;
        layout.width = 4;
        layout.height = 3;
        c.layout(layout);
        Bytes file = MakeBmp(layout, [](int x, int) { return static_cast<std::uint32_t>(x & 1); });
        c.damage(file);
        ReadResult r = ReadBytes(file, "/pics/bad.bmp");
        EXPECT_EQ(r.ok, 0);
        EXPECT_FALSE(r.block);
        EXPECT_EQ(r.width, 0);
        EXPECT_EQ(r.height, 0);
        EXPECT_EQ(r.messages, std::vector<std::string>{"Failed to read 2: /pics/bad.bmp: " + std::string(c.reason)});
        if (file.size() >= 14 && file[1] == 'M') { // the packed DIB alone is refused too
            EXPECT_FALSE(ValidateDib(file.data() + 14, file.size() - 14).ok);
        }
    }
}

TEST(BmpRead, ANonBmpFileLeavesTheCallersBlockWithoutAMessage)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    for (Bytes file : {Bytes{'B'}, Bytes{'B', 'M', 0, 0}, Bytes(100, 'x')}) {
        CMemBlock block = CMemBlock::Allocate(64);
        const std::uint8_t* before = block.Data();
        int w = 7, h = 7;
        EXPECT_EQ(ReadBmpBytes(file.data(), file.size(), "x.bmp", block, w, h), 0);
        EXPECT_EQ(block.Data(), before);
        EXPECT_EQ(block.Size(), 64u);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
    }
    EXPECT_TRUE(prompt.Texts().empty());

    // A BMP file that is refused frees the caller's block.
    BmpLayout layout;
    layout.bitCount = 16;
    Bytes file = MakeBmp(layout, [](int, int) { return 0u; });
    CMemBlock block = CMemBlock::Allocate(64);
    int w, h;
    EXPECT_EQ(ReadBmpBytes(file.data(), file.size(), "x.bmp", block, w, h), 0);
    EXPECT_FALSE(block);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Failed to read 2: x.bmp: " + std::string(msg::kBmpUnsupportedDepth)});
}

TEST(BmpRead, ASuccessfulReadReplacesTheCallersBlock)
{
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    Bytes file = MakeBmp(layout, ColorPattern);
    CMemBlock block = CMemBlock::Allocate(4096);
    int w, h;
    ASSERT_EQ(ReadBmpBytes(file.data(), file.size(), "x.bmp", block, w, h), 1);
    EXPECT_EQ(block.Size(), TrueColorBlockSize(2, 2));
}

// ---- files on disk ---------------------------------------------------------------------------------

TEST(BmpRead, FilesOnDisk)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    WriteFileBytes(dir.Path("ok.bmp"), MakeBmp(layout, ColorPattern));
    ::mkdir(dir.Path("folder.bmp").c_str(), 0700);

    struct Case {
        const char* name;
        std::string path;
        int ok;
        std::string message;
    };
    const Case cases[] = {
        {"a good file", dir.Path("ok.bmp"), 1, ""},
        {"a missing file", dir.Path("missing.bmp"), 0, "Failed to open: " + dir.Path("missing.bmp")},
        {"a folder", dir.Path("folder.bmp"), 0, "Failed to read: " + dir.Path("folder.bmp")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        CMemBlock block = CMemBlock::Allocate(8);
        int w = -1, h = -1;
        EXPECT_EQ(ReadBmpFile(c.path, block, w, h), c.ok);
        if (c.ok) {
            EXPECT_TRUE(prompt.Texts().empty());
            EXPECT_EQ(FirstDifference(block, 3, 2, ColorPattern), "");
            EXPECT_EQ(w, 3);
            EXPECT_EQ(h, 2);
        } else {
            EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
            EXPECT_FALSE(block);
        }
    }
}
