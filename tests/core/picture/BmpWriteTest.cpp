// Writing BMP files: every kind of picture the program makes survives a
// round trip, the file header is laid out right, and a save that fails
// leaves the file that was there as it was.
#include "picture/BmpFile.h"
#include "picture/CPicture.h"
#include "picture/Dib.h"
#include "platform/RecordingPrompt.h"
#include "support/Files.h"
#include "support/FirstDifference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace lumacut;
using namespace lumacut::test;

namespace {

enum class Kind { TwoColor, Sixteen, Grey, TrueColor };

// A picture of one of the kinds the program writes, filled through its own
// pixel writers with a pattern that touches every bit of every row.
CPicture MakePicture(Kind kind, int width, int height)
{
    CPicture pic;
    pic.m_width = width;
    pic.m_height = height;
    switch (kind) {
    case Kind::TwoColor: SetUpTwoColor(pic); break;
    case Kind::Grey: SetUpGrey(pic); break;
    case Kind::TrueColor: SetUpTrueColor(pic); break;
    case Kind::Sixteen:
        pic.m_colors = 16;
        pic.m_bitCount = 4;
        pic.m_bytesPerPixel = 0;
        for (int i = 0; i < 16; ++i)
            pic.m_rgb[i] = PaletteEntry{static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(255 - i * 9),
                                        static_cast<std::uint8_t>(i * 5 + 3), 0};
        break;
    }
    EXPECT_TRUE(pic.MakeEmpty());
    EXPECT_TRUE(pic.Lock());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int v = x * 5 + y * 11 + 1;
            switch (kind) {
            case Kind::TwoColor: pic.SetBW(x, y, (x + y) % 3 == 0); break;
            case Kind::Sixteen: pic.SetNibble(x, y, v & 15); break;
            case Kind::Grey: pic.SetIndex(x, y, v & 255); break;
            case Kind::TrueColor:
                pic.SetRGB(x, y, static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v * 3),
                           static_cast<std::uint8_t>(255 - v));
                break;
            }
        }
    return pic;
}

std::uint32_t ColorOf(const CPicture& pic, int x, int top)
{
    std::uint8_t r = 1, g = 2, b = 3;
    pic.GetColor(x, pic.m_height - 1 - top, 0, 0, r, g, b);
    return std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b;
}

// A picture whose file must be preserved: written once, kept for comparing.
Bytes WriteGoodFile(const std::string& path)
{
    CPicture pic = MakePicture(Kind::TrueColor, 5, 4);
    EXPECT_EQ(WriteBmpFile(path, pic.m_hDib, 0), 1);
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
                CPicture pic = MakePicture(kind, width, height);
                const std::string path = dir.Path("round.bmp");
                ASSERT_EQ(WriteBmpFile(path, pic.m_hDib, 4 * pic.m_colors), 1);
                const Bytes file = ReadFileBytes(path);
                const std::size_t dibBytes = static_cast<std::size_t>(DibSize(width, height, pic.m_bitCount, pic.m_colors));
                EXPECT_EQ(file.size(), 14 + dibBytes);
                EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), pic.m_hDib.Data())) << "the block as held";

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
        CPicture pic = MakePicture(c.kind, c.width, c.height);
        WriteLE32(pic.m_hDib.Data() + dib::kSizeImage, 0); // recomputed on writing
        ASSERT_EQ(WriteBmpFile(dir.Path("h.bmp"), pic.m_hDib, 4 * pic.m_colors), 1);
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
    CPicture pic = MakePicture(Kind::Grey, 7, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPrompt prompt;
        ScopedPrompt scope(prompt);
        EXPECT_EQ(WriteBmpFile(c.path, pic.m_hDib, 1024), 0);
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
    CPicture pic = MakePicture(Kind::TwoColor, 10, 3);
    ASSERT_EQ(WriteBmpFile(path, pic.m_hDib, 8), 1);
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
    CPicture pic = MakePicture(Kind::TwoColor, 10, 3);
    ASSERT_EQ(WriteBmpFile(dir.Path("link.bmp"), pic.m_hDib, 8), 1);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.Path("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileBytes(real).size(), 74u);
    EXPECT_EQ(ListFolder(dir.Path("real")), std::vector<std::string>{"p.bmp"});
}
