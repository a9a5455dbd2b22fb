// Opening files into the document and saving the New Picture: dispatch by
// ending, naming, m_saveExt, the modified mark, and failures that leave the
// document as it was.
#include "document/CDibDoc.h"
#include "support/BlockPixels.h"
#include "support/BmpBuilder.h"
#include "support/BmpReader.h"
#include "support/PictureBuilder.h"
#include "support/TempDir.h"
#include "picture/Dib.h"
#include "picture/JpegFile.h"
#include "picture/PictureFile.h"
#include "support/Files.h"
#include "support/PictureBytes.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace lumacut;
using namespace lumacut::test;
namespace fs = std::filesystem;

namespace {

const std::string kUnknown = "Only .bmp, .jpg, .png and .tif files can be opened or saved: ";

std::uint32_t Pattern(int x, int y)
{
    return static_cast<std::uint32_t>(0x204060 + 0x030201 * x + 0x100000 * y);
}

// Records every path handed to the recent-file list while it lives.
struct RecentFiles {
    RecentFiles()
    {
        CDocument::RecentFileSink() = [this](const std::string& p) { paths.push_back(p); };
    }
    ~RecentFiles() { CDocument::RecentFileSink() = nullptr; }
    std::vector<std::string> paths;
};

// The New Picture of the given kind (no render involved): two colour and
// grey get index (x + y) % 2 and (x * 16 + y) % 256, true colour gets
// Pattern, at x and y from the top.
void MakeNewPicture(CDibDoc& doc, Output kind, int width, int height)
{
    doc.m_picNew = MakePicture(kind, width, height, [&](int x, int stored) {
        const int y = height - 1 - stored;
        if (kind == Output::TwoColor)
            return static_cast<std::uint32_t>((x + y) % 2);
        if (kind == Output::Grey)
            return static_cast<std::uint32_t>((x * 16 + y) % 256);
        return Pattern(x, y);
    });
}

struct Decoded {
    int width = 0, height = 0;
    CMemBlock block;
    std::uint32_t At(int x, int top) const { return BlockPixel(block, x, top); }
};

Decoded ReadJpeg(const std::string& path)
{
    Decoded d;
    EXPECT_EQ(ReadJpegFile(path, d.block, d.width, d.height), 1) << path;
    return d;
}

// Every channel of two 0xRRGGBB colours within `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

} // namespace

class OpenSave : public ::testing::Test {
protected:
    OpenSave() : m_scoped(prompt) {}

    // A document that opened a 4 x 3 picture from `name` in the temporary folder.
    void OpenGood(const std::string& name = "first.bmp")
    {
        WriteBmp24(dir.Path(name), 4, 3, Pattern);
        ASSERT_TRUE(doc.OnOpenDocument(dir.Path(name)));
        prompt.Clear();
    }

    TempDir dir;
    RecordingPrompt prompt;
    CDibDoc doc;

private:
    ScopedPrompt m_scoped;
};

// ---- open ------------------------------------------------------------------------------

TEST_F(OpenSave, OpenNamesTheDocumentAfterTheFileWithBmp)
{
    RecentFiles recent;
    fs::create_directory(dir.Path("a.b"));
    const std::string path = dir.Path("a.b/photo.old.bmp");
    WriteBmp24(path, 5, 2, Pattern);
    doc.SetModifiedFlag(true);

    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.m_baseName, dir.Path("a.b/photo"));
    EXPECT_EQ(doc.GetPathName(), dir.Path("a.b/photo.bmp"));
    EXPECT_EQ(doc.GetTitle(), "photo.bmp");
    EXPECT_EQ(recent.paths, std::vector<std::string>{path}); // the file read, not the name Save will write
    EXPECT_EQ(doc.m_saveExt, ".bmp");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.m_pictureReady);
    EXPECT_EQ(doc.GetPictureSize(true).width, 5);
    EXPECT_EQ(doc.GetPictureSize(true).height, 2);
    EXPECT_EQ(prompt.outputQuestions, 1);
    ASSERT_EQ(prompt.messages.size(), 1u); // the picture information, nothing else
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.messages[0].text.substr(0, 35), "biWidth: 5, biHeight: 2, Colors: 0\n");

    std::uint32_t c = 0;
    ASSERT_TRUE(doc.GetOriginalPixel(3, 1, c)); // top row
    const std::uint32_t p = Pattern(3, 0);
    EXPECT_EQ(c, ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

TEST_F(OpenSave, OpenTakesEitherLetterCaseAndJpeg)
{
    WriteBmp24(dir.Path("UP.BMP"), 2, 2, Pattern);
    EXPECT_TRUE(doc.OnOpenDocument(dir.Path("UP.BMP")));
    EXPECT_EQ(doc.GetPathName(), dir.Path("UP.bmp"));

    const std::string jpeg = std::string(LUMACUT_TESTDATA_DIR) + "/jpeg/testorig.jpg";
    const std::string copy = dir.Path("photo.Jpg");
    fs::copy_file(jpeg, copy);
    ASSERT_TRUE(doc.OnOpenDocument(copy));
    EXPECT_EQ(doc.GetPictureSize(true).width, 227);
    EXPECT_EQ(doc.GetPictureSize(true).height, 149);
    EXPECT_EQ(doc.m_picOriginal.BitCount(), 24);
    // A JPEG opened names the document .bmp, so Save writes a BMP beside it.
    EXPECT_EQ(doc.GetPathName(), dir.Path("photo.bmp"));
    EXPECT_EQ(doc.m_saveExt, ".bmp");
}

struct UnknownCase {
    const char* name;
    const char* file;
};
inline void PrintTo(const UnknownCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenUnknownType : public OpenSave, public ::testing::WithParamInterface<UnknownCase> {};

TEST_P(OpenUnknownType, FailsWithAMessageAndNeverReadsAnotherFile)
{
    OpenGood();
    const std::string path = dir.Path(GetParam().file);
    WriteBmp24(path, 2, 2, Pattern); // a good picture under a name we do not take
    const std::uint8_t* original = doc.GetPictureBlock(true).Data();

    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnknown + path});
    EXPECT_EQ(prompt.outputQuestions, 1); // only the good open asked
    EXPECT_EQ(doc.GetPictureBlock(true).Data(), original);
    EXPECT_EQ(doc.GetPathName(), dir.Path("first.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Endings, OpenUnknownType,
                         ::testing::Values(UnknownCase{"gif", "photo.gif"}, UnknownCase{"webp", "photo.WEBP"},
                                           UnknownCase{"short_ending", "x.bm"},
                                           UnknownCase{"no_ending", "photo"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(OpenSave, AFailedReadLeavesTheDocumentAsItWas)
{
    OpenGood();
    doc.m_saveExt = ".jpg";
    doc.SetModifiedFlag(true);
    const std::uint8_t* original = doc.GetPictureBlock(true).Data();
    const std::uint8_t* result = doc.GetPictureBlock(false).Data();

    const std::string missing = dir.Path("missing.bmp");
    const std::string truncated = dir.Path("truncated.bmp");
    const std::string notPicture = dir.Path("text.jpg");
    WriteBmp24(truncated, 40, 40, Pattern);
    fs::resize_file(truncated, 500);
    std::ofstream(notPicture) << "hello";

    for (const std::string& path : {missing, truncated, notPicture}) {
        EXPECT_FALSE(doc.OnOpenDocument(path)) << path;
        EXPECT_EQ(doc.GetPictureBlock(true).Data(), original) << path;
        EXPECT_EQ(doc.GetPictureBlock(false).Data(), result) << path;
        EXPECT_EQ(doc.GetPictureSize(true).width, 4) << path;
        EXPECT_EQ(doc.GetPathName(), dir.Path("first.bmp")) << path;
        EXPECT_EQ(doc.m_saveExt, ".jpg") << path;
        EXPECT_TRUE(doc.IsModified()) << path;
        EXPECT_TRUE(doc.m_pictureReady) << path;
    }
    EXPECT_EQ(prompt.outputQuestions, 1);
}

// ---- save ---------------------------------------------------------------------------------

struct BmpKindCase {
    const char* name;
    Output kind;
    int bitCount;
    int tableEntries;
};
inline void PrintTo(const BmpKindCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveBmp : public OpenSave, public ::testing::WithParamInterface<BmpKindCase> {};

TEST_P(SaveBmp, WritesTheNewPictureInItsOwnDepth)
{
    const BmpKindCase& k = GetParam();
    MakeNewPicture(doc, k.kind, 11, 3);
    doc.SetModifiedFlag(true);
    const std::string path = dir.Path("out.bmp");
    ASSERT_TRUE(doc.OnSaveDocument(path));

    const Bmp bmp = LoadBmp(path);
    ASSERT_TRUE(bmp.ok);
    EXPECT_EQ(bmp.width, 11);
    EXPECT_EQ(bmp.height, 3);
    EXPECT_EQ(bmp.bitCount, k.bitCount);
    ASSERT_EQ(bmp.table.size(), static_cast<std::size_t>(k.tableEntries));
    for (int i = 0; i < k.tableEntries; ++i) {
        const std::uint32_t v = k.tableEntries == 2 ? i * 255 : i;
        ASSERT_EQ(bmp.table[i], v * 0x010101) << i;
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 11; ++x) {
            if (k.kind == Output::TwoColor)
                ASSERT_EQ(bmp.IndexAt(x, y), (x + y) % 2);
            else if (k.kind == Output::Grey)
                ASSERT_EQ(bmp.IndexAt(x, y), (x * 16 + y) % 256);
            else
                ASSERT_EQ(bmp.At(x, y), Pattern(x, y));
        }
    EXPECT_EQ(doc.m_baseName, dir.Path("out"));
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.m_saveExt, ".bmp");
    EXPECT_FALSE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveBmp,
                         ::testing::Values(BmpKindCase{"two_color", Output::TwoColor, 1, 2},
                                           BmpKindCase{"grey", Output::Grey, 8, 256},
                                           BmpKindCase{"true_color", Output::TrueColor, 24, 0}),
                         [](const auto& info) { return info.param.name; });

TEST_F(OpenSave, SaveNamesTheDocumentByItsBaseName)
{
    RecentFiles recent;
    MakeNewPicture(doc, Output::TrueColor, 2, 2);
    fs::create_directory(dir.Path("x.y"));
    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("x.y/photo.old.bmp")));
    EXPECT_TRUE(fs::exists(dir.Path("x.y/photo.old.bmp")));
    EXPECT_EQ(doc.m_baseName, dir.Path("x.y/photo"));
    // The path is the file written, so the next Save writes the same file.
    EXPECT_EQ(doc.GetPathName(), dir.Path("x.y/photo.old.bmp"));
    EXPECT_EQ(recent.paths, std::vector<std::string>{dir.Path("x.y/photo.old.bmp")});

    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("x.y/photo.JPG")));
    EXPECT_EQ(doc.GetPathName(), dir.Path("x.y/photo.JPG"));
    EXPECT_EQ(doc.m_saveExt, ".jpg");
}

TEST_F(OpenSave, JpegOfATrueColorPictureIsWrittenAsItIs)
{
    doc.m_picNew = MakePicture(Output::TrueColor, 16, 8, [](int x, int) { return x < 8 ? 0xC8641Eu : 0x1464DCu; });
    doc.m_jpegQuality = 100;
    doc.SetModifiedFlag(true);
    const std::string path = dir.Path("out.jpg");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_TRUE(prompt.messages.empty());
    const Decoded d = ReadJpeg(path);
    ASSERT_EQ(d.width, 16);
    ASSERT_EQ(d.height, 8);
    EXPECT_TRUE(Near(d.At(2, 3), 0xC8641E, 6));
    EXPECT_TRUE(Near(d.At(13, 3), 0x1464DC, 6));
    EXPECT_EQ(doc.m_saveExt, ".jpg");
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_FALSE(doc.IsModified());
}

class SaveJpegConverted : public OpenSave, public ::testing::WithParamInterface<Output> {};

TEST_P(SaveJpegConverted, GoesThroughTrueColorAndLeavesTheNewPictureAlone)
{
    const Output kind = GetParam();
    // Left half black (index 0); right half white, or grey level 180.
    doc.m_picNew = MakePicture(kind, 16, 16, [&](int x, int) {
        return x < 8 ? 0u : kind == Output::TwoColor ? 1u : 180u;
    });
    const CMemBlock before = DuplicateBlock(doc.m_picNew.Block());
    doc.m_jpegQuality = 95;

    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("out.jpg")));
    EXPECT_TRUE(prompt.messages.empty());
    const Decoded d = ReadJpeg(dir.Path("out.jpg"));
    ASSERT_EQ(d.width, 16);
    ASSERT_EQ(d.height, 16);
    const std::uint32_t light = kind == Output::TwoColor ? 255 : 180;
    EXPECT_TRUE(Near(d.At(2, 5), 0x000000, 6));
    EXPECT_TRUE(Near(d.At(13, 5), light * 0x010101, 6));
    ASSERT_EQ(doc.m_picNew.Block().Size(), before.Size());
    EXPECT_EQ(std::memcmp(doc.m_picNew.Block().Data(), before.Data(), before.Size()), 0);
    EXPECT_EQ(doc.m_picNew.BitCount(), kind == Output::TwoColor ? 1 : 8);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveJpegConverted, ::testing::Values(Output::TwoColor, Output::Grey),
                         [](const auto& info) { return info.param == Output::TwoColor ? "two_color" : "grey"; });

TEST_F(OpenSave, FailedSavesChangeNeitherFilesNorNaming)
{
    OpenGood("start.bmp");
    doc.SetModifiedFlag(true);
    const std::string path = doc.GetPathName();

    // No picture to convert.
    CDibDoc empty;
    empty.m_picNew = MakeTarget(Output::Grey);
    EXPECT_FALSE(empty.OnSaveDocument(dir.Path("empty.jpg")));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Conversion to 24 bits failed."});
    EXPECT_FALSE(fs::exists(dir.Path("empty.jpg")));
    EXPECT_EQ(empty.m_saveExt, ".jpg");
    prompt.Clear();

    // An ending we do not write.
    EXPECT_FALSE(doc.OnSaveDocument(dir.Path("out.gif")));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnknown + dir.Path("out.gif")});
    EXPECT_FALSE(fs::exists(dir.Path("out.gif")));
    prompt.Clear();

    // The writers fail: a folder that is not there.
    for (const char* name : {"nowhere/out.bmp", "nowhere/out.jpg"}) {
        EXPECT_FALSE(doc.OnSaveDocument(dir.Path(name))) << name;
        EXPECT_FALSE(prompt.Texts().empty()) << name;
        prompt.Clear();
    }
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.m_saveExt, ".bmp");
    EXPECT_TRUE(doc.IsModified());
}

// ---- rendering while a JPEG is decoded ----------------------------------------------------

// lumacut-render renders while the decoder fills the rows: the same document,
// the same messages, for every JPEG we have and a spread of settings. A decode
// that fails after its header leaves no pictures to show or save.
TEST_F(OpenSave, RenderingWhileReadingGivesWhatRenderingAfterGives)
{
    // Large enough for the render to be split into bands.
    const std::string photo = dir.Path("photo.jpg");
    const CPicture made = MakeTrueColor(700, 500, [](int x, int y) {
        return Rgb{std::uint8_t(x * 7 + y), std::uint8_t(y * 3 ^ x), std::uint8_t((x * y) >> 5)};
    });
    ASSERT_EQ(WriteJpegFile(photo, made.Block(), 90), 1);
    std::vector<std::string> files = {photo};
    for (const auto& entry : fs::directory_iterator(std::string(LUMACUT_TESTDATA_DIR) + "/jpeg"))
        if (entry.path().extension() == ".jpg")
            files.push_back(entry.path().string());

    struct Setting {
        int choice;
        std::function<void(CDibDoc&)> set;
    };
    const std::vector<Setting> settings = {
        {kOutputTwoColor, [](CDibDoc&) {}},
        {kOutputTwoColor, [](CDibDoc& d) { d.m_filter.dither = kDitherFloydSteinberg; }},
        {kOutputTwoColor, [](CDibDoc& d) { d.m_filter.adaptiveRadius = 9; }},
        {kOutputGrey, [](CDibDoc& d) { d.m_scale = 0.5; }},
        {kOutputTrueColor, [](CDibDoc& d) { d.m_tilt = 0.05; }},
    };
    for (const std::string& file : files)
        for (const Setting& setting : settings) {
            std::vector<std::uint8_t> results[2];
            std::vector<std::string> texts[2];
            bool opened[2];
            for (int streaming : {0, 1}) {
                CDibDoc d;
                d.m_renderWhileReading = streaming;
                setting.set(d);
                prompt.Clear();
                prompt.outputChoices = {setting.choice};
                opened[streaming] = d.OnOpenDocument(file);
                texts[streaming] = prompt.Texts(false);
                if (const CMemBlock& block = d.GetPictureBlock(false))
                    results[streaming].assign(block.Data(), block.Data() + block.Size());
                EXPECT_EQ(bool(d.GetPictureBlock(true)), opened[streaming]) << file;
            }
            SCOPED_TRACE(file + " output " + std::to_string(setting.choice));
            EXPECT_EQ(opened[0], opened[1]);
            EXPECT_EQ(texts[0], texts[1]);
            EXPECT_TRUE(results[0] == results[1]);
        }
}

// ---- files of every type ------------------------------------------------------------------

// A picture saved as PNG and TIFF comes back as it was, resolution included;
// a JPEG whose Exif orientation is 6 opens turned clockwise, also when it is
// rendered while read, and the information box says so.
TEST_F(OpenSave, EveryTypeOpensAndPhotosComeUpright)
{
    CPicture picture = MakeTrueColor(5, 3, [](int x, int y) { return Rgb{std::uint8_t(50 * x), std::uint8_t(100 * y), 7}; });
    picture.SetResolution({11811, 5906});
    for (const char* name : {"p.png", "p.tif", "p.TIFF"}) {
        ASSERT_EQ(WritePictureFile(dir.Path(name), FileTypeOf(name), picture, 90), 1) << name;
        CDibDoc d;
        ASSERT_TRUE(d.OnOpenDocument(dir.Path(name))) << name;
        EXPECT_TRUE(BlockBytes(d.m_picOriginal) == BlockBytes(picture)) << name;
        EXPECT_EQ(d.m_picNew.GetResolution(), picture.GetResolution()) << name;
    }

    // An APP1 block with IFD0 holding only the orientation, right after SOI.
    ASSERT_EQ(WritePictureFile(dir.Path("plain.jpg"), kFileTypeJpeg, picture, 100), 1);
    Bytes jpeg = ReadFileBytes(dir.Path("plain.jpg"));
    const Bytes app1 = {0xFF, 0xE1, 0, 34,  'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                        1,    0,    0x12, 1, 3,  0,   1,   0,   0, 0, 6, 0,   0,  0, 0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    WriteFileBytes(dir.Path("turned.jpg"), jpeg);
    for (bool whileReading : {false, true}) {
        CDibDoc plain, turned;
        turned.m_renderWhileReading = whileReading;
        ASSERT_TRUE(plain.OnOpenDocument(dir.Path("plain.jpg")));
        prompt.Clear();
        ASSERT_TRUE(turned.OnOpenDocument(dir.Path("turned.jpg")));
        ASSERT_EQ(turned.GetPictureSize(true).width, 3);
        ASSERT_EQ(turned.GetPictureSize(true).height, 5);
        // Turned clockwise: the top row of the upright picture is the stored
        // picture's left column, read from the bottom up.
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 5; ++y)
                EXPECT_EQ(PixelAt(turned.m_picOriginal, x, 4 - y), PixelAt(plain.m_picOriginal, y, x)) << x << "," << y;
        ASSERT_FALSE(prompt.messages.empty());
        EXPECT_NE(prompt.messages[0].text.find("turned 90\xC2\xB0 clockwise"), std::string::npos);
    }
}
