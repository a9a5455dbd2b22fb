// The JPEG adapter: decoding against the library's reference picture, the
// colour models it refuses, damaged and oversized files, the block layout,
// round trips, and a writer that fails without ending the process or
// damaging the file it was to replace.
#include "platform/Messages.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "support/RecordingPrompt.h"
#include "support/BlockPixels.h"
#include "support/Files.h"
#include "support/PictureBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace lumacut;
using namespace lumacut::test;

namespace {

struct ReadResult {
    int ok = 0;
    CMemBlock block;
    int width = -1, height = -1;
    std::vector<std::string> messages;
};

ReadResult ReadJpeg(const std::string& path)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    ReadResult r;
    r.ok = ReadJpegFile(path, r.block, r.width, r.height);
    r.messages = prompt.Texts();
    return r;
}

// A binary PPM (P6, maxval 255) as 0xRRGGBB values, top row first.
struct Ppm {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};
Ppm LoadPpm(const std::string& path)
{
    Bytes bytes = ReadFileBytes(path);
    std::string head(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 64));
    std::istringstream in(head);
    std::string magic;
    int maxval = 0;
    Ppm ppm;
    in >> magic >> ppm.width >> ppm.height >> maxval;
    const std::size_t start = static_cast<std::size_t>(in.tellg()) + 1;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxval, 255);
    EXPECT_EQ(bytes.size(), start + 3u * ppm.width * ppm.height);
    for (std::size_t i = start; i + 2 < bytes.size(); i += 3)
        ppm.pixels.push_back(std::uint32_t{bytes[i]} << 16 | std::uint32_t{bytes[i + 1]} << 8 | bytes[i + 2]);
    return ppm;
}

struct Difference {
    int max = 0;
    double mean = 0;
};
Difference Compare(const CMemBlock& block, int width, int height, const std::function<std::uint32_t(int, int)>& want)
{
    Difference d;
    std::int64_t sum = 0;
    for (int top = 0; top < height; ++top)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t a = BlockPixel(block, x, top), b = want(x, top);
            for (int shift : {0, 8, 16}) {
                const int diff = std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255));
                d.max = std::max(d.max, diff);
                sum += diff;
            }
        }
    d.mean = static_cast<double>(sum) / (3.0 * width * height);
    return d;
}

// A smooth true-colour picture: JPEG's favourite kind, so a round trip at
// quality 100 must stay close.
CPicture Gradient(int width, int height)
{
    return MakePicture(Output::TrueColor, width, height, [](int x, int y) {
        return static_cast<std::uint32_t>((40 + 3 * x) & 0xFF) << 16 | static_cast<std::uint32_t>((200 - 3 * y) & 0xFF) << 8 |
               static_cast<std::uint32_t>((128 + x - y) & 0xFF);
    });
}

} // namespace

// ---- decoding -----------------------------------------------------------------------

TEST(JpegRead, TheLibrarysTestPictureMatchesItsReferencePixels)
{
    const Ppm ppm = LoadPpm(DataPath("jpeg/testorig.ppm"));
    ASSERT_EQ(ppm.width, 227);
    struct Case {
        const char* file;
        int maxDiff;
    };
    // The baseline file is the one the reference was decoded from; the
    // others hold the same picture coded differently.
    const Case cases[] = {{"testorig.jpg", 3}, {"testimgint.jpg", 255}, {"testimgari.jpg", 255}, {"testimgp.jpg", 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ReadResult r = ReadJpeg(DataPath(std::string("jpeg/") + c.file));
        ASSERT_EQ(r.ok, 1) << (r.messages.empty() ? "" : r.messages[0]);
        EXPECT_TRUE(r.messages.empty());
        ASSERT_EQ(r.width, ppm.width);
        ASSERT_EQ(r.height, ppm.height);
        EXPECT_EQ(r.block.Size(), TrueColorBlockSize(r.width, r.height));
        EXPECT_EQ(ReadLE32(r.block.Data() + dib::kSizeImage), r.block.Size() - 40);
        Difference d = Compare(r.block, r.width, r.height,
                               [&](int x, int top) { return ppm.pixels[static_cast<std::size_t>(top) * ppm.width + x]; });
        EXPECT_LE(d.max, c.maxDiff);
        EXPECT_LE(d.mean, 0.5);
    }
}

TEST(JpegRead, GreyAndFourComponentFilesGiveTheTwoMessagesAndNoBlock)
{
    for (const char* file : {"testimggray.jpg", "testorig_cmyk.jpg", "testorig_ycck.jpg"}) {
        SCOPED_TRACE(file);
        ReadResult r = ReadJpeg(DataPath(std::string("jpeg/") + file));
        EXPECT_EQ(r.ok, 0);
        EXPECT_FALSE(r.block);
        EXPECT_EQ(r.width, 0);
        EXPECT_EQ(r.messages, (std::vector<std::string>{"MakeBitmapColors0: Components need to be 3", "No mem allocated"}));
    }
}

TEST(JpegRead, DamagedAndUnsupportedFiles)
{
    enum Expect { DecodesWithAWarning, LibraryRefuses, TooLarge };
    struct Case {
        const char* file;
        Expect expect;
    };
    const Case cases[] = {
        {"testorig12.jpg", LibraryRefuses},     {"trunc_header.jpg", LibraryRefuses},
        {"soi_only.jpg", LibraryRefuses},       {"bad_sof_zero_width.jpg", LibraryRefuses},
        {"bad_huffman_table.jpg", LibraryRefuses}, {"huge_dims_65500.jpg", TooLarge},
        {"trunc_half.jpg", DecodesWithAWarning},   {"trunc_prog_half.jpg", DecodesWithAWarning},
        {"trunc_no_eoi.jpg", DecodesWithAWarning}, {"corrupt_scan.jpg", DecodesWithAWarning},
        {"testorig.ppm", LibraryRefuses},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = DataPath(std::string("jpeg/") + c.file);
        ReadResult r = ReadJpeg(path);
        switch (c.expect) {
        case DecodesWithAWarning: {
            EXPECT_EQ(r.ok, 1);
            EXPECT_EQ(r.width, 227);
            EXPECT_EQ(r.height, 149);
            // The library's first warning, once, between the program's words.
            const std::string start = "JPEG file damaged: " + path + ": ";
            const std::string end = ". The picture opens, but part of it may be missing or wrong.";
            ASSERT_EQ(r.messages.size(), 1u);
            EXPECT_EQ(r.messages[0].rfind(start, 0), 0u) << r.messages[0];
            EXPECT_GT(r.messages[0].size(), start.size() + end.size()) << "the library's text";
            EXPECT_EQ(r.messages[0].substr(r.messages[0].size() - std::min(end.size(), r.messages[0].size())), end);
            break;
        }
        case LibraryRefuses:
            EXPECT_EQ(r.ok, 0);
            EXPECT_FALSE(r.block);
            ASSERT_EQ(r.messages.size(), 1u);
            EXPECT_EQ(r.messages[0].rfind("JPEG read failed: " + path + ": ", 0), 0u) << r.messages[0];
            EXPECT_GT(r.messages[0].size(), ("JPEG read failed: " + path + ": ").size()) << "the library's text";
            break;
        case TooLarge:
            EXPECT_EQ(r.ok, 0);
            EXPECT_FALSE(r.block);
            EXPECT_EQ(r.messages, std::vector<std::string>{path + std::string(msg::kPictureTooLarge)});
            break;
        }
    }
}

TEST(JpegRead, AMissingFile)
{
    ReadResult r = ReadJpeg("/nonexistent/x.jpg");
    EXPECT_EQ(r.ok, 0);
    EXPECT_FALSE(r.block);
    EXPECT_EQ(r.messages, std::vector<std::string>{"can't open /nonexistent/x.jpg\n"});
}

TEST(JpegRead, TheFirstScanlineIsTheLastStoredRow)
{
    // 3 x 2: a white top row over a black bottom row (no colour, so chroma
    // subsampling cannot blend the rows).
    CMemBlock source = AllocTrueColorDib(3, 2);
    std::uint8_t* top = source.Data() + 40 + 12;
    std::fill(top, top + 9, 255);
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    ASSERT_EQ(WriteJpegFile(dir.Path("rows.jpg"), source, 100), 1);
    ReadResult r = ReadJpeg(dir.Path("rows.jpg"));
    ASSERT_EQ(r.ok, 1);
    EXPECT_EQ(r.block.Size(), 40u + 2 * 12);
    for (int x = 0; x < 3; ++x) {
        EXPECT_GE(BlockPixel(r.block, x, 0) & 0xFF, 240u) << "top row white";
        EXPECT_LE(BlockPixel(r.block, x, 1) & 0xFF, 15u) << "bottom row black";
    }
}

// ---- the small helpers ------------------------------------------------------------------

TEST(JpegHelpers, SwapRedBlue)
{
    std::uint8_t row[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    SwapRedBlue(row, 0);
    EXPECT_EQ(row[0], 1);
    SwapRedBlue(row, 2);
    const std::uint8_t want[] = {3, 2, 1, 6, 5, 4, 7, 8, 9};
    EXPECT_TRUE(std::equal(row, row + 9, want));
}

TEST(JpegHelpers, MakeBitmapColors0)
{
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock block;
    ASSERT_TRUE(MakeBitmapColors0(block, 3, 5, 2));
    EXPECT_EQ(block.Size(), 40u + 2 * 16) << "width 5: 15 bytes padded to 16";
    EXPECT_EQ(ReadLE32(block.Data()), 40u);
    EXPECT_EQ(ReadLE16(block.Data() + dib::kBitCount), 24);
    EXPECT_EQ(ReadLE32(block.Data() + dib::kSizeImage), 32u);

    const std::uint8_t* kept = block.Data();
    ASSERT_TRUE(MakeBitmapColors0(block, 3, 2, 2));
    EXPECT_EQ(block.Data(), kept) << "a large enough block is reused";
    ASSERT_TRUE(MakeBitmapColors0(block, 3, 50, 50));
    EXPECT_GE(block.Size(), 40u + 50 * 152);

    EXPECT_FALSE(MakeBitmapColors0(block, 1, 5, 2));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"MakeBitmapColors0: Components need to be 3"});
}

// ---- writing ------------------------------------------------------------------------------

TEST(JpegWrite, QualityHundredRoundTripStaysCloseAndLeavesTheBlockAlone)
{
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    for (auto [width, height] : {std::pair{64, 48}, std::pair{5, 3}, std::pair{1, 1}, std::pair{17, 9}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        CPicture pic = Gradient(width, height);
        const Bytes before(pic.Block().Data(), pic.Block().Data() + pic.Block().Size());
        ASSERT_EQ(WriteJpegFile(dir.Path("q.jpg"), pic.Block(), 100), 1);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), pic.Block().Data()));
        ReadResult r = ReadJpeg(dir.Path("q.jpg"));
        ASSERT_EQ(r.ok, 1);
        ASSERT_EQ(r.width, width);
        ASSERT_EQ(r.height, height);
        Difference d = Compare(r.block, width, height, [&](int x, int top) { return BlockPixel(pic.Block(), x, top); });
        EXPECT_LE(d.max, 6);
        EXPECT_LE(d.mean, 1.5);
    }
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"q.jpg"});
}

// The resolution goes out as JFIF dots per inch and comes back in pixels
// per metre; dots per centimetre and a bare aspect ratio are read too.
TEST(JpegWrite, TheResolutionTravelsThroughTheJfifDensity)
{
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    const std::string path = dir.Path("r.jpg");
    for (Resolution r : {Resolution{}, Resolution{11811, 11811}, Resolution{3780, 7559}}) {
        CPicture pic = Gradient(8, 8);
        pic.SetResolution(r);
        ASSERT_EQ(WriteJpegFile(path, pic.Block(), 90), 1);
        EXPECT_EQ(ReadResolution(ReadJpeg(path).block.Data()), r) << r.x << " x " << r.y;
    }
    // Units at byte 13 of the file, then the two densities, big-endian.
    Bytes bytes = ReadFileBytes(path);
    ASSERT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 10), "JFIF");
    for (auto [unit, expected] : {std::pair{2, Resolution{11800, 11800}}, std::pair{0, Resolution{}}}) {
        bytes[13] = std::uint8_t(unit);
        bytes[14] = 0, bytes[15] = 118, bytes[16] = 0, bytes[17] = 118;
        WriteFileBytes(path, bytes);
        EXPECT_EQ(ReadResolution(ReadJpeg(path).block.Data()), expected) << "unit " << unit;
    }
}

TEST(JpegWrite, TwoColourAndGreyPicturesComeOutGrey)
{
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    for (bool grey : {false, true}) {
        SCOPED_TRACE(grey ? "grey" : "two colour");
        CPicture pic = MakePicture(grey ? Output::Grey : Output::TwoColor, 24, 16, [&](int x, int) {
            return grey ? static_cast<std::uint32_t>(x * 10) : x >= 12;
        });
        CMemBlock trueColor = AllocTrueColorDib(24, 16);
        ASSERT_TRUE(ConvertToTrueColor(pic, trueColor));
        ASSERT_EQ(WriteJpegFile(dir.Path("g.jpg"), trueColor, 100), 1);
        ReadResult r = ReadJpeg(dir.Path("g.jpg"));
        ASSERT_EQ(r.ok, 1);
        for (int top = 0; top < 16; ++top)
            for (int x = 0; x < 24; ++x) {
                const std::uint32_t p = BlockPixel(r.block, x, top);
                const int red = p >> 16, green = (p >> 8) & 255, blue = p & 255;
                ASSERT_LE(std::abs(red - green), 2) << x << ", " << top;
                ASSERT_LE(std::abs(blue - green), 2) << x << ", " << top;
            }
    }
}

TEST(JpegWrite, BlocksItCannotWriteAreRefused)
{
    TempDir dir;
    const std::string path = dir.Path("x.jpg");
    struct Case {
        const char* name;
        std::function<CMemBlock()> block;
        std::string message;
    };
    const Case cases[] = {
        {"no block", [] { return CMemBlock(); }, path + " no bitmap connected to it."},
        {"a core header", [] {
             CMemBlock b = CMemBlock::Allocate(64);
             WriteLE32(b.Data(), 12);
             return b;
         }, path + " cannot be written: the picture has no 40-byte header."},
        {"8 bits", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 1024 + 16);
             WriteInfoHeader(b.Data(), 4, 4, 8);
             return b;
         }, path + " cannot be written as JPEG: the picture is not 24 bits per pixel."},
        {"rows missing", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 12);
             WriteInfoHeader(b.Data(), 4, 4, 24);
             return b;
         }, path + " failed to process."},
        {"a negative height", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 48);
             WriteInfoHeader(b.Data(), 4, -4, 24);
             return b;
         }, path + " failed to process."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        CMemBlock block = c.block();
        EXPECT_EQ(WriteJpegFile(path, block, 90), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_FALSE(FileExists(path));
    }
}

TEST(JpegWrite, AFailedSaveLeavesTheExistingFileByteForByte)
{
    TempDir dir;
    const std::string good = dir.Path("good.jpg");
    CPicture pic = Gradient(8, 8);
    {
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        ASSERT_EQ(WriteJpegFile(good, pic.Block(), 75), 1);
    }
    const Bytes goodBytes = ReadFileBytes(good);
    ::mkdir(dir.Path("folder.jpg").c_str(), 0700);

    // Cannot be created at all: "can't open". (A read-only folder: ReadOnlyFolderTest.cpp.)
    for (const std::string& path : {dir.Path("folder.jpg"), good + "/inside.jpg", dir.Path("none/x.jpg")}) {
        SCOPED_TRACE(path);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(WriteJpegFile(path, pic.Block(), 90), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"can't open " + path + "\n"});
    }

    // The library gives up half-way (JPEG holds at most 65500 pixels a
    // side): its text is shown and the partial file is gone.
    CMemBlock wide = AllocTrueColorDib(65501, 1);
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    const Bytes wideBefore(wide.Data(), wide.Data() + 64);
    EXPECT_EQ(WriteJpegFile(good, wide, 90), 0);
    ASSERT_EQ(prompt.Texts().size(), 1u);
    EXPECT_EQ(prompt.Texts()[0], "JPEG write failed: " + good + ": Maximum supported image dimension is 65500 pixels");
    EXPECT_TRUE(std::equal(wideBefore.begin(), wideBefore.end(), wide.Data()));

    EXPECT_EQ(ReadFileBytes(good), goodBytes);
    std::vector<std::string> names = ListFolder(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder.jpg", "good.jpg"})) << "no temporary file left";
}
