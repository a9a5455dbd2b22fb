// The TIFF adapter: files made here with libtiff itself in every layout the
// reader decodes, compared with the pixel function that made them; round
// trips through the writer; damaged, cut and oversized files.
#include "picture/Dib.h"
#include "picture/TiffFile.h"
#include "platform/Messages.h"
#include "support/BlockPixels.h"
#include "support/Files.h"
#include "support/PictureBuilder.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include <tiffio.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

constexpr int kWidth = 37, kHeight = 23;

struct Layout {
    const char* name;
    std::uint16_t photometric;
    int bits;
    int samples; // colour samples and extras
    std::uint16_t extra = 0; // EXTRASAMPLE_* of the sample after the colours, when there is one
    std::uint16_t compression = COMPRESSION_NONE;
    bool separate = false;
    bool tiled = false;
    int pages = 1;
    int orientation = 0;
    std::uint16_t resolutionUnit = 0;
    float resolution = 0;
    std::int32_t pelsPerMeter = 0; // what the reader makes of it
    int tolerance = 0;             // colour models libtiff converts
};

// Sample s of pixel (x, top), spread over the whole range of `bits`.
std::uint32_t Sample(int x, int top, int s, int bits)
{
    const std::uint32_t v = static_cast<std::uint32_t>(x * 2999 + top * 1711 + s * 4093 + (x * top) % 7 * 5003);
    return bits == 16 ? v & 0xFFFF : (v >> 3) & ((1u << bits) - 1);
}
std::uint16_t PaletteEntry(int i, int c) { return static_cast<std::uint16_t>((i * 97 + c * 71) % 255 * 257 + c * 40); }

std::uint8_t To8(std::uint32_t v, int bits)
{
    return static_cast<std::uint8_t>(std::lround(v * 255.0 / ((1u << bits) - 1)));
}

// The oracle: what a reader must make of the pixel, 0xRRGGBB.
std::uint32_t Expected(const Layout& l, int x, int top)
{
    std::uint32_t c[3];
    switch (l.photometric) {
    case PHOTOMETRIC_PALETTE:
        for (int k = 0; k < 3; ++k)
            c[k] = std::lround(PaletteEntry(static_cast<int>(Sample(x, top, 0, l.bits)), k) * 255.0 / 65535);
        break;
    case PHOTOMETRIC_RGB:
        for (int k = 0; k < 3; ++k)
            c[k] = To8(Sample(x, top, k, l.bits), l.bits);
        break;
    case PHOTOMETRIC_SEPARATED: // CMYK
        for (int k = 0; k < 3; ++k)
            c[k] = (255 - Sample(x, top, k, 8)) * (255 - Sample(x, top, 3, 8)) / 255;
        break;
    default:
        c[0] = c[1] = c[2] = l.photometric == PHOTOMETRIC_MINISWHITE ? 255 - To8(Sample(x, top, 0, l.bits), l.bits)
                                                                      : To8(Sample(x, top, 0, l.bits), l.bits);
    }
    const int colours = l.photometric == PHOTOMETRIC_RGB ? 3 : 1;
    const double alpha = l.extra ? To8(Sample(x, top, colours, l.bits), l.bits) : 255;
    std::uint32_t rgb = 0;
    for (int k = 0; k < 3; ++k) {
        double v = c[k];
        if (l.extra == EXTRASAMPLE_UNASSALPHA)
            v = std::round((v * alpha + 255 * (255 - alpha)) / 255);
        else if (l.extra == EXTRASAMPLE_ASSOCALPHA)
            v = std::min(255.0, v + 255 - alpha);
        rgb = rgb << 8 | static_cast<std::uint32_t>(v);
    }
    return rgb;
}

void PutSample(std::vector<std::uint8_t>& row, std::size_t index, std::uint32_t v, int bits)
{
    if (bits == 16) {
        const auto w = static_cast<std::uint16_t>(v);
        std::memcpy(row.data() + 2 * index, &w, 2);
    } else if (bits == 8) {
        row[index] = static_cast<std::uint8_t>(v);
    } else {
        const std::size_t bit = index * bits;
        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bits - bit % 8));
    }
}

// Writes the layout with libtiff: every page the same picture.
void MakeTiff(const std::string& path, const Layout& l)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    for (int page = 0; page < l.pages; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, l.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, l.samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, l.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compression);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, l.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
        if (l.extra) {
            std::uint16_t kinds[] = {l.extra};
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, kinds);
        }
        if (l.photometric == PHOTOMETRIC_PALETTE) {
            std::vector<std::uint16_t> maps(3 * 256);
            for (int i = 0; i < 256; ++i)
                for (int c = 0; c < 3; ++c)
                    maps[256 * c + i] = PaletteEntry(i, c);
            TIFFSetField(tif, TIFFTAG_COLORMAP, maps.data(), maps.data() + 256, maps.data() + 512);
        }
        if (l.orientation)
            TIFFSetField(tif, TIFFTAG_ORIENTATION, l.orientation);
        if (l.resolutionUnit) {
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, l.resolutionUnit);
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, l.resolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, l.resolution);
        }
        const int unit = l.tiled ? 16 : 5; // tiles and strips that cross the picture's edges
        if (l.tiled) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, unit);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, unit);
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, unit);
        }
        const int planes = l.separate ? l.samples : 1, perPixel = l.separate ? 1 : l.samples;
        const int across = l.tiled ? unit : kWidth;
        const std::size_t lineBytes = (static_cast<std::size_t>(across) * perPixel * l.bits + 7) / 8;
        for (int plane = 0; plane < planes; ++plane)
            for (int y0 = 0; y0 < kHeight; y0 += unit)
                for (int x0 = 0; x0 < kWidth; x0 += across) {
                    std::vector<std::uint8_t> chunk(lineBytes * unit);
                    const int rows = l.tiled ? unit : std::min(unit, kHeight - y0);
                    for (int r = 0; r < rows; ++r) {
                        std::vector<std::uint8_t> line(lineBytes);
                        for (int i = 0; i < across; ++i)
                            for (int s = 0; s < perPixel; ++s)
                                if (x0 + i < kWidth && y0 + r < kHeight)
                                    PutSample(line, static_cast<std::size_t>(i) * perPixel + s,
                                              Sample(x0 + i, y0 + r, plane + s, l.bits), l.bits);
                        std::memcpy(chunk.data() + lineBytes * r, line.data(), lineBytes);
                    }
                    const tmsize_t n = static_cast<tmsize_t>(lineBytes * rows);
                    if (l.tiled)
                        ASSERT_GE(TIFFWriteEncodedTile(tif, TIFFComputeTile(tif, x0, y0, 0, plane), chunk.data(), n), 0);
                    else
                        ASSERT_GE(TIFFWriteEncodedStrip(tif, TIFFComputeStrip(tif, y0, plane), chunk.data(), n), 0);
                }
        ASSERT_TRUE(TIFFWriteDirectory(tif));
    }
    TIFFClose(tif);
}

struct ReadResult {
    int ok = 0;
    CMemBlock block;
    int width = -1, height = -1;
    TiffPageInfo info;
    std::vector<std::string> messages;
};
ReadResult ReadTiff(const std::string& path, const Bytes* bytes = nullptr)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    ReadResult r;
    r.ok = bytes ? ReadTiffBytes(bytes->data(), bytes->size(), path, r.block, r.width, r.height, &r.info)
                 : ReadTiffFile(path, r.block, r.width, r.height, &r.info);
    r.messages = prompt.Texts();
    return r;
}

constexpr std::uint16_t kNone = COMPRESSION_NONE, kLzw = COMPRESSION_LZW, kZip = COMPRESSION_ADOBE_DEFLATE,
                        kPack = COMPRESSION_PACKBITS, kG3 = COMPRESSION_CCITTFAX3, kG4 = COMPRESSION_CCITTFAX4;
constexpr std::uint16_t kWhite = PHOTOMETRIC_MINISWHITE, kBlack = PHOTOMETRIC_MINISBLACK,
                        kPalette = PHOTOMETRIC_PALETTE, kRgb = PHOTOMETRIC_RGB;

const Layout kLayouts[] = {
    {"bilevel white none", kWhite, 1, 1},
    {"bilevel white packbits", kWhite, 1, 1, 0, kPack},
    {"bilevel white g3", kWhite, 1, 1, 0, kG3},
    {"bilevel white g4 two pages", kWhite, 1, 1, 0, kG4, false, false, 2},
    {"bilevel black g4", kBlack, 1, 1, 0, kG4},
    {"bilevel black tiles", kBlack, 1, 1, 0, kNone, false, true},
    {"grey 2-bit", kBlack, 2, 1},
    {"grey 4-bit white lzw", kWhite, 4, 1, 0, kLzw},
    {"grey 8-bit lzw, orientation 6", kBlack, 8, 1, 0, kLzw, false, false, 1, 6},
    {"grey 8-bit deflate tiles, 300 dpi", kBlack, 8, 1, 0, kZip, false, true, 1, 0, RESUNIT_INCH, 300, 11811},
    {"grey 16-bit, 40 per cm", kBlack, 16, 1, 0, kNone, false, false, 1, 0, RESUNIT_CENTIMETER, 40, 4000},
    {"grey 16-bit tiles, no unit", kBlack, 16, 1, 0, kZip, false, true, 1, 0, RESUNIT_NONE, 72, 0},
    {"grey and alpha 8-bit separate", kBlack, 8, 2, EXTRASAMPLE_UNASSALPHA, kLzw, true},
    {"palette 1-bit", kPalette, 1, 1},
    {"palette 2-bit packbits", kPalette, 2, 1, 0, kPack},
    {"palette 4-bit tiles", kPalette, 4, 1, 0, kLzw, false, true},
    {"palette 8-bit lzw", kPalette, 8, 1, 0, kLzw},
    {"rgb 8-bit none", kRgb, 8, 3},
    {"rgb 8-bit deflate tiles", kRgb, 8, 3, 0, kZip, false, true},
    {"rgb 8-bit separate lzw", kRgb, 8, 3, 0, kLzw, true},
    {"rgb 8-bit separate tiles", kRgb, 8, 3, 0, kNone, true, true},
    {"rgb 16-bit deflate", kRgb, 16, 3, 0, kZip},
    {"rgb 16-bit separate tiles", kRgb, 16, 3, 0, kLzw, true, true},
    {"rgba 8-bit unassociated", kRgb, 8, 4, EXTRASAMPLE_UNASSALPHA, kZip},
    {"rgba 8-bit associated tiles", kRgb, 8, 4, EXTRASAMPLE_ASSOCALPHA, kNone, false, true},
    {"rgba 16-bit unassociated separate", kRgb, 16, 4, EXTRASAMPLE_UNASSALPHA, kLzw, true},
    {"rgb and an unspecified extra", kRgb, 8, 4, EXTRASAMPLE_UNSPECIFIED},
    {"cmyk through libtiff", PHOTOMETRIC_SEPARATED, 8, 4, 0, kLzw, false, false, 1, 0, 0, 0, 0, 1},
};

} // namespace

TEST(TiffRead, EveryLayoutGivesThePixelsItWasMadeOf)
{
    TempDir dir;
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(l.name);
        const std::string path = dir.Path("t.tif");
        MakeTiff(path, l);
        ReadResult r = ReadTiff(path);
        ASSERT_EQ(r.ok, 1) << (r.messages.empty() ? "" : r.messages[0]);
        EXPECT_TRUE(r.messages.empty());
        ASSERT_EQ(r.width, kWidth);
        ASSERT_EQ(r.height, kHeight);
        ASSERT_EQ(r.block.Size(), TrueColorBlockSize(kWidth, kHeight));
        EXPECT_EQ(ReadLE16(r.block.Data() + dib::kBitCount), 24);
        EXPECT_EQ(ReadLE32s(r.block.Data() + dib::kXPelsPerMeter), l.pelsPerMeter);
        EXPECT_EQ(ReadLE32s(r.block.Data() + dib::kYPelsPerMeter), l.pelsPerMeter);
        EXPECT_EQ(r.info.morePages, l.pages > 1);
        EXPECT_EQ(r.info.orientation, l.orientation);
        int wrong = 0;
        for (int top = 0; top < kHeight; ++top)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t got = BlockPixel(r.block, x, top), want = Expected(l, x, top);
                for (int shift : {0, 8, 16})
                    if (std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)) > l.tolerance && wrong++ < 3)
                        ADD_FAILURE() << "pixel " << x << "," << top << ": " << std::hex << got << " want " << want;
            }
        // The same file from memory gives the same block.
        const Bytes bytes = ReadFileBytes(path);
        ReadResult m = ReadTiff(path, &bytes);
        ASSERT_EQ(m.ok, 1);
        EXPECT_EQ(0, std::memcmp(m.block.Data(), r.block.Data(), r.block.Size()));
    }
}

TEST(TiffRead, RefusalsNameTheFileAndGiveNoBlock)
{
    TempDir dir;
    const std::string path = dir.Path("f.tif");
    // Floating-point samples: neither decoded here nor by libtiff's RGBA reader.
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 32);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    float row[4] = {0, 0.5f, 1, 0.25f};
    TIFFWriteScanline(tif, row, 0, 0);
    TIFFWriteScanline(tif, row, 1, 0);
    TIFFClose(tif);
    const Bytes notTiff = {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F};
    WriteFileBytes(dir.Path("n.tif"), notTiff);
    const std::string prefix = std::string(msg::kTiffReadFailed);
    for (const std::string& file : {path, dir.Path("n.tif"), dir.Path("missing.tif")}) {
        SCOPED_TRACE(file);
        ReadResult r = ReadTiff(file);
        EXPECT_EQ(r.ok, 0);
        EXPECT_FALSE(r.block);
        ASSERT_EQ(r.messages.size(), 1u);
        const std::string& text = r.messages[0];
        if (file == dir.Path("missing.tif")) {
            EXPECT_EQ(text, "can't open " + file + "\n");
        } else {
            // with the library's reason after the name
            EXPECT_EQ(text.rfind(prefix + file + ": ", 0), 0u) << text;
            EXPECT_GT(text.size(), prefix.size() + file.size() + 2);
        }
    }
}

namespace {

// A little-endian TIFF of one directory, no pixel data: a header that
// claims whatever it is told.
Bytes BareTiff(std::uint32_t width, std::uint32_t height, std::uint32_t tile)
{
    std::vector<std::pair<std::uint16_t, std::uint32_t>> tags = {
        {256, width}, {257, height}, {258, 8}, {259, 1}, {262, 1}, {277, 1}};
    if (tile)
        tags.insert(tags.end(), {{322, tile}, {323, tile}, {324, 8}, {325, 1}});
    else
        tags.insert(tags.end(), {{273, 8}, {278, height}, {279, 1}});
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> 8 * i));
    };
    put(static_cast<std::uint32_t>(tags.size()), 2);
    for (auto [tag, value] : tags) {
        put(tag, 2);
        put(4, 2); // LONG
        put(1, 4);
        put(value, 4);
    }
    put(0, 4);
    return b;
}

} // namespace

TEST(TiffRead, HugeClaimsAreRefusedBeforeAnythingIsAllocated)
{
    struct Case {
        std::uint32_t width, height, tile;
        bool tooLarge; // the picture itself, or only its tiles
    } cases[] = {{100000, 100000, 0, true},
                 {0xFFFFFFFF, 1, 0, true},
                 {1u << 20 | 1, 1, 0, true},
                 {16, 16, 1u << 30, false},
                 {16, 16, 65536, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " tile " << c.tile);
        const Bytes bytes = BareTiff(c.width, c.height, c.tile);
        ReadResult r = ReadTiff("bomb.tif", &bytes);
        EXPECT_EQ(r.ok, 0);
        EXPECT_FALSE(r.block);
        ASSERT_EQ(r.messages.size(), 1u);
        if (c.tooLarge)
            EXPECT_EQ(r.messages[0], "bomb.tif" + std::string(msg::kPictureTooLarge));
        else
            EXPECT_EQ(r.messages[0].rfind(std::string(msg::kTiffReadFailed) + "bomb.tif: ", 0), 0u) << r.messages[0];
    }
}

TEST(TiffRead, CutAndMutatedFilesGiveAPictureOrARefusal)
{
    TempDir dir;
    std::uint32_t seed = 12345;
    for (int k : {3, 15, 19, 22, 25}) {
        const Layout& l = kLayouts[k];
        SCOPED_TRACE(l.name);
        MakeTiff(dir.Path("m.tif"), l);
        const Bytes original = ReadFileBytes(dir.Path("m.tif"));
        for (int round = 0; round < 300; ++round) {
            Bytes bytes = original;
            seed = seed * 1103515245 + 12345;
            if (round < 60) {
                bytes.resize(original.size() * round / 60);
            } else {
                for (int flips = 1 + round % 4; flips > 0; --flips) {
                    seed = seed * 1103515245 + 12345;
                    bytes[(seed >> 8) % bytes.size()] ^= static_cast<std::uint8_t>(1 + (seed >> 24) % 255);
                }
            }
            ReadResult r = ReadTiff("m.tif", &bytes);
            if (r.ok) {
                ASSERT_TRUE(r.block);
                ASSERT_GT(r.width, 0);
                ASSERT_EQ(r.block.Size(), TrueColorBlockSize(r.width, r.height));
            } else {
                ASSERT_FALSE(r.block);
                ASSERT_EQ(r.messages.size(), 1u);
            }
        }
    }
}

namespace {

struct WriteCase {
    const char* name;
    int bits;
    std::function<Rgb(int)> palette; // 1 and 8 bits
    std::int32_t pelsPerMeter;
    std::uint16_t compression, photometric;
};

Rgb Shade(int i) { return Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)}; }

} // namespace

TEST(TiffWrite, RoundTripsKeepEveryPixelAndTheResolution)
{
    TempDir dir;
    const WriteCase cases[] = {
        {"two colour, black first", 1, [](int i) { return Shade(i ? 255 : 0); }, 11811, kG4, kWhite},
        {"two colour, white first", 1, [](int i) { return Shade(i ? 0 : 255); }, 0, kG4, kWhite},
        {"grey", 8, Shade, 3937, kZip, kBlack},
        {"palette", 8, [](int i) { return Rgb{std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)}; }, 0,
         kZip, kPalette},
        {"true colour", 24, nullptr, 2835, kZip, kRgb},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = 301, height = 47;
        CMemBlock dib = PlainBlock(width, height, c.bits, c.palette);
        ASSERT_TRUE(dib);
        const int colors = c.bits <= 8 ? 1 << c.bits : 0;
        WriteLE32(dib.Data() + dib::kXPelsPerMeter, static_cast<std::uint32_t>(c.pelsPerMeter));
        WriteLE32(dib.Data() + dib::kYPelsPerMeter, static_cast<std::uint32_t>(c.pelsPerMeter));
        const std::size_t stride = static_cast<std::size_t>(RowBytes(std::int64_t{c.bits} * width));
        std::uint8_t* rows = dib.Data() + kInfoHeaderSize + 4 * colors;
        for (std::size_t i = 0; i < stride * height; ++i)
            rows[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
        // What each stored pixel shows, 0xRRGGBB, through the table.
        auto shown = [&](int x, int top) {
            const std::uint8_t* row = rows + stride * (height - 1 - top);
            if (c.bits == 24)
                return std::uint32_t{row[3 * x + 2]} << 16 | std::uint32_t{row[3 * x + 1]} << 8 | row[3 * x];
            const int index = c.bits == 8 ? row[x] : row[x / 8] >> (7 - x % 8) & 1;
            const Rgb e = c.palette(index);
            return std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
        };
        const std::string path = dir.Path("w.tif");
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        ASSERT_EQ(WriteTiffFile(path, dib), 1);
        EXPECT_TRUE(prompt.messages.empty());
        ReadResult r = ReadTiff(path);
        ASSERT_EQ(r.ok, 1);
        EXPECT_EQ(ReadLE32s(r.block.Data() + dib::kXPelsPerMeter), c.pelsPerMeter);
        int wrong = 0;
        for (int top = 0; top < height; ++top)
            for (int x = 0; x < width; ++x)
                if (BlockPixel(r.block, x, top) != shown(x, top) && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << top;
        // The file's own kind, asked of libtiff; a black two-colour pixel is a set bit.
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(tif, nullptr);
        std::uint16_t compression = 0, photometric = 0, predictor = 0;
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
        EXPECT_EQ(compression, c.compression);
        EXPECT_EQ(photometric, c.photometric);
        if (c.bits == 1) {
            std::vector<std::uint8_t> line(static_cast<std::size_t>(TIFFScanlineSize(tif)));
            for (std::uint32_t top = 0; top <= 5; ++top) // Group 4 rows are read in order
                ASSERT_EQ(TIFFReadScanline(tif, line.data(), top, 0), 1);
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(line[x / 8] >> (7 - x % 8) & 1, shown(x, 5) == 0 ? 1 : 0) << x;
        } else {
            EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor));
        }
        TIFFClose(tif);
    }
}

TEST(TiffWrite, RefusalsLeaveTheTargetAsItWas)
{
    TempDir dir;
    const std::string path = dir.Path("keep.tif");
    const Bytes before = {1, 2, 3};
    WriteFileBytes(path, before);
    struct Case {
        int bits;
        std::string message;
    } cases[] = {{4, path + std::string(msg::kTiffNotWritableDepth)},
                 {32, path + std::string(msg::kTiffNotWritableDepth)}};
    for (const Case& c : cases) {
        CMemBlock dib = PlainBlock(8, 8, c.bits, Shade);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(WriteTiffFile(path, dib), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ReadFileBytes(path), before);
    }
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    EXPECT_EQ(WriteTiffFile(dir.Path("no/such/folder.tif"), PlainBlock(8, 8, 24)), 0);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"can't open " + dir.Path("no/such/folder.tif") + "\n"});
}
