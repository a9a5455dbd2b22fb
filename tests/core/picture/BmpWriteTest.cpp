// Writing BMP files: every kind of picture the program makes survives a
// round trip, the file header is laid out right, and a save that fails
// leaves the file that was there as it was. Also the row writers of every
// format: rows in any bands give the bytes of the whole-picture save.
#include "picture/BmpFile.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "picture/PictureFile.h"
#include "picture/RowWriter.h"
#include "support/RecordingPrompt.h"
#include "support/Files.h"
#include "support/FirstDifference.h"
#include "support/PictureBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumacut;
using namespace lumacut::test;

namespace {

enum class Kind { TwoColor, Sixteen, Grey, TrueColor };

// A picture of one of the kinds the program writes, filled through its own
// pixel writers with a pattern that touches every bit of every row.
CPicture PictureOf(Kind kind, int width, int height)
{
    auto v = [](int x, int y) { return static_cast<std::uint32_t>(x * 5 + y * 11 + 1); };
    switch (kind) {
    case Kind::TwoColor:
        return MakePicture(Output::TwoColor, width, height, [](int x, int y) { return (x + y) % 3 == 0; });
    case Kind::Sixteen:
        return MakePaletted(
            width, height, 4,
            [](int i) {
                return Rgb{static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 9),
                           static_cast<std::uint8_t>(i * 5 + 3)};
            },
            [&](int x, int y) { return static_cast<int>(v(x, y) & 15); });
    case Kind::Grey:
        return MakePicture(Output::Grey, width, height, [&](int x, int y) { return v(x, y) & 255; });
    case Kind::TrueColor:
        break;
    }
    return MakePicture(Output::TrueColor, width, height, [&](int x, int y) {
        const std::uint32_t n = v(x, y);
        return (n & 0xFF) << 16 | (n * 3 & 0xFF) << 8 | ((255 - n) & 0xFF);
    });
}

// 0xRRGGBB at column x of image row `top`, through the picture's own reader.
std::uint32_t ColorOf(CPicture& pic, int x, int top)
{
    const Rgb c = PixelAt(pic, x, pic.Height() - 1 - top);
    return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue;
}

// A picture whose file must be preserved: written once, kept for comparing.
Bytes WriteGoodFile(const std::string& path)
{
    CPicture pic = PictureOf(Kind::TrueColor, 5, 4);
    EXPECT_EQ(WriteBmpFile(path, pic.Block(), 0), 1);
    return ReadFileBytes(path);
}

} // namespace

TEST(BmpWrite, EveryKindRoundTripsAtWidthsOneToNine)
{
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    const std::pair<Kind, const char*> kinds[] = {
        {Kind::TwoColor, "two colour"}, {Kind::Sixteen, "16 colours"}, {Kind::Grey, "grey"}, {Kind::TrueColor, "true colour"}};
    for (auto [kind, name] : kinds)
        for (int width = 1; width <= 9; ++width)
            for (int height : {1, 2, 5}) {
                SCOPED_TRACE(testing::Message() << name << " " << width << " x " << height);
                CPicture pic = PictureOf(kind, width, height);
                const std::string path = dir.Path("round.bmp");
                ASSERT_EQ(WriteBmpFile(path, pic.Block(), 4 * pic.Colors()), 1);
                const Bytes file = ReadFileBytes(path);
                const std::size_t dibBytes = static_cast<std::size_t>(DibSize(width, height, pic.BitCount(), pic.Colors()));
                EXPECT_EQ(file.size(), 14 + dibBytes);
                EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), pic.Block().Data())) << "the block as held";

                CMemBlock block;
                int w = 0, h = 0;
                ASSERT_EQ(ReadBmpFile(path, block, w, h), 1);
                EXPECT_EQ(w, width);
                EXPECT_EQ(h, height);
                EXPECT_EQ(FirstDifference(block, width, height, [&](int x, int top) { return ColorOf(pic, x, top); }), "");
            }
    EXPECT_TRUE(prompt.Texts().empty());
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"round.bmp"}) << "no temporary file left";
}

TEST(BmpWrite, FileHeader)
{
    struct Case {
        const char* name;
        Kind kind;
        int width, height;
        std::uint32_t size, offBits;
    };
    const Case cases[] = {
        {"two colours 10 x 3", Kind::TwoColor, 10, 3, 74, 62},
        {"grey 3 x 2", Kind::Grey, 3, 2, 14 + 40 + 1024 + 8, 1078},
        {"16 colours 5 x 1", Kind::Sixteen, 5, 1, 14 + 40 + 64 + 4, 118},
        {"true colour 4 x 2", Kind::TrueColor, 4, 2, 14 + 40 + 24, 54},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPicture pic = PictureOf(c.kind, c.width, c.height);
        CMemBlock block = pic.TakeBlock();
        WriteLE32(block.Data() + dib::kSizeImage, 0); // recomputed on writing
        ASSERT_EQ(WriteBmpFile(dir.Path("h.bmp"), block, 4 * pic.Colors()), 1);
        Bytes file = ReadFileBytes(dir.Path("h.bmp"));
        ASSERT_EQ(file.size(), c.size);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(ReadLE32(file.data() + 2), c.size);
        EXPECT_EQ(ReadLE32(file.data() + 6), 0u);
        EXPECT_EQ(ReadLE32(file.data() + 10), c.offBits);
        EXPECT_EQ(ReadLE32(file.data() + 14 + dib::kSizeImage), c.size - c.offBits);
    }
}

TEST(BmpWrite, BlocksThatCannotBeWrittenAreRefusedWithoutTouchingTheFile)
{
    TempDir dir;
    const std::string path = dir.Path("keep.bmp");
    struct Case {
        const char* name;
        std::function<CMemBlock()> block;
        int tableBytes;
        std::string message;
    };
    const Case cases[] = {
        {"no block", [] { return CMemBlock(); }, 0, path + " no bitmap connected to it."},
        {"a core header", [] {
             CMemBlock b = CMemBlock::Allocate(12 + 12);
             WriteLE32(b.Data(), 12);
             return b;
         }, 0, path + " cannot be written: the picture has no 40-byte header."},
        {"a block shorter than a header", [] { return CMemBlock::Allocate(20); }, 0,
         path + " cannot be written: the picture has no 40-byte header."},
        {"rows missing from the block", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 12);
             WriteInfoHeader(b.Data(), 4, 2, 24);
             return b;
         }, 0, path + " failed to process."},
        {"a table larger than the block", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 4);
             WriteInfoHeader(b.Data(), 1, 1, 24);
             return b;
         }, 1024, path + " failed to process."},
        {"a negative height", [] {
             CMemBlock b = CMemBlock::Allocate(40 + 64);
             WriteInfoHeader(b.Data(), 4, -2, 24);
             return b;
         }, 0, path + " failed to process."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes before = WriteGoodFile(path);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        CMemBlock block = c.block();
        EXPECT_EQ(WriteBmpFile(path, block, c.tableBytes), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"keep.bmp"});
    }
    // Nothing is created where there was nothing.
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    CMemBlock core = CMemBlock::Allocate(24);
    WriteLE32(core.Data(), 12);
    EXPECT_EQ(WriteBmpFile(dir.Path("new.bmp"), core, 0), 0);
    EXPECT_FALSE(FileExists(dir.Path("new.bmp")));
}

TEST(BmpWrite, AFailedSaveLeavesTheExistingFileByteForByte)
{
    TempDir dir;
    const std::string good = dir.Path("good.bmp");
    const Bytes goodBytes = WriteGoodFile(good);
    ::mkdir(dir.Path("folder.bmp").c_str(), 0700);

    // A read-only folder is in ReadOnlyFolderTest.cpp (it cannot fail for root).
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"the target is a folder", dir.Path("folder.bmp")},
        {"the target's folder is a file", good + "/inside.bmp"},
        {"the target's folder does not exist", dir.Path("nowhere/x.bmp")},
    };
    CPicture pic = PictureOf(Kind::Grey, 7, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(WriteBmpFile(c.path, pic.Block(), 1024), 0);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{c.path + " failed to open 1a File error 0"});
    }
    EXPECT_EQ(ReadFileBytes(good), goodBytes);
    std::vector<std::string> names = ListFolder(dir.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder.bmp", "good.bmp"})) << "no temporary file left";
    EXPECT_TRUE(ListFolder(dir.Path("folder.bmp")).empty());
}

TEST(BmpWrite, ASaveReplacesTheOldFileAndKeepsItsPermissions)
{
    TempDir dir;
    const std::string path = dir.Path("p.bmp");
    WriteGoodFile(path);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat fresh {};
    ASSERT_EQ(::stat(path.c_str(), &fresh), 0);
    EXPECT_EQ(fresh.st_mode & 0777, 0666u & ~mask) << "a new file gets the usual permissions";
    ::chmod(path.c_str(), 0640);
    CPicture pic = PictureOf(Kind::TwoColor, 10, 3);
    ASSERT_EQ(WriteBmpFile(path, pic.Block(), 8), 1);
    EXPECT_EQ(ReadFileBytes(path).size(), 74u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"p.bmp"});
}

TEST(BmpWrite, SavingThroughASymbolicLinkRenewsThePictureItPointsTo)
{
    TempDir dir;
    ::mkdir(dir.Path("real").c_str(), 0700);
    const std::string real = dir.Path("real/p.bmp");
    WriteGoodFile(real);
    ASSERT_EQ(::symlink(real.c_str(), dir.Path("link.bmp").c_str()), 0);
    CPicture pic = PictureOf(Kind::TwoColor, 10, 3);
    ASSERT_EQ(WriteBmpFile(dir.Path("link.bmp"), pic.Block(), 8), 1);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.Path("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileBytes(real).size(), 74u);
    EXPECT_EQ(ListFolder(dir.Path("real")), std::vector<std::string>{"p.bmp"});
}

namespace {

// Band heights covering `height` rows: one at a time, uneven random bands,
// or all at once.
std::vector<int> Bands(int height, int split, std::mt19937& random)
{
    std::vector<int> bands;
    for (int left = height; left > 0;) {
        int band = split == 0 ? 1 : split == 2 ? left : 1 + static_cast<int>(random() % 17);
        band = std::min(band, left);
        bands.push_back(band);
        left -= band;
    }
    return bands;
}

// The picture's rows through a row writer in `bands`, from the picture's
// own bottom-up rows or from a top-down copy of them (a positive step).
bool WriteInBands(const std::string& path, int type, const CPicture& pic, const std::vector<int>& bands,
                  bool topDown)
{
    const std::size_t stride = static_cast<std::size_t>(pic.Stride());
    std::vector<std::uint8_t> copy;
    if (topDown)
        for (int y = pic.Height() - 1; y >= 0; --y)
            copy.insert(copy.end(), pic.Row(y), pic.Row(y) + stride);
    auto writer = OpenRowWriter(path, type, pic.Block().Data(), kInfoHeaderSize + 4 * std::size_t(pic.Colors()), 75);
    if (!writer)
        return false;
    int first = 0;
    for (int band : bands) {
        const bool written = topDown
            ? writer->WriteRows(copy.data() + first * stride, static_cast<std::ptrdiff_t>(stride), band)
            : writer->WriteRows(pic.Row(pic.Height() - 1 - first), -static_cast<std::ptrdiff_t>(stride), band);
        if (!written)
            return false;
        first += band;
    }
    return writer->Finish();
}

} // namespace

TEST(RowWriter, AnyBandsGiveTheBytesOfTheWholePictureSave)
{
    TempDir dir;
    RecordingPrompt prompt;
    ScopedPrompt scope(prompt);
    std::mt19937 random(7);
    const int types[] = {kFileTypeBmp, kFileTypeJpeg, kFileTypePng, kFileTypeTiff};
    const Kind kinds[] = {Kind::TwoColor, Kind::Sixteen, Kind::Grey, Kind::TrueColor};
    // The wide one has several TIFF strips.
    const std::pair<int, int> sizes[] = {{1, 5}, {7, 13}, {33, 40}, {2001, 150}};
    for (int type : types)
        for (Kind kind : kinds) {
            if (kind == Kind::Sixteen && (type == kFileTypePng || type == kFileTypeTiff))
                continue; // refused as a whole too
            for (auto [width, height] : sizes) {
                SCOPED_TRACE(testing::Message() << EndingOf(type) << " kind " << int(kind) << " " << width << " x "
                                                << height);
                const CPicture pic = PictureOf(kind, width, height);
                // New files each time: a replaced file waits for the disk.
                const std::string whole = dir.Path(std::string("whole") + EndingOf(type));
                ::unlink(whole.c_str());
                ASSERT_EQ(WritePictureFile(whole, type, pic, 75), 1);
                const Bytes expected = ReadFileBytes(whole);
                if (type == kFileTypeJpeg && pic.BitCount() != 24) {
                    // Each row turned into true colour as the picture's own reader sees it.
                    CMemBlock trueColor = AllocTrueColorDib(width, height);
                    ASSERT_TRUE(ConvertToTrueColor(pic, trueColor));
                    WriteResolution(trueColor.Data(), pic.GetResolution());
                    ::unlink(whole.c_str());
                    ASSERT_EQ(WriteJpegFile(whole, trueColor, 75), 1);
                    EXPECT_EQ(ReadFileBytes(whole), expected);
                }
                for (int split = 0; split < 3; ++split)
                    for (bool topDown : {false, true}) {
                        SCOPED_TRACE(testing::Message() << "split " << split << (topDown ? " top-down" : ""));
                        const std::string path = dir.Path(std::string("rows") + EndingOf(type));
                        ::unlink(path.c_str());
                        ASSERT_TRUE(WriteInBands(path, type, pic, Bands(height, split, random), topDown));
                        EXPECT_EQ(ReadFileBytes(path), expected);
                    }
            }
        }
    EXPECT_TRUE(prompt.Texts().empty());
}

TEST(RowWriter, AWrongRowCountFailsAndLeavesTheFileAsItWas)
{
    TempDir dir;
    const CPicture pic = PictureOf(Kind::Grey, 7, 13);
    const std::size_t stride = static_cast<std::size_t>(pic.Stride());
    const std::uint8_t* top = pic.Row(pic.Height() - 1);
    for (int type : {kFileTypeBmp, kFileTypeJpeg, kFileTypePng, kFileTypeTiff}) {
        const std::string path = dir.Path(std::string("keep") + EndingOf(type));
        const Bytes before = WriteGoodFile(path);
        struct Case {
            const char* name;
            std::vector<int> bands;
            bool finish;
        };
        const Case cases[] = {
            {"a row short", {5, 7}, true},
            {"a row more", {13, 1}, true},
            {"too many at once", {14}, true},
            {"no rows", {}, true},
            {"given up before the end", {4}, false},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << EndingOf(type) << " " << c.name);
            RecordingPrompt prompt;
            ScopedPrompt scope(prompt);
            {
                auto writer = OpenRowWriter(path, type, pic.Block().Data(), kInfoHeaderSize + 1024, 90);
                ASSERT_TRUE(writer);
                int first = 0;
                for (int band : c.bands) {
                    const bool fits = first + band <= pic.Height();
                    EXPECT_EQ(writer->WriteRows(top - first * static_cast<std::ptrdiff_t>(stride),
                                                -static_cast<std::ptrdiff_t>(stride), band),
                              fits);
                    first += band;
                }
                if (c.finish) {
                    EXPECT_FALSE(writer->Finish());
                }
            }
            EXPECT_EQ(prompt.Texts(), c.finish ? std::vector<std::string>{path + " failed to process."}
                                               : std::vector<std::string>{});
            EXPECT_EQ(ReadFileBytes(path), before);
        }
        ::unlink(path.c_str());
    }
    EXPECT_TRUE(ListFolder(dir.Path()).empty()) << "no temporary file left";
}
